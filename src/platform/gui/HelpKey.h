#pragma once

// F1 in a dialog: the help topic of the control with the focus (or of the nearest control
// around it that has one, up to the dialog itself), else the contents.

class QWidget;

namespace tessel {

class THelpViewer;

inline constexpr const char* kHelpKeyActionName = "mnuFieldHelp";

// The help context number a control carries in its "helpContext" property; 0 for none.
int HelpContextOf(const QWidget* control);

// Gives `window` an F1 action showing the focused control's topic in `help`; does nothing when
// the window has one already.
void AddHelpKey(QWidget& window, THelpViewer& help);

}  // namespace tessel

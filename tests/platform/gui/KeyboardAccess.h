#pragma once

// Checks that a window can be used without a mouse and with a screen reader: every control
// that takes the focus has a name to read out, and Tab reaches every control that can be used.

#include <QStringList>

class QWidget;

namespace tessel {

// Controls of `window` (shown or not) that take the keyboard focus but have no name for a
// screen reader: no text of their own, no accessible name and no label that names them.
QStringList UnnamedControls(const QWidget& window);

// Shows `window` active, puts the focus on its first control and presses Tab until the focus
// comes round again; returns the shown, enabled controls that take the focus by Tab but were
// never reached (a control that keeps the Tab key for itself, and does not let Ctrl+Tab go on,
// shows up here as the ones behind it). The buttons of an exclusive group count as reached with
// any one of them, as Tab stops once in such a group. `visited`, when given, receives the object
// names in the order the focus went.
QStringList ControlsTabMisses(QWidget& window, QStringList* visited = nullptr);

// Letters that two shown controls of `window` both underline for Alt (labels and buttons), so
// Alt and that letter cannot go straight to one of them; as "c: btnA btnB".
QStringList MnemonicClashes(const QWidget& window);

}  // namespace tessel

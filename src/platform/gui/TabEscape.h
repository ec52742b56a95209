#pragma once

// A text box that takes the Tab key into its text still lets the keyboard leave it: Ctrl+Tab
// moves the focus to the next control and Ctrl+Shift+Tab to the one before, as in other
// programs whose text boxes keep Tab.

class QPlainTextEdit;

namespace tessel {

void LetCtrlTabLeave(QPlainTextEdit& edit);

}  // namespace tessel

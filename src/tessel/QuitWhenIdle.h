#pragma once

// TESSEL_QUIT_WHEN_IDLE=1 turns a start into a smoke run, as the install test makes one: once
// the main window is shown and the event loop has handled everything pending, the program
// quits with status 0. A new user's tip of the day runs its own loop over the shown main
// window, so the run may end inside it.

#include <QTimer>

namespace tessel {

class TQuitWhenIdle {
  public:
    // Watches only when the environment asks for it.
    TQuitWhenIdle();
    // Whether the program has quit this way; the main loop must then not be entered.
    bool HasQuit() const { return hasQuit_; }

  private:
    QTimer watch_;
    bool hasQuit_ = false;
};

}  // namespace tessel

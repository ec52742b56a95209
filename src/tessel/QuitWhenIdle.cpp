#include "tessel/QuitWhenIdle.h"

#include <QApplication>
#include <QWidget>

#include "app/Main.h"

namespace tessel {

namespace {

bool MainWindowShown() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<TfrmMain*>(window) != nullptr && window->isVisible())
            return true;
    }
    return false;
}

}  // namespace

TQuitWhenIdle::TQuitWhenIdle() {
    if (!qEnvironmentVariableIsSet("TESSEL_QUIT_WHEN_IDLE"))
        return;
    // Polled, as the main window may show itself before its constructor returns.
    watch_.setInterval(50);
    QObject::connect(&watch_, &QTimer::timeout, [this] {
        if (!MainWindowShown())
            return;
        watch_.stop();
        // A zero timer fires once the loop has nothing else pending.
        QTimer::singleShot(0, [this] {
            hasQuit_ = true;
            QCoreApplication::exit(0);
        });
    });
    watch_.start();
}

}  // namespace tessel

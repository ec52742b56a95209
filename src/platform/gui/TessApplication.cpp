#include "platform/gui/TessApplication.h"

#include <QtDebug>
#include <exception>

#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"

namespace tessel {

TTessApplication::TTessApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TTessApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        // Messages are the program's own byte strings, so they take the model's conversion.
        ShowError(ToQt(error.what()));
    } catch (...) {
        ShowError(tr("An unknown error occurred."));
    }
    return false;
}

void TTessApplication::ShowError(const QString& text) {
    if (!ui_) {
        qCritical().noquote() << text;
        return;
    }
    TMessage message;
    message.kind = TMsgKind::Error;
    message.text = text;
    message.buttons = mbOK;
    ui_->Message(activeWindow(), message);
}

}  // namespace tessel

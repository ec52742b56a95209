#include "platform/gui/OpenWithShell.h"

#include "html/MakerAddresses.h"
#include "platform/gui/UiServices.h"

namespace tessel {

QString DefaultClientFailureText() {
    return QStringLiteral(
               "Could not load the default client. Please visit %1 or write to %2 for help "
               "with setting up a default web browser and e-mail program.")
        .arg(QString::fromLatin1(kMakerWebAddress), QString::fromLatin1(kMakerSupportEmail));
}

bool OpenWithShell(TUiServices& ui, QWidget* parent, const QString& pathOrUrl) {
    if (ui.OpenWithDefaultProgram(pathOrUrl)) {
        return true;
    }
    TMessage message;
    message.kind = TMsgKind::Information;
    message.text = DefaultClientFailureText();
    message.buttons = mbOK;
    ui.Message(parent, message);
    return false;
}

}  // namespace tessel

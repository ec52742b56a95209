// Opening a page or template through the template browser.

#include "app/Main.h"
#include "dialogs/Templates.h"
#include "platform/gui/UiServices.h"

namespace tessel {

void TfrmMain::btnChooseTemplateClick() {
    mnuNewClick();
    if (modified_)
        return;  // the user kept the page
    std::string chosen;
    {
        TBusyCursor busy(ui_);
        TfrmTemplates browser(ui_, env_.programFolder, this);
        if (browser.Run() != QDialog::Accepted)
            return;
        chosen = browser.ChosenFile();
    }
    OpenDocument(chosen);
}

}  // namespace tessel

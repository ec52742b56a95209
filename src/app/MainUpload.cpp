// Send to web: the page is saved first, checked, and the upload wizard opens with the files
// it needs.

#include <filesystem>

#include "app/Main.h"
#include "pagerules/ProgramPaths.h"
#include "pagerules/UploadList.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "publish/core/SendCheck.h"
#include "publish/gui/SendCheckDialog.h"
#include "publish/gui/Upload.h"

namespace tessel {

void TfrmMain::btnUploadClick() {
    if (modified_) {
        TMessage question;
        question.kind = TMsgKind::Confirmation;
        question.text =
            QStringLiteral("You need to save %1 before uploading.").arg(ToQt(currentName_));
        question.buttons = mbOK | mbCancel;
        if (ui_.Message(this, question) == mbOK)
            mnuSaveClick();
    }
    if (modified_ || env_.settings == nullptr)
        return;
    if (!CheckPageBeforeSending())
        return;

    std::unique_ptr<TfrmUpload> wizard;
    {
        // The hourglass while the wizard is made; the wizard itself is worked with the arrow.
        const TBusyCursor busy(ui_);
        wizard = std::make_unique<TfrmUpload>(ui_, *env_.settings, this);
        wizard->SetUploadFiles(ListUploadFiles(*document_, env_.programFolder));
        const std::string html = UploadHtmlPath(env_.programFolder, FileNameOf(currentName_));
        std::error_code error;
        if (std::filesystem::is_regular_file(html, error))
            wizard->AddUploadFile(html);
        AddContextHelp(*wizard);
    }
    wizard->Run();
}

bool TfrmMain::CheckPageBeforeSending() {
    const std::vector<TSendFinding> findings = CheckBeforeSending(*document_, env_.programFolder);
    if (findings.empty())
        return true;
    TfrmSendCheck check(findings, this);
    return ui_.Exec(check) == QDialog::Accepted;
}

}  // namespace tessel

// Send to web: the page is saved first, checked, and the upload wizard opens with the files
// it needs.

#include <filesystem>

#include "app/Main.h"
#include "html/FormDelivery.h"
#include "pagerules/ProgramPaths.h"
#include "pagerules/UploadList.h"
#include "platform/gui/DesktopLanguage.h"
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
        // Last in the list, so sent first: the page never points at a script not yet there.
        const std::string script = UploadMailScriptPath(env_.programFolder, currentName_);
        if (UsesMailScript(*document_) && std::filesystem::is_regular_file(script, error))
            wizard->AddUploadFile(script);
        AddContextHelp(*wizard);
    }
    wizard->Run();
}

bool TfrmMain::CheckPageBeforeSending() {
    const std::vector<TSendFinding> findings =
        CheckBeforeSending(*document_, env_.programFolder, DesktopLanguage());
    if (findings.empty())
        return true;
    TfrmSendCheck check(findings, this, [this](const TSendFinding& finding) {
        finding.fix(*document_);
        modified_ = true;
        ShowBlock();  // the open panel shows the mended page
        return SaveMendedPage();
    });
    return ui_.Exec(check) == QDialog::Accepted && !modified_;
}

// A mend made by the check changes a page that was saved a moment ago: it is saved again
// under the same name without asking, so that the web copy sent is the mended one. A page
// that was never saved asks for its name as Save does.
bool TfrmMain::SaveMendedPage() {
    if (currentName_ == kUntitled) {
        mnuSaveClick();
        return !modified_;
    }
    return WriteDocument(currentName_) && FinishSave(currentName_);
}

}  // namespace tessel

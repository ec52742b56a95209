// The end of a session as the user sees it: an error, with a word on what to change in the
// server profile where that would help, or the end page with the page's web address.

#include "platform/gui/OpenWithShell.h"
#include "platform/gui/TextConvert.h"
#include "publish/core/PageAddress.h"
#include "publish/gui/Upload.h"
#include "ui_Upload.h"

namespace tessel {

// The error of a session, with a word on what to change in the profile where that helps.
void TfrmUpload::ShowError(const std::string& message) {
    SetBusy(false);
    form_->pnlProgress->hide();
    form_->btnSend->show();
    if (IsHostKeyRefusal(session_->LastError())) {
        AskAboutHostKey();
        return;
    }
    if (IsCertificateRefusal(session_->LastError())) {
        AskAboutCertificate(message);
        return;
    }
    QString text = ToQt(message);
    switch (session_->Failure()) {
        case TUploadFailure::ServerWithoutTls:
            text += QStringLiteral(
                "\n\nTo send without encryption, edit this server profile and untick \"Require "
                "encryption (FTPS)\"; your password and your files then travel readable by "
                "anyone on the way.");
            break;
        case TUploadFailure::DataConnection:
            text += ftp_.Passive ? QStringLiteral(
                                       "\n\nThe files travel on a second connection to the "
                                       "server, which could not be made. Edit this server "
                                       "profile, untick \"Use passive mode\" and send again.")
                                 : QStringLiteral(
                                       "\n\nThe files travel on a second connection from the "
                                       "server, which could not be made. Edit this server "
                                       "profile, tick \"Use passive mode\" and send again.");
            break;
        case TUploadFailure::Other:
            break;
    }
    ShowMessage(TMsgKind::Warning, text, mbOK);
}

void TfrmUpload::ShowPageAddress() {
    pageAddress_ = PageAddress(profiles_.ReadProfile(sessionProfile_).webAddress,
                               PageFileName(session_->Files));
    if (pageAddress_.empty()) {
        return;
    }
    Ui::TfrmUpload& f = *form_;
    const QString address = ToQt(pageAddress_).toHtmlEscaped();
    f.lblPageAddress->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address));
    f.lblPageAddress->setToolTip(ToQt(pageAddress_));
    f.pgPages->setCurrentWidget(f.pnlDone);
    f.btnOpenPage->setFocus();
}

void TfrmUpload::btnOpenPageClick() {
    OpenWithShell(ui_, this, ToQt(pageAddress_));
}

}  // namespace tessel

// A server certificate that the system's authorities do not vouch for. Web hosts often make
// their own, so the user may trust one for the profile; from then on the same certificate is
// expected, and a different one is refused.

#include <QMetaObject>

#include "platform/gui/TextConvert.h"
#include "publish/TlsTypes.h"
#include "publish/gui/Upload.h"
#include "ui_Upload.h"

namespace tessel {

namespace {

QString CertificateDetails(const TTlsCertificateInfo& certificate) {
    return QStringLiteral(
               "Issued to: %1\nIssued by: %2\nValid from %3 to %4\nSHA-256 fingerprint:\n%5")
        .arg(ToQt(certificate.issuedTo), ToQt(certificate.issuedBy), ToQt(certificate.validFrom),
             ToQt(certificate.validTo), ToQt(certificate.sha256));
}

}  // namespace

bool TfrmUpload::IsCertificateRefusal(std::uint16_t error) const {
    return session_ == &uploader_ &&
           (error == kTlsCertificateUntrusted || error == kTlsCertificateChanged) &&
           !ftp_.ServerCertificate().Empty();
}

void TfrmUpload::AskAboutCertificate(const std::string& error) {
    const TTlsCertificateInfo certificate = ftp_.ServerCertificate();
    const QString details = CertificateDetails(certificate);
    if (session_->LastError() == kTlsCertificateChanged) {
        ShowMessage(
            TMsgKind::Warning,
            QStringLiteral("The server's certificate has changed since you chose to trust it. "
                           "Someone may be listening in on the connection, so nothing was sent.\n\n"
                           "%1\n\nIf your web host has told you that it changed its certificate, "
                           "edit this server profile, turn off \"Require encryption (FTPS)\" and "
                           "press Apply, then turn it on again: the next send asks about the new "
                           "certificate.")
                .arg(details),
            mbOK);
        return;
    }
    const TMsgButton answer = ShowMessage(
        TMsgKind::Confirmation,
        QStringLiteral("%1\n\nSo it is not known who is at the other end of the connection, and "
                       "nothing was sent.\n\n%2\n\nWeb hosts often make their own certificates. If "
                       "this is your web host's, you can trust it for this server profile: the "
                       "program then makes sure the server shows this same certificate every "
                       "time.\n\nTrust this certificate and send?")
            .arg(ToQt(error), details),
        mbYes | mbNo);
    if (answer != mbYes) {
        return;
    }
    TServerProfile profile = profiles_.ReadProfile(sessionProfile_);
    profile.tlsFingerprint = certificate.sha256;
    profiles_.WriteProfile(profile, "");
    sendAgain_ = true;
}

void TfrmUpload::SendAgainIfAsked() {
    if (sendAgain_) {
        sendAgain_ = false;
        // After the session's own completion has been handled, not inside it.
        QMetaObject::invokeMethod(this, &TfrmUpload::btnSendClick, Qt::QueuedConnection);
    }
}

}  // namespace tessel

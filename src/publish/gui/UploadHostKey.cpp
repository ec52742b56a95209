// An SFTP server's host key that is neither trusted for the profile nor listed for the host
// in ~/.ssh/known_hosts. The first time, the user may trust it for the profile; from then on
// the same key is expected, and a different one is refused before the password goes out.
// The passphrase of a key file is asked here too.

#include <QMetaObject>

#include "platform/gui/TextConvert.h"
#include "publish/gui/PassphraseDialog.h"
#include "publish/gui/Upload.h"
#include "ui_Passphrase.h"
#include "ui_Upload.h"

namespace tessel {

namespace {

QString HostKeyDetails(const TSshHostKey& key) {
    return QStringLiteral("Key type: %1\nSHA-256 fingerprint:\n%2")
        .arg(ToQt(key.type), ToQt(key.sha256));
}

}  // namespace

bool TfrmUpload::IsHostKeyRefusal(std::uint16_t error) const {
    return session_ == &sftpUploader_ &&
           (error == kSshHostKeyUnknown || error == kSshHostKeyChanged) &&
           !sftp_.ServerHostKey().Empty();
}

void TfrmUpload::AskAboutHostKey() {
    const TSshHostKey key = sftp_.ServerHostKey();
    const QString details = HostKeyDetails(key);
    if (session_->LastError() == kSshHostKeyChanged) {
        ShowMessage(
            TMsgKind::Warning,
            QStringLiteral("The server's host key has changed since you chose to trust it. "
                           "Someone may be listening in on the connection, so nothing was sent, "
                           "not even your password.\n\n%1\n\nIf your web host has told you that "
                           "it changed its key, edit this server profile, choose FTP and press "
                           "Apply, then choose SFTP again and press Apply: the next send asks "
                           "about the new key.")
                .arg(details),
            mbOK);
        return;
    }
    const TMsgButton answer = ShowMessage(
        TMsgKind::Confirmation,
        QStringLiteral("This is the first connection to %1, and its host key is not known yet, "
                       "so it is not known who is at the other end of the connection. Nothing "
                       "was sent.\n\n%2\n\nIf your web host shows this same fingerprint, you can "
                       "trust the key for this server profile: the program then makes sure the "
                       "server shows this same key every time.\n\nTrust this key and send?")
            .arg(ToQt(sftp_.HostName), details),
        mbYes | mbNo);
    if (answer != mbYes) {
        return;
    }
    TServerProfile profile = profiles_.ReadProfile(sessionProfile_);
    profile.sshHostKey = key.sha256;
    profiles_.WriteProfile(profile, "");
    if (!sftp_.KeyPassphrase.empty())
        resendPassphrase_ = sftp_.KeyPassphrase;
    sendAgain_ = true;
}

std::optional<std::string> TfrmUpload::AskPassphrase(const std::string& keyFile) {
    if (resendPassphrase_) {
        std::optional<std::string> given = std::move(resendPassphrase_);
        resendPassphrase_.reset();
        return given;
    }
    SetBusy(false);
    TfrmPassphrase dialog(ToQt(keyFile), this);
    if (ui_.Exec(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    SetBusy(true);
    return FromQt(dialog.Passphrase());
}

}  // namespace tessel

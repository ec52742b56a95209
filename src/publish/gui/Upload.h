#pragma once

// The upload wizard: the server page with the stored server profiles and their editor, and
// the upload page that sends the listed files to the selected server in one FTP or SFTP
// session.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/UiServices.h"
#include "publish/FtpCli.h"
#include "publish/FtpUploader.h"
#include "publish/SftpUploader.h"
#include "publish/core/ProfileRules.h"
#include "publish/core/Profiles.h"

class QListWidgetItem;
class QTimer;

namespace Ui {
class TfrmUpload;
}

namespace tessel {

class TRegistryStore;

class TfrmUpload : public QDialog {
    Q_OBJECT

  public:
    TfrmUpload(TUiServices& ui, TRegistryStore& settings, QWidget* parent = nullptr);
    ~TfrmUpload() override;

    Ui::TfrmUpload& Form() const { return *form_; }
    TFtpClient& Ftp() { return ftp_; }
    TSftpClient& Sftp() { return sftp_; }
    bool SessionRunning() const { return session_->Running(); }

    // Full paths of the files to send; the last one goes first.
    void SetUploadFiles(const std::vector<std::string>& paths);
    void AddUploadFile(const std::string& path);
    // Runs the wizard modally through the UI services.
    int Run();

  public slots:
    // The server page.
    void lvProfilesClick();
    void lvProfilesDblClick();
    void btnAddClick();
    void btnEditClick();
    void btnApplyClick();
    void btnCancelClick();
    void btnDeleteClick();
    void txtProfileNameChange();
    void cbSendByChange();
    void cbSshAuthChange();
    void btnKeyFileClick();
    // The wizard.
    void btnServersClick(int tag);
    void btnUpAddClick();
    void btnUpRemoveClick();
    void lstUploadClick();
    void btnSendClick();
    void btnStopClick();
    // The end page.
    void btnOpenPageClick();

  protected:
    // Closing by Exit, the window's close box or Esc.
    void reject() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetUpControls();
    void ConnectHandlers();
    void ConnectUploader();
    void FillProfiles();
    QListWidgetItem* NewProfileItem(const QString& name);
    QListWidgetItem* SelectedProfile() const;
    std::vector<std::string> ProfileCaptions() const;
    void OpenEditor(const QString& caption);
    void ReadProfileIntoEditor(const std::string& name);
    TServerProfile ProfileFromEditor() const;
    void RefuseName(const QString& message);
    void UpdateUploadButtons();
    void UploadListChanged();
    void ShowSession(bool running);
    void ShowProgressBar();
    void ShowError(const std::string& message);
    // The end page with the page's address, when the profile knows its folder's.
    void ShowPageAddress();
    void SetBusy(bool busy);
    TMsgButton ShowMessage(TMsgKind kind, const QString& text, TMsgButtons buttons);
    // Asks before a close would cut a transfer short; true when the window may close.
    bool MayCloseNow();
    void FormClose();
    // A certificate refused for want of trust, or for not being the one trusted before.
    bool IsCertificateRefusal(std::uint16_t error) const;
    void AskAboutCertificate(const std::string& error);
    // A host key seen for the first time, or not the one trusted before.
    bool IsHostKeyRefusal(std::uint16_t error) const;
    void AskAboutHostKey();
    std::optional<std::string> AskPassphrase(const std::string& keyFile);
    // Shows what applies to the way to send and the way to log in.
    void ShowWayToSend();
    void SendAgainIfAsked();

    std::unique_ptr<Ui::TfrmUpload> form_;
    TUiServices& ui_;
    TServerProfiles profiles_;
    TFtpClient ftp_;
    TFtpUploader uploader_;
    TSftpClient sftp_;
    TSftpUploader sftpUploader_;
    TUploadSession* session_ = &uploader_;  // the one the selected profile uses
    // The bar follows the bytes still travelling between the progress reports too.
    QTimer* tmrProgress_ = nullptr;
    std::string pageAddress_;  // what the end page shows
    TProfileEditMode editMode_ = TProfileEditMode::Add;
    bool editing_ = false;
    bool busy_ = false;
    std::string sessionProfile_;  // the profile the running or last session used
    bool sendAgain_ = false;      // a certificate was trusted: send again once this session ends
    // The passphrase given for the send that stopped at a host key the user then trusted:
    // the send that follows at once uses it instead of asking again.
    std::optional<std::string> resendPassphrase_;
};

}  // namespace tessel

// The upload wizard's server page: the list of server profiles and the editor that adds,
// changes and deletes them.

#include <QDir>
#include <QListWidget>

#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "publish/gui/Upload.h"
#include "ui_Upload.h"

namespace tessel {

void TfrmUpload::FillProfiles() {
    QListWidget* list = form_->lvProfiles;
    list->clear();
    for (const std::string& name : profiles_.ListProfiles()) NewProfileItem(ToQt(name));
}

QListWidgetItem* TfrmUpload::NewProfileItem(const QString& name) {
    auto* item = new QListWidgetItem(PictureIcon(QStringLiteral("profile")), name);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    form_->lvProfiles->addItem(item);
    return item;
}

QListWidgetItem* TfrmUpload::SelectedProfile() const {
    const QList<QListWidgetItem*> selected = form_->lvProfiles->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

std::vector<std::string> TfrmUpload::ProfileCaptions() const {
    std::vector<std::string> captions;
    const QListWidget* list = form_->lvProfiles;
    for (int i = 0; i < list->count(); ++i) captions.push_back(FromQt(list->item(i)->text()));
    return captions;
}

void TfrmUpload::lvProfilesClick() {
    Ui::TfrmUpload& f = *form_;
    const bool selected = SelectedProfile() != nullptr;
    f.btnDelete->setEnabled(selected);
    f.btnEdit->setEnabled(selected);
    f.btnUpload->setEnabled(selected && !editing_);
}

void TfrmUpload::lvProfilesDblClick() {
    if (SelectedProfile() != nullptr) {
        btnEditClick();
    }
}

// Shows the editor over the list, with Apply and Cancel, and the focus in the name.
void TfrmUpload::OpenEditor(const QString& caption) {
    Ui::TfrmUpload& f = *form_;
    editing_ = true;
    setWindowTitle(caption);
    f.btnApply->show();
    f.btnCancel->show();
    f.btnApply->setDefault(true);  // Enter in a field applies
    f.btnUpload->setEnabled(false);
    f.pgPages->setCurrentWidget(f.pnlProfiles);
    f.txtProfileName->setFocus();
    txtProfileNameChange();
}

void TfrmUpload::btnAddClick() {
    Ui::TfrmUpload& f = *form_;
    editMode_ = TProfileEditMode::Add;
    for (QLineEdit* edit : {f.txtProfileName, f.txtUserName, f.txtPassword, f.txtHostName,
                            f.txtInitialDir, f.txtPort, f.txtWebAddress}) {
        edit->clear();
    }
    // Most networks let only passive data connections through.
    f.chkPassive->setChecked(true);
    f.chkTls->setChecked(NewServerProfile().tls);
    f.cbSendBy->setCurrentIndex(0);
    f.cbSshAuth->setCurrentIndex(0);
    f.txtKeyFile->clear();
    f.txtPort->setText(QString::fromLatin1(kDefaultFtpPort));
    ShowWayToSend();
    OpenEditor(QStringLiteral("Upload Wizard - Add"));
}

void TfrmUpload::btnEditClick() {
    const QListWidgetItem* selected = SelectedProfile();
    if (selected == nullptr) {
        return;
    }
    ReadProfileIntoEditor(FromQt(selected->text()));
    editMode_ = TProfileEditMode::Edit;
    OpenEditor(QStringLiteral("Upload Wizard - Edit"));
}

void TfrmUpload::ReadProfileIntoEditor(const std::string& name) {
    Ui::TfrmUpload& f = *form_;
    const TServerProfile profile = profiles_.ReadProfile(name);
    f.txtProfileName->setText(ToQt(profile.name));
    f.txtUserName->setText(ToQt(profile.user));
    f.txtPassword->setText(ToQt(profile.password));
    f.txtHostName->setText(ToQt(profile.host));
    f.txtInitialDir->setText(ToQt(profile.initialDir));
    f.txtPort->setText(ToQt(profile.port));
    f.txtWebAddress->setText(ToQt(profile.webAddress));
    f.chkPassive->setChecked(profile.passive);
    f.chkTls->setChecked(profile.tls);
    f.cbSendBy->setCurrentIndex(profile.sftp ? 1 : 0);
    f.cbSshAuth->setCurrentIndex(static_cast<int>(profile.sshAuth));
    f.txtKeyFile->setText(ToQt(profile.sshKeyFile));
    ShowWayToSend();
}

TServerProfile TfrmUpload::ProfileFromEditor() const {
    const Ui::TfrmUpload& f = *form_;
    TServerProfile profile;
    profile.name = FromQt(f.txtProfileName->text());
    profile.user = FromQt(f.txtUserName->text());
    profile.password = FromQt(f.txtPassword->text());
    profile.host = FromQt(f.txtHostName->text());
    profile.initialDir = FromQt(f.txtInitialDir->text());
    profile.port = FromQt(f.txtPort->text());
    profile.webAddress = FromQt(f.txtWebAddress->text().trimmed());
    profile.passive = f.chkPassive->isChecked();
    profile.tls = f.chkTls->isChecked();
    profile.sftp = f.cbSendBy->currentIndex() == 1;
    if (profile.sftp) {
        profile.sshAuth = static_cast<TSshAuth>(f.cbSshAuth->currentIndex());
        if (profile.sshAuth == TSshAuth::KeyFile) {
            profile.sshKeyFile = FromQt(f.txtKeyFile->text().trimmed());
        }
    }
    return profile;
}

// SFTP has no passive mode and encrypts by itself; a key file or the agent needs no password.
void TfrmUpload::ShowWayToSend() {
    Ui::TfrmUpload& f = *form_;
    const bool sftp = f.cbSendBy->currentIndex() == 1;
    const auto auth = static_cast<TSshAuth>(f.cbSshAuth->currentIndex());
    f.chkPassive->setVisible(!sftp);
    f.chkTls->setVisible(!sftp);
    f.pnlSshLogIn->setVisible(sftp);
    f.txtKeyFile->setVisible(auth == TSshAuth::KeyFile);
    f.btnKeyFile->setVisible(auth == TSshAuth::KeyFile);
    const bool password = !sftp || auth == TSshAuth::Password;
    f.lblPassword->setVisible(password);
    f.txtPassword->setVisible(password);
}

void TfrmUpload::cbSendByChange() {
    Ui::TfrmUpload& f = *form_;
    const bool sftp = f.cbSendBy->currentIndex() == 1;
    f.txtPort->setText(ToQt(PortForWay(FromQt(f.txtPort->text()), sftp)));
    ShowWayToSend();
}

void TfrmUpload::cbSshAuthChange() {
    ShowWayToSend();
}

void TfrmUpload::btnKeyFileClick() {
    TFileDialogRequest request;
    request.filter = QStringLiteral("All Files (*)");
    request.title = QStringLiteral("Key File");
    const QString chosen = form_->txtKeyFile->text().trimmed();
    if (chosen.isEmpty()) {
        request.folder = QDir::homePath() + QStringLiteral("/.ssh");
    } else {
        request.fileName = chosen;
    }
    if (const std::optional<QString> file = ui_.OpenFileName(this, request)) {
        form_->txtKeyFile->setText(*file);
    }
}

void TfrmUpload::txtProfileNameChange() {
    form_->btnApply->setEnabled(!form_->txtProfileName->text().isEmpty());
}

void TfrmUpload::RefuseName(const QString& message) {
    ui_.Beep();
    ShowMessage(TMsgKind::Information, message, mbOK);
    form_->txtProfileName->setFocus();
}

void TfrmUpload::btnApplyClick() {
    Ui::TfrmUpload& f = *form_;
    TServerProfile profile = ProfileFromEditor();
    QListWidgetItem* selected = SelectedProfile();
    const int selectedRow = selected != nullptr ? f.lvProfiles->row(selected) : -1;
    if (editMode_ == TProfileEditMode::Edit && selectedRow < 0) {
        return;  // the profile being edited is no longer in the list
    }
    const TApplyDecision decision =
        DecideApply(ProfileCaptions(), editMode_, selectedRow, profile.name);
    switch (decision.verdict) {
        case TApplyVerdict::EmptyName:
            return;
        case TApplyVerdict::BadName:
            // Typed characters are filtered; pasted text reaches this.
            RefuseName(QString::fromLatin1(kBadProfileNameMessage));
            return;
        case TApplyVerdict::Duplicate:
            RefuseName(QString::fromLatin1(kDuplicateProfileMessage));
            return;
        case TApplyVerdict::Store:
            break;
    }
    if (editMode_ == TProfileEditMode::Edit) {
        const TServerProfile stored = profiles_.ReadProfile(FromQt(selected->text()));
        profile.tlsFingerprint = KeptFingerprint(stored, profile);
        profile.sshHostKey = KeptHostKey(stored, profile);
    }
    profiles_.WriteProfile(profile, decision.oldName);
    QListWidgetItem* item =
        editMode_ == TProfileEditMode::Add ? NewProfileItem(ToQt(profile.name)) : selected;
    item->setText(ToQt(profile.name));
    f.lvProfiles->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    btnCancelClick();
}

void TfrmUpload::btnCancelClick() {
    Ui::TfrmUpload& f = *form_;
    editing_ = false;
    // "Upload Wizard - Add" becomes "Upload Wizard " with its space.
    const QString caption = windowTitle();
    const int dash = caption.indexOf(QLatin1Char('-'));
    if (dash >= 0) {
        setWindowTitle(caption.left(dash));
    }
    f.pgPages->setCurrentWidget(f.pnlServers);
    f.btnApply->setDefault(false);
    f.btnApply->hide();
    f.btnCancel->hide();
    f.lvProfiles->setFocus();
    // After Apply the profile just stored is the focused item, and it becomes the selection.
    if (SelectedProfile() != nullptr && f.lvProfiles->currentItem() != nullptr) {
        f.lvProfiles->currentItem()->setSelected(true);
        f.lvProfiles->setCurrentItem(f.lvProfiles->currentItem());
    }
    lvProfilesClick();
}

void TfrmUpload::btnDeleteClick() {
    ui_.Beep();
    const TMsgButton answer = ShowMessage(
        TMsgKind::Confirmation,
        QStringLiteral("Do you want to delete the selected server profile?"), mbYes | mbNo);
    QListWidgetItem* selected = SelectedProfile();
    if (answer != mbYes || selected == nullptr) {
        return;
    }
    profiles_.DeleteProfile(FromQt(selected->text()));
    delete selected;
    form_->lvProfiles->clearSelection();
    form_->lvProfiles->doItemsLayout();
    lvProfilesClick();
}

}  // namespace tessel

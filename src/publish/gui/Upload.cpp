// The upload wizard's window, its upload page and the session it runs. The server page's
// handlers are in UploadProfiles.cpp, the end of a session in UploadOutcome.cpp.

#include "publish/gui/Upload.h"

#include <qdrawutil.h>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <filesystem>

#include "platform/HelpContexts.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "publish/ProfileClient.h"
#include "publish/gui/ElidedPath.h"
#include "ui_Upload.h"

namespace tessel {

TfrmUpload::TfrmUpload(TUiServices& ui, TRegistryStore& settings, QWidget* parent)
    : QDialog(parent),
      form_(std::make_unique<Ui::TfrmUpload>()),
      ui_(ui),
      profiles_(settings),
      uploader_(ftp_),
      sftpUploader_(sftp_),
      tmrProgress_(new QTimer(this)) {
    form_->setupUi(this);
    ftp_.Timeout = 15;
    ftp_.MultiThreaded = false;
    ftp_.Port = "ftp";
    ftp_.DisplayFlag = false;
    ftp_.DisplayFileFlag = false;
    ftp_.Binary = true;
    ftp_.ShareMode = ftpShareExclusive;
    sftp_.Timeout = ftp_.Timeout;
    SetUpControls();
    ConnectHandlers();
    ConnectUploader();
    FillProfiles();
}

TfrmUpload::~TfrmUpload() = default;

int TfrmUpload::Run() {
    return ui_.Exec(*this);
}

void TfrmUpload::SetUpControls() {
    Ui::TfrmUpload& f = *form_;
    // lblWelcome's "Congradulations" is kept on purpose: it is the wizard's own text, word
    // for word.
    f.imgBanner->setPixmap(Picture(QStringLiteral("wizUpload"), QSize(64, 64)));
    f.btnServers->setIcon(PictureIcon(QStringLiteral("wizServers")));
    f.btnUpload->setIcon(PictureIcon(QStringLiteral("wizUpload")));
    f.btnExit->setIcon(PictureIcon(QStringLiteral("wizExit")));
    f.btnAdd->setIcon(PictureIcon(QStringLiteral("glyphAdd")));
    f.btnEdit->setIcon(PictureIcon(QStringLiteral("glyphEdit")));
    f.btnDelete->setIcon(PictureIcon(QStringLiteral("glyphRemove")));
    f.btnApply->setIcon(PictureIcon(QStringLiteral("glyphApply")));
    f.btnCancel->setIcon(PictureIcon(QStringLiteral("glyphCancel")));
    f.btnUpAdd->setIcon(PictureIcon(QStringLiteral("glyphAdd")));
    f.btnUpRemove->setIcon(PictureIcon(QStringLiteral("glyphRemove")));
    f.btnSend->setIcon(PictureIcon(QStringLiteral("btnUpload")));
    // The window keeps its size whichever page and buttons show.
    for (QWidget* control :
         {static_cast<QWidget*>(f.btnApply), static_cast<QWidget*>(f.btnCancel)}) {
        QSizePolicy policy = control->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        control->setSizePolicy(policy);
    }
    f.pnlProgress->hide();
    f.btnApply->hide();
    f.btnCancel->hide();
    // Each file's name shows whole; the folder gives way, and the tool tip has it all.
    f.lstUpload->setItemDelegate(new TElidedPathDelegate(f.lstUpload));
    f.lstUpload->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tmrProgress_->setInterval(200);
    f.txtProfileName->installEventFilter(this);
    f.txtPort->installEventFilter(this);

    const std::pair<QWidget*, int> contexts[] = {
        {f.txtProfileName, kHelpProfileName}, {f.txtUserName, kHelpProfileUser},
        {f.txtPort, kHelpProfilePort},        {f.txtInitialDir, kHelpProfileFolder},
        {f.txtHostName, kHelpProfileHost},    {f.txtPassword, kHelpProfilePassword},
        {f.lvProfiles, kHelpProfileList},     {f.lstUpload, kHelpUploadList},
        {f.chkPassive, kHelpProfileList},     {f.chkTls, kHelpProfileList},
        {f.txtWebAddress, kHelpProfileList},  {f.cbSendBy, kHelpProfileList},
        {f.cbSshAuth, kHelpProfileList},      {f.txtKeyFile, kHelpProfileList}};
    for (const auto& [control, context] : contexts) control->setProperty("helpContext", context);

    // A fixed frame, large enough for the largest page.
    QSize largest = minimumSize();
    for (QWidget* page : {f.pnlProfiles, f.pnlUpload, f.pnlDone, f.pnlServers}) {
        f.pgPages->setCurrentWidget(page);
        largest = largest.expandedTo(layout()->sizeHint());
    }
    setFixedSize(largest);
}

void TfrmUpload::ConnectHandlers() {
    Ui::TfrmUpload& f = *form_;
    connect(f.lvProfiles, &QListWidget::itemSelectionChanged, this, &TfrmUpload::lvProfilesClick);
    connect(f.lvProfiles, &QListWidget::itemDoubleClicked, this, &TfrmUpload::lvProfilesDblClick);
    connect(f.btnAdd, &QPushButton::clicked, this, &TfrmUpload::btnAddClick);
    connect(f.btnEdit, &QPushButton::clicked, this, &TfrmUpload::btnEditClick);
    connect(f.btnDelete, &QPushButton::clicked, this, &TfrmUpload::btnDeleteClick);
    connect(f.btnApply, &QPushButton::clicked, this, &TfrmUpload::btnApplyClick);
    connect(f.btnCancel, &QPushButton::clicked, this, &TfrmUpload::btnCancelClick);
    connect(f.txtProfileName, &QLineEdit::textChanged, this, &TfrmUpload::txtProfileNameChange);
    // Pasted text keeps its digits only; typed keys are filtered in eventFilter.
    connect(f.txtPort, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString digits = ToQt(PortDigits(FromQt(text)));
        if (digits != text) {
            form_->txtPort->setText(digits);
        }
    });
    connect(f.btnServers, &QToolButton::clicked, this, [this] { btnServersClick(0); });
    connect(f.btnUpload, &QToolButton::clicked, this, [this] { btnServersClick(1); });
    connect(f.btnExit, &QToolButton::clicked, this, &TfrmUpload::reject);
    connect(f.btnUpAdd, &QToolButton::clicked, this, &TfrmUpload::btnUpAddClick);
    connect(f.btnUpRemove, &QToolButton::clicked, this, &TfrmUpload::btnUpRemoveClick);
    connect(f.lstUpload, &QListWidget::itemSelectionChanged, this, &TfrmUpload::lstUploadClick);
    connect(f.btnSend, &QPushButton::clicked, this, &TfrmUpload::btnSendClick);
    connect(f.btnStop, &QPushButton::clicked, this, &TfrmUpload::btnStopClick);
    connect(f.btnOpenPage, &QPushButton::clicked, this, &TfrmUpload::btnOpenPageClick);
    connect(f.lblPageAddress, &QLabel::linkActivated, this, &TfrmUpload::btnOpenPageClick);
    connect(tmrProgress_, &QTimer::timeout, this, &TfrmUpload::ShowProgressBar);
    connect(f.cbSendBy, &QComboBox::activated, this, &TfrmUpload::cbSendByChange);
    connect(f.cbSshAuth, &QComboBox::currentIndexChanged, this, &TfrmUpload::cbSshAuthChange);
    connect(f.btnKeyFile, &QToolButton::clicked, this, &TfrmUpload::btnKeyFileClick);
}

void TfrmUpload::ConnectUploader() {
    for (TUploadSession* session :
         {static_cast<TUploadSession*>(&uploader_), static_cast<TUploadSession*>(&sftpUploader_)}) {
        session->OnLabel = [this](const std::string& label, bool) {
            form_->lblProgress->setText(ToQt(label));
            ShowProgressBar();
        };
        session->OnAskCreateDirectory = [this] {
            SetBusy(false);
            return ShowMessage(
                       TMsgKind::Warning,
                       QStringLiteral("Host Directory Does not exist. Do you want to create it?"),
                       mbYes | mbNo) == mbYes;
        };
        session->OnTransferCompleted = [this] {
            SetBusy(false);
            tmrProgress_->stop();
            form_->pbProgress->setValue(form_->pbProgress->maximum());
            ShowMessage(TMsgKind::Information, QStringLiteral("Transfer Completed."), mbOK);
            ShowPageAddress();
        };
        session->OnError = [this](const std::string& message) { ShowError(message); };
        session->OnSessionEnd = [this] {
            ShowSession(false);
            SendAgainIfAsked();
        };
    }
    sftpUploader_.OnAskPassphrase = [this](const std::string& keyFile) {
        return AskPassphrase(keyFile);
    };
}

TMsgButton TfrmUpload::ShowMessage(TMsgKind kind, const QString& text, TMsgButtons buttons) {
    TMessage message;
    message.kind = kind;
    message.text = text;
    message.buttons = buttons;
    return ui_.Message(this, message);
}

// --- the upload list ------------------------------------------------------------------

void TfrmUpload::SetUploadFiles(const std::vector<std::string>& paths) {
    QStringList lines;
    for (const std::string& path : paths) lines << ToQt(path);
    form_->lstUpload->SetLines(lines);
    UploadListChanged();
}

void TfrmUpload::AddUploadFile(const std::string& path) {
    form_->lstUpload->AddLine(ToQt(path));
    UploadListChanged();
}

void TfrmUpload::UploadListChanged() {
    QListWidget* list = form_->lstUpload;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        item->setToolTip(item->text());
    }
    UpdateUploadButtons();
}

// Send and Remove go with the list having entries.
void TfrmUpload::UpdateUploadButtons() {
    const bool any = form_->lstUpload->count() > 0;
    form_->btnSend->setEnabled(any);
    form_->btnUpRemove->setEnabled(any);
}

void TfrmUpload::btnServersClick(int tag) {
    Ui::TfrmUpload& f = *form_;
    if (tag == 0) {
        f.btnServers->setChecked(true);
        f.pgPages->setCurrentWidget(editing_ ? f.pnlProfiles : f.pnlServers);
        return;
    }
    f.btnUpload->setChecked(true);
    UpdateUploadButtons();
    f.pgPages->setCurrentWidget(f.pnlUpload);
}

void TfrmUpload::btnUpAddClick() {
    TFileDialogRequest request;
    request.filter = QStringLiteral("All Files (*)");
    const std::optional<QString> chosen = ui_.OpenFileName(this, request);
    if (!chosen) {
        return;
    }
    Ui::TfrmUpload& f = *form_;
    f.lstUpload->AddLine(*chosen);
    f.lstUpload->setCurrentRow(f.lstUpload->count() - 1);
    f.lstUpload->setFocus();
    UploadListChanged();
}

void TfrmUpload::btnUpRemoveClick() {
    Ui::TfrmUpload& f = *form_;
    const int row = f.lstUpload->currentRow();
    if (row >= 0 && f.lstUpload->item(row)->isSelected()) {
        f.lstUpload->DeleteLine(row);
    }
    f.lstUpload->setCurrentRow(-1);
    f.lstUpload->clearSelection();
    f.lstUpload->setFocus();
    UpdateUploadButtons();
}

void TfrmUpload::lstUploadClick() {
    form_->btnUpRemove->setEnabled(!form_->lstUpload->selectedItems().isEmpty());
}

// --- the session ----------------------------------------------------------------------

void TfrmUpload::btnSendClick() {
    Ui::TfrmUpload& f = *form_;
    const QListWidgetItem* selected = SelectedProfile();
    if (selected == nullptr || session_->Running()) {
        resendPassphrase_.reset();
        return;
    }
    SetBusy(true);
    std::vector<std::string> files;
    for (const QString& line : f.lstUpload->Lines()) files.push_back(FromQt(line));
    sessionProfile_ = FromQt(selected->text());
    const TServerProfile profile = profiles_.ReadProfile(sessionProfile_);
    if (profile.sftp) {
        LoadProfileIntoClient(profile, sftp_);
        session_ = &sftpUploader_;
    } else {
        LoadProfileIntoClient(profile, ftp_);
        session_ = &uploader_;
    }
    session_->Files = std::move(files);
    f.pbProgress->setValue(0);
    ShowSession(true);
    session_->Start();
    resendPassphrase_.reset();  // never kept beyond the send it was meant for
}

void TfrmUpload::btnStopClick() {
    session_->Stop();
}

// The label counts what was handed to the connection; the bar, what has left the machine.
void TfrmUpload::ShowProgressBar() {
    QProgressBar* bar = form_->pbProgress;
    const long long total = session_->BytesToSend();
    bar->setValue(total > 0 ? static_cast<int>(session_->BytesDelivered() * bar->maximum() / total)
                            : 0);
}

// Running: the progress panel with the turning globe lies over Send, and the list and the
// buttons that would change it or leave the page are disabled. Idle: all back.
void TfrmUpload::ShowSession(bool running) {
    Ui::TfrmUpload& f = *form_;
    if (!running) {
        SetBusy(false);
    }
    f.pnlProgress->setVisible(running);
    f.btnSend->setVisible(!running);
    if (running) {
        f.Animate->Play();
        tmrProgress_->start();
    } else {
        f.Animate->Stop();
        tmrProgress_->stop();
    }
    f.lstUpload->setEnabled(!running);
    f.btnUpAdd->setEnabled(!running);
    f.btnServers->setEnabled(!running);
    if (running) {
        f.btnUpRemove->setEnabled(false);
    } else {
        UpdateUploadButtons();
    }
}

// The arrow with the hourglass: Stop and Exit stay usable while the session runs.
void TfrmUpload::SetBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        ui_.PushWorkingCursor();
    } else {
        ui_.PopBusyCursor();
    }
}

// --- closing --------------------------------------------------------------------------

void TfrmUpload::reject() {
    if (!MayCloseNow()) {
        return;
    }
    FormClose();
    QDialog::reject();
}

// Stop is a choice made on purpose; Esc, the close box and Exit may not be, so they ask
// while files are going out. The session goes on while the question is open.
bool TfrmUpload::MayCloseNow() {
    if (!session_->Sending()) {
        return true;
    }
    return ShowMessage(TMsgKind::Confirmation,
                       QStringLiteral("Stop sending? The page on the web may be left incomplete."),
                       mbYes | mbNo) == mbYes;
}

// A request under way is given up rather than left to refuse the QUIT: the window always
// closes. An idle open connection is closed politely.
void TfrmUpload::FormClose() {
    if (session_->Running()) {
        session_->Stop();
    }
    if (sftp_.Connected()) {
        sftp_.Abort();  // SSH's goodbye needs no answer
    }
    if (ftp_.Connected()) {
        if (ftp_.State() == fsReady) {
            ftp_.QuitAsync();
        } else {
            ftp_.AbortDiscarding();
        }
    }
    SetBusy(false);
}

// --- painting and typed keys ----------------------------------------------------------

void TfrmUpload::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    Ui::TfrmUpload& f = *form_;
    QPainter painter(this);
    const QRect group =
        f.btnServers->geometry().united(f.btnUpload->geometry()).adjusted(-2, -2, 1, 1);
    const QRect exit = f.btnExit->geometry().adjusted(-2, -2, 1, 1);
    for (const QRect& outline : {group, exit}) {
        qDrawShadeRect(&painter, outline, palette(), true, 1);
    }
}

bool TfrmUpload::eventFilter(QObject* watched, QEvent* event) {
    Ui::TfrmUpload& f = *form_;
    if (event->type() == QEvent::KeyPress &&
        (watched == f.txtProfileName || watched == f.txtPort)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Only typed characters are filtered; editing and moving keys carry no text or a
        // control character.
        if (text.size() == 1 && text[0].isPrint()) {
            const char c = text[0].unicode() < 128 ? static_cast<char>(text[0].unicode()) : 'x';
            const bool refused =
                watched == f.txtProfileName ? IsRefusedProfileNameChar(c) : !IsPortKey(c);
            if (refused) {
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tessel

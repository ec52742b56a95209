#include "platform/gui/QtUiServices.h"

#include "platform/gui/HelpKey.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDrag>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <utility>

#include "platform/gui/HelpViewer.h"
#include "platform/gui/PicturePreview.h"

namespace tessel {

namespace {

struct TButtonPair {
    TMsgButton ours;
    QMessageBox::StandardButton qt;
};

constexpr TButtonPair kButtons[] = {
    {mbOK, QMessageBox::Ok},         {mbCancel, QMessageBox::Cancel}, {mbYes, QMessageBox::Yes},
    {mbNo, QMessageBox::No},         {mbAbort, QMessageBox::Abort},   {mbRetry, QMessageBox::Retry},
    {mbIgnore, QMessageBox::Ignore},
};

QMessageBox::Icon IconOf(TMsgKind kind) {
    switch (kind) {
        case TMsgKind::Information:
            return QMessageBox::Information;
        case TMsgKind::Confirmation:
            return QMessageBox::Question;
        case TMsgKind::Warning:
            return QMessageBox::Warning;
        case TMsgKind::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// What closing the box without a button means: Cancel, else No, else the only choice.
TMsgButton EscapeAnswer(TMsgButtons buttons) {
    for (TMsgButton answer : {mbCancel, mbNo, mbOK, mbAbort, mbIgnore, mbRetry, mbYes}) {
        if (buttons & answer) {
            return answer;
        }
    }
    return mbCancel;
}

// A Help button shows the topic and leaves the box open, as help buttons of message boxes do.
void KeepOpenForHelp(QMessageBox& box, QAbstractButton* helpButton, THelpViewer* help,
                     int context) {
    if (auto* buttonBox = box.findChild<QDialogButtonBox*>()) {
        QObject::disconnect(helpButton, &QAbstractButton::clicked, buttonBox, nullptr);
    }
    QObject::connect(helpButton, &QAbstractButton::clicked, &box,
                     [help, context] { help->ShowTopic(context); });
}

// `usualTitle` is the caption of a request that brings none. Without a start folder, or with
// one that does not exist, the dialog opens in the home folder, not in whatever folder the
// program was started from.
void Prepare(QFileDialog& dialog, const TFileDialogRequest& request, const QString& usualTitle) {
    dialog.setWindowTitle(request.title.isEmpty() ? usualTitle : request.title);
    const bool folderExists = !request.folder.isEmpty() && QDir(request.folder).exists();
    dialog.setDirectory(folderExists ? request.folder : QDir::homePath());
    dialog.setNameFilter(request.filter);
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    dialog.setDefaultSuffix(request.defaultSuffix);
}

// A modal window asks for the user's hand, so it shows the normal pointer even when the
// action around it keeps the hourglass up.
class TArrowWhileModal {
  public:
    explicit TArrowWhileModal(bool busy) : busy_(busy) {
        if (busy_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~TArrowWhileModal() {
        if (busy_) {
            QApplication::restoreOverrideCursor();
        }
    }
    TArrowWhileModal(const TArrowWhileModal&) = delete;
    TArrowWhileModal& operator=(const TArrowWhileModal&) = delete;

  private:
    bool busy_;
};

std::optional<QString> ChosenFile(QFileDialog& dialog, bool busy) {
    const TArrowWhileModal arrow(busy);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

}  // namespace

TQtUiServices::TQtUiServices(QString applicationTitle) : title_(std::move(applicationTitle)) {}

TQtUiServices::~TQtUiServices() {
    while (busyDepth_ > 0) {
        PopBusyCursor();
    }
}

TMsgButton TQtUiServices::Message(QWidget* parent, const TMessage& message) {
    QMessageBox box(IconOf(message.kind), message.caption.isEmpty() ? title_ : message.caption,
                    message.text, QMessageBox::NoButton, parent);
    for (const TButtonPair& pair : kButtons) {
        if (message.buttons & pair.ours) {
            box.addButton(pair.qt);
        }
    }
    if (box.buttons().isEmpty()) {
        box.addButton(QMessageBox::Ok);
    }
    if ((message.buttons & mbHelp) && help_ && message.helpContext != 0) {
        KeepOpenForHelp(box, box.addButton(QMessageBox::Help), help_, message.helpContext);
    }
    {
        const TArrowWhileModal arrow(busyDepth_ > 0);
        box.exec();
    }
    const auto clicked = box.standardButton(box.clickedButton());
    for (const TButtonPair& pair : kButtons) {
        if (pair.qt == clicked && (message.buttons & pair.ours)) {
            return pair.ours;
        }
    }
    return EscapeAnswer(message.buttons);
}

std::optional<QString> TQtUiServices::OpenFileName(QWidget* parent,
                                                   const TFileDialogRequest& request) {
    QFileDialog dialog(parent);
    Prepare(dialog, request, QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return ChosenFile(dialog, busyDepth_ > 0);
}

std::optional<QString> TQtUiServices::SaveFileName(QWidget* parent,
                                                   const TFileDialogRequest& request) {
    QFileDialog dialog(parent);
    Prepare(dialog, request, QStringLiteral("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    return ChosenFile(dialog, busyDepth_ > 0);
}

std::optional<QString> TQtUiServices::OpenPictureName(QWidget* parent,
                                                      const TFileDialogRequest& request) {
    QFileDialog dialog(parent);
    // The preview needs our own widgets in the dialog, which a desktop's native dialog lacks.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    Prepare(dialog, request, QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    AddPicturePreview(dialog);
    return ChosenFile(dialog, busyDepth_ > 0);
}

QStringList TQtUiServices::FontFamilies() {
    return QFontDatabase::families();
}

void TQtUiServices::Beep() {
    QApplication::beep();
}

bool TQtUiServices::OpenWithDefaultProgram(const QString& pathOrUrl) {
    const QFileInfo file(pathOrUrl);
    const QUrl url =
        file.isAbsolute() ? QUrl::fromLocalFile(pathOrUrl) : QUrl::fromUserInput(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

int TQtUiServices::Exec(QDialog& dialog) {
    const TArrowWhileModal arrow(busyDepth_ > 0);
    if (help_ != nullptr)
        AddHelpKey(dialog, *help_);
    return dialog.exec();
}

Qt::DropAction TQtUiServices::ExecDrag(QDrag& drag, Qt::DropActions actions) {
    return drag.exec(actions);
}

void TQtUiServices::PushBusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
}

void TQtUiServices::PushWorkingCursor() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ++busyDepth_;
}

void TQtUiServices::PopBusyCursor() {
    if (busyDepth_ == 0) {
        return;  // an extra restore must not take away a cursor someone else set
    }
    --busyDepth_;
    QApplication::restoreOverrideCursor();
}

}  // namespace tessel

// The editor panels' own actions: text import, the picture of an image block, the line
// preview, and the meta tag list's selection and Del key.

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <filesystem>

#include "app/Main.h"
#include "app/core/PanelRules.h"
#include "app/core/ProgramPaths.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_Main.h"

namespace tessel {

void TfrmMain::btnTextImportClick(bool intoBullets) {
    TFileDialogRequest request;
    request.filter = QStringLiteral("Text Files (*.txt)");
    const std::optional<QString> path = ui_.OpenFileName(this, request);
    if (!path)
        return;
    TBusyCursor busy(ui_);
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    // Every line of the file followed by a line end, inserted at the caret.
    QString text;
    for (const std::string& line : SplitLines(bytes.toStdString())) text += ToQt(line) + '\n';
    (intoBullets ? form_->txtBullets : form_->txtText)->insertPlainText(text);
}

void TfrmMain::btnImagePicClick() {
    Ui::TfrmMain& f = *form_;
    const std::string folder = env_.programFolder + kImagesFolder;
    TFileDialogRequest request;
    request.filter = QStringLiteral("Images Files (*.gif *.jpg *.jpeg *.bmp)");
    request.folder = ToQt(folder);
    const std::optional<QString> chosen = ui_.OpenPictureName(this, request);
    if (!chosen)
        return;

    f.lblImageError->hide();
    if (LoadPreviewPicture(*chosen)) {
        f.txtImageH->setText(QString::number(f.imgImageView->height()));
        f.txtImageW->setText(QString::number(f.imgImageView->width()));
    }
    CenterInScrollBox();
    const QString name = QFileInfo(*chosen).fileName();
    f.txtImageFile->setText(name);

    TBusyCursor busy(ui_);
    const std::string inFolder = folder + FromQt(name);
    std::error_code error;
    if (!std::filesystem::exists(inFolder, error)) {
        std::filesystem::create_directories(folder, error);
        ShellFileOperation(FromQt(*chosen), folder, foCopy, 0);
        previewPath_ = ToQt(inFolder);
    } else {
        // The folder's file of that name is what the page will use.
        previewPath_ = *chosen;
    }
    f.imgImageView->setToolTip(previewPath_);
}

// Shows the picture at its own size; a file that cannot be decoded leaves the box empty.
bool TfrmMain::LoadPreviewPicture(const QString& path) {
    Ui::TfrmMain& f = *form_;
    TBusyCursor busy(ui_);  // decoding may take a moment
    const QImage picture = QImageReader(path).read();
    if (picture.isNull()) {
        f.imgImageView->clear();
        f.imgImageView->resize(0, 0);
        return false;
    }
    f.imgImageView->setPixmap(QPixmap::fromImage(picture));
    f.imgImageView->resize(picture.size());
    return true;
}

void TfrmMain::CenterInScrollBox() {
    Ui::TfrmMain& f = *form_;
    const QSize box = f.sbImage->viewport()->size();
    const QSize picture = f.imgImageView->size();
    const int left = CenteredOffset(box.width(), picture.width());
    const int top = CenteredOffset(box.height(), picture.height());
    f.pnlImageBox->resize(std::max(box.width(), left + picture.width() + 12),
                          std::max(box.height(), top + picture.height() + 12));
    f.imgImageView->move(left, top);
}

void TfrmMain::btnLinkBrowseClick(int tag) {
    TFileDialogRequest request;
    // A link may lead to a file of any kind.
    request.filter = QStringLiteral("All Files (*)");
    const std::optional<QString> path = ui_.OpenFileName(this, request);
    if (path)
        SetLinkTarget(tag, *path);
}

void TfrmMain::SetLinkTarget(int tag, const QString& address) {
    (tag == 0 ? form_->txtLinkAddress : form_->txtImageLink)->setText(address);
}

void TfrmMain::cbHRChange() {
    Ui::TfrmMain& f = *form_;
    const int index = f.cbHR->currentIndex();
    if (index < 0)
        return;
    f.bevHR->resize(f.bevHR->width(), LinePreviewHeight(index));
}

void TfrmMain::updnHRWidthClick() {
    Ui::TfrmMain& f = *form_;
    const int position = f.updnHRWidth->value();
    f.txtHRWidth->setText(QString::number(position));
    const int width = LinePreviewWidth(position, fullLineWidth_);
    f.bevHR->setGeometry((f.pnlHRPreview->contentsRect().width() - width) / 2, f.bevHR->y(), width,
                         f.bevHR->height());
}

void TfrmMain::chkNoShadeClick() {
    // A shaded rule looks engraved into the page; an unshaded one is a solid grey bar.
    QFrame* preview = form_->bevHR;
    if (form_->chkNoShade->isChecked()) {
        preview->setFrameStyle(QFrame::NoFrame);
        preview->setBackgroundRole(QPalette::Dark);
        preview->setAutoFillBackground(true);
    } else {
        preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        preview->setAutoFillBackground(false);
    }
}

void TfrmMain::lstMetaClick() {
    const bool selected = form_->lstMeta->currentRow() >= 0;
    form_->btnMetaRemove->setEnabled(selected);
    form_->btnMetaEdit->setEnabled(selected);
}

void TfrmMain::btnMetaRemoveClick() {
    const int row = form_->lstMeta->currentRow();
    if (row >= 0)
        form_->lstMeta->DeleteLine(row);
    lstMetaClick();
}

bool TfrmMain::lstMetaKeyDown(int key) {
    if (key != Qt::Key_Delete)
        return false;
    btnMetaRemoveClick();
    return true;
}

}  // namespace tessel

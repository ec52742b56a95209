// The editor panels' own actions: text import, the picture of an image block, the line
// preview, and the meta tag list's selection and Del key.

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>

#include "app/Main.h"
#include "app/core/PanelRules.h"
#include "document/Exceptions.h"
#include "pagerules/PictureFolder.h"
#include "pagerules/ProgramPaths.h"
#include "platform/gui/PictureCopies.h"
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
    request.filter = QStringLiteral("Images Files (*.gif *.jpg *.jpeg *.bmp *.png)");
    request.folder = ToQt(folder);
    const std::optional<QString> chosen = ui_.OpenPictureName(this, request);
    if (!chosen)
        return;

    const QString name = QFileInfo(*chosen).fileName();
    QByteArray format;
    QImage picture = ReadPicture(*chosen, &format);
    if (picture.isNull()) {
        // A picture the panel cannot show would not show on the page either.
        ShowError(QStringLiteral("The picture could not be read: %1").arg(name));
        return;
    }
    std::optional<QString> shownPath;
    if (const std::optional<TPictureCopy> copy = OfferLighterCopy(*chosen, picture, format)) {
        shownPath = PlaceCopyInFolder(*copy, folder);
        // The copy, or a picture of its name that the user kept: what the page shows.
        if (shownPath)
            picture = ReadPicture(*shownPath);
    } else {
        shownPath = PlacePictureInFolder(*chosen, folder);
    }
    if (!shownPath)
        return;

    f.lblImageError->hide();
    ShowPreviewPicture(picture);
    if (!picture.isNull()) {
        f.txtImageH->setText(QString::number(picture.height()));
        f.txtImageW->setText(QString::number(picture.width()));
    }
    CenterInScrollBox();
    f.txtImageFile->setText(QFileInfo(*shownPath).fileName());
    previewPath_ = *shownPath;
    f.imgImageView->setToolTip(previewPath_);
}

// Makes the images folder hold the chosen picture under its name, asking before another
// picture of that name is replaced. The path the panel then refers to, or nothing when the
// picture could not be copied (the user has been told).
std::optional<QString> TfrmMain::PlacePictureInFolder(const QString& chosen,
                                                      const std::string& folder) {
    const std::string path = FromQt(chosen);
    return PlaceInFolder(FileNameOf(path), ComparePictureWithFolder(path, folder), chosen, folder,
                         [&] { CopyPictureIntoFolder(path, folder); });
}

// `kept` is the path the panel refers to when the folder's file stays: the same picture, or a
// different one the user chose not to replace.
std::optional<QString> TfrmMain::PlaceInFolder(const std::string& name, TPictureInFolder relation,
                                               const QString& kept, const std::string& folder,
                                               const std::function<void()>& write) {
    switch (relation) {
        case TPictureInFolder::Absent:
            break;
        case TPictureInFolder::Same:
            return kept;
        case TPictureInFolder::Different:
            if (!AskReplacePicture(ToQt(name)))
                return kept;  // the folder's file of that name is what the page will use
            break;
    }
    std::optional<QString> failure;
    {
        TBusyCursor busy(ui_);
        try {
            write();
        } catch (const ETesselError& error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    if (failure) {
        ShowError(QStringLiteral("The picture could not be copied into your images folder.\n\n%1")
                      .arg(*failure));
        return std::nullopt;
    }
    return ToQt(folder + name);
}

bool TfrmMain::AskReplacePicture(const QString& name) {
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral(
                        "Your images folder already holds a different picture named \"%1\".\n\n"
                        "Replace it with the picture you chose? Every page that uses \"%1\" will "
                        "then show the new picture. If you answer No, this page uses the picture "
                        "already in the folder.")
                        .arg(name);
    question.buttons = mbYes | mbNo;
    return ui_.Message(this, question) == mbYes;
}

// Decodes a picture file upright, as browsers show it; a null picture when it cannot be
// decoded.
QImage TfrmMain::ReadPicture(const QString& path, QByteArray* format) {
    TBusyCursor busy(ui_);  // decoding may take a moment
    return ReadUprightPicture(path, format);
}

// Shows the picture at its own size; a null picture leaves the box empty.
void TfrmMain::ShowPreviewPicture(const QImage& picture) {
    Ui::TfrmMain& f = *form_;
    if (picture.isNull()) {
        f.imgImageView->clear();
        f.imgImageView->resize(0, 0);
        return;
    }
    f.imgImageView->setPixmap(QPixmap::fromImage(picture));
    f.imgImageView->resize(picture.size());
}

bool TfrmMain::LoadPreviewPicture(const QString& path) {
    const QImage picture = ReadPicture(path);
    ShowPreviewPicture(picture);
    return !picture.isNull();
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
    const TUndoableChange change(*this, "Meta Tags", currentBlock_, true);
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

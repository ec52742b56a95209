// The size of the image panel's picture: the lighter copy offered for a picture wider than the
// page shows, and the Height and Width edits that keep the picture's proportions.

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "app/Main.h"
#include "pagerules/PictureFolder.h"
#include "pagerules/PictureSizes.h"
#include "platform/HelpContexts.h"
#include "platform/gui/PictureCopies.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_Main.h"

namespace tessel {

namespace {

QString SizeText(int width, int height) {
    return QStringLiteral("%1 \u00D7 %2").arg(width).arg(height);
}

QString FileSize(qint64 bytes) {
    return ToQt(FileSizeText(static_cast<std::uintmax_t>(std::max<qint64>(bytes, 0))));
}

}  // namespace

std::optional<TPictureCopy> TfrmMain::OfferLighterCopy(const QString& chosen, const QImage& picture,
                                                       const QByteArray& format) {
    if (document_->Page().Count() == 0)
        return std::nullopt;
    const std::optional<int> widest =
        WidestPictureShown(document_->Page().Items(0).PagePropertiesBlock().IndentMargin);
    if (!widest || picture.width() <= *widest)
        return std::nullopt;
    std::optional<TPictureCopy> copy;
    {
        TBusyCursor busy(ui_);  // scaling a camera photo takes a moment
        copy = LighterPictureCopy(chosen, picture, format, *widest);
    }
    if (!copy)
        return std::nullopt;

    const qint64 original = QFileInfo(chosen).size();
    const qint64 saved = original - copy->bytes.size();
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text =
        QStringLiteral(
            "This picture is %1 pixels, but your page shows pictures at most %2 pixels wide.\n\n"
            "Place a copy of %3 pixels instead? It looks the same on the page, and visitors "
            "load %4 instead of %5: %6 less.\n\n"
            "Photos from a camera or phone often carry the place where they were taken. The "
            "copy leaves that out, with the other camera details; your own picture stays as "
            "it is.\n\n"
            "Answer No to place the picture as it is.")
            .arg(SizeText(picture.width(), picture.height()))
            .arg(*widest)
            .arg(SizeText(copy->size.width(), copy->size.height()))
            .arg(FileSize(copy->bytes.size()), FileSize(original), FileSize(saved));
    question.buttons = mbYes | mbNo | mbHelp;
    question.helpContext = kHelpImageFile;
    if (ui_.Message(this, question) != mbYes)
        return std::nullopt;
    return copy;
}

std::optional<QString> TfrmMain::PlaceCopyInFolder(const TPictureCopy& copy,
                                                   const std::string& folder) {
    const std::string name = FromQt(copy.name);
    const std::string bytes(copy.bytes.constData(), static_cast<size_t>(copy.bytes.size()));
    // Kept or not, the page then uses the folder's file of that name.
    const QString inFolder = ToQt(folder + name);
    return PlaceInFolder(name, CompareBytesWithFolder(bytes, name, folder), inFolder, folder,
                         [&] { WritePictureIntoFolder(bytes, name, folder); });
}

void TfrmMain::txtImageSizeChange(bool widthTyped) {
    Ui::TfrmMain& f = *form_;
    if (!f.chkKeepProportions->isChecked())
        return;
    const QSize picture = f.imgImageView->pixmap().size();
    QLineEdit* typed = widthTyped ? f.txtImageW : f.txtImageH;
    QLineEdit* other = widthTyped ? f.txtImageH : f.txtImageW;
    const std::optional<int> side =
        widthTyped ? ProportionalSide(FromQt(typed->text()), picture.width(), picture.height())
                   : ProportionalSide(FromQt(typed->text()), picture.height(), picture.width());
    if (side)
        other->setText(QString::number(*side));
}

}  // namespace tessel

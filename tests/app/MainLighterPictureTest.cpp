// A picture wider than the page shows, chosen with the image panel's Browse button: the
// lighter copy offered, what lands in the images folder, and the size edits that keep the
// picture's proportions.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/PictureChoiceFixture.h"
#include "pagerules/PictureSizes.h"
#include "platform/gui/CameraPhoto.h"

namespace tessel {
namespace {

class LighterPictureTest : public TPictureChoiceFixture {
  protected:
    static QByteArray Bytes(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The picture as stored in the file, without turning it by any orientation tag.
    static QImage AsStored(const std::string& path) {
        QImageReader reader(QString::fromStdString(path));
        reader.setAutoTransform(false);
        return reader.read();
    }
    static QString Size(qint64 bytes) {
        return QString::fromStdString(FileSizeText(static_cast<std::uintmax_t>(bytes)));
    }

    // Stored 1800 x 1300 by a camera held upright: shown 1300 x 1800.
    std::string photo = WriteCameraPhoto(outside + "camera.jpg", QSize(1800, 1300));
};

TEST_F(LighterPictureTest, ACameraPhotoBecomesAnUprightCopyWithoutItsPlace) {
    const QByteArray original = Bytes(photo);
    ASSERT_EQ(ExifSegments(original), 1);
    ASSERT_NE(original.indexOf(kCameraPhotoComment), -1);

    ui.AnswerMessage(mbYes);
    Choose(photo);
    ASSERT_EQ(ui.Messages().size(), 1u);
    const std::string copyPath = images() + "camera-1200.jpg";
    const QByteArray copy = Bytes(copyPath);
    const TShownMessage& question = ui.Messages().front();
    EXPECT_EQ(question.kind, TMsgKind::Confirmation);
    EXPECT_EQ(question.buttons, mbYes | mbNo | mbHelp);
    for (const QString& part :
         {QStringLiteral("1300 \u00D7 1800 pixels"), QStringLiteral("at most 1200 pixels wide"),
          QStringLiteral("1200 \u00D7 1662 pixels"),
          Size(copy.size()) + " instead of " + Size(original.size()),
          Size(original.size() - copy.size()) + " less",
          QStringLiteral("the place where they were taken")}) {
        EXPECT_NE(question.text.indexOf(part), -1) << part.toStdString() << "\n"
                                                   << question.text.toStdString();
    }

    ASSERT_FALSE(copy.isEmpty());
    EXPECT_LT(copy.size(), original.size() / 2);
    EXPECT_EQ(ExifSegments(copy), 0);
    EXPECT_EQ(copy.indexOf("Exif"), -1);
    EXPECT_EQ(copy.indexOf(kCameraPhotoComment), -1);
    const QImage stored = AsStored(copyPath);
    ASSERT_EQ(stored.size(), QSize(1200, 1662));
    // Upright in its pixels, with no tag left to turn it: blue at the left, red at the right.
    EXPECT_GT(qBlue(stored.pixel(100, 831)), 150);
    EXPECT_GT(qRed(stored.pixel(1100, 831)), 150);
    EXPECT_LT(qRed(stored.pixel(100, 831)), 100);

    EXPECT_EQ(Bytes(photo), original) << "the user's own photo is not touched";
    EXPECT_FALSE(Exists(images() + "camera.jpg"));
    EXPECT_EQ(F().txtImageW->text(), "1200");
    EXPECT_EQ(F().txtImageH->text(), "1662");
    EXPECT_EQ(F().txtImageFile->text(), "camera-1200.jpg");
    EXPECT_EQ(F().imgImageView->size(), QSize(1200, 1662));
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), copyPath);
    EXPECT_EQ(StoredFileName(), "camera-1200.jpg");
}

TEST_F(LighterPictureTest, DecliningPlacesTheOriginalShownUpright) {
    ui.AnswerMessage(mbNo);
    Choose(photo);
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(Bytes(images() + "camera.jpg"), Bytes(photo));
    EXPECT_FALSE(Exists(images() + "camera-1200.jpg"));
    // Browsers turn the photo by its tag, so the page's sizes are the upright ones.
    EXPECT_EQ(F().txtImageW->text(), "1300");
    EXPECT_EQ(F().txtImageH->text(), "1800");
    EXPECT_EQ(StoredFileName(), "camera.jpg");
}

TEST_F(LighterPictureTest, TheMarginTableNarrowsThePageAndNarrowPicturesAreNotAsked) {
    Page().Items(0).PagePropertiesBlock().IndentMargin = "130";
    Choose(Picture(outside + "narrow.bmp", 470, 100, Qt::darkGreen));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(StoredFileName(), "narrow.bmp");

    ui.AnswerMessage(mbYes);
    Choose(Picture(outside + "wide.bmp", 940, 200, Qt::darkGreen));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages().back().text.indexOf("at most 470 pixels wide"), -1);
    // A bitmap stays a bitmap.
    QImageReader copy(QString::fromStdString(images() + "wide-470.bmp"));
    EXPECT_EQ(copy.format(), "bmp");
    EXPECT_EQ(copy.size(), QSize(470, 100));
    EXPECT_EQ(F().txtImageH->text(), "100");
    EXPECT_EQ(StoredFileName(), "wide-470.bmp");
}

TEST_F(LighterPictureTest, TheCopyNeverReplacesAPictureOfItsNameSilently) {
    const std::string mine = Picture(images() + "camera-1200.jpg", 64, 48, Qt::darkGreen);
    const QByteArray minesBytes = Bytes(mine);

    ui.AnswerMessage(mbYes);  // the copy
    ui.AnswerMessage(mbNo);   // do not replace the folder's picture
    Choose(photo);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_NE(ui.Messages().back().text.indexOf("\"camera-1200.jpg\""), -1);
    EXPECT_EQ(Bytes(mine), minesBytes);
    // The page uses the folder's picture: the panel shows that one and its size.
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), mine);
    EXPECT_EQ(F().txtImageW->text(), "64");
    EXPECT_EQ(StoredFileName(), "camera-1200.jpg");

    ui.AnswerMessage(mbYes);
    ui.AnswerMessage(mbYes);
    Choose(photo);
    ASSERT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(AsStored(mine).size(), QSize(1200, 1662));

    // The same photo again makes the same copy: nothing to replace, nothing asked.
    ui.AnswerMessage(mbYes);
    Choose(photo);
    EXPECT_EQ(ui.Messages().size(), 5u);
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(LighterPictureTest, KeepProportionsSetsTheOtherSideAsTheUserTypes) {
    Activate();  // for Alt and a letter
    Choose(Picture(outside + "dog.bmp", 400, 300, Qt::darkGreen));
    ASSERT_TRUE(F().chkKeepProportions->isChecked());
    F().txtImageW->setFocus();
    F().txtImageW->selectAll();
    QTest::keyClicks(F().txtImageW, "200");
    EXPECT_EQ(F().txtImageH->text(), "150");
    QTest::keyClick(F().txtImageW, Qt::Key_Tab, Qt::ShiftModifier);  // back to Height
    ASSERT_TRUE(F().txtImageH->hasFocus());
    F().txtImageH->selectAll();
    QTest::keyClicks(F().txtImageH, "60");
    EXPECT_EQ(F().txtImageW->text(), "80");
    QTest::keyClicks(F().txtImageH, "%");
    EXPECT_EQ(F().txtImageW->text(), "80") << "not a number: the width stays";

    // Alt+P unticks the box (as a click that lets the button go a moment later); then each
    // side is typed on its own.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !F().chkKeepProportions->isChecked(); }, 10000));
    F().txtImageW->setFocus();
    F().txtImageW->selectAll();
    QTest::keyClicks(F().txtImageW, "10");
    EXPECT_EQ(F().txtImageH->text(), "60%");
    window->StoreBlock();
    EXPECT_EQ(block->ImageBlock().Width, "10");
    EXPECT_EQ(block->ImageBlock().Height, "60%");
}

TEST_F(LighterPictureTest, KeepProportionsLeavesStoredSizesAndPagesWithoutAPicture) {
    Picture(images() + "dog.bmp", 400, 300, Qt::darkGreen);
    block->ImageBlock().FileName = "dog.bmp";
    block->ImageBlock().Width = "99";
    block->ImageBlock().Height = "10";
    InitNewBlock(window->Document(), Page().Count(), btImage);
    TPageItem& missing = Page().Items(Page().Count() - 1);
    missing.ImageBlock().FileName = "gone.bmp";
    missing.ImageBlock().Height = "7";
    window->RebuildBlockList();

    // Showing a block fills the edits; that is no typing.
    F().lstBlocks->setCurrentRow(block->Index());
    EXPECT_EQ(F().txtImageW->text(), "99");
    EXPECT_EQ(F().txtImageH->text(), "10");

    F().lstBlocks->setCurrentRow(missing.Index());
    ASSERT_FALSE(F().lblImageError->isHidden());
    F().txtImageW->setFocus();
    QTest::keyClicks(F().txtImageW, "300");
    EXPECT_EQ(F().txtImageH->text(), "7") << "no picture known: nothing to keep";
}

}  // namespace
}  // namespace tessel

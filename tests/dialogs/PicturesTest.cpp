#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "platform/gui/Pictures.h"

namespace tessel {
namespace {

// Every picture the windows load by name. A picture that renders to nothing counts as missing.
const char* const kPictureNames[] = {
    "imgProp",      "imgHeading",        "imgImage",    "imgLink",      "imgText",    "imgBullet",
    "imgHR",        "imgForms",          "btnCreate",   "btnPreview",   "btnSave",    "btnUpload",
    "btnNew",       "btnChooseTemplate", "btnTemplate", "TRASH_E",      "TRASH_F",    "tessel",
    "docPage",      "docTemplate",       "imgTip",      "btnLeft",      "btnCenter",  "btnRight",
    "btnParagraph", "btnBold",           "btnItalic",   "btnUnderline", "btnColor",   "glyphAdd",
    "glyphRemove",  "glyphEdit",         "glyphUp",     "glyphDown",    "glyphApply", "glyphCancel",
    "glyphBrowse",  "glyphClear",        "fkText",      "fkTextArea",   "fkRadio",    "fkCheckBox",
    "fkDropDown",   "fkButton",          "profile",     "wizServers",   "wizUpload",  "wizExit",
};

int OpaquePixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    }
    return count;
}

TEST(PicturesTest, EveryPictureRendersAtTheRequestedSizes) {
    for (const char* name : kPictureNames) {
        for (const int side : {16, 32}) {
            const QPixmap pixmap = Picture(name, QSize(side, side));
            ASSERT_FALSE(pixmap.isNull()) << name << " at " << side;
            EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), QSize(side, side)) << name;
            // Drawn with as many pixels as the screen shows, so not blurred by scaling.
            EXPECT_EQ(pixmap.size(), QSize(side, side) * qGuiApp->devicePixelRatio()) << name;
            // Small glyphs are mostly empty space, but each must cover a tenth of its square.
            EXPECT_GT(OpaquePixels(pixmap), side * side / 10) << name << " at " << side;
        }
        const QIcon icon = PictureIcon(name);
        EXPECT_FALSE(icon.isNull()) << name;
        EXPECT_TRUE(icon.availableSizes().contains(QSize(96, 96))) << name;
    }
}

TEST(PicturesTest, SplashFillsItsWholeArea) {
    const QPixmap splash = Picture("splash", QSize(400, 320));
    ASSERT_EQ(splash.deviceIndependentSize().toSize(), QSize(400, 320));
    EXPECT_EQ(OpaquePixels(splash), splash.width() * splash.height());
}

TEST(PicturesTest, RepeatedRequestsGiveTheSamePicture) {
    const QPixmap first = Picture("imgHeading", QSize(24, 24));
    const QPixmap second = Picture("imgHeading", QSize(24, 24));
    EXPECT_EQ(first.toImage(), second.toImage());
    EXPECT_EQ(Picture("imgHeading", QSize(20, 20)).deviceIndependentSize().toSize(), QSize(20, 20));
}

TEST(PicturesTest, CursorsPointWhereTheirDrawingPoints) {
    const QCursor drag = ProgramCursor("NEWDRAG");
    ASSERT_EQ(drag.shape(), Qt::BitmapCursor);
    EXPECT_EQ(drag.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(drag.hotSpot(), QPoint(1, 1));
    // The arrow's tip is drawn at the hot spot.
    EXPECT_GT(qAlpha(drag.pixmap().toImage().pixel(2, 3)), 128);

    const QCursor dropper = ProgramCursor("EYEDROPPER");
    ASSERT_EQ(dropper.shape(), Qt::BitmapCursor);
    EXPECT_EQ(dropper.hotSpot(), QPoint(2, 29));
    EXPECT_GT(qAlpha(dropper.pixmap().toImage().pixel(3, 28)), 128);
}

TEST(PicturesTest, UnknownNamesGiveNothingRatherThanFailing) {
    EXPECT_TRUE(Picture("noSuchPicture", QSize(16, 16)).isNull());
    EXPECT_TRUE(Picture("imgHeading", QSize(0, 0)).isNull());
    EXPECT_TRUE(PictureIcon("noSuchPicture").isNull());
    EXPECT_EQ(ProgramCursor("NOSUCHCURSOR").shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tessel

#include "platform/gui/PicturePreview.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QImage>
#include <QLabel>

#include "platform/gui/CameraPhoto.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

TEST(PicturePreview, ShowsTheSelectedPictureScaledWithItsSize) {
    testing::TTempFolder folder;
    const QString big = QString::fromStdString(folder.Path() + "big.png");
    QImage(640, 320, QImage::Format_RGB32).save(big);
    const QString text = QString::fromStdString(folder.Write("notes.gif", "not a picture"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    AddPicturePreview(dialog);
    auto* picture = dialog.findChild<QLabel*>(QStringLiteral("picturePreviewImage"));
    auto* size = dialog.findChild<QLabel*>(QStringLiteral("picturePreviewSize"));
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(size, nullptr);

    emit dialog.currentChanged(big);
    EXPECT_EQ(size->text(), "640 x 320 pixels");
    const QPixmap shown = picture->pixmap();
    EXPECT_EQ(shown.size(), QSize(160, 80));

    // A photo taken with the camera turned: its size as it is shown.
    emit dialog.currentChanged(
        QString::fromStdString(WriteCameraPhoto(folder.Path() + "turned.jpg", QSize(200, 100))));
    EXPECT_EQ(size->text(), "100 x 200 pixels");
    EXPECT_EQ(picture->pixmap().size(), QSize(80, 160));

    emit dialog.currentChanged(text);
    EXPECT_TRUE(picture->pixmap().isNull());
    EXPECT_EQ(picture->text(), "No preview");
    EXPECT_TRUE(size->text().isEmpty());
}

}  // namespace
}  // namespace tessel

// Choosing the picture of an image block with the panel's Browse button: what lands in the
// images folder, and what the panel and the block refer to afterwards.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/PictureChoiceFixture.h"

namespace tessel {
namespace {

using PictureChoiceTest = TPictureChoiceFixture;

TEST_F(PictureChoiceTest, ADifferentPictureOfTheSameNameReplacesTheFoldersOnlyWhenAsked) {
    Picture(images() + "dog.bmp", 64, 48, Qt::red);
    const std::string other = Picture(outside + "dog.bmp", 10, 8, Qt::blue);

    ui.AnswerMessage(mbNo);
    Choose(other);
    ASSERT_EQ(ui.Messages().size(), 1u);
    const TShownMessage& question = ui.Messages().back();
    EXPECT_EQ(question.kind, TMsgKind::Confirmation);
    EXPECT_EQ(question.buttons, mbYes | mbNo);
    EXPECT_NE(question.text.indexOf("\"dog.bmp\""), -1);
    EXPECT_NE(question.text.indexOf("Every page that uses"), -1);
    EXPECT_EQ(WidthOf(images() + "dog.bmp"), 64) << "No keeps the folder's picture";
    EXPECT_EQ(StoredFileName(), "dog.bmp");

    ui.AnswerMessage(mbYes);
    Choose(other);
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(WidthOf(images() + "dog.bmp"), 10) << "Yes copies the chosen picture over";
    EXPECT_EQ(WidthOf(outside + "dog.bmp"), 10);
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), images() + "dog.bmp");
    EXPECT_EQ(F().txtImageW->text(), "10");
    EXPECT_EQ(F().txtImageH->text(), "8");
    EXPECT_EQ(StoredFileName(), "dog.bmp");
}

TEST_F(PictureChoiceTest, TheSamePictureOrTheFoldersOwnIsUsedWithoutAQuestion) {
    const std::string inFolder = Picture(images() + "cat.bmp", 30, 20, Qt::green);
    const std::string copy = outside + "cat.bmp";
    std::filesystem::copy_file(inFolder, copy);

    Choose(copy);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), copy);
    EXPECT_EQ(F().txtImageFile->text(), "cat.bmp");
    EXPECT_EQ(F().txtImageW->text(), "30");

    Choose(inFolder);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(window->ImagePreviewPath().toStdString(), inFolder);
    EXPECT_EQ(StoredFileName(), "cat.bmp");
    EXPECT_EQ(WidthOf(inFolder), 30);
}

TEST_F(PictureChoiceTest, PngPicturesAreOfferedAndTaken) {
    const std::string png = Picture(outside + "sun.png", 12, 34, Qt::yellow, "PNG");
    Choose(png);
    EXPECT_EQ(ui.FileDialogs().back().kind, TFileDialogKind::Picture);
    EXPECT_EQ(ui.FileDialogs().back().request.filter,
              "Images Files (*.gif *.jpg *.jpeg *.bmp *.png)");
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(WidthOf(images() + "sun.png"), 12);
    EXPECT_EQ(F().imgImageView->size(), QSize(12, 34));
    EXPECT_EQ(StoredFileName(), "sun.png");
}

TEST_F(PictureChoiceTest, ThePictureFileNameCannotBeTyped) {
    Choose(Picture(outside + "owl.bmp", 5, 5, Qt::gray));
    EXPECT_TRUE(F().txtImageFile->isReadOnly());
    F().txtImageFile->setFocus();
    QTest::keyClicks(F().txtImageFile, "typed.gif");
    EXPECT_EQ(F().txtImageFile->text(), "owl.bmp");
    EXPECT_EQ(StoredFileName(), "owl.bmp");
}

TEST_F(PictureChoiceTest, APictureThatCannotBeCopiedLeavesTheBlockAsItWas) {
    Choose(Picture(outside + "first.bmp", 7, 7, Qt::red));
    ASSERT_EQ(StoredFileName(), "first.bmp");
    // The images folder has become a file: nothing can be copied into it.
    std::filesystem::remove_all(home + "Upload/images");
    WriteFile(home + "Upload/images", "not a folder");

    ui.AnswerMessage(mbOK);
    Choose(Picture(outside + "second.bmp", 9, 9, Qt::blue));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages().back().kind, TMsgKind::Error);
    EXPECT_NE(ui.Messages().back().text.indexOf("second.bmp"), -1);
    EXPECT_NE(ui.Messages().back().text.indexOf("Not a directory"), -1);
    EXPECT_EQ(F().txtImageFile->text(), "first.bmp");
    EXPECT_EQ(F().txtImageW->text(), "7");
    EXPECT_EQ(StoredFileName(), "first.bmp");
    EXPECT_EQ(ui.BusyDepth(), 0);
}

}  // namespace
}  // namespace tessel

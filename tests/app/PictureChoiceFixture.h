#pragma once

// A main window showing a new image block, for the tests that choose its picture with the
// panel's Browse button.

#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainFixture.h"

namespace tessel {

class TPictureChoiceFixture : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        InitNewBlock(window->Document(), Page().Count(), btImage);
        window->RebuildBlockList();
        block = &Page().Items(Page().Count() - 1);
        {
            const QSignalBlocker quiet(F().lstBlocks);
            F().lstBlocks->setCurrentRow(block->Index());
        }
        window->ShowBlock();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::string Picture(const std::string& path, int width, int height, Qt::GlobalColor color,
                        const char* format = "BMP") {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(color);
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }
    // Presses Browse and picks `path` in the picture dialog.
    void Choose(const std::string& path) {
        ui.AnswerFileDialog(QString::fromStdString(path));
        QTest::mouseClick(F().btnImagePic, Qt::LeftButton);
    }
    std::string StoredFileName() {
        window->StoreBlock();
        return block->ImageBlock().FileName;
    }
    static int WidthOf(const std::string& path) {
        return QImage(QString::fromStdString(path)).width();
    }

    std::string images() const { return home + "Upload/images/"; }
    QTemporaryDir elsewhere;
    std::string outside = elsewhere.path().toStdString() + "/";
    TPageItem* block = nullptr;
};

}  // namespace tessel

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/Pagelette.h"
#include "pagerules/UploadList.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class UploadListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ =
            fs::temp_directory_path() /
            ("tessel-upload-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home_);
        fs::create_directories(home_ / "Upload/images");
        fs::create_directories(home_ / "Upload/backgrounds");
        SetDefaultBlocks(document_);
    }
    void TearDown() override { fs::remove_all(home_); }

    std::string Home() const { return home_.string() + "/"; }
    void Touch(const fs::path& relative) { std::ofstream(home_ / relative) << "x"; }
    void AddImage(const std::string& name) {
        InitNewBlock(document_, document_.Page().Count(), btImage).ImageBlock().FileName = name;
    }

    fs::path home_;
    TPagelette document_;
};

TEST_F(UploadListTest, CollectsExistingPicturesSortedWithoutDuplicates) {
    Touch("Upload/images/b.gif");
    Touch("Upload/images/A.jpg");
    Touch("Upload/backgrounds/paper.gif");
    document_.Page().Items(0).PagePropertiesBlock().Background = "paper.gif";
    AddImage("b.gif");
    AddImage("missing.gif");
    AddImage("A.jpg");
    AddImage("b.gif");

    EXPECT_EQ(
        ListUploadFiles(document_, Home()),
        (std::vector<std::string>{Home() + "Upload/backgrounds/paper.gif",
                                  Home() + "Upload/images/A.jpg", Home() + "Upload/images/b.gif"}));
}

TEST_F(UploadListTest, SortsAndDropsDuplicatesWithoutRegardToCase) {
    for (const char* name : {"x.gif", "a.gif", "X.gif", "B.gif", "c.gif"}) {
        Touch(fs::path("Upload/images") / name);
    }
    for (const char* name : {"x.gif", "c.gif", "a.gif", "X.gif", "B.gif", "x.gif"}) {
        AddImage(name);
    }
    // "X.gif" is another file on this file system, but the same name on a web server that
    // ignores case: the first one used is sent.
    EXPECT_EQ(
        ListUploadFiles(document_, Home()),
        (std::vector<std::string>{Home() + "Upload/images/a.gif", Home() + "Upload/images/B.gif",
                                  Home() + "Upload/images/c.gif", Home() + "Upload/images/x.gif"}));
}

TEST_F(UploadListTest, NamesThatLeaveThePictureFoldersAreMissing) {
    Touch("secret.txt");
    Touch("Upload/images/ok.gif");
    Touch("Upload/images/photo..jpg");
    document_.Page().Items(0).PagePropertiesBlock().Background = "../images/ok.gif";
    AddImage("../../secret.txt");
    AddImage((home_ / "secret.txt").string());
    AddImage("ok.gif");
    AddImage("photo..jpg");  // two dots inside a name lead nowhere else

    EXPECT_EQ(ListUploadFiles(document_, Home()),
              (std::vector<std::string>{Home() + "Upload/images/ok.gif",
                                        Home() + "Upload/images/photo..jpg"}));
}

TEST_F(UploadListTest, AnImageKindFieldOfAnotherBlockIsNotCollected) {
    Touch("Upload/images/stale.gif");
    document_.Page().Items(3).ImageBlock().FileName = "stale.gif";  // the paragraph block
    EXPECT_TRUE(ListUploadFiles(document_, Home()).empty());
}

}  // namespace
}  // namespace tessel

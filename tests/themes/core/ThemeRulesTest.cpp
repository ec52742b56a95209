#include "themes/core/ThemeRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ThemeNameRefused, AddingRefusesANameTheListHoldsWithoutRegardToCase) {
    const std::vector<std::string> names{"Default", "Ocean"};
    EXPECT_TRUE(ThemeNameRefused(names, -1, "ocean"));
    EXPECT_TRUE(ThemeNameRefused(names, -1, "Default"));
    EXPECT_FALSE(ThemeNameRefused(names, -1, "Oceans"));
    EXPECT_FALSE(ThemeNameRefused({}, -1, "Ocean"));
}

TEST(ThemeNameRefused, EditingChecksOnlyANameThatDiffers) {
    const std::vector<std::string> names{"Default", "Ocean"};
    EXPECT_FALSE(ThemeNameRefused(names, 1, "Ocean"));   // unchanged
    EXPECT_TRUE(ThemeNameRefused(names, 1, "OCEAN"));    // meets the entry itself
    EXPECT_TRUE(ThemeNameRefused(names, 1, "default"));  // meets another entry
    EXPECT_FALSE(ThemeNameRefused(names, 1, "Sea"));
}

class PictureArrivalTest : public ::testing::Test {
  protected:
    std::string Folder() const { return folder.Path() + "Upload/backgrounds/"; }
    TTempFolder folder;
};

TEST_F(PictureArrivalTest, TellsEveryWayAPictureCanArrive) {
    const std::string inFolder = folder.Write("Upload/backgrounds/a.gif", "GIF-A");
    const std::string same = folder.Write("elsewhere/a.gif", "GIF-A");
    const std::string other = folder.Write("other/a.gif", "GIF-B");
    const std::string longer = folder.Write("longer/a.gif", "GIF-A and more");
    const std::string fresh = folder.Write("elsewhere/b.gif", "GIF-C");
    EXPECT_EQ(PictureArrival(inFolder, Folder()), TPictureArrival::InFolder);
    EXPECT_EQ(PictureArrival(same, Folder()), TPictureArrival::SameContent);
    EXPECT_EQ(PictureArrival(other, Folder()), TPictureArrival::NameTaken);
    EXPECT_EQ(PictureArrival(longer, Folder()), TPictureArrival::NameTaken);
    EXPECT_EQ(PictureArrival(fresh, Folder()), TPictureArrival::Copy);
}

TEST_F(PictureArrivalTest, CopyKeepsAnExistingFileUnlessItIsToBeReplaced) {
    folder.Write("Upload/backgrounds/a.gif", "OLD");
    const std::string chosen = folder.Write("elsewhere/a.gif", "NEW");
    EXPECT_FALSE(CopyPictureInto(chosen, Folder(), false));
    EXPECT_EQ(Read(Folder() + "a.gif"), "OLD");
    EXPECT_TRUE(CopyPictureInto(chosen, Folder(), true));
    EXPECT_EQ(Read(Folder() + "a.gif"), "NEW");
    EXPECT_FALSE(std::filesystem::exists(Folder() + "a.gif.part~"));
}

TEST_F(PictureArrivalTest, CopyCreatesTheFolderAndAFailedCopyLeavesNothing) {
    const std::string chosen = folder.Write("elsewhere/c.jpg", "JPEG");
    const std::string fresh = folder.Path() + "new/backgrounds/";
    EXPECT_TRUE(CopyPictureInto(chosen, fresh, false));
    EXPECT_EQ(Read(fresh + "c.jpg"), "JPEG");
    EXPECT_FALSE(CopyPictureInto(folder.Path() + "missing.jpg", Folder(), true));
    EXPECT_FALSE(std::filesystem::exists(Folder() + "missing.jpg"));
    EXPECT_FALSE(std::filesystem::exists(Folder() + "missing.jpg.part~"));
}

}  // namespace
}  // namespace tessel

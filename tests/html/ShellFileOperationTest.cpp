#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "html/Routines.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class ShellFileOperationTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.Path() + name; }
    void Write(const std::string& name, const std::string& text) const {
        folder_.Write(name, text);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    testing::TTempFolder folder_;
};

TEST_F(ShellFileOperationTest, CopiesIntoAFolderOrToAName) {
    Write("pick/cat.gif", "GIF89a");
    fs::create_directories(Path("Upload/images"));
    EXPECT_TRUE(ShellFileOperation(Path("pick/cat.gif"), Path("Upload/images"), foCopy, 0));
    EXPECT_EQ(Read("Upload/images/cat.gif"), "GIF89a");
    EXPECT_TRUE(ShellFileOperation(Path("pick/cat.gif"), Path("new/dog.gif"), foCopy, 0));
    EXPECT_EQ(Read("new/dog.gif"), "GIF89a");
    EXPECT_EQ(Read("pick/cat.gif"), "GIF89a");
}

TEST_F(ShellFileOperationTest, ExistingTargetIsReplacedOnlyWithoutConfirmation) {
    Write("a.txt", "new");
    Write("b.txt", "old");
    EXPECT_FALSE(ShellFileOperation(Path("a.txt"), Path("b.txt"), foCopy, 0));
    EXPECT_EQ(Read("b.txt"), "old");
    EXPECT_TRUE(ShellFileOperation(Path("a.txt"), Path("b.txt"), foCopy,
                                   fofNoConfirmation | fofWantMappingHandle));
    EXPECT_EQ(Read("b.txt"), "new");
    EXPECT_FALSE(ShellFileOperation(Path("a.txt"), Path("a.txt"), foCopy, fofNoConfirmation));
    EXPECT_EQ(Read("a.txt"), "new");
}

TEST_F(ShellFileOperationTest, SeveralSourcesGoIntoOneNewFolder) {
    Write("a.txt", "A");
    Write("b.txt", "B");
    EXPECT_TRUE(
        ShellFileOperation(Path("a.txt") + "," + Path("b.txt") + ",", Path("both"), foCopy, 0));
    EXPECT_EQ(Read("both/a.txt"), "A");
    EXPECT_EQ(Read("both/b.txt"), "B");
    EXPECT_TRUE(ShellFileOperation(Path("a.txt") + "," + Path("b.txt"),
                                   Path("x.txt") + "," + Path("y.txt"), foCopy, fofMultiDestFiles));
    EXPECT_EQ(Read("x.txt"), "A");
    EXPECT_EQ(Read("y.txt"), "B");
}

TEST_F(ShellFileOperationTest, MoveRenameAndDelete) {
    Write("a.txt", "A");
    EXPECT_TRUE(ShellFileOperation(Path("a.txt"), Path("moved.txt"), foMove, 0));
    EXPECT_FALSE(fs::exists(Path("a.txt")));
    EXPECT_EQ(Read("moved.txt"), "A");

    EXPECT_TRUE(ShellFileOperation(Path("moved.txt"), "renamed.txt", foRename, 0));
    EXPECT_EQ(Read("renamed.txt"), "A");
    Write("other.txt", "O");
    // Renaming never replaces a file.
    EXPECT_FALSE(ShellFileOperation(Path("other.txt"), "renamed.txt", foRename, fofNoConfirmation));
    EXPECT_EQ(Read("renamed.txt"), "A");

    Write("sub/deep.txt", "D");
    EXPECT_TRUE(ShellFileOperation(Path("renamed.txt") + "," + Path("sub"), "", foDelete, 0));
    EXPECT_FALSE(fs::exists(Path("renamed.txt")));
    EXPECT_FALSE(fs::exists(Path("sub")));
}

TEST_F(ShellFileOperationTest, FailuresAreReported) {
    Write("a.txt", "A");
    EXPECT_FALSE(ShellFileOperation(Path("a.txt"), Path("b.txt"), 5, 0));
    EXPECT_FALSE(ShellFileOperation(Path("a.txt"), Path("b.txt"), 0, 0));
    EXPECT_FALSE(fs::exists(Path("b.txt")));
    EXPECT_FALSE(ShellFileOperation(Path("missing.txt"), Path("b.txt"), foCopy, 0));
    EXPECT_FALSE(ShellFileOperation("", Path("b.txt"), foCopy, 0));
    EXPECT_FALSE(ShellFileOperation(Path("a.txt"), "", foCopy, 0));
    EXPECT_FALSE(ShellFileOperation(Path("missing.txt"), "", foDelete, 0));
    EXPECT_EQ(Read("a.txt"), "A");
}

}  // namespace
}  // namespace tessel

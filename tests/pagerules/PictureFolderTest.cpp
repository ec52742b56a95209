#include "pagerules/PictureFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/Exceptions.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;
namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PictureFolder, ComparesFilesByEveryByte) {
    TTempFolder folder;
    const std::string big(200 * 1024, 'x');
    std::string bigChanged = big;
    bigChanged[big.size() - 70000] = 'y';  // beyond the first chunk read
    const std::string a = folder.Write("a", big);
    EXPECT_TRUE(SameFileContent(a, folder.Write("b", big)));
    EXPECT_FALSE(SameFileContent(a, folder.Write("c", bigChanged)));
    EXPECT_FALSE(SameFileContent(a, folder.Write("d", big + "x")));
    EXPECT_FALSE(SameFileContent(folder.Write("e", "GIF89a"), folder.Write("f", "GIF89b")));
    EXPECT_TRUE(SameFileContent(folder.Write("g", ""), folder.Write("h", "")));
    EXPECT_FALSE(SameFileContent(a, folder.Path() + "missing"));
    EXPECT_FALSE(SameFileContent(folder.Path() + "missing", folder.Path() + "missing"));
}

TEST(PictureFolder, TellsWhatTheFolderHoldsUnderTheChosenName) {
    TTempFolder home;
    const std::string images = home.Path() + "Upload/images/";
    const std::string chosen = home.Write("elsewhere/dog.gif", "GIF89a dog");
    EXPECT_EQ(ComparePictureWithFolder(chosen, images), TPictureInFolder::Absent);

    const std::string inFolder = home.Write("Upload/images/dog.gif", "GIF89a dog");
    EXPECT_EQ(ComparePictureWithFolder(chosen, images), TPictureInFolder::Same);
    EXPECT_EQ(ComparePictureWithFolder(inFolder, images), TPictureInFolder::Same);
    fs::create_symlink(inFolder, home.Path() + "link.gif");
    home.Write("Upload/images/link.gif", "a different picture");
    EXPECT_EQ(ComparePictureWithFolder(home.Path() + "link.gif", images),
              TPictureInFolder::Different);

    home.Write("Upload/images/dog.gif", "GIF89a cat");
    EXPECT_EQ(ComparePictureWithFolder(chosen, images), TPictureInFolder::Different);
    fs::create_directories(images + "odd.gif");
    EXPECT_EQ(ComparePictureWithFolder(home.Write("odd.gif", "x"), images),
              TPictureInFolder::Different);
}

TEST(PictureFolder, CopiesOrReplacesUnderTheSameName) {
    TTempFolder home;
    const std::string images = home.Path() + "Upload/images/";
    const std::string picture(150 * 1024, '\x7f');
    // Names that a list of names would split or a shell would mangle stay whole.
    const std::string chosen = home.Write("from/my dog, 2.gif", picture);
    CopyPictureIntoFolder(chosen, images);
    EXPECT_EQ(Read(images + "my dog, 2.gif"), picture);
    EXPECT_EQ(Read(chosen), picture);

    home.Write("other/my dog, 2.gif", "new");
    CopyPictureIntoFolder(home.Path() + "other/my dog, 2.gif", images);
    EXPECT_EQ(Read(images + "my dog, 2.gif"), "new");
    EXPECT_EQ(ComparePictureWithFolder(chosen, images), TPictureInFolder::Different);
}

TEST(PictureFolder, APictureMadeInMemoryIsComparedAndWrittenByItsBytes) {
    TTempFolder home;
    const std::string images = home.Path() + "Upload/images/";
    EXPECT_EQ(CompareBytesWithFolder("copy", "cat-600.jpg", images), TPictureInFolder::Absent);
    WritePictureIntoFolder("copy", "cat-600.jpg", images);
    EXPECT_EQ(Read(images + "cat-600.jpg"), "copy");
    EXPECT_EQ(CompareBytesWithFolder("copy", "cat-600.jpg", images), TPictureInFolder::Same);
    // Same length, other bytes: another picture of that name.
    EXPECT_EQ(CompareBytesWithFolder("cozy", "cat-600.jpg", images), TPictureInFolder::Different);
    fs::create_directories(images + "dir.jpg");
    EXPECT_EQ(CompareBytesWithFolder("", "dir.jpg", images), TPictureInFolder::Different);
}

TEST(PictureFolder, AFailedCopyKeepsTheFoldersFileAndSaysWhy) {
    TTempFolder home;
    const std::string images = home.Path() + "Upload/images/";
    home.Write("Upload/images/cat.gif", "old cat");
    try {
        CopyPictureIntoFolder(home.Path() + "gone/cat.gif", images);
        FAIL() << "a missing picture was copied";
    } catch (const ETesselError& error) {
        EXPECT_NE(std::string(error.what()).find("gone/cat.gif"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos);
    }
    EXPECT_EQ(Read(images + "cat.gif"), "old cat");

    fs::create_directories(images + "dir.gif/inside");
    EXPECT_THROW(CopyPictureIntoFolder(home.Write("dir.gif", "x"), images), ETesselError);
    EXPECT_TRUE(fs::is_directory(images + "dir.gif/inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(images), fs::directory_iterator()), 2)
        << "no temporary file is left behind";
}

}  // namespace
}  // namespace tessel

#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "document/Exceptions.h"
#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class ProgramFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.Write("installed/Themes.dat", "themes");
        folder_.Write("installed/Tips.txt", "tip");
        folder_.Write("installed/help/index.html", "contents");
        folder_.Write("installed/Palettes/Web Palette.pal", "palette");
        fs::create_directories(folder_.Path() + "bin");
        sources_.executableFolder = folder_.Path() + "bin/";
        sources_.dataHome = folder_.Path() + "share/";
        sources_.installedDataFolder = folder_.Path() + "installed/";
    }

    testing::TTempFolder folder_;
    TProgramFolderSources sources_;
};

TEST_F(ProgramFolderTest, FirstStartCreatesAndSeedsTheUserFolder) {
    const std::string program = ResolveProgramFolder(sources_);
    EXPECT_EQ(program, folder_.Path() + "share/brindle-tessel/");
    EXPECT_EQ(ReadWholeFile(program + "Themes.dat"), "themes");
    EXPECT_EQ(ReadWholeFile(program + "help/index.html"), "contents");
    EXPECT_EQ(ReadWholeFile(program + "Palettes/Web Palette.pal"), "palette");
}

TEST_F(ProgramFolderTest, SeedingNeverOverwritesTheUsersFiles) {
    folder_.Write("share/brindle-tessel/Tips.txt", "my own tips");
    const std::string program = ResolveProgramFolder(sources_);
    EXPECT_EQ(ReadWholeFile(program + "Tips.txt"), "my own tips");
    EXPECT_EQ(ReadWholeFile(program + "Themes.dat"), "themes");
    // Once Themes.dat is there the folder is the user's: nothing more is copied.
    fs::remove(program + "Tips.txt");
    ResolveProgramFolder(sources_);
    EXPECT_FALSE(fs::exists(program + "Tips.txt"));
}

TEST_F(ProgramFolderTest, TheExecutablesFolderWinsWhenItHoldsTheDataAndIsWritable) {
    folder_.Write("bin/Themes.dat", "build tree");
    EXPECT_EQ(ResolveProgramFolder(sources_), folder_.Path() + "bin/");
    if (::geteuid() != 0) {  // root writes anywhere
        fs::permissions(folder_.Path() + "bin", fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(ResolveProgramFolder(sources_), folder_.Path() + "share/brindle-tessel/");
        fs::permissions(folder_.Path() + "bin", fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(ProgramFolderTest, TesselHomeComesFirstAndGetsASlash) {
    folder_.Write("bin/Themes.dat", "build tree");
    sources_.tesselHome = folder_.Path() + "home";
    EXPECT_EQ(ResolveProgramFolder(sources_), folder_.Path() + "home/");
    EXPECT_EQ(ReadWholeFile(folder_.Path() + "home/Themes.dat"), "themes");
}

TEST_F(ProgramFolderTest, WithoutDeliveredDataTheFolderIsStillCreated) {
    sources_.installedDataFolder.clear();
    const std::string program = ResolveProgramFolder(sources_);
    EXPECT_TRUE(fs::is_directory(program));
    EXPECT_FALSE(fs::exists(program + "Themes.dat"));
}

TEST_F(ProgramFolderTest, DeliveredDataIsFoundBesideTheProgramsFolderOnly) {
    // A source tree's data/ above the program is not the delivered data: builds stage theirs.
    folder_.Write("repo/data/Themes.dat", "themes");
    fs::create_directories(folder_.Path() + "repo/build/bin");
    EXPECT_NE(FindDeliveredData(folder_.Path() + "repo/build/bin/"),
              fs::canonical(folder_.Path() + "repo/data").string() + "/");

    folder_.Write("prefix/share/brindle-tessel/Themes.dat", "themes");
    fs::create_directories(folder_.Path() + "prefix/bin");
    EXPECT_EQ(FindDeliveredData(folder_.Path() + "prefix/bin/"),
              fs::canonical(folder_.Path() + "prefix/share/brindle-tessel").string() + "/");
}

TEST_F(ProgramFolderTest, SubFoldersAreCreatedOnDemand) {
    const std::string program = folder_.Path() + "p/";
    for (const char* sub : kProgramSubFolders) {
        const std::string made = ProgramSubFolder(program, sub);
        EXPECT_EQ(made, program + sub);
        EXPECT_TRUE(fs::is_directory(made)) << sub;
    }
    EXPECT_EQ(ProgramSubFolder(program, "Upload/images"), program + "Upload/images/");
    folder_.Write("p/blocked", "a file where a folder should go");
    EXPECT_THROW(ProgramSubFolder(program, "blocked/"), ETesselError);
}

TEST_F(ProgramFolderTest, AllSubFoldersAreMadeAtOnceAndABlockedOneIsReported) {
    const std::string program = folder_.Path() + "q/";
    folder_.Write("q/Templates", "a file where a folder should go");
    try {
        CreateProgramSubFolders(program);
        ADD_FAILURE() << "the blocked folder was not reported";
    } catch (const ETesselError& error) {
        EXPECT_NE(std::string(error.what()).find("Templates"), std::string::npos) << error.what();
    }
    // The others are there all the same.
    for (const char* sub : kProgramSubFolders) {
        EXPECT_EQ(fs::is_directory(program + sub), std::string(sub) != "Templates/") << sub;
    }
    fs::remove(program + "Templates");
    CreateProgramSubFolders(program);
    EXPECT_TRUE(fs::is_directory(program + "Templates/"));
}

}  // namespace
}  // namespace tessel

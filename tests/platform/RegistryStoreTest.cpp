#include "platform/RegistryStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

constexpr const char* kSettings = "Software\\Brindle Software\\HTML Tessel4";
constexpr const char* kPosition = "Software\\Brindle Software\\HTML Tessel4\\Position";

class RegistryStoreTest : public ::testing::Test {
  protected:
    testing::TTempFolder folder_;
    std::string path_ = folder_.Path() + "config/brindle-tessel/registry";
    TRegistryStore store_{path_};
};

TEST_F(RegistryStoreTest, DefaultPathFollowsTheConfigFolderConvention) {
    EXPECT_EQ(TRegistryStore::DefaultPath({"/home/ann", "", "/xdg/config"}),
              "/xdg/config/brindle-tessel/registry");
    EXPECT_EQ(TRegistryStore::DefaultPath({"/home/ann", "", ""}),
              "/home/ann/.config/brindle-tessel/registry");
    EXPECT_EQ(TRegistryStore::DefaultPath({"/home/ann", "", "relative/path"}),
              "/home/ann/.config/brindle-tessel/registry");
}

TEST_F(RegistryStoreTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
    store_.WriteString(kPosition, "WindowState", "Normal");
    EXPECT_EQ(
        store_.ReadString("software\\BRINDLE software\\html tessel4\\position\\", "WINDOWSTATE"),
        "Normal");
    store_.WriteString("SOFTWARE\\Brindle Software\\HTML Tessel4\\POSITION", "windowstate",
                       "Maximized");
    EXPECT_EQ(store_.ReadString(kPosition, "WindowState"), "Maximized");
    EXPECT_EQ(store_.ValueNames(kPosition), std::vector<std::string>{"WindowState"});
    EXPECT_EQ(store_.SubKeyNames(kSettings), std::vector<std::string>{"Position"});
}

TEST_F(RegistryStoreTest, MissingAndNonNumericIntegersGiveTheDefault) {
    EXPECT_EQ(store_.ReadInteger(kSettings, "TipDay", 1), 1);
    store_.WriteInteger(kSettings, "TipDay", 0);
    EXPECT_EQ(store_.ReadInteger(kSettings, "TipDay", 1), 0);
    EXPECT_EQ(store_.ReadString(kSettings, "TipDay"), "0");
    for (const char* text : {"", "abc", "12px", "0x10", "99999999999", "1 2"}) {
        store_.WriteString(kPosition, "Top", text);
        EXPECT_EQ(store_.ReadInteger(kPosition, "Top", 77), 77) << text;
    }
    store_.WriteString(kPosition, "Top", " -15 ");
    EXPECT_EQ(store_.ReadInteger(kPosition, "Top", 77), -15);
}

TEST_F(RegistryStoreTest, SubkeysEnumerateAlphabeticallyWithoutRegardToCase) {
    const std::string profiles = std::string(kSettings) + "\\Profiles";
    for (const char* name : {"zeta", "Alpha", "beta", "Gamma", "alpha2"}) {
        store_.WriteString(profiles + "\\" + name, "Host", name);
    }
    EXPECT_EQ(store_.SubKeyNames(profiles),
              (std::vector<std::string>{"Alpha", "alpha2", "beta", "Gamma", "zeta"}));
    store_.WriteString(profiles + "\\zeta\\deeper", "x", "y");
    EXPECT_EQ(store_.SubKeyNames(profiles).size(), 5u);
    EXPECT_EQ(store_.SubKeyNames(""), std::vector<std::string>{"Software"});
}

TEST_F(RegistryStoreTest, DeletingAKeyTakesItsSubkeysButNotItsNamesakes) {
    const std::string profiles = std::string(kSettings) + "\\Profiles";
    store_.WriteString(profiles + "\\Home", "Host", "a");
    store_.WriteString(profiles + "\\Home\\Inner", "Host", "b");
    store_.WriteString(profiles + "\\Homepage", "Host", "c");
    EXPECT_TRUE(store_.DeleteKey(profiles + "\\HOME"));
    EXPECT_FALSE(store_.KeyExists(profiles + "\\Home"));
    EXPECT_FALSE(store_.KeyExists(profiles + "\\Home\\Inner"));
    EXPECT_EQ(store_.SubKeyNames(profiles), std::vector<std::string>{"Homepage"});
    EXPECT_FALSE(store_.DeleteKey(profiles + "\\Home"));
    EXPECT_TRUE(store_.DeleteValue(profiles + "\\Homepage", "host"));
    EXPECT_FALSE(store_.ValueExists(profiles + "\\Homepage", "Host"));
    EXPECT_TRUE(store_.KeyExists(profiles + "\\Homepage"));
}

TEST_F(RegistryStoreTest, SeveralValuesReplaceAKeyInOneChange) {
    const std::string old = std::string(kSettings) + "\\Profiles\\Old";
    const std::string renamed = std::string(kSettings) + "\\Profiles\\New";
    store_.WriteString(old, "Host", "a");
    store_.WriteString(old + "\\Sub", "X", "1");
    store_.WriteString(std::string(kSettings) + "\\Profiles\\Older", "Host", "b");
    struct stat before {};
    ::stat(path_.c_str(), &before);

    store_.WriteStrings(renamed, {{"Host", "c"}, {"Port", "21"}}, old);
    EXPECT_FALSE(store_.KeyExists(old));
    EXPECT_FALSE(store_.KeyExists(old + "\\Sub"));
    EXPECT_EQ(store_.ReadString(std::string(kSettings) + "\\Profiles\\Older", "Host"), "b");
    EXPECT_EQ(store_.ValueNames(renamed), (std::vector<std::string>{"Host", "Port"}));
    EXPECT_EQ(store_.ReadString(renamed, "Port"), "21");
    struct stat after {};
    ::stat(path_.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino);

    // Deleting the key that is written again (another letter case) leaves only the new values
    // under the new spelling.
    store_.WriteStrings(std::string(kSettings) + "\\Profiles\\NEW", {{"User", "u"}}, renamed);
    EXPECT_EQ(store_.SubKeyNames(std::string(kSettings) + "\\Profiles"),
              (std::vector<std::string>{"NEW", "Older"}));
    EXPECT_EQ(store_.ValueNames(renamed), std::vector<std::string>{"User"});

    // A value can go in the same change as others are written.
    store_.WriteStrings(renamed, {{"Host", "d"}}, "", {"user", "Absent"});
    EXPECT_EQ(store_.ValueNames(renamed), std::vector<std::string>{"Host"});
}

TEST_F(RegistryStoreTest, EmptyKeysAndAwkwardBytesSurviveTheFile) {
    store_.CreateKey(std::string(kSettings) + "\\Profiles");
    const std::string awkward("line1\r\nline2\0=%41[x];\x01\xE9", 21);
    store_.WriteString(kSettings, "[odd=name;", awkward);
    store_.WriteString(kSettings, "", "default value");
    const TRegistryStore other(path_);
    EXPECT_TRUE(other.KeyExists(std::string(kSettings) + "\\Profiles"));
    EXPECT_EQ(other.ReadString(kSettings, "[odd=name;"), awkward);
    EXPECT_EQ(other.ReadString(kSettings, ""), "default value");
}

TEST_F(RegistryStoreTest, TwoStoresOnOneFileKeepEachOthersChanges) {
    TRegistryStore other(path_);
    store_.WriteString(kSettings, "A", "1");
    other.WriteString(kSettings, "B", "2");
    EXPECT_EQ(store_.ReadString(kSettings, "B"), "2");
    EXPECT_EQ(other.ReadString(kSettings, "A"), "1");
}

TEST_F(RegistryStoreTest, FileIsPrivateToItsOwnerEvenAfterRewrites) {
    store_.WriteString(kSettings, "Password", "secret");
    std::filesystem::permissions(path_, std::filesystem::perms::all);
    store_.WriteString(kSettings, "Password", "other");
    struct stat status {};
    ASSERT_EQ(::stat(path_.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(RegistryStoreTest, ChangesReplaceTheFileAtomically) {
    store_.WriteString(kSettings, "A", "1");
    struct stat first {};
    ::stat(path_.c_str(), &first);
    store_.WriteString(kSettings, "A", "2");
    struct stat second {};
    ::stat(path_.c_str(), &second);
    EXPECT_NE(first.st_ino, second.st_ino) << "rewritten in place, not renamed into place";
    std::filesystem::path parent = std::filesystem::path(path_).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(parent)) {
        EXPECT_EQ(entry.path().filename(), "registry") << "temporary file left behind";
    }
}

TEST_F(RegistryStoreTest, ADamagedFileLosesOnlyItsDamagedLines) {
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    using namespace std::string_literals;
    WriteFileAtomically(path_,
                        "orphan=before any key\n"
                        "[Software\\A]\n"
                        "Good=1\r\n"
                        "garbage without equals\n"
                        "\xFF\xFE\x00\x01 binary\n"
                        "[unterminated key\n"
                        "Also=%zz%4\n"
                        "Good=duplicate ignored\n"
                        "[Software\\B]"s);
    EXPECT_EQ(store_.ReadString("Software\\A", "Good"), "1");
    EXPECT_EQ(store_.ReadString("Software\\A", "Also"), "%zz%4");
    EXPECT_TRUE(store_.KeyExists("Software\\B"));
    EXPECT_FALSE(store_.ValueExists("", "orphan"));
    store_.WriteString("Software\\A", "New", "x");
    EXPECT_EQ(store_.ReadString("Software\\A", "Good"), "1");
}

TEST_F(RegistryStoreTest, AMissingFileIsAnEmptyStore) {
    EXPECT_FALSE(store_.KeyExists(kSettings));
    EXPECT_TRUE(store_.SubKeyNames(kSettings).empty());
    EXPECT_EQ(store_.ReadString(kSettings, "x", "fallback"), "fallback");
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading must not create the file";
}

}  // namespace
}  // namespace tessel

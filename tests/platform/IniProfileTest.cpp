#include "platform/IniProfile.h"

#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

class IniProfileTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& content) { return folder_.Write("Fields.ini", content); }
    std::string Content() const { return ReadWholeFile(path_); }

    testing::TTempFolder folder_;
    std::string path_ = folder_.Path() + "Fields.ini";
};

TEST_F(IniProfileTest, ReadsWithTheProfileRules) {
    Write(
        "; delivered field bank\r\n"
        "[Default Fields]\r\n"
        "  FIELD0 =  Name|0  \r\n"
        "FIELD1=\"Quoted|1\"\r\n"
        "field1=second of a duplicate\r\n"
        "Flag\r\n"
        ";FIELD2=commented\r\n"
        "[ default fields ]\r\n"
        "FIELD2=from a duplicate section\r\n");
    EXPECT_EQ(GetPrivateProfileString("DEFAULT FIELDS", "field0", "x", path_), "Name|0");
    EXPECT_EQ(GetPrivateProfileString("Default Fields", "FIELD1", "x", path_), "Quoted|1");
    EXPECT_EQ(GetPrivateProfileString("Default Fields", "FIELD2", "none", path_), "none");
    EXPECT_EQ(GetPrivateProfileString("Default Fields", "Flag", "x", path_), "");
    EXPECT_EQ(GetPrivateProfileString("Missing", "FIELD0", "fallback", path_), "fallback");
    const TProfileEntries entries = GetPrivateProfileSection("default fields", path_);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0], std::make_pair(std::string("FIELD0"), std::string("Name|0")));
    EXPECT_EQ(entries[3], std::make_pair(std::string("Flag"), std::string()));
    EXPECT_EQ(GetPrivateProfileSectionNames(path_), std::vector<std::string>{"Default Fields"});
}

TEST_F(IniProfileTest, IntegersTakeTheLeadingNumber) {
    Write("[N]\nA=42\nB=17abc\nC=abc\nD=\nE=-3\n");
    EXPECT_EQ(GetPrivateProfileInt("n", "a", 9, path_), 42);
    EXPECT_EQ(GetPrivateProfileInt("N", "B", 9, path_), 17);
    EXPECT_EQ(GetPrivateProfileInt("N", "C", 9, path_), 0);
    EXPECT_EQ(GetPrivateProfileInt("N", "D", 9, path_), 9);
    EXPECT_EQ(GetPrivateProfileInt("N", "E", 9, path_), -3);
    EXPECT_EQ(GetPrivateProfileInt("N", "Missing", 9, path_), 9);
}

TEST_F(IniProfileTest, AMissingFileHasNoSectionsAndIsCreatedOnWrite) {
    EXPECT_FALSE(ProfileSectionPresent("Default Fields", path_));
    EXPECT_TRUE(GetPrivateProfileSection("Default Fields", path_).empty());
    WritePrivateProfileString("Default Fields", "FIELD0", "Name|0", path_);
    EXPECT_EQ(Content(), "[Default Fields]\r\nFIELD0=Name|0\r\n");
    EXPECT_TRUE(ProfileSectionPresent("default fields", path_));
}

TEST_F(IniProfileTest, AnEmptySectionIsNotPresent) {
    Write("[Empty]\n; only a comment\n\n[Full]\nk=v\n");
    EXPECT_FALSE(ProfileSectionPresent("Empty", path_));
    EXPECT_TRUE(ProfileSectionPresent("FULL", path_));
}

TEST_F(IniProfileTest, WritesReplaceOrAppendAndKeepEverythingElse) {
    Write("; my notes\n[State]\nState0=AL|Alabama\n\n[Other]\nx=1\n");
    WritePrivateProfileString("STATE", "state0", "AK|Alaska", path_);
    WritePrivateProfileString("State", "State1", "AZ|Arizona", path_);
    WritePrivateProfileString("New", "k", "v", path_);
    EXPECT_EQ(Content(),
              "; my notes\n[State]\nstate0=AK|Alaska\nState1=AZ|Arizona\n\n[Other]\nx=1\n"
              "\n[New]\nk=v\n");
    DeletePrivateProfileKey("state", "STATE0", path_);
    EXPECT_EQ(GetPrivateProfileString("State", "State0", "gone", path_), "gone");
    EXPECT_EQ(GetPrivateProfileString("State", "State1", "", path_), "AZ|Arizona");
}

TEST_F(IniProfileTest, WholeSectionEraseAndRewrite) {
    Write(
        "[Default Fields]\r\nFIELD0=A|0\r\nFIELD1=B|0\r\nFIELD2=C|0\r\n\r\n"
        "[Field Bank]\r\nFIELD0=Name|0\r\n");
    WritePrivateProfileSection("default FIELDS", {{"FIELD0", "Z|1"}}, path_);
    EXPECT_EQ(Content(), "[Default Fields]\r\nFIELD0=Z|1\r\n\r\n[Field Bank]\r\nFIELD0=Name|0\r\n");
    ErasePrivateProfileSection("Default Fields", path_);
    for (int i = 0; i < 3; ++i) {
        WritePrivateProfileString("Default Fields", "FIELD" + std::to_string(i),
                                  "R" + std::to_string(i) + "|0", path_);
    }
    const TProfileEntries entries = GetPrivateProfileSection("Default Fields", path_);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].second, "R2|0");
    EXPECT_EQ(GetPrivateProfileString("Field Bank", "FIELD0", "", path_), "Name|0");
    EXPECT_EQ(GetPrivateProfileSectionNames(path_),
              (std::vector<std::string>{"Field Bank", "Default Fields"}));
}

}  // namespace
}  // namespace tessel

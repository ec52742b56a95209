#include <gtest/gtest.h>

#include <filesystem>

#include "document/Exceptions.h"
#include "formfields/core/FieldBank.h"
#include "platform/AtomicFile.h"
#include "platform/IniProfile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using Fields = std::vector<TBankField>;

TEST(FieldBankTest, ReadsOnlyTheKeysNumberedBelowTheKeyCount) {
    const testing::TTempFolder temp;
    const std::string path =
        temp.Write("Fields.ini",
                   "[default fields]\nFIELD0=Name|0\nfield1=Comments|1\nFIELD5=Other|0\n[Empty]\n");
    EXPECT_EQ(ReadBankSection("Default Fields", path),
              (Fields{{"Name", fkText}, {"Comments", fkTextArea}}));
    EXPECT_FALSE(ReadBankSection("Empty", path).has_value());
    EXPECT_FALSE(ReadBankSection("Field Bank", path).has_value());
    EXPECT_FALSE(ReadBankSection("Default Fields", temp.Path() + "missing.ini").has_value());
}

TEST(FieldBankTest, EntriesOfNoValidKindAreSkipped) {
    for (const char* kind : {"", "7", "6", "-1", " 3", "3x", "0x3", "$3", "99999999999"})
        EXPECT_FALSE(ParseBankFieldKind(kind).has_value()) << kind;
    EXPECT_EQ(ParseBankFieldKind("05"), fkButton);
    EXPECT_EQ(ParseBankFieldKind("4"), fkDropDown);

    const testing::TTempFolder temp;
    const std::string path =
        temp.Write("Fields.ini", "[Field Bank]\nFIELD0=Note|7\nFIELD1=Note\nFIELD2=|2\n");
    // A present section whose entries are all skipped still replaces the built-in rows.
    EXPECT_EQ(ReadBankSection("Field Bank", path), (Fields{{"", fkRadio}}));
}

TEST(FieldBankTest, WritingReplacesTheWholeDefaultSectionAndKeepsTheRest) {
    const testing::TTempFolder temp;
    const std::string path = temp.Write(
        "Fields.ini",
        "[Default Fields]\nFIELD0=A|0\nFIELD1=B|0\nFIELD2=C|0\n[State]\nState0=CA|California\n");
    WriteDefaultFields({{"Phone", fkText}, {"State", fkDropDown}}, path);
    EXPECT_EQ(ReadBankSection("default fields", path),
              (Fields{{"Phone", fkText}, {"State", fkDropDown}}));
    EXPECT_EQ(GetPrivateProfileSection("Default Fields", path).size(), 2u);
    EXPECT_EQ(GetPrivateProfileString("State", "State0", "", path), "CA|California");

    // Without a file the write creates it.
    const std::string fresh = temp.Path() + "new/Fields.ini";
    std::filesystem::create_directories(temp.Path() + "new");
    WriteDefaultFields(BuiltInCommonFields(), fresh);
    EXPECT_EQ(ReadBankSection(kDefaultFieldsSection, fresh), BuiltInCommonFields());
}

TEST(FieldBankTest, AFailedWriteThrowsAndLeavesNothingBehind) {
    const testing::TTempFolder temp;
    // A folder where the file should be: the rename into place cannot succeed.
    const std::string path = temp.Path() + "Fields.ini";
    std::filesystem::create_directories(path + "/keep");
    EXPECT_THROW(WriteDefaultFields(BuiltInCommonFields(), path), ETesselError);
    EXPECT_TRUE(std::filesystem::is_directory(path + "/keep"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FieldBankTest, OptionListSectionsFollowTheFieldName) {
    EXPECT_EQ(OptionListSection({"Credit Card Type", fkDropDown}), "CREDIT");
    EXPECT_EQ(OptionListSection({"Credit Card Exp Year", fkDropDown}), "YEAR");
    EXPECT_EQ(OptionListSection({"Credit Card Exp Month", fkDropDown}), "MONTH");
    // The exceptions hold for drop-down lists only and compare with case.
    EXPECT_EQ(OptionListSection({"Credit Card Type", fkRadio}), "Credit Card Type");
    EXPECT_EQ(OptionListSection({"credit card type", fkDropDown}), "credit card type");
    EXPECT_EQ(OptionListSection({"Colour", fkCheckBox}), "Colour");
}

TEST(FieldBankTest, BasicFieldsGetTheirKindsDefaultsAndOptionLists) {
    const testing::TTempFolder temp;
    const std::string path = temp.Write(
        "Fields.ini",
        "[Default Fields]\nFIELD0=Name|0\nFIELD1=Comments|1\nFIELD2=Colour|3\nFIELD3=Credit "
        "Card Exp Month|4\nFIELD4=Send|5\nFIELD5=Size|2\n"
        "[Colour]\nColour0=r|Red|Yes\nColour1=\nColour2=nobar\nColour3=g|Green\ncolour5=late|x|No\n"
        "[MONTH]\nMONTH0=01|January\nMONTH1=\nMONTH2=Feb\n");
    TWebForm form;
    form.Add().Name = "kept";
    const Fields loaded = AppendBasicFields(form, path);
    ASSERT_EQ(loaded.size(), 6u);
    ASSERT_EQ(form.Count(), 7);
    EXPECT_EQ(form.Items(0).Name, "kept");

    const TFormElement& name = form.Items(1);
    EXPECT_EQ(name.Name, "Name");
    EXPECT_EQ(name.Text, "Name");
    EXPECT_EQ(name.Value, "");
    EXPECT_EQ(name.Strings().lines, (std::vector<std::string>{"Size=30", "Maxlength=100"}));
    EXPECT_EQ(form.Items(2).Strings().lines, (std::vector<std::string>{"Cols=30", "Rows=15"}));
    EXPECT_EQ(form.Items(3).FieldKind, fkCheckBox);
    EXPECT_EQ(form.Items(3).Strings().lines, (std::vector<std::string>{"r|Red|Yes", "g||Green"}));
    EXPECT_EQ(form.Items(4).Strings().lines, (std::vector<std::string>{"01|January", "|Feb"}));
    EXPECT_TRUE(form.Items(5).Strings().lines.empty());
    // No section for the radio group: no choices.
    EXPECT_EQ(form.Items(6).FieldKind, fkRadio);
    EXPECT_TRUE(form.Items(6).Strings().lines.empty());

    TWebForm none;
    EXPECT_TRUE(AppendBasicFields(none, temp.Path() + "missing.ini").empty());
    EXPECT_EQ(none.Count(), 0);
}

TEST(FieldBankTest, BuiltInListsAreTheCommonFieldsAndTheLongerBank) {
    ASSERT_EQ(BuiltInCommonFields().size(), 6u);
    EXPECT_EQ(BuiltInCommonFields()[4], (TBankField{"State", fkDropDown}));
    ASSERT_EQ(BuiltInFieldBank().size(), 13u);
    EXPECT_TRUE(std::equal(BuiltInCommonFields().begin(), BuiltInCommonFields().end(),
                           BuiltInFieldBank().begin()));
    EXPECT_EQ(BuiltInFieldBank()[10], (TBankField{"Credit Card Type", fkRadio}));
}

}  // namespace
}  // namespace tessel

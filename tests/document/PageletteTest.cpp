#include <gtest/gtest.h>

#include "document/Colors.h"
#include "document/Pagelette.h"

namespace tessel {
namespace {

std::vector<int> KindsOf(TPagelette& document) {
    std::vector<int> kinds;
    for (int i = 0; i < document.Page().Count(); ++i) {
        kinds.push_back(document.Page().Items(i).BlockType);
        EXPECT_EQ(document.Page().Items(i).Index(), i);
    }
    return kinds;
}

TEST(PageletteTest, DefaultPageIsSettingsImageLinkAndParagraph) {
    TPagelette document;
    document.Email = "left@over.example";
    InitNewBlock(document, 0, btHR);
    SetDefaultBlocks(document);
    EXPECT_EQ(KindsOf(document), (std::vector<int>{btPageProperties, btImage, btLink, btText}));
    EXPECT_EQ(document.Email, "");

    TPageItem& settings = document.Page().Items(0);
    EXPECT_EQ(settings.BlockAlign, baNone);
    EXPECT_FALSE(settings.BlockOnNewLine);
    const TPagePropertiesBlock& p = settings.PagePropertiesBlock();
    EXPECT_EQ(p.ThemeName, "Default");
    EXPECT_EQ(p.IndentMargin, "0");
    EXPECT_EQ(p.BGColor, 0xFFFFFF);
    EXPECT_EQ(p.TextColor, 0);
    EXPECT_EQ(p.LinkColor, 0xFF0000);
    EXPECT_EQ(p.ALinkColor, 0x0000FF);
    EXPECT_EQ(p.VLinkColor, 0x990099);

    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(document.Page().Items(i).BlockAlign, baLeft);
        EXPECT_TRUE(document.Page().Items(i).BlockOnNewLine);
    }
    EXPECT_EQ(document.Page().Items(3).TextBlock().Attributes,
              R"("Times New Roman", 12, [], [$00050000])");
    EXPECT_EQ(document.Page().Items(3).TextBlock().ApplyFont, 0);
}

TEST(PageletteTest, NewBlocksCarryTheirKindsDefaults) {
    TPagelette document;
    SetDefaultBlocks(document);
    TPageItem& heading = InitNewBlock(document, 1, btHeading);
    EXPECT_EQ(heading.BlockAlign, baCenter);
    EXPECT_EQ(heading.HeadingBlock().Attributes, kDefaultFontDescription);
    TPageItem& rule = InitNewBlock(document, 5, btHR);
    EXPECT_EQ(rule.HRBlock().Width, 100);
    EXPECT_EQ(rule.HRBlock().Size, 0);
    EXPECT_FALSE(rule.HRBlock().NoShade);
    EXPECT_EQ(InitNewBlock(document, 2, btForms).BlockAlign, baLeft);
    EXPECT_EQ(KindsOf(document), (std::vector<int>{btPageProperties, btHeading, btForms, btImage,
                                                   btLink, btText, btHR}));
}

TEST(PageletteTest, InsertMoveAndDeleteKeepOrderAndIndexes) {
    TPagelette document;
    for (int kind : {btPageProperties, btHeading, btImage, btLink, btText}) {
        document.Page().Add().BlockType = static_cast<TBlockType>(kind);
    }
    document.Page().Move(1, 3);
    EXPECT_EQ(KindsOf(document),
              (std::vector<int>{btPageProperties, btImage, btLink, btHeading, btText}));
    document.Page().Move(4, 1);
    EXPECT_EQ(KindsOf(document),
              (std::vector<int>{btPageProperties, btText, btImage, btLink, btHeading}));
    document.Page().Items(4).SetIndex(2);
    EXPECT_EQ(KindsOf(document),
              (std::vector<int>{btPageProperties, btText, btHeading, btImage, btLink}));
    document.Page().Insert(1).BlockType = btBullet;
    EXPECT_EQ(KindsOf(document),
              (std::vector<int>{btPageProperties, btBullet, btText, btHeading, btImage, btLink}));
    document.Page().Delete(0);
    EXPECT_EQ(KindsOf(document), (std::vector<int>{btBullet, btText, btHeading, btImage, btLink}));
    EXPECT_EQ(document.Page().Owner(), &document);
}

TEST(PageletteTest, IndexesOutOfBoundsRaiseTheListError) {
    TPagelette document;
    SetDefaultBlocks(document);
    try {
        document.Page().Items(4);
        FAIL();
    } catch (const EListError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (4)");
    }
    EXPECT_THROW(document.Page().Items(-1), EListError);
    EXPECT_THROW(document.Page().Move(0, 9), EListError);
    EXPECT_THROW(document.WebForm().Delete(0), EListError);
    EXPECT_EQ(document.Page().Count(), 4);
}

TEST(PageletteTest, PayloadSlotsAreCreatedWhenReadAndReleasedWhenCleared) {
    TPagelette document;
    TPageItem& item = document.Page().Add();
    EXPECT_EQ(item.FilledSlotCount(), 0);
    EXPECT_EQ(item.HRBlock().Width, 0);  // any kind's slot can be read
    EXPECT_EQ(item.BulletBlock().Style, lsDisc);
    EXPECT_EQ(item.FilledSlotCount(), 2);
    item.HRBlock().Width = 40;
    item.ClearHRBlock();
    EXPECT_EQ(item.FilledSlotCount(), 1);
    EXPECT_EQ(item.HRBlock().Width, 0);
}

TEST(PageletteTest, ClearDocumentEmptiesTheFormAndItsOptions) {
    TPagelette document;
    SetDefaultBlocks(document);
    document.WebForm().Add().Strings().Add("Size=30");
    document.AlphaSort = document.BlankFields = document.Border = document.BrowserUsed = true;
    document.EmailAddress = document.EmailSubject = document.EnvReport = document.FormFooter = true;
    document.HostName = true;
    document.Color = document.FormTitle = document.Email = document.Redirect = document.Subject =
        "x";

    document.ClearDocument(false);
    EXPECT_EQ(document.Page().Count(), 4);
    EXPECT_EQ(document.WebForm().Count(), 0);
    for (bool option : {document.AlphaSort, document.BlankFields, document.Border,
                        document.BrowserUsed, document.EmailAddress, document.EmailSubject,
                        document.EnvReport, document.FormFooter, document.HostName}) {
        EXPECT_FALSE(option);
    }
    for (const std::string* text : {&document.Color, &document.FormTitle, &document.Email,
                                    &document.Redirect, &document.Subject}) {
        EXPECT_EQ(*text, "");
    }
    document.ClearDocument(true);
    EXPECT_EQ(document.Page().Count(), 0);
}

TEST(ColorsTest, NamesHexAndDecimalReadAndWrite) {
    EXPECT_EQ(ColorToString(clBlack), "clBlack");
    EXPECT_EQ(ColorToString(RGB(0, 0, 128)), "clNavy");
    EXPECT_EQ(ColorToString(clNoFontColor), "$00050000");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0x80000000u + 24)), "clInfoBk");
    EXPECT_EQ(ColorToString(clNone), "clNone");
    EXPECT_EQ(ColorToString(RGB(153, 0, 153)), "$00990099");
    EXPECT_EQ(ColorToString(RGB(0xAB, 0xCD, 0xEF)), "$00EFCDAB");

    EXPECT_EQ(StringToColor("clwhite"), clWhite);
    EXPECT_EQ(StringToColor("cl3DDkShadow"), static_cast<TColor>(0x80000015u));
    EXPECT_EQ(StringToColor("$00050000"), clNoFontColor);
    EXPECT_EQ(StringToColor("$FFFFFFFF"), -1);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("-1"), -1);
    for (const char* bad :
         {"", "$", "red", "12a", "$1G", "4294967296", "2147483648", "$100000000"}) {
        EXPECT_FALSE(TryStringToColor(bad).has_value()) << bad;
    }
    EXPECT_THROW(StringToColor("blue"), EConvertError);
}

TEST(StringListTest, TextJoinsWithCrLfAndSplitsAnyLineEnd) {
    TStringList list;
    list.SetText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(list.lines, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    list.SetText("\r\n\r\nx");
    EXPECT_EQ(list.lines, (std::vector<std::string>{"", "", "x"}));
}

}  // namespace
}  // namespace tessel

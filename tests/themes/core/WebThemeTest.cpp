#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/Pagelette.h"
#include "document/Stream.h"
#include "platform/AtomicFile.h"
#include "support/TempFolder.h"
#include "themes/core/WebTheme.h"

namespace tessel {
namespace {

// The theme file holding one theme named Plain, made by hand byte by byte.
std::string PlainThemeFile() {
    std::string b = "TPF0";
    auto shortString = [&b](std::string_view s) {
        b.push_back(static_cast<char>(s.size()));
        b.append(s);
    };
    auto raw = [&b](std::initializer_list<int> bytes) {
        for (int x : bytes) b.push_back(static_cast<char>(x));
    };
    shortString("TWebTheme");
    raw({0x00});
    shortString("Items");
    raw({0x0E, 0x01});
    shortString("ThemeName");
    raw({0x06});
    shortString("Plain");
    shortString("LeftMargin");
    raw({0x06});
    shortString("0");
    shortString("BGColor");
    raw({0x04, 0xFF, 0xFF, 0xFF, 0x00});
    shortString("TextColor");
    raw({0x02, 0x00});
    shortString("LinkColor");
    raw({0x04, 0x00, 0x00, 0xFF, 0x00});
    shortString("ALinkColor");
    raw({0x03, 0xFF, 0x00});
    shortString("VLinkColor");
    raw({0x04, 0x80, 0x00, 0x80, 0x00});
    raw({0x00, 0x00, 0x00, 0x00});
    return b;
}

class WebThemeTest : public ::testing::Test {
  protected:
    std::string Folder() const { return folder_.Path(); }

    testing::TTempFolder folder_;
};

TEST_F(WebThemeTest, TheHandMadeExampleFileLoadsAndSavesByteForByte) {
    WriteFileAtomically(Folder() + "Themes.dat", PlainThemeFile());
    std::unique_ptr<TWebTheme> themes = LoadThemes(Folder());
    ASSERT_EQ(themes->Items().Count(), 1);
    const TThemeItem& plain = themes->Items().Items(0);
    EXPECT_EQ(plain.ThemeName, "Plain");
    EXPECT_EQ(plain.BGImage, "");
    EXPECT_EQ(plain.LeftMargin, "0");
    EXPECT_EQ(plain.TextColor, clBlack);
    EXPECT_EQ(plain.VLinkColor, clPurple);

    SaveThemes(Folder(), *themes);
    EXPECT_EQ(ReadWholeFile(Folder() + "Themes.dat"), PlainThemeFile());
}

TEST_F(WebThemeTest, OrderEmptyStoresAndMissingTextsSurviveASave) {
    TWebTheme themes;
    SaveThemes(Folder(), themes);
    EXPECT_EQ(LoadThemes(Folder())->Items().Count(), 0);

    for (const char* name : {"One", "Two", "Three", "Four"}) {
        themes.Items().Add().ThemeName = name;
    }
    themes.Items().Move(3, 0);
    SaveThemes(Folder(), themes);
    std::unique_ptr<TWebTheme> again = LoadThemes(Folder());
    ASSERT_EQ(again->Items().Count(), 4);
    EXPECT_EQ(again->Items().Items(0).ThemeName, "Four");
    EXPECT_EQ(again->Items().Items(3).ThemeName, "Three");
    EXPECT_EQ(again->Items().Items(0).LeftMargin, "");
    EXPECT_EQ(again->IndexOfTheme("tWO"), 2);
    EXPECT_EQ(again->IndexOfTheme("Five"), -1);
}

TEST_F(WebThemeTest, LoadFailuresNameTheProblem) {
    try {
        LoadThemes(Folder());
        FAIL();
    } catch (const EStreamError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + Folder() + "Themes.dat");
    }
    TPagelette document;
    WriteComponentFile(Folder() + "Themes.dat", document);
    EXPECT_THROW(LoadThemes(Folder()), EStreamError);
}

TEST(ApplyThemeTest, CopiesTheLookAndKeepsTitleMetaAndUnderline) {
    TPagelette document;
    SetDefaultBlocks(document);
    TPagePropertiesBlock& page = document.Page().Items(0).PagePropertiesBlock();
    page.PageTitle = "Title";
    page.MetaText = "Keywords\tx\r\n";
    page.Underline = true;
    page.Background = "old.gif";

    TWebTheme themes;
    TThemeItem& dark = themes.Items().Add();
    dark.ThemeName = "Dark";
    dark.BGColor = clBlack;
    dark.TextColor = clWhite;
    dark.LinkColor = clYellow;
    dark.ALinkColor = clRed;
    dark.VLinkColor = clSilver;

    ApplyTheme(themes, -1, document);
    EXPECT_EQ(page.ThemeName, "Default");

    ApplyTheme(themes, 0, document);
    EXPECT_EQ(page.ThemeName, "Dark");
    EXPECT_EQ(page.Background, "");
    EXPECT_EQ(page.IndentMargin, "");
    EXPECT_EQ(page.BGColor, clBlack);
    EXPECT_EQ(page.TextColor, clWhite);
    EXPECT_EQ(page.LinkColor, clYellow);
    EXPECT_EQ(page.VLinkColor, clSilver);
    EXPECT_EQ(page.PageTitle, "Title");
    EXPECT_EQ(page.MetaText, "Keywords\tx\r\n");
    EXPECT_TRUE(page.Underline);

    // The page keeps a copy: changing the store later does not reach it.
    dark.BGColor = clNavy;
    EXPECT_EQ(page.BGColor, clBlack);
}

}  // namespace
}  // namespace tessel

namespace tessel {
namespace {

// The delivered Themes.dat is made from themes.txt; both must agree, and the program must
// write the file back unchanged.
TEST(DeliveredThemesTest, MatchTheirSourceListAndResaveUnchanged) {
    const std::string data = std::string(TESSEL_SOURCE_DATA) + "/";
    std::unique_ptr<TWebTheme> themes = LoadThemes(data);
    const std::string bytes = ReadWholeFile(data + "Themes.dat");
    EXPECT_EQ(WriteComponent(*themes), bytes);

    TStringList source;
    source.SetText(ReadWholeFile(data + "themes.txt"));
    int index = 0;
    for (const std::string& line : source.lines) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ASSERT_LT(index, themes->Items().Count());
        const TThemeItem& theme = themes->Items().Items(index++);
        EXPECT_EQ(line.substr(0, line.find('|')), theme.ThemeName);
        EXPECT_NE(line.find("|" + theme.BGImage + "|" + theme.LeftMargin + "|"), std::string::npos)
            << line;
    }
    EXPECT_EQ(index, themes->Items().Count());
    EXPECT_EQ(themes->IndexOfTheme("default"), 0);
}

}  // namespace
}  // namespace tessel

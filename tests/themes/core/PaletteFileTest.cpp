#include "themes/core/PaletteFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "document/Exceptions.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;

TEST(PaletteLine, ReadsComponentsAndClampsLargeOnes) {
    TColor colour = clWhite;
    ASSERT_TRUE(ParsePaletteLine("51 102 153", colour));
    EXPECT_EQ(colour, RGB(51, 102, 153));
    ASSERT_TRUE(ParsePaletteLine("300 20 20", colour));
    EXPECT_EQ(colour, RGB(255, 20, 20));
    ASSERT_TRUE(ParsePaletteLine("999 256 255", colour));
    EXPECT_EQ(colour, RGB(255, 255, 255));
}

TEST(PaletteLine, SkipsLongNumbersDoubledSpacesAndExtraNumbers) {
    TColor colour = clWhite;
    ASSERT_TRUE(ParsePaletteLine("1000 10 20 30", colour));
    EXPECT_EQ(colour, RGB(10, 20, 30));
    ASSERT_TRUE(ParsePaletteLine("  7   8  9  ", colour));
    EXPECT_EQ(colour, RGB(7, 8, 9));
    ASSERT_TRUE(ParsePaletteLine("1 2 3 4 5 6", colour));
    EXPECT_EQ(colour, RGB(1, 2, 3));
    ASSERT_TRUE(ParsePaletteLine("007 010 099", colour));
    EXPECT_EQ(colour, RGB(7, 10, 99));
}

TEST(PaletteLine, RejectsLinesThatAreNoColours) {
    const TColor before = RGB(1, 2, 3);
    for (const char* line : {"JASC-PAL", "256", "0 0", "", "1\t2\t3", "12 34 5a", "-1 2 3", "    ",
                             "0100", "12345 67890"}) {
        TColor colour = before;
        EXPECT_FALSE(ParsePaletteLine(line, colour)) << '"' << line << '"';
        EXPECT_EQ(colour, before) << '"' << line << '"';
    }
}

TEST(PaletteLine, ShortLineSetsOnlyTheComponentsItHolds) {
    TColor colour = clWhite;
    ASSERT_TRUE(ParsePaletteLine("12 34", colour));
    EXPECT_EQ(colour, RGB(12, 34, 255));
    colour = clWhite;
    ASSERT_TRUE(ParsePaletteLine("9999 0", colour));
    EXPECT_EQ(colour, RGB(0, 255, 255));
}

TEST(Palette, HeaderLinesAreSkippedAndUnfilledEntriesStayWhite) {
    const TPalette palette = ParsePalette("JASC-PAL\r\n0100\r\n256\r\n0 0 0\r\n255 0 0\r\n");
    EXPECT_EQ(palette[0], clBlack);
    EXPECT_EQ(palette[1], clRed);
    for (int i = 2; i < kPaletteSize; ++i) {
        ASSERT_EQ(palette[i], clWhite) << i;
    }
}

TEST(Palette, AcceptsEveryLineEnd) {
    const TPalette palette = ParsePalette("1 1 1\r2 2 2\n3 3 3\r\n\r\n4 4 4");
    EXPECT_EQ(palette[0], RGB(1, 1, 1));
    EXPECT_EQ(palette[1], RGB(2, 2, 2));
    EXPECT_EQ(palette[2], RGB(3, 3, 3));
    EXPECT_EQ(palette[3], RGB(4, 4, 4));
    EXPECT_EQ(palette[4], clWhite);
}

TEST(Palette, UsesTheFirst256ColourLines) {
    std::string text = "Big palette\n";
    for (int i = 0; i < 300; ++i) {
        text += std::to_string(i % 256) + " " + std::to_string(i / 256) + " 7\n";
    }
    const TPalette palette = ParsePalette(text);
    EXPECT_EQ(palette[0], RGB(0, 0, 7));
    EXPECT_EQ(palette[255], RGB(255, 0, 7));
}

TEST(Palette, DamagedTextGivesWhiteOrWhatCouldBeRead) {
    EXPECT_EQ(ParsePalette(""), ParsePalette("not a palette at all"));
    EXPECT_EQ(ParsePalette("")[0], clWhite);

    std::string damaged = "10 20 30\n";
    damaged += std::string("\0\xFF\xFE 1 2\n", 8);
    damaged += std::string(100000, '9') + "\n40 50 60";
    const TPalette palette = ParsePalette(damaged);
    EXPECT_EQ(palette[0], RGB(10, 20, 30));
    // The huge line is digits only but holds no number of 1 to 3 digits: no colour.
    EXPECT_EQ(palette[1], RGB(40, 50, 60));
    EXPECT_EQ(palette[2], clWhite);
}

TEST(PaletteFiles, ReadsAFileAndReportsAMissingOne) {
    TTempFolder folder;
    const std::string path =
        folder.Write("Palettes/Greys.pal", "Greys\r\n16 16 16\r\n32 32 32\r\n");
    const TPalette palette = ReadPaletteFile(path);
    EXPECT_EQ(palette[1], RGB(32, 32, 32));

    try {
        ReadPaletteFile(folder.Path() + "Palettes/Missing.pal");
        FAIL() << "a missing palette must fail";
    } catch (const ETesselError& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot open file"), std::string::npos);
    }
}

TEST(PaletteFiles, FolderIsBelowTheProgramFolder) {
    EXPECT_EQ(PaletteFolder("/opt/tessel/"), "/opt/tessel/Palettes/");
    EXPECT_EQ(PaletteFolder("/opt/tessel"), "/opt/tessel/Palettes/");
}

TEST(PaletteFiles, ListsPaletteFilesByNameWithTheirFiles) {
    TTempFolder folder;
    folder.Write("Web Palette.pal", "0 0 0\n");
    folder.Write("autumn.PAL", "0 0 0\n");
    folder.Write("Pastel.palette.pal", "0 0 0\n");
    folder.Write("notes.txt", "0 0 0\n");
    folder.Write("old.pal.bak", "0 0 0\n");
    folder.Write(".pal", "0 0 0\n");
    std::filesystem::create_directories(folder.Path() + "folder.pal");

    const std::vector<TPaletteEntry> expected = {
        {"autumn", "autumn.PAL"},
        {"Pastel.palette", "Pastel.palette.pal"},
        {"Web Palette", "Web Palette.pal"},
    };
    EXPECT_EQ(ListPalettes(folder.Path()), expected);
    EXPECT_TRUE(ListPalettes(folder.Path() + "missing/").empty());
}

}  // namespace
}  // namespace tessel

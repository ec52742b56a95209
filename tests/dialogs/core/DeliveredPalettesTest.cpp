#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/AtomicFile.h"
#include "themes/core/PaletteFile.h"

namespace tessel {
namespace {

const std::string kPalettes = std::string(TESSEL_SOURCE_DATA) + "/Palettes/";

// The colours a palette file actually gives: the leading entries up to the first unfilled one.
std::vector<TColor> Filled(const std::string& name, size_t expected) {
    const TPalette palette = ReadPaletteFile(kPalettes + name + ".pal");
    return {palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(expected)};
}

int ColourLines(const std::string& name) {
    const std::string text = ReadWholeFile(kPalettes + name + ".pal");
    int count = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        TColor colour = 0;
        if (ParsePaletteLine(std::string_view(text).substr(start, end - start), colour))
            ++count;
        start = text.find_first_not_of("\r\n", end);
        if (start == std::string::npos)
            break;
    }
    return count;
}

// The web-safe colours themselves are checked with the palette reader; here, that the file
// holds them once each, black first and white last, and nothing more.
TEST(DeliveredPalettesTest, WebPaletteRunsFromBlackToWhiteWithoutExtraLines) {
    ASSERT_EQ(ColourLines("Web Palette"), 216);
    const std::vector<TColor> colours = Filled("Web Palette", 216);
    EXPECT_EQ(colours.front(), RGB(0, 0, 0));
    EXPECT_EQ(colours.back(), RGB(255, 255, 255));
}

TEST(DeliveredPalettesTest, GraysRunFromBlackToWhite) {
    ASSERT_EQ(ColourLines("Grays"), 64);
    const std::vector<TColor> colours = Filled("Grays", 64);
    for (size_t i = 0; i < colours.size(); ++i) {
        EXPECT_EQ(GetRValue(colours[i]), GetGValue(colours[i]));
        EXPECT_EQ(GetGValue(colours[i]), GetBValue(colours[i]));
        if (i > 0) {
            EXPECT_GT(GetRValue(colours[i]), GetRValue(colours[i - 1]));
        }
    }
    EXPECT_EQ(colours.front(), RGB(0, 0, 0));
    EXPECT_EQ(colours.back(), RGB(255, 255, 255));
}

TEST(DeliveredPalettesTest, PastelsAreLightAndDistinct) {
    ASSERT_EQ(ColourLines("Pastels"), 80);
    const std::vector<TColor> colours = Filled("Pastels", 80);
    EXPECT_EQ(std::set<TColor>(colours.begin(), colours.end()).size(), 80u);
    for (const TColor c : colours) {
        EXPECT_GE(std::min({GetRValue(c), GetGValue(c), GetBValue(c)}), 128);
    }
}

}  // namespace
}  // namespace tessel

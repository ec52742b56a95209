#include "themes/core/PaletteFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace tessel {
namespace {

// The palettes delivered in data/Palettes must all be readable, and the web palette must
// hold the 216 web-safe colours.
TEST(DeliveredPalettes, AllParseAndWebPaletteHoldsTheWebSafeColours) {
    const std::string folder = std::string(TESSEL_SOURCE_DATA) + "/Palettes/";
    const std::vector<TPaletteEntry> palettes = ListPalettes(folder);
    ASSERT_GE(palettes.size(), 3u) << folder;

    bool sawWebPalette = false;
    for (const TPaletteEntry& entry : palettes) {
        SCOPED_TRACE(entry.FileName);
        EXPECT_EQ(entry.FileName, entry.Name + kPaletteExtension);
        const TPalette palette = ReadPaletteFile(folder + entry.FileName);
        // A delivered palette gives at least some colour that is not the white of an unused
        // entry.
        EXPECT_NE(std::count(palette.begin(), palette.end(), clWhite), kPaletteSize);
        if (entry.Name != kDefaultPaletteName) {
            continue;
        }
        sawWebPalette = true;
        std::set<TColor> webSafe;
        for (int i = 0; i < 216; ++i) {
            const TColor c = palette[i];
            for (int component : {GetRValue(c), GetGValue(c), GetBValue(c)}) {
                EXPECT_EQ(component % 51, 0) << "entry " << i;
            }
            webSafe.insert(c);
        }
        EXPECT_EQ(webSafe.size(), 216u);
    }
    EXPECT_TRUE(sawWebPalette);
}

}  // namespace
}  // namespace tessel

#include "themes/core/ColorRules.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(DecimalComponent, AcceptsOnlyDigitsBelow256) {
    EXPECT_EQ(DecimalComponent("0"), 0);
    EXPECT_EQ(DecimalComponent("255"), 255);
    EXPECT_EQ(DecimalComponent("007"), 7);
    EXPECT_EQ(DecimalComponent("256"), std::nullopt);
    EXPECT_EQ(DecimalComponent("300"), std::nullopt);
    EXPECT_EQ(DecimalComponent(""), std::nullopt);
    EXPECT_EQ(DecimalComponent("1a"), std::nullopt);
    EXPECT_EQ(DecimalComponent(" 12"), std::nullopt);
    EXPECT_EQ(DecimalComponent("-1"), std::nullopt);
    // Only the first three characters count.
    EXPECT_EQ(DecimalComponent("0259"), 25);
}

TEST(HexComponent, NeedsExactlyTwoHexDigits) {
    EXPECT_EQ(HexComponent("7f"), 127);
    EXPECT_EQ(HexComponent("7F"), 127);
    EXPECT_EQ(HexComponent("00"), 0);
    EXPECT_EQ(HexComponent("FF"), 255);
    EXPECT_EQ(HexComponent("A"), std::nullopt);
    EXPECT_EQ(HexComponent(""), std::nullopt);
    EXPECT_EQ(HexComponent("G1"), std::nullopt);
    EXPECT_EQ(HexComponent("1 "), std::nullopt);
    EXPECT_EQ(HexComponent("100"), std::nullopt);
}

TEST(ComponentToHex, TwoUpperCaseDigits) {
    EXPECT_EQ(ComponentToHex(0), "00");
    EXPECT_EQ(ComponentToHex(10), "0A");
    EXPECT_EQ(ComponentToHex(127), "7F");
    EXPECT_EQ(ComponentToHex(255), "FF");
}

TEST(ComponentKeys, DecimalAndHexadecimalSets) {
    for (char c : std::string("0123456789")) {
        EXPECT_TRUE(IsDecimalKey(c));
        EXPECT_TRUE(IsHexKey(c));
    }
    for (char c : std::string("ABCDEFabcdef")) {
        EXPECT_FALSE(IsDecimalKey(c));
        EXPECT_TRUE(IsHexKey(c));
    }
    for (char c : std::string("gG -+xX.\t")) {
        EXPECT_FALSE(IsDecimalKey(c));
        EXPECT_FALSE(IsHexKey(c));
    }
}

TEST(PaletteCellAt, CountsFromTheBorderTruncatingTowardZero) {
    // The 3-pixel border belongs to the first row and column.
    EXPECT_EQ(PaletteCellAt(0, 0).Index(), 0);
    EXPECT_EQ(PaletteCellAt(17, 17).Index(), 0);
    EXPECT_EQ(PaletteCellAt(18, 3).Column, 1);
    EXPECT_EQ(PaletteCellAt(3, 18).Row, 1);
    const TPaletteCell last = PaletteCellAt(241, 241);
    EXPECT_EQ(last.Row, 15);
    EXPECT_EQ(last.Column, 15);
    EXPECT_EQ(last.Index(), 255);
    EXPECT_TRUE(last.IsInside());
    EXPECT_EQ(PaletteCellAt(50, 100).Index(), 6 * 16 + 3);
    EXPECT_FALSE(PaletteCellAt(243, 0).IsInside());
    EXPECT_FALSE(PaletteCellAt(0, 243).IsInside());
}

}  // namespace
}  // namespace tessel

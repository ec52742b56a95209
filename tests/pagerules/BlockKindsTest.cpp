#include <gtest/gtest.h>

#include "pagerules/BlockKinds.h"

namespace tessel {
namespace {

TEST(BlockKindsTest, PaletteEntriesMapToTheKindsFromHeadingToForms) {
    EXPECT_EQ(PaletteKind(0), btHeading);
    EXPECT_EQ(PaletteKind(3), btText);
    EXPECT_EQ(PaletteKind(6), btForms);
    EXPECT_EQ(PaletteKind(7), btHeading);   // past the palette
    EXPECT_EQ(PaletteKind(-1), btHeading);  // no selection
    EXPECT_STREQ(BlockCaption(btPageProperties), "Page Details");
    EXPECT_STREQ(BlockCaption(btText), "Paragraph");
    EXPECT_STREQ(BlockCaption(btBullet), "Bullet List");
    EXPECT_STREQ(BlockIconName(btText), "imgText");
    EXPECT_STREQ(BlockIconName(btPageProperties), "imgProp");
    EXPECT_STREQ(BlockIconName(btHR), "imgHR");
}

}  // namespace
}  // namespace tessel

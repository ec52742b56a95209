#include <gtest/gtest.h>

#include "document/Pagelette.h"

namespace tessel {
namespace {

TEST(PageletteTest, DefaultPageHasSettingsImageLinkAndText) {
    TPagelette doc;
    SetDefaultBlocks(doc);
    ASSERT_EQ(doc.Page().Count(), 4);
    EXPECT_EQ(doc.Page().Items(0).BlockType, btPageProperties);
    EXPECT_EQ(doc.Page().Items(3).TextBlock().Attributes, kDefaultFontDescription);
}

}  // namespace
}  // namespace tessel

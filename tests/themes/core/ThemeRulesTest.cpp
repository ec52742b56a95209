#include "themes/core/ThemeRules.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(ThemeNameRefused, AddingRefusesANameTheListHoldsWithoutRegardToCase) {
    const std::vector<std::string> names{"Default", "Ocean"};
    EXPECT_TRUE(ThemeNameRefused(names, -1, "ocean"));
    EXPECT_TRUE(ThemeNameRefused(names, -1, "Default"));
    EXPECT_FALSE(ThemeNameRefused(names, -1, "Oceans"));
    EXPECT_FALSE(ThemeNameRefused({}, -1, "Ocean"));
}

TEST(ThemeNameRefused, EditingChecksOnlyANameThatDiffers) {
    const std::vector<std::string> names{"Default", "Ocean"};
    EXPECT_FALSE(ThemeNameRefused(names, 1, "Ocean"));   // unchanged
    EXPECT_TRUE(ThemeNameRefused(names, 1, "OCEAN"));    // meets the entry itself
    EXPECT_TRUE(ThemeNameRefused(names, 1, "default"));  // meets another entry
    EXPECT_FALSE(ThemeNameRefused(names, 1, "Sea"));
}

}  // namespace
}  // namespace tessel

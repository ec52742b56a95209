#include "document/TextLines.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, EveryLineEndAndNoneAtTheEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("\r\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("\n\r"), (Lines{"", ""}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines(std::string("x\0y", 3)), Lines{std::string("x\0y", 3)});
}

}  // namespace
}  // namespace tessel

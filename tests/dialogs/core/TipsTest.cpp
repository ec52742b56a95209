#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

#include "dialogs/core/Tips.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

// A random source that returns the largest allowed value, and records the bound it was given.
struct TopOfRange {
    int* lastBound;
    int operator()(int bound) const {
        *lastBound = bound;
        return bound - 1;
    }
};

TEST(TipsTest, SplitsAtEveryLineEndAndDropsBlankLines) {
    const TTips tips = TTips::FromText("one\r\ntwo\nthree\rfour\r\n\r\n   \nfive");
    ASSERT_EQ(tips.Count(), 5);
    EXPECT_EQ(tips.Line(0), "one");
    EXPECT_EQ(tips.Line(2), "three");
    EXPECT_EQ(tips.Line(3), "four");
    EXPECT_EQ(tips.Line(4), "five");
}

TEST(TipsTest, EmptyAndBlankFilesHoldNoTips) {
    EXPECT_TRUE(TTips::FromText("").Empty());
    EXPECT_TRUE(TTips::FromText("\r\n\r\n \t\n").Empty());
    EXPECT_THROW(TTips::FromText("").Draw([](int) { return 0; }), std::logic_error);
}

TEST(TipsTest, OneLineIsDrawnEveryTime) {
    const TTips tips = TTips::FromText("Only tip\r\n");
    int bound = 0;
    EXPECT_EQ(tips.Draw(TopOfRange{&bound}), "Only tip");
    EXPECT_EQ(bound, 1);
}

TEST(TipsTest, TheLastLineCanBeDrawn) {
    const TTips tips = TTips::FromText("first\nmiddle\nlast\n");
    int bound = 0;
    EXPECT_EQ(tips.Draw(TopOfRange{&bound}), "last");
    EXPECT_EQ(bound, 3);

    std::set<std::string> seen;
    for (int r = 0; r < 3; ++r) seen.insert(tips.Draw([r](int) { return r; }));
    EXPECT_EQ(seen.size(), 3u);
}

TEST(TipsTest, ARandomSourceOutOfRangeIsRefused) {
    const TTips tips = TTips::FromText("a\nb\n");
    EXPECT_THROW(tips.Draw([](int bound) { return bound; }), std::out_of_range);
    EXPECT_THROW(tips.Draw([](int) { return -1; }), std::out_of_range);
}

TEST(TipsTest, LoadsAFileAndReportsAMissingOne) {
    const std::string path = [] {
        const testing::TTempFolder folder;
        const std::string written = folder.Write("Tips.txt", "alpha\r\nbeta");
        const auto tips = TTips::LoadFile(written);
        EXPECT_TRUE(tips.has_value());
        if (tips) {
            EXPECT_EQ(tips->Count(), 2);
            EXPECT_EQ(tips->Line(1), "beta");
        }
        return written;
    }();
    EXPECT_FALSE(TTips::LoadFile(path).has_value());
}

TEST(TipsTest, FailureTextNamesTheProgramFolder) {
    EXPECT_EQ(TipsLoadFailureText("/opt/tessel/"),
              "Could not load tips file! Please make sure Tips.txt is in the application folder "
              "of /opt/tessel/.");
    EXPECT_EQ(TipDayText(true), "1");
    EXPECT_EQ(TipDayText(false), "0");
}

// The delivered tips: enough of them, one per line, none blank or overlong for the tip field.
TEST(TipsTest, DeliveredTipsFileIsUsable) {
    const auto tips = TTips::LoadFile(std::string(TESSEL_SOURCE_DATA) + "/Tips.txt");
    ASSERT_TRUE(tips.has_value());
    EXPECT_GE(tips->Count(), 30);
    std::set<std::string> distinct;
    for (int i = 0; i < tips->Count(); ++i) {
        EXPECT_LE(tips->Line(i).size(), 300u) << tips->Line(i);
        distinct.insert(tips->Line(i));
    }
    EXPECT_EQ(static_cast<int>(distinct.size()), tips->Count());
}

}  // namespace
}  // namespace tessel

#include <gtest/gtest.h>

#include "app/core/PanelRules.h"

namespace tessel {
namespace {

TEST(PanelRulesTest, LinesSplitOnEveryLineEndAndJoinWithCrLf) {
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(JoinLines({"x\ty", "z"}), "x\ty\r\nz\r\n");
    EXPECT_EQ(JoinLines({}), "");
}

TEST(PanelRulesTest, EmailLinkEntryRoundTripsThroughTheEdits) {
    const std::string entry = LinkEntry(true, "me@example.org", "Write me");
    EXPECT_EQ(entry, "mailto:me@example.org\tWrite me");
    const TLinkEntryParts parts = SplitLinkEntry(entry);
    EXPECT_TRUE(parts.email);
    EXPECT_EQ(parts.address, "me@example.org");
    EXPECT_EQ(parts.text, "Write me");

    const TLinkEntryParts plain = SplitLinkEntry("http://a.example/\tA\tB");
    EXPECT_FALSE(plain.email);
    EXPECT_EQ(plain.address, "http://a.example/");
    EXPECT_EQ(plain.text, "A\tB");
    // Only the prefix the editor writes makes an e-mail link; nothing else is cut.
    for (const char* entry :
         {"http://a.example/?to=mailto:b\tMail", "http://a.example/\tmailto:b"}) {
        const TLinkEntryParts inner = SplitLinkEntry(entry);
        EXPECT_FALSE(inner.email) << entry;
        EXPECT_EQ(inner.address + "\t" + inner.text, entry);
    }
    EXPECT_EQ(SplitLinkEntry("no tab").text, "no tab");
    EXPECT_EQ(SplitLinkEntry("no tab").address, "");
}

TEST(PanelRulesTest, LinePreviewRoundsHalvesToEven) {
    EXPECT_EQ(LinePreviewWidth(5, 250), 12);
    EXPECT_EQ(LinePreviewWidth(15, 250), 38);
    EXPECT_EQ(LinePreviewWidth(100, 250), 250);
    EXPECT_EQ(LinePreviewHeight(0), 3);
    EXPECT_EQ(LinePreviewHeight(5), 18);
}

TEST(PanelRulesTest, CenteringFallsBackToTwelveWhenTooBig) {
    EXPECT_EQ(CenteredOffset(101, 50), 25);
    EXPECT_EQ(CenteredOffset(50, 50), 0);
    EXPECT_EQ(CenteredOffset(50, 51), 12);
}

TEST(PanelRulesTest, SettingsFallBackOnMissingOrNonNumericText) {
    const std::string good = "640", bad = "64x", negative = "-3", empty;
    EXPECT_EQ(SettingToInt(&good, 1), 640);
    EXPECT_EQ(SettingToInt(&bad, 1), 1);
    EXPECT_EQ(SettingToInt(&negative, 1), -3);
    EXPECT_EQ(SettingToInt(&empty, 1), 1);
    EXPECT_EQ(SettingToInt(nullptr, 7), 7);
}

}  // namespace
}  // namespace tessel

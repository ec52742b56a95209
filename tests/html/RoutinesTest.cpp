#include <gtest/gtest.h>

#include <limits>

#include "document/Exceptions.h"
#include "html/Routines.h"

namespace tessel {
namespace {

std::string Replaced(std::string s, std::string_view replacement, std::string_view search,
                     int count) {
    ReplaceText(s, replacement, search, count);
    return s;
}

TEST(ReplaceTextTest, ReplacesEveryOccurrence) {
    EXPECT_EQ(Replaced("Your first name", "_", " ", 1), "Your_first_name");
    EXPECT_EQ(Replaced("one\r\ntwo\r\n\r\nthree", "<BR>", "\r\n", 2), "one<BR>two<BR><BR>three");
    EXPECT_EQ(Replaced("\r\r\n\n", "<BR>", "\r\n", 2), "\r<BR>\n");
    EXPECT_EQ(Replaced("no match", "x", "zz", 2), "no match");
    EXPECT_EQ(Replaced("abc", "x", "", 1), "abc");
}

TEST(ReplaceTextTest, CountDecidesHowMuchIsDeleted) {
    EXPECT_EQ(Replaced("xabab", "Q", "ab", 1), "xQbQb");
    EXPECT_EQ(Replaced("ab", "Q", "ab", 10), "Q");
    EXPECT_EQ(Replaced("xab", "Q", "ab", 0), "xQab");
}

TEST(ReplaceTextTest, ReplacementHoldingTheSearchTextEnds) {
    EXPECT_EQ(Replaced("a_b_", "__", "_", 1), "a__b__");
    EXPECT_EQ(Replaced("aa", "aa", "a", 1), "aaaa");
}

TEST(StringRoutinesTest, BarsNamesAndSpaces) {
    EXPECT_EQ(TextBeforeBar("red|Red|Yes"), "red");
    EXPECT_EQ(TextBeforeBar("no bar"), "");
    EXPECT_EQ(TextAfterBar("red|Red|Yes"), "Red|Yes");
    EXPECT_EQ(TextAfterBar("no bar"), "no bar");
    EXPECT_EQ(TextAfterBar("end|"), "");

    EXPECT_EQ(BaseName("My Page.v2.pgx"), "My Page.v2");
    EXPECT_EQ(BaseName("Untitled"), "");
    EXPECT_EQ(BaseName(".pgx"), "");

    EXPECT_EQ(RemoveSpaces(" My  Page "), "MyPage");

    std::string s = "a.b.c";
    ReplaceChar(s, '.', '/');
    EXPECT_EQ(s, "a/b/c");
}

TEST(StringRoutinesTest, DigitsAndSpaces) {
    EXPECT_TRUE(IsDigitsAndSpaces("255 128   0"));
    EXPECT_TRUE(IsDigitsAndSpaces(" "));
    EXPECT_FALSE(IsDigitsAndSpaces(""));
    EXPECT_FALSE(IsDigitsAndSpaces("12\t3"));
    EXPECT_FALSE(IsDigitsAndSpaces("-1"));
}

TEST(PosWildTest, FindsFromStartWithWildcards) {
    EXPECT_EQ(PosWild("abcabc", "bc", 1), 2);
    EXPECT_EQ(PosWild("abcabc", "bc", 3), 5);
    EXPECT_EQ(PosWild("abcabc", "b?a", 1), 2);
    EXPECT_EQ(PosWild("abcabc", "??", 6), 0);  // does not fit
    EXPECT_EQ(PosWild("abcabc", "c", 6), 6);
    EXPECT_EQ(PosWild("abc", "x", 1), 0);
}

TEST(PosWildTest, NegativeStartFoldsCase) {
    const std::string line = R"(<DT><a href="http://x.example/">X</a>)";
    EXPECT_EQ(PosWild(line, "HREF=\"", 1), 0);
    EXPECT_EQ(PosWild(line, "HREF=\"", -1), 8);
    EXPECT_EQ(PosWild("ABC", "abc", -1), 1);
    EXPECT_EQ(PosWild("abc", "ABC", -2), 0);
    // Only letters fold: "[" (91) does not match "{" (123), which lies above "z".
    EXPECT_EQ(PosWild("[", "{", -1), 0);
}

TEST(PosWildTest, DegenerateArguments) {
    EXPECT_EQ(PosWild("", "a", 1), 0);
    EXPECT_EQ(PosWild("a", "", 1), 0);
    EXPECT_EQ(PosWild("a", "a", 0), 0);
    EXPECT_EQ(PosWild("a", "a", 2), 0);
    EXPECT_EQ(PosWild("a", "a", -2), 0);
    EXPECT_EQ(PosWild("a", "a", std::numeric_limits<int>::min()), 0);
}

TEST(NextTokenTest, WalksThroughDelimitedText) {
    const std::string line = "255 128  0";
    int position = 1;
    EXPECT_EQ(NextToken(line, " ", position), "255");
    EXPECT_EQ(position, 5);
    EXPECT_EQ(NextToken(line, " ", position), "128");
    EXPECT_EQ(NextToken(line, " ", position), "");  // two spaces in a row
    EXPECT_EQ(position, 10);
    EXPECT_EQ(NextToken(line, " ", position), "0");
    EXPECT_EQ(position, 0);
    EXPECT_EQ(NextToken(line, " ", position), "");
    EXPECT_EQ(position, 0);
}

TEST(NextTokenTest, BadPositionsAndDelimiters) {
    int position = 4;
    EXPECT_EQ(NextToken("abc", ",", position), "");
    EXPECT_EQ(position, 0);
    position = -1;
    EXPECT_EQ(NextToken("abc", ",", position), "");
    EXPECT_EQ(position, 0);
    position = 1;
    EXPECT_EQ(NextToken("a,b", "", position), "");
    EXPECT_EQ(position, 0);
    position = 1;
    EXPECT_EQ(NextToken("a,b", std::string(257, ','), position), "a,b");
    EXPECT_EQ(position, 0);
    position = 3;
    EXPECT_EQ(NextToken("a,b,", ",;", position), "b");
    EXPECT_EQ(position, 5);
}

TEST(NextTokenTest, OpeningQuotesNeverEndATokenClosingOnesMay) {
    int position = 1;
    EXPECT_EQ(NextToken(R"(say "a b" c)", " \"", position), "say");
    EXPECT_EQ(NextToken(R"(say "a b" c)", " \"", position), "\"a");  // space still ends it
    position = 1;
    EXPECT_EQ(NextToken(R"("ab"cd)", "\"", position), "\"ab");
    EXPECT_EQ(position, 5);
    EXPECT_EQ(NextToken(R"("ab"cd)", "\"", position), "cd");
    EXPECT_EQ(position, 0);
    position = 1;
    // Without a quote in the set, quotes are ordinary characters.
    EXPECT_EQ(NextToken(R"("a,b",c)", ",", position), "\"a");
}

TEST(StrToIntTest, AcceptsThePlatformsIntegerTexts) {
    EXPECT_EQ(StrToInt("20"), 20);
    EXPECT_EQ(StrToInt("  -7"), -7);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
}

TEST(StrToIntTest, RejectsEverythingElseWithTheMessage) {
    for (const char* text : {"", " ", "20 ", "1O", "2147483648", "$", "+", "$100000000", "12px"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(IsValidUtf8Test, AcceptsEveryWellFormedSequenceAndNothingElse) {
    for (const char* text :
         {"", "plain", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
          "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(IsValidUtf8(text)) << text;
    }
    for (const char* text :
         {"\x80", "\xC1\xBF", "\xC2", "\xC2x", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
          "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "ok \xE2\x82"}) {
        EXPECT_FALSE(IsValidUtf8(text)) << text;
    }
    char32_t codePoint = 0;
    EXPECT_EQ(Utf8SequenceAt("a\xE2\x82\xAC", 1, codePoint), 3u);
    EXPECT_EQ(codePoint, U'\u20AC');
    EXPECT_EQ(Utf8SequenceAt("\xF4\x8F\xBF\xBF", 0, codePoint), 4u);
    EXPECT_EQ(codePoint, U'\U0010FFFF');
}

TEST(AttributeValueTest, OnlyTheDoubleQuoteChanges) {
    EXPECT_EQ(AttributeValue(R"("a" & <b> 'c' &quot;)"), "&quot;a&quot; & <b> 'c' &quot;");
    EXPECT_EQ(AttributeValue(""), "");
}

}  // namespace
}  // namespace tessel

#include <gtest/gtest.h>

#include "document/Exceptions.h"
#include "document/Pagelette.h"
#include "html/Routines.h"

namespace tessel {
namespace {

TEST(FormatBlockTextTest, DefaultFontGivesFaceAndSizeWithoutColour) {
    EXPECT_EQ(FormatBlockText("", kDefaultFontDescription, 1),
              R"(<FONT FACE="Times New Roman" SIZE="3"></FONT>)");
    EXPECT_EQ(FormatBlockText("Hi", kDefaultFontDescription, 0), "Hi");
    EXPECT_EQ(FormatBlockText("Hi", kDefaultFontDescription, 2), "");
}

TEST(FormatBlockTextTest, StylesNestBoldOutermostUnderlineInnermost) {
    const std::string all = R"("Arial", 10, [Bold|Italic|Underline], [clBlack])";
    EXPECT_EQ(FormatBlockText("x", all, 0), "<B><I><U>x</U></I></B>");
    EXPECT_EQ(FormatBlockText("x", all, 1),
              R"(<FONT FACE="Arial" SIZE="2" COLOR="#000000"><B><I><U>x</U></I></B></FONT>)");
    // The search covers the whole description, the face name included.
    EXPECT_EQ(FormatBlockText("x", R"("Bold Face", 12, [], [$00050000])", 0), "<B>x</B>");
}

TEST(FormatBlockTextTest, SizesAndColours) {
    const std::pair<int, const char*> sizes[] = {{8, "1"},  {10, "2"}, {12, "3"}, {14, "4"},
                                                 {16, "5"}, {18, "6"}, {20, "7"}, {11, "11"}};
    for (const auto& [points, html] : sizes) {
        const std::string description =
            "\"Courier New\", " + std::to_string(points) + ", [], [$000080FF]";
        EXPECT_EQ(FormatBlockText("t", description, 1),
                  std::string(R"(<FONT FACE="Courier New" SIZE=")") + html +
                      R"(" COLOR="#FF8000">t</FONT>)");
    }
    EXPECT_EQ(FormatBlockText("t", R"("A", 12, [], [16711680])", 1),
              R"(<FONT FACE="A" SIZE="3" COLOR="#0000FF">t</FONT>)");
}

TEST(FormatBlockTextTest, MalformedDescriptionFailsConversion) {
    for (const char* description : {"", "Arial", R"("Arial", big, [], [clRed])",
                                    R"("Arial", 12, [], [notacolour])", R"("Arial", 12)"}) {
        EXPECT_THROW(FormatBlockText("t", description, 1), EConvertError) << description;
        EXPECT_NO_THROW(FormatBlockText("t", description, 0));
    }
}

TEST(ConvertLinesTest, TextVariantDoublesBreaksForEmptyLines) {
    EXPECT_EQ(ConvertLines("", cvText), "");
    EXPECT_EQ(ConvertLines("one\r\n\r\ntwo", cvText), "one\r\n<BR><BR>\r\ntwo\r\n");
    EXPECT_EQ(ConvertLines("a\rb\nc\r\n", cvText), "a\r\nb\r\nc\r\n");
}

TEST(ConvertLinesTest, ListVariantPrefixesLinesOfTwoOrMore) {
    EXPECT_EQ(ConvertLines("ab\r\nc\r\n\r\nlong item", cvList),
              "   <LI>ab\r\nc\r\n\r\n   <LI>long item\r\n");
}

TEST(ConvertLinesTest, MetaVariantSplitsAtTheFirstTab) {
    EXPECT_EQ(ConvertLines("Keywords\ta, b\tc\r\n\t\r\nno tab\r\nx", cvMeta),
              "<META NAME=\"Keywords\" CONTENT=\"a, b\tc\">\r\n\t\r\n"
              "<META NAME=\"\" CONTENT=\"no tab\">\r\nx\r\n");
    // Only a line of exactly one character passes through; an empty one is an empty tag.
    EXPECT_EQ(ConvertLines("a\tb\r\n\r\nc\td", cvMeta),
              "<META NAME=\"a\" CONTENT=\"b\">\r\n<META NAME=\"\" CONTENT=\"\">\r\n"
              "<META NAME=\"c\" CONTENT=\"d\">\r\n");
}

TEST(ConvertLinesTest, OptionVariantEscapesOnlyScriptBreakingCharacters) {
    EXPECT_EQ(ConvertLines("http://a.example/\tA \"quoted\" <b>\r\n", cvOption),
              "document.write('<option value=\"http://a.example/\">A \"quoted\" <b>');\r\n\r\n");
    EXPECT_EQ(ConvertLines("C:\\x\\'y'\tIt's\r\n'\r\n", cvOption),
              "document.write('<option value=\"C:\\\\x\\\\\\'y\\'\">It\\'s');\r\n\r\n'\r\n");
    EXPECT_EQ(ConvertLines("just text", cvOption),
              "document.write('<option value=\"\">just text');\r\n\r\n");
    // Only a line of exactly one character passes through; an empty one is an empty option.
    EXPECT_EQ(ConvertLines("a\tA\r\n\r\nb\tB", cvOption),
              "document.write('<option value=\"a\">A');\r\n\r\n"
              "document.write('<option value=\"\">');\r\n\r\n"
              "document.write('<option value=\"b\">B');\r\n\r\n");
}

TEST(ColorToHTMLTest, RedGreenBlueInUpperCaseHex) {
    EXPECT_EQ(ColorToHTML(clWhite), "#FFFFFF");
    EXPECT_EQ(ColorToHTML(RGB(153, 0, 153)), "#990099");
    EXPECT_EQ(ColorToHTML(RGB(0x12, 0xAB, 0xCD)), "#12ABCD");
    EXPECT_EQ(ColorToHTML(clNoFontColor), "#000005");
    EXPECT_EQ(ColorToHTML(static_cast<TColor>(0x80000005)), "#050000");  // top byte ignored
}

TEST(FontDescriptionTest, WritesThePattern) {
    TFontValue font{"Times New Roman", 12, clNoFontColor, false, false, false};
    EXPECT_EQ(FontToDescription(font), kDefaultFontDescription);
    font = {"Arial", 14, clRed, true, false, true};
    EXPECT_EQ(FontToDescription(font), R"("Arial", 14, [Bold|Underline], [clRed])");
    font = {"Arial", 8, static_cast<TColor>(0x80000008), false, true, false};
    EXPECT_EQ(FontToDescription(font), R"("Arial", 8, [Italic], [clWindowText])");
}

TEST(FontDescriptionTest, ReadsBackWhatItWrites) {
    const TFontValue fonts[] = {
        {"Times New Roman", 12, clNoFontColor, false, false, false},
        {"Courier New", 20, RGB(1, 2, 3), true, true, true},
        {"Arial", 10, clNone, false, true, false},
    };
    for (const TFontValue& font : fonts) {
        TFontValue read;
        DescriptionToFont(FontToDescription(font), read);
        EXPECT_EQ(read, font) << FontToDescription(font);
    }
}

TEST(FontDescriptionTest, BadDescriptionLeavesTheFontAlone) {
    const TFontValue before{"Arial", 10, clRed, true, false, false};
    for (const char* description :
         {"", R"("Arial", x, [], [clRed])", R"("Arial", 10, [], [what])"}) {
        TFontValue font = before;
        EXPECT_THROW(DescriptionToFont(description, font), EConvertError) << description;
        EXPECT_EQ(font, before);
    }
}

}  // namespace
}  // namespace tessel

#include <gtest/gtest.h>

#include "html/Routines.h"
#include "platform/PageCharset.h"

namespace tessel {
namespace {

const std::string kUtf8Meta =
    "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=UTF-8\">\r\n";
const std::string kWindowsMeta =
    "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=windows-1252\">\r\n";

TEST(PageCharsetTest, TheDeclaredCharsetDecidesWhateverTheBytes) {
    EXPECT_EQ(DeclaredCharset(kUtf8Meta), "utf-8");
    EXPECT_EQ(DeclaredCharset(kWindowsMeta), "windows-1252");
    EXPECT_EQ(DeclaredCharset("<meta charset='utf8'><body>"), "utf8");
    // A META in the body declares nothing, as in a browser.
    EXPECT_EQ(DeclaredCharset("<body><meta charset=windows-1252>"), "");

    // "café" in UTF-8 read by a windows-1252 page shows two letters for the é.
    EXPECT_EQ(DecodePage(kWindowsMeta + "caf\xC3\xA9"), kWindowsMeta + "caf\xC3\x83\xC2\xA9");
    EXPECT_EQ(DecodePage(kUtf8Meta + "caf\xC3\xA9"), kUtf8Meta + "caf\xC3\xA9");
    // A byte that is no UTF-8 in a UTF-8 page becomes the replacement character.
    EXPECT_EQ(DecodePage(kUtf8Meta + "caf\xE9!"), kUtf8Meta + "caf\xEF\xBF\xBD!");
    // ISO-8859-1 is read as windows-1252.
    EXPECT_EQ(PageCharsetOf("<meta content='text/html; charset=ISO-8859-1'>"),
              TPageCharset::Windows1252);
}

TEST(PageCharsetTest, WithoutADeclarationValidUtf8IsUtf8AndAnythingElseWindows1252) {
    EXPECT_EQ(PageCharsetOf("plain ascii"), TPageCharset::Utf8);
    EXPECT_EQ(DecodePage("\xE2\x82\xAC 5"), "\xE2\x82\xAC 5");
    // The euro sign and curly quotes of windows-1252, and Latin-1 letters.
    EXPECT_EQ(DecodePage("\x80 \x93x\x94 \xE9"), "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC3\xA9");
}

TEST(PageCharsetTest, Utf8ValidityRejectsOverlongSurrogatesAndCutSequences) {
    EXPECT_TRUE(IsValidUtf8("a\xC3\xA9\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("ab\xE2\x82"));        // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

}  // namespace
}  // namespace tessel

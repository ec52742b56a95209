#include "dialogs/core/HtmlEntities.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(HtmlEntities, NamedReferences) {
    EXPECT_EQ(DecodeHtmlEntities("http://a.example/?x=1&amp;y=2&amp;z=3"),
              "http://a.example/?x=1&y=2&z=3");
    EXPECT_EQ(DecodeHtmlEntities("&lt;&gt;&quot;&apos;&AMP;&LT;&GT;&QUOT;"), "<>\"'&<>\"");
    EXPECT_EQ(DecodeHtmlEntities("a&nbsp;b"),
              "a\xC2\xA0"
              "b");
    // Decoded once: "&amp;lt;" is the text "&lt;", not "<".
    EXPECT_EQ(DecodeHtmlEntities("&amp;lt;"), "&lt;");
}

TEST(HtmlEntities, NumericReferencesBecomeUtf8) {
    EXPECT_EQ(DecodeHtmlEntities("&#38;&#x26;&#X26;"), "&&&");
    EXPECT_EQ(DecodeHtmlEntities("caf&#233;"), "caf\xC3\xA9");
    EXPECT_EQ(DecodeHtmlEntities("&#x20AC;"), "\xE2\x82\xAC");
    EXPECT_EQ(DecodeHtmlEntities("&#x1F600;"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(DecodeHtmlEntities("&#x7FF;&#x800;&#xFFFF;&#x10000;&#x10FFFF;"),
              "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(DecodeHtmlEntities("&#0000065;"), "A");
}

TEST(HtmlEntities, WhatIsNoReferenceStaysAsWritten) {
    for (const char* text : {"a&b", "&", "&;", "&amp", "x &amp y", "&copy;", "&Amp;", "&#;", "&#x;",
                             "&#12a;", "&#xG1;", "&#0;", "&#xD800;", "&#xDFFF;", "&#x110000;",
                             "&#99999999999999999999;", "&#-1;", "&am&amp"}) {
        EXPECT_EQ(DecodeHtmlEntities(text), text) << text;
    }
    // A bare "&" before a real reference keeps the reference working.
    EXPECT_EQ(DecodeHtmlEntities("&&amp;"), "&&");
    EXPECT_EQ(DecodeHtmlEntities("a & b &lt; c"), "a & b < c");
    // A ";" far away does not close a reference.
    EXPECT_EQ(DecodeHtmlEntities("?q=a&b=" + std::string(40, 'x') + ";"),
              "?q=a&b=" + std::string(40, 'x') + ";");
}

}  // namespace
}  // namespace tessel

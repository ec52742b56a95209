#include "platform/gui/TextConvert.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

TEST(TextConvert, Utf8BytesDecodeAsUtf8) {
    EXPECT_EQ(ToQt("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_EQ(FromQt(QString::fromUtf8("caf\xC3\xA9")), "caf\xC3\xA9");
}

TEST(TextConvert, OtherBytesDecodeAsLatin1WithoutLoss) {
    EXPECT_EQ(ToQt("caf\xE9"), QString::fromUtf8("caf\xC3\xA9"));
    // Overlong form, lone surrogate, lead without its continuation, truncated sequence.
    const std::string invalid = "\xC0\xAF|\xED\xA0\x80|\xC3x|\xE2\x82";
    const QString text = ToQt(invalid);
    ASSERT_EQ(text.size(), static_cast<qsizetype>(invalid.size()));
    for (size_t i = 0; i < invalid.size(); ++i) {
        EXPECT_EQ(text[static_cast<qsizetype>(i)].unicode(),
                  static_cast<unsigned char>(invalid[i]));
    }
    // Valid and invalid mixed in one string: each part decoded on its own.
    EXPECT_EQ(ToQt("\xE9 \xC3\xA9"), QString::fromUtf8("\xC3\xA9 \xC3\xA9"));
}

TEST(TextConvert, RoundTripOfNonUtf8BytesGivesUtf8) {
    EXPECT_EQ(FromQt(ToQt("caf\xE9")), "caf\xC3\xA9");
    const std::string utf8 = "\xE2\x82\xAC and \xF0\x9F\x98\x80";
    EXPECT_EQ(FromQt(ToQt(utf8)), utf8);
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(FromQt(ToQt(withNul)), withNul);
}

TEST(TextConvert, LineEndsBetweenModelAndEdits) {
    EXPECT_EQ(ToQtLines("one\r\ntwo\r\n"), QStringLiteral("one\ntwo\n"));
    EXPECT_EQ(FromQtLines(QStringLiteral("one\ntwo\n")), "one\r\ntwo\r\n");
    EXPECT_EQ(FromQtLines(QStringLiteral("one\r\ntwo")), "one\r\ntwo");
    const std::string stored = "a\r\n\r\nb";
    EXPECT_EQ(FromQtLines(ToQtLines(stored)), stored);
}

}  // namespace
}  // namespace tessel

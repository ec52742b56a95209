#include "publish/core/Passwords.h"

#include <gtest/gtest.h>

#include <string>

namespace tessel {
namespace {

TEST(PasswordsTest, ScrambleIsKeyedStreamWithFeedback) {
    // First byte: key 6217 = 0x1849, so the byte is XORed with 0x18.
    EXPECT_EQ(ScramblePassword("A"), std::string(1, static_cast<char>('A' ^ 0x18)));
    // Feedback makes the same plain byte scramble differently at each position.
    const std::string s = ScramblePassword("aaaa");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_FALSE(s[0] == s[1] && s[1] == s[2] && s[2] == s[3]);
    EXPECT_EQ(ScramblePassword(""), "");
}

// Expected bytes computed independently from the key schedule: key 6217, then
// key := (scrambled byte + key) * 40503 + 17539, modulo 65536.
TEST(PasswordsTest, ScrambleMatchesKnownAnswers) {
    const std::pair<std::string, std::string> vectors[] = {
        {"aaaa", "\x79\x33\xce\xa7"},
        {"Secret-42", "\x4b\x81\xae\x2f\x63\x46\xa5\xfc\x90"},
        // High bytes drive the key product past the range of int.
        {"\xff\xff\xff\xff\xff\xff", "\xe7\xb2\xc6\x85\x56\x65"},
        {std::string("\x00\x25\x4a\x6f\x94\xb9\xde", 7), "\x18\x7a\xf9\x8d\xf9\x2e\x63"},
    };
    for (const auto& [plain, scrambled] : vectors) {
        EXPECT_EQ(ScramblePassword(plain), scrambled);
        EXPECT_EQ(UnscramblePassword(scrambled), plain);
    }
    EXPECT_EQ(EncodeBase64(ScramblePassword("Secret-42")), "S4GuL2NGpfyQ");
}

TEST(PasswordsTest, StoredFormRoundTripsForShortPasswords) {
    const struct {
        std::string password;
        std::size_t padding;
    } cases[] = {{"x", 2}, {"xy", 1}, {"xyz", 0}};
    for (const auto& c : cases) {
        const std::string stored = EncodeBase64(ScramblePassword(c.password));
        ASSERT_EQ(stored.size(), 4u) << c.password;
        EXPECT_EQ(stored.size() - stored.find_last_not_of('=') - 1, c.padding) << c.password;
        EXPECT_EQ(UnscramblePassword(DecodeBase64(stored)), c.password);
    }
}

TEST(PasswordsTest, EveryByteValueRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    all += all;
    EXPECT_EQ(UnscramblePassword(ScramblePassword(all)), all);
    EXPECT_EQ(DecodeBase64(EncodeBase64(all)), all);
}

TEST(PasswordsTest, Base64MatchesRfc4648Vectors) {
    const std::pair<std::string, std::string> vectors[] = {{"", ""},
                                                           {"f", "Zg=="},
                                                           {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},
                                                           {"foob", "Zm9vYg=="},
                                                           {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"},
                                                           {"\xff\xfe", "//4="},
                                                           {"\xfb\xef\xbe", "++++"}};
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(EncodeBase64(plain), encoded) << plain;
        EXPECT_EQ(DecodeBase64(encoded), plain) << encoded;
    }
}

TEST(PasswordsTest, DecodeIgnoresTrailingPartialGroup) {
    EXPECT_EQ(DecodeBase64("Zm9vYg"), "foo");
    EXPECT_EQ(DecodeBase64("Zm9"), "");
}

}  // namespace
}  // namespace tessel

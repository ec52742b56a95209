#include <gtest/gtest.h>

#include "publish/core/Fingerprint.h"

namespace tessel {
namespace {

const std::string kCanonical =
    "0A:1B:2C:3D:4E:5F:60:71:82:93:A4:B5:C6:D7:E8:F9:0A:1B:2C:3D:4E:5F:60:71:82:93:A4:B5:C6:D7:"
    "E8:F9";

TEST(FingerprintTest, ColonsSpacesAndLetterCaseGiveOneCanonicalForm) {
    EXPECT_EQ(NormalizeSha256Fingerprint(kCanonical), kCanonical);
    EXPECT_EQ(NormalizeSha256Fingerprint(
                  "0a1b2c3d4e5f60718293a4b5c6d7e8f90a1b2c3d4e5f60718293a4b5c6d7e8f9"),
              kCanonical);
    EXPECT_EQ(NormalizeSha256Fingerprint(
                  "0a 1b 2c 3d 4e 5f 60 71 82 93 a4 b5 c6 d7 e8 f9 0a 1b 2c 3d 4e 5f 60 71 82 93 "
                  "a4 b5 c6 d7 e8 f9"),
              kCanonical);
}

TEST(FingerprintTest, AnythingButSixtyFourHexDigitsIsRefused) {
    EXPECT_FALSE(NormalizeSha256Fingerprint(""));
    EXPECT_FALSE(NormalizeSha256Fingerprint(kCanonical.substr(3)));        // SHA-256 minus a byte
    EXPECT_FALSE(NormalizeSha256Fingerprint(kCanonical + ":00"));          // one byte more
    EXPECT_FALSE(NormalizeSha256Fingerprint("G" + kCanonical.substr(1)));  // not hexadecimal
    EXPECT_FALSE(NormalizeSha256Fingerprint("sha256//" + kCanonical));
}

TEST(FingerprintTest, SshHostKeyFingerprintsInOpenSshsForm) {
    const std::string key = "SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU";
    EXPECT_EQ(NormalizeSshFingerprint(key), key);
    EXPECT_EQ(NormalizeSshFingerprint(" " + key + "=\n"), key);
    EXPECT_FALSE(NormalizeSshFingerprint(key.substr(7)));  // without its prefix
    EXPECT_FALSE(NormalizeSshFingerprint(key + "A"));      // one character more
    EXPECT_FALSE(NormalizeSshFingerprint("SHA256:" + std::string(42, 'A') + "-"));
    EXPECT_FALSE(NormalizeSshFingerprint(kCanonical));  // a certificate's
}

}  // namespace
}  // namespace tessel

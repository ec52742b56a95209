#include <gtest/gtest.h>

#include "pagerules/PictureNames.h"

namespace tessel {
namespace {

TEST(PictureNamesTest, OnlyBareNamesReachTheFolder) {
    EXPECT_EQ(PictureFilePath("/p/Upload/images/", "cat.gif"), "/p/Upload/images/cat.gif");
    for (const char* good : {"my cat.v2.jpg", "photo..jpg", "..gif", "...", "x."}) {
        EXPECT_EQ(PictureFilePath("/p/Upload/images/", good),
                  std::string("/p/Upload/images/") + good)
            << good;
    }
    for (const char* bad : {"", ".", "..", "../secret.gif", "sub/cat.gif", "/etc/passwd",
                            "..\\..\\x.bmp", "a\\b.gif", "photo..jpg/"}) {
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
        EXPECT_EQ(PictureFilePath("/p/Upload/images/", bad), "") << bad;
    }
}

}  // namespace
}  // namespace tessel

#include <gtest/gtest.h>

#include "pagerules/PictureNames.h"

namespace tessel {
namespace {

TEST(PictureNamesTest, OnlyBareNamesReachTheFolder) {
    EXPECT_EQ(PictureFilePath("/p/Upload/images/", "cat.gif"), "/p/Upload/images/cat.gif");
    EXPECT_EQ(PictureFilePath("/p/Upload/images/", "my cat.v2.jpg"),
              "/p/Upload/images/my cat.v2.jpg");
    for (const char* bad : {"", "../secret.gif", "..", "sub/cat.gif", "/etc/passwd",
                            "..\\..\\x.bmp", "a\\b.gif", "x..gif"}) {
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
        EXPECT_EQ(PictureFilePath("/p/Upload/images/", bad), "") << bad;
    }
}

}  // namespace
}  // namespace tessel

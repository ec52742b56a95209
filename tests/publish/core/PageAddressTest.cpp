#include <gtest/gtest.h>

#include "publish/core/PageAddress.h"

namespace tessel {
namespace {

TEST(PageAddressTest, ThePageIsTheLastHtmlFileSent) {
    EXPECT_EQ(PageFileName({"/p/Upload/images/a.gif", "/p/Upload/MyPage.html"}), "MyPage.html");
    EXPECT_EQ(PageFileName({"/p/Upload/old.HTM", "/p/Upload/MyPage.html", "/p/x/mail.php"}),
              "MyPage.html");
    EXPECT_EQ(PageFileName({"/p/Upload/images/a.gif", "/p/notes.txt"}), "");
    EXPECT_EQ(PageFileName({}), "");
}

TEST(PageAddressTest, FolderAndFileMakeOneAddress) {
    EXPECT_EQ(PageAddress("https://www.example.org/~anna", "MyPage.html"),
              "https://www.example.org/~anna/MyPage.html");
    EXPECT_EQ(PageAddress(" https://www.example.org/~anna/ ", "MyPage.html"),
              "https://www.example.org/~anna/MyPage.html");
    EXPECT_EQ(PageAddress("www.example.org", "index.html"), "http://www.example.org/index.html");
    EXPECT_EQ(PageAddress("www.example.org/site/", ""), "http://www.example.org/site/");
    // A name typed with characters an address cannot hold still leads to the file.
    EXPECT_EQ(PageAddress("http://h.example.org/", "caf\xC3\xA9 #1?.html"),
              "http://h.example.org/caf%C3%A9%20%231%3F.html");
    EXPECT_EQ(PageAddress("", "MyPage.html"), "");
    EXPECT_EQ(PageAddress("   ", "MyPage.html"), "");
}

}  // namespace
}  // namespace tessel

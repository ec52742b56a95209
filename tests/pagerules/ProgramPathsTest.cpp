#include <gtest/gtest.h>

#include "pagerules/ProgramPaths.h"

namespace tessel {
namespace {

TEST(ProgramPathsTest, SaveLeavesLocalAndServerHtmlNames) {
    const std::string home = "/opt/tessel/";
    EXPECT_EQ(LocalHtmlPath(home, "/somewhere/My Page.pgx"),
              "/opt/tessel/TesselFiles/My Page.html");
    EXPECT_EQ(UploadHtmlPath(home, "/somewhere/My Page.pgx"), "/opt/tessel/Upload/MyPage.html");
    EXPECT_EQ(UploadHtmlName("/somewhere/My Page.pgx"), "MyPage.html");
    EXPECT_EQ(LocalHtmlPath(home, "/x/a.b.pgx"), "/opt/tessel/TesselFiles/a.b.html");
    EXPECT_EQ(TemplateHtmlPath(home, "/x/Shop front.pgt"), "/opt/tessel/Templates/Shop front.html");
    EXPECT_EQ(UploadMailScriptPath(home, "/x/My Page.v2.pgx"),
              "/opt/tessel/Upload/MyPage.v2-mail.php");
}

TEST(ProgramPathsTest, TemplatesAreKnownByTheirExactExtension) {
    EXPECT_TRUE(IsTemplateName("/t/x.pgt"));
    EXPECT_FALSE(IsTemplateName("/t/x.PGT"));
    EXPECT_FALSE(IsTemplateName("/t/x.pgx"));
    EXPECT_FALSE(IsTemplateName("/t.pgt/x"));
    EXPECT_TRUE(IsTemplateName("/t/shop.v2.pgt"));
    EXPECT_FALSE(IsTemplateName("/t/x.pgt.pgx"));
}

TEST(ProgramPathsTest, TitleShowsTheNameWithoutFolder) {
    EXPECT_EQ(WindowTitle("Untitled"), "Untitled - Brindle HTML Tessel 4.0");
    EXPECT_EQ(WindowTitle("/home/u/My Page.pgx"), "My Page.pgx - Brindle HTML Tessel 4.0");
}

}  // namespace
}  // namespace tessel

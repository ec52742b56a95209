#include <gtest/gtest.h>

#include "platform/HtmlMapping.h"

namespace tessel {
namespace {

TEST(HtmlMappingTest, BodyColoursBecomeTheDefaultStyleSheetAndThePictureIsRenamed) {
    const TMappedPage page = MapPageHtml(
        "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#112233\" LINK=\"#0000FF\" ALINK=\"#FF0000\" "
        "VLINK=\"#990099\" BACKGROUND=\"/home/u/Upload/backgrounds/tile.gif\">\r\nHi");
    EXPECT_EQ(page.styleSheet, "body { color: #112233; }\na { color: #0000FF; }\n");
    EXPECT_EQ(page.textColor, "#112233");
    EXPECT_EQ(page.linkColor, "#0000FF");
    EXPECT_EQ(page.background, "/home/u/Upload/backgrounds/tile.gif");
    EXPECT_EQ(page.backgroundColor, "#FFFFFF");
    EXPECT_EQ(page.html,
              "<body bgcolor=\"#FFFFFF\" text=\"#112233\" link=\"#0000FF\" alink=\"#FF0000\" "
              "vlink=\"#990099\" background=\"tessel:background\">\r\nHi");
}

TEST(HtmlMappingTest, AColourThatCouldBreakTheStyleSheetIsLeftOut) {
    const TMappedPage page = MapPageHtml("<body text=\"red;} a{x\" link=00ff00>");
    EXPECT_EQ(page.textColor, "");
    EXPECT_EQ(page.styleSheet, "a { color: #00ff00; }\n");
}

TEST(HtmlMappingTest, RulesKeepWidthSizeShadeAndAlignment) {
    const TMappedPage page = MapPageHtml(
        "<HR WIDTH=\"50%\" SIZE=\"9\" NOSHADE><P><hr width=200 align=left><HR WIDTH=\"\" SIZE=x>");
    ASSERT_EQ(page.rules.size(), 3u);
    EXPECT_EQ(page.rules[0].width, 50);
    EXPECT_TRUE(page.rules[0].percent);
    EXPECT_EQ(page.rules[0].size, 9);
    EXPECT_TRUE(page.rules[0].noShade);
    EXPECT_EQ(page.rules[1].width, 200);
    EXPECT_FALSE(page.rules[1].percent);
    EXPECT_FALSE(page.rules[1].noShade);
    // What cannot be read takes a browser's default: the whole line, two pixels.
    EXPECT_EQ(page.rules[2].width, 100);
    EXPECT_TRUE(page.rules[2].percent);
    EXPECT_EQ(page.rules[2].size, 2);
    EXPECT_NE(page.html.find("<div align=\"center\" style=\"margin-top: 7px; margin-bottom: 7px;\">"
                             "<img src=\"tessel:rule/0\"></div><P>"),
              std::string::npos);
    EXPECT_NE(page.html.find("<div align=\"left\""), std::string::npos);
}

TEST(HtmlMappingTest, PicturesKeepSizeAltBorderAndWhetherTheyAreLinks) {
    const TMappedPage page = MapPageHtml(
        "<A HREF=\"x.html\"><IMG SRC=\"a b.gif\" BORDER=2 ALT=\"A > B\" HEIGHT=\"40\" WIDTH=\"60\" "
        "ALIGN=\"right\"></A> <IMG SRC=\"c.jpg\" BORDER=0 ALT=\"\" HEIGHT=\"\" WIDTH=\"50%\">");
    ASSERT_EQ(page.pictures.size(), 2u);
    const THtmlPicture& linked = page.pictures[0];
    EXPECT_EQ(linked.source, "a b.gif");
    EXPECT_EQ(linked.alt, "A > B");
    EXPECT_EQ(linked.width, 60);
    EXPECT_EQ(linked.height, 40);
    EXPECT_EQ(linked.border, 2);
    EXPECT_TRUE(linked.inLink);
    const THtmlPicture& plain = page.pictures[1];
    EXPECT_FALSE(plain.inLink);
    EXPECT_EQ(plain.width, -1);
    EXPECT_EQ(plain.height, -1);
    EXPECT_EQ(page.html,
              "<A HREF=\"x.html\"><img src=\"tessel:picture/0\" align=\"right\"></A> "
              "<img src=\"tessel:picture/1\">");
}

TEST(HtmlMappingTest, EveryControlOfTheEmailFormBecomesAPictureAndHiddenFieldsVanish) {
    const TMappedPage page = MapPageHtml(
        "<FORM ACTION=\"x\" METHOD=\"POST\">\r\n"
        "<INPUT TYPE=\"HIDDEN\" NAME=\"recipient\" VALUE=\"a@b\">\r\n"
        "<INPUT NAME=\"name\" VALUE=\"Ann\" SIZE=\"30\">"
        "<INPUT TYPE=\"password\" NAME=\"p\" VALUE=\"abc\">"
        "<INPUT TYPE=\"Radio\" NAME=\"r\" VALUE=\"1\" CHECKED> One<BR>\r\n"
        "<INPUT TYPE=\"CheckBox\" NAME=\"c\" VALUE=\"1\"> Two<BR>\r\n"
        "<TEXTAREA COLS=\"40\" ROWS=\"5\" NAME=\"t\" WRAP=\"VIRTUAL\">hello</TEXTAREA>"
        "<SELECT NAME=\"s\"><OPTION VALUE=\"\">Select\r\n<OPTION VALUE=\"\">----------\r\n"
        "<OPTION VALUE=\"a\" SELECTED>Apples</SELECT>"
        "<INPUT TYPE=\"SUBMIT\">&nbsp;&nbsp;<INPUT TYPE=\"RESET\"><INPUT TYPE=button VALUE=Go>"
        "</FORM>");
    ASSERT_EQ(page.controls.size(), 9u);
    EXPECT_EQ(page.controls[0].kind, THtmlControl::Text);
    EXPECT_EQ(page.controls[0].value, "Ann");
    EXPECT_EQ(page.controls[0].size, 30);
    EXPECT_EQ(page.controls[1].kind, THtmlControl::Password);
    EXPECT_EQ(page.controls[2].kind, THtmlControl::Radio);
    EXPECT_TRUE(page.controls[2].checked);
    EXPECT_EQ(page.controls[3].kind, THtmlControl::CheckBox);
    EXPECT_FALSE(page.controls[3].checked);
    EXPECT_EQ(page.controls[4].kind, THtmlControl::TextArea);
    EXPECT_EQ(page.controls[4].cols, 40);
    EXPECT_EQ(page.controls[4].rows, 5);
    EXPECT_EQ(page.controls[4].value, "hello");
    EXPECT_EQ(page.controls[5].kind, THtmlControl::Select);
    EXPECT_EQ(page.controls[5].options,
              (std::vector<std::string>{"Select", "----------", "Apples"}));
    EXPECT_EQ(page.controls[5].value, "Apples");
    EXPECT_EQ(page.controls[6].kind, THtmlControl::Submit);
    EXPECT_EQ(page.controls[6].value, "Submit");
    EXPECT_EQ(page.controls[7].kind, THtmlControl::Reset);
    EXPECT_EQ(page.controls[7].value, "Reset");
    EXPECT_EQ(page.controls[8].kind, THtmlControl::Button);
    EXPECT_EQ(page.controls[8].value, "Go");
    EXPECT_EQ(page.html.find("recipient"), std::string::npos);
    EXPECT_EQ(page.html.find("Apples"), std::string::npos);
    EXPECT_EQ(page.html.find("hello"), std::string::npos);
    EXPECT_NE(page.html.find("<img src=\"tessel:control/4\"><img src=\"tessel:control/5\">"),
              std::string::npos);
    EXPECT_NE(page.html.find("</FORM>"), std::string::npos);
}

TEST(HtmlMappingTest, ScriptsStylesAndCommentsPassUntouched) {
    // The drop box's controls are written by a script, which the viewer does not run.
    const std::string script =
        "<script language=\"JavaScript\">\r\n<!--\r\ndocument.write('<form name=\"selecter1\">"
        "<select name=\"select\" size=1>');\r\ndocument.write('<option value=none>x');\r\n"
        "document.write('<INPUT TYPE=\"button\" VALUE=\"Go\">');\r\n//-->\r\n</script>\r\n";
    const std::string style = "<style type=\"text/css\">\r\n<!-- A:link {x} -->\r\n</style>\r\n";
    const std::string comment = "<!-- <HR> <IMG SRC=x> -->";
    const TMappedPage page = MapPageHtml(script + style + comment + "a < b");
    EXPECT_EQ(page.html, script + style + comment + "a < b");
    EXPECT_TRUE(page.controls.empty());
    EXPECT_TRUE(page.rules.empty());
    EXPECT_TRUE(page.pictures.empty());
}

TEST(HtmlMappingTest, CutOffMarkupEndsThePageWithoutLosingText) {
    EXPECT_EQ(MapPageHtml("text <B").html, "text <B");
    EXPECT_EQ(MapPageHtml("<IMG SRC=\"never closed").html, "<IMG SRC=\"never closed");
    const TMappedPage area = MapPageHtml("<TEXTAREA>open to the end");
    ASSERT_EQ(area.controls.size(), 1u);
    EXPECT_EQ(area.controls[0].value, "open to the end");
    EXPECT_EQ(MapPageHtml("<SELECT><OPTION>a").controls.at(0).options,
              std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace tessel

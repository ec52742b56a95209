#include <gtest/gtest.h>

#include <limits>

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
    EXPECT_EQ(page.controls[6].value, "Submit Query");
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

TEST(HtmlMappingTest, ScriptsAndStylesPassUntouchedCommentsVanish) {
    // The drop box's controls are written by a script, which the viewer does not run.
    const std::string script =
        "<script language=\"JavaScript\">\r\n<!--\r\ndocument.write('<form name=\"selecter1\">"
        "<select name=\"select\" size=1>');\r\ndocument.write('<option value=none>x');\r\n"
        "document.write('<INPUT TYPE=\"button\" VALUE=\"Go\">');\r\n//-->\r\n</script>\r\n";
    const std::string style = "<style type=\"text/css\">\r\n<!-- A:link {x} -->\r\n</style>\r\n";
    const std::string comment = "<!-- <HR> <IMG SRC=x> -->";
    const TMappedPage page = MapPageHtml(script + style + comment + "a < b");
    EXPECT_EQ(page.html, script + style + "a &lt; b");
    EXPECT_TRUE(page.controls.empty());
    EXPECT_TRUE(page.rules.empty());
    EXPECT_TRUE(page.pictures.empty());
}

TEST(HtmlMappingTest, CutOffMarkupEndsThePageAsInABrowser) {
    // A tag that the end of the page cuts off shows nothing; a "<" at the very end is text.
    EXPECT_EQ(MapPageHtml("text <B").html, "text ");
    EXPECT_EQ(MapPageHtml("<IMG SRC=\"never closed").html, "");
    EXPECT_EQ(MapPageHtml("a <").html, "a &lt;");
    const TMappedPage area = MapPageHtml("<TEXTAREA>open to the end");
    ASSERT_EQ(area.controls.size(), 1u);
    EXPECT_EQ(area.controls[0].value, "open to the end");
    EXPECT_EQ(MapPageHtml("<SELECT><OPTION>a").controls.at(0).options,
              std::vector<std::string>{"a"});
}

TEST(HtmlMappingTest, TextReachesQtAsABrowserReadsIt) {
    // A "<" that starts no tag and a lone "&" are text, and what follows them is kept.
    EXPECT_EQ(MapPageHtml("Open 8 < 10.\r\nNext line, 3<4, <- and AT&T & co &").html,
              "Open 8 &lt; 10.\r\nNext line, 3&lt;4, &lt;- and AT&amp;T &amp; co &amp;");
    // Character references as browsers decode them: every name, old names without ";",
    // numbers with windows-1252's letters for 128-159 and U+FFFD for what is no character.
    EXPECT_EQ(MapPageHtml("&eacute;&hearts;&copy &notit; &#128;&#x41;&#65 &#0;&#1114112;&#xD800;"
                          " &amp;lt; &unknown; &#; &nbsp;")
                  .html,
              "\xC3\xA9\xE2\x99\xA5\xC2\xA9 \xC2\xACit; \xE2\x82\xAC"
              "AA \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD &amp;lt; &amp;unknown; &amp;#; &nbsp;");
    // Markup that a browser shows nothing of, and a "<" followed by a letter, which is a tag.
    EXPECT_EQ(MapPageHtml("[</>][<!x>][<?php 1 ?>][</ b>][<!-->][<!-- a -- b -->]a<b>c").html,
              "[][][][][][]a<b>c");
    // A tag is written again for Qt with its values quoted, whatever the page wrote.
    EXPECT_EQ(MapPageHtml("<A HREF=x\"y TITLE='a \"b\" &lt;'>l</A>").html,
              "<A HREF=\"x&quot;y\" TITLE=\"a &quot;b&quot; &lt;\">l</A>");
}

TEST(HtmlMappingTest, AttributeValuesAreDecodedButAnOldNameBeforeAnEqualsSignIsNot) {
    const TMappedPage page = MapPageHtml(
        "<A HREF=\"?a=1&copy=2&amp;b=3&copy;\"><IMG SRC=\"a&amp;b.gif\" ALT=\"Fish &amp; "
        "chips &lt;hot&gt;\"></A>");
    EXPECT_NE(page.html.find("HREF=\"?a=1&amp;copy=2&amp;b=3\xC2\xA9\""), std::string::npos)
        << page.html;
    ASSERT_EQ(page.pictures.size(), 1u);
    EXPECT_EQ(page.pictures[0].source, "a&b.gif");
    EXPECT_EQ(page.pictures[0].alt, "Fish & chips <hot>");
}

TEST(HtmlMappingTest, ContentOfTitleTextAreaAndScriptRunsToItsOwnEndTag) {
    const TMappedPage page = MapPageHtml(
        "<TITLE>a < b &amp; c</TITLE><TEXTAREA>\r\n1 < 2 &amp; <b>x</b>\r\n</TEXTAREA >"
        "<script>if (a < b && c) x = '</p>';</SCRIPT>after");
    EXPECT_NE(page.html.find("<TITLE>a &lt; b &amp; c</TITLE>"), std::string::npos) << page.html;
    ASSERT_EQ(page.controls.size(), 1u);
    EXPECT_EQ(page.controls[0].value, "1 < 2 & <b>x</b>\n");
    EXPECT_NE(page.html.find("<script>if (a < b && c) x = '</p>';</SCRIPT>after"),
              std::string::npos);
}

TEST(HtmlMappingTest, AListShowsTheLastSelectedOptionAndEndsWhereABrowserEndsIt) {
    const TMappedPage page = MapPageHtml(
        "<SELECT><OPTION>One<OPTION SELECTED> Two <B>and</B>\r\n  a half <OPTION SELECTED>Three"
        "</OPTION>stray<OPTION>Fish &amp; chips<INPUT VALUE=\"x\">shown");
    ASSERT_EQ(page.controls.size(), 2u);
    EXPECT_EQ(page.controls[0].options,
              (std::vector<std::string>{"One", "Two and a half", "Three", "Fish & chips"}));
    EXPECT_EQ(page.controls[0].value, "Three");
    EXPECT_EQ(page.controls[1].kind, THtmlControl::Text);
    EXPECT_EQ(page.controls[1].value, "x");
    EXPECT_NE(page.html.find("shown"), std::string::npos);
    EXPECT_EQ(page.html.find("stray"), std::string::npos);
}

TEST(HtmlMappingTest, SizesTooLargeForAnIntAreKeptAsTheLargestOne) {
    const TMappedPage page =
        MapPageHtml("<TEXTAREA COLS=\"99999999999\" ROWS=\"-5\"></TEXTAREA><IMG WIDTH=999999999>");
    EXPECT_EQ(page.controls.at(0).cols, std::numeric_limits<int>::max());
    EXPECT_EQ(page.controls.at(0).rows, 0);
    EXPECT_EQ(page.pictures.at(0).width, 999999999);
}

}  // namespace
}  // namespace tessel

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "document/Exceptions.h"
#include "document/Pagelette.h"
#include "html/MakerAddresses.h"
#include "html/PageHtml.h"
#include "html/Routines.h"

namespace tessel {
namespace {

std::vector<std::string> Generate(TPagelette& doc, TOutputMode mode, bool banner = false,
                                  TPageHost* host = nullptr) {
    std::vector<std::string> lines;
    GeneratePage(doc, lines, {mode, "/opt/tessel/", banner, host});
    return lines;
}

// A page with the default settings and no blocks of its own yet.
TPagelette SettingsOnly() {
    TPagelette doc;
    SetDefaultBlocks(doc);
    while (doc.Page().Count() > 1) doc.Page().Delete(1);
    return doc;
}

// The block lines: what stands between the body tag and the end.
std::vector<std::string> BlockLines(const std::vector<std::string>& page) {
    auto body = std::find_if(page.begin(), page.end(),
                             [](const std::string& l) { return l.rfind("<BODY ", 0) == 0; });
    EXPECT_NE(body, page.end());
    EXPECT_EQ(page.back(), "</BODY></HTML>");
    return {body + 1, page.end() - 1};
}

const std::string kCommentLine = std::string("<!--        ") + kMakerWebAddress + "         -->";

std::vector<std::string> DefaultPage(const std::string& imageLine) {
    return {
        "<!-- Created with Brindle HTML Tessel 4.0 -->",
        kCommentLine,
        "<HTML>",
        "<HEAD>",
        "     <TITLE></TITLE>",
        "</HEAD>",
        "",
        R"(<BODY BGCOLOR="#FFFFFF" TEXT="#000000" LINK="#0000FF" ALINK="#FF0000" VLINK="#990099">)",
        imageLine,
        R"(<A HREF=""></A><P>)",
        "<P>",
        "</BODY></HTML>"};
}

class TRecordingHost : public TPageHost {
  public:
    void StorePendingEdits() override {
        events.push_back("store");
        if (onStore)
            onStore();
    }
    void SetBusy(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
    void SelectTheme(const std::string& name) override {
        events.push_back("theme " + name);
        if (failTheme)
            throw EListError(7);
    }
    void ShowWarning(const std::string& message) override { events.push_back("warn " + message); }

    std::vector<std::string> events;
    std::function<void()> onStore;
    bool failTheme = false;
};

TEST(GeneratePageTest, DefaultNewPageInLocalAndServerModes) {
    TPagelette doc;
    SetDefaultBlocks(doc);
    EXPECT_EQ(Generate(doc, omServerCopy),
              DefaultPage(R"(<IMG SRC="" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>)"));
    // The local copy addresses the real, lower-case folder names.
    EXPECT_EQ(
        Generate(doc, omLocalCopy),
        DefaultPage(R"(<IMG SRC="../Upload/images/" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>)"));
    EXPECT_EQ(PageText(Generate(doc, omServerCopy)).substr(0, 48),
              "<!-- Created with Brindle HTML Tessel 4.0 -->\r\n<");
}

TEST(GeneratePageTest, PicturesAreAddressedByOutputMode) {
    TPagelette doc = SettingsOnly();
    doc.Page().Items(0).PagePropertiesBlock().Background = "sky.gif";
    InitNewBlock(doc, 1, btImage).ImageBlock().FileName = "cat.jpg";
    const struct {
        TOutputMode mode;
        std::string image, background;
    } cases[] = {
        {omPreview, "/opt/tessel/Upload/images/cat.jpg", "/opt/tessel/Upload/backgrounds/sky.gif"},
        {omLocalCopy, "../Upload/images/cat.jpg", "../Upload/backgrounds/sky.gif"},
        {omServerCopy, "cat.jpg", "sky.gif"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> page = Generate(doc, c.mode);
        EXPECT_EQ(
            page[7],
            R"(<BODY BGCOLOR="#FFFFFF" TEXT="#000000" LINK="#0000FF" ALINK="#FF0000" VLINK="#990099" BACKGROUND=")" +
                c.background + "\">");
        EXPECT_EQ(page[8], "<IMG SRC=\"" + c.image + R"(" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>)");
    }
}

TEST(GeneratePageTest, EmptyDocumentGivesNoLinesAndSettingsOnlyGivesFrame) {
    TPagelette empty;
    std::vector<std::string> lines{"left over"};
    GeneratePage(empty, lines, {});
    EXPECT_TRUE(lines.empty());

    TPagelette doc = SettingsOnly();
    const std::vector<std::string> page = Generate(doc, omServerCopy);
    ASSERT_EQ(page.size(), 9u);
    EXPECT_TRUE(BlockLines(page).empty());
}

TEST(GeneratePageTest, UnknownOutputModeIsRefusedBeforeAnythingHappens) {
    TPagelette doc = SettingsOnly();
    TRecordingHost host;
    std::vector<std::string> lines;
    EXPECT_THROW(GeneratePage(doc, lines, {static_cast<TOutputMode>(3), "", false, &host}),
                 std::invalid_argument);
    EXPECT_TRUE(host.events.empty());
}

TEST(GeneratePageTest, RuleHeadingAndAlignmentWrappers) {
    TPagelette doc = SettingsOnly();
    THRBlock& rule = InitNewBlock(doc, 1, btHR).HRBlock();
    rule.NoShade = true;
    InitNewBlock(doc, 2, btHeading).HeadingBlock().Attributes = "";
    TPageItem& right = InitNewBlock(doc, 3, btHR);
    right.BlockAlign = baRight;
    right.BlockOnNewLine = false;
    right.HRBlock().Size = 5;
    right.HRBlock().Width = 45;
    TPageItem& none = InitNewBlock(doc, 4, btHR);
    none.BlockAlign = baNone;
    none.HRBlock().Size = 2;
    EXPECT_EQ(BlockLines(Generate(doc, omServerCopy)),
              (std::vector<std::string>{R"(<HR WIDTH="100%" SIZE="3" NOSHADE><P>)",
                                        "<CENTER></CENTER><P>",
                                        R"(<P ALIGN="RIGHT"><HR WIDTH="45%" SIZE="18"></P>)",
                                        R"(<HR WIDTH="100%" SIZE="9"><P>)"}));
}

TEST(GeneratePageTest, StrayPageSettingsBlockKeepsOnlyItsAlignment) {
    TPagelette doc = SettingsOnly();
    TPageItem& stray = doc.Page().Add();
    stray.BlockType = btPageProperties;
    stray.BlockAlign = baCenter;
    stray.BlockOnNewLine = true;
    stray.PagePropertiesBlock().PageTitle = "ignored";
    EXPECT_EQ(BlockLines(Generate(doc, omServerCopy)),
              std::vector<std::string>{"<CENTER></CENTER>"});
}

TEST(GeneratePageTest, MarginTableUsesTheStoredTextAndTheRemainingWidth) {
    for (const auto& [margin, width] : {std::pair{"00", "600"}, std::pair{"20", "580"}}) {
        TPagelette doc;
        SetDefaultBlocks(doc);
        doc.Page().Items(0).PagePropertiesBlock().IndentMargin = margin;
        const std::vector<std::string> page = Generate(doc, omServerCopy);
        const std::vector<std::string> expected{
            R"(<TABLE WIDTH="600" BORDER="0" CELLPADDING="0" CELLSPACING="0">)",
            std::string("<TR><TD WIDTH=\"") + margin + "\">&nbsp;</TD>",
            std::string("<TD VALIGN=\"TOP\" WIDTH=\"") + width + "\">",
            R"(<IMG SRC="" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>)",
            R"(<A HREF=""></A><P>)",
            "<P>",
            "",
            "</TD></TR></TABLE>",
        };
        EXPECT_EQ(BlockLines(page), expected) << margin;
    }
}

TEST(GeneratePageTest, BannerGoesInsideTheMarginTableOrBeforeTheEnd) {
    TPagelette doc = SettingsOnly();
    const std::vector<std::string> plain = Generate(doc, omServerCopy, true);
    const std::vector<std::string> banner{
        std::string(R"(<CENTER><FONT SIZE="1" FACE="VERDANA, ARIAL"><A HREF=")") +
            kMakerWebAddress + R"("><IMG SRC=")" + kMakerBannerImage +
            R"(" BORDER=0 ALT="Brindle HTML Tessel 4.0"><BR><BR>)",
        "Created with Brindle HTML Tessel 4.0</A></FONT></CENTER>"};
    EXPECT_EQ(BlockLines(plain), banner);

    doc.Page().Items(0).PagePropertiesBlock().IndentMargin = "50";
    const std::vector<std::string> table = BlockLines(Generate(doc, omServerCopy, true));
    ASSERT_EQ(table.size(), 7u);
    EXPECT_EQ(table[3], "");
    EXPECT_EQ(table[4], banner[0]);
    EXPECT_EQ(table[5], banner[1]);
    EXPECT_EQ(table[6], "</TD></TR></TABLE>");
}

TEST(GeneratePageTest, HeadHoldsMetaTagsGoScriptAndLinkStyleInOrder) {
    TPagelette doc = SettingsOnly();
    TPagePropertiesBlock& p = doc.Page().Items(0).PagePropertiesBlock();
    p.PageTitle = "My <Page> & \"more\"";
    p.MetaText = "Keywords\tcats, dogs\r\nDescription\tA page\r\n";
    p.Underline = true;
    TLinkBlock& link = InitNewBlock(doc, 1, btLink).LinkBlock();
    link.UseDropBox = true;
    link.DropBoxText = "http://a.example/\tA\r\n";
    const std::vector<std::string> page = Generate(doc, omServerCopy);
    const std::vector<std::string> head(page.begin() + 2, page.begin() + 26);
    EXPECT_EQ(
        head,
        (std::vector<std::string>{
            "<HTML>",
            "<HEAD>",
            "     <TITLE>My <Page> & \"more\"</TITLE>",
            R"(<META NAME="Keywords" CONTENT="cats, dogs">)",
            R"(<META NAME="Description" CONTENT="A page">)",
            R"(<script language="JavaScript">)",
            "<!--",
            "// original code by Quenby 12/12/96",
            "\tfunction go(doc){",
            "\tif (doc.options[doc.selectedIndex].value != \"none\") {",
            "\t\tlocation = doc.options[doc.selectedIndex].value;",
            "\t\t}",
            "\t}",
            "//-->",
            "</script>",
            R"(<style type="text/css">)",
            "<!-- A:link {text-decoration: none;}",
            "     A:visited {text-decoration: none;} -->",
            "</style>",
            "</HEAD>",
            "",
            R"(<BODY BGCOLOR="#FFFFFF" TEXT="#000000" LINK="#0000FF" ALINK="#FF0000" VLINK="#990099">)",
            R"(<script language="JavaScript">)",
            "<!--",
        }));
}

TEST(GeneratePageTest, DropBoxesAreNamedByBlockIndexAndShareOneGoScript) {
    TPagelette doc = SettingsOnly();
    for (int i = 1; i <= 5; ++i) InitNewBlock(doc, i, btLink);
    for (int i : {2, 5}) {
        TLinkBlock& link = doc.Page().Items(i).LinkBlock();
        link.UseDropBox = true;
        link.DropBoxText = "http://x.example/\tX\r\n";
    }
    const std::vector<std::string> page = Generate(doc, omServerCopy);
    EXPECT_EQ(std::count(page.begin(), page.end(), "// original code by Quenby 12/12/96"), 1);
    const std::vector<std::string> blocks = BlockLines(page);
    const auto form = [](int n) {
        return "document.write('<form name=\"selecter" + std::to_string(n) +
               "\"><select name=\"select\" size=1>');";
    };
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), form(2)), 1);
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), form(5)), 1);
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), form(1)), 0);
}

TEST(GeneratePageTest, DropBoxLinesAndEscapedOptions) {
    TPagelette doc = SettingsOnly();
    TLinkBlock& link = InitNewBlock(doc, 1, btLink).LinkBlock();
    link.UseDropBox = true;
    link.DropBoxText =
        "http://a.example/?q='x'\tBob's \\ page\r\n\t\r\nmailto:me@x.example\t<Me>\r\n";
    EXPECT_EQ(
        BlockLines(Generate(doc, omServerCopy)),
        (std::vector<std::string>{
            R"(<script language="JavaScript">)",
            "<!--",
            R"(document.write('<form name="selecter1"><select name="select" size=1>');)",
            "document.write('<option value=none>Select your destination');",
            "document.write('<option value=none>--------------------');",
            R"(document.write('<option value="http://a.example/?q=\'x\'">Bob\'s \\ page');)",
            "",
            "\t",
            R"(document.write('<option value="mailto:me@x.example"><Me>');)",
            "",
            "document.write('</select>');",
            R"x(document.write('&nbsp;<INPUT TYPE="button" VALUE="Go" onclick="go(document.selecter1.select)">');)x",
            "document.write('</form>');",
            "//-->",
            "</script>",
            "<P>",
        }));
}

TEST(GeneratePageTest, SingleLinksAndEmptyDropBox) {
    TPagelette doc = SettingsOnly();
    TLinkBlock& empty = InitNewBlock(doc, 1, btLink).LinkBlock();
    empty.UseDropBox = true;
    empty.LinkURL = "http://a.example/";
    empty.LinkText = "A & B";
    TLinkBlock& mail = InitNewBlock(doc, 2, btLink).LinkBlock();
    mail.Email = true;
    mail.LinkURL = "me@x.example";
    mail.LinkText = "Write";
    const std::vector<std::string> page = Generate(doc, omServerCopy);
    EXPECT_EQ(BlockLines(page),
              (std::vector<std::string>{R"(<A HREF="http://a.example/">A & B</A><P>)",
                                        R"(<A HREF="mailto:me@x.example">Write</A><P>)"}));
    EXPECT_EQ(std::count(page.begin(), page.end(), "// original code by Quenby 12/12/96"), 0);
}

TEST(GeneratePageTest, ImageAttributesAlignmentAndLink) {
    TPagelette doc = SettingsOnly();
    TImageBlock& image = InitNewBlock(doc, 1, btImage).ImageBlock();
    image.FileName = "a b.gif";
    image.Alt = "Go -> home";
    image.Height = "40";
    image.Width = "60";
    image.Align = "ABSMIDDLE";
    image.ImageLink = "index.html";
    // The alignment belongs to the tag, also when the alternative text holds a ">".
    EXPECT_EQ(
        BlockLines(Generate(doc, omServerCopy)),
        std::vector<std::string>{
            R"(<A HREF="index.html"><IMG SRC="a b.gif" BORDER=0 ALT="Go -> home" HEIGHT="40" WIDTH="60" ALIGN="ABSMIDDLE"></A><P>)"});
}

TEST(GeneratePageTest, QuotesInAttributeValuesBecomeEntitiesAndTextStaysAsTyped) {
    TPagelette doc = SettingsOnly();
    TPagePropertiesBlock& p = doc.Page().Items(0).PagePropertiesBlock();
    p.PageTitle = R"(The "best" page)";
    p.Background = R"(sky".gif)";
    p.MetaText = "Descr\"iption\tA \"quoted\" <page>\r\n\"\r\n";
    TImageBlock& image = InitNewBlock(doc, 1, btImage).ImageBlock();
    image.FileName = R"(a"b.gif)";
    image.Alt = R"(Say "cheese" > here)";
    image.Height = R"(4")";
    image.Width = R"("6)";
    image.Align = R"(LE"FT)";
    image.ImageLink = R"(x.html?a="1")";
    TLinkBlock& link = InitNewBlock(doc, 2, btLink).LinkBlock();
    link.LinkURL = R"(http://a.example/"x")";
    link.LinkText = R"(The "A" site)";
    link.Email = true;
    TTextBlock& text = InitNewBlock(doc, 3, btText).TextBlock();
    text.Text = R"(<a href="y.html">"hi"</a>)";
    text.ApplyFont = 1;
    text.Attributes = R"("Odd "Face"", 12, [], [$00050000])";
    TLinkBlock& box = InitNewBlock(doc, 4, btLink).LinkBlock();
    box.UseDropBox = true;
    box.DropBoxText = "http://b.example/?q=\"it's\"\tBob's \"B\"\r\n";

    for (TOutputMode mode : {omLocalCopy, omServerCopy}) {
        const std::string folder = mode == omLocalCopy ? "../Upload/" : "";
        const std::vector<std::string> page = Generate(doc, mode);
        EXPECT_EQ(page[4], R"(     <TITLE>The "best" page</TITLE>)");
        EXPECT_EQ(page[5],
                  R"(<META NAME="Descr&quot;iption" CONTENT="A &quot;quoted&quot; <page>">)");
        EXPECT_EQ(page[6], "\"");  // a line of one character is not a tag
        const std::vector<std::string> blocks = BlockLines(page);
        EXPECT_EQ(
            page[page.size() - blocks.size() - 2],
            R"(<BODY BGCOLOR="#FFFFFF" TEXT="#000000" LINK="#0000FF" ALINK="#FF0000" VLINK="#990099" BACKGROUND=")" +
                (mode == omLocalCopy ? folder + "backgrounds/" : "") + "sky&quot;.gif\">");
        ASSERT_GE(blocks.size(), 10u);
        EXPECT_EQ(
            blocks[0],
            R"(<A HREF="x.html?a=&quot;1&quot;"><IMG SRC=")" +
                (mode == omLocalCopy ? folder + "images/" : "") +
                R"(a&quot;b.gif" BORDER=0 ALT="Say &quot;cheese&quot; > here" HEIGHT="4&quot;" WIDTH="&quot;6" ALIGN="LE&quot;FT"></A><P>)");
        EXPECT_EQ(blocks[1],
                  R"(<A HREF="mailto:http://a.example/&quot;x&quot;">The "A" site</A><P>)");
        EXPECT_EQ(blocks[2],
                  R"(<FONT FACE="Odd &quot;Face&quot;" SIZE="3"><a href="y.html">"hi"</a>)");
        EXPECT_EQ(
            blocks[9],
            R"(document.write('<option value="http://b.example/?q=&quot;it\'s&quot;">Bob\'s "B"');)");
    }
}

TEST(GeneratePageTest, FaceWithoutItsOwnQuotesIsWrittenAsItStands) {
    EXPECT_EQ(FormatBlockText("t", R"(Arial, 12, [], [$00050000])", 1),
              R"(<FONT FACE=Arial SIZE="3">t</FONT>)");
    EXPECT_EQ(FormatBlockText("t", R"(", 12, [], [$00050000])", 1),
              R"(<FONT FACE=" SIZE="3">t</FONT>)");
    EXPECT_EQ(FormatBlockText("t", R"("", 12, [], [$00050000])", 1),
              R"(<FONT FACE="" SIZE="3">t</FONT>)");
}

std::string CharsetLine(const char* charset) {
    return std::string(R"(     <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=)") +
           charset + "\">";
}

TEST(GeneratePageTest, PageBeyondAsciiStatesItsCharacterSetAfterTheHead) {
    const struct {
        std::string text;
        const char* charset;
    } cases[] = {
        {"Caf\xC3\xA9 cr\xC3\xA8me \xE2\x82\xAC \xF0\x9F\x98\x80", "UTF-8"},
        {"Caf\xE9", "windows-1252"},
        {"\xC3\xA9 and a lone \xE9", "windows-1252"},
        {"overlong \xC0\xAF", "windows-1252"},
        {"surrogate \xED\xA0\x80", "windows-1252"},
        {"past the last code point \xF4\x90\x80\x80", "windows-1252"},
        {"cut short \xE2\x82", "windows-1252"},
    };
    for (const auto& c : cases) {
        TPagelette doc;
        SetDefaultBlocks(doc);
        doc.Page().Items(3).TextBlock().Text = c.text;
        for (TOutputMode mode : {omPreview, omLocalCopy, omServerCopy}) {
            const std::vector<std::string> page = Generate(doc, mode);
            ASSERT_EQ(page.size(), 14u) << c.text;
            EXPECT_EQ(page[3], "<HEAD>");
            EXPECT_EQ(page[4], CharsetLine(c.charset)) << c.text << " in mode " << mode;
            EXPECT_EQ(page[5], "     <TITLE></TITLE>");
            EXPECT_EQ(page[11], c.text);
        }
    }
}

TEST(GeneratePageTest, CharacterSetFollowsEveryPartOfThePage) {
    TPagelette doc = SettingsOnly();
    TPagePropertiesBlock& p = doc.Page().Items(0).PagePropertiesBlock();
    p.PageTitle = "\xC2\xA9 2026";
    EXPECT_EQ(Generate(doc, omServerCopy)[4], CharsetLine("UTF-8"));
    p.PageTitle.clear();
    p.MetaText = "Keywords\tna\xEFve\r\n";
    EXPECT_EQ(Generate(doc, omServerCopy)[4], CharsetLine("windows-1252"));
    p.MetaText.clear();
    // Control characters and DEL are ASCII: the page stays as it was.
    p.PageTitle = "a\x01\x1F\x7F";
    ASSERT_EQ(Generate(doc, omServerCopy)[4], "     <TITLE>a\x01\x1F\x7F</TITLE>");
    p.PageTitle.clear();

    // Only the preview holds the program folder.
    std::vector<std::string> lines;
    InitNewBlock(doc, 1, btImage);
    for (TOutputMode mode : {omPreview, omLocalCopy, omServerCopy}) {
        GeneratePage(doc, lines, {mode, "/home/Jos\xC3\xA9/tessel/", false, nullptr});
        EXPECT_EQ(lines[4] == CharsetLine("UTF-8"), mode == omPreview) << mode;
    }
    doc.WebForm().Add().Text =
        "Stra\xC3\x9F"
        "e";
    InitNewBlock(doc, 2, btForms);
    EXPECT_EQ(Generate(doc, omServerCopy)[4], CharsetLine("UTF-8"));
}

// An old document's 8-bit texts meet a label typed now in UTF-8.
TEST(GeneratePageTest, MixedTextsConvertTheEightBitOnesAndDeclareUtf8) {
    TPagelette doc = SettingsOnly();
    TPagePropertiesBlock& p = doc.Page().Items(0).PagePropertiesBlock();
    p.PageTitle = "Caf\xE9 \x80 \x93quoted\x94";
    // A text that is not UTF-8 as a whole is converted whole, even a part that looks like UTF-8.
    InitNewBlock(doc, 1, btText).TextBlock().Text = "\xC3\xA9 and a lone \xE9";
    InitNewBlock(doc, 2, btHeading).HeadingBlock().Heading = "Na\xC3\xAFve label";
    TFormElement& field = doc.WebForm().Add();
    field.FieldKind = fkRadio;
    field.Name = "size";
    field.Text =
        "Gr\xF6\xDF"
        "e";
    field.Strings().lines = {"s|Sm\xE5|1"};
    InitNewBlock(doc, 3, btForms);
    const std::string title = p.PageTitle;
    const std::string option = field.Strings().lines[0];

    for (TOutputMode mode : {omPreview, omLocalCopy, omServerCopy}) {
        const std::vector<std::string> page = Generate(doc, mode);
        const std::string text = PageText(page);
        EXPECT_TRUE(IsValidUtf8(text)) << mode;
        EXPECT_EQ(page[4], CharsetLine("UTF-8"));
        EXPECT_EQ(page[5],
                  "     <TITLE>Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D</TITLE>");
        EXPECT_NE(text.find("\xC3\x83\xC2\xA9 and a lone \xC3\xA9"), std::string::npos);
        EXPECT_NE(text.find("Na\xC3\xAFve label"), std::string::npos);
        EXPECT_NE(text.find("Gr\xC3\xB6\xC3\x9F"
                            "e"),
                  std::string::npos);
        EXPECT_NE(text.find("Sm\xC3\xA5"), std::string::npos);
    }
    // The document keeps its bytes.
    EXPECT_EQ(p.PageTitle, title);
    EXPECT_EQ(field.Strings().lines[0], option);

    // Without the UTF-8 label the page is 8-bit as before.
    doc.Page().Delete(2);
    const std::vector<std::string> old = Generate(doc, omServerCopy);
    EXPECT_EQ(old[4], CharsetLine("windows-1252"));
    EXPECT_EQ(old[5], "     <TITLE>" + title + "</TITLE>");
    // In the preview a program folder beyond ASCII is UTF-8 text of the page too.
    InitNewBlock(doc, 1, btImage).ImageBlock().FileName = "photo.jpg";
    std::vector<std::string> lines;
    GeneratePage(doc, lines, {omPreview, "/home/Jos\xC3\xA9/tessel/", false, nullptr});
    EXPECT_EQ(lines[4], CharsetLine("UTF-8"));
    EXPECT_EQ(lines[5],
              "     <TITLE>Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D</TITLE>");
    EXPECT_TRUE(IsValidUtf8(PageText(lines)));
}

TEST(GeneratePageTest, TextHeadingAndBulletBlocks) {
    TPagelette doc = SettingsOnly();
    TTextBlock& text = InitNewBlock(doc, 1, btText).TextBlock();
    text.Text = "one\r\n\r\ntwo";
    text.ApplyFont = 1;
    text.Attributes = R"("Arial", 14, [Bold], [clRed])";
    THeadingBlock& heading = InitNewBlock(doc, 2, btHeading).HeadingBlock();
    heading.Heading = "Big\r\nTitle";  // headings are not line-converted
    heading.Attributes = R"("Arial", 20, [Italic], [$00050000])";
    TBulletBlock& bullets = InitNewBlock(doc, 3, btBullet).BulletBlock();
    bullets.Bullets = "first\r\nx\r\nsecond";
    bullets.Style = lsLoCaseRoman;
    InitNewBlock(doc, 4, btBullet).BulletBlock().Bullets = "only";
    EXPECT_EQ(BlockLines(Generate(doc, omServerCopy)),
              (std::vector<std::string>{
                  R"(<FONT FACE="Arial" SIZE="4" COLOR="#FF0000"><B>one)",
                  "<BR><BR>",
                  "two",
                  "</B></FONT><P>",
                  "<CENTER><I>Big",
                  "Title</I></CENTER><P>",
                  R"(<OL TYPE="i">)",
                  "   <LI>first",
                  "x",
                  "   <LI>second",
                  "</OL><P>",
                  R"(<UL TYPE="DISC">)",
                  "   <LI>only",
                  "</UL><P>",
              }));
}

TEST(GeneratePageTest, EveryListStyleHasItsTagAndType) {
    const std::pair<TListStyle, std::string> styles[] = {
        {lsDisc, R"(<UL TYPE="DISC">)"},     {lsCircle, R"(<UL TYPE="CIRCLE">)"},
        {lsSquare, R"(<UL TYPE="SQUARE">)"}, {lsUpCaseA, R"(<OL TYPE="A">)"},
        {lsLoCaseA, R"(<OL TYPE="a">)"},     {lsNum, R"(<OL TYPE="1">)"},
        {lsUpCaseRoman, R"(<OL TYPE="I">)"}, {lsLoCaseRoman, R"(<OL TYPE="i">)"},
    };
    for (const auto& [style, start] : styles) {
        TPagelette doc = SettingsOnly();
        TBulletBlock& bullets = InitNewBlock(doc, 1, btBullet).BulletBlock();
        bullets.Bullets = "item";
        bullets.Style = style;
        const std::string end = start.substr(1, 2) == "UL" ? "</UL><P>" : "</OL><P>";
        EXPECT_EQ(BlockLines(Generate(doc, omServerCopy)),
                  (std::vector<std::string>{start, "   <LI>item", end}))
            << style;
    }
}

TEST(GeneratePageTest, FormsBlockRendersTheFormOnlyWithFields) {
    TPagelette doc = SettingsOnly();
    InitNewBlock(doc, 1, btForms);
    EXPECT_EQ(BlockLines(Generate(doc, omServerCopy)), std::vector<std::string>{"<P>"});

    doc.WebForm().Add().Name = "Your Name";
    const std::vector<std::string> blocks = BlockLines(Generate(doc, omServerCopy));
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.front(),
              std::string("<FORM ACTION=\"") + kFormMailAction + "\" METHOD=\"POST\">");
    EXPECT_EQ(
        blocks.back(),
        R"(<TR><TD COLSPAN=2><INPUT TYPE="SUBMIT">&nbsp;&nbsp;<INPUT TYPE="RESET"></TD></TR></TABLE></FORM><P>)");
}

TEST(GeneratePageTest, HostStoresEditsFirstAndFollowsTheTheme) {
    TPagelette doc;
    SetDefaultBlocks(doc);
    TRecordingHost host;
    // What the open panel holds reaches the page.
    host.onStore = [&doc] { doc.Page().Items(3).TextBlock().Text = "typed"; };
    const std::vector<std::string> page = Generate(doc, omServerCopy, false, &host);
    EXPECT_EQ(host.events, (std::vector<std::string>{"store", "busy", "theme Default", "idle"}));
    EXPECT_EQ(page[10], "typed");
    EXPECT_EQ(page[11], "<P>");

    TPagelette empty;
    host.events.clear();
    Generate(empty, omServerCopy, false, &host);
    EXPECT_TRUE(host.events.empty());
}

TEST(GeneratePageTest, ListErrorWarnsThroughTheHostAndKeepsTheBlocks) {
    TPagelette doc;
    SetDefaultBlocks(doc);
    TRecordingHost host;
    host.failTheme = true;
    const std::vector<std::string> lines = Generate(doc, omServerCopy, false, &host);
    EXPECT_EQ(host.events, (std::vector<std::string>{"store", "busy", "theme Default", "idle",
                                                     "warn Error Creating Web Page"}));
    EXPECT_EQ(lines,
              (std::vector<std::string>{R"(<IMG SRC="" BORDER=0 ALT="" HEIGHT="" WIDTH=""><P>)",
                                        R"(<A HREF=""></A><P>)", "<P>"}));
}

TEST(GeneratePageTest, ListErrorWhileStoringEditsLeavesNoLines) {
    TPagelette doc;
    SetDefaultBlocks(doc);
    TRecordingHost host;
    host.onStore = [&doc] { throw EListError(doc.Page().Count()); };
    EXPECT_TRUE(Generate(doc, omServerCopy, false, &host).empty());
    EXPECT_EQ(host.events, (std::vector<std::string>{"store", "warn Error Creating Web Page"}));
}

TEST(GeneratePageTest, BadMarginEndsTheRunAndRestoresTheCursor) {
    for (const char* margin : {"", "1O", "20px"}) {
        TPagelette doc;
        SetDefaultBlocks(doc);
        doc.Page().Items(0).PagePropertiesBlock().IndentMargin = margin;
        TRecordingHost host;
        try {
            Generate(doc, omServerCopy, false, &host);
            ADD_FAILURE() << "no error for " << margin;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(margin) + "' is not a valid integer value");
        }
        EXPECT_EQ(host.events.back(), "idle");
        EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "idle"), 1);
    }
}

TEST(GeneratePageTest, BadFontSizeEndsTheRunWithoutHost) {
    TPagelette doc = SettingsOnly();
    TTextBlock& text = InitNewBlock(doc, 1, btText).TextBlock();
    text.ApplyFont = 1;
    text.Attributes = "";
    std::vector<std::string> lines;
    EXPECT_THROW(GeneratePage(doc, lines, {}), EConvertError);
}

}  // namespace
}  // namespace tessel

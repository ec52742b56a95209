#include <gtest/gtest.h>

#include "document/Pagelette.h"
#include "document/Stream.h"
#include "html/FormHtml.h"
#include "html/PageHtml.h"
#include "platform/AtomicFile.h"

namespace tessel {
namespace {

std::string PageOf(TPagelette& document, TOutputMode mode) {
    std::vector<std::string> lines;
    GeneratePage(document, lines, {mode, "/prog/", false, nullptr, "page.html"});
    return PageText(lines);
}

TPagePropertiesBlock& Settings(TPagelette& document) {
    return document.Page().Items(0).PagePropertiesBlock();
}

// Pages saved before the option existed give, in every mode, the HTML they always gave:
// written then by the program as it was, kept beside the documents.
TEST(FitScreensTest, OldDocumentsGiveTheirOldHtmlInEveryMode) {
    const std::string folder = TESSEL_TEST_DATA "/old-pages/";
    for (const char* name : {"every-block.pgx", "contact-page.pgt"}) {
        std::unique_ptr<TPagelette> document = ReadDocumentFile(folder + name);
        const std::string base = std::string(name).substr(0, std::string(name).rfind('.'));
        for (const TOutputMode mode : {omPreview, omLocalCopy, omServerCopy}) {
            SCOPED_TRACE(std::string(name) + " mode " + std::to_string(mode));
            std::vector<std::string> lines;
            GeneratePage(*document, lines, {mode, "/prog/", false, nullptr});
            EXPECT_EQ(PageText(lines),
                      ReadWholeFile(folder + base + ".mode" + std::to_string(mode) + ".html"));
        }
    }
}

TEST(FitScreensTest, TheHeadStartsWithDoctypeLanguageCharsetViewportIconAndStyle) {
    TPagelette document;
    SetDefaultBlocks(document);
    Settings(document).FitScreens = true;
    Settings(document).Language = "fr-CA";
    Settings(document).PageTitle = "Chez nous";
    for (const TOutputMode mode : {omPreview, omLocalCopy, omServerCopy}) {
        const std::string page = PageOf(document, mode);
        EXPECT_EQ(
            page.rfind("<!DOCTYPE html>\r\n<!-- Created with Brindle HTML Tessel 4.0 -->\r\n", 0),
            0u);
        const std::string start = "<HTML LANG=\"fr-CA\">\r\n<HEAD>\r\n";
        const size_t head = page.find(start);
        ASSERT_NE(head, std::string::npos) << mode;
        const std::string top = page.substr(head + start.size());
        EXPECT_EQ(top.rfind("     <META CHARSET=\"UTF-8\">\r\n"
                            "     <META NAME=\"viewport\" CONTENT=\"width=device-width, "
                            "initial-scale=1\">\r\n"
                            "     <LINK REL=\"icon\" HREF=\"data:,\">\r\n<STYLE>\r\n",
                            0),
                  0u)
            << top;
        EXPECT_LT(top.find("</STYLE>\r\n"), top.find("<TITLE>Chez nous</TITLE>"));
        EXPECT_NE(top.find("img{max-width:100%;height:auto}"), std::string::npos);
        EXPECT_EQ(page.find("HTTP-EQUIV"), std::string::npos);
    }
}

// A margin table narrowed to a phone keeps its margin as wide as the page says.
TEST(FitScreensTest, TheMarginKeepsItsWidthOnANarrowScreen) {
    TPagelette document;
    SetDefaultBlocks(document);
    Settings(document).FitScreens = true;
    EXPECT_EQ(PageOf(document, omServerCopy).find("td:first-child"), std::string::npos);
    Settings(document).IndentMargin = "040";
    const std::string page = PageOf(document, omServerCopy);
    EXPECT_NE(page.find("table[width=\"600\"]>tbody>tr>td:first-child::before{content:\"\";"
                        "display:block;width:40px}\r\n</STYLE>"),
              std::string::npos);
    EXPECT_NE(page.find("<TR><TD WIDTH=\"040\">&nbsp;</TD>"), std::string::npos);
}

TEST(FitScreensTest, TheCharsetIsTheOneThePageIsWrittenIn) {
    TPagelette document;
    SetDefaultBlocks(document);
    Settings(document).FitScreens = true;
    Settings(document).PageTitle = "Caf\xC3\xA9";
    EXPECT_NE(PageOf(document, omServerCopy).find("<META CHARSET=\"UTF-8\">"), std::string::npos);
    // A text from an 8-bit program, which is no UTF-8.
    Settings(document).PageTitle = "Caf\xE9";
    const std::string page = PageOf(document, omServerCopy);
    EXPECT_NE(page.find("<HTML>\r\n<HEAD>\r\n     <META CHARSET=\"windows-1252\">\r\n"),
              std::string::npos);
    EXPECT_EQ(page.find("UTF-8"), std::string::npos);
    EXPECT_EQ(page.find("Content-Type"), std::string::npos);
}

TEST(FitScreensTest, AViewportOfTheMetaListIsNotRepeatedAndTheLanguageIsQuoted) {
    TPagelette document;
    SetDefaultBlocks(document);
    Settings(document).FitScreens = true;
    Settings(document).Language = "x\"y";
    Settings(document).MetaText = "Viewport\twidth=320\r\nDescription\tOurs\r\n";
    const std::string page = PageOf(document, omServerCopy);
    EXPECT_EQ(page.find("viewport"), std::string::npos);
    EXPECT_NE(page.find("<META NAME=\"Viewport\" CONTENT=\"width=320\">"), std::string::npos);
    EXPECT_NE(page.find("<HTML LANG=\"x&quot;y\">"), std::string::npos);
}

// The new page's empty picture and link blocks: a fitted page writes neither an empty frame
// nor a link that nobody can see, and no empty alignment element around them.
TEST(FitScreensTest, EmptyPictureAndLinkBlocksLeaveOnlyTheirParagraphBreak) {
    TPagelette document;
    SetDefaultBlocks(document);
    Settings(document).FitScreens = true;
    document.Page().Items(1).BlockAlign = baCenter;
    document.Page().Items(1).ImageBlock().ImageLink = "http://x.example/";
    document.Page().Items(2).LinkBlock().LinkURL = "http://x.example/";
    document.Page().Items(2).LinkBlock().LinkText = " ";
    const std::string page = PageOf(document, omServerCopy);
    EXPECT_NE(page.find("<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" "
                        "ALINK=\"#FF0000\" VLINK=\"#990099\">\r\n<P>\r\n<P>\r\n<P>\r\n"
                        "</BODY></HTML>\r\n"),
              std::string::npos)
        << page;

    // Blocks with content are written as always.
    document.Page().Items(1).ImageBlock().FileName = "dog.jpg";
    document.Page().Items(2).LinkBlock().LinkText = "Us";
    const std::string filled = PageOf(document, omServerCopy);
    EXPECT_NE(filled.find("<CENTER><A HREF=\"http://x.example/\"><IMG SRC=\"dog.jpg\" BORDER=0 "
                          "ALT=\"\" HEIGHT=\"\" WIDTH=\"\"></A></CENTER><P>\r\n"
                          "<A HREF=\"http://x.example/\">Us</A><P>\r\n"),
              std::string::npos)
        << filled;
}

TEST(FitScreensTest, TheLinksDropBoxHasANameToReadOut) {
    TPagelette document;
    SetDefaultBlocks(document);
    TLinkBlock& link = document.Page().Items(2).LinkBlock();
    link.UseDropBox = true;
    link.DropBoxText = "http://a.example/\tA\r\n";
    EXPECT_EQ(PageOf(document, omServerCopy).find("aria-label"), std::string::npos);
    Settings(document).FitScreens = true;
    EXPECT_NE(PageOf(document, omServerCopy)
                  .find("<select name=\"select\" size=1 aria-label=\"Select your "
                        "destination\">');"),
              std::string::npos);
}

TFormElement& AddField(TPagelette& document, TFieldKind kind, const std::string& name,
                       const std::string& label, std::vector<std::string> strings = {}) {
    TFormElement& field = document.WebForm().Add();
    field.FieldKind = kind;
    field.Name = name;
    field.Text = label;
    field.Strings().lines = std::move(strings);
    return field;
}

// Every field's label names its control; a field without label words is named by its name.
TEST(FitScreensTest, FormLabelsNameTheirControls) {
    TPagelette document;
    AddField(document, fkText, "Your Name", "Name:", {"Size=30"});
    AddField(document, fkTextArea, "Note", "", {"Cols=30", "Rows=5"});
    AddField(document, fkDropDown, "Size", "Shirt\r\nsize", {"s|Small"});
    AddField(document, fkCheckBox, "Likes", "Likes", {"t|Tea|Yes", "c|Coffee|No"});
    AddField(document, fkButton, "Push", "Push");
    TFormTarget target;
    target.labels = true;
    const std::string form = document.FormHTML(target);
    EXPECT_NE(form.find("<TD WIDTH=30% VALIGN=TOP><LABEL FOR=\"field1\">Name:</LABEL></TD>"
                        "<TD WIDTH=70% VALIGN=TOP><INPUT NAME=\"your_name\" VALUE=\"\" "
                        "SIZE=\"30\" ID=\"field1\"></TD>"),
              std::string::npos)
        << form;
    EXPECT_NE(form.find("<TD WIDTH=30% VALIGN=TOP></TD><TD WIDTH=70% VALIGN=TOP><TEXTAREA "
                        "COLS=\"30\" ROWS=\"5\" NAME=\"note\" WRAP=\"VIRTUAL\" ID=\"field2\" "
                        "ARIA-LABEL=\"Note\"></TEXTAREA>"),
              std::string::npos);
    EXPECT_NE(form.find("<LABEL FOR=\"field3\">Shirt<BR>size</LABEL></TD><TD WIDTH=70% "
                        "VALIGN=TOP><SELECT NAME=\"size\" ID=\"field3\">"),
              std::string::npos);
    EXPECT_NE(form.find("<LABEL><INPUT TYPE=\"CheckBox\" NAME=\"likes_tea\" VALUE=\"t\" "
                        "CHECKED> Tea</LABEL><BR>\r\n<LABEL><INPUT TYPE=\"CheckBox\" "
                        "NAME=\"likes_coffee\" VALUE=\"c\"> Coffee</LABEL><BR>\r\n"),
              std::string::npos);
    EXPECT_EQ(form.find("FOR=\"field4\""), std::string::npos);
    EXPECT_EQ(form.find("field5"), std::string::npos);

    // Without the option the rows are the ones the form always had.
    EXPECT_EQ(document.FormHTML(TFormTarget{}).find("LABEL"), std::string::npos);
    EXPECT_NE(document.FormHTML(TFormTarget{}).find(document.WebForm().RowsHTML()),
              std::string::npos);
}

TEST(FitScreensTest, AFittedPageLabelsItsForm) {
    TPagelette document;
    SetDefaultBlocks(document);
    InitNewBlock(document, 4, btForms);
    AddField(document, fkText, "Name", "Name", {"Size=30"});
    EXPECT_EQ(PageOf(document, omServerCopy).find("<LABEL"), std::string::npos);
    Settings(document).FitScreens = true;
    EXPECT_NE(PageOf(document, omServerCopy).find("<LABEL FOR=\"field1\">Name</LABEL>"),
              std::string::npos);
}

}  // namespace
}  // namespace tessel

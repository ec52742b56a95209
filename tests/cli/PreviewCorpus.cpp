// Writes the pages that the preview is compared on with a browser: a page with every block
// kind under each delivered theme, and pages of awkward texts ("<", "&", quotes, character
// references, accented letters in UTF-8 and in an old 8-bit document).
// Usage: tessel_preview_corpus PROGRAM_FOLDER OUTPUT_FOLDER
// PROGRAM_FOLDER holds Themes.dat; its Upload/images holds the pictures the pages show.

#include <filesystem>
#include <iostream>

#include "document/Pagelette.h"
#include "document/Stream.h"
#include "themes/core/WebTheme.h"

namespace tessel {
namespace {

class TCorpusPage {
  public:
    TCorpusPage() {
        SetDefaultBlocks(document_);
        while (document_.Page().Count() > 1) document_.Page().Delete(1);
    }

    TPagelette& Document() { return document_; }
    TPagePropertiesBlock& Settings() { return document_.Page().Items(0).PagePropertiesBlock(); }

    TPageItem& Add(TBlockType kind, TBlockAlignment align = baNone) {
        TPageItem& item = InitNewBlock(document_, document_.Page().Count(), kind);
        item.BlockAlign = align;
        return item;
    }
    void Heading(const std::string& text, const std::string& font, TBlockAlignment align) {
        THeadingBlock& heading = Add(btHeading, align).HeadingBlock();
        heading.Heading = text;
        heading.Attributes = font;
        heading.ApplyFont = 1;
    }
    void Text(const std::string& text, TBlockAlignment align = baNone) {
        TTextBlock& block = Add(btText, align).TextBlock();
        block.Text = text;
        block.ApplyFont = 0;
    }
    void Picture(const std::string& file, const std::string& alt, const std::string& link = "") {
        TImageBlock& image = Add(btImage, baCenter).ImageBlock();
        image.FileName = file;
        image.Alt = alt;
        image.Width = "160";
        image.Height = "107";
        image.ImageLink = link;
    }
    void Link(const std::string& address, const std::string& text, bool email = false) {
        TLinkBlock& link = Add(btLink).LinkBlock();
        link.LinkURL = address;
        link.LinkText = text;
        link.Email = email;
    }
    void Bullets(const std::string& lines, TListStyle style) {
        TBulletBlock& bullets = Add(btBullet).BulletBlock();
        bullets.Bullets = lines;
        bullets.Style = style;
    }
    void Rule(int width, int size, bool noShade, TBlockAlignment align) {
        THRBlock& rule = Add(btHR, align).HRBlock();
        rule.Width = width;
        rule.Size = size;
        rule.NoShade = noShade;
    }
    void Field(TFieldKind kind, const std::string& label, std::vector<std::string> strings,
               const std::string& value = "") {
        TFormElement& field = document_.WebForm().Add();
        field.FieldKind = kind;
        field.Name = label;
        field.Text = label;
        field.Value = value;
        field.Strings().lines = std::move(strings);
    }

    void Write(const std::filesystem::path& file) { WriteDocumentFile(file.string(), document_); }

  private:
    TPagelette document_;
};

void EveryBlockKind(TCorpusPage& page) {
    page.Settings().PageTitle = "Riverside Rowing Club";
    page.Heading("Riverside Rowing Club", R"("Arial", 20, [Bold|Underline], [clNavy])", baCenter);
    page.Heading("Since 1921 & still rowing", R"("Times New Roman", 14, [Italic], [$00050000])",
                 baRight);
    page.Text("We row on the river every Saturday morning.\r\n\r\nNew members are welcome.");
    page.Picture("sample-morning.jpg", "The river in the morning", "http://127.0.0.1/boats");
    page.Picture("no-such-picture.jpg", "Our missing boat");
    page.Link("http://127.0.0.1/members.html", "Members' pages");
    page.Link("captain@rowing.example", "Write to the captain", true);
    TLinkBlock& dropBox = page.Add(btLink).LinkBlock();
    dropBox.UseDropBox = true;
    dropBox.DropBoxText = "http://127.0.0.1/a.html\tRegattas\r\nhttp://127.0.0.1/b.html\tBoats\r\n";
    page.Bullets("Sculls\r\nEights\r\nCoxless fours", lsDisc);
    page.Bullets("Boats\r\nOars", lsCircle);
    page.Bullets("Boats\r\nOars", lsSquare);
    page.Bullets("Warm up\r\nRow\r\nStretch", lsUpCaseA);
    page.Bullets("Warm up\r\nRow", lsLoCaseA);
    page.Bullets("One\r\nTwo\r\nThree\r\nFour", lsNum);
    page.Bullets("Spring\r\nSummer\r\nAutumn\r\nWinter", lsUpCaseRoman);
    page.Bullets("Spring\r\nSummer", lsLoCaseRoman);
    page.Rule(100, 1, false, baNone);
    page.Rule(50, 2, true, baRight);
    page.Rule(30, 0, false, baCenter);
    page.Add(btForms);
    TPagelette& document = page.Document();
    document.Email = "captain@rowing.example";
    document.Subject = "Joining";
    document.FormTitle = "Join us";
    document.FormFooter = true;
    document.Border = true;
    page.Field(fkText, "Name", {"Size=30"}, "Your name");
    page.Field(fkTextArea, "About you", {"Cols=30", "Rows=3"});
    page.Field(fkRadio, "Boat", {"single|Single|Yes", "eight|Eight|No"});
    page.Field(fkCheckBox, "Days", {"sat|Saturday|Yes", "sun|Sunday|No"});
    page.Field(fkDropDown, "Level", {"new|Beginner", "old|Rower"});
    page.Field(fkButton, "Nothing to click", {});
}

void AwkwardTexts(TCorpusPage& page) {
    page.Settings().PageTitle = "Prices & <offers>";
    page.Heading("Fish & Chips <today>", R"("Arial", 16, [Bold], [clMaroon])", baCenter);
    page.Text("Open 8 < 10. Closed 12 > 11.\r\nThe next line after it shows too.");
    page.Text("AT&T, Smith & Sons, x &amp y, a lone & at the end &");
    page.Text("She said \"hello\" and 'bye'; a<1 and a < b; 3<4 <5 <- arrow.");
    page.Text(
        "&copy; 2024 &euro;5 &hearts; &rarr; &frac12; &mdash; &#233; &#x263A; &#128; "
        "&#150; &#0; &#1114112; &#xD800; &notit; &noti; &amp;amp; &unknown; &#; &#x;");
    page.Text("Typed HTML: <B>bold</B>, <I>italic</I>, <U>under</U><BR>next line.");
    page.Text(
        "Markup that shows nothing: [</>] [<!-- a comment -->] [<!x>] [<?php echo 1 ?>] "
        "[< /b>]");
    page.Text(
        "Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
        "e, na\xC3\xAFve, \xC3\x85ngstr"
        "\xC3\xB6m, \xC5\x81\xC3\xB3"
        "d\xC5\xBA, \xE2\x80\x9Cquotes\xE2\x80\x9D \xE2\x80\x94 dash",
        baCenter);
    page.Link("http://127.0.0.1/?a=1&b=2&copy=3", "Terms & conditions <new>");
    page.Bullets("1 < 2\r\nTom & Jerry\r\n\"Quoted\" item", lsDisc);
    page.Add(btForms);
    TPagelette& document = page.Document();
    document.Email = "shop@fish.example";
    document.FormTitle = "Orders & <questions>";
    page.Field(fkText, "Name & address", {"Size=20"}, "A & B <c>");
    page.Field(fkDropDown, "Portion", {"s|Small & cheap", "l|Large <huge>"});
    page.Field(fkRadio, "Salt?", {"y|Yes & more|Yes", "n|No <thanks>|No"});
}

// A document of an older program: its texts are 8-bit, so its page is windows-1252.
void EightBitTexts(TCorpusPage& page) {
    page.Settings().PageTitle = "Caf\xE9";
    page.Heading("Caf\xE9 de la Gare", R"("Arial", 16, [Bold], [clBlack])", baCenter);
    page.Text(
        "Cr\xE8me br\xFBl\xE9"
        "e \x80 5, \x93quoted\x94 \x96 and na\xEFve < 10 & more.");
    page.Bullets("Cr\xEApes\r\nG\xE2teaux", lsUpCaseRoman);
}

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
    using namespace tessel;
    if (argc != 3) {
        std::cerr << "usage: tessel_preview_corpus PROGRAM_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path out = argv[2];
    std::filesystem::create_directories(out);
    try {
        const std::unique_ptr<TWebTheme> themes = LoadThemes(std::string(argv[1]) + "/");
        for (int i = 0; i < themes->Items().Count(); ++i) {
            TCorpusPage page;
            EveryBlockKind(page);
            ApplyTheme(*themes, i, page.Document());
            page.Write(out / ("every-block-" + std::to_string(i) + ".pgx"));
        }
        TCorpusPage awkward;
        AwkwardTexts(awkward);
        awkward.Write(out / "awkward-texts.pgx");
        TCorpusPage eightBit;
        EightBitTexts(eightBit);
        eightBit.Write(out / "eight-bit-texts.pgx");
        TCorpusPage empty;
        SetDefaultBlocks(empty.Document());
        empty.Write(out / "new-page.pgx");
    } catch (const std::exception& error) {
        std::cerr << "tessel_preview_corpus: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

#include "html/PageHtml.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

#include "document/Exceptions.h"
#include "html/FitScreens.h"
#include "html/FormDelivery.h"
#include "html/MakerAddresses.h"
#include "html/MixedTexts.h"
#include "html/Routines.h"

namespace tessel {

namespace {

constexpr const char* kGoScript =
    "<script language=\"JavaScript\">\r\n<!--\r\n// original code by Quenby 12/12/96\r\n"
    "\tfunction go(doc){\r\n\tif (doc.options[doc.selectedIndex].value != \"none\") {\r\n"
    "\t\tlocation = doc.options[doc.selectedIndex].value;\r\n\t\t}\r\n\t}\r\n//-->\r\n"
    "</script>\r\n";

constexpr const char* kLinkStyle =
    "<style type=\"text/css\">\r\n<!-- A:link {text-decoration: none;}\r\n"
    "     A:visited {text-decoration: none;} -->\r\n</style>\r\n";

std::string PictureAddress(const TGenerateOptions& options, const char* folder,
                           const std::string& file) {
    switch (options.mode) {
        case omPreview:
            return options.programFolder + "Upload/" + folder + "/" + file;
        case omLocalCopy:
            return std::string("../Upload/") + folder + "/" + file;
        case omServerCopy:
            break;
    }
    return file;
}

std::string MakerBanner() {
    return std::string("<CENTER><FONT SIZE=\"1\" FACE=\"VERDANA, ARIAL\"><A HREF=\"") +
           kMakerWebAddress + "\"><IMG SRC=\"" + kMakerBannerImage +
           "\" BORDER=0 ALT=\"Brindle HTML Tessel 4.0\"><BR><BR>\r\n"
           "Created with Brindle HTML Tessel 4.0</A></FONT></CENTER>\r\n";
}

// What a block's HTML depends on besides its own payload.
struct TBlockContext {
    const TGenerateOptions& options;
    bool fit;  // the page fits phones and today's browsers
    bool dropBoxMade = false;
};

std::string DropBox(int index, const std::string& linkList, bool fit) {
    const std::string n = std::to_string(index);
    // A list that a screen reader can name.
    const char* label = fit ? " aria-label=\"Select your destination\"" : "";
    return "<script language=\"JavaScript\">\r\n<!--\r\n"
           "document.write('<form name=\"selecter" +
           n + "\"><select name=\"select\" size=1" + label +
           ">');\r\n"
           "document.write('<option value=none>Select your destination');\r\n"
           "document.write('<option value=none>--------------------');\r\n" +
           ConvertLines(linkList, cvOption) +
           "document.write('</select>');\r\n"
           "document.write('&nbsp;<INPUT TYPE=\"button\" VALUE=\"Go\" "
           "onclick=\"go(document.selecter" +
           n +
           ".select)\">');\r\n"
           "document.write('</form>');\r\n//-->\r\n</script>\r\n";
}

std::string ImageHTML(const TImageBlock& image, const TGenerateOptions& options, bool fit) {
    // A fitted page shows no broken frame for a block whose picture was never chosen.
    if (fit && image.FileName.empty())
        return {};
    std::string h =
        "<IMG SRC=\"" + AttributeValue(PictureAddress(options, "images", image.FileName)) +
        "\" BORDER=0 ALT=\"" + AttributeValue(image.Alt) + "\" HEIGHT=\"" +
        AttributeValue(image.Height) + "\" WIDTH=\"" + AttributeValue(image.Width) + "\"";
    // Appended at the tag's own end: a ">" in the alternative text or an address must not
    // receive the attribute.
    if (!image.Align.empty())
        h += " ALIGN=\"" + AttributeValue(image.Align) + "\"";
    h += ">";
    if (!image.ImageLink.empty())
        h = "<A HREF=\"" + AttributeValue(image.ImageLink) + "\">" + h + "</A>";
    return h;
}

std::string LinkHTML(const TLinkBlock& link, int index, TBlockContext& context) {
    if (link.UseDropBox && !link.DropBoxText.empty()) {
        context.dropBoxMade = true;
        return DropBox(index, link.DropBoxText, context.fit);
    }
    // A link without words cannot be seen or clicked, and a screen reader reads it as nothing.
    if (context.fit && link.LinkText.find_first_not_of(" \t\r\n") == std::string::npos)
        return {};
    return std::string("<A HREF=\"") + (link.Email ? "mailto:" : "") +
           AttributeValue(link.LinkURL) + "\">" + link.LinkText + "</A>";
}

std::string BulletHTML(const TBulletBlock& bullets) {
    struct ListKind {
        const char* tag;
        const char* type;
    };
    static constexpr std::array<ListKind, 8> kKinds{{{"UL", "DISC"},
                                                     {"UL", "CIRCLE"},
                                                     {"UL", "SQUARE"},
                                                     {"OL", "A"},
                                                     {"OL", "a"},
                                                     {"OL", "1"},
                                                     {"OL", "I"},
                                                     {"OL", "i"}}};
    const ListKind& kind = kKinds.at(bullets.Style);
    return std::string("<") + kind.tag + " TYPE=\"" + kind.type + "\">\r\n" +
           ConvertLines(bullets.Bullets, cvList) + "</" + kind.tag + ">";
}

std::string RuleHTML(const THRBlock& rule) {
    // The thickness choices 0 to 5 stand for three, six, ... eighteen pixels.
    const long long size = 3 * (static_cast<long long>(rule.Size) + 1);
    return "<HR WIDTH=\"" + std::to_string(rule.Width) + "%\" SIZE=\"" + std::to_string(size) +
           "\"" + (rule.NoShade ? " NOSHADE" : "") + ">";
}

std::string BlockHTML(TPagelette& document, int index, TBlockContext& context) {
    const TGenerateOptions& options = context.options;
    TPageItem& item = document.Page().Items(index);
    switch (item.BlockType) {
        case btHeading: {
            THeadingBlock& b = item.HeadingBlock();
            return FormatBlockText(b.Heading, b.Attributes, b.ApplyFont);
        }
        case btText: {
            TTextBlock& b = item.TextBlock();
            return FormatBlockText(ConvertLines(b.Text, cvText), b.Attributes, b.ApplyFont);
        }
        case btImage:
            return ImageHTML(item.ImageBlock(), options, context.fit);
        case btLink:
            return LinkHTML(item.LinkBlock(), index, context);
        case btBullet:
            return BulletHTML(item.BulletBlock());
        case btHR:
            return RuleHTML(item.HRBlock());
        case btForms: {
            if (document.WebForm().Count() == 0)
                return {};
            TFormTarget target =
                FormTargetOf(document, options.pageFileName, options.mode == omPreview);
            target.labels = context.fit;
            return document.FormHTML(target);
        }
        case btPageProperties:
            break;
    }
    return {};
}

std::string WrappedBlockHTML(TPagelette& document, int index, TBlockContext& context) {
    std::string h = BlockHTML(document, index, context);
    const TPageItem& item = document.Page().Items(index);
    if (context.fit && h.empty()) {
        // An empty block leaves no empty element behind, only its paragraph break.
    } else if (item.BlockAlign == baCenter) {
        h = "<CENTER>" + h + "</CENTER>";
    } else if (item.BlockAlign == baRight) {
        h = "<P ALIGN=\"RIGHT\">" + h + "</P>";
    }
    if (item.BlockOnNewLine && item.BlockType != btPageProperties)
        h += "<P>";
    return h;
}

std::string BodyTag(const TPagePropertiesBlock& settings, const TGenerateOptions& options) {
    std::string tag = "</HEAD>\r\n\r\n<BODY BGCOLOR=\"" + ColorToHTML(settings.BGColor) +
                      "\" TEXT=\"" + ColorToHTML(settings.TextColor) + "\" LINK=\"" +
                      ColorToHTML(settings.LinkColor) + "\" ALINK=\"" +
                      ColorToHTML(settings.ALinkColor) + "\" VLINK=\"" +
                      ColorToHTML(settings.VLinkColor) + "\"";
    if (!settings.Background.empty()) {
        tag += " BACKGROUND=\"" +
               AttributeValue(PictureAddress(options, "backgrounds", settings.Background)) + "\"";
    }
    return tag + ">";
}

void AppendBlocks(std::string& page, const std::vector<std::string>& blocks) {
    for (const std::string& block : blocks) {
        page += block;
        page += "\r\n";
    }
}

// Texts that are not UTF-8 come from documents made by an 8-bit program.
const char* CharsetOf(const std::string& page) {
    return IsValidUtf8(page) ? "UTF-8" : "windows-1252";
}

// A browser guesses the encoding of a page that does not state it, and guesses wrong when
// the server sends no charset either. A plain ASCII page needs no statement.
void DeclareCharset(std::string& page, size_t headStart) {
    if (IsAscii(page))
        return;
    const char* charset = CharsetOf(page);
    page.insert(headStart,
                std::string("     <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                            "charset=") +
                    charset + "\">\r\n");
}

// Wraps the block entries in `lines` into the whole page, and splits it into lines.
void WritePage(TPagelette& document, std::vector<std::string>& lines,
               const TGenerateOptions& options, bool dropBoxMade, bool fit) {
    TPagePropertiesBlock& settings = document.Page().Items(0).PagePropertiesBlock();
    if (options.host)
        options.host->SelectTheme(settings.ThemeName);

    const bool marginTable = settings.IndentMargin != "0";
    const int64_t margin = marginTable ? StrToInt(settings.IndentMargin) : 0;

    size_t blocksSize = 0;
    for (const std::string& block : lines) blocksSize += block.size() + 2;
    std::string page;
    page.reserve(blocksSize + 2048);

    if (fit)
        page += std::string(kFitDoctype) + "\r\n";
    page += "<!-- Created with Brindle HTML Tessel 4.0 -->\r\n<!--        ";
    page += kMakerWebAddress;
    page += "         -->\r\n";
    page += fit ? FitHtmlTag(settings) : std::string("<HTML>");
    page += "\r\n<HEAD>\r\n";
    const size_t headStart = page.size();
    page += "     <TITLE>" + settings.PageTitle + "</TITLE>\r\n";
    if (!settings.MetaText.empty())
        page += ConvertLines(settings.MetaText, cvMeta);
    if (dropBoxMade)
        page += kGoScript;
    if (settings.Underline)
        page += kLinkStyle;
    page += BodyTag(settings, options) + "\r\n";
    if (marginTable) {
        page +=
            "<TABLE WIDTH=\"600\" BORDER=\"0\" CELLPADDING=\"0\" CELLSPACING=\"0\">\r\n"
            "<TR><TD WIDTH=\"" +
            settings.IndentMargin + "\">&nbsp;</TD>\r\n<TD VALIGN=\"TOP\" WIDTH=\"" +
            std::to_string(600 - margin) + "\">\r\n";
        AppendBlocks(page, lines);
        page += "\r\n";
        if (options.banner)
            page += MakerBanner();
        page += "</TD></TR></TABLE>\r\n";
    } else {
        AppendBlocks(page, lines);
        if (options.banner)
            page += MakerBanner();
    }
    page += "</BODY></HTML>";
    if (fit)
        page.insert(headStart, FitHead(settings, CharsetOf(page)));
    else
        DeclareCharset(page, headStart);
    std::vector<std::string>().swap(lines);  // the entries are in `page` now

    TStringList split;
    split.SetText(page);
    lines = std::move(split.lines);
}

// The hourglass for as long as the run lasts, errors included.
class TBusyCursor {
  public:
    explicit TBusyCursor(TPageHost* host) : host_(host) {
        if (host_)
            host_->SetBusy(true);
    }
    ~TBusyCursor() {
        if (host_)
            host_->SetBusy(false);
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

  private:
    TPageHost* host_;
};

void GenerateLines(TPagelette& document, std::vector<std::string>& lines,
                   const TGenerateOptions& options) {
    TBlockContext context{options, document.Page().Items(0).PagePropertiesBlock().FitScreens};
    for (int i = 1; i < document.Page().Count(); ++i) {
        lines.push_back(WrappedBlockHTML(document, i, context));
    }
    WritePage(document, lines, options, context.dropBoxMade, context.fit);
}

// A page whose 8-bit texts meet UTF-8 ones is made again from a copy of the document in
// which they are UTF-8 too; a page of one encoding stays as it is.
void RemakeMixedPage(TPagelette& document, std::vector<std::string>& lines,
                     const TGenerateOptions& options) {
    const bool eightBit = std::any_of(lines.begin(), lines.end(),
                                      [](const std::string& line) { return !IsValidUtf8(line); });
    if (!eightBit)
        return;
    // The preview's program folder is UTF-8 text in the page too.
    const bool folderUtf8 = options.mode == omPreview && !IsAscii(options.programFolder) &&
                            IsValidUtf8(options.programFolder);
    TUtf8Copy copy;
    try {
        copy = Utf8CopyOf(document);
    } catch (const EStreamError&) {
        return;  // a document that cannot be written keeps the page it gave
    }
    if (!copy.heldUtf8 && !folderUtf8)
        return;
    TGenerateOptions again = options;
    again.host = nullptr;  // the theme list follows the page already
    lines.clear();
    GenerateLines(*copy.document, lines, again);
}

}  // namespace

void GeneratePage(TPagelette& document, std::vector<std::string>& lines,
                  const TGenerateOptions& options) {
    if (options.mode < omPreview || options.mode > omServerCopy) {
        throw std::invalid_argument("unknown output mode " + std::to_string(options.mode));
    }
    lines.clear();
    if (document.Page().Count() == 0)
        return;
    try {
        if (options.host)
            options.host->StorePendingEdits();
        TBusyCursor busy(options.host);
        GenerateLines(document, lines, options);
        RemakeMixedPage(document, lines, options);
    } catch (const EListError&) {
        if (!options.host)
            throw;
        options.host->ShowWarning(kGeneratePageError);
    }
}

std::string PageText(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace tessel

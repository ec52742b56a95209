#include "html/FitScreens.h"

#include "document/Numbers.h"
#include "html/Routines.h"

namespace tessel {

namespace {

// Pictures, tables and form controls never run wider than the screen; a picture that is
// narrowed keeps its proportions, and one on a line of its own leaves no gap below it (as the
// old layout of browsers had it). Nothing changes how big a control or a rule is drawn where it
// fits (box sizes stay the browser's), and rules are as wide as their line already. The smallest
// font size is raised on a phone only, so that a desktop window shows the page as it always did.
constexpr const char* kFitStyle =
    "img{max-width:100%;height:auto}\r\n"
    "img:not([align]){vertical-align:bottom}\r\n"
    "table{max-width:100%}\r\n"
    "input,select,textarea{max-width:100%}\r\n"
    "@media (max-width:600px){font[size=\"1\"]{font-size:12px}}\r\n";

// A margin table narrowed to a phone's screen would narrow its margin too, and the text would
// run over the strip of the theme's background that the margin keeps free: the margin cell
// holds an empty block as wide as the margin.
std::string MarginStyle(const std::string& indentMargin) {
    if (indentMargin == "0")
        return {};
    return "table[width=\"600\"]>tbody>tr>td:first-child::before{content:\"\";display:block;"
           "width:" +
           std::to_string(StrToInt(indentMargin)) + "px}\r\n";
}

}  // namespace

std::string FitHead(const TPagePropertiesBlock& settings, const std::string& charset) {
    std::string head = "     <META CHARSET=\"" + charset + "\">\r\n";
    if (settings.MetaContents("viewport").empty()) {
        head += "     <META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\">\r\n";
    }
    // The page has no icon of its own: saying so spares the browser a request that fails.
    head += "     <LINK REL=\"icon\" HREF=\"data:,\">\r\n";
    head += "<STYLE>\r\n" + std::string(kFitStyle) + MarginStyle(settings.IndentMargin) +
            "</STYLE>\r\n";
    return head;
}

std::string FitHtmlTag(const TPagePropertiesBlock& settings) {
    if (settings.Language.empty())
        return "<HTML>";
    return "<HTML LANG=\"" + AttributeValue(settings.Language) + "\">";
}

}  // namespace tessel

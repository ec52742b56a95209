#pragma once

// The viewer's mapping pass: Qt's rich text ignores some of the HTML our pages use (the BODY
// text and link colours, rule sizes and shading, picture borders, form controls). This pass
// rewrites a page into HTML that Qt shows the way a browser does: what Qt cannot draw itself
// becomes a placeholder picture named "tessel:<kind>/<index>", described here so that the
// viewer can draw it.

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

inline constexpr const char* kMappedPicturePrefix = "tessel:picture/";
inline constexpr const char* kMappedRulePrefix = "tessel:rule/";
inline constexpr const char* kMappedControlPrefix = "tessel:control/";
inline constexpr const char* kMappedBackground = "tessel:background";

// What an unlabelled submit and reset button read.
inline constexpr const char* kSubmitCaption = "Submit Query";
inline constexpr const char* kResetCaption = "Reset";

// A form control as the page writes it.
struct THtmlControl {
    enum TKind { Text, Password, Radio, CheckBox, Submit, Reset, Button, TextArea, Select };
    TKind kind = Text;
    std::string value;  // text boxes and buttons: the VALUE; a list: the option shown
    int size = 0;       // text boxes: SIZE in characters; 0 when absent
    bool checked = false;
    int cols = 0;  // text areas; 0 when absent
    int rows = 0;
    std::vector<std::string> options;  // a list's option captions, in order
};

// A horizontal rule.
struct THtmlRule {
    int width = 100;  // pixels, or percent of the line when `percent`
    bool percent = true;
    int size = 2;  // height in pixels
    bool noShade = false;
};

// A picture: where it comes from and how it is framed.
struct THtmlPicture {
    std::string source;
    std::string alt;
    int width = -1;  // -1: the picture's own
    int height = -1;
    int border = 0;       // pixels
    bool inLink = false;  // a border then takes the link colour, else the text colour
};

struct TMappedPage {
    std::string html;
    // From the BODY colours: the text and link colours a browser would use.
    std::string styleSheet;
    std::string textColor;  // as written in the page ("#RRGGBB" or a colour name); may be empty
    std::string linkColor;
    std::string backgroundColor;
    // The BODY's BACKGROUND picture as written; may be empty. The page names it
    // kMappedBackground, so that the viewer can lay it over the background colour.
    std::string background;
    std::vector<THtmlPicture> pictures;
    std::vector<THtmlRule> rules;
    std::vector<THtmlControl> controls;
};

// `html` is the page's text already decoded to UTF-8 (see PageCharset.h). The page is read
// as a browser reads it (see HtmlTokenizer.h) and written again for Qt, whose own parser
// would drop text after a "<" that starts no tag: every "<" and "&" of the text reaches Qt as
// text. Scripts and style sheets pass through untouched; comments and hidden inputs vanish.
TMappedPage MapPageHtml(std::string_view html);

}  // namespace tessel

#include "platform/HtmlMapping.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <utility>

#include "document/Persistence.h"
#include "platform/HtmlTokenizer.h"

namespace tessel {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// A whole number at the start of an attribute, and whether a "%" follows it.
bool ReadNumber(const std::string& text, int& number, bool* percent = nullptr) {
    size_t from = 0;
    while (from < text.size() && IsSpace(text[from])) ++from;
    const char* begin = text.data() + from;
    const char* end = text.data() + text.size();
    int read = 0;
    const auto [rest, error] = std::from_chars(begin, end, read);
    if (error == std::errc::result_out_of_range && begin != end && *begin != '-')
        read = std::numeric_limits<int>::max();  // too large for an int: the viewer clamps it
    else if (error != std::errc() || read < 0)
        return false;
    number = read;
    if (percent != nullptr)
        *percent = rest != end && *rest == '%';
    return true;
}

// A colour is copied into the style sheet only when it cannot end the rule it stands in.
std::string CleanColor(const std::string& value) {
    std::string color;
    for (const char c : value) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '#')
            return {};
        color += c;
    }
    // Browsers accept hexadecimal colours without the "#".
    if (color.size() == 6 && color.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
        color = "#" + color;
    return color;
}

// An option's caption: its text with white space stripped and collapsed, as a list shows it.
std::string CollapseSpaces(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (!IsSpace(c))
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// Text for Qt's parser, which must see every "<" and "&" of the text as text.
void AppendEscaped(std::string& html, std::string_view text, bool inAttribute = false) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') {
            html += "&amp;";
        } else if (c == '<') {
            html += "&lt;";
        } else if (c == '>') {
            html += "&gt;";
        } else if (c == '"' && inAttribute) {
            html += "&quot;";
        } else if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
            html += "&nbsp;";  // Qt's parser would take the character for white space
            ++i;
        } else {
            html += c;
        }
    }
}

// Names that Qt's parser reads as the browser did; a tag or attribute with any other name is
// one neither Qt nor a browser shows anything for.
bool IsPlainName(std::string_view name, bool attribute) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (name.empty() || !letter(name[0]))
        return false;
    for (const char c : name) {
        const bool letterOrDigit = letter(c) || (c >= '0' && c <= '9');
        if (!letterOrDigit && !(attribute && (c == '-' || c == '_' || c == ':')))
            return false;
    }
    return true;
}

// A script's or style sheet's content as the page wrote it. A browser ends it only at its own
// end tag; Qt may end it at any "</script" (say "</script-x" or one followed by a NUL), and
// would then show the rest of a script as text. Such a "</" becomes "<\/", which means the
// same within a script's or style sheet's strings.
void AppendRawContent(std::string& html, std::string_view text, std::string_view element) {
    const std::string lowered = LowerCase(text);
    const std::string endTag = "</" + std::string(element);
    size_t from = 0;
    for (size_t at = lowered.find(endTag); at != std::string::npos;
         at = lowered.find(endTag, at + 1)) {
        html.append(text.substr(from, at + 1 - from));
        html += '\\';
        from = at + 1;
    }
    html.append(text.substr(from));
}

// The tag as written, with its attribute values quoted and escaped.
void AppendTag(std::string& html, const THtmlToken& tag) {
    if (!IsPlainName(tag.spelling, false))
        return;
    html += tag.kind == THtmlToken::EndTag ? "</" : "<";
    html += tag.spelling;
    if (tag.kind == THtmlToken::StartTag) {
        for (const THtmlAttribute& attribute : tag.attributes) {
            if (!IsPlainName(attribute.spelling, true))
                continue;
            html += ' ';
            html += attribute.spelling;
            html += "=\"";
            AppendEscaped(html, attribute.value, true);
            html += '"';
        }
    }
    html += '>';
}

class TMapper {
  public:
    explicit TMapper(std::string_view text) : tokens_(text) {
        page_.html.reserve(text.size() + text.size() / 4);
    }

    TMappedPage Run() {
        for (THtmlToken token = tokens_.Next(); token.kind != THtmlToken::End;
             token = tokens_.Next())
            Token(token);
        return std::move(page_);
    }

  private:
    void Token(const THtmlToken& token) {
        switch (token.kind) {
            case THtmlToken::Text:
                Text(token);
                break;
            case THtmlToken::StartTag:
                StartTag(token);
                break;
            case THtmlToken::EndTag:
                EndTag(token);
                break;
            default:
                break;  // comments and the doctype show nothing
        }
    }

    void Text(const THtmlToken& token) {
        if (!token.raw) {
            AppendEscaped(page_.html, token.text);
        } else if (rawElement_ == "script" || rawElement_ == "style") {
            // Qt keeps a script to itself and reads a style sheet.
            AppendRawContent(page_.html, token.text, rawElement_);
        } else if (rawElement_ == "xmp" || rawElement_ == "plaintext") {
            AppendEscaped(page_.html, token.text);
        }
        // The content of IFRAME, NOEMBED and NOFRAMES is not shown.
    }

    void StartTag(const THtmlToken& tag) {
        rawElement_ = tag.name;
        const std::string& name = tag.name;
        if (name == "body") {
            Body(tag);
        } else if (name == "hr") {
            Rule(tag);
        } else if (name == "img" || name == "image") {
            Picture(tag);
        } else if (name == "input") {
            Input(tag);
        } else if (name == "textarea") {
            TextArea(tag);
        } else if (name == "select") {
            Select();
        } else if (name == "xmp" || name == "plaintext") {
            page_.html += "<pre>";
        } else if (name != "iframe" && name != "noembed" && name != "noframes") {
            if (name == "a")
                inLink_ = tag.Has("href");
            AppendTag(page_.html, tag);
        }
    }

    void EndTag(const THtmlToken& tag) {
        const std::string& name = tag.name;
        if (name == "a") {
            inLink_ = false;
        } else if (name == "br") {
            page_.html += "<br>";  // browsers read "</br>" as "<br>"
            return;
        } else if (name == "xmp") {
            page_.html += "</pre>";
            return;
        } else if (name == "iframe" || name == "noembed" || name == "noframes") {
            return;
        }
        AppendTag(page_.html, tag);
    }

    // A page's first BODY tag holds its colours; browsers take nothing from later ones that
    // the first one already says, and Qt would start a second body.
    void Body(const THtmlToken& tag) {
        if (seenBody_)
            return;
        seenBody_ = true;
        page_.textColor = CleanColor(tag.Get("text"));
        page_.linkColor = CleanColor(tag.Get("link"));
        page_.background = tag.Get("background");
        page_.backgroundColor = CleanColor(tag.Get("bgcolor"));
        std::string sheet;
        if (!page_.textColor.empty())
            sheet += "body { color: " + page_.textColor + "; }\n";
        if (!page_.linkColor.empty())
            sheet += "a { color: " + page_.linkColor + "; }\n";
        page_.styleSheet = sheet;
        THtmlToken shown;
        shown.kind = THtmlToken::StartTag;
        shown.spelling = "body";
        for (const THtmlAttribute& attribute : tag.attributes) {
            if (attribute.name != "background")
                shown.attributes.push_back({{}, attribute.value, attribute.name});
        }
        if (!page_.background.empty())
            shown.attributes.push_back({{}, kMappedBackground, "background"});
        AppendTag(page_.html, shown);
    }

    void Rule(const THtmlToken& tag) {
        THtmlRule rule;
        int number = 0;
        bool percent = false;
        if (ReadNumber(tag.Get("width"), number, &percent) && number > 0) {
            rule.width = number;
            rule.percent = percent;
        }
        if (ReadNumber(tag.Get("size"), number) && number > 0)
            rule.size = number;
        rule.noShade = tag.Has("noshade");
        std::string align = LowerCase(tag.Get("align"));
        if (align != "left" && align != "right")
            align = "center";
        page_.html +=
            "<div align=\"" + align + "\" style=\"margin-top: 7px; margin-bottom: 7px;\">";
        page_.html += "<img src=\"" + std::string(kMappedRulePrefix) +
                      std::to_string(page_.rules.size()) + "\"></div>";
        page_.rules.push_back(rule);
    }

    void Picture(const THtmlToken& tag) {
        THtmlPicture picture;
        picture.source = tag.Get("src");
        picture.alt = tag.Get("alt");
        int number = 0;
        bool percent = false;
        if (ReadNumber(tag.Get("width"), number, &percent) && !percent)
            picture.width = number;
        if (ReadNumber(tag.Get("height"), number, &percent) && !percent)
            picture.height = number;
        if (ReadNumber(tag.Get("border"), number))
            picture.border = number;
        picture.inLink = inLink_;
        page_.html += "<img src=\"" + std::string(kMappedPicturePrefix) +
                      std::to_string(page_.pictures.size()) + "\"";
        const std::string align = LowerCase(tag.Get("align"));
        if (!align.empty() && IsPlainName(align, false))
            page_.html += " align=\"" + align + "\"";
        page_.html += ">";
        page_.pictures.push_back(std::move(picture));
    }

    void Control(THtmlControl control) {
        page_.html += "<img src=\"" + std::string(kMappedControlPrefix) +
                      std::to_string(page_.controls.size()) + "\">";
        page_.controls.push_back(std::move(control));
    }

    void Input(const THtmlToken& tag) {
        const std::string type = LowerCase(tag.Get("type"));
        if (type == "hidden")
            return;
        THtmlControl control;
        control.value = tag.Get("value");
        control.checked = tag.Has("checked");
        ReadNumber(tag.Get("size"), control.size);
        if (type == "password") {
            control.kind = THtmlControl::Password;
        } else if (type == "radio") {
            control.kind = THtmlControl::Radio;
        } else if (type == "checkbox") {
            control.kind = THtmlControl::CheckBox;
        } else if (type == "submit") {
            control.kind = THtmlControl::Submit;
            if (!tag.Has("value"))
                control.value = kSubmitCaption;
        } else if (type == "reset") {
            control.kind = THtmlControl::Reset;
            if (!tag.Has("value"))
                control.value = kResetCaption;
        } else if (type == "button") {
            control.kind = THtmlControl::Button;
        } else {
            control.kind = THtmlControl::Text;
        }
        Control(std::move(control));
    }

    void TextArea(const THtmlToken& tag) {
        THtmlControl control;
        control.kind = THtmlControl::TextArea;
        ReadNumber(tag.Get("cols"), control.cols);
        ReadNumber(tag.Get("rows"), control.rows);
        // The content runs to the element's own end tag, which comes next.
        THtmlToken content = tokens_.Next();
        if (content.kind == THtmlToken::Text) {
            control.value = std::move(content.text);
            if (!control.value.empty() && control.value[0] == '\n')
                control.value.erase(0, 1);  // a line break right after the tag is no content
            tokens_.Next();
        }
        Control(std::move(control));
    }

    // A list shows its selected option (the last one marked so), else its first. Only the
    // options' text counts; a list ends with its end tag, another list, or a text box.
    void Select() {
        THtmlControl control;
        control.kind = THtmlControl::Select;
        int selected = -1;
        bool inOption = false;
        std::string caption;
        const auto endOption = [&] {
            if (inOption)
                control.options.push_back(CollapseSpaces(caption));
            inOption = false;
            caption.clear();
        };
        THtmlToken token = tokens_.Next();
        for (; token.kind != THtmlToken::End; token = tokens_.Next()) {
            const bool start = token.kind == THtmlToken::StartTag;
            const bool end = token.kind == THtmlToken::EndTag;
            if ((start || end) && token.name == "select") {
                token = THtmlToken();
                break;
            }
            if (start &&
                (token.name == "input" || token.name == "textarea" || token.name == "keygen"))
                break;
            if (start && token.name == "option") {
                endOption();
                inOption = true;
                if (token.Has("selected"))
                    selected = static_cast<int>(control.options.size());
            } else if ((start && token.name == "optgroup") ||
                       (end && (token.name == "option" || token.name == "optgroup"))) {
                endOption();
            } else if (token.kind == THtmlToken::Text && inOption && !token.raw) {
                caption += token.text;
            }
        }
        endOption();
        if (!control.options.empty())
            control.value = control.options[selected < 0 ? 0 : selected];
        Control(std::move(control));
        if (token.kind != THtmlToken::End)
            Token(token);
    }

    THtmlTokenizer tokens_;
    TMappedPage page_;
    std::string rawElement_;  // the last start tag's name: raw text belongs to it
    bool inLink_ = false;
    bool seenBody_ = false;
};

}  // namespace

TMappedPage MapPageHtml(std::string_view html) {
    return TMapper(html).Run();
}

}  // namespace tessel

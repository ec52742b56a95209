#include "platform/HtmlMapping.h"

#include <cctype>
#include <charconv>
#include <utility>

#include "document/Persistence.h"

namespace tessel {
namespace {

struct TTag {
    std::string name;  // lower case
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes;  // names lower case

    bool Has(std::string_view key) const {
        for (const auto& [name, value] : attributes) {
            if (name == key)
                return true;
        }
        return false;
    }
    std::string Get(std::string_view key) const {
        for (const auto& [name, value] : attributes) {
            if (name == key)
                return value;
        }
        return {};
    }
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Reads the tag that starts with the "<" at `at`. Returns the position after its ">", or
// npos when the "<" starts no tag (then it is text, as in a browser).
size_t ParseTag(std::string_view text, size_t at, TTag& tag) {
    size_t i = at + 1;
    if (i < text.size() && text[i] == '/') {
        tag.closing = true;
        ++i;
    }
    if (i >= text.size() || !IsLetter(text[i]))
        return std::string_view::npos;
    const size_t nameStart = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/') ++i;
    tag.name = LowerCase(text.substr(nameStart, i - nameStart));
    while (i < text.size()) {
        while (i < text.size() && (IsSpace(text[i]) || text[i] == '/')) ++i;
        if (i >= text.size())
            break;
        if (text[i] == '>')
            return i + 1;
        const size_t keyStart = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '=' && text[i] != '>' &&
               text[i] != '/')
            ++i;
        std::string key = LowerCase(text.substr(keyStart, i - keyStart));
        while (i < text.size() && IsSpace(text[i])) ++i;
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && IsSpace(text[i])) ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char quote = text[i];
                const size_t close = text.find(quote, i + 1);
                if (close == std::string_view::npos)
                    return std::string_view::npos;
                value = std::string(text.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const size_t valueStart = i;
                while (i < text.size() && !IsSpace(text[i]) && text[i] != '>') ++i;
                value = std::string(text.substr(valueStart, i - valueStart));
            }
        }
        if (key.empty())
            ++i;  // a stray character such as a lone quote
        else
            tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    return std::string_view::npos;
}

// A whole number at the start of an attribute, and whether a "%" follows it.
bool ReadNumber(const std::string& text, int& number, bool* percent = nullptr) {
    size_t from = 0;
    while (from < text.size() && IsSpace(text[from])) ++from;
    const char* begin = text.data() + from;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || number < 0)
        return false;
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

std::string TrimSpaces(std::string_view text) {
    size_t from = 0;
    size_t to = text.size();
    while (from < to && IsSpace(text[from])) ++from;
    while (to > from && IsSpace(text[to - 1])) --to;
    return std::string(text.substr(from, to - from));
}

class TMapper {
  public:
    explicit TMapper(std::string_view text) : text_(text), lowered_(LowerCase(text)) {}

    TMappedPage Run() {
        page_.html.reserve(text_.size() + text_.size() / 4);
        size_t at = 0;
        while (at < text_.size()) {
            const size_t lt = text_.find('<', at);
            if (lt == std::string_view::npos) {
                page_.html.append(text_.substr(at));
                break;
            }
            page_.html.append(text_.substr(at, lt - at));
            at = Markup(lt);
        }
        return std::move(page_);
    }

  private:
    // Handles the markup that starts at `lt` and returns where the text goes on.
    size_t Markup(size_t lt) {
        if (text_.compare(lt, 4, "<!--") == 0) {
            const size_t close = text_.find("-->", lt + 4);
            const size_t end = close == std::string_view::npos ? text_.size() : close + 3;
            page_.html.append(text_.substr(lt, end - lt));
            return end;
        }
        TTag tag;
        const size_t end = ParseTag(text_, lt, tag);
        if (end == std::string_view::npos) {
            page_.html += '<';
            return lt + 1;
        }
        const std::string_view raw = text_.substr(lt, end - lt);
        if (tag.closing) {
            if (tag.name == "a")
                inLink_ = false;
            page_.html.append(raw);
            return end;
        }
        if (tag.name == "script" || tag.name == "style") {
            const size_t close = FindClosing(tag.name, end);
            page_.html.append(text_.substr(lt, close - lt));
            return close;
        }
        if (tag.name == "body") {
            Body(tag);
            return end;
        } else if (tag.name == "a") {
            inLink_ = tag.Has("href");
        } else if (tag.name == "hr") {
            Rule(tag);
            return end;
        } else if (tag.name == "img") {
            Picture(tag);
            return end;
        } else if (tag.name == "input") {
            Input(tag);
            return end;
        } else if (tag.name == "textarea") {
            return TextArea(tag, end);
        } else if (tag.name == "select") {
            return Select(end);
        }
        page_.html.append(raw);
        return end;
    }

    // The start of the closing tag of `name` at or after `from`, or the end of the text.
    size_t FindClosing(const std::string& name, size_t from) const {
        const std::string closing = "</" + name;
        const size_t found = lowered_.find(closing, from);
        return found == std::string::npos ? text_.size() : found;
    }
    // Where the text goes on after the closing tag of `name` found at or after `from`.
    size_t SkipClosing(const std::string& name, size_t from) const {
        const size_t close = FindClosing(name, from);
        if (close >= text_.size())
            return close;
        const size_t gt = text_.find('>', close);
        return gt == std::string_view::npos ? text_.size() : gt + 1;
    }

    void Body(const TTag& tag) {
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
        page_.html += "<body";
        for (const auto& [name, value] : tag.attributes) {
            if (name == "background")
                continue;
            const char quote = value.find('"') == std::string::npos ? '"' : '\'';
            page_.html += " " + name + "=" + quote + value + quote;
        }
        if (!page_.background.empty())
            page_.html += std::string(" background=\"") + kMappedBackground + "\"";
        page_.html += ">";
    }

    void Rule(const TTag& tag) {
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

    void Picture(const TTag& tag) {
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
        if (!align.empty() && align.find_first_of("\"<>") == std::string::npos)
            page_.html += " align=\"" + align + "\"";
        page_.html += ">";
        page_.pictures.push_back(std::move(picture));
    }

    void Control(THtmlControl control) {
        page_.html += "<img src=\"" + std::string(kMappedControlPrefix) +
                      std::to_string(page_.controls.size()) + "\">";
        page_.controls.push_back(std::move(control));
    }

    void Input(const TTag& tag) {
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
                control.value = "Submit";
        } else if (type == "reset") {
            control.kind = THtmlControl::Reset;
            if (!tag.Has("value"))
                control.value = "Reset";
        } else if (type == "button") {
            control.kind = THtmlControl::Button;
        } else {
            control.kind = THtmlControl::Text;
        }
        Control(std::move(control));
    }

    size_t TextArea(const TTag& tag, size_t end) {
        THtmlControl control;
        control.kind = THtmlControl::TextArea;
        ReadNumber(tag.Get("cols"), control.cols);
        ReadNumber(tag.Get("rows"), control.rows);
        const size_t close = FindClosing("textarea", end);
        control.value = std::string(text_.substr(end, close - end));
        Control(std::move(control));
        return SkipClosing("textarea", end);
    }

    // A list shows its selected option, else its first; it is as wide as its widest.
    size_t Select(size_t end) {
        THtmlControl control;
        control.kind = THtmlControl::Select;
        const size_t close = FindClosing("select", end);
        int selected = -1;
        size_t at = end;
        while (true) {
            const size_t option = lowered_.find("<option", at);
            if (option == std::string::npos || option >= close)
                break;
            TTag tag;
            const size_t tagEnd = ParseTag(text_, option, tag);
            if (tagEnd == std::string_view::npos || tagEnd > close)
                break;
            size_t textEnd = text_.find('<', tagEnd);
            if (textEnd == std::string_view::npos || textEnd > close)
                textEnd = close;
            if (tag.Has("selected") && selected < 0)
                selected = static_cast<int>(control.options.size());
            control.options.push_back(TrimSpaces(text_.substr(tagEnd, textEnd - tagEnd)));
            at = textEnd;
        }
        if (!control.options.empty())
            control.value = control.options[selected < 0 ? 0 : selected];
        Control(std::move(control));
        return SkipClosing("select", end);
    }

    std::string_view text_;
    std::string lowered_;
    TMappedPage page_;
    bool inLink_ = false;
};

}  // namespace

TMappedPage MapPageHtml(std::string_view html) {
    return TMapper(html).Run();
}

}  // namespace tessel

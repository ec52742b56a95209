#include "platform/HtmlTokenizer.h"

#include "platform/CharacterReferences.h"

namespace tessel {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `word` is lower case.
bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (at > text.size() || text.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[at + i]) != word[i])
            return false;
    }
    return true;
}

// Where a part of the page stands: between tags, in the content of TITLE or TEXTAREA, or in
// an attribute value.
enum class TPart { Text, Content, Value };

// Appends `part` as a browser reads it: references decoded; between tags a NUL is dropped,
// elsewhere it becomes U+FFFD and CR LF or a lone CR becomes LF.
void AppendPart(std::string_view part, TPart where, std::string& out) {
    const bool value = where != TPart::Text;
    const std::string_view special(value ? "&\r\0" : "&\0", value ? 3 : 2);
    for (size_t i = 0; i < part.size();) {
        const char c = part[i];
        if (c == '&') {
            const size_t after = ReadCharacterReference(part, i, where == TPart::Value, out);
            if (after == i) {
                out += '&';
                ++i;
            } else {
                i = after;
            }
        } else if (c == '\r' && value) {
            out += '\n';
            i += i + 1 < part.size() && part[i + 1] == '\n' ? 2 : 1;
        } else if (c == '\0') {
            if (value)
                out += kReplacementCharacter;
            ++i;
        } else {
            size_t next = part.find_first_of(special, i);
            if (next == std::string_view::npos)
                next = part.size();
            out.append(part.substr(i, next - i));
            i = next;
        }
    }
}

std::string RawWithoutNul(std::string_view part) {
    std::string out;
    out.reserve(part.size());
    for (const char c : part) {
        if (c == '\0')
            out += kReplacementCharacter;
        else
            out += c;
    }
    return out;
}

}  // namespace

bool THtmlToken::Has(std::string_view attribute) const {
    for (const THtmlAttribute& each : attributes) {
        if (each.name == attribute)
            return true;
    }
    return false;
}

std::string THtmlToken::Get(std::string_view attribute) const {
    for (const THtmlAttribute& each : attributes) {
        if (each.name == attribute)
            return each.value;
    }
    return {};
}

THtmlToken THtmlTokenizer::Next() {
    THtmlToken token;
    if (pending_.kind != THtmlToken::End) {
        token = std::move(pending_);
        pending_ = THtmlToken();
    } else {
        token = ReadContent();
    }
    if (token.kind == THtmlToken::StartTag)
        EnterContentOf(token);
    return token;
}

THtmlToken THtmlTokenizer::ReadContent() {
    THtmlToken text;
    text.kind = THtmlToken::Text;
    if (content_ != TContent::Normal) {
        const TContent content = content_;
        content_ = TContent::Normal;
        size_t end = page_.size();
        if (content != TContent::Plain) {
            // Only the element's own end tag ends it ("</script>", "</TITLE >", "</style/>").
            const size_t after = contentOf_.size() + 2;
            for (end = page_.find("</", at_); end != std::string_view::npos;
                 end = page_.find("</", end + 1)) {
                if (StartsWithNoCase(page_, end + 2, contentOf_) && end + after < page_.size() &&
                    (IsSpace(page_[end + after]) || page_[end + after] == '/' ||
                     page_[end + after] == '>'))
                    break;
            }
            if (end == std::string_view::npos)
                end = page_.size();
        }
        const std::string_view body = page_.substr(at_, end - at_);
        at_ = end;
        if (content == TContent::Escapable) {
            AppendPart(body, TPart::Content, text.text);
        } else {
            text.raw = true;
            text.text = RawWithoutNul(body);
        }
        if (!text.text.empty())
            return text;
    }
    while (at_ < page_.size()) {
        size_t lt = page_.find('<', at_);
        if (lt == std::string_view::npos)
            lt = page_.size();
        AppendPart(page_.substr(at_, lt - at_), TPart::Text, text.text);
        at_ = lt;
        if (at_ >= page_.size())
            break;
        THtmlToken markup;
        if (ReadMarkup(markup)) {
            if (text.text.empty())
                return markup;
            pending_ = std::move(markup);
            return text;
        }
        if (at_ == lt) {
            text.text += '<';
            ++at_;
        }
    }
    return text.text.empty() ? THtmlToken() : text;
}

bool THtmlTokenizer::ReadMarkup(THtmlToken& token) {
    const size_t n = page_.size();
    const size_t i = at_ + 1;
    if (i >= n)
        return false;
    const char c = page_[i];
    // Everything up to the next ">" is a comment: "<!x>", "<?php ?>", "</ x>".
    const auto bogusComment = [&](size_t from, THtmlToken::TKind kind) {
        const size_t close = page_.find('>', from);
        token.kind = kind;
        token.text = std::string(page_.substr(
            from, close == std::string_view::npos ? std::string_view::npos : close - from));
        at_ = close == std::string_view::npos ? n : close + 1;
        return true;
    };
    if (IsAsciiLetter(c) || (c == '/' && i + 1 < n && IsAsciiLetter(page_[i + 1]))) {
        token.kind = c == '/' ? THtmlToken::EndTag : THtmlToken::StartTag;
        ReadTag(c == '/' ? i + 1 : i, token);
        if (tagComplete_)
            return true;
        at_ = n;  // a tag cut off by the end of the page shows nothing
        return false;
    }
    if (c == '/') {
        if (i + 1 >= n)
            return false;
        if (page_[i + 1] == '>') {
            at_ = i + 2;
            return false;
        }
        return bogusComment(i + 1, THtmlToken::Comment);
    }
    if (c == '?')
        return bogusComment(i, THtmlToken::Comment);
    if (c != '!')
        return false;
    if (page_.compare(i + 1, 2, "--") != 0) {
        if (StartsWithNoCase(page_, i + 1, "doctype"))
            return bogusComment(i + 8, THtmlToken::Doctype);
        return bogusComment(i + 1, THtmlToken::Comment);
    }
    token.kind = THtmlToken::Comment;
    const size_t from = i + 3;
    // "<!-->" and "<!--->" are whole comments.
    if (from < n && page_[from] == '>') {
        at_ = from + 1;
        return true;
    }
    if (page_.compare(from, 2, "->") == 0) {
        at_ = from + 2;
        return true;
    }
    for (size_t dashes = page_.find("--", from); dashes != std::string_view::npos;
         dashes = page_.find("--", dashes + 1)) {
        size_t close = std::string_view::npos;
        if (page_.compare(dashes + 2, 1, ">") == 0)
            close = dashes + 3;
        else if (page_.compare(dashes + 2, 2, "!>") == 0)
            close = dashes + 4;
        if (close != std::string_view::npos) {
            token.text = std::string(page_.substr(from, dashes - from));
            at_ = close;
            return true;
        }
    }
    token.text = std::string(page_.substr(from));
    at_ = n;
    return true;
}

void THtmlTokenizer::ReadTag(size_t nameStart, THtmlToken& token) {
    const size_t n = page_.size();
    tagComplete_ = false;
    size_t i = nameStart;
    for (; i < n && !IsSpace(page_[i]) && page_[i] != '/' && page_[i] != '>'; ++i) {
        if (page_[i] == '\0')
            token.name += kReplacementCharacter;
        else
            token.name += Lower(page_[i]);
    }
    token.spelling = std::string(page_.substr(nameStart, i - nameStart));
    while (true) {
        while (i < n && IsSpace(page_[i])) ++i;
        if (i >= n)
            return;
        if (page_[i] == '>') {
            at_ = i + 1;
            tagComplete_ = true;
            return;
        }
        if (page_[i] == '/') {
            if (i + 1 < n && page_[i + 1] == '>') {
                token.selfClosing = true;
                at_ = i + 2;
                tagComplete_ = true;
                return;
            }
            ++i;
            continue;
        }
        // A name runs to a space, "/", ">" or "="; an "=" first is part of it.
        const size_t nameFrom = i;
        for (++i;
             i < n && !IsSpace(page_[i]) && page_[i] != '/' && page_[i] != '>' && page_[i] != '=';
             ++i) {
        }
        std::string spelling(page_.substr(nameFrom, i - nameFrom));
        std::string name = spelling;
        for (char& c : name) c = Lower(c);
        size_t look = i;
        while (look < n && IsSpace(page_[look])) ++look;
        std::string value;
        if (look < n && page_[look] == '=') {
            i = look + 1;
            while (i < n && IsSpace(page_[i])) ++i;
            if (i >= n)
                return;
            if (page_[i] == '"' || page_[i] == '\'') {
                const size_t close = page_.find(page_[i], i + 1);
                if (close == std::string_view::npos)
                    return;
                value = ReadAttributeValue(i + 1, close);
                i = close + 1;
            } else {
                const size_t from = i;
                while (i < n && !IsSpace(page_[i]) && page_[i] != '>') ++i;
                value = ReadAttributeValue(from, i);
            }
        } else {
            i = look;
        }
        if (!token.Has(name))
            token.attributes.push_back({std::move(name), std::move(value), std::move(spelling)});
    }
}

std::string THtmlTokenizer::ReadAttributeValue(size_t from, size_t to) const {
    std::string value;
    AppendPart(page_.substr(from, to - from), TPart::Value, value);
    return value;
}

void THtmlTokenizer::EnterContentOf(const THtmlToken& tag) {
    static constexpr std::string_view kEscapable[] = {"title", "textarea"};
    // A viewer that runs no scripts shows NOSCRIPT as ordinary content.
    static constexpr std::string_view kRaw[] = {"script", "style",   "xmp",
                                                "iframe", "noembed", "noframes"};
    for (const std::string_view name : kEscapable) {
        if (tag.name == name)
            content_ = TContent::Escapable;
    }
    for (const std::string_view name : kRaw) {
        if (tag.name == name)
            content_ = TContent::Raw;
    }
    if (tag.name == "plaintext")
        content_ = TContent::Plain;
    contentOf_ = tag.name;
}

}  // namespace tessel

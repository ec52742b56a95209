#include "dialogs/core/HtmlEntities.h"

#include <optional>

#include "html/Routines.h"

namespace tessel {

namespace {

struct TNamedEntity {
    std::string_view name;
    std::string_view text;
};

constexpr TNamedEntity kNamedEntities[] = {
    {"amp", "&"}, {"AMP", "&"},   {"lt", "<"},    {"LT", "<"},   {"gt", ">"},
    {"GT", ">"},  {"quot", "\""}, {"QUOT", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"},
};

constexpr char32_t kLastCodePoint = 0x10FFFF;
// Room for "#x" and leading zeros before the longest number.
constexpr size_t kLongestReference = 16;

bool IsSurrogate(char32_t code) {
    return code >= 0xD800 && code <= 0xDFFF;
}

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// The character of "#NN" or "#xHH" (the reference between "&" and ";"), if it is one.
std::optional<char32_t> NumericReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#')
        return std::nullopt;
    int base = 10;
    std::string_view digits = body.substr(1);
    if (digits[0] == 'x' || digits[0] == 'X') {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return std::nullopt;
    char32_t code = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        code = code * base + static_cast<char32_t>(digit);
        if (code > kLastCodePoint)
            return std::nullopt;
    }
    if (code == 0 || IsSurrogate(code))
        return std::nullopt;
    return code;
}

// Appends what the reference `body` stands for; false when it stands for nothing.
bool AppendReference(std::string_view body, std::string& out) {
    for (const TNamedEntity& entity : kNamedEntities) {
        if (body == entity.name) {
            out += entity.text;
            return true;
        }
    }
    if (const std::optional<char32_t> code = NumericReference(body)) {
        AppendUtf8(out, *code);
        return true;
    }
    return false;
}

}  // namespace

std::string DecodeHtmlEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t amp = text.find('&', pos);
        if (amp == std::string_view::npos)
            break;
        out += text.substr(pos, amp - pos);
        // References are short; looking no further keeps a long line of bare "&" cheap.
        const std::string_view rest = text.substr(amp + 1, kLongestReference + 1);
        const size_t semicolon = rest.find(';');
        if (semicolon != std::string_view::npos &&
            AppendReference(rest.substr(0, semicolon), out)) {
            pos = amp + 1 + semicolon + 1;
        } else {
            out += '&';
            pos = amp + 1;
        }
    }
    out += text.substr(pos);
    return out;
}

}  // namespace tessel

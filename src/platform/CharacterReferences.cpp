#include "platform/CharacterReferences.h"

#include <algorithm>
#include <iterator>

#include "html/Routines.h"
#include "platform/PageCharset.h"

namespace tessel {
namespace {

struct TReferenceName {
    std::string_view name;
    std::string_view text;
};

constexpr TReferenceName kReferenceNames[] = {
#include "platform/CharacterReferenceNames.inc"
};

constexpr size_t kLongestName = 32;  // "CounterClockwiseContourIntegral;"
constexpr char32_t kReplacement = 0xFFFD;

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiAlphanumeric(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexDigit(char c) {
    if (IsAsciiDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const TReferenceName* FindName(std::string_view name) {
    const auto* end = std::end(kReferenceNames);
    const auto* found = std::lower_bound(
        std::begin(kReferenceNames), end, name,
        [](const TReferenceName& entry, std::string_view key) { return entry.name < key; });
    return found != end && found->name == name ? found : nullptr;
}

// "&#" followed by decimal digits, or "&#x" by hexadecimal ones; the ";" may be missing.
size_t ReadNumeric(std::string_view text, size_t at, std::string& out) {
    size_t i = at + 2;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex)
        ++i;
    const size_t digitsStart = i;
    char32_t code = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexDigit(text[i]) : (IsAsciiDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            break;
        // Past the last code point the number only needs to stay too large.
        code = std::min<char32_t>(code * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (i == digitsStart)
        return at;
    if (i < text.size() && text[i] == ';')
        ++i;
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = kReplacement;
    else if (code >= 0x80 && code < 0xA0)
        code = Windows1252CodePoint(static_cast<unsigned char>(code));
    AppendUtf8(out, code);
    return i;
}

}  // namespace

size_t ReadCharacterReference(std::string_view text, size_t at, bool inAttribute,
                              std::string& out) {
    if (at + 1 >= text.size())
        return at;
    if (text[at + 1] == '#')
        return ReadNumeric(text, at, out);
    size_t run = at + 1;
    while (run < text.size() && run - at <= kLongestName && IsAsciiAlphanumeric(text[run])) ++run;
    const std::string_view letters = text.substr(at + 1, run - at - 1);
    if (letters.empty())
        return at;
    if (run < text.size() && text[run] == ';') {
        if (const TReferenceName* found = FindName(text.substr(at + 1, run - at))) {
            out += found->text;
            return run + 1;
        }
    }
    // The longest old name that starts the letters, such as "not" in "&notit;".
    for (size_t length = letters.size(); length > 0; --length) {
        const TReferenceName* found = FindName(letters.substr(0, length));
        if (found == nullptr)
            continue;
        const size_t after = at + 1 + length;
        if (inAttribute && after < text.size() &&
            (IsAsciiAlphanumeric(text[after]) || text[after] == '='))
            return at;
        out += found->text;
        return after;
    }
    return at;
}

}  // namespace tessel

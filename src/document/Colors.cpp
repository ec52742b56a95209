#include "document/Colors.h"

#include <array>
#include <cstdio>

#include "document/Exceptions.h"
#include "document/Persistence.h"

namespace tessel {

namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr TColor SystemColor(int n) { return static_cast<TColor>(0x80000000u + static_cast<unsigned>(n)); }

constexpr std::array<NamedColor, 42> kColorNames{{
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clScrollBar", SystemColor(0)},
    {"clBackground", SystemColor(1)},
    {"clActiveCaption", SystemColor(2)},
    {"clInactiveCaption", SystemColor(3)},
    {"clMenu", SystemColor(4)},
    {"clWindow", SystemColor(5)},
    {"clWindowFrame", SystemColor(6)},
    {"clMenuText", SystemColor(7)},
    {"clWindowText", SystemColor(8)},
    {"clCaptionText", SystemColor(9)},
    {"clActiveBorder", SystemColor(10)},
    {"clInactiveBorder", SystemColor(11)},
    {"clAppWorkSpace", SystemColor(12)},
    {"clHighlight", SystemColor(13)},
    {"clHighlightText", SystemColor(14)},
    {"clBtnFace", SystemColor(15)},
    {"clBtnShadow", SystemColor(16)},
    {"clGrayText", SystemColor(17)},
    {"clBtnText", SystemColor(18)},
    {"clInactiveCaptionText", SystemColor(19)},
    {"clBtnHighlight", SystemColor(20)},
    {"cl3DDkShadow", SystemColor(21)},
    {"cl3DLight", SystemColor(22)},
    {"clInfoText", SystemColor(23)},
    {"clInfoBk", SystemColor(24)},
    {"clNone", clNone},
}};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Integer text as the platform's string-to-integer reads it: optional sign, then decimal
// digits or "$"/"0x" and hexadecimal digits; the result must fit 32 bits.
std::optional<TColor> ParseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int d = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        // Hexadecimal may use all 32 bits; decimal must fit a signed 32-bit integer.
        if (value > (base == 16 ? 0xFFFFFFFFull : 0x80000000ull)) return std::nullopt;
    }
    if (base == 10 && !negative && value > 0x7FFFFFFFull) return std::nullopt;
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<TColor>(bits);
}

}  // namespace

std::string ColorToString(TColor color) {
    for (const NamedColor& c : kColorNames) {
        if (c.value == color) {
            return c.name;
        }
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
    return buffer;
}

std::optional<TColor> TryStringToColor(std::string_view text) {
    for (const NamedColor& c : kColorNames) {
        if (SameText(c.name, text)) {
            return c.value;
        }
    }
    return ParseInteger(text);
}

TColor StringToColor(std::string_view text) {
    if (std::optional<TColor> color = TryStringToColor(text)) {
        return *color;
    }
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace tessel

#include "document/Colors.h"

#include <array>
#include <cstdio>

#include "document/Exceptions.h"
#include "document/Numbers.h"
#include "document/Persistence.h"

namespace tessel {

namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr TColor SystemColor(int n) {
    return static_cast<TColor>(0x80000000u + static_cast<unsigned>(n));
}

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
    return TryStrToInt(text);
}

TColor StringToColor(std::string_view text) {
    if (std::optional<TColor> color = TryStringToColor(text)) {
        return *color;
    }
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace tessel

#include "themes/core/ColorRules.h"

#include <cstdio>

#include "document/Numbers.h"

namespace tessel {

namespace {

constexpr int kGridBorder = 3;

}  // namespace

std::optional<int> DecimalComponent(std::string_view text) {
    text = text.substr(0, 3);
    if (text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (!IsDecimalKey(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 255) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> HexComponent(std::string_view text) {
    if (text.size() != 2) {
        return std::nullopt;
    }
    const int high = HexDigitValue(text[0]);
    const int low = HexDigitValue(text[1]);
    if (high < 0 || low < 0) {
        return std::nullopt;
    }
    return high * 16 + low;
}

std::string ComponentToHex(int value) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return digits;
}

bool IsDecimalKey(char key) {
    return key >= '0' && key <= '9';
}

bool IsHexKey(char key) {
    return HexDigitValue(key) >= 0;
}

TPaletteCell PaletteCellAt(int x, int y) {
    // C++ division truncates toward zero, as the grid's border rule wants.
    return {(y - kGridBorder) / kPaletteCellSize, (x - kGridBorder) / kPaletteCellSize};
}

}  // namespace tessel

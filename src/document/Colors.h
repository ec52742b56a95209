#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// A colour in the platform layout: red in bits 0-7, green 8-15, blue 16-23. Values from
// 0x80000000 up name system colours; 0x1FFFFFFF is clNone.
using TColor = int32_t;

constexpr TColor RGB(int red, int green, int blue) {
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
    return c & 0xFF;
}
constexpr int GetGValue(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c) {
    return (c >> 16) & 0xFF;
}

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clMaroon = RGB(128, 0, 0);
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clOlive = RGB(128, 128, 0);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clPurple = RGB(128, 0, 128);
constexpr TColor clTeal = RGB(0, 128, 128);
constexpr TColor clGray = RGB(128, 128, 128);
constexpr TColor clSilver = RGB(192, 192, 192);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clLime = RGB(0, 255, 0);
constexpr TColor clYellow = RGB(255, 255, 0);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clFuchsia = RGB(255, 0, 255);
constexpr TColor clAqua = RGB(0, 255, 255);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clSystemColorBase = static_cast<TColor>(0x80000000u);

// The marker a new heading or paragraph carries: renders as "#000005", which means
// "no colour chosen".
constexpr TColor clNoFontColor = 0x00050000;

// The colour's name from the colour table, or "$" and eight upper-case hex digits.
std::string ColorToString(TColor color);
// A colour name, "$" + hexadecimal, or a decimal number; nothing when it is none of these.
std::optional<TColor> TryStringToColor(std::string_view text);
// As TryStringToColor, failing with EConvertError.
TColor StringToColor(std::string_view text);

}  // namespace tessel

#include "pagerules/PictureSizes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "document/Numbers.h"

namespace tessel {

namespace {

constexpr int kMarginTableWidth = 600;
constexpr int kWidestWithoutTable = 1200;

// a * b / c rounded to the nearest whole number, halves away from zero; nothing when it
// does not fit an int. All three are positive or zero here, c above zero.
std::optional<int> ScaledRounded(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t result = (product + c / 2) / c;
    if (result > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(result);
}

}  // namespace

std::optional<int> WidestPictureShown(const std::string& indentMargin) {
    if (indentMargin == "0")
        return kWidestWithoutTable;
    const std::optional<std::int32_t> margin = TryStrToInt(indentMargin);
    if (!margin)
        return std::nullopt;
    const std::int64_t column = static_cast<std::int64_t>(kMarginTableWidth) - *margin;
    if (column < 1 || column > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(column);
}

std::optional<TPictureSize> ScaledPictureSize(TPictureSize picture, int widest) {
    if (widest < 1 || picture.width <= widest || picture.height < 1)
        return std::nullopt;
    const std::optional<int> height = ScaledRounded(picture.height, widest, picture.width);
    return TPictureSize{widest, std::max(1, height.value_or(1))};
}

std::string ScaledPictureName(std::string_view name, int width) {
    const std::string suffix = "-" + std::to_string(width);
    const size_t dot = name.find_last_of('.');
    // A name that is all extension (".jpg") keeps it as its name.
    if (dot == std::string_view::npos || dot == 0)
        return std::string(name) + suffix;
    return std::string(name.substr(0, dot)) + suffix + std::string(name.substr(dot));
}

std::string FileSizeText(std::uintmax_t bytes) {
    constexpr std::uintmax_t kKilo = 1024;
    if (bytes < kKilo)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    if (bytes < kKilo * kKilo - kKilo / 2)
        return std::to_string((bytes + kKilo / 2) / kKilo) + " KB";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB",
                  static_cast<double>(bytes) / static_cast<double>(kKilo * kKilo));
    return text;
}

std::optional<int> ProportionalSide(std::string_view typed, int typedSide, int otherSide) {
    if (typedSide < 1 || otherSide < 1)
        return std::nullopt;
    while (!typed.empty() && typed.front() == ' ') typed.remove_prefix(1);
    while (!typed.empty() && typed.back() == ' ') typed.remove_suffix(1);
    if (typed.empty() || typed.front() < '0' || typed.front() > '9')
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
    if (error != std::errc() || end != typed.data() + typed.size())
        return std::nullopt;
    return ScaledRounded(value, otherSide, typedSide);
}

}  // namespace tessel

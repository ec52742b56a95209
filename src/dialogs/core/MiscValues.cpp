#include "dialogs/core/MiscValues.h"

#include <algorithm>
#include <cctype>

namespace tessel {

TMetaTag SplitMetaLine(std::string_view line) {
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        return {"", std::string(line)};
    }
    return {std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
}

std::string MetaLine(const TMetaTag& tag) {
    return tag.Name + '\t' + tag.Content;
}

int MetaNameIndex(std::string_view name) {
    for (size_t i = 0; i < kMetaNames.size(); ++i) {
        if (name == kMetaNames[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool IsMetaTagAcceptable(const TMetaTag& tag) {
    return !tag.Content.empty();
}

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::string FontFamilyName(std::string_view name) {
    if (name.ends_with(']')) {
        const size_t open = name.rfind(" [");
        if (open != std::string_view::npos && open > 0)
            name = name.substr(0, open);
    }
    return std::string(name);
}

std::vector<std::string> FontFamilyNames(const std::vector<std::string>& installed) {
    std::vector<std::string> families;
    for (const std::string& name : installed) {
        std::string family = FontFamilyName(name);
        const bool listed =
            std::any_of(families.begin(), families.end(),
                        [&](const std::string& f) { return SameLetters(f, family); });
        if (!listed && !family.empty())
            families.push_back(std::move(family));
    }
    return families;
}

int FontSizeIndex(int points) {
    for (size_t i = 0; i < kFontSizes.size(); ++i) {
        if (kFontSizes[i].Points == points) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ApplyFontSize(TFontValue& font, int index) {
    if (index >= 0 && index < static_cast<int>(kFontSizes.size())) {
        font.Size = kFontSizes[index].Points;
    }
}

}  // namespace tessel

#include "dialogs/core/MiscValues.h"

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

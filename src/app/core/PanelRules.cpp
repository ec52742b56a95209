#include "app/core/PanelRules.h"

#include <charconv>
#include <cmath>

namespace tessel {

std::string LinkEntry(bool email, std::string_view address, std::string_view text) {
    return std::string(email ? "mailto:" : "") + std::string(address) + "\t" + std::string(text);
}

TLinkEntryParts SplitLinkEntry(std::string_view entry) {
    TLinkEntryParts parts;
    std::string rest(entry);
    if (rest.starts_with("mailto:")) {
        parts.email = true;
        rest.erase(0, 7);
    }
    const size_t tab = rest.find('\t');
    if (tab == std::string::npos) {
        parts.text = rest;
    } else {
        parts.address = rest.substr(0, tab);
        parts.text = rest.substr(tab + 1);
    }
    return parts;
}

int LinePreviewWidth(int percent, int fullWidth) {
    return static_cast<int>(std::nearbyint(static_cast<double>(percent) * fullWidth / 100.0));
}

int LinePreviewHeight(int sizeIndex) {
    return 3 * (sizeIndex + 1);
}

int CenteredOffset(int boxSize, int controlSize) {
    return controlSize <= boxSize ? (boxSize - controlSize) / 2 : 12;
}

int SettingToInt(const std::string* text, int fallback) {
    if (text == nullptr || text->empty())
        return fallback;
    int value = 0;
    const char* first = text->data();
    const char* last = first + text->size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last ? value : fallback;
}

}  // namespace tessel

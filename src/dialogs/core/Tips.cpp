#include "dialogs/core/Tips.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessel {
namespace {

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

TTips TTips::FromText(const std::string& text) {
    TTips tips;
    std::string line;
    auto flush = [&] {
        if (!IsBlank(line))
            tips.lines_.push_back(line);
        line.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            flush();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    flush();
    return tips;
}

std::optional<TTips> TTips::LoadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return FromText(text);
}

const std::string& TTips::Draw(const TRandomBelow& random) const {
    if (lines_.empty())
        throw std::logic_error("no tips to draw from");
    const int r = random(Count());
    if (r < 0 || r >= Count())
        throw std::out_of_range("random tip index out of range");
    return lines_[static_cast<size_t>(r)];
}

std::string TipsLoadFailureText(const std::string& programFolder) {
    return "Could not load tips file! Please make sure Tips.txt is in the application folder of " +
           programFolder + ".";
}

std::string TipDayText(bool showAtStart) {
    return showAtStart ? "1" : "0";
}

}  // namespace tessel

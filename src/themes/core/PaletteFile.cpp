#include "themes/core/PaletteFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "document/TextLines.h"
#include "html/Routines.h"
#include "platform/AtomicFile.h"

namespace tessel {

namespace {

constexpr size_t kShortestColourLine = 4;
constexpr size_t kLongestComponent = 3;

bool EndsWithPaletteExtension(const std::string& fileName) {
    const std::string_view extension = kPaletteExtension;
    if (fileName.size() <= extension.size()) {
        return false;
    }
    return std::equal(extension.begin(), extension.end(), fileName.end() - extension.size(),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

bool ParsePaletteLine(std::string_view line, TColor& colour) {
    if (line.size() < kShortestColourLine || !IsDigitsAndSpaces(line)) {
        return false;
    }
    int components[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    int count = 0;
    int position = 1;
    while (position != 0 && count < 3) {
        const std::string token = NextToken(line, " ", position);
        // Empty tokens come from doubled spaces; longer numbers are not components.
        if (token.empty() || token.size() > kLongestComponent) {
            continue;
        }
        components[count++] = std::min(std::stoi(token), 255);
    }
    if (count == 0) {
        return false;
    }
    colour = RGB(components[0], components[1], components[2]);
    return true;
}

TPalette ParsePalette(std::string_view text) {
    TPalette palette;
    palette.fill(clWhite);
    size_t index = 0;
    for (const std::string& line : SplitLines(text)) {
        if (index == palette.size()) {
            break;
        }
        if (ParsePaletteLine(line, palette[index])) {
            ++index;
        }
    }
    return palette;
}

TPalette ReadPaletteFile(const std::string& path) {
    return ParsePalette(ReadWholeFile(path));
}

std::string PaletteFolder(const std::string& programFolder) {
    std::string folder = programFolder;
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    return folder + "/Palettes/";
}

std::vector<TPaletteEntry> ListPalettes(const std::string& folder) {
    std::vector<TPaletteEntry> palettes;
    std::error_code error;
    std::filesystem::directory_iterator files(folder, error);
    if (error) {
        return palettes;
    }
    const size_t extensionLength = std::string_view(kPaletteExtension).size();
    for (const auto& file : files) {
        const std::string fileName = file.path().filename().string();
        if (!EndsWithPaletteExtension(fileName) || !file.is_regular_file(error)) {
            continue;
        }
        palettes.push_back({fileName.substr(0, fileName.size() - extensionLength), fileName});
    }
    std::sort(palettes.begin(), palettes.end(), [](const auto& a, const auto& b) {
        const std::string left = LowerCase(a.FileName);
        const std::string right = LowerCase(b.FileName);
        return left != right ? left < right : a.FileName < b.FileName;
    });
    return palettes;
}

}  // namespace tessel

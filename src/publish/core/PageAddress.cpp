#include "publish/core/PageAddress.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tessel {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// RFC 3986 section 3.3: what a path segment may hold as it is.
bool StandsInPath(unsigned char c) {
    return std::isalnum(c) != 0 ||
           std::string_view("-._~!$&'()*+,;=:@").find(static_cast<char>(c)) !=
               std::string_view::npos;
}

std::string Encoded(std::string_view segment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : segment) {
        const auto c = static_cast<unsigned char>(ch);
        if (StandsInPath(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace

std::string PageFileName(const std::vector<std::string>& paths) {
    const auto page = std::find_if(paths.rbegin(), paths.rend(), [](const std::string& path) {
        return EndsWithNoCase(path, ".html") || EndsWithNoCase(path, ".htm");
    });
    return page == paths.rend() ? std::string() : std::filesystem::path(*page).filename().string();
}

std::string PageAddress(std::string_view folderAddress, std::string_view fileName) {
    const std::string_view folder = Trimmed(folderAddress);
    if (folder.empty()) {
        return {};
    }
    std::string address(folder);
    if (address.find("://") == std::string::npos) {
        address.insert(0, "http://");
    }
    if (fileName.empty()) {
        return address;
    }
    if (address.back() != '/') {
        address += '/';
    }
    return address + Encoded(fileName);
}

}  // namespace tessel

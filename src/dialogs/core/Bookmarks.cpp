#include "dialogs/core/Bookmarks.h"

#include <filesystem>
#include <system_error>

#include "dialogs/core/HtmlEntities.h"
#include "document/Exceptions.h"
#include "document/TextLines.h"
#include "html/Routines.h"
#include "platform/AtomicFile.h"
#include "platform/RegistryStore.h"

namespace tessel {

namespace {

constexpr std::string_view kLinkMarker = "HREF=\"";

}  // namespace

std::string NetscapeBookmarkPath(const TRegistryReader& readValue) {
    const std::string key = kNetscapeKey;
    std::string path = readValue(key + "\\Bookmark List", "File Location");
    if (!path.empty()) {
        return path;
    }
    const std::string user = readValue(key + "\\Biff", "CurrentUser");
    std::string installFolder = readValue(key + "\\Main", "Install Directory");
    const size_t communicator = installFolder.find("Communicator");
    if (communicator != std::string::npos) {
        installFolder.erase(communicator);
    }
    return installFolder + "Users/" + user + "/bookmark.htm";
}

TRegistryReader RegistryReaderOf(const TRegistryStore& store) {
    return [store](const std::string& key, const std::string& valueName) {
        return store.ReadString(key, valueName);
    };
}

void AppendLineLinks(std::string_view line, std::vector<std::string>& links) {
    int start = 1;
    for (;;) {
        const int found = PosWild(line, kLinkMarker, -start);
        if (found == 0) {
            return;
        }
        const size_t linkStart = static_cast<size_t>(found - 1) + kLinkMarker.size();
        const size_t linkEnd = line.find('"', linkStart);
        if (linkEnd == std::string_view::npos) {
            return;
        }
        // The file is HTML: "&amp;" in an address stands for "&".
        links.push_back(DecodeHtmlEntities(line.substr(linkStart, linkEnd - linkStart)));
        // Go on after the closing quote.
        start = static_cast<int>(linkEnd) + 2;
    }
}

bool ReadBookmarkFile(const std::string& path, std::vector<std::string>& links) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::string text;
    try {
        text = ReadWholeFile(path);
    } catch (const ETesselError&) {
        return false;
    }
    for (const std::string& line : SplitLines(text)) {
        AppendLineLinks(line, links);
    }
    return true;
}

}  // namespace tessel

// libFuzzer harness for the Netscape bookmark file reader: any bookmark.htm. Reading must not
// crash or hang, and reading the same file twice finds the same links.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "dialogs/core/Bookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = tessel::fuzz::WriteInput(data, size, ".htm");
    std::vector<std::string> links;
    std::vector<std::string> again = {"kept"};
    if (!tessel::ReadBookmarkFile(path, links) || !tessel::ReadBookmarkFile(path, again) ||
        again.size() != links.size() + 1 ||
        !std::equal(links.begin(), links.end(), again.begin() + 1)) {
        std::abort();
    }
    return 0;
}

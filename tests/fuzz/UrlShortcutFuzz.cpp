// libFuzzer harness for reading the address of an Internet shortcut (.url favourite): any
// file. The address is a profile value; reading it must not crash or hang, and what comes
// back is one line of the file.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzFile.h"
#include "platform/IniProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = tessel::fuzz::WriteInput(data, size, ".url");
    const std::string address =
        tessel::GetPrivateProfileString("InternetShortcut", "URL", "", path);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (address.find('\n') != std::string::npos || input.find(address) == std::string_view::npos) {
        std::abort();
    }
    tessel::GetPrivateProfileInt("InternetShortcut", "IconIndex", 0, path);
    return 0;
}

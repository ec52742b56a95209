// libFuzzer harness for the component stream reader and the dump: no input may crash,
// hang or exhaust memory, and whatever the reader accepts must write back and read again
// to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/Stream.h"
#include "document/StreamDump.h"
#include "themes/core/WebTheme.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tessel::RegisterThemeStoreClass();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        tessel::DumpComponentStream(bytes);
    } catch (const tessel::EStreamError&) {
    }
    std::unique_ptr<tessel::TComponent> root;
    try {
        root = tessel::ReadComponent(bytes);
    } catch (const tessel::EStreamError&) {
        return 0;
    }
    const std::string written = tessel::WriteComponent(*root);
    std::unique_ptr<tessel::TComponent> again = tessel::ReadComponent(written);
    if (tessel::WriteComponent(*again) != written) {
        std::abort();
    }
    return 0;
}

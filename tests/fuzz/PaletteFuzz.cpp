// libFuzzer harness for palette files: any file of the palette folder. Reading must not
// crash or hang; a line that is taken as a colour is one that the parser calls a colour line.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "themes/core/PaletteFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = tessel::fuzz::WriteInput(data, size, ".pal");
    const tessel::TPalette fromFile = tessel::ReadPaletteFile(path);
    const tessel::TPalette fromText =
        tessel::ParsePalette(std::string_view(reinterpret_cast<const char*>(data), size));
    if (fromFile != fromText) {
        std::abort();
    }
    for (const tessel::TColor colour : fromFile) {
        if (colour < 0 || colour > 0xFFFFFF) {
            std::abort();
        }
    }
    return 0;
}

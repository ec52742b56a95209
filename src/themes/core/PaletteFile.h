#pragma once

// Palette files: plain text files "<name>.pal" in the program's Palettes folder, one colour
// per line as three decimal numbers (red, green, blue) separated by spaces. Lines that are
// not colour lines (headers, names, blank lines) are skipped, so files of other programs
// that use the same layout can be read too.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "document/Colors.h"

namespace tessel {

inline constexpr int kPaletteColumns = 16;
inline constexpr int kPaletteSize = kPaletteColumns * kPaletteColumns;
inline constexpr const char* kDefaultPaletteName = "Web Palette";
inline constexpr const char* kPaletteExtension = ".pal";

using TPalette = std::array<TColor, kPaletteSize>;

// The palette the colour picker shows. Every picker of a run shares one table, so a picker
// opens with the palette that was loaded last.
struct TPaletteTable {
    TPalette Colors{};
    bool Loaded = false;  // set by the first successful load, never reset
};

// A palette as the palette list offers it: its name and the file it is read from.
struct TPaletteEntry {
    std::string Name;
    std::string FileName;

    bool operator==(const TPaletteEntry&) const = default;
};

// Reads one line into `colour`. A colour line is longer than 3 characters and holds only
// spaces and digits; its first three numbers of 1 to 3 digits are red, green and blue
// (above 255 counts as 255), longer numbers are skipped. Components the line does not
// give keep their value in `colour`. False, with `colour` unchanged, for any other line
// and for a line that gives no component at all.
bool ParsePaletteLine(std::string_view line, TColor& colour);

// Every entry white, then one entry per colour line in file order; at most 256 are used.
TPalette ParsePalette(std::string_view text);

// Reads a palette file; throws ETesselError "Cannot open file %s" when it cannot be read.
TPalette ReadPaletteFile(const std::string& path);

// The palette folder below the program folder (which may or may not end in "/").
std::string PaletteFolder(const std::string& programFolder);

// The palette files of `folder` ("*.pal", the extension in any case), sorted by name
// without regard to case; a missing folder gives none.
std::vector<TPaletteEntry> ListPalettes(const std::string& folder);

}  // namespace tessel

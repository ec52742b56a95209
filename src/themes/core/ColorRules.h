#pragma once

// The colour picker's rules that need no window: reading its component edits and finding
// the palette cell under the mouse.

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

inline constexpr int kPaletteCellSize = 15;

// The value a decimal component edit holds: its first 3 characters, all digits and below
// 256. Nothing when the edit must be set back to its scroll bar.
std::optional<int> DecimalComponent(std::string_view text);

// The value a hexadecimal component edit holds when it loses the focus: exactly two
// hexadecimal digits. Nothing when the edit must be set back to its scroll bar.
std::optional<int> HexComponent(std::string_view text);

// A component as the hexadecimal edits show it: two upper-case digits.
std::string ComponentToHex(int value);

// The keys the edits accept besides Backspace.
bool IsDecimalKey(char key);
bool IsHexKey(char key);

// The palette cell under a click at (x, y) in the grid, counted from the 3-pixel border with
// division truncated toward zero, so the border belongs to row and column 0.
struct TPaletteCell {
    int Row = 0;
    int Column = 0;

    bool IsInside() const { return Row < 16 && Column < 16; }
    int Index() const { return Row * 16 + Column; }
};
TPaletteCell PaletteCellAt(int x, int y);

}  // namespace tessel

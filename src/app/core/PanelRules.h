#pragma once

// The rules of the editor panels that need no widget: how list lines are built and split,
// and how the line preview and the picture box are measured.

#include <string>
#include <string_view>
#include <vector>

#include "document/TextLines.h"

namespace tessel {

// A drop-box entry: "mailto:" (for an e-mail link) + address + TAB + text.
std::string LinkEntry(bool email, std::string_view address, std::string_view text);

struct TLinkEntryParts {
    bool email = false;
    std::string address;
    std::string text;
};
// An entry loaded back into the edits: one that starts with "mailto:" is an e-mail link and
// loses that prefix; then the part before the first TAB is the address and the rest the text
// (no TAB: no address, all of it is the text). A "mailto:" further on is part of the address
// or the text, and nothing is cut from an entry that does not start with it.
TLinkEntryParts SplitLinkEntry(std::string_view entry);

// The line preview: position percent of the full width, halves rounded to the even
// neighbour (5 % of 250 is 12, 15 % is 38).
int LinePreviewWidth(int percent, int fullWidth);
// Thickness choice 0 to 5 as preview height: 3, 6, ... 18 pixels.
int LinePreviewHeight(int sizeIndex);

// Offset that centres a control in a box, or 12 when it does not fit.
int CenteredOffset(int boxSize, int controlSize);

// A decimal setting text; `fallback` when it is missing or not a number.
int SettingToInt(const std::string* text, int fallback);

}  // namespace tessel

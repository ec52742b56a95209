#pragma once

// The values the meta tag, font and bookmark dialog exchanges with the editor panels, and
// the rules about them that need no window.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "html/Routines.h"

namespace tessel {

// --- Meta tags ------------------------------------------------------------------------

// One line of the page's meta list: name, TAB, content.
struct TMetaTag {
    std::string Name;
    std::string Content;

    bool operator==(const TMetaTag&) const = default;
};

inline constexpr std::array<const char*, 5> kMetaNames = {"Description", "Keywords", "Pics-Label",
                                                          "Expires", "Reply-to"};

// Splits a meta list line at its first TAB; a line without one is all content.
TMetaTag SplitMetaLine(std::string_view line);
std::string MetaLine(const TMetaTag& tag);
// The index of `name` in kMetaNames (compared with case), or -1.
int MetaNameIndex(std::string_view name);
// A tag may be stored only with some content.
bool IsMetaTagAcceptable(const TMetaTag& tag);

// --- Font names ---------------------------------------------------------------------

// A page names a font by its family, as a visitor's browser knows it. The font system names
// a family that several foundries make "Family [Foundry]"; this is the family alone.
std::string FontFamilyName(std::string_view name);

// The names to offer for the installed fonts: families only, each once (the first spelling
// of names that differ only in letter case), in the given order.
std::vector<std::string> FontFamilyNames(const std::vector<std::string>& installed);

// --- Font sizes -----------------------------------------------------------------------

// The size list of the font face: the HTML font size shown and the point size it stands for.
struct TFontSizeEntry {
    const char* Text;
    int Points;
};

inline constexpr std::array<TFontSizeEntry, 7> kFontSizes = {{
    {"7", 20},
    {"6", 18},
    {"5", 16},
    {"4", 14},
    {"3", 12},
    {"2", 10},
    {"1", 8},
}};

// The size entry for a point size, or -1 for a size the list does not offer.
int FontSizeIndex(int points);

// The font after choosing size entry `index` (entries outside the list change nothing).
void ApplyFontSize(TFontValue& font, int index);

}  // namespace tessel

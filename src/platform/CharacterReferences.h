#pragma once

// Character references in a page ("&amp;", "&#233;", "&eacute;", the old "&copy" without its
// ";") read as browsers read them, so that the viewer shows the characters a browser shows.

#include <string>
#include <string_view>

namespace tessel {

// Reads the reference that starts with the "&" at `at` in `text`: appends its characters
// (UTF-8) to `out` and returns the position after it. When the "&" starts no reference, as
// in "AT&T" or "&unknown;", nothing is appended and `at` is returned: the "&" is text.
// In an attribute value (`inAttribute`), an old name without ";" that a letter, a digit or
// "=" follows is no reference either ("?a=1&copy=2" keeps its "&copy").
size_t ReadCharacterReference(std::string_view text, size_t at, bool inAttribute, std::string& out);

}  // namespace tessel

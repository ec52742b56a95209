#pragma once

// Byte-safe escaping for one-line text files: "%", control bytes and the given special
// characters become "%XX". Unescaping leaves a "%" without two hex digits as it is, so a
// hand-edited file still reads.

#include <string>
#include <string_view>

namespace tessel {

std::string EscapeText(std::string_view text, std::string_view specials);
std::string UnescapeText(std::string_view text);

}  // namespace tessel

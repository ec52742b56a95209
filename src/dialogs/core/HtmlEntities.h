#pragma once

// Character references in attribute values of HTML files that other programs wrote, such as
// the links of an exported bookmark file ("?a=1&amp;b=2").

#include <string>
#include <string_view>

namespace tessel {

// The text with its character references replaced by the characters they stand for: the
// named references amp, lt, gt, quot (also in capitals), apos and nbsp, and the numeric
// ones "&#NN;" and "&#xHH;", written as UTF-8. A reference without its closing ";", an
// unknown name or a number that is no character stays as written.
std::string DecodeHtmlEntities(std::string_view text);

}  // namespace tessel

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The lines of a text file whose lines end at CR, LF or CR LF; a last line without an end
// counts too, an end at the very end of the text adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace tessel

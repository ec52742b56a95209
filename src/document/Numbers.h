#pragma once

// Number texts as the platform's conversions read them; the one parser of the program.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessel {

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(char c);

// Leading spaces, an optional sign, then decimal digits or "$", "x" or "0x" and hexadecimal
// digits. Hexadecimal may use all 32 bits (so "$FFFFFFFF" is -1); decimal must fit a signed
// 32-bit integer. Nothing else is accepted.
std::optional<int32_t> TryStrToInt(std::string_view text);

// TryStrToInt, failing with EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view text);

}  // namespace tessel

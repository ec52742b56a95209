#pragma once

// How a server profile's password is stored: scrambled with a keyed XOR stream, then
// Base64-encoded. All four functions work on bytes and never fail.

#include <string>
#include <string_view>

namespace tessel {

std::string ScramblePassword(std::string_view plain);
std::string UnscramblePassword(std::string_view scrambled);

// RFC 4648 alphabet with "=" padding and no line breaks.
std::string EncodeBase64(std::string_view bytes);
// Complete groups of four only; a trailing partial group is ignored.
std::string DecodeBase64(std::string_view text);

}  // namespace tessel

#pragma once

// SHA-256 certificate fingerprints as people copy them: 64 hexadecimal digits, with or
// without colons or spaces between the pairs, in either letter case.

#include <optional>
#include <string>

namespace tessel {

// The canonical form "AB:CD:...:EF" (upper case, 32 colon-separated pairs), or nothing
// when the text is not a SHA-256 fingerprint.
std::optional<std::string> NormalizeSha256Fingerprint(const std::string& text);

}  // namespace tessel

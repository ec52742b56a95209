#pragma once

// SHA-256 certificate fingerprints as people copy them: 64 hexadecimal digits, with or
// without colons or spaces between the pairs, in either letter case; and SSH host key
// fingerprints in OpenSSH's form.

#include <optional>
#include <string>

namespace tessel {

// The canonical form "AB:CD:...:EF" (upper case, 32 colon-separated pairs), or nothing
// when the text is not a SHA-256 fingerprint.
std::optional<std::string> NormalizeSha256Fingerprint(const std::string& text);

// An SSH host key's SHA-256 fingerprint as ssh-keygen -l shows it: "SHA256:" and 43 Base64
// characters (a trailing "=" is dropped). Nothing when the text is not one.
std::optional<std::string> NormalizeSshFingerprint(const std::string& text);

}  // namespace tessel

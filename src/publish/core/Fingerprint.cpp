#include "publish/core/Fingerprint.h"

#include <cctype>

namespace tessel {

std::optional<std::string> NormalizeSha256Fingerprint(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isxdigit(u) != 0) {
            digits += static_cast<char>(std::toupper(u));
        } else if (c != ':' && c != ' ') {
            return std::nullopt;
        }
    }
    if (digits.size() != 64) {
        return std::nullopt;
    }
    std::string canonical;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i != 0) {
            canonical += ':';
        }
        canonical += digits.substr(i, 2);
    }
    return canonical;
}

}  // namespace tessel

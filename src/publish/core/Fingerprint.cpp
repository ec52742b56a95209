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

std::optional<std::string> NormalizeSshFingerprint(const std::string& text) {
    const std::string prefix = "SHA256:";
    std::string body = text;
    while (!body.empty() && std::isspace(static_cast<unsigned char>(body.back())) != 0) {
        body.pop_back();
    }
    const auto first = body.find_first_not_of(" \t");
    body = first == std::string::npos ? "" : body.substr(first);
    if (body.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    body.erase(0, prefix.size());
    if (!body.empty() && body.back() == '=') {
        body.pop_back();
    }
    // 32 bytes are 43 Base64 characters without padding.
    if (body.size() != 43) {
        return std::nullopt;
    }
    for (const char c : body) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '/') {
            return std::nullopt;
        }
    }
    return prefix + body;
}

}  // namespace tessel

#include "publish/core/Passwords.h"

#include <cstdint>

namespace tessel {

namespace {

constexpr std::uint16_t kKeyStart = 6217;
constexpr std::uint16_t kKeyMultiplier = 40503;
constexpr std::uint16_t kKeyIncrement = 17539;

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Unsigned throughout: the product passes the range of int, and only its low 16 bits
// count.
std::uint16_t NextKey(std::uint16_t key, unsigned char scrambled) {
    const unsigned sum = static_cast<unsigned>(scrambled) + key;
    return static_cast<std::uint16_t>(sum * kKeyMultiplier + kKeyIncrement);
}

unsigned SextetOf(char c) {
    const auto pos = kAlphabet.find(c);
    return pos == std::string_view::npos ? 0u : static_cast<unsigned>(pos);
}

}  // namespace

std::string ScramblePassword(std::string_view plain) {
    std::string out(plain.size(), '\0');
    std::uint16_t key = kKeyStart;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto o =
            static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ (key >> 8));
        out[i] = static_cast<char>(o);
        key = NextKey(key, o);
    }
    return out;
}

std::string UnscramblePassword(std::string_view scrambled) {
    std::string out(scrambled.size(), '\0');
    std::uint16_t key = kKeyStart;
    for (std::size_t i = 0; i < scrambled.size(); ++i) {
        const auto c = static_cast<unsigned char>(scrambled[i]);
        out[i] = static_cast<char>(c ^ (key >> 8));
        key = NextKey(key, c);
    }
    return out;
}

std::string EncodeBase64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const unsigned char b =
                i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
            group = (group << 8) | b;
        }
        for (int shift = 18; shift >= 0; shift -= 6) {
            out += kAlphabet[(group >> shift) & 0x3F];
        }
    }
    const std::size_t remainder = bytes.size() % 3;
    if (remainder != 0) {
        out.replace(out.size() - (3 - remainder), 3 - remainder, 3 - remainder, '=');
    }
    return out;
}

std::string DecodeBase64(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i + 4 <= text.size(); i += 4) {
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            group = (group << 6) | SextetOf(text[i + k]);
        }
        std::size_t count = 3;
        if (text[i + 3] == '=') {
            count = text[i + 2] == '=' ? 1 : 2;
        }
        for (std::size_t k = 0; k < count; ++k) {
            out += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
        }
    }
    return out;
}

}  // namespace tessel

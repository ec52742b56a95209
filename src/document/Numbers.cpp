#include "document/Numbers.h"

#include <string>

#include "document/Exceptions.h"

namespace tessel {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<int32_t> TryStrToInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const int digit = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > (base == 16 ? 0xFFFFFFFFull : 0x80000000ull)) {
            return std::nullopt;
        }
    }
    if (base == 10 && !negative && value > 0x7FFFFFFFull) {
        return std::nullopt;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) {
        bits = 0u - bits;
    }
    return static_cast<int32_t>(bits);
}

int32_t StrToInt(std::string_view text) {
    if (const std::optional<int32_t> value = TryStrToInt(text)) {
        return *value;
    }
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace tessel

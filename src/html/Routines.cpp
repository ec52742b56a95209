#include "html/Routines.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "document/Exceptions.h"

namespace tessel {

size_t Utf8SequenceAt(std::string_view bytes, size_t i, char32_t& codePoint) {
    const auto byteAt = [bytes](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byteAt(i);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = byteAt(i + k);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || surrogate || codePoint > 0x10FFFF)
        return 0;
    return length;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        const size_t length = Utf8SequenceAt(bytes, i, codePoint);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void ReplaceText(std::string& s, std::string_view replacement, std::string_view search, int count) {
    if (search.empty())
        return;
    size_t found = s.find(search);
    if (found == std::string::npos)
        return;
    const size_t deleted = count > 0 ? static_cast<size_t>(count) : 0;
    std::string out;
    out.reserve(s.size());
    size_t copied = 0;  // s[copied..] is still to be copied
    while (found != std::string::npos) {
        out.append(s, copied, found - copied);
        out.append(replacement);
        copied = std::min(found + deleted, s.size());
        found = s.find(search, std::max(copied, found + 1));
    }
    out.append(s, copied);
    s = std::move(out);
}

void ReplaceChar(std::string& s, char from, char to) {
    std::replace(s.begin(), s.end(), from, to);
}

std::string TextBeforeBar(std::string_view s) {
    const size_t bar = s.find('|');
    return bar == std::string_view::npos ? std::string() : std::string(s.substr(0, bar));
}

std::string TextAfterBar(std::string_view s) {
    const size_t bar = s.find('|');
    return std::string(bar == std::string_view::npos ? s : s.substr(bar + 1));
}

std::string BaseName(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(0, dot));
}

std::string RemoveSpaces(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c != ' ')
            out += c;
    }
    return out;
}

bool IsDigitsAndSpaces(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(),
                                     [](char c) { return c == ' ' || (c >= '0' && c <= '9'); });
}

namespace {

bool WildMatches(unsigned char textChar, unsigned char patternChar, bool foldCase) {
    if (patternChar == '?' || patternChar == textChar)
        return true;
    return foldCase && textChar >= 'A' && textChar <= 'z' && patternChar <= 'z' &&
           patternChar == (textChar ^ 0x20);
}

}  // namespace

int PosWild(std::string_view text, std::string_view pattern, int start) {
    if (text.empty() || pattern.empty() || start == 0)
        return 0;
    const bool foldCase = start < 0;
    const size_t first = static_cast<size_t>(std::llabs(static_cast<long long>(start))) - 1;
    if (first >= text.size() || pattern.size() > text.size() - first)
        return 0;
    for (size_t p = first; p + pattern.size() <= text.size(); ++p) {
        size_t k = 0;
        while (k < pattern.size() &&
               WildMatches(static_cast<unsigned char>(text[p + k]),
                           static_cast<unsigned char>(pattern[k]), foldCase)) {
            ++k;
        }
        if (k == pattern.size())
            return static_cast<int>(p + 1);
    }
    return 0;
}

std::string NextToken(std::string_view text, std::string_view delimiters, int& position) {
    if (position < 1 || static_cast<size_t>(position) > text.size() || delimiters.empty()) {
        position = 0;
        return {};
    }
    const size_t begin = static_cast<size_t>(position) - 1;
    // A set of more than 256 characters cannot be a set of bytes: it matches nothing.
    if (delimiters.size() <= 256) {
        std::array<bool, 256> isDelimiter{};
        for (char c : delimiters) isDelimiter[static_cast<unsigned char>(c)] = true;
        int quotes = 0;
        for (size_t i = begin; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            // An opening quote never ends a token; its closing partner may.
            const bool ends = c == '"' ? (++quotes % 2 == 0 && isDelimiter[c]) : isDelimiter[c];
            if (ends) {
                position = static_cast<int>(i) + 2;
                return std::string(text.substr(begin, i - begin));
            }
        }
    }
    position = 0;
    return std::string(text.substr(begin));
}

}  // namespace tessel

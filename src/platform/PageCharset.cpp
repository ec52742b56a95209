#include "platform/PageCharset.h"

#include <array>
#include <cstdint>

#include "document/Persistence.h"
#include "html/Routines.h"

namespace tessel {
namespace {

// windows-1252 0x80-0x9F; the five unassigned bytes keep their C1 code points, as in browsers.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the valid UTF-8 sequence or ASCII byte at `at`, or 0 when it is neither.
size_t SequenceLengthAt(std::string_view bytes, size_t at) {
    if (static_cast<uint8_t>(bytes[at]) < 0x80)
        return 1;
    char32_t code = 0;
    return Utf8SequenceAt(bytes, at, code);
}

// The end of the part of a page that may declare its charset: the start of the body.
size_t HeadEnd(const std::string& lowered) {
    const size_t body = lowered.find("<body");
    return body == std::string::npos ? lowered.size() : body;
}

}  // namespace

std::string DeclaredCharset(std::string_view page) {
    const std::string lowered = LowerCase(page.substr(0, 64 * 1024));
    const size_t end = HeadEnd(lowered);
    for (size_t meta = lowered.find("<meta"); meta < end; meta = lowered.find("<meta", meta + 1)) {
        const size_t close = lowered.find('>', meta);
        const std::string tag =
            lowered.substr(meta, close == std::string::npos ? std::string::npos : close - meta);
        const size_t charset = tag.find("charset=");
        if (charset == std::string::npos)
            continue;
        size_t from = charset + 8;
        if (from < tag.size() && (tag[from] == '"' || tag[from] == '\''))
            ++from;
        const size_t to = tag.find_first_of("\"'; \t\r\n/", from);
        return tag.substr(from, to == std::string::npos ? std::string::npos : to - from);
    }
    return {};
}

TPageCharset PageCharsetOf(std::string_view page) {
    const std::string declared = DeclaredCharset(page);
    if (declared == "utf-8" || declared == "utf8")
        return TPageCharset::Utf8;
    if (!declared.empty())
        return TPageCharset::Windows1252;
    return IsValidUtf8(page) ? TPageCharset::Utf8 : TPageCharset::Windows1252;
}

char32_t Windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) AppendUtf8(out, Windows1252CodePoint(static_cast<uint8_t>(c)));
    return out;
}

std::string DecodePage(std::string_view page) {
    if (PageCharsetOf(page) == TPageCharset::Utf8) {
        std::string out;
        out.reserve(page.size());
        for (size_t at = 0; at < page.size();) {
            const size_t length = SequenceLengthAt(page, at);
            if (length == 0) {
                AppendUtf8(out, 0xFFFD);
                ++at;
            } else {
                out.append(page.substr(at, length));
                at += length;
            }
        }
        return out;
    }
    return Windows1252ToUtf8(page);
}

}  // namespace tessel

// libFuzzer harness for the viewer's mapping pass: any page, decoded as the viewer decodes
// it. The pass must not crash or hang, must hand Qt valid UTF-8, and every placeholder it
// writes must name a picture, rule or control that it describes.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/HtmlMapping.h"
#include "platform/PageCharset.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// Where the pass wrote the start tag "<name ...>" (spelled in any case) at or after `from`.
size_t FindStartTag(const std::string& lowered, const std::string& name, size_t from) {
    const std::string opening = "<" + name;
    for (size_t at = lowered.find(opening, from); at != std::string::npos;
         at = lowered.find(opening, at + 1)) {
        const size_t next = at + opening.size();
        if (next < lowered.size() && (lowered[next] == ' ' || lowered[next] == '>')) {
            return at;
        }
    }
    return std::string::npos;
}

// The mapped page without the content of scripts and style sheets, which the pass hands on
// as the page wrote it.
std::string WithoutRawContent(const std::string& html) {
    std::string lowered = html;
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::string kept;
    size_t from = 0;
    for (;;) {
        const size_t script = FindStartTag(lowered, "script", from);
        const size_t style = FindStartTag(lowered, "style", from);
        const size_t start = std::min(script, style);
        if (start == std::string::npos) {
            break;
        }
        kept.append(html, from, start - from);
        const size_t end = lowered.find(start == script ? "</script" : "</style", start);
        if (end == std::string::npos) {
            return kept;
        }
        from = end;
    }
    kept.append(html, from, std::string::npos);
    return kept;
}

// Each "<img src="PREFIX<n>"" the pass wrote names one of `count` entries.
void CheckPlaceholders(const std::string& html, const std::string& prefix, size_t count) {
    const std::string marker = "<img src=\"" + prefix;
    for (size_t at = html.find(marker); at != std::string::npos; at = html.find(marker, at + 1)) {
        size_t digit = at + marker.size();
        size_t index = 0;
        Check(digit < html.size() && html[digit] >= '0' && html[digit] <= '9');
        for (; digit < html.size() && html[digit] >= '0' && html[digit] <= '9'; ++digit) {
            index = index * 10 + static_cast<size_t>(html[digit] - '0');
            Check(index < count);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string page =
        tessel::DecodePage(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(IsValidUtf8(page));
    const tessel::TMappedPage mapped = tessel::MapPageHtml(page);
    Check(IsValidUtf8(mapped.html));
    const std::string written = WithoutRawContent(mapped.html);
    CheckPlaceholders(written, tessel::kMappedPicturePrefix, mapped.pictures.size());
    CheckPlaceholders(written, tessel::kMappedRulePrefix, mapped.rules.size());
    CheckPlaceholders(written, tessel::kMappedControlPrefix, mapped.controls.size());
    return 0;
}

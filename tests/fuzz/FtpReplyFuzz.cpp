// libFuzzer harness for the FTP reply reader: bytes a hostile server may send on the control
// connection. The first bytes of the input say how the rest arrives (the chunk sizes of the
// receives and when a command goes out); whatever the split, the reader must cut the same
// lines and classify them the same way as when everything arrives at once.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "publish/FtpReply.h"

namespace {

using tessel::TFtpReplyReader;
using tessel::TReplyLine;

struct TSeenLine {
    std::string text;
    tessel::TReplyKind kind;
    int code;
    bool operator==(const TSeenLine&) const = default;
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every value the client reads out of a line must be in range.
void CheckLine(const TReplyLine& line) {
    Check(line.text.find('\n') == std::string::npos);
    if (line.kind == tessel::rkEnd) {
        Check(line.code >= 100 && line.code <= 599);
    } else {
        Check(line.code == -1);
    }
    const int code = tessel::ReplyCode(line.text);
    Check(code == -1 || (code >= 100 && code <= 599));
    if (const auto port = tessel::ParsePassivePort(line.text)) {
        Check(*port > 0 && *port <= 65535);
    }
    if (const auto size = tessel::ParseSizeReply(line.text)) {
        Check(*size >= 0);
    }
    if (const auto dir = tessel::ParseQuotedDirectory(line.text)) {
        Check(dir->size() < line.text.size());
    }
}

// Feeds `bytes` as the client does: receives of at most the free space, every complete line
// taken, a line that can never end given up on.
std::vector<TSeenLine> Read(std::string_view bytes, std::string_view schedule) {
    TFtpReplyReader reader;
    std::vector<TSeenLine> seen;
    size_t next = 0;
    size_t step = 0;
    TReplyLine line;
    while (next < bytes.size()) {
        const unsigned char control =
            schedule.empty() ? 0 : static_cast<unsigned char>(schedule[step++ % schedule.size()]);
        size_t chunk = control == 0 ? bytes.size() : (control & 0x7f) + 1u;
        chunk = std::min({chunk, bytes.size() - next, reader.FreeSpace()});
        Check(chunk > 0);
        Check(reader.Append(bytes.data() + next, chunk) == chunk);
        next += chunk;
        while (reader.NextLine(line)) {
            CheckLine(line);
            seen.push_back({line.text, line.kind, line.code});
        }
        if (reader.Overflowed() || reader.FreeSpace() == 0) {
            reader.Clear();
            seen.push_back({"overflow", tessel::rkMalformed, -2});
        }
        if ((control & 0x80) != 0) {
            reader.MarkCommandSent();
        }
    }
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t scheduleLength = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 16;
    if (input.size() < 1 + scheduleLength) {
        return 0;
    }
    const std::string_view schedule = input.substr(1, scheduleLength);
    const std::string_view bytes = input.substr(1 + scheduleLength);
    const std::vector<TSeenLine> whole = Read(bytes, {});
    // Lines cut by an overflow depend on where the receives fell; compare only then.
    if (!schedule.empty() && bytes.size() < TFtpReplyReader::kCapacity) {
        Check(Read(bytes, schedule) == whole);
    } else if (!schedule.empty()) {
        Read(bytes, schedule);
    }
    return 0;
}

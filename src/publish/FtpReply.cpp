#include "publish/FtpReply.h"

#include <cctype>
#include <cstdlib>

namespace tessel {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::optional<long long> ParseNumber(const std::string& text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    if (pos >= text.size() || !IsDigit(text[pos])) {
        return std::nullopt;
    }
    long long value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && value < (1LL << 50)) {
        value = value * 10 + (text[pos++] - '0');
    }
    return value;
}

std::size_t AfterCode(const std::string& line) {
    std::size_t pos = 0;
    while (pos < line.size() && IsDigit(line[pos])) {
        ++pos;
    }
    return pos;
}

}  // namespace

std::size_t TFtpReplyReader::Append(const char* data, std::size_t length) {
    const std::size_t n = length < FreeSpace() ? length : FreeSpace();
    FBuffer.append(data, n);
    return n;
}

bool TFtpReplyReader::NextLine(TReplyLine& line) {
    const auto lf = FBuffer.find('\n');
    if (lf == std::string::npos) {
        return false;
    }
    std::size_t end = lf;
    if (end > 0 && FBuffer[end - 1] == '\r') {
        --end;
    }
    line.text.assign(FBuffer, 0, end);
    line.early = FEarlyBytes > 0;
    FEarlyBytes = FEarlyBytes > lf + 1 ? FEarlyBytes - (lf + 1) : 0;
    FBuffer.erase(0, lf + 1);
    Classify(line);
    return true;
}

void TFtpReplyReader::MarkCommandSent() {
    FEarlyBytes = FBuffer.size();
}

bool TFtpReplyReader::Overflowed() const {
    return FBuffer.size() >= kCapacity && FBuffer.find('\n') == std::string::npos;
}

void TFtpReplyReader::Clear() {
    FBuffer.clear();
    FEarlyBytes = 0;
    FOpenMultiLine = -1;
    FMultiLineEarly = false;
}

void TFtpReplyReader::Classify(TReplyLine& line) {
    const std::string& text = line.text;
    line.code = -1;
    if (FOpenMultiLine >= 0) {
        // Inside a multi-line reply only the opening code followed by a space (or by
        // nothing) ends it; other lines may start with digits, even with the same code
        // and a "-" (RFC 959 section 4.2).
        line.early = line.early || FMultiLineEarly;
        line.kind = rkText;
        if (ReplyCode(text) == FOpenMultiLine && (text.size() == 3 || text[3] == ' ')) {
            line.kind = rkEnd;
            line.code = FOpenMultiLine;
            FOpenMultiLine = -1;
            FMultiLineEarly = false;
        }
        return;
    }
    if (text.empty() || !IsDigit(text[0])) {
        line.kind = rkText;
        return;
    }
    const int code = ReplyCode(text);
    if (code < 0) {
        line.kind = rkMalformed;
        return;
    }
    if (text.size() > 3 && text[3] == '-') {
        line.kind = rkText;
        FOpenMultiLine = code;
        FMultiLineEarly = line.early;
        return;
    }
    line.kind = rkEnd;
    line.code = code;
}

int ReplyCode(const std::string& line) {
    if (line.size() < 3 || line[0] < '1' || line[0] > '5' || !IsDigit(line[1]) ||
        !IsDigit(line[2])) {
        return -1;
    }
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-') {
        return -1;
    }
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

std::optional<std::string> ParseQuotedDirectory(const std::string& line) {
    std::size_t pos = AfterCode(line);
    while (pos < line.size() && line[pos] == ' ') {
        ++pos;
    }
    if (pos >= line.size() || line[pos] != '"') {
        return std::nullopt;
    }
    std::string dir;
    for (++pos; pos < line.size(); ++pos) {
        if (line[pos] == '"') {
            if (pos + 1 < line.size() && line[pos + 1] == '"') {
                dir += '"';
                ++pos;
                continue;
            }
            break;
        }
        dir += line[pos];
    }
    return dir;
}

std::optional<long long> ParseSizeReply(const std::string& line) {
    std::size_t pos = AfterCode(line);
    return ParseNumber(line, pos);
}

std::optional<int> ParsePassivePort(const std::string& line) {
    std::size_t pos = line.find('(');
    if (pos == std::string::npos) {
        return std::nullopt;
    }
    ++pos;
    for (int field = 0; field < 4; ++field) {
        pos = line.find(',', pos);
        if (pos == std::string::npos) {
            return std::nullopt;
        }
        ++pos;
    }
    const auto p1 = ParseNumber(line, pos);
    if (!p1 || pos >= line.size() || line[pos] != ',') {
        return std::nullopt;
    }
    ++pos;
    const auto p2 = ParseNumber(line, pos);
    if (!p2 || pos >= line.size() || line[pos] != ')' || *p1 > 255 || *p2 > 255) {
        return std::nullopt;
    }
    const int port = static_cast<int>(*p1 * 256 + *p2);
    return port > 0 ? std::optional<int>(port) : std::nullopt;
}

}  // namespace tessel

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

bool TFtpReplyReader::NextLine(std::string& line) {
    const auto lf = FBuffer.find('\n');
    if (lf == std::string::npos) {
        return false;
    }
    std::size_t end = lf;
    if (end > 0 && FBuffer[end - 1] == '\r') {
        --end;
    }
    line.assign(FBuffer, 0, end);
    FBuffer.erase(0, lf + 1);
    return true;
}

bool TFtpReplyReader::Overflowed() const {
    return FBuffer.size() >= kCapacity && FBuffer.find('\n') == std::string::npos;
}

void TFtpReplyReader::Clear() {
    FBuffer.clear();
    FOpenMultiLine = -1;
}

int TFtpReplyReader::Classify(const std::string& line) {
    const int code = ReplyCode(line);
    const std::size_t after = AfterCode(line);
    const bool dash = after < line.size() && line[after] == '-';
    if (FOpenMultiLine >= 0) {
        // Inside a multi-line reply only "ddd " with the opening code ends it; other
        // lines may start with digits too (RFC 959 section 4.2).
        if (code == FOpenMultiLine && after == 3 && !dash) {
            FOpenMultiLine = -1;
            return code;
        }
        return -1;
    }
    if (code < 0) {
        return -1;
    }
    if (dash) {
        FOpenMultiLine = code;
        return -1;
    }
    return code;
}

int ReplyCode(const std::string& line) {
    if (line.empty() || !IsDigit(line[0])) {
        return -1;
    }
    std::size_t pos = 0;
    const auto value = ParseNumber(line, pos);
    return value && *value < 100000 ? static_cast<int>(*value) : -1;
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

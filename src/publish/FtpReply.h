#pragma once

// Pure parsing of the FTP control connection (RFC 959 section 4.2): cutting received
// bytes into reply lines, telling the last line of a reply from the lines before it,
// and reading the values that some replies carry.

#include <cstddef>
#include <optional>
#include <string>

namespace tessel {

enum TReplyKind {
    rkText,       // shown only: text without a code, the lines of a multi-line reply
    rkEnd,        // the last (or only) line of a reply; its code counts
    rkMalformed,  // starts with a digit but is no reply line: "000 x", "0 x", "2301 x"
};

struct TReplyLine {
    std::string text;  // without its CR LF
    TReplyKind kind = rkText;
    int code = -1;  // for rkEnd: 100 to 599
    // Received (or part of a reply that began) before the last command went out, so
    // it cannot be that command's answer.
    bool early = false;
};

class TFtpReplyReader {
  public:
    static constexpr std::size_t kCapacity = 4096;

    // Room left in the receive buffer.
    std::size_t FreeSpace() const { return kCapacity - FBuffer.size(); }
    // Appends at most FreeSpace() bytes; returns how many were taken.
    std::size_t Append(const char* data, std::size_t length);
    // Cuts off and classifies the next complete line (ended by CR LF, or a lone LF that
    // some servers send); false when no line end has arrived yet.
    bool NextLine(TReplyLine& line);
    // A command is going out now: everything received so far predates its answer.
    void MarkCommandSent();
    // The buffer is full and holds no line end: the line can never be completed.
    bool Overflowed() const;
    void Clear();

  private:
    void Classify(TReplyLine& line);

    std::string FBuffer;
    std::size_t FEarlyBytes = 0;
    int FOpenMultiLine = -1;
    bool FMultiLineEarly = false;
};

// The code of a line of the form "ddd", "ddd text" or "ddd-text" with ddd from 100 to
// 599; -1 for any other line.
int ReplyCode(const std::string& line);

// The quoted directory of a 257-style reply: after the code, spaces skipped, a quote,
// "" standing for one quote, up to the next single quote (or the line's end).
std::optional<std::string> ParseQuotedDirectory(const std::string& line);

// The number after the code of a 213 reply to SIZE.
std::optional<long long> ParseSizeReply(const std::string& line);

// The port of a 227 reply "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)".
std::optional<int> ParsePassivePort(const std::string& line);

}  // namespace tessel

#pragma once

// Pure parsing of the FTP control connection (RFC 959 section 4.2): cutting received
// bytes into reply lines, telling the last line of a reply from the lines before it,
// and reading the values that some replies carry.

#include <cstddef>
#include <optional>
#include <string>

namespace tessel {

class TFtpReplyReader {
  public:
    static constexpr std::size_t kCapacity = 4096;

    // Room left in the receive buffer.
    std::size_t FreeSpace() const { return kCapacity - FBuffer.size(); }
    // Appends at most FreeSpace() bytes; returns how many were taken.
    std::size_t Append(const char* data, std::size_t length);
    // Cuts off the next complete line (without its CR LF, or a lone LF that some
    // servers send); false when no line end has arrived yet.
    bool NextLine(std::string& line);
    // The buffer is full and holds no line end: the line can never be completed.
    bool Overflowed() const;
    void Clear();

    // The status of a line that ends a reply, or -1 for any other line: lines not
    // starting with a digit, "ddd-" lines that open a multi-line reply and the lines
    // inside it. Tracks multi-line state across calls.
    int Classify(const std::string& line);

  private:
    std::string FBuffer;
    int FOpenMultiLine = -1;
};

// The leading decimal number of a line that starts with a digit, else -1.
int ReplyCode(const std::string& line);

// The quoted directory of a 257-style reply: after the code, spaces skipped, a quote,
// "" standing for one quote, up to the next single quote (or the line's end).
std::optional<std::string> ParseQuotedDirectory(const std::string& line);

// The number after the code of a 213 reply to SIZE.
std::optional<long long> ParseSizeReply(const std::string& line);

// The port of a 227 reply "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)".
std::optional<int> ParsePassivePort(const std::string& line);

}  // namespace tessel

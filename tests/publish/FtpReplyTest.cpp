// The pure reply reader: lines out of arbitrary pieces of bytes, the last line of a
// reply told from the lines before it, malformed codes, replies that predate a command,
// and the values some replies carry.

#include <gtest/gtest.h>

#include "publish/FtpReply.h"

namespace tessel {
namespace {

std::vector<TReplyLine> Feed(TFtpReplyReader& reader, const std::string& bytes,
                             std::size_t piece = 4096) {
    std::vector<TReplyLine> lines;
    TReplyLine line;
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
        const std::string part = bytes.substr(i, piece);
        EXPECT_EQ(reader.Append(part.data(), part.size()), part.size());
        while (reader.NextLine(line)) {
            lines.push_back(line);
        }
    }
    return lines;
}

// "code" for the last line of a reply, "-" for a line that is only shown, "!" for a
// malformed one.
std::string Shape(const std::vector<TReplyLine>& lines) {
    std::string shape;
    for (const auto& l : lines) {
        shape += l.kind == rkEnd ? std::to_string(l.code) : l.kind == rkText ? "-" : "!";
        shape += l.early ? "e " : " ";
    }
    return shape;
}

TEST(FtpReplyTest, LinesComeOutWhateverTheReadSizes) {
    const std::string bytes = "220-a\r\n220 b\r\n331 c\n\r\n";
    for (std::size_t piece : {1u, 2u, 5u, 100u}) {
        TFtpReplyReader reader;
        const auto lines = Feed(reader, bytes, piece);
        ASSERT_EQ(lines.size(), 4u) << piece;
        EXPECT_EQ(lines[0].text, "220-a");
        EXPECT_EQ(lines[1].text, "220 b");
        EXPECT_EQ(lines[2].text, "331 c");
        EXPECT_EQ(lines[3].text, "");
        EXPECT_EQ(Shape(lines), "- 220 331 - ");
    }
}

TEST(FtpReplyTest, OnlyCodeAndSpaceOrCodeAloneEndAMultiLineReply) {
    TFtpReplyReader reader;
    // Inside, lines may start with any digits, with the reply's own code followed by a
    // "-" or by other characters, or be blank; none of them ends the reply.
    const auto lines = Feed(reader,
                            "230-Welcome\r\n"
                            "230-still the greeting\r\n"
                            "2301 is another number\r\n"
                            "230x glued text\r\n"
                            "226 other code inside\r\n"
                            "\r\n"
                            "  text\r\n"
                            "230 Logged in\r\n"
                            "150-x\r\n"
                            "150\r\n"
                            "no digit\r\n"
                            "200 plain\r\n");
    EXPECT_EQ(Shape(lines), "- - - - - - - 230 - 150 - 200 ");
}

TEST(FtpReplyTest, CodesAreThreeDigitsFrom100To599) {
    TFtpReplyReader reader;
    const auto lines = Feed(reader,
                            "000 refused\r\n0 refused\r\n65536 refused\r\n600 x\r\n099 x\r\n"
                            "2301 x\r\n22 x\r\n220x\r\n100 lowest\r\n599 highest\r\n226\r\n");
    EXPECT_EQ(Shape(lines), "! ! ! ! ! ! ! ! 100 599 226 ");
    EXPECT_EQ(ReplyCode("550 No"), 550);
    EXPECT_EQ(ReplyCode("550-No"), 550);
    EXPECT_EQ(ReplyCode(" 550"), -1);
    EXPECT_EQ(ReplyCode("5501"), -1);
}

TEST(FtpReplyTest, WhatArrivedBeforeACommandIsEarly) {
    TFtpReplyReader reader;
    const std::string before = "331 pw\r\n230 extra\r\n530-par";
    reader.Append(before.data(), before.size());
    TReplyLine line;
    ASSERT_TRUE(reader.NextLine(line));
    EXPECT_FALSE(line.early);
    reader.MarkCommandSent();  // PASS goes out while "230 extra" waits in the buffer
    const std::string after = "tial\r\n530 Login incorrect\r\n230 answer\r\n";
    reader.Append(after.data(), after.size());
    std::vector<TReplyLine> lines;
    while (reader.NextLine(line)) {
        lines.push_back(line);
    }
    // The multi-line reply began before the command, so its last line is early too.
    EXPECT_EQ(Shape(lines), "230e -e 530e 230 ");
    reader.Clear();
    reader.Append("200 ok\r\n", 8);
    ASSERT_TRUE(reader.NextLine(line));
    EXPECT_FALSE(line.early);
}

TEST(FtpReplyTest, FullBufferWithoutLineEndIsAnOverflow) {
    TFtpReplyReader reader;
    const std::string big(TFtpReplyReader::kCapacity + 10, 'x');
    EXPECT_EQ(reader.Append(big.data(), big.size()), TFtpReplyReader::kCapacity);
    EXPECT_TRUE(reader.Overflowed());
    reader.Clear();
    EXPECT_FALSE(reader.Overflowed());
    EXPECT_EQ(reader.FreeSpace(), TFtpReplyReader::kCapacity);
}

TEST(FtpReplyTest, ValuesCarriedByReplies) {
    EXPECT_EQ(ParseQuotedDirectory("257 \"/a \"\"q\"\" b\" is current"), "/a \"q\" b");
    EXPECT_EQ(ParseQuotedDirectory("257   \"/x\""), "/x");
    EXPECT_EQ(ParseQuotedDirectory("257 \"/unclosed"), "/unclosed");
    EXPECT_EQ(ParseQuotedDirectory("257 /no quote"), std::nullopt);
    EXPECT_EQ(ParseSizeReply("213 123456789012"), 123456789012LL);
    EXPECT_EQ(ParseSizeReply("213 "), std::nullopt);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode (127,0,0,1,19,137)"), 19 * 256 + 137);
    EXPECT_EQ(ParsePassivePort("227 =(127,0,0,2,0,21)."), 21);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode (127,0,0,1)"), std::nullopt);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode (127,0,0,1,300,1)"), std::nullopt);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode 127,0,0,1,5,6"), std::nullopt);
}

}  // namespace
}  // namespace tessel

// The pure reply reader: lines out of arbitrary pieces of bytes, the last line of a
// reply told from the lines before it, and the values some replies carry.

#include <gtest/gtest.h>

#include "publish/FtpReply.h"

namespace tessel {
namespace {

std::vector<std::string> Feed(TFtpReplyReader& reader, const std::string& bytes,
                              std::size_t piece) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
        const std::string part = bytes.substr(i, piece);
        EXPECT_EQ(reader.Append(part.data(), part.size()), part.size());
        while (reader.NextLine(line)) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(FtpReplyTest, LinesComeOutWhateverTheReadSizes) {
    const std::string bytes = "220-a\r\n220 b\r\n331 c\n\r\n";
    for (std::size_t piece : {1u, 2u, 5u, 100u}) {
        TFtpReplyReader reader;
        EXPECT_EQ(Feed(reader, bytes, piece),
                  (std::vector<std::string>{"220-a", "220 b", "331 c", ""}))
            << piece;
    }
}

TEST(FtpReplyTest, OnlyTheClosingLineOfAMultiLineReplyCounts) {
    TFtpReplyReader reader;
    EXPECT_EQ(reader.Classify("230-Welcome"), -1);
    EXPECT_EQ(reader.Classify("  text"), -1);
    EXPECT_EQ(reader.Classify("230 is not the end yet?"), 230);  // same code and a space
    EXPECT_EQ(reader.Classify("150-x"), -1);
    EXPECT_EQ(reader.Classify("226 other code inside"), -1);
    EXPECT_EQ(reader.Classify("150"), 150);
    EXPECT_EQ(reader.Classify("no digit"), -1);
    EXPECT_EQ(reader.Classify("200 plain"), 200);
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
    EXPECT_EQ(ParsePassivePort("227 =(10,1,2,3,0,21)."), 21);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode (127,0,0,1)"), std::nullopt);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode (1,2,3,4,300,1)"), std::nullopt);
    EXPECT_EQ(ParsePassivePort("227 Entering Passive Mode 1,2,3,4,5,6"), std::nullopt);
    EXPECT_EQ(ReplyCode("550 No"), 550);
    EXPECT_EQ(ReplyCode(" 550"), -1);
}

}  // namespace
}  // namespace tessel

// Replies of an SFTP server as bytes: whole, cut short, malformed and oversized.

#include <gtest/gtest.h>

#include "publish/SftpPacket.h"

namespace tessel {
namespace {

// A reply as a server frames it: length, type, body.
std::string Reply(std::uint8_t type, const std::string& body) {
    TSftpRequestBuilder builder(type);
    std::string bytes = builder.Finish() + body;
    const auto length = static_cast<std::uint32_t>(bytes.size() - 4);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((length >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

std::string U32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>((v >> 16) & 0xFF),
            static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
}

std::string Str(const std::string& s) {
    return U32(static_cast<std::uint32_t>(s.size())) + s;
}

TEST(SftpPacketTest, RepliesAreTakenWholeAndOnlyWhenComplete) {
    std::string buffer =
        Reply(SSH_FXP_STATUS, U32(7) + U32(SSH_FX_NO_SUCH_FILE) + Str("No such file") + Str("en")) +
        Reply(SSH_FXP_HANDLE, U32(8) + Str("h1"));
    const std::string second = buffer.substr(buffer.size() - 14);
    TSftpReply reply;
    bool broken = true;
    ASSERT_TRUE(TakeSftpReply(buffer, reply, broken));
    EXPECT_EQ(reply.id, 7u);
    EXPECT_EQ(reply.status, SSH_FX_NO_SUCH_FILE);
    EXPECT_EQ(reply.message, "No such file");
    std::string partial = second.substr(0, second.size() - 1);
    EXPECT_FALSE(TakeSftpReply(partial, reply, broken));
    EXPECT_FALSE(broken);
    EXPECT_EQ(partial.size(), second.size() - 1);
    ASSERT_TRUE(TakeSftpReply(buffer, reply, broken));
    EXPECT_EQ(reply.handle, "h1");
    EXPECT_TRUE(buffer.empty());
}

TEST(SftpPacketTest, AttributesTellADirectoryAndAStatusMayEndAfterItsCode) {
    // Size, permissions and times, as OpenSSH sends them for a folder.
    std::string buffer = Reply(SSH_FXP_ATTRS, U32(3) + U32(0x1 | 0x4 | 0x8) + U32(0) + U32(4096) +
                                                  U32(040755) + U32(1) + U32(2));
    TSftpReply reply;
    bool broken = false;
    ASSERT_TRUE(TakeSftpReply(buffer, reply, broken));
    EXPECT_TRUE(reply.IsDirectory());
    buffer = Reply(SSH_FXP_ATTRS, U32(4) + U32(0x4) + U32(0100644));
    ASSERT_TRUE(TakeSftpReply(buffer, reply, broken));
    EXPECT_FALSE(reply.IsDirectory());
    buffer = Reply(SSH_FXP_STATUS, U32(5) + U32(SSH_FX_OK));
    ASSERT_TRUE(TakeSftpReply(buffer, reply, broken));
    EXPECT_EQ(reply.status, SSH_FX_OK);
    EXPECT_TRUE(reply.message.empty());
}

TEST(SftpPacketTest, BrokenRepliesAreNotTakenForGood) {
    TSftpReply reply;
    bool broken = false;
    // A string that claims more bytes than its reply holds.
    std::string buffer = Reply(SSH_FXP_HANDLE, U32(1) + U32(1000) + "ab");
    EXPECT_FALSE(TakeSftpReply(buffer, reply, broken));
    EXPECT_TRUE(broken);
    // A length no reply of ours can have, long before it all arrived.
    buffer = U32(kSftpMaxReplyLength + 1) + std::string(1, static_cast<char>(SSH_FXP_STATUS));
    EXPECT_FALSE(TakeSftpReply(buffer, reply, broken));
    EXPECT_TRUE(broken);
    buffer = U32(0);
    EXPECT_FALSE(TakeSftpReply(buffer, reply, broken));
    EXPECT_TRUE(broken);
}

TEST(SftpPacketTest, AWriteCarriesItsOffsetAndDataAfterTheLength) {
    const std::string packet = SftpWrite(9, "hd", 0x100000002ull, "xyz");
    EXPECT_EQ(packet, U32(1 + 4 + 6 + 8 + 7) + std::string(1, static_cast<char>(SSH_FXP_WRITE)) +
                          U32(9) + Str("hd") + U32(1) + U32(2) + Str("xyz"));
}

}  // namespace
}  // namespace tessel

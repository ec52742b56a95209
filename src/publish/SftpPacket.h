#pragma once

// The SFTP protocol, version 3 (draft-ietf-secsh-filexfer-02), as bytes: building the
// requests an upload needs and reading the server's replies. No I/O here, so every
// malformed reply can be tried in a test.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Packet types.
enum : std::uint8_t {
    SSH_FXP_INIT = 1,
    SSH_FXP_VERSION = 2,
    SSH_FXP_OPEN = 3,
    SSH_FXP_CLOSE = 4,
    SSH_FXP_WRITE = 6,
    SSH_FXP_REMOVE = 13,
    SSH_FXP_MKDIR = 14,
    SSH_FXP_STAT = 17,
    SSH_FXP_RENAME = 18,
    SSH_FXP_STATUS = 101,
    SSH_FXP_HANDLE = 102,
    SSH_FXP_ATTRS = 105,
    SSH_FXP_EXTENDED = 200,
};

// Status codes of SSH_FXP_STATUS.
enum : std::uint32_t {
    SSH_FX_OK = 0,
    SSH_FX_EOF = 1,
    SSH_FX_NO_SUCH_FILE = 2,
    SSH_FX_PERMISSION_DENIED = 3,
    SSH_FX_FAILURE = 4,
    SSH_FX_BAD_MESSAGE = 5,
    SSH_FX_OP_UNSUPPORTED = 8,
};

// Open flags.
enum : std::uint32_t {
    SSH_FXF_WRITE = 0x02,
    SSH_FXF_CREAT = 0x08,
    SSH_FXF_TRUNC = 0x10,
};

inline constexpr std::uint32_t kSftpVersion = 3;
// Our replies are short; anything longer than this is a broken or hostile server.
inline constexpr std::uint32_t kSftpMaxReplyLength = 256 * 1024;
inline constexpr const char* kPosixRenameExtension = "posix-rename@openssh.com";

// One request, ready to send: the length prefix included.
class TSftpRequestBuilder {
  public:
    explicit TSftpRequestBuilder(std::uint8_t type);
    TSftpRequestBuilder& U32(std::uint32_t value);
    TSftpRequestBuilder& U64(std::uint64_t value);
    TSftpRequestBuilder& Str(std::string_view text);
    // File attributes with only the permission bits set.
    TSftpRequestBuilder& Permissions(std::uint32_t mode);
    std::string Finish();

  private:
    std::string FBytes;
};

std::string SftpInit();
std::string SftpOpenForWriting(std::uint32_t id, std::string_view path, std::uint32_t mode);
std::string SftpWrite(std::uint32_t id, std::string_view handle, std::uint64_t offset,
                      std::string_view data);
std::string SftpClose(std::uint32_t id, std::string_view handle);
std::string SftpStat(std::uint32_t id, std::string_view path);
std::string SftpMkdir(std::uint32_t id, std::string_view path, std::uint32_t mode);
std::string SftpRemove(std::uint32_t id, std::string_view path);
std::string SftpRename(std::uint32_t id, std::string_view from, std::string_view to);
// Replaces `to` in one step where the plain rename of version 3 refuses to overwrite.
std::string SftpPosixRename(std::uint32_t id, std::string_view from, std::string_view to);

// A reply as far as an upload cares about it.
struct TSftpReply {
    std::uint8_t type = 0;
    std::uint32_t id = 0;  // not in SSH_FXP_VERSION
    // SSH_FXP_VERSION
    std::uint32_t version = 0;
    std::vector<std::string> extensions;
    // SSH_FXP_STATUS
    std::uint32_t status = 0;
    std::string message;
    // SSH_FXP_HANDLE
    std::string handle;
    // SSH_FXP_ATTRS, when the server sent the permissions
    std::optional<std::uint32_t> permissions;

    bool IsDirectory() const { return permissions && (*permissions & 0170000) == 0040000; }
};

// Takes one whole reply off the front of `buffer`. Returns false and leaves `buffer` alone
// while the reply is incomplete; sets `broken` for a reply that cannot be read (too long,
// cut short inside its own length), after which the stream cannot be trusted.
bool TakeSftpReply(std::string& buffer, TSftpReply& reply, bool& broken);

// "No such file" and the like, for a status the server sent without a message.
std::string SftpStatusText(std::uint32_t status);

}  // namespace tessel

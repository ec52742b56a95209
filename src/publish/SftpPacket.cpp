#include "publish/SftpPacket.h"

namespace tessel {

namespace {

// Reads the big-endian fields of one reply's body; any read past its end marks it bad.
class TReader {
  public:
    explicit TReader(std::string_view body) : FBody(body) {}
    bool Ok() const { return FOk; }
    bool AtEnd() const { return FPos == FBody.size(); }
    std::uint8_t U8() {
        if (!Need(1))
            return 0;
        return static_cast<std::uint8_t>(FBody[FPos++]);
    }
    std::uint32_t U32() {
        if (!Need(4))
            return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(FBody[FPos++]);
        return v;
    }
    std::string Str() {
        const std::uint32_t length = U32();
        if (!Need(length))
            return {};
        std::string s(FBody.substr(FPos, length));
        FPos += length;
        return s;
    }
    void Skip(std::size_t n) {
        if (Need(n))
            FPos += n;
    }

  private:
    bool Need(std::size_t n) {
        if (!FOk || FBody.size() - FPos < n) {
            FOk = false;
            return false;
        }
        return true;
    }
    std::string_view FBody;
    std::size_t FPos = 0;
    bool FOk = true;
};

void ReadAttributes(TReader& in, TSftpReply& reply) {
    const std::uint32_t flags = in.U32();
    if (flags & 0x1)
        in.Skip(8);  // size
    if (flags & 0x2)
        in.Skip(8);  // uid, gid
    if (flags & 0x4)
        reply.permissions = in.U32();
    if (flags & 0x8)
        in.Skip(8);  // atime, mtime
    if (flags & 0x80000000u) {
        const std::uint32_t count = in.U32();
        for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
            in.Str();
            in.Str();
        }
    }
}

}  // namespace

TSftpRequestBuilder::TSftpRequestBuilder(std::uint8_t type) {
    FBytes.assign(4, '\0');
    FBytes += static_cast<char>(type);
}

TSftpRequestBuilder& TSftpRequestBuilder::U32(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        FBytes += static_cast<char>((value >> shift) & 0xFF);
    return *this;
}

TSftpRequestBuilder& TSftpRequestBuilder::U64(std::uint64_t value) {
    U32(static_cast<std::uint32_t>(value >> 32));
    return U32(static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
}

TSftpRequestBuilder& TSftpRequestBuilder::Str(std::string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    FBytes.append(text);
    return *this;
}

TSftpRequestBuilder& TSftpRequestBuilder::Permissions(std::uint32_t mode) {
    return U32(0x4).U32(mode);
}

std::string TSftpRequestBuilder::Finish() {
    const auto length = static_cast<std::uint32_t>(FBytes.size() - 4);
    for (int i = 0; i < 4; ++i) FBytes[i] = static_cast<char>((length >> (24 - 8 * i)) & 0xFF);
    return std::move(FBytes);
}

std::string SftpInit() {
    return TSftpRequestBuilder(SSH_FXP_INIT).U32(kSftpVersion).Finish();
}

std::string SftpOpenForWriting(std::uint32_t id, std::string_view path, std::uint32_t mode) {
    return TSftpRequestBuilder(SSH_FXP_OPEN)
        .U32(id)
        .Str(path)
        .U32(SSH_FXF_WRITE | SSH_FXF_CREAT | SSH_FXF_TRUNC)
        .Permissions(mode)
        .Finish();
}

std::string SftpWrite(std::uint32_t id, std::string_view handle, std::uint64_t offset,
                      std::string_view data) {
    return TSftpRequestBuilder(SSH_FXP_WRITE).U32(id).Str(handle).U64(offset).Str(data).Finish();
}

std::string SftpClose(std::uint32_t id, std::string_view handle) {
    return TSftpRequestBuilder(SSH_FXP_CLOSE).U32(id).Str(handle).Finish();
}

std::string SftpStat(std::uint32_t id, std::string_view path) {
    return TSftpRequestBuilder(SSH_FXP_STAT).U32(id).Str(path).Finish();
}

std::string SftpMkdir(std::uint32_t id, std::string_view path, std::uint32_t mode) {
    return TSftpRequestBuilder(SSH_FXP_MKDIR).U32(id).Str(path).Permissions(mode).Finish();
}

std::string SftpRemove(std::uint32_t id, std::string_view path) {
    return TSftpRequestBuilder(SSH_FXP_REMOVE).U32(id).Str(path).Finish();
}

std::string SftpRename(std::uint32_t id, std::string_view from, std::string_view to) {
    return TSftpRequestBuilder(SSH_FXP_RENAME).U32(id).Str(from).Str(to).Finish();
}

std::string SftpPosixRename(std::uint32_t id, std::string_view from, std::string_view to) {
    return TSftpRequestBuilder(SSH_FXP_EXTENDED)
        .U32(id)
        .Str(kPosixRenameExtension)
        .Str(from)
        .Str(to)
        .Finish();
}

bool TakeSftpReply(std::string& buffer, TSftpReply& reply, bool& broken) {
    broken = false;
    if (buffer.size() < 4) {
        return false;
    }
    TReader head(std::string_view(buffer).substr(0, 4));
    const std::uint32_t length = head.U32();
    if (length == 0 || length > kSftpMaxReplyLength) {
        broken = true;
        return false;
    }
    if (buffer.size() - 4 < length) {
        return false;
    }
    TReader in(std::string_view(buffer).substr(4, length));
    reply = TSftpReply{};
    reply.type = in.U8();
    switch (reply.type) {
        case SSH_FXP_VERSION:
            reply.version = in.U32();
            while (in.Ok() && !in.AtEnd()) {
                std::string name = in.Str();
                in.Str();
                if (in.Ok())
                    reply.extensions.push_back(std::move(name));
            }
            break;
        case SSH_FXP_STATUS:
            reply.id = in.U32();
            reply.status = in.U32();
            // Version 3 servers may end the reply after the code.
            if (!in.AtEnd()) {
                reply.message = in.Str();
                if (in.Ok() && !in.AtEnd())
                    in.Str();
            }
            break;
        case SSH_FXP_HANDLE:
            reply.id = in.U32();
            reply.handle = in.Str();
            break;
        case SSH_FXP_ATTRS:
            reply.id = in.U32();
            ReadAttributes(in, reply);
            break;
        default:
            // Replies an upload never asks for still carry their request id first.
            reply.id = in.U32();
            break;
    }
    if (!in.Ok()) {
        broken = true;
        return false;
    }
    buffer.erase(0, 4 + length);
    return true;
}

std::string SftpStatusText(std::uint32_t status) {
    switch (status) {
        case SSH_FX_OK:
            return "Success";
        case SSH_FX_EOF:
            return "End of file";
        case SSH_FX_NO_SUCH_FILE:
            return "No such file or directory";
        case SSH_FX_PERMISSION_DENIED:
            return "Permission denied";
        case SSH_FX_FAILURE:
            return "Failure";
        case SSH_FX_BAD_MESSAGE:
            return "Bad message";
        case SSH_FX_OP_UNSUPPORTED:
            return "Operation unsupported";
        default:
            return "Error " + std::to_string(status);
    }
}

}  // namespace tessel

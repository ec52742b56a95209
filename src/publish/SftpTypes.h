#pragma once

// What the SFTP client tells its users, without any libssh type: the server's host key for
// a window that asks whether to trust it, how to log in, and the error codes.

#include <string>

#include "publish/core/SshAuth.h"

namespace tessel {

struct TSshHostKey {
    std::string type;    // "ssh-ed25519"
    std::string sha256;  // "SHA256:" + unpadded Base64, as ssh-keygen -l shows it

    bool Empty() const { return sha256.empty(); }
};

// Codes of the SSH layer, above the Winsock, SOCKS, TLS and FTP ranges. Connection failures
// before the SSH handshake keep the Winsock numbers (10061 "Connection refused").
constexpr int kSshTimeout = 20301;
constexpr int kSshHandshakeFailed = 20302;
constexpr int kSshHostKeyUnknown = 20303;
constexpr int kSshHostKeyChanged = 20304;
constexpr int kSshLoginRefused = 20305;
constexpr int kSshKeyFileFailed = 20306;
constexpr int kSshNoSftp = 20307;
constexpr int kSshConnectionLost = 20308;
// A status the SFTP server answered with, added to this base ("no such file" is 20402).
constexpr int kSftpStatusBase = 20400;
constexpr int kSftpNoSuchFile = kSftpStatusBase + 2;
constexpr int kSftpNotADirectory = 20450;
// As the FTP client says it: the local file could not be opened or read.
constexpr int kSftpLocalFileFailed = 426;

}  // namespace tessel

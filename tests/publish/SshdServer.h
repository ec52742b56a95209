#pragma once

// OpenSSH's sshd from Debian, started by a test on a free loopback port with its own host
// key, configuration and log, serving SFTP (internal-sftp) to one test user whose files
// are in a temporary folder. Password and key log-ins are both allowed.

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "NetTestSupport.h"

namespace tessel::test {

inline constexpr const char* kSshdUser = "tesselsftp";
inline constexpr const char* kSshdPassword = "Sftp-test-8842";

// An OpenSSH key pair made with ssh-keygen; empty paths when it could not be made.
struct TSshKeyPair {
    std::filesystem::path privateKey;
    std::string publicLine;  // "ssh-ed25519 AAAA... comment"
    std::string sha256;      // "SHA256:..."
};
TSshKeyPair MakeSshKey(const std::filesystem::path& path, const std::string& passphrase);

class TSshdServer {
  public:
    // `authorizedKeys` are public key lines the test user may log in with. With
    // `passwordByPrompt` the password is taken only as the answer to a keyboard-interactive
    // prompt (through PAM), as many hosts have it.
    TSshdServer(const std::filesystem::path& dir,
                const std::vector<std::string>& authorizedKeys = {}, bool passwordByPrompt = false);
    ~TSshdServer();
    TSshdServer(const TSshdServer&) = delete;
    TSshdServer& operator=(const TSshdServer&) = delete;

    int Port() const { return FPort; }
    const std::string& Problem() const { return FProblem; }
    // The test user's folder, where SFTP sessions start.
    std::filesystem::path Home() const { return FDir / "home"; }
    const TSshKeyPair& HostKey() const { return FHostKey; }
    // The server's log so far.
    std::string Log() const;
    // Freezes every connection the server is serving (not the listener): the client sees a
    // server that stopped answering.
    void StallConnections();

  private:
    std::filesystem::path FDir;
    std::unique_ptr<TChildProcess> FProcess;
    TSshKeyPair FHostKey;
    std::vector<pid_t> FStopped;
    int FPort = 0;
    std::string FProblem;
};

}  // namespace tessel::test

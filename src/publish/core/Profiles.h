#pragma once

// Server profiles: named FTP log-in data kept in the per-user settings, one subkey per
// profile below kProfilesKey. Every text value is stored with one NUL after it (so older
// readers that stop at the first NUL and writers that add one agree), and read up to the
// first NUL. The password is stored scrambled and Base64-encoded.

#include <string>
#include <vector>

#include "publish/core/SshAuth.h"

namespace tessel {

class TRegistryStore;

inline constexpr const char* kProfilesKey = "Software\\Brindle Software\\HTML Tessel4\\Profiles\\";
inline constexpr const char* kDefaultFtpPort = "21";
inline constexpr const char* kDefaultSftpPort = "22";

// One profile as the editor and the FTP client see it; the password in plain text.
struct TServerProfile {
    std::string name;
    std::string user;
    std::string password;
    std::string host;
    std::string initialDir;
    std::string port = kDefaultFtpPort;
    bool passive = false;
    // Explicit FTPS: off for profiles stored before it existed.
    bool tls = false;
    // The SHA-256 fingerprint of the certificate the user chose to trust for this server,
    // as NormalizeSha256Fingerprint writes it; empty when none was trusted.
    std::string tlsFingerprint;
    // Where visitors find the files of the initial directory, e.g.
    // "https://www.example.com/~anna/"; empty when the user gave none.
    std::string webAddress;
    // SFTP instead of FTP (then passive and TLS do not apply): off for profiles stored
    // before it existed.
    bool sftp = false;
    TSshAuth sshAuth = TSshAuth::Password;
    std::string sshKeyFile;
    // The host key the user chose to trust for this server, "SHA256:..." as ssh-keygen -l
    // shows it; empty when none was.
    std::string sshHostKey;

    bool operator==(const TServerProfile&) const = default;
};

// A profile the user is about to create: encryption is asked for unless they turn it off.
TServerProfile NewServerProfile();

class TServerProfiles {
  public:
    explicit TServerProfiles(TRegistryStore& store) : FStore(store) {}

    // The names in the order the store enumerates them.
    std::vector<std::string> ListProfiles() const;
    // Name comparison ignores letter case, as the store's key names do.
    bool ProfileExists(const std::string& name) const;
    // Missing values read as empty, a missing port as "21", a missing Passive or TLS as off. The
    // returned name is the one asked for.
    TServerProfile ReadProfile(const std::string& name) const;
    // Deletes the subkey of `oldName` first when it is not empty, then writes the profile
    // under its own name; the web address and the SFTP values only when they are set, so a
    // profile that does not use them is stored as before they existed. Throws std::invalid_argument
    // for a name that IsProfileNameAcceptable refuses: such a name would make another key, or
    // none.
    void WriteProfile(const TServerProfile& profile, const std::string& oldName);
    // False when there was no such profile.
    bool DeleteProfile(const std::string& name);

  private:
    TRegistryStore& FStore;
};

}  // namespace tessel

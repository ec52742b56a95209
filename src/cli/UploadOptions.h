#pragma once

// The arguments of tessel-cli upload and how a server profile fills in what they leave out.

#include <optional>
#include <string>
#include <vector>

#include "publish/core/SshAuth.h"

namespace tessel {

struct TServerProfile;

struct TUploadOptions {
    // Unset when not given, so a profile's value can stand in; explicit options win.
    std::optional<std::string> host;
    std::optional<std::string> port;
    std::optional<std::string> user;
    std::optional<std::string> dir;
    std::optional<bool> passive;          // --passive or --active
    std::optional<std::string> password;  // from the profile
    std::optional<bool> tls;              // --tls (also implied by the two below)
    std::string caFile;
    std::optional<std::string> trustSha256;  // canonical form
    std::optional<bool> sftp;                // --sftp, or the profile's way to send
    std::optional<TSshAuth> sshAuth;         // --key or --agent; else the password
    std::string keyFile;
    std::optional<std::string> sshHostKey;  // --trust-sha256 SHA256:..., canonical
    std::string passwordFile;
    std::string passwordEnv;
    std::string profile;
    bool mkdir = false;
    int timeout = 15;
    std::vector<std::string> files;
};

// Reads the arguments after "upload". Returns an error text for an unknown option, a
// missing value, a bad timeout or a contradiction; what a profile may still fill in is
// checked by CheckUploadOptions.
std::optional<std::string> ParseUploadOptions(const std::vector<std::string>& args,
                                              TUploadOptions& options);

// Takes every value that was not given on the command line from the profile; its password
// only when neither --password-file nor --password-env was given. The FTP settings of an
// SFTP profile (or of --sftp) are left out.
void FillFromProfile(TUploadOptions& options, const TServerProfile& profile);

// Returns an error text when the host, the user, a password source or the files are missing,
// or when FTP's options meet SFTP's.
std::optional<std::string> CheckUploadOptions(const TUploadOptions& options);

}  // namespace tessel

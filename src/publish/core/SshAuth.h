#pragma once

// How an SFTP server profile logs in.

namespace tessel {

enum class TSshAuth {
    Password,  // the profile's password
    KeyFile,   // an OpenSSH private key file, its passphrase asked when it has one
    Agent,     // the keys of the running ssh-agent
};

}  // namespace tessel

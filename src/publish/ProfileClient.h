#pragma once

// Loading a server profile into the FTP or the SFTP client before a session.

namespace tessel {

class TCustomFtpCli;
class TSftpClient;
struct TServerProfile;

// Sets UserName, PassWord, HostName, HostDirName, Port, Passive, TlsMode and
// TlsTrustedSha256 from the profile; the client's other properties stay as they are.
void LoadProfileIntoClient(const TServerProfile& profile, TCustomFtpCli& client);
// Sets the log-in data, HostName, HostDirName, Port, the way to log in, the key file and
// the trusted host key; the passphrase is cleared, as it is never stored.
void LoadProfileIntoClient(const TServerProfile& profile, TSftpClient& client);

}  // namespace tessel

#pragma once

// Loading a server profile into the FTP client before a session.

namespace tessel {

class TCustomFtpCli;
struct TServerProfile;

// Sets UserName, PassWord, HostName, HostDirName, Port, Passive, TlsMode and
// TlsTrustedSha256 from the profile; the client's other properties stay as they are.
void LoadProfileIntoClient(const TServerProfile& profile, TCustomFtpCli& client);

}  // namespace tessel

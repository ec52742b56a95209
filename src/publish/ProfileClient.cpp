#include "publish/ProfileClient.h"

#include "publish/FtpCli.h"
#include "publish/core/Profiles.h"

namespace tessel {

void LoadProfileIntoClient(const TServerProfile& profile, TCustomFtpCli& client) {
    client.UserName = profile.user;
    client.PassWord = profile.password;
    client.HostName = profile.host;
    client.HostDirName = profile.initialDir;
    client.Port = profile.port;
    client.Passive = profile.passive;
    client.TlsMode = profile.tls ? ftpTlsRequired : ftpTlsNone;
    client.TlsTrustedSha256 = profile.tlsFingerprint;
}

}  // namespace tessel

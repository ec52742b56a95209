#include "publish/ProfileClient.h"

#include "publish/FtpCli.h"
#include "publish/SftpClient.h"
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

void LoadProfileIntoClient(const TServerProfile& profile, TSftpClient& client) {
    client.UserName = profile.user;
    client.PassWord = profile.password;
    client.HostName = profile.host;
    client.HostDirName = profile.initialDir;
    client.Port = profile.port;
    client.Auth = profile.sshAuth;
    client.KeyFile = profile.sshKeyFile;
    client.KeyPassphrase.clear();
    client.TrustedHostKey = profile.sshHostKey;
}

}  // namespace tessel

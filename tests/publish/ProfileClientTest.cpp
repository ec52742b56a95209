#include <gtest/gtest.h>

#include "NetTestSupport.h"
#include "platform/RegistryStore.h"
#include "publish/FtpCli.h"
#include "publish/ProfileClient.h"
#include "publish/SftpClient.h"
#include "publish/core/Profiles.h"

namespace tessel::test {
namespace {

TEST(ProfileClientTest, AStoredProfileReachesTheClientAndLeavesTheRestAlone) {
    TTempDir dir;
    TRegistryStore store((dir.Path() / "registry").string());
    TServerProfiles profiles(store);
    TServerProfile stored{"Club",  "anna", "pa55", "127.0.0.2",        "www", "2121", true, true,
                          "AB:CD", "",     false,  TSshAuth::Password, "",    ""};
    profiles.WriteProfile(stored, "");

    TFtpClient client;
    client.Timeout = 7;
    client.Binary = false;
    client.HostFileName = "index.html";
    LoadProfileIntoClient(profiles.ReadProfile("club"), client);
    EXPECT_EQ(client.UserName, "anna");
    EXPECT_EQ(client.PassWord, "pa55");
    EXPECT_EQ(client.HostName, "127.0.0.2");
    EXPECT_EQ(client.HostDirName, "www");
    EXPECT_EQ(client.Port, "2121");
    EXPECT_TRUE(client.Passive);
    EXPECT_EQ(client.TlsMode, ftpTlsRequired);
    EXPECT_EQ(client.TlsTrustedSha256, "AB:CD");
    EXPECT_EQ(client.Timeout, 7);
    EXPECT_FALSE(client.Binary);
    EXPECT_EQ(client.HostFileName, "index.html");

    // A profile without a stored port gives the FTP port.
    store.DeleteValue(std::string(kProfilesKey) + "Club", "Port");
    store.DeleteValue(std::string(kProfilesKey) + "Club", "Passive");
    store.DeleteValue(std::string(kProfilesKey) + "Club", "TLS");
    store.DeleteValue(std::string(kProfilesKey) + "Club", "TLSFingerprint");
    LoadProfileIntoClient(profiles.ReadProfile("Club"), client);
    EXPECT_EQ(client.Port, "21");
    EXPECT_FALSE(client.Passive);
    EXPECT_EQ(client.TlsMode, ftpTlsNone);
    EXPECT_EQ(client.TlsTrustedSha256, "");
}

TEST(ProfileClientTest, AnSftpProfileReachesTheSftpClientWithoutAPassphrase) {
    TServerProfile stored;
    stored.user = "anna";
    stored.host = "127.0.0.2";
    stored.initialDir = "www";
    stored.port = "2222";
    stored.sftp = true;
    stored.sshAuth = TSshAuth::KeyFile;
    stored.sshKeyFile = "/keys/id";
    stored.sshHostKey = "SHA256:key";
    TSftpClient client;
    client.KeyPassphrase = "typed for the last send";
    LoadProfileIntoClient(stored, client);
    EXPECT_EQ(client.HostDirName, "www");
    EXPECT_EQ(client.Port, "2222");
    EXPECT_EQ(client.Auth, TSshAuth::KeyFile);
    EXPECT_EQ(client.KeyFile, "/keys/id");
    EXPECT_EQ(client.TrustedHostKey, "SHA256:key");
    EXPECT_TRUE(client.KeyPassphrase.empty());
}

}  // namespace
}  // namespace tessel::test

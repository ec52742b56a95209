#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "platform/RegistryStore.h"
#include "publish/core/Profiles.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

std::string Key(const std::string& name) {
    return std::string(kProfilesKey) + name;
}

class ProfilesTest : public ::testing::Test {
  protected:
    TServerProfile Profile(const std::string& name, const std::string& password = "pw") {
        TServerProfile p;
        p.name = name;
        p.user = "anna";
        p.password = password;
        p.host = "ftp.example.org";
        p.initialDir = "public_html";
        p.port = "2121";
        p.passive = true;
        return p;
    }

    testing::TTempFolder folder_;
    TRegistryStore store_{folder_.Path() + "registry"};
    TServerProfiles profiles_{store_};
};

TEST_F(ProfilesTest, WrittenProfileReadsBackWithValuesStoredAsTheDesktopDoes) {
    profiles_.WriteProfile(Profile("Home"), "");
    EXPECT_EQ(profiles_.ReadProfile("Home"), Profile("Home"));
    // Each value's text is followed by one NUL; the password is scrambled, then Base64.
    EXPECT_EQ(store_.Read(Key("Home"), "Username"), std::string("anna", 5));
    EXPECT_EQ(store_.Read(Key("Home"), "Port"), std::string("2121", 5));
    EXPECT_EQ(store_.Read(Key("Home"), "Passive"), std::string("1", 2));
    const std::string storedPassword = store_.ReadString(Key("Home"), "Password");
    EXPECT_EQ(storedPassword.size(), 5u);
    EXPECT_EQ(storedPassword.back(), '\0');
    EXPECT_EQ(storedPassword.find("pw"), std::string::npos);
}

TEST_F(ProfilesTest, ShortPasswordsSurviveTheStoreWithTheirPadding) {
    const char* const passwords[] = {"a", "ab", "abc", "", "p\xE4ss w:rd"};
    const std::size_t padding[] = {2, 1, 0, 0, 0};
    for (std::size_t i = 0; i < std::size(passwords); ++i) {
        profiles_.WriteProfile(Profile("P", passwords[i]), "");
        EXPECT_EQ(profiles_.ReadProfile("P").password, passwords[i]);
        const std::string stored = store_.ReadString(Key("P"), "Password");
        const std::string text = stored.substr(0, stored.find('\0'));
        EXPECT_EQ(std::count(text.begin(), text.end(), '='), static_cast<long>(padding[i]));
        if (std::string(passwords[i]).size() <= 3) {
            EXPECT_EQ(text.size(), std::string(passwords[i]).empty() ? 0u : 4u);
        }
    }
}

TEST_F(ProfilesTest, MissingValuesReadAsEmptyPortAsDefaultAndTextStopsAtTheFirstNul) {
    store_.WriteString(Key("Bare"), "Host", std::string("h.example.org\0junk", 18));
    store_.WriteString(Key("Bare"), "Passive", "1");  // written by hand, without NUL
    const TServerProfile p = profiles_.ReadProfile("Bare");
    EXPECT_EQ(p.host, "h.example.org");
    EXPECT_EQ(p.port, "21");
    EXPECT_EQ(p.user, "");
    EXPECT_EQ(p.password, "");
    EXPECT_EQ(p.initialDir, "");
    EXPECT_TRUE(p.passive);
    store_.WriteString(Key("Bare"), "Passive", std::string("0\0", 2));
    EXPECT_FALSE(profiles_.ReadProfile("Bare").passive);
    store_.DeleteValue(Key("Bare"), "Passive");
    EXPECT_FALSE(profiles_.ReadProfile("Bare").passive);
}

TEST_F(ProfilesTest, EncryptionValuesRoundTripAndAreOffWhenAbsent) {
    TServerProfile p = Profile("Secure");
    p.tls = true;
    p.tlsFingerprint = "AB:CD";
    profiles_.WriteProfile(p, "");
    EXPECT_EQ(profiles_.ReadProfile("Secure"), p);
    EXPECT_EQ(store_.Read(Key("Secure"), "TLS"), std::string("1", 2));
    EXPECT_EQ(store_.Read(Key("Secure"), "TLSFingerprint"), std::string("AB:CD", 6));
    // A profile stored before encryption existed has neither value and stays in clear text.
    store_.DeleteValue(Key("Secure"), "TLS");
    store_.DeleteValue(Key("Secure"), "TLSFingerprint");
    EXPECT_FALSE(profiles_.ReadProfile("Secure").tls);
    EXPECT_EQ(profiles_.ReadProfile("Secure").tlsFingerprint, "");
    EXPECT_TRUE(NewServerProfile().tls);
    EXPECT_FALSE(TServerProfile().tls);
}

TEST_F(ProfilesTest, AWebAddressIsStoredOnlyWhileThereIsOne) {
    profiles_.WriteProfile(Profile("Site"), "");
    EXPECT_FALSE(store_.ValueExists(Key("Site"), "WebAddress"));
    TServerProfile p = Profile("Site");
    p.webAddress = "https://www.example.org/~anna/";
    profiles_.WriteProfile(p, "");
    EXPECT_EQ(profiles_.ReadProfile("Site"), p);
    EXPECT_EQ(store_.Read(Key("Site"), "WebAddress"),
              std::string("https://www.example.org/~anna/\0", 31));
    // Cleared in the editor: the value goes, as it was never there.
    profiles_.WriteProfile(Profile("Site"), "");
    EXPECT_FALSE(store_.ValueExists(Key("Site"), "WebAddress"));
    EXPECT_EQ(profiles_.ReadProfile("Site"), Profile("Site"));
}

TEST_F(ProfilesTest, ListsInStoreOrderAndFindsNamesWithoutRegardToCase) {
    profiles_.WriteProfile(Profile("zeta"), "");
    profiles_.WriteProfile(Profile("Alpha"), "");
    profiles_.WriteProfile(Profile("beta"), "");
    EXPECT_EQ(profiles_.ListProfiles(), (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_TRUE(profiles_.ProfileExists("ALPHA"));
    EXPECT_FALSE(profiles_.ProfileExists("Alp"));
    EXPECT_FALSE(profiles_.ProfileExists(""));
    EXPECT_FALSE(profiles_.ProfileExists("Alpha\\x"));
}

TEST_F(ProfilesTest, RenameLeavesNothingUnderTheOldNameAndEditInPlaceOverwrites) {
    profiles_.WriteProfile(Profile("Old"), "");
    TServerProfile renamed = Profile("New");
    renamed.user = "bert";
    profiles_.WriteProfile(renamed, "Old");
    EXPECT_FALSE(store_.KeyExists(Key("Old")));
    EXPECT_EQ(profiles_.ListProfiles(), std::vector<std::string>{"New"});
    EXPECT_EQ(profiles_.ReadProfile("New").user, "bert");

    renamed.host = "other.example.org";
    renamed.passive = false;
    profiles_.WriteProfile(renamed, "");
    EXPECT_EQ(profiles_.ReadProfile("New"), renamed);
    EXPECT_EQ(profiles_.ListProfiles(), std::vector<std::string>{"New"});
}

TEST_F(ProfilesTest, DeleteRemovesOnlyThatProfile) {
    profiles_.WriteProfile(Profile("A"), "");
    profiles_.WriteProfile(Profile("B"), "");
    EXPECT_TRUE(profiles_.DeleteProfile("a"));
    EXPECT_FALSE(profiles_.DeleteProfile("a"));
    EXPECT_EQ(profiles_.ListProfiles(), std::vector<std::string>{"B"});
    // An empty name must not take the whole Profiles key with it.
    EXPECT_FALSE(profiles_.DeleteProfile(""));
    EXPECT_EQ(profiles_.ListProfiles(), std::vector<std::string>{"B"});
}

TEST_F(ProfilesTest, RefusesNamesThatWouldMakeAnotherKey) {
    EXPECT_THROW(profiles_.WriteProfile(Profile("a\\b"), ""), std::invalid_argument);
    EXPECT_THROW(profiles_.WriteProfile(Profile(""), ""), std::invalid_argument);
    EXPECT_FALSE(store_.KeyExists(Key("a")));
    EXPECT_TRUE(profiles_.ListProfiles().empty());
}

}  // namespace
}  // namespace tessel

namespace tessel {
namespace {

class SftpProfilesTest : public ::testing::Test {
  protected:
    testing::TTempFolder folder_;
    TRegistryStore store_{folder_.Path() + "registry"};
    TServerProfiles profiles_{store_};
};

TEST_F(SftpProfilesTest, SftpValuesAreStoredOnlyWhenUsedAndReadBack) {
    TServerProfile ftp;
    ftp.name = "Plain";
    ftp.host = "ftp.example.org";
    profiles_.WriteProfile(ftp, "");
    for (const char* value : {"Transfer", "SSHAuth", "SSHKeyFile", "SSHHostKey"}) {
        EXPECT_FALSE(store_.Read(Key("Plain"), value)) << value;
    }

    TServerProfile sftp = ftp;
    sftp.name = "Shell";
    sftp.port = "22";
    sftp.sftp = true;
    sftp.sshAuth = TSshAuth::KeyFile;
    sftp.sshKeyFile = "/home/anna/.ssh/id_ed25519";
    sftp.sshHostKey = "SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU";
    profiles_.WriteProfile(sftp, "");
    EXPECT_EQ(profiles_.ReadProfile("Shell"), sftp);
    EXPECT_EQ(store_.Read(Key("Shell"), "Transfer"), std::string("SFTP", 5));

    // Back to FTP with a password: the SSH values go, so the profile is stored as before.
    sftp.sftp = false;
    sftp.sshAuth = TSshAuth::Password;
    sftp.sshKeyFile.clear();
    sftp.sshHostKey.clear();
    profiles_.WriteProfile(sftp, "");
    for (const char* value : {"Transfer", "SSHAuth", "SSHKeyFile", "SSHHostKey"}) {
        EXPECT_FALSE(store_.Read(Key("Shell"), value)) << value;
    }
    // An agent log-in needs no key file.
    sftp.sftp = true;
    sftp.sshAuth = TSshAuth::Agent;
    profiles_.WriteProfile(sftp, "");
    EXPECT_EQ(profiles_.ReadProfile("Shell").sshAuth, TSshAuth::Agent);
}

}  // namespace
}  // namespace tessel

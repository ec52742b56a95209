#include "publish/core/Profiles.h"

#include <stdexcept>

#include "platform/RegistryStore.h"
#include "publish/core/Passwords.h"
#include "publish/core/ProfileRules.h"

namespace tessel {
namespace {

std::string ProfileKey(const std::string& name) {
    return std::string(kProfilesKey) + name;
}

// The text before the first NUL; the writer leaves one after every value.
std::string TextBeforeNul(const std::string& stored) {
    return stored.substr(0, stored.find('\0'));
}

}  // namespace

TServerProfile NewServerProfile() {
    TServerProfile profile;
    profile.tls = true;
    return profile;
}

std::vector<std::string> TServerProfiles::ListProfiles() const {
    return FStore.SubKeyNames(kProfilesKey);
}

bool TServerProfiles::ProfileExists(const std::string& name) const {
    return IsProfileNameAcceptable(name) && FStore.KeyExists(ProfileKey(name));
}

TServerProfile TServerProfiles::ReadProfile(const std::string& name) const {
    const std::string key = ProfileKey(name);
    const auto read = [&](const char* value, const char* fallback) {
        const auto stored = FStore.Read(key, value);
        return stored ? TextBeforeNul(*stored) : std::string(fallback);
    };
    TServerProfile profile;
    profile.name = name;
    profile.user = read("Username", "");
    profile.password = UnscramblePassword(DecodeBase64(read("Password", "")));
    profile.host = read("Host", "");
    profile.initialDir = read("InitialDir", "");
    profile.port = read("Port", kDefaultFtpPort);
    profile.passive = read("Passive", "0") == "1";
    profile.tls = read("TLS", "0") == "1";
    profile.tlsFingerprint = read("TLSFingerprint", "");
    profile.webAddress = read("WebAddress", "");
    profile.sftp = read("Transfer", "") == "SFTP";
    const std::string auth = read("SSHAuth", "");
    profile.sshAuth = auth == "KeyFile" ? TSshAuth::KeyFile
                      : auth == "Agent" ? TSshAuth::Agent
                                        : TSshAuth::Password;
    profile.sshKeyFile = read("SSHKeyFile", "");
    profile.sshHostKey = read("SSHHostKey", "");
    return profile;
}

void TServerProfiles::WriteProfile(const TServerProfile& profile, const std::string& oldName) {
    if (!IsProfileNameAcceptable(profile.name)) {
        throw std::invalid_argument("Not a server profile name: " + profile.name);
    }
    // One change of the store: a rename never loses the profile half-way.
    const bool renamed = !oldName.empty() && IsProfileNameAcceptable(oldName);
    const auto text = [](const std::string& value) { return value + '\0'; };
    std::vector<std::pair<std::string, std::string>> values = {
        {"Username", text(profile.user)},
        {"Password", text(EncodeBase64(ScramblePassword(profile.password)))},
        {"Host", text(profile.host)},
        {"InitialDir", text(profile.initialDir)},
        {"Port", text(profile.port)},
        {"Passive", text(profile.passive ? "1" : "0")},
        {"TLS", text(profile.tls ? "1" : "0")},
        {"TLSFingerprint", text(profile.tlsFingerprint)}};
    // Older profiles have none of these, and one that does not use them is stored as they are.
    const char* auth = profile.sshAuth == TSshAuth::KeyFile ? "KeyFile"
                       : profile.sshAuth == TSshAuth::Agent ? "Agent"
                                                            : "";
    const std::pair<const char*, std::string> optional[] = {
        {"WebAddress", profile.webAddress},
        {"Transfer", profile.sftp ? "SFTP" : ""},
        {"SSHAuth", auth},
        {"SSHKeyFile", profile.sshKeyFile},
        {"SSHHostKey", profile.sshHostKey}};
    std::vector<std::string> cleared;
    for (const auto& [name, value] : optional) {
        if (value.empty()) {
            cleared.push_back(name);
        } else {
            values.emplace_back(name, text(value));
        }
    }
    FStore.WriteStrings(ProfileKey(profile.name), values,
                        renamed ? ProfileKey(oldName) : std::string(), cleared);
}

bool TServerProfiles::DeleteProfile(const std::string& name) {
    return IsProfileNameAcceptable(name) && FStore.DeleteKey(ProfileKey(name));
}

}  // namespace tessel

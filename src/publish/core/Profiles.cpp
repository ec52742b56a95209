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
    return profile;
}

void TServerProfiles::WriteProfile(const TServerProfile& profile, const std::string& oldName) {
    if (!IsProfileNameAcceptable(profile.name)) {
        throw std::invalid_argument("Not a server profile name: " + profile.name);
    }
    if (!oldName.empty() && IsProfileNameAcceptable(oldName)) {
        FStore.DeleteKey(ProfileKey(oldName));
    }
    const std::string key = ProfileKey(profile.name);
    const auto write = [&](const char* value, const std::string& text) {
        FStore.WriteString(key, value, text + '\0');
    };
    write("Username", profile.user);
    write("Password", EncodeBase64(ScramblePassword(profile.password)));
    write("Host", profile.host);
    write("InitialDir", profile.initialDir);
    write("Port", profile.port);
    write("Passive", profile.passive ? "1" : "0");
}

bool TServerProfiles::DeleteProfile(const std::string& name) {
    return IsProfileNameAcceptable(name) && FStore.DeleteKey(ProfileKey(name));
}

}  // namespace tessel

#include "platform/UserFolders.h"

#include <cstdlib>

namespace tessel {

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string BaseFolder(const std::string& xdgValue, const std::string& home,
                       const char* fallbackBelowHome) {
    if (!xdgValue.empty() && xdgValue.front() == '/') {
        return WithTrailingSlash(xdgValue);
    }
    return WithTrailingSlash(home) + fallbackBelowHome;
}

}  // namespace

TUserFolders UserFoldersFromEnvironment() {
    return {EnvironmentValue("HOME"), EnvironmentValue("XDG_DATA_HOME"),
            EnvironmentValue("XDG_CONFIG_HOME")};
}

std::string DataHome(const TUserFolders& folders) {
    return BaseFolder(folders.xdgDataHome, folders.home, ".local/share/");
}

std::string ConfigHome(const TUserFolders& folders) {
    return BaseFolder(folders.xdgConfigHome, folders.home, ".config/");
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace tessel

#pragma once

// The per-user folders of the desktop's base-directory conventions. Gathered from the
// environment once and handed on, so tests can point everything at temporary folders.

#include <string>

namespace tessel {

struct TUserFolders {
    std::string home;           // HOME
    std::string xdgDataHome;    // XDG_DATA_HOME, empty when unset
    std::string xdgConfigHome;  // XDG_CONFIG_HOME, empty when unset
};

TUserFolders UserFoldersFromEnvironment();

// $XDG_DATA_HOME, else ~/.local/share; ends in "/". A relative XDG path is ignored, as the
// convention asks.
std::string DataHome(const TUserFolders& folders);
// $XDG_CONFIG_HOME, else ~/.config; ends in "/".
std::string ConfigHome(const TUserFolders& folders);

// `folder` with a "/" at its end (unchanged when it has one or is empty).
std::string WithTrailingSlash(std::string folder);

}  // namespace tessel

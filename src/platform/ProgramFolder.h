#pragma once

// The program folder: where the program keeps its data files (Themes.dat, Fields.ini,
// Tips.txt, the help) and the user's pages below them. Always ends in "/".

#include <array>
#include <string>
#include <string_view>

namespace tessel {

// Where the folder may come from; gathered from the process, or made up by tests.
struct TProgramFolderSources {
    std::string tesselHome;           // TESSEL_HOME, empty when unset
    std::string executableFolder;     // folder of the program file, ends in "/"
    std::string dataHome;             // the user's data folder ($XDG_DATA_HOME), ends in "/"
    std::string installedDataFolder;  // the delivered data files; empty when not found
};

// The data file whose presence marks a folder as a program folder.
inline constexpr const char* kProgramFolderMarker = "Themes.dat";

inline constexpr std::array<const char*, 6> kProgramSubFolders = {
    "TesselFiles/", "Templates/", "Upload/", "Upload/images/", "Upload/backgrounds/", "Palettes/"};

TProgramFolderSources ProgramFolderSourcesFromProcess();

// The folder of the delivered data files (it holds Themes.dat) for a program in
// `executableFolder`: ../share/brindle-tessel/ of it (an installed program and a build tree
// alike), then /usr/local and /usr. Empty when none.
std::string FindDeliveredData(const std::string& executableFolder);

// TESSEL_HOME when set; else the executable's folder when it holds Themes.dat and is
// writable; else brindle-tessel/ in the user's data folder. A folder without Themes.dat is
// created when needed and seeded with the delivered data files; files already there are
// never overwritten. Throws ETesselError when the folder cannot be created.
std::string ResolveProgramFolder(const TProgramFolderSources& sources);

// Copies the files and folders of `dataFolder` into `programFolder` that are not there yet.
void SeedProgramFolder(const std::string& dataFolder, const std::string& programFolder);

// programFolder + subFolder, created (with its parents) when missing.
std::string ProgramSubFolder(const std::string& programFolder, std::string_view subFolder);

// Creates every folder of kProgramSubFolders that is missing. Throws ETesselError naming the
// first that cannot be created, after trying the others.
void CreateProgramSubFolders(const std::string& programFolder);

}  // namespace tessel

#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "document/Exceptions.h"
#include "platform/UserFolders.h"

namespace tessel {

namespace fs = std::filesystem;

namespace {

bool HoldsMarker(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && fs::is_regular_file(fs::path(folder) / kProgramFolderMarker, error);
}

std::string ExecutableFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : WithTrailingSlash(program.parent_path().string());
}

void CreateFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
        throw ETesselError("Cannot create the folder " + folder + ". " + error.message());
    }
}

std::string Prepared(const std::string& folder, const TProgramFolderSources& sources) {
    if (!HoldsMarker(folder)) {
        CreateFolder(folder);
        if (!sources.installedDataFolder.empty()) {
            SeedProgramFolder(sources.installedDataFolder, folder);
        }
    }
    return folder;
}

}  // namespace

std::string FindDeliveredData(const std::string& executableFolder) {
    std::vector<std::string> candidates;
    if (!executableFolder.empty()) {
        candidates.push_back(executableFolder + "../share/brindle-tessel/");
    }
    candidates.push_back("/usr/local/share/brindle-tessel/");
    candidates.push_back("/usr/share/brindle-tessel/");
    for (const std::string& candidate : candidates) {
        if (HoldsMarker(candidate)) {
            std::error_code error;
            const fs::path canonical = fs::canonical(candidate, error);
            return error ? candidate : WithTrailingSlash(canonical.string());
        }
    }
    return {};
}

TProgramFolderSources ProgramFolderSourcesFromProcess() {
    TProgramFolderSources sources;
    if (const char* home = std::getenv("TESSEL_HOME")) {
        sources.tesselHome = WithTrailingSlash(home);
    }
    sources.executableFolder = ExecutableFolder();
    sources.dataHome = DataHome(UserFoldersFromEnvironment());
    sources.installedDataFolder = FindDeliveredData(sources.executableFolder);
    return sources;
}

std::string ResolveProgramFolder(const TProgramFolderSources& sources) {
    if (!sources.tesselHome.empty()) {
        return Prepared(WithTrailingSlash(sources.tesselHome), sources);
    }
    const std::string beside = WithTrailingSlash(sources.executableFolder);
    if (HoldsMarker(beside) && ::access(beside.c_str(), W_OK) == 0) {
        return beside;
    }
    return Prepared(WithTrailingSlash(sources.dataHome) + "brindle-tessel/", sources);
}

void SeedProgramFolder(const std::string& dataFolder, const std::string& programFolder) {
    const fs::path from(dataFolder);
    std::error_code error;
    for (auto entry = fs::recursive_directory_iterator(from, error);
         !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        const fs::path target = fs::path(programFolder) / fs::relative(entry->path(), from);
        std::error_code ignored;
        if (entry->is_directory(ignored)) {
            fs::create_directories(target, ignored);
        } else if (entry->is_regular_file(ignored) && !fs::exists(target, ignored)) {
            fs::copy_file(entry->path(), target, ignored);
        }
    }
}

std::string ProgramSubFolder(const std::string& programFolder, std::string_view subFolder) {
    const std::string folder = WithTrailingSlash(programFolder + std::string(subFolder));
    CreateFolder(folder);
    return folder;
}

void CreateProgramSubFolders(const std::string& programFolder) {
    std::string firstFailure;
    for (const char* subFolder : kProgramSubFolders) {
        try {
            ProgramSubFolder(programFolder, subFolder);
        } catch (const ETesselError& error) {
            if (firstFailure.empty())
                firstFailure = error.what();
        }
    }
    if (!firstFailure.empty())
        throw ETesselError(firstFailure);
}

}  // namespace tessel

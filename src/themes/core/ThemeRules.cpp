#include "themes/core/ThemeRules.h"

#include <filesystem>
#include <fstream>

#include "document/Persistence.h"

namespace tessel {

namespace fs = std::filesystem;

bool ThemeNameRefused(const std::vector<std::string>& names, int editIndex,
                      const std::string& name) {
    const bool editing = editIndex >= 0 && editIndex < static_cast<int>(names.size());
    if (editing && names[editIndex] == name)
        return false;
    for (const std::string& existing : names) {
        if (SameText(existing, name))
            return true;
    }
    return false;
}

namespace {

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::file_size(a, error) != fs::file_size(b, error) || error)
        return false;
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second)
        return false;
    char bufferA[8192];
    char bufferB[8192];
    while (first && second) {
        first.read(bufferA, sizeof bufferA);
        second.read(bufferB, sizeof bufferB);
        if (first.gcount() != second.gcount() ||
            !std::equal(bufferA, bufferA + first.gcount(), bufferB)) {
            return false;
        }
    }
    return first.eof() && second.eof();
}

}  // namespace

TPictureArrival PictureArrival(const std::string& chosenPath, const std::string& folder) {
    const fs::path chosen(chosenPath);
    const fs::path target = fs::path(folder) / chosen.filename();
    std::error_code error;
    if (!fs::exists(target, error))
        return TPictureArrival::Copy;
    if (fs::equivalent(chosen, target, error))
        return TPictureArrival::InFolder;
    return SameBytes(chosen, target) ? TPictureArrival::SameContent : TPictureArrival::NameTaken;
}

bool CopyPictureInto(const std::string& chosenPath, const std::string& folder, bool replace) {
    std::error_code error;
    fs::create_directories(folder, error);
    const fs::path target = fs::path(folder) / fs::path(chosenPath).filename();
    if (!replace)
        return fs::copy_file(chosenPath, target, fs::copy_options::none, error) && !error;
    // Through a temporary file, so a copy that fails half-way leaves the old picture whole.
    fs::path part = target;
    part += ".part~";
    if (!fs::copy_file(chosenPath, part, fs::copy_options::overwrite_existing, error) || error) {
        fs::remove(part, error);
        return false;
    }
    fs::rename(part, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return false;
    }
    return true;
}

}  // namespace tessel

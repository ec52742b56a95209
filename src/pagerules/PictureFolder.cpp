#include "pagerules/PictureFolder.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "document/Exceptions.h"
#include "platform/AtomicFile.h"

namespace tessel {

namespace fs = std::filesystem;

namespace {

constexpr std::streamsize kChunk = 64 * 1024;

}  // namespace

bool SameFileContent(const std::string& firstPath, const std::string& secondPath) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(firstPath, error);
    if (error || fs::file_size(secondPath, error) != size || error)
        return false;
    std::ifstream first(firstPath, std::ios::binary);
    std::ifstream second(secondPath, std::ios::binary);
    if (!first || !second)
        return false;
    std::array<char, kChunk> a{};
    std::array<char, kChunk> b{};
    for (;;) {
        first.read(a.data(), kChunk);
        second.read(b.data(), kChunk);
        const std::streamsize count = first.gcount();
        if (count != second.gcount() || first.bad() || second.bad())
            return false;
        if (std::memcmp(a.data(), b.data(), static_cast<size_t>(count)) != 0)
            return false;
        if (count < kChunk)
            return first.eof() && second.eof();
    }
}

TPictureInFolder ComparePictureWithFolder(const std::string& chosenPath,
                                          const std::string& folder) {
    const fs::path inFolder = fs::path(folder) / fs::path(chosenPath).filename();
    std::error_code error;
    if (!fs::exists(inFolder, error))
        return TPictureInFolder::Absent;
    if (fs::equivalent(chosenPath, inFolder, error) || SameFileContent(chosenPath, inFolder))
        return TPictureInFolder::Same;
    return TPictureInFolder::Different;
}

TPictureInFolder CompareBytesWithFolder(const std::string& bytes, const std::string& name,
                                        const std::string& folder) {
    const fs::path inFolder = fs::path(folder) / name;
    std::error_code error;
    if (!fs::exists(inFolder, error))
        return TPictureInFolder::Absent;
    const std::uintmax_t size = fs::file_size(inFolder, error);
    if (error || size != bytes.size())
        return TPictureInFolder::Different;
    try {
        return ReadWholeFile(inFolder.string()) == bytes ? TPictureInFolder::Same
                                                         : TPictureInFolder::Different;
    } catch (const ETesselError&) {
        return TPictureInFolder::Different;  // unreadable: not known to be the same
    }
}

void CopyPictureIntoFolder(const std::string& chosenPath, const std::string& folder) {
    const fs::path target = fs::path(folder) / fs::path(chosenPath).filename();
    std::error_code error;
    fs::create_directories(folder, error);
    std::ifstream source(chosenPath, std::ios::binary);
    if (!source)
        throw ETesselError("Cannot open file " + chosenPath + ". " + std::strerror(errno));
    // Through a file beside the target, so a failed copy never leaves half a picture where
    // pages expect a whole one.
    WriteFileAtomically(target.string(), [&](std::ostream& out) {
        std::array<char, kChunk> buffer{};
        while (source.read(buffer.data(), kChunk) || source.gcount() > 0) {
            out.write(buffer.data(), source.gcount());
        }
        if (source.bad())
            throw ETesselError("Cannot read file " + chosenPath);
    });
}

void WritePictureIntoFolder(const std::string& bytes, const std::string& name,
                            const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    WriteFileAtomically((fs::path(folder) / name).string(), bytes);
}

}  // namespace tessel

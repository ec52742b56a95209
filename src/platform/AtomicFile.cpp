#include "platform/AtomicFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "document/Exceptions.h"

namespace tessel {

namespace {

std::string TemporaryNameBeside(const std::string& path) {
    std::random_device random;
    std::ostringstream name;
    name << path << ".tmp" << std::hex << random() << random();
    return name.str();
}

// Pushes the file's data to the disk before the rename makes it the only copy.
void SyncFile(const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "rb+")) {
        ::fsync(fileno(f));
        std::fclose(f);
    }
}

}  // namespace

void WriteFileAtomically(const std::string& path,
                         const std::function<void(std::ostream&)>& produce) {
    const std::string temporary = TemporaryNameBeside(path);
    try {
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out) {
                throw ETesselError("Cannot create file " + path + ". " + std::strerror(errno));
            }
            errno = 0;
            produce(out);
            out.flush();
            if (!out) {
                // The reason, when the system gave one (a full disk, most likely).
                const std::string reason =
                    errno != 0 ? std::string(". ") + std::strerror(errno) : "";
                throw ETesselError("Cannot write file " + path + reason);
            }
        }
        SyncFile(temporary);
        std::error_code error;
        std::filesystem::rename(temporary, path, error);
        if (error) {
            throw ETesselError("Cannot create file " + path + ". " + error.message());
        }
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
    WriteFileAtomically(path, [content](std::ostream& out) {
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    });
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ETesselError("Cannot open file " + path);
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw ETesselError("Cannot read file " + path);
    }
    return content.str();
}

}  // namespace tessel

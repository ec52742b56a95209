#pragma once

// The readers of outside files take a path: a harness writes each input to a file of its own
// process (in memory where /dev/shm exists) and hands that path on.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace tessel::fuzz {

inline const std::string& InputPath(const char* extension) {
    static const std::string path = [extension] {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        return (folder / ("tessel-fuzz-" + std::to_string(getpid()) + extension)).string();
    }();
    return path;
}

// Writes the input to the process's file and returns its path.
inline const std::string& WriteInput(const uint8_t* data, size_t size, const char* extension) {
    const std::string& path = InputPath(extension);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace tessel::fuzz

#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it.

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tessel::testing {

class TTempFolder {
  public:
    TTempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tessel-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder's path ending in "/", as the program folder is given.
    std::string Path() const { return path_.string() + "/"; }

    // Writes `content` to the file `name` below the folder, creating folders on the way.
    std::string Write(const std::string& name, std::string_view content) const {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

}  // namespace tessel::testing

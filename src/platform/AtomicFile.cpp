#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "document/Exceptions.h"

namespace tessel {

namespace {

constexpr std::string_view kTemporaryMark = ".tmp";

std::string TemporaryNameBeside(const std::string& path) {
    std::random_device random;
    std::ostringstream name;
    name << path << kTemporaryMark << std::hex << random() << random();
    return name.str();
}

// An open, locked file descriptor that is closed (and so unlocked) on every path.
class TLockedFile {
  public:
    TLockedFile() = default;
    explicit TLockedFile(int fd) : fd_(fd) {}
    ~TLockedFile() {
        if (fd_ != -1)
            ::close(fd_);
    }
    TLockedFile(const TLockedFile&) = delete;
    TLockedFile& operator=(const TLockedFile&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_ = -1;
};

bool SameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Creates a fresh temporary file beside `path` and locks it for the whole write, so that a
// clean-up of left-overs (ours or another program's) never takes it away. A clean-up may
// lock and remove a file in the moment between its creation and our lock: then the name no
// longer leads to our file, and another name is tried.
int CreateLockedTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        temporary = TemporaryNameBeside(path);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd == -1) {
            if (errno == EEXIST)
                continue;
            throw ETesselError("Cannot create file " + path + ". " + std::strerror(errno));
        }
        if (::flock(fd, LOCK_EX) == 0 && SameFile(fd, temporary))
            return fd;
        ::close(fd);
    }
    throw ETesselError("Cannot create file " + path + ". No free temporary name.");
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& produce,
                         TDurability durability) {
    std::string temporary;
    const TLockedFile lock(CreateLockedTemporary(path, temporary));
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
        // Pushes the file's data to the disk before the rename makes it the only copy.
        if (durability == TDurability::Synced)
            ::fsync(lock.Fd());
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
    RemoveLeftoverTemporaries(path);
}

void WriteFileAtomically(const std::string& path, std::string_view content,
                         TDurability durability) {
    WriteFileAtomically(
        path,
        [content](std::ostream& out) {
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
        },
        durability);
}

bool IsTemporaryNameOf(std::string_view target, std::string_view candidate) {
    if (target.empty() || candidate.substr(0, target.size()) != target)
        return false;
    candidate.remove_prefix(target.size());
    if (candidate.substr(0, kTemporaryMark.size()) != kTemporaryMark)
        return false;
    candidate.remove_prefix(kTemporaryMark.size());
    if (candidate.size() < 2 || candidate.size() > 16)
        return false;
    for (const char c : candidate) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

void RemoveLeftoverTemporaries(const std::string& path) {
    const std::filesystem::path target(path);
    const std::string targetName = target.filename().string();
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string candidate = entry->path().string();
        if (!IsTemporaryNameOf(targetName, entry->path().filename().string()))
            continue;
        const TLockedFile file(::open(candidate.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        // A writer that still runs holds the lock; a killed one released it with its end.
        if (file.Fd() != -1 && ::flock(file.Fd(), LOCK_EX | LOCK_NB) == 0 &&
            SameFile(file.Fd(), candidate)) {
            ::unlink(candidate.c_str());
        }
    }
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

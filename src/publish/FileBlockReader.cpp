#include "publish/FileBlockReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tessel {

TFileBlockReader::TFileBlockReader() : FChunk(kChunkSize) {}

void TFileBlockReader::Reset() {
    FPos = 0;
    FFill = 0;
}

ssize_t TFileBlockReader::Next(int fd, std::size_t maxLength, const char*& data) {
    if (FPos == FFill) {
        ssize_t n = 0;
        do {
            n = ::read(fd, FChunk.data(), FChunk.size());
        } while (n < 0 && errno == EINTR);
        Reset();
        if (n <= 0) {
            return n;
        }
        FFill = static_cast<std::size_t>(n);
    }
    const std::size_t count = std::min(maxLength, FFill - FPos);
    data = FChunk.data() + FPos;
    FPos += count;
    return static_cast<ssize_t>(count);
}

}  // namespace tessel

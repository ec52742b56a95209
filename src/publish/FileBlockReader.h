#pragma once

// Reads a file ahead in large chunks and hands it out in small blocks, so that sending a
// file one small block at a time costs one read call per chunk instead of one per block,
// while memory stays one chunk whatever the size of the file.

#include <sys/types.h>

#include <cstddef>
#include <vector>

namespace tessel {

class TFileBlockReader {
  public:
    static constexpr std::size_t kChunkSize = 64 * 1024;

    TFileBlockReader();

    // Drops what is buffered: the next block is read afresh from the file's position.
    void Reset();
    // Up to maxLength bytes of the file fd, pointed to by data until the next call.
    // Returns the count, 0 at the end of the file, or -1 when the read failed.
    ssize_t Next(int fd, std::size_t maxLength, const char*& data);

  private:
    std::vector<char> FChunk;
    std::size_t FPos = 0;
    std::size_t FFill = 0;
};

}  // namespace tessel

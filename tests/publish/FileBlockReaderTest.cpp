// The read-ahead behind sending a file block by block: blocks come out whole and in
// order across chunk boundaries, and a reset forgets what was read ahead.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "NetTestSupport.h"
#include "publish/FileBlockReader.h"
#include "publish/WSockbuf.h"

namespace tessel::test {
namespace {

struct TOpenFile {
    explicit TOpenFile(const std::filesystem::path& path) : fd(::open(path.c_str(), O_RDONLY)) {}
    ~TOpenFile() { ::close(fd); }
    int fd;
};

TEST(FileBlockReaderTest, HandsOutTheFileInBlocksAcrossChunks) {
    TTempDir dir;
    // Three chunks and a bit, so blocks straddle every chunk boundary.
    const std::string bytes = MakeBytes(3 * TFileBlockReader::kChunkSize + 777, 11);
    WriteFile(dir.Path() / "f.bin", bytes);
    TOpenFile file(dir.Path() / "f.bin");
    ASSERT_GE(file.fd, 0);

    TFileBlockReader reader;
    std::string copy;
    const char* data = nullptr;
    ssize_t n = 0;
    while ((n = reader.Next(file.fd, kSendBlockSize, data)) > 0) {
        ASSERT_LE(n, kSendBlockSize);
        copy.append(data, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(copy == bytes);
    EXPECT_EQ(reader.Next(file.fd, kSendBlockSize, data), 0);  // end of file stays the end
}

TEST(FileBlockReaderTest, ResetReadsAfreshFromTheFilePosition) {
    TTempDir dir;
    const std::string bytes = MakeBytes(10000, 12);
    WriteFile(dir.Path() / "f.bin", bytes);
    TOpenFile file(dir.Path() / "f.bin");
    TFileBlockReader reader;
    const char* data = nullptr;
    ASSERT_EQ(reader.Next(file.fd, 100, data), 100);
    EXPECT_EQ(std::string(data, 100), bytes.substr(0, 100));

    ASSERT_EQ(::lseek(file.fd, 5000, SEEK_SET), 5000);
    reader.Reset();
    ASSERT_EQ(reader.Next(file.fd, 100, data), 100);
    EXPECT_EQ(std::string(data, 100), bytes.substr(5000, 100));
}

TEST(FileBlockReaderTest, ReadFailureIsReported) {
    TFileBlockReader reader;
    const char* data = nullptr;
    EXPECT_EQ(reader.Next(-1, kSendBlockSize, data), -1);
}

}  // namespace
}  // namespace tessel::test

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "document/Exceptions.h"
#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

TEST(AtomicFileTest, AFailedWriteLeavesThePreviousFileAndNoLitter) {
    const testing::TTempFolder temp;
    const std::filesystem::path folder = temp.Path();
    const std::string path = (folder / "page.pgx").string();

    WriteFileAtomically(path, "first version");
    EXPECT_THROW(WriteFileAtomically(path,
                                     [](std::ostream& out) {
                                         out << "half of the second";
                                         throw ETesselError("device full");
                                     }),
                 ETesselError);
    EXPECT_EQ(ReadWholeFile(path), "first version");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);

    WriteFileAtomically(path, "second version");
    EXPECT_EQ(ReadWholeFile(path), "second version");
    EXPECT_THROW(WriteFileAtomically((folder / "missing" / "x").string(), "y"), ETesselError);
}

TEST(AtomicFileTest, TemporaryNamesBelongToTheirOwnFileOnly) {
    EXPECT_TRUE(IsTemporaryNameOf("page.pgx", "page.pgx.tmp1a"));
    EXPECT_TRUE(IsTemporaryNameOf("page.pgx", "page.pgx.tmp0123456789abcdef"));
    EXPECT_TRUE(IsTemporaryNameOf("My Page.pgx", "My Page.pgx.tmpdeadbeef"));
    for (const char* other :
         {"page.pgx", "page.pgx.tmp", "page.pgx.tmp1", "page.pgx.tmp1A",
          "page.pgx.tmp0123456789abcdef0", "page.pgx.tmpxyz", "page.pgx.tmp12.pgx",
          "page.pgx.bak12", "apage.pgx.tmp12", "page.pgt.tmp12", "Page.pgx.tmp12"}) {
        EXPECT_FALSE(IsTemporaryNameOf("page.pgx", other)) << other;
    }
    EXPECT_FALSE(IsTemporaryNameOf("page", "page.pgx.tmp12"));
    EXPECT_FALSE(IsTemporaryNameOf("", ".tmp12"));
}

std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(AtomicFileTest, AWriteRemovesItsOwnLeftoversButNotOthersNorALiveWritersFile) {
    const testing::TTempFolder temp;
    const std::string path = temp.Path() + "page.pgx";
    temp.Write("page.pgx.tmpdeadbeef", "half a page");
    temp.Write("page.pgx.tmp0123456789abcdef", "another half");
    temp.Write("other.pgx.tmpdeadbeef", "another document's");
    temp.Write("page.pgx.tmpnothex", "not ours");
    temp.Write("page.pgx.bak", "a user's file");
    // A save of the same page that is still running holds a lock on its temporary file.
    const std::string running = temp.Write("page.pgx.tmp77", "still being written");
    const int fd = ::open(running.c_str(), O_RDONLY);
    ASSERT_NE(fd, -1);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    WriteFileAtomically(path, "the page");
    EXPECT_EQ(Names(temp.Path()),
              (std::set<std::string>{"page.pgx", "page.pgx.tmp77", "other.pgx.tmpdeadbeef",
                                     "page.pgx.tmpnothex", "page.pgx.bak"}));

    ::close(fd);  // that save was killed
    WriteFileAtomically(path, "the page again", TDurability::Unsynced);
    EXPECT_EQ(Names(temp.Path()), (std::set<std::string>{"page.pgx", "other.pgx.tmpdeadbeef",
                                                         "page.pgx.tmpnothex", "page.pgx.bak"}));
    EXPECT_EQ(ReadWholeFile(path), "the page again");
}

// A save killed in the middle of writing: the document keeps its previous content, the
// temporary file stays until the next save of the same document removes it.
TEST(AtomicFileTest, ASaveKilledHalfWayLeavesTheDocumentWholeAndItsLitterGoesNextTime) {
    const testing::TTempFolder temp;
    const std::string path = temp.Path() + "page.pgx";
    WriteFileAtomically(path, "saved before");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        WriteFileAtomically(path, [&](std::ostream& out) {
            out << "the first half of the new";
            out.flush();
            const char byte = 1;
            (void)!::write(ready[1], &byte, 1);
            for (;;) ::pause();
        });
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    RemoveLeftoverTemporaries(path);  // the writer still runs: its file stays
    EXPECT_EQ(Names(temp.Path()).size(), 2u);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    EXPECT_EQ(ReadWholeFile(path), "saved before");
    EXPECT_EQ(Names(temp.Path()).size(), 2u);
    WriteFileAtomically(path, "saved after");
    EXPECT_EQ(Names(temp.Path()), std::set<std::string>{"page.pgx"});
    EXPECT_EQ(ReadWholeFile(path), "saved after");
}

}  // namespace
}  // namespace tessel

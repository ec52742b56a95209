#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace tessel

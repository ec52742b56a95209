#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/AtomicFile.h"
#include "platform/RecoveryCopy.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

std::set<std::string> Extensions(const std::string& folder) {
    std::set<std::string> found;
    if (!std::filesystem::exists(folder))
        return found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        found.insert(entry.path().extension().string());
    return found;
}

TEST(RecoveryRecordTest, ReadsBackWhatItWritesAndNothingElse) {
    for (const TRecoveryRecord& record :
         {TRecoveryRecord{"/home/ann/TesselFiles/My Page.pgx", 1796745600}, TRecoveryRecord{"", 0},
          TRecoveryRecord{"/odd/name\nwith a line break=.pgx", -5}}) {
        const std::optional<TRecoveryRecord> back = ParseRecord(RecordText(record));
        ASSERT_TRUE(back) << record.documentName;
        EXPECT_EQ(back->documentName, record.documentName);
        EXPECT_EQ(back->savedAt, record.savedAt);
    }
    const std::string good = RecordText({"/a.pgx", 12});
    for (const std::string& bad :
         {std::string(), good.substr(0, good.size() - 1), good.substr(1),
          std::string("Brindle HTML Tessel recovery copy\ntime=12x\nname=/a.pgx\n"),
          std::string("Brindle HTML Tessel recovery copy\ntime=\nname=/a.pgx\n"),
          std::string("Brindle HTML Tessel recovery copy\nname=/a.pgx\ntime=12\n")}) {
        EXPECT_FALSE(ParseRecord(bad)) << bad;
    }
}

TEST(RecoveryCopyTest, WritesOnlyWhatChangedAndDiscardLeavesNothing) {
    const testing::TTempFolder temp;
    const std::string folder = temp.Path() + "Recovery/";
    TRecoveryCopy copy(folder);
    EXPECT_FALSE(copy.Exists());
    EXPECT_TRUE(copy.Write("page one", {"", 100}));
    EXPECT_TRUE(copy.Exists());
    EXPECT_EQ(ReadWholeFile(copy.Slot().CopyPath()), "page one");
    EXPECT_EQ(Extensions(folder), (std::set<std::string>{".pgx", ".info", ".lock"}));

    // The same page a minute later: the record keeps the time of the change.
    EXPECT_FALSE(copy.Write("page one", {"", 160}));
    EXPECT_EQ(ParseRecord(ReadWholeFile(copy.Slot().RecordPath()))->savedAt, 100);
    // Saved under a name meanwhile, or changed: written again.
    EXPECT_TRUE(copy.Write("page one", {"/p/a.pgx", 170}));
    EXPECT_TRUE(copy.Write("page two", {"/p/a.pgx", 180}));
    EXPECT_EQ(ReadWholeFile(copy.Slot().CopyPath()), "page two");

    const std::string firstStem = copy.Slot().stem;
    copy.Discard();
    EXPECT_FALSE(copy.Exists());
    EXPECT_TRUE(Extensions(folder).empty());
    EXPECT_TRUE(copy.Write("page two", {"/p/a.pgx", 190}));
    EXPECT_NE(copy.Slot().stem, firstStem);
}

TEST(RecoveryCopyTest, OnlyACopyWhoseProgramStoppedIsOfferedAndOnlyToOneClaimer) {
    const testing::TTempFolder temp;
    const std::string folder = temp.Path();
    std::string copyPath;
    {
        TRecoveryCopy running(folder);
        running.Write("unsaved work", {"/p/a.pgx", 100});
        copyPath = running.Slot().CopyPath();
        EXPECT_FALSE(ClaimNewestOrphan(folder)) << "its program still writes it";
    }  // the program ends without cleaning up, as a killed one does

    std::optional<TClaimedCopy> claim = ClaimNewestOrphan(folder);
    ASSERT_TRUE(claim);
    EXPECT_EQ(claim->CopyPath(), copyPath);
    EXPECT_EQ(claim->Record().documentName, "/p/a.pgx");
    EXPECT_EQ(claim->Record().savedAt, 100);
    EXPECT_FALSE(ClaimNewestOrphan(folder)) << "another start must not offer it as well";

    claim.reset();  // declined and the program quit: offered again next time
    claim = ClaimNewestOrphan(folder);
    ASSERT_TRUE(claim);
    claim->Remove();
    EXPECT_TRUE(Extensions(folder).empty());
    EXPECT_FALSE(ClaimNewestOrphan(folder));
}

TEST(RecoveryCopyTest, TheNewestStoppedCopyComesFirstAndBrokenSlotsAreCleared) {
    const testing::TTempFolder temp;
    const std::string folder = temp.Path();
    for (const auto& [content, time] :
         {std::pair{"older", 100}, std::pair{"newer", 300}, std::pair{"middle", 200}}) {
        TRecoveryCopy stopped(folder);
        stopped.Write(content, {"", time});
    }
    TRecoveryCopy running(folder);
    running.Write("newest but alive", {"", 400});
    // Left by programs killed while they cleaned up: a record without its copy, and a lock.
    temp.Write("page-1-a.info", RecordText({"", 500}));
    temp.Write("page-1-a.lock", "");
    temp.Write("page-2-b.lock", "");

    std::vector<std::string> offered;
    std::vector<TClaimedCopy> held;
    while (std::optional<TClaimedCopy> claim = ClaimNewestOrphan(folder)) {
        offered.push_back(ReadWholeFile(claim->CopyPath()));
        held.push_back(std::move(*claim));
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"newer", "middle", "older"}));
    EXPECT_FALSE(std::filesystem::exists(folder + "page-1-a.info"));
    EXPECT_FALSE(std::filesystem::exists(folder + "page-1-a.lock"));
    EXPECT_FALSE(std::filesystem::exists(folder + "page-2-b.lock"));
    EXPECT_TRUE(std::filesystem::exists(running.Slot().LockPath()));
}

}  // namespace
}  // namespace tessel

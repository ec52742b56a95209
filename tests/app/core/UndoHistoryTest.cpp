#include <gtest/gtest.h>

#include "app/core/UndoHistory.h"

namespace tessel {
namespace {

TEST(UndoHistoryTest, SpliceRebuildsTheTargetAndKeepsOnlyTheChangedStretch) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},          {"", "abc"},       {"abc", ""},
        {"abc", "abc"},    {"aaa", "aaaa"},   {"aaaa", "aa"},
        {"abcabc", "abc"}, {"xabcx", "xabx"}, {"head-tail", "head-middle-tail"},
        {"ab", "ba"},      {"abba", "abbba"}};
    for (const auto& [base, target] : cases) {
        EXPECT_EQ(TByteSplice::Between(base, target).AppliedTo(base), target)
            << base << " -> " << target;
    }
    // A change of one byte in a long stream, past the first compared chunks and before the last.
    std::string page(50000, 'p');
    std::string edited = page;
    edited[30001] = 'q';
    const TByteSplice splice = TByteSplice::Between(page, edited);
    EXPECT_EQ(splice.middle, "q");
    EXPECT_EQ(splice.AppliedTo(page), edited);
}

TEST(UndoHistoryTest, UndoAndRedoWalkThroughEverySnapshotWithItsNameAndBlock) {
    TUndoHistory history;
    history.Reset("page0");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Record("page0", "Nothing", 0, 0)) << "the same bytes are no change";
    EXPECT_TRUE(history.Record("page01", "Add Block", 0, 1));
    EXPECT_TRUE(history.Record("pa01", "Delete Block", 2, 1));
    EXPECT_TRUE(history.Record("pa10", "Move Block", 3, 4));
    EXPECT_EQ(history.UndoName(), "Move Block");
    EXPECT_EQ(history.RedoName(), "");

    TUndoneStep step = history.Undo();
    EXPECT_EQ(step.name, "Move Block");
    EXPECT_EQ(step.row, 3);
    EXPECT_EQ(history.Current(), "pa01");
    EXPECT_EQ(history.Undo().row, 2);
    EXPECT_EQ(history.Current(), "page01");
    EXPECT_EQ(history.Undo().row, 0);
    EXPECT_EQ(history.Current(), "page0");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.RedoName(), "Add Block");

    EXPECT_EQ(history.Redo().row, 1);
    EXPECT_EQ(history.Current(), "page01");
    EXPECT_EQ(history.Redo().name, "Delete Block");
    EXPECT_EQ(history.Redo().row, 4);
    EXPECT_EQ(history.Current(), "pa10");
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoCount(), 3);

    // A new change after going back drops the steps ahead.
    history.Undo();
    history.Undo();
    EXPECT_TRUE(history.Record("page01!", "Edit Heading", 1, 1));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoCount(), 2);
    history.Undo();
    EXPECT_EQ(history.Current(), "page01");

    history.Reset("other");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.HeldBytes(), 0u);
}

TEST(UndoHistoryTest, EditsOfOneVisitMakeOneStepThatGoesWhenEditedBack) {
    TUndoHistory history;
    history.Reset("Title");
    history.Record("Title A", "Edit Page Details", 0, 0, 7);
    history.Record("Title AB", "Edit Page Details", 0, 0, 7);
    EXPECT_EQ(history.UndoCount(), 1);
    history.Record("Title AB", "Apply Theme", 0, 0);  // no change: nothing
    history.Record("Title ABC", "Edit Page Details", 0, 0, 8);
    EXPECT_EQ(history.UndoCount(), 2) << "another visit";
    history.Undo();
    EXPECT_EQ(history.Current(), "Title AB");
    history.Undo();
    EXPECT_EQ(history.Current(), "Title");

    // A step taken back and forth is closed to its visit's later edits.
    history.Redo();
    history.Record("Title A!", "Edit Page Details", 0, 0, 7);
    EXPECT_EQ(history.UndoCount(), 2);

    history.Reset("Text");
    history.Record("Text x", "Edit Paragraph", 3, 3, 9);
    history.Record("Text", "Edit Paragraph", 3, 3, 9);
    EXPECT_FALSE(history.CanUndo()) << "typed and deleted again";
    EXPECT_EQ(history.HeldBytes(), 0u);
}

TEST(UndoHistoryTest, TheOldestStepsGoBeyondTheCapButTheNewestStays) {
    // Small changes to a large page: far more than a hundred steps fit in the default cap.
    TUndoHistory roomy;
    std::string page(60000, '.');
    roomy.Reset(page);
    for (int i = 0; i < 1000; ++i) {
        page[static_cast<std::size_t>(i) * 50] = 'x';
        roomy.Record(page, "Edit Line", 1, 1);
    }
    EXPECT_EQ(roomy.UndoCount(), 1000);

    TUndoHistory history(3000);
    history.Reset(std::string(10000, 'a'));
    for (char c : std::string("bcdef")) history.Record(std::string(10000, c), "Apply Theme", 0, 0);
    EXPECT_EQ(history.UndoCount(), 1) << "each step holds 10,000 bytes";
    EXPECT_GT(history.HeldBytes(), 3000u);
    history.Undo();
    EXPECT_EQ(history.Current(), std::string(10000, 'e'));
    history.Redo();

    // Taking back additions makes the steps to redo them heavy; going back still reaches the
    // oldest step kept, and what gives way is the far end of the redo side.
    TUndoHistory growing(4000);
    std::string blocks = "page";
    growing.Reset(blocks);
    for (int i = 0; i < 10; ++i) {
        blocks += std::string(1000, static_cast<char>('a' + i));
        growing.Record(blocks, "Add Block", i, i + 1);
    }
    EXPECT_EQ(growing.UndoCount(), 10);
    while (growing.CanUndo()) growing.Undo();
    EXPECT_EQ(growing.Current(), "page");
    EXPECT_LE(growing.HeldBytes(), 4000u);
    EXPECT_EQ(growing.Redo().row, 1);
    EXPECT_EQ(growing.Current(), "page" + std::string(1000, 'a'));

    TUndoHistory capped(2000);
    capped.Reset("0");
    for (int i = 1; i <= 200; ++i) capped.Record(std::to_string(i), "Move Block", 0, 0);
    EXPECT_LT(capped.UndoCount(), 200);
    EXPECT_LE(capped.HeldBytes(), 2000u);
    // What is left leads back step by step to the oldest kept.
    for (int expected = 199; capped.CanUndo(); --expected) {
        capped.Undo();
        EXPECT_EQ(capped.Current(), std::to_string(expected));
    }
}

}  // namespace
}  // namespace tessel

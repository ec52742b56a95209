#pragma once

// The page's undo history: the document in its stream form after every change. Neighbouring
// snapshots differ only where the change was, so a step keeps just the changed stretch of
// bytes, which lets thousands of steps live in a few megabytes even on large pages.

#include <cstddef>
#include <deque>
#include <string>

namespace tessel {

// How much the steps may hold before the oldest are dropped.
inline constexpr std::size_t kUndoByteCap = 64u * 1024u * 1024u;

// The stream bytes between a common start and a common end: `base` with its middle replaced.
struct TByteSplice {
    std::size_t prefix = 0;  // bytes kept from the start of the base
    std::size_t suffix = 0;  // bytes kept from its end
    std::string middle;      // what stands between them

    // The splice that turns `base` into `target`.
    static TByteSplice Between(const std::string& base, const std::string& target);
    std::string AppliedTo(const std::string& base) const;
};

// What an undo or redo gave back: the step's name and the block to select.
struct TUndoneStep {
    std::string name;
    int row = -1;
};

class TUndoHistory {
  public:
    explicit TUndoHistory(std::size_t byteCap = kUndoByteCap) : byteCap_(byteCap) {}

    // A new history whose present is `document` (a page opened or created).
    void Reset(std::string document);
    // The document as the last step left it.
    const std::string& Current() const { return current_; }

    // Records a change that turned Current() into `document`; nothing when the bytes are the
    // same. Undo selects `rowBefore`, redo `rowAfter`. A change with a nonzero `mergeKey`
    // equal to that of the last step extends that step instead of adding one (the edits of
    // one visit to a block); a step that ends where it began then goes. True when the history
    // changed. A new change drops whatever could be redone.
    bool Record(std::string document, std::string name, int rowBefore, int rowAfter,
                int mergeKey = 0);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The names of the steps that Undo and Redo would take; empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }

    // Steps back or forward; Current() is then the document of that moment. Only when
    // CanUndo() / CanRedo().
    TUndoneStep Undo();
    TUndoneStep Redo();

    // The bytes the steps hold, counted against the cap (the present document is not).
    std::size_t HeldBytes() const { return heldBytes_; }

  private:
    struct TStep {
        std::string name;
        int rowBefore = -1;
        int rowAfter = -1;
        int mergeKey = 0;
        TByteSplice toOther;  // turns the present into the document on the other side
    };
    static std::size_t Weight(const TStep& step);
    // Moves the newest step of `from` onto `to`, turned to lead the other way.
    TUndoneStep Cross(std::deque<TStep>& from, std::deque<TStep>& to, bool undoing);
    // Drops the far ends of the history until it fits the cap, from `first` while it has
    // more than one step, then from `then`.
    void DropBeyondCap(std::deque<TStep>& first, std::deque<TStep>& then);

    std::size_t byteCap_;
    std::string current_;
    // The oldest step first, so the cap drops from the front.
    std::deque<TStep> undo_;
    std::deque<TStep> redo_;
    std::size_t heldBytes_ = 0;
};

}  // namespace tessel

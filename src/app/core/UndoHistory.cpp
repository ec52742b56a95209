#include "app/core/UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace tessel {
namespace {

constexpr std::size_t kChunk = 4096;

// Length of the common start of a and b, at most `limit`; whole chunks by memcmp first, since
// pages of megabytes are compared after every change.
std::size_t CommonPrefix(const char* a, const char* b, std::size_t limit) {
    std::size_t n = 0;
    while (n + kChunk <= limit && std::memcmp(a + n, b + n, kChunk) == 0) n += kChunk;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

// Length of the common end of a (length la) and b (length lb), at most `limit`.
std::size_t CommonSuffix(const char* a, std::size_t la, const char* b, std::size_t lb,
                         std::size_t limit) {
    std::size_t n = 0;
    while (n + kChunk <= limit &&
           std::memcmp(a + la - n - kChunk, b + lb - n - kChunk, kChunk) == 0) {
        n += kChunk;
    }
    while (n < limit && a[la - n - 1] == b[lb - n - 1]) ++n;
    return n;
}

}  // namespace

TByteSplice TByteSplice::Between(const std::string& base, const std::string& target) {
    TByteSplice splice;
    const std::size_t shorter = std::min(base.size(), target.size());
    splice.prefix = CommonPrefix(base.data(), target.data(), shorter);
    splice.suffix = CommonSuffix(base.data(), base.size(), target.data(), target.size(),
                                 shorter - splice.prefix);
    splice.middle = target.substr(splice.prefix, target.size() - splice.prefix - splice.suffix);
    return splice;
}

std::string TByteSplice::AppliedTo(const std::string& base) const {
    std::string result;
    result.reserve(prefix + middle.size() + suffix);
    result.append(base, 0, prefix);
    result.append(middle);
    result.append(base, base.size() - suffix, suffix);
    return result;
}

void TUndoHistory::Reset(std::string document) {
    current_ = std::move(document);
    undo_.clear();
    redo_.clear();
    heldBytes_ = 0;
}

std::size_t TUndoHistory::Weight(const TStep& step) {
    return sizeof(TStep) + step.name.size() + step.toOther.middle.size();
}

bool TUndoHistory::Record(std::string document, std::string name, int rowBefore, int rowAfter,
                          int mergeKey) {
    if (document == current_)
        return false;
    while (!redo_.empty()) {
        heldBytes_ -= Weight(redo_.back());
        redo_.pop_back();
    }
    if (mergeKey != 0 && !undo_.empty() && undo_.back().mergeKey == mergeKey) {
        TStep& last = undo_.back();
        heldBytes_ -= Weight(last);
        std::string before = last.toOther.AppliedTo(current_);
        if (before == document) {
            undo_.pop_back();  // edited back to what it was: no step at all
        } else {
            last.toOther = TByteSplice::Between(document, before);
            last.name = std::move(name);
            last.rowAfter = rowAfter;
            heldBytes_ += Weight(last);
        }
    } else {
        TStep step{std::move(name), rowBefore, rowAfter, mergeKey,
                   TByteSplice::Between(document, current_)};
        heldBytes_ += Weight(step);
        undo_.push_back(std::move(step));
    }
    current_ = std::move(document);
    DropBeyondCap(undo_, redo_);
    return true;
}

std::string TUndoHistory::UndoName() const {
    return undo_.empty() ? std::string() : undo_.back().name;
}

std::string TUndoHistory::RedoName() const {
    return redo_.empty() ? std::string() : redo_.back().name;
}

TUndoneStep TUndoHistory::Cross(std::deque<TStep>& from, std::deque<TStep>& to, bool undoing) {
    TStep step = std::move(from.back());
    from.pop_back();
    heldBytes_ -= Weight(step);
    std::string other = step.toOther.AppliedTo(current_);
    step.toOther = TByteSplice::Between(other, current_);
    // A step taken back or again is closed: later edits make a step of their own.
    step.mergeKey = 0;
    current_ = std::move(other);
    heldBytes_ += Weight(step);
    TUndoneStep result{step.name, undoing ? step.rowBefore : step.rowAfter};
    to.push_back(std::move(step));
    // Going back turns small steps into larger ones (what an added block held): the end of
    // the line away from where the user is heading goes first.
    DropBeyondCap(undoing ? redo_ : undo_, undoing ? undo_ : redo_);
    return result;
}

TUndoneStep TUndoHistory::Undo() {
    return Cross(undo_, redo_, true);
}

TUndoneStep TUndoHistory::Redo() {
    return Cross(redo_, undo_, false);
}

// The step next to the present stays whatever it weighs, so the last change can always be
// taken back.
void TUndoHistory::DropBeyondCap(std::deque<TStep>& first, std::deque<TStep>& then) {
    while (heldBytes_ > byteCap_) {
        std::deque<TStep>& side = first.size() > 1 ? first : then;
        if (side.size() <= 1)
            break;
        heldBytes_ -= Weight(side.front());
        side.pop_front();
    }
}

}  // namespace tessel

#pragma once

// Recovery copies: while a page has unsaved changes the program keeps a copy of it in a
// folder of its own, so that a crash or a kill loses at most the last minute of work.
//
// Each running program owns one slot, three files with one stem in that folder:
// "<stem>.pgx" (the page in the document stream format), "<stem>.info" (which document and
// when) and "<stem>.lock", which the owner keeps locked (flock) while it runs. The system
// releases that lock when the program ends in any way, so a slot whose lock can be taken
// belongs to a program that stopped without cleaning up: that copy is the one to offer.
// A copy that another running program is still writing is never offered.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tessel {

struct TRecoveryRecord {
    std::string documentName;  // the page's file; empty for a page that was never saved
    std::int64_t savedAt = 0;  // seconds since 1970-01-01 UTC
};

// The text of a record file, and back; nothing when the text is not a record.
std::string RecordText(const TRecoveryRecord& record);
std::optional<TRecoveryRecord> ParseRecord(std::string_view text);

// A lock on a slot's lock file, held until the object ends or Release.
class TSlotLock {
  public:
    TSlotLock() = default;
    ~TSlotLock() { Release(); }
    TSlotLock(TSlotLock&& other) noexcept;
    TSlotLock& operator=(TSlotLock&& other) noexcept;
    TSlotLock(const TSlotLock&) = delete;
    TSlotLock& operator=(const TSlotLock&) = delete;

    // Takes the lock without waiting; false when another open file holds it.
    bool TryLock(const std::string& lockPath);
    bool Held() const { return fd_ != -1; }
    void Release();

  private:
    int fd_ = -1;
};

// The files of one slot.
struct TRecoverySlot {
    std::string stem;  // folder + name without extension
    std::string CopyPath() const { return stem + ".pgx"; }
    std::string RecordPath() const { return stem + ".info"; }
    std::string LockPath() const { return stem + ".lock"; }
    // Removes the three files, the lock last, so no other program takes the slot half-gone.
    void Remove() const;
};

// This program's own copy of its page.
class TRecoveryCopy {
  public:
    // `folder` ends in "/"; it is created with the first copy.
    explicit TRecoveryCopy(std::string folder);

    // Writes `content` as the copy of the page that `record` names, unless content and name
    // are those written last. True when it wrote. Throws ETesselError when it cannot; the
    // previous copy then stays as it was.
    bool Write(std::string_view content, const TRecoveryRecord& record);
    // Removes the copy and frees the slot; the next Write starts a new one.
    void Discard();
    bool Exists() const { return written_; }
    const TRecoverySlot& Slot() const { return slot_; }

  private:
    void OpenSlot();

    std::string folder_;
    TRecoverySlot slot_;
    TSlotLock lock_;
    std::size_t lastHash_ = 0;
    std::string lastName_;
    bool written_ = false;
};

// A copy left by a program that stopped, locked by the caller while it decides.
class TClaimedCopy {
  public:
    TClaimedCopy(TRecoverySlot slot, TRecoveryRecord record, TSlotLock lock)
        : slot_(std::move(slot)), record_(std::move(record)), lock_(std::move(lock)) {}

    const TRecoveryRecord& Record() const { return record_; }
    std::string CopyPath() const { return slot_.CopyPath(); }
    // Removes the copy's files; the claim then holds nothing.
    void Remove();

  private:
    TRecoverySlot slot_;
    TRecoveryRecord record_;
    TSlotLock lock_;
};

// Claims the newest copy in `folder` whose program no longer runs (older ones wait for later
// starts, one a start). Slots that lost their copy or record (a program killed while it
// cleaned up) are removed on the way.
std::optional<TClaimedCopy> ClaimNewestOrphan(const std::string& folder);

}  // namespace tessel

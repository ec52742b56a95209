#include "platform/RecoveryCopy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <vector>

#include "document/Exceptions.h"
#include "platform/AtomicFile.h"

namespace tessel {

namespace {

constexpr std::string_view kRecordHeading = "Brindle HTML Tessel recovery copy\n";
constexpr std::string_view kTimeKey = "time=";
constexpr std::string_view kNameKey = "name=";

std::string NewStem(const std::string& folder) {
    std::random_device random;
    std::ostringstream name;
    name << folder << "page-" << ::getpid() << '-' << std::hex << random();
    return name.str();
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::optional<TRecoveryRecord> ReadRecord(const std::string& path) {
    try {
        return ParseRecord(ReadWholeFile(path));
    } catch (const ETesselError&) {
        return std::nullopt;
    }
}

// Lock files whose slot has neither copy nor record and whose program is gone.
void RemoveBareLocks(const std::string& folder) {
    std::error_code error;
    std::vector<std::string> stems;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() == ".lock")
            stems.push_back((entry->path().parent_path() / entry->path().stem()).string());
    }
    for (const std::string& stem : stems) {
        const TRecoverySlot slot{stem};
        TSlotLock lock;
        if (!Exists(slot.RecordPath()) && !Exists(slot.CopyPath()) && lock.TryLock(slot.LockPath()))
            slot.Remove();
    }
}

}  // namespace

std::string RecordText(const TRecoveryRecord& record) {
    // The name comes last and runs to the end, so no character of a file name can break it.
    std::string text(kRecordHeading);
    text += kTimeKey;
    text += std::to_string(record.savedAt);
    text += '\n';
    text += kNameKey;
    text += record.documentName;
    text += '\n';
    return text;
}

std::optional<TRecoveryRecord> ParseRecord(std::string_view text) {
    if (text.substr(0, kRecordHeading.size()) != kRecordHeading)
        return std::nullopt;
    text.remove_prefix(kRecordHeading.size());
    if (text.substr(0, kTimeKey.size()) != kTimeKey)
        return std::nullopt;
    text.remove_prefix(kTimeKey.size());
    const size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos)
        return std::nullopt;
    TRecoveryRecord record;
    const auto [end, error] = std::from_chars(text.data(), text.data() + lineEnd, record.savedAt);
    if (error != std::errc() || end != text.data() + lineEnd)
        return std::nullopt;
    text.remove_prefix(lineEnd + 1);
    if (text.substr(0, kNameKey.size()) != kNameKey || text.empty() || text.back() != '\n')
        return std::nullopt;
    text.remove_prefix(kNameKey.size());
    text.remove_suffix(1);
    record.documentName = std::string(text);
    return record;
}

TSlotLock::TSlotLock(TSlotLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TSlotLock& TSlotLock::operator=(TSlotLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool TSlotLock::TryLock(const std::string& lockPath) {
    Release();
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd == -1)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void TSlotLock::Release() {
    if (fd_ != -1) {
        ::close(fd_);
        fd_ = -1;
    }
}

void TRecoverySlot::Remove() const {
    std::error_code ignored;
    std::filesystem::remove(CopyPath(), ignored);
    std::filesystem::remove(RecordPath(), ignored);
    std::filesystem::remove(LockPath(), ignored);
}

TRecoveryCopy::TRecoveryCopy(std::string folder) : folder_(std::move(folder)) {}

void TRecoveryCopy::OpenSlot() {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        throw ETesselError("Cannot create folder " + folder_ + ". " + error.message());
    slot_ = TRecoverySlot{NewStem(folder_)};
    if (!lock_.TryLock(slot_.LockPath()))
        throw ETesselError("Cannot create file " + slot_.LockPath());
}

bool TRecoveryCopy::Write(std::string_view content, const TRecoveryRecord& record) {
    const std::size_t hash = std::hash<std::string_view>{}(content);
    if (lock_.Held() && hash == lastHash_ && record.documentName == lastName_)
        return false;
    if (!lock_.Held())
        OpenSlot();
    // The system keeps what a killed program wrote; waiting for the disk would only make
    // the window stutter.
    WriteFileAtomically(slot_.CopyPath(), content, TDurability::Unsynced);
    WriteFileAtomically(slot_.RecordPath(), RecordText(record), TDurability::Unsynced);
    lastHash_ = hash;
    lastName_ = record.documentName;
    written_ = true;
    return true;
}

void TRecoveryCopy::Discard() {
    if (!lock_.Held())
        return;
    slot_.Remove();
    lock_.Release();
    lastHash_ = 0;
    lastName_.clear();
    written_ = false;
}

void TClaimedCopy::Remove() {
    if (!lock_.Held())
        return;
    slot_.Remove();
    lock_.Release();
}

std::optional<TClaimedCopy> ClaimNewestOrphan(const std::string& folder) {
    struct TCandidate {
        TRecoverySlot slot;
        std::int64_t savedAt;
    };
    std::vector<TCandidate> candidates;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() != ".info")
            continue;
        TRecoverySlot slot{(entry->path().parent_path() / entry->path().stem()).string()};
        const std::optional<TRecoveryRecord> record = ReadRecord(slot.RecordPath());
        candidates.push_back({std::move(slot), record ? record->savedAt : 0});
    }
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const TCandidate& a, const TCandidate& b) { return a.savedAt > b.savedAt; });
    std::optional<TClaimedCopy> claimed;
    for (const TCandidate& candidate : candidates) {
        TSlotLock lock;
        if (!lock.TryLock(candidate.slot.LockPath()))
            continue;  // its program still runs
        // Read again under the lock: the program may have written or removed it meanwhile.
        std::optional<TRecoveryRecord> record = ReadRecord(candidate.slot.RecordPath());
        if (!record || !Exists(candidate.slot.CopyPath())) {
            candidate.slot.Remove();
            continue;
        }
        claimed.emplace(candidate.slot, std::move(*record), std::move(lock));
        break;
    }
    RemoveBareLocks(folder);
    return claimed;
}

}  // namespace tessel

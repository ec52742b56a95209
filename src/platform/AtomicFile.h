#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace tessel {

// Whether the bytes must be on the disk before the new file replaces the old one. A copy
// that only guards against the program's own crash can skip the wait: the system keeps
// what a killed process wrote.
enum class TDurability { Synced, Unsynced };

// Writes a file through a temporary file beside it that is renamed into place, so a write
// that fails half-way never destroys the previous file. `produce` writes the content; an
// exception from it (or a failed write) removes the temporary file and leaves the target
// as it was. After the rename, the temporary files that earlier writes of the same file left
// behind when they were killed are removed. Throws ETesselError when the file cannot be
// written.
void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& produce,
                         TDurability durability = TDurability::Synced);
void WriteFileAtomically(const std::string& path, std::string_view content,
                         TDurability durability = TDurability::Synced);

// Whether `candidate` is one of the temporary names WriteFileAtomically gives the file
// `target` (both names without their folder): the target's name, ".tmp" and 2 to 16
// lower-case hexadecimal digits.
bool IsTemporaryNameOf(std::string_view target, std::string_view candidate);

// Removes the temporary files of `path` that killed writes left beside it. A write that is
// still running, in this program or another, keeps its file: the writer holds a lock on it.
// Files that cannot be removed are left; they are only litter.
void RemoveLeftoverTemporaries(const std::string& path);

// The whole content of a file; throws ETesselError when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path);

}  // namespace tessel

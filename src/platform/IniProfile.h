#pragma once

// INI profile files with the semantics of the Windows profile functions: section and key
// names match without regard to case, the first of duplicate sections or keys wins, spaces
// around names and values are dropped, one pair of quotes around a value is removed, lines
// starting with ";" are comments, and a missing file reads as a file without sections.
// Every write rewrites the file atomically and keeps the rest of it (comments included) as
// it was.

#include <string>
#include <utility>
#include <vector>

namespace tessel {

using TProfileEntries = std::vector<std::pair<std::string, std::string>>;

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& path);
// The value's leading decimal number (0 when it has none); `fallback` when the key is
// missing or its value empty.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int fallback,
                         const std::string& path);
// Sets the value, creating the file, section and key as needed.
void WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);
void DeletePrivateProfileKey(const std::string& section, const std::string& key,
                             const std::string& path);

// The section's key=value lines in file order (a line without "=" is a key with an empty
// value); empty when the section is missing.
TProfileEntries GetPrivateProfileSection(const std::string& section, const std::string& path);
// A section is present when it holds at least one key.
bool ProfileSectionPresent(const std::string& section, const std::string& path);
std::vector<std::string> GetPrivateProfileSectionNames(const std::string& path);
// Removes the section with all its lines.
void ErasePrivateProfileSection(const std::string& section, const std::string& path);
// Replaces everything in the section by `entries`, creating it when missing.
void WritePrivateProfileSection(const std::string& section, const TProfileEntries& entries,
                                const std::string& path);

}  // namespace tessel

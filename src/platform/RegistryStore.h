#pragma once

// The per-user settings store that stands in for the registry's current-user root.
//
// Keys are backslash paths ("Software\Brindle Software\HTML Tessel4\Position"); key and
// value names compare without regard to letter case and keep the case they were created
// with. Values are byte strings. The store lives in one text file, readable by its owner
// only (it holds passwords), and every change rewrites that file atomically. The file is
// read afresh for every call, so several stores on one file never undo each other's work.
// A damaged file loses only its damaged lines.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/UserFolders.h"

namespace tessel {

class TRegistryStore {
  public:
    explicit TRegistryStore(std::string filePath);

    // $XDG_CONFIG_HOME/brindle-tessel/registry.
    static std::string DefaultPath(const TUserFolders& folders);
    const std::string& FilePath() const { return path_; }

    bool KeyExists(const std::string& key) const;
    bool ValueExists(const std::string& key, const std::string& name) const;
    // The value, or nothing when the key or value is missing.
    std::optional<std::string> Read(const std::string& key, const std::string& name) const;
    std::string ReadString(const std::string& key, const std::string& name,
                           const std::string& fallback = std::string()) const;
    // A missing value or one that is not a decimal number gives `fallback`.
    int ReadInteger(const std::string& key, const std::string& name, int fallback) const;

    // Writing creates the key and its parents when they are missing.
    void WriteString(const std::string& key, const std::string& name, const std::string& value);
    void WriteInteger(const std::string& key, const std::string& name, int value);
    // Several values in one change of the file, so that either all of them are stored or
    // none. When `keyToDeleteFirst` is not empty, that key and its subkeys go first, in the
    // same change; the values named in `valuesToDelete` go too.
    void WriteStrings(const std::string& key,
                      const std::vector<std::pair<std::string, std::string>>& values,
                      const std::string& keyToDeleteFirst = std::string(),
                      const std::vector<std::string>& valuesToDelete = {});
    void CreateKey(const std::string& key);
    // Both return false when there was nothing to delete. DeleteKey takes the subkeys too.
    bool DeleteValue(const std::string& key, const std::string& name);
    bool DeleteKey(const std::string& key);

    // Names of the direct subkeys, sorted without regard to case.
    std::vector<std::string> SubKeyNames(const std::string& key) const;
    // Names of the key's values, sorted without regard to case.
    std::vector<std::string> ValueNames(const std::string& key) const;

  private:
    std::string path_;
};

// Strict decimal text to int: optional spaces, optional sign, digits, optional spaces.
std::optional<int> ParseDecimal(const std::string& text);

}  // namespace tessel

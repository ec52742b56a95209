#pragma once

// Links read from a Netscape Navigator bookmark file (the HTML bookmark file that Netscape,
// Mozilla and Firefox write and export), and where Navigator's settings say that file is.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class TRegistryStore;

inline constexpr const char* kNoBookmarksFound = "No Bookmarks found.";

inline constexpr const char* kNetscapeKey = "Software\\Netscape\\Netscape Navigator";

// Reads a string value of the current user's settings: key path and value name; an empty
// text when either is missing.
using TRegistryReader =
    std::function<std::string(const std::string& key, const std::string& valueName)>;

// The bookmark file Navigator's settings name: "File Location" of "Bookmark List", else
// built from the install folder (cut before "Communicator"), "Users/", the current user and
// "/bookmark.htm". Without any settings the result names no file.
std::string NetscapeBookmarkPath(const TRegistryReader& readValue);

// Reads the values of the program's settings store.
TRegistryReader RegistryReaderOf(const TRegistryStore& store);

// Appends the target of every HREF="..." in `line` (marker in any case), left to right,
// with its character references decoded. A target whose closing quote is missing ends the
// line's search and is not taken.
void AppendLineLinks(std::string_view line, std::vector<std::string>& links);

// Appends the links of a bookmark file. False when the file does not exist or cannot be
// read; links appended before stay.
bool ReadBookmarkFile(const std::string& path, std::vector<std::string>& links);

}  // namespace tessel

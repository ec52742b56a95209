#pragma once

// The theme editor's rules that need no window: which names a theme may take, and how a
// chosen background picture arrives in the backgrounds folder.

#include <string>
#include <vector>

namespace tessel {

// True when `name` may not be applied. Adding (`editIndex` -1) refuses a name the list holds
// without regard to case. Editing entry `editIndex` checks only a name that differs from the
// entry's own text with case, so a change of letter case alone meets the entry and is refused.
bool ThemeNameRefused(const std::vector<std::string>& names, int editIndex,
                      const std::string& name);

// How a chosen picture reaches a folder of the program's pictures (ending in "/").
enum class TPictureArrival {
    InFolder,     // the chosen file is already the folder's file
    Copy,         // the folder has no file of that name: copy it there
    SameContent,  // the folder's file of that name has the same bytes: use it
    NameTaken,    // a different file has that name in the folder: ask before replacing it
};

TPictureArrival PictureArrival(const std::string& chosenPath, const std::string& folder);

// Copies the chosen picture into the folder under its own name, replacing a file of that name
// when `replace` is set. False when the copy failed (the folder keeps what it had).
bool CopyPictureInto(const std::string& chosenPath, const std::string& folder, bool replace);

}  // namespace tessel

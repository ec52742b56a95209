#pragma once

// The theme editor's rules that need no window: which names a theme may take.

#include <string>
#include <vector>

namespace tessel {

// True when `name` may not be applied. Adding (`editIndex` -1) refuses a name the list holds
// without regard to case. Editing entry `editIndex` checks only a name that differs from the
// entry's own text with case, so a change of letter case alone meets the entry and is refused.
bool ThemeNameRefused(const std::vector<std::string>& names, int editIndex,
                      const std::string& name);

}  // namespace tessel

#include "themes/core/ThemeRules.h"

#include "document/Persistence.h"

namespace tessel {

bool ThemeNameRefused(const std::vector<std::string>& names, int editIndex,
                      const std::string& name) {
    const bool editing = editIndex >= 0 && editIndex < static_cast<int>(names.size());
    if (editing && names[editIndex] == name)
        return false;
    for (const std::string& existing : names) {
        if (SameText(existing, name))
            return true;
    }
    return false;
}

}  // namespace tessel

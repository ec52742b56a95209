#include "pagerules/PictureNames.h"

namespace tessel {

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of("/\\") == std::string_view::npos;
}

std::string PictureFilePath(const std::string& folder, std::string_view name) {
    if (!IsPlainFileName(name))
        return {};
    return folder + std::string(name);
}

}  // namespace tessel

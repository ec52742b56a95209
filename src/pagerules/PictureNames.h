#pragma once

// Picture names stored in a document are bare file names inside the program's picture
// folders. A hand-made document could hold a path instead ("../../etc/passwd",
// "/home/x/y.gif"); such a name must never make the program show, copy or collect a file
// outside those folders, so it is treated as a missing picture.

#include <string>
#include <string_view>

namespace tessel {

// True when `name` is a plain file name: not empty, not "." or "..", no "/" or "\". Dots
// elsewhere are part of the name ("photo..jpg").
bool IsPlainFileName(std::string_view name);

// `folder` + `name` when the name is plain, otherwise an empty text (no such picture).
std::string PictureFilePath(const std::string& folder, std::string_view name);

}  // namespace tessel

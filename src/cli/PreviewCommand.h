#pragma once

// tessel-cli preview: the page drawn by the desktop program's own viewer, offscreen, into a
// PNG picture, or the text that viewer shows. Returns the exit code: 0 done, 1 failed, 2 bad
// arguments.

#include <ostream>
#include <string>
#include <vector>

namespace tessel {

int RunPreviewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessel

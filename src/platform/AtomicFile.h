#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace tessel {

// Writes a file through a temporary file beside it that is renamed into place, so a write
// that fails half-way never destroys the previous file. `produce` writes the content; an
// exception from it (or a failed write) removes the temporary file and leaves the target
// as it was. Throws ETesselError when the file cannot be written.
void WriteFileAtomically(const std::string& path,
                         const std::function<void(std::ostream&)>& produce);
void WriteFileAtomically(const std::string& path, std::string_view content);

// The whole content of a file; throws ETesselError when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path);

}  // namespace tessel

#pragma once

#include <QString>
#include <string>

#include "platform/FileTypeRegistration.h"

namespace tessel {

// Registers .pgx and .pgt with the desktop for the program at `programPath`, with the
// program's own icons, below `dataHome` (ends in "/"). When something changed, the
// desktop's MIME and application caches are refreshed by their tools, started in the
// background; a desktop without those tools is fine. Throws ETesselError when a file
// cannot be written.
TRegistrationChanges RegisterFileTypes(const std::string& dataHome, const QString& programPath);

}  // namespace tessel

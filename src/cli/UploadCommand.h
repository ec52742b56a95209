#pragma once

// tessel-cli upload: sends files to an FTP server the way the upload wizard does.

#include <ostream>
#include <string>
#include <vector>

namespace tessel {

extern const char* const kUploadUsage;

// args are the arguments after the word "upload". Returns the process exit code:
// 0 after "Transfer Completed.", 1 when the session failed, 2 for a usage error.
int RunUploadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessel

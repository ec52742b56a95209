#pragma once

// The document commands of tessel-cli. Each takes the arguments after its command word and
// returns the process exit code: 0 done, 1 failed, 2 bad arguments.

#include <ostream>
#include <string>
#include <vector>

namespace tessel {

inline constexpr const char* kNotADocument =
    "The selected file is not a valid .PGX or .PGT document.";

// The program folder whose Upload/ a preview takes pictures from, ending in "/": `home`, or
// the desktop program's own when it is empty.
std::string CliProgramFolder(std::string home);

int RunNewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunHtmlCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunDumpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunResaveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessel

// tessel-cli: the page builder's core on the command line.

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/PreviewCommand.h"
#include "cli/UploadCommand.h"
#include "themes/core/WebTheme.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  new FILE                 write the default new page document to FILE\n"
    "  html FILE [--mode 0|1|2] [--banner] [--home DIR] [-o OUT]\n"
    "                           write the page's HTML (CR LF line ends) to OUT or standard "
    "output;\n"
    "                           mode 0 preview (pictures under the program folder, or DIR),\n"
    "                           1 local copy (../Upload/...), 2 server copy (the default);\n"
    "                           --banner adds the maker's banner; with mode 2 and OUT, a\n"
    "                           form that goes to the mail script gets it beside OUT\n"
    "                           (OUT without its extension + \"-mail.php\")\n"
    "  preview FILE [-o OUT.png] [--text] [--width W] [--banner] [--home DIR]\n"
    "                           draw the page as View Page shows it (a .pgx or .pgt document)\n"
    "                           or as the template browser does (an .html file) into a PNG\n"
    "                           picture W pixels wide (800 by default), and with --text print\n"
    "                           the text it shows; needs no display\n"
    "  dump FILE                print any component stream (document, template, theme file)\n"
    "                           as readable text\n"
    "  resave IN OUT            read a component stream and write it again\n"
    "  upload ...               send files to an FTP server, given by options or by a server\n"
    "                           profile of the desktop program: upload --profile NAME FILE...\n"
    "                           (see 'tessel-cli upload --help')\n"
    "  --help                   show this text\n";

}  // namespace

int main(int argc, char** argv) {
    // Qt's plain POSIX event dispatcher: the command line needs no GLib main loop, and an
    // upload makes many short trips through the loop, each cheaper without it.
    setenv("QT_NO_GLIB", "1", 0);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    tessel::RegisterThemeStoreClass();
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "upload") {
        return tessel::RunUploadCommand(args, std::cout, std::cerr);
    }
    const std::map<std::string,
                   int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&)>
        commands = {
            {"new", tessel::RunNewCommand},         {"html", tessel::RunHtmlCommand},
            {"preview", tessel::RunPreviewCommand}, {"dump", tessel::RunDumpCommand},
            {"resave", tessel::RunResaveCommand},
        };
    auto it = commands.find(command);
    if (it == commands.end()) {
        std::cerr << "tessel-cli: unknown command '" << command << "'\n\n" << kUsage;
        return 2;
    }
    return it->second(args, std::cout, std::cerr);
}

#include "cli/CliCommands.h"

#include <filesystem>
#include <optional>

#include "document/Pagelette.h"
#include "document/Stream.h"
#include "document/StreamDump.h"
#include "html/FormDelivery.h"
#include "html/MailScript.h"
#include "html/PageHtml.h"
#include "pagerules/ProgramPaths.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFolder.h"

namespace tessel {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

int BadArguments(std::ostream& err, const std::string& problem) {
    err << "tessel-cli: " << problem << "\n(see 'tessel-cli --help')\n";
    return kBadArguments;
}

int NotADocument(std::ostream& err, const std::exception& error) {
    err << kNotADocument << "\n" << error.what() << "\n";
    return kFailed;
}

struct THtmlArguments {
    std::string file;
    TGenerateOptions options;
    std::optional<std::string> output;
};

// Fills `parsed` or returns the problem.
std::optional<std::string> ParseHtmlArguments(const std::vector<std::string>& args,
                                              THtmlArguments& parsed) {
    std::optional<std::string> home;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--mode") {
            if (!hasValue || (args[i + 1] != "0" && args[i + 1] != "1" && args[i + 1] != "2")) {
                return "--mode needs 0, 1 or 2";
            }
            parsed.options.mode = static_cast<TOutputMode>(args[++i][0] - '0');
        } else if (arg == "--banner") {
            parsed.options.banner = true;
        } else if (arg == "--home") {
            if (!hasValue)
                return "--home needs a folder";
            home = args[++i];
        } else if (arg == "-o" || arg == "--output") {
            if (!hasValue)
                return arg + " needs a file name";
            parsed.output = args[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else if (parsed.file.empty()) {
            parsed.file = arg;
        } else {
            return "more than one document given";
        }
    }
    if (parsed.file.empty()) {
        return "html needs a document";
    }
    if (home) {
        parsed.options.programFolder = *home;
    }
    // The page is named as the file it goes to, or as a save would name its server copy.
    parsed.options.pageFileName =
        parsed.output ? FileNameOf(*parsed.output) : UploadHtmlName(parsed.file);
    return std::nullopt;
}

}  // namespace

std::string CliProgramFolder(std::string home) {
    if (home.empty())
        home = ResolveProgramFolder(ProgramFolderSourcesFromProcess());
    if (!home.empty() && home.back() != '/')
        home += '/';
    return home;
}

int RunNewCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 1) {
        return BadArguments(err, "new needs exactly one file name");
    }
    TPagelette document;
    SetDefaultBlocks(document);
    try {
        WriteDocumentFile(args[0], document);
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    return kDone;
}

int RunHtmlCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    THtmlArguments parsed;
    if (std::optional<std::string> problem = ParseHtmlArguments(args, parsed)) {
        return BadArguments(err, *problem);
    }
    std::unique_ptr<TPagelette> document;
    try {
        // Only the preview addresses pictures under the program folder.
        std::string& folder = parsed.options.programFolder;
        if (parsed.options.mode == omPreview || !folder.empty()) {
            folder = CliProgramFolder(folder);
        }
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    try {
        document = ReadDocumentFile(parsed.file);
    } catch (const EStreamError& error) {
        return NotADocument(err, error);
    }
    std::string page;
    try {
        std::vector<std::string> lines;
        GeneratePage(*document, lines, parsed.options);
        page = PageText(lines);
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << kGeneratePageError << ": " << error.what() << "\n";
        return kFailed;
    }
    if (!parsed.output) {
        out << page;
        return out ? kDone : kFailed;
    }
    try {
        WriteFileAtomically(*parsed.output, page);
        // The server copy of a page whose form goes to the mail script has the script beside it.
        if (parsed.options.mode == omServerCopy && UsesMailScript(*document)) {
            const std::filesystem::path script =
                std::filesystem::path(*parsed.output)
                    .replace_filename(MailScriptName(parsed.options.pageFileName));
            WriteFileAtomically(script.string(),
                                MailScriptText(*document, parsed.options.pageFileName));
        }
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    return kDone;
}

int RunDumpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return BadArguments(err, "dump needs exactly one file name");
    }
    std::string bytes;
    try {
        bytes = ReadWholeFile(args[0]);
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    try {
        out << DumpComponentStream(bytes);
    } catch (const EStreamError& error) {
        return NotADocument(err, error);
    }
    return kDone;
}

int RunResaveCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 2) {
        return BadArguments(err, "resave needs an input and an output file name");
    }
    std::unique_ptr<TComponent> root;
    try {
        root = ReadComponentFile(args[0]);
    } catch (const EStreamError& error) {
        return NotADocument(err, error);
    }
    try {
        WriteComponentFile(args[1], *root);
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    return kDone;
}

}  // namespace tessel

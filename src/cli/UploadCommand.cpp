#include "cli/UploadCommand.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "publish/FtpCli.h"
#include "publish/FtpUploader.h"

namespace tessel {

const char* const kUploadUsage =
    "tessel-cli upload --host H [--port P] --user U (--password-file F | --password-env VAR)\n"
    "                  [--dir D] [--mkdir] [--passive] [--timeout S] FILE...\n"
    "  Sends the files by FTP, the last one first, into directory D (or the log-in\n"
    "  directory). --mkdir creates D when the server says it does not exist. The password\n"
    "  is read from the first line of file F or from environment variable VAR.\n";

namespace {

constexpr std::chrono::milliseconds kQuitGrace{1000};

struct TUploadOptions {
    std::string host;
    std::string port = "21";
    std::string user;
    std::string passwordFile;
    std::string passwordEnv;
    std::string dir;
    bool mkdir = false;
    bool passive = false;
    int timeout = 15;
    std::vector<std::string> files;
};

// Returns an error text, or nothing when the arguments are complete.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, TUploadOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& target) -> bool {
            if (i + 1 >= args.size()) {
                return false;
            }
            target = args[++i];
            return true;
        };
        std::string timeout;
        bool ok = true;
        if (a == "--host") {
            ok = value(o.host);
        } else if (a == "--port") {
            ok = value(o.port);
        } else if (a == "--user") {
            ok = value(o.user);
        } else if (a == "--password-file") {
            ok = value(o.passwordFile);
        } else if (a == "--password-env") {
            ok = value(o.passwordEnv);
        } else if (a == "--dir") {
            ok = value(o.dir);
        } else if (a == "--timeout") {
            ok = value(timeout);
            char* end = nullptr;
            o.timeout = ok ? static_cast<int>(std::strtol(timeout.c_str(), &end, 10)) : 0;
            if (ok && (end == timeout.c_str() || *end != '\0' || o.timeout < 1)) {
                return "--timeout needs a whole number of seconds above 0";
            }
        } else if (a == "--mkdir") {
            o.mkdir = true;
        } else if (a == "--passive") {
            o.passive = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else {
            o.files.push_back(a);
        }
        if (!ok) {
            return a + " needs a value";
        }
    }
    if (o.host.empty()) {
        return "--host is required";
    }
    if (o.user.empty()) {
        return "--user is required";
    }
    if (o.passwordFile.empty() == o.passwordEnv.empty()) {
        return "give exactly one of --password-file and --password-env";
    }
    if (o.files.empty()) {
        return "no file to upload";
    }
    return std::nullopt;
}

std::optional<std::string> ReadPassword(const TUploadOptions& o, std::string& password) {
    if (!o.passwordEnv.empty()) {
        const char* value = std::getenv(o.passwordEnv.c_str());
        if (value == nullptr) {
            return "environment variable " + o.passwordEnv + " is not set";
        }
        password = value;
        return std::nullopt;
    }
    std::ifstream in(o.passwordFile, std::ios::binary);
    if (!in) {
        return "cannot read password file " + o.passwordFile;
    }
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    return std::nullopt;
}

// Shows the wizard's label: rewritten in place on a terminal, as lines otherwise (there
// only the first and the last count of each file, not every block's).
class TProgressPrinter {
  public:
    TProgressPrinter(std::ostream& out, bool terminal) : FOut(out), FTerminal(terminal) {}

    void Show(const std::string& label, bool progress) {
        if (FTerminal) {
            const auto now = std::chrono::steady_clock::now();
            if (progress && now - FLastShown < std::chrono::milliseconds(100) &&
                label.find(" 0 bytes") == std::string::npos) {
                FPending = label;
                return;
            }
            FLastShown = now;
            FPending.clear();
            FOut << "\r\x1b[K" << label << std::flush;
            FLineOpen = true;
            return;
        }
        const bool fileStart =
            progress && label.size() >= 8 && label.compare(label.size() - 8, 8, " 0 bytes") == 0;
        if (progress && !fileStart) {
            FPending = label;
            return;
        }
        Flush();
        FOut << label << "\n" << std::flush;
    }

    // Ends the updating line (or prints the last count held back) before other output.
    void Flush() {
        if (FTerminal) {
            if (!FPending.empty()) {
                FOut << "\r\x1b[K" << FPending;
                FPending.clear();
            }
            if (FLineOpen) {
                FOut << "\n" << std::flush;
                FLineOpen = false;
            }
            return;
        }
        if (!FPending.empty()) {
            FOut << FPending << "\n" << std::flush;
            FPending.clear();
        }
    }

  private:
    std::ostream& FOut;
    bool FTerminal;
    bool FLineOpen = false;
    std::string FPending;
    std::chrono::steady_clock::time_point FLastShown;
};

std::unique_ptr<QCoreApplication> EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    static int argc = 1;
    static char name[] = "tessel-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace

int RunUploadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUploadUsage;
        return 0;
    }
    TUploadOptions options;
    if (const auto problem = ParseOptions(args, options)) {
        err << "tessel-cli upload: " << *problem << "\n" << kUploadUsage;
        return 2;
    }
    std::string password;
    if (const auto problem = ReadPassword(options, password)) {
        err << "tessel-cli upload: " << *problem << "\n";
        return 2;
    }
    const auto app = EnsureApplication();

    TFtpClient client;
    client.HostName = options.host;
    client.Port = options.port;
    client.UserName = options.user;
    client.PassWord = password;
    client.HostDirName = options.dir;
    client.Binary = true;
    client.ShareMode = ftpShareExclusive;
    client.Timeout = options.timeout;
    client.Passive = options.passive;

    TFtpUploader uploader(client);
    for (const auto& file : options.files) {
        uploader.Files.push_back(std::filesystem::absolute(file).string());
    }
    TProgressPrinter printer(out, &out == &std::cout && isatty(STDOUT_FILENO) != 0);
    QEventLoop loop;
    bool completed = false;
    bool failed = false;
    // Once the outcome is known, the QUIT that follows is a courtesy: a server that does
    // not answer it keeps us only briefly.
    QTimer quitGrace;
    quitGrace.setSingleShot(true);
    QObject::connect(&quitGrace, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto outcomeKnown = [&] {
        if (!quitGrace.isActive()) {
            quitGrace.start(kQuitGrace);
        }
    };
    uploader.OnLabel = [&](const std::string& label, bool progress) {
        printer.Show(label, progress);
    };
    uploader.OnAskCreateDirectory = [&] {
        if (options.mkdir) {
            return true;
        }
        printer.Flush();
        err << "Error " << client.ErrorMessage() << "\n";
        failed = true;
        outcomeKnown();
        return false;
    };
    uploader.OnTransferCompleted = [&] {
        printer.Flush();
        out << "Transfer Completed.\n" << std::flush;
        completed = true;
        outcomeKnown();
    };
    uploader.OnError = [&](const std::string& message) {
        printer.Flush();
        err << message << "\n";
        failed = true;
        outcomeKnown();
    };
    uploader.OnSessionEnd = [&] { loop.quit(); };

    uploader.Start();
    if (uploader.Running()) {
        loop.exec();
    }
    if (client.State() != fsReady) {
        client.Abort();  // the unanswered QUIT
    }
    printer.Flush();
    return completed && !failed ? 0 : 1;
}

}  // namespace tessel

#include "cli/UploadCommand.h"

#include <termios.h>
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

#include "cli/UploadOptions.h"
#include "platform/RegistryStore.h"
#include "platform/UserFolders.h"
#include "publish/FtpCli.h"
#include "publish/FtpUploader.h"
#include "publish/SftpUploader.h"
#include "publish/core/Profiles.h"

namespace tessel {

const char* const kUploadUsage =
    "tessel-cli upload --host H [--port P] --user U (--password-file F | --password-env VAR)\n"
    "                  [--dir D] [--mkdir] [--passive | --active] [--timeout S]\n"
    "                  [--tls [--ca-file F] [--trust-sha256 FP]] FILE...\n"
    "tessel-cli upload --sftp --host H [--port P] --user U\n"
    "                  (--password-file F | --password-env VAR | --key KEY | --agent)\n"
    "                  [--trust-sha256 SHA256:...] [--dir D] [--mkdir] [--timeout S] FILE...\n"
    "tessel-cli upload --profile NAME [any option above] FILE...\n"
    "  Sends the files by FTP, the last one first, into directory D (or the log-in\n"
    "  directory). --mkdir creates D when the server says it does not exist. The password\n"
    "  is read from the first line of file F or from environment variable VAR.\n"
    "  --profile takes the server address, port, user name, password, directory and\n"
    "  passive mode from the desktop program's server profile NAME (letter case does not\n"
    "  matter); options given as well win over the profile's values. Active mode is the\n"
    "  default without a profile.\n"
    "  --tls encrypts the session (explicit FTPS): the log-in and the files never travel\n"
    "  in clear, and a server without TLS is refused. The certificate must verify against\n"
    "  the system's trusted certificates (or those in PEM file F) and name the host, unless\n"
    "  its SHA-256 fingerprint is given with --trust-sha256; then only that certificate is\n"
    "  accepted. A profile's encryption and trusted fingerprint apply with --profile.\n"
    "  --sftp sends by SFTP (port 22 unless --port says otherwise): each file is written\n"
    "  under a temporary name and renamed into place when complete. The log-in is by\n"
    "  password, by the OpenSSH private key file KEY (its passphrase from F or VAR, or asked\n"
    "  on the terminal) or by the running ssh-agent. The server's host key must be listed\n"
    "  for the host in ~/.ssh/known_hosts or have the SHA-256 fingerprint given with\n"
    "  --trust-sha256 (as ssh-keygen -l shows it); otherwise nothing is sent, not even the\n"
    "  password, and the key's fingerprint is shown.\n";

namespace {

constexpr std::chrono::milliseconds kQuitGrace{1000};

std::optional<std::string> ReadPassword(const TUploadOptions& o, std::string& password) {
    if (o.password) {
        password = *o.password;
        return std::nullopt;
    }
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

// The profile from the settings the desktop program uses.
std::optional<std::string> LoadProfile(TUploadOptions& options) {
    TRegistryStore store(TRegistryStore::DefaultPath(UserFoldersFromEnvironment()));
    TServerProfiles profiles(store);
    if (!profiles.ProfileExists(options.profile)) {
        std::string known;
        for (const auto& name : profiles.ListProfiles()) {
            known += (known.empty() ? "" : ", ") + ("\"" + name + "\"");
        }
        return "there is no server profile \"" + options.profile + "\" in " + store.FilePath() +
               (known.empty() ? " (it holds no profiles)" : " (it holds " + known + ")");
    }
    FillFromProfile(options, profiles.ReadProfile(options.profile));
    return std::nullopt;
}

// What a user needs to decide whether to trust a certificate that did not verify.
void PrintCertificate(const TTlsCertificateInfo& cert, std::ostream& err) {
    if (cert.Empty()) {
        return;
    }
    err << "The server's certificate:\n"
        << "  Issued to:  " << cert.issuedTo << "\n"
        << "  Issued by:  " << cert.issuedBy << "\n"
        << "  Valid from: " << cert.validFrom << "\n"
        << "  Valid to:   " << cert.validTo << "\n"
        << "  SHA-256:    " << cert.sha256 << "\n"
        << "If you trust it for this server, run again with --trust-sha256 " << cert.sha256 << "\n";
}

void PrintHostKey(const TSshHostKey& key, bool changed, std::ostream& err) {
    if (key.Empty()) {
        return;
    }
    err << "The server's host key: " << key.type << " " << key.sha256 << "\n";
    if (changed) {
        err << "It is not the key trusted for this server before. Someone may be listening in on "
               "the connection; if the server's owner says the key changed, run again with "
               "--trust-sha256 "
            << key.sha256 << "\n";
    } else {
        err << "If it is your server's key, run again with --trust-sha256 " << key.sha256 << "\n";
    }
}

// A key file's passphrase from the terminal, not shown as it is typed.
std::optional<std::string> AskPassphrase(const std::string& keyFile, std::ostream& err) {
    if (isatty(STDIN_FILENO) == 0) {
        err << "tessel-cli upload: the key file " << keyFile
            << " needs its passphrase: give it with --password-file or --password-env\n";
        return std::nullopt;
    }
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    err << "Passphrase for " << keyFile << ": " << std::flush;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string passphrase;
    const bool read = static_cast<bool>(std::getline(std::cin, passphrase));
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    err << "\n";
    if (!read) {
        return std::nullopt;
    }
    return passphrase;
}

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
    if (const auto problem = ParseUploadOptions(args, options)) {
        err << "tessel-cli upload: " << *problem << "\n" << kUploadUsage;
        return 2;
    }
    if (!options.profile.empty()) {
        if (const auto problem = LoadProfile(options)) {
            err << "tessel-cli upload: " << *problem << "\n";
            return 2;
        }
    }
    if (const auto problem = CheckUploadOptions(options)) {
        err << "tessel-cli upload: " << *problem << "\n" << kUploadUsage;
        return 2;
    }
    const bool sftp = options.sftp.value_or(false);
    const TSshAuth auth = options.sshAuth.value_or(TSshAuth::Password);
    std::string password;
    const bool passwordGiven =
        options.password || !options.passwordEnv.empty() || !options.passwordFile.empty();
    if (passwordGiven) {
        if (const auto problem = ReadPassword(options, password)) {
            err << "tessel-cli upload: " << *problem << "\n";
            return 2;
        }
    }
    // A key's passphrase is never stored: a profile's password is not taken for one.
    if (auth == TSshAuth::KeyFile && options.passwordFile.empty() && options.passwordEnv.empty()) {
        password.clear();
    }
    const auto app = EnsureApplication();

    TFtpClient client;
    TSftpClient sftpClient;
    std::unique_ptr<TUploadSession> session;
    if (sftp) {
        sftpClient.HostName = *options.host;
        sftpClient.Port = options.port.value_or(kDefaultSftpPort);
        sftpClient.UserName = *options.user;
        sftpClient.HostDirName = options.dir.value_or("");
        sftpClient.Timeout = options.timeout;
        sftpClient.Auth = auth;
        sftpClient.KeyFile = options.keyFile;
        // A key file takes the given secret as its passphrase; a password log-in as the password.
        (auth == TSshAuth::KeyFile ? sftpClient.KeyPassphrase : sftpClient.PassWord) = password;
        sftpClient.TrustedHostKey = options.sshHostKey.value_or("");
        auto uploader = std::make_unique<TSftpUploader>(sftpClient);
        uploader->OnAskPassphrase = [&err](const std::string& keyFile) {
            return AskPassphrase(keyFile, err);
        };
        session = std::move(uploader);
    } else {
        client.HostName = *options.host;
        client.Port = options.port.value_or(kDefaultFtpPort);
        client.UserName = *options.user;
        client.PassWord = password;
        client.HostDirName = options.dir.value_or("");
        client.Binary = true;
        client.ShareMode = ftpShareExclusive;
        client.Timeout = options.timeout;
        client.Passive = options.passive.value_or(false);
        client.TlsMode = options.tls.value_or(false) ? ftpTlsRequired : ftpTlsNone;
        client.TlsCaFile = options.caFile;
        client.TlsTrustedSha256 = options.trustSha256.value_or("");
        session = std::make_unique<TFtpUploader>(client);
    }
    TUploadSession& uploader = *session;
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
        err << "Error " << uploader.ErrorMessage() << "\n";
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
        if (uploader.LastError() == kTlsCertificateUntrusted ||
            uploader.LastError() == kTlsCertificateChanged) {
            PrintCertificate(client.ServerCertificate(), err);
        }
        if (sftp && (uploader.LastError() == kSshHostKeyUnknown ||
                     uploader.LastError() == kSshHostKeyChanged)) {
            PrintHostKey(sftpClient.ServerHostKey(), uploader.LastError() == kSshHostKeyChanged,
                         err);
        }
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
    sftpClient.Abort();
    printer.Flush();
    return completed && !failed ? 0 : 1;
}

}  // namespace tessel

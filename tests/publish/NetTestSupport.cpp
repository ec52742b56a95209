#include "NetTestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <thread>

namespace tessel::test {

namespace {

// One application object for the whole test program.
class TQtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        signal(SIGPIPE, SIG_IGN);
        static int argc = 1;
        static char name[] = "tessel_net_tests";
        static char* argv[] = {name, nullptr};
        // The window tests bring their own application object.
        if (QCoreApplication::instance() == nullptr) {
            FApp = std::make_unique<QCoreApplication>(argc, argv);
        }
    }
    void TearDown() override { FApp.reset(); }

  private:
    std::unique_ptr<QCoreApplication> FApp;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QTimer tick;
    tick.start(20);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

void RunFor(std::chrono::milliseconds span) {
    const auto deadline = std::chrono::steady_clock::now() + span;
    RunUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, span * 2);
}

std::string MakeBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(size, '\0');
    for (auto& c : s) {
        c = static_cast<char>(gen() & 0xFF);
    }
    return s;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-net-XXXXXX").string();
    FPath = mkdtemp(pattern.data());
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

TChildProcess::TChildProcess(const std::vector<std::string>& argv) {
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        return;
    }
    FPid = fork();
    if (FPid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    FStdin = in[1];
    FStdout = out[0];
}

TChildProcess::~TChildProcess() {
    if (FStdin >= 0) {
        close(FStdin);
    }
    if (FPid > 0) {
        kill(FPid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(FPid, &status, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (waitpid(FPid, &status, WNOHANG) == 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, &status, 0);
        }
    }
    if (FStdout >= 0) {
        close(FStdout);
    }
}

std::string TChildProcess::ReadLine(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (FBuffered.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{FStdout, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return {};
        }
        char buf[256];
        const ssize_t n = read(FStdout, buf, sizeof buf);
        if (n <= 0) {
            return {};
        }
        FBuffered.append(buf, static_cast<std::size_t>(n));
    }
    const auto lf = FBuffered.find('\n');
    std::string line = FBuffered.substr(0, lf);
    FBuffered.erase(0, lf + 1);
    return line;
}

TPyFtpServer::TPyFtpServer(const std::filesystem::path& root, const std::string& user,
                           const std::string& password)
    : FProcess({"/usr/bin/python3", TESSEL_PUBLISH_TEST_DIR "/pyftpd_server.py", root.string(),
                user, password}) {
    const std::string line = FProcess.ReadLine(std::chrono::seconds(20));
    if (line.rfind("PORT ", 0) == 0) {
        FPort = std::stoi(line.substr(5));
    }
}

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
    socklen_t len = sizeof sin;
    getsockname(fd, reinterpret_cast<sockaddr*>(&sin), &len);
    close(fd);
    return ntohs(sin.sin_port);
}

bool WaitForListener(int port, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sin{};
        sin.sin_family = AF_INET;
        sin.sin_port = htons(static_cast<std::uint16_t>(port));
        sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin) == 0;
        close(fd);
        if (ok) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace tessel::test

#include <pwd.h>

#include "TestCertificates.h"

namespace tessel::test {

TVsftpdServer::TVsftpdServer(const std::filesystem::path& dir, const TTestCertificate* tls)
    : FDir(dir) {
    if (geteuid() != 0) {
        FProblem = "vsftpd needs root to run";
        return;
    }
    const passwd* ftp = getpwnam("ftp");
    if (ftp == nullptr || access("/usr/sbin/vsftpd", X_OK) != 0) {
        FProblem = "vsftpd or its ftp user is not installed";
        return;
    }
    // vsftpd refuses a chroot folder that its ftp user could write to.
    namespace fs = std::filesystem;
    fs::create_directories(UploadDir());
    fs::create_directories(FDir / "empty");
    fs::permissions(FDir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    if (chown(UploadDir().c_str(), ftp->pw_uid, ftp->pw_gid) != 0) {
        FProblem = "cannot hand the upload folder to the ftp user";
        return;
    }
    FPort = FreeLoopbackPort();
    std::ofstream conf(FDir / "vsftpd.conf");
    conf << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << FPort
         << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
         << "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
         << "anon_root=" << (FDir / "root").string() << "\nno_anon_password=YES\n"
         << "secure_chroot_dir=" << (FDir / "empty").string() << "\n"
         << "seccomp_sandbox=NO\nxferlog_enable=NO\nanon_umask=022\n";
    if (tls != nullptr) {
        // vsftpd's own default cipher list names only ciphers OpenSSL 3 no longer offers.
        conf << "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
             << "force_anon_data_ssl=YES\nrequire_ssl_reuse=YES\nssl_ciphers=HIGH\n"
             << "ssl_request_cert=NO\nrsa_cert_file=" << tls->certFile.string()
             << "\nrsa_private_key_file=" << tls->keyFile.string() << "\n";
    }
    conf.close();
    FProcess = std::make_unique<TChildProcess>(
        std::vector<std::string>{"/usr/sbin/vsftpd", (FDir / "vsftpd.conf").string()});
    if (!WaitForListener(FPort, std::chrono::seconds(10))) {
        FProblem = "vsftpd did not start listening";
        FPort = 0;
    }
}

}  // namespace tessel::test

namespace tessel::test {

namespace {

std::string FindPureFtpdProgram(const std::string& relative) {
    for (const std::string prefix : {"/opt/tessel-test-tools/pure-ftpd", ""}) {
        if (access((prefix + relative).c_str(), X_OK) == 0) {
            return prefix + relative;
        }
    }
    return {};
}

}  // namespace

TPureFtpdServer::TPureFtpdServer(const std::filesystem::path& dir, const std::string& user,
                                 const std::string& password, const TTestCertificate& tls)
    : FDir(dir) {
    namespace fs = std::filesystem;
    const std::string server = FindPureFtpdProgram("/usr/sbin/pure-ftpd");
    const std::string pw = FindPureFtpdProgram("/usr/bin/pure-pw");
    const passwd* owner = getpwnam("nobody");
    if (geteuid() != 0) {
        FProblem = "pure-ftpd needs root to run";
        return;
    }
    if (server.empty() || pw.empty() || owner == nullptr) {
        FProblem = "pure-ftpd is not unpacked in /opt/tessel-test-tools (tools/install-deps.sh)";
        return;
    }
    fs::create_directories(UploadDir());
    fs::permissions(FDir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    if (chown(UploadDir().c_str(), owner->pw_uid, owner->pw_gid) != 0) {
        FProblem = "cannot hand the home folder to the virtual user";
        return;
    }
    // The virtual user's database, made by pure-pw, which reads the password twice.
    const std::string add = pw + " useradd " + user + " -u " + std::to_string(owner->pw_uid) +
                            " -g " + std::to_string(owner->pw_gid) + " -d " + UploadDir().string() +
                            " -f " + (FDir / "passwd").string() + " -F " +
                            (FDir / "users.pdb").string() + " -m >/dev/null";
    FILE* p = popen(add.c_str(), "w");
    if (p == nullptr) {
        FProblem = "cannot run pure-pw";
        return;
    }
    std::fprintf(p, "%s\n%s\n", password.c_str(), password.c_str());
    if (pclose(p) != 0) {
        FProblem = "pure-pw could not add the user";
        return;
    }
    FPort = FreeLoopbackPort();
    // -Y 3: TLS for the log-in and every data connection; -A: chrooted into the home.
    FProcess = std::make_unique<TChildProcess>(std::vector<std::string>{
        server, "-S", "127.0.0.1," + std::to_string(FPort), "-Y", "3", "-2",
        tls.certFile.string() + "," + tls.keyFile.string(), "-l",
        "puredb:" + (FDir / "users.pdb").string(), "-E", "-A", "-H", "-4", "-u", "1"});
    if (!WaitForListener(FPort, std::chrono::seconds(10))) {
        FProblem = "pure-ftpd did not start listening";
        FPort = 0;
    }
}

}  // namespace tessel::test

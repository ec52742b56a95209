#pragma once

// Shared pieces of the publishing tests: the Qt application, running the event loop
// until something happened, temporary folders and helper processes (FTP servers, a
// SOCKS proxy) started on loopback and always stopped.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessel::test {

// Runs the thread's event loop until done() holds or the time is up; returns done().
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
// Runs the event loop for a while, for checking that nothing more happens.
void RunFor(std::chrono::milliseconds span);

std::string MakeBytes(std::size_t size, unsigned seed);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};

// A child process whose standard input we hold: closing it (or killing the child)
// stops it; the destructor always reaps it.
class TChildProcess {
  public:
    explicit TChildProcess(const std::vector<std::string>& argv);
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // The first line the child writes, or "" when it ends or stays silent.
    std::string ReadLine(std::chrono::milliseconds limit);
    bool Running() const { return FPid > 0; }
    pid_t Pid() const { return FPid; }

  private:
    pid_t FPid = -1;
    int FStdin = -1;
    int FStdout = -1;
    std::string FBuffered;
};

// pyftpdlib serving Root with one user; Port() is 0 when it did not start.
class TPyFtpServer {
  public:
    TPyFtpServer(const std::filesystem::path& root, const std::string& user,
                 const std::string& password);
    int Port() const { return FPort; }

  private:
    TChildProcess FProcess;
    int FPort = 0;
};

// A free TCP port on 127.0.0.1 at the time of the call.
int FreeLoopbackPort();
// Waits until something accepts connections on 127.0.0.1:port.
bool WaitForListener(int port, std::chrono::milliseconds limit);

}  // namespace tessel::test

namespace tessel::test {

struct TTestCertificate;

// vsftpd with anonymous uploads into Root/pub, run as root; Port() is 0 and Problem()
// says why when it cannot run here. With a certificate it requires explicit FTPS for the
// log-in and the data, and data connections that resume the control session.
class TVsftpdServer {
  public:
    explicit TVsftpdServer(const std::filesystem::path& dir, const TTestCertificate* tls = nullptr);
    int Port() const { return FPort; }
    const std::string& Problem() const { return FProblem; }
    std::filesystem::path UploadDir() const { return FDir / "root" / "pub"; }

  private:
    std::filesystem::path FDir;
    std::unique_ptr<TChildProcess> FProcess;
    int FPort = 0;
    std::string FProblem;
};

}  // namespace tessel::test

namespace tessel::test {

// pure-ftpd with one virtual user whose files are in UploadDir(), requiring explicit FTPS
// for everything with the given certificate; run as root from an unpacked copy of the
// Debian package (it conflicts with vsftpd as a package). Port() is 0 and Problem() says
// why when it cannot run here.
class TPureFtpdServer {
  public:
    TPureFtpdServer(const std::filesystem::path& dir, const std::string& user,
                    const std::string& password, const TTestCertificate& tls);
    int Port() const { return FPort; }
    const std::string& Problem() const { return FProblem; }
    std::filesystem::path UploadDir() const { return FDir / "home"; }

  private:
    std::filesystem::path FDir;
    std::unique_ptr<TChildProcess> FProcess;
    int FPort = 0;
    std::string FProblem;
};

}  // namespace tessel::test

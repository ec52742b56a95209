#include "SshdServer.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tessel::test {

namespace fs = std::filesystem;

namespace {

std::string Output(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
    pclose(p);
    return out;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// The test user exists once per machine; its password is set again each time, so a user
// left from an older run with another password still works.
bool EnsureTestUser() {
    if (getpwnam(kSshdUser) == nullptr) {
        const std::string add = std::string("useradd -M -N -d /nonexistent -s /usr/sbin/nologin ") +
                                kSshdUser + " >/dev/null 2>&1";
        if (std::system(add.c_str()) != 0 && getpwnam(kSshdUser) == nullptr) {
            return false;
        }
    }
    const std::string set =
        std::string("echo '") + kSshdUser + ":" + kSshdPassword + "' | chpasswd >/dev/null 2>&1";
    return std::system(set.c_str()) == 0;
}

std::vector<pid_t> Descendants(pid_t root) {
    std::vector<pid_t> found;
    std::vector<pid_t> parents{root};
    while (!parents.empty()) {
        const pid_t parent = parents.back();
        parents.pop_back();
        std::ifstream children("/proc/" + std::to_string(parent) + "/task/" +
                               std::to_string(parent) + "/children");
        pid_t child = 0;
        while (children >> child) {
            found.push_back(child);
            parents.push_back(child);
        }
    }
    return found;
}

}  // namespace

TSshKeyPair MakeSshKey(const fs::path& path, const std::string& passphrase) {
    fs::remove(path);
    fs::remove(path.string() + ".pub");
    const std::string command = "ssh-keygen -q -t ed25519 -C tessel-test -N '" + passphrase +
                                "' -f '" + path.string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    TSshKeyPair pair;
    pair.privateKey = path;
    pair.publicLine = Trimmed(ReadFile(path.string() + ".pub"));
    // "256 SHA256:... comment (ED25519)"
    std::istringstream listed(Output("ssh-keygen -l -f '" + path.string() + ".pub'"));
    std::string bits;
    listed >> bits >> pair.sha256;
    return pair;
}

TSshdServer::TSshdServer(const fs::path& dir, const std::vector<std::string>& authorizedKeys,
                         bool passwordByPrompt)
    : FDir(dir) {
    if (geteuid() != 0) {
        FProblem = "sshd needs root to run and to log in a test user";
        return;
    }
    if (access("/usr/sbin/sshd", X_OK) != 0 || access("/usr/bin/ssh-keygen", X_OK) != 0) {
        FProblem = "openssh-server is not installed (tools/install-deps.sh)";
        return;
    }
    if (!EnsureTestUser()) {
        FProblem = "cannot make the test user " + std::string(kSshdUser);
        return;
    }
    const passwd* user = getpwnam(kSshdUser);
    fs::create_directories(Home());
    fs::create_directories("/run/sshd");  // sshd's privilege separation folder
    const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec;
    // The test user must get through the temporary folder to its home.
    fs::permissions(FDir, open);
    fs::permissions(FDir.parent_path(), open);
    if (user == nullptr || chown(Home().c_str(), user->pw_uid, user->pw_gid) != 0) {
        FProblem = "cannot hand the home folder to the test user";
        return;
    }
    FHostKey = MakeSshKey(FDir / "host_ed25519", "");
    if (FHostKey.sha256.empty()) {
        FProblem = "ssh-keygen could not make a host key";
        return;
    }
    {
        std::ofstream keys(FDir / "authorized_keys");
        for (const std::string& line : authorizedKeys) keys << line << "\n";
    }
    FPort = FreeLoopbackPort();
    std::ofstream conf(FDir / "sshd_config");
    conf << "Port " << FPort << "\nListenAddress 127.0.0.1\n"
         << "HostKey " << FHostKey.privateKey.string() << "\n"
         << "PidFile " << (FDir / "sshd.pid").string() << "\n"
         << "AuthorizedKeysFile " << (FDir / "authorized_keys").string() << "\n"
         << (passwordByPrompt
                 ? "UsePAM yes\nPasswordAuthentication no\nKbdInteractiveAuthentication yes\n"
                 : "UsePAM no\nPasswordAuthentication yes\nKbdInteractiveAuthentication no\n")
         << "StrictModes no\nPubkeyAuthentication yes\nPermitRootLogin no\n"
         << "AllowUsers " << kSshdUser << "\nPrintMotd no\nX11Forwarding no\n"
         << "MaxStartups 50\nLogLevel DEBUG1\n"
         << "Subsystem sftp internal-sftp -d " << Home().string() << "\n";
    conf.close();
    FProcess = std::make_unique<TChildProcess>(
        std::vector<std::string>{"/usr/sbin/sshd", "-D", "-f", (FDir / "sshd_config").string(),
                                 "-E", (FDir / "sshd.log").string()});
    if (!WaitForListener(FPort, std::chrono::seconds(10))) {
        FProblem = "sshd did not start listening: " + Log();
        FPort = 0;
    }
}

TSshdServer::~TSshdServer() {
    // Frozen connections would outlive the listener.
    for (const pid_t pid : FStopped) kill(pid, SIGKILL);
    if (FProcess && FProcess->Running()) {
        for (const pid_t pid : Descendants(FProcess->Pid())) kill(pid, SIGKILL);
    }
}

std::string TSshdServer::Log() const {
    return ReadFile(FDir / "sshd.log");
}

void TSshdServer::StallConnections() {
    if (!FProcess) {
        return;
    }
    for (const pid_t pid : Descendants(FProcess->Pid())) {
        if (kill(pid, SIGSTOP) == 0) {
            FStopped.push_back(pid);
        }
    }
}

}  // namespace tessel::test

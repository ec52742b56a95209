// Connecting the SFTP client: the name lookup on a worker thread, a non-blocking TCP
// connection, the SSH handshake, the host key check, the log-in and the SFTP start. Each
// step runs again on the socket's events until libssh says it is done.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <libssh/libssh.h>

#include "publish/SftpClient.h"
#include "publish/SftpPacket.h"
#include "publish/WSocketErrors.h"

namespace tessel {

// The worker thread's way back: it posts only while the client still wants the answer.
struct TSftpClient::TLookup {
    std::mutex mutex;
    QObject* target = nullptr;
};

namespace {

int ServicePort(const std::string& port) {
    if (!port.empty() && port.find_first_not_of("0123456789") == std::string::npos) {
        const long value = std::strtol(port.c_str(), nullptr, 10);
        return value > 0 && value < 65536 ? static_cast<int>(value) : -1;
    }
    const servent* service = getservbyname(port.c_str(), "tcp");
    return service != nullptr ? ntohs(static_cast<std::uint16_t>(service->s_port)) : -1;
}

// getaddrinfo's result as plain addresses with the port set.
std::vector<sockaddr_storage> Addresses(const addrinfo* list, int port) {
    std::vector<sockaddr_storage> found;
    for (const addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
        sockaddr_storage address{};
        std::memcpy(&address, ai->ai_addr, ai->ai_addrlen);
        if (address.ss_family == AF_INET) {
            reinterpret_cast<sockaddr_in*>(&address)->sin_port =
                htons(static_cast<std::uint16_t>(port));
        } else if (address.ss_family == AF_INET6) {
            reinterpret_cast<sockaddr_in6*>(&address)->sin6_port =
                htons(static_cast<std::uint16_t>(port));
        } else {
            continue;
        }
        found.push_back(address);
    }
    return found;
}

socklen_t AddressLength(const sockaddr_storage& address) {
    return address.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

// Asked by libssh for a key file's passphrase when none was given: we only note that one
// is needed, and the caller asks the user.
int NotePassphraseNeeded(const char*, char*, std::size_t, int, int, void* userdata) {
    *static_cast<bool*>(userdata) = true;
    return -1;
}

std::string KnownHostsPath(const std::string& configured) {
    if (!configured.empty()) {
        return configured;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.ssh/known_hosts";
}

}  // namespace

TSshKeyFileState CheckSshKeyFile(const std::string& path, const std::string& passphrase) {
    ssh_key key = nullptr;
    bool asked = false;
    const int rc =
        ssh_pki_import_privkey_file(path.c_str(), passphrase.empty() ? nullptr : passphrase.c_str(),
                                    NotePassphraseNeeded, &asked, &key);
    if (key != nullptr) {
        ssh_key_free(key);
    }
    if (rc == SSH_OK) {
        return TSshKeyFileState::Opens;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return TSshKeyFileState::Unreadable;
    }
    if (asked) {
        return TSshKeyFileState::NeedsPassphrase;
    }
    return passphrase.empty() ? TSshKeyFileState::Unreadable : TSshKeyFileState::WrongPassphrase;
}

void TSftpClient::ConnectAsync() {
    CheckIdle(false);
    if (FPhase != phIdle) {
        throw std::logic_error("SFTP client already connected");
    }
    Begin(sftpConnect);
    FHostKey = {};
    FDirectory.clear();
    FPosixRename = false;
    FNextId = 1;
    FKeyboardInteractive = false;
    FPromptRounds = 0;
    if (Auth == TSshAuth::KeyFile && !LoadKey()) {
        Finish(kSshKeyFileFailed);
        return;
    }
    if (Auth == TSshAuth::Agent && std::getenv("SSH_AUTH_SOCK") == nullptr) {
        FErrorMessage = "No ssh-agent is running (SSH_AUTH_SOCK is not set)";
        Finish(kSshLoginRefused);
        return;
    }
    Resolve();
}

// Read before anything goes on the network: a key that cannot be used costs no connection.
bool TSftpClient::LoadKey() {
    bool asked = false;
    const int rc = ssh_pki_import_privkey_file(
        KeyFile.c_str(), KeyPassphrase.empty() ? nullptr : KeyPassphrase.c_str(),
        NotePassphraseNeeded, &asked, &FKey);
    if (rc == SSH_OK) {
        return true;
    }
    FKey = nullptr;
    if (asked) {
        FErrorMessage = "The key file " + KeyFile + " needs its passphrase";
    } else if (!KeyPassphrase.empty() && ::access(KeyFile.c_str(), R_OK) == 0) {
        FErrorMessage = "The passphrase does not open the key file " + KeyFile;
    } else {
        FErrorMessage = "Cannot read the key file " + KeyFile + " (an OpenSSH private key)";
    }
    return false;
}

void TSftpClient::Resolve() {
    const int port = ServicePort(Port);
    if (port < 0) {
        FErrorMessage = "Not a port: " + Port;
        Finish(WSAEINVAL);
        return;
    }
    SetPhase(phResolving);
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* list = nullptr;
    if (getaddrinfo(HostName.c_str(), nullptr, &hints, &list) == 0) {
        // A dotted address needs no lookup, but still answers on a later turn.
        auto addresses = Addresses(list, port);
        freeaddrinfo(list);
        const unsigned generation = FGeneration;
        QTimer::singleShot(0, FContext.get(), [this, generation, addresses] {
            if (generation == FGeneration) {
                Resolved(0, addresses);
            }
        });
        return;
    }
    FLookup = std::make_shared<TLookup>();
    FLookup->target = FContext.get();
    std::weak_ptr<TLookup> weak = FLookup;
    const unsigned generation = FGeneration;
    std::thread([weak, host = HostName, port, generation, this] {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &list);
        std::vector<sockaddr_storage> addresses =
            rc == 0 ? Addresses(list, port) : std::vector<sockaddr_storage>{};
        if (list != nullptr) {
            freeaddrinfo(list);
        }
        const int error = rc == 0 ? 0 : WinsockErrorFromResolver(rc);
        const std::shared_ptr<TLookup> lookup = weak.lock();
        if (!lookup) {
            return;
        }
        std::lock_guard<std::mutex> guard(lookup->mutex);
        if (lookup->target != nullptr) {
            QMetaObject::invokeMethod(
                lookup->target,
                [this, generation, error, addresses] {
                    if (generation == FGeneration) {
                        Resolved(error, addresses);
                    }
                },
                Qt::QueuedConnection);
        }
    }).detach();
}

// A lookup still running answers nobody: its thread may be posting right now.
void TSftpClient::ForgetLookup() {
    if (FLookup) {
        std::lock_guard<std::mutex> guard(FLookup->mutex);
        FLookup->target = nullptr;
    }
    FLookup.reset();
}

void TSftpClient::Resolved(int error, std::vector<sockaddr_storage> addresses) {
    ForgetLookup();
    if (error == 0 && addresses.empty()) {
        error = WSANO_DATA;
    }
    if (error != 0) {
        Fail(error, WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")");
        return;
    }
    FAddresses = std::move(addresses);
    FAddressIndex = 0;
    ConnectTcp();
}

void TSftpClient::ConnectTcp() {
    SetPhase(phTcpConnecting);
    const sockaddr_storage& address = FAddresses[FAddressIndex];
    FFd = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (FFd < 0) {
        const int error = WinsockErrorFromErrno(errno);
        Fail(error, WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")");
        return;
    }
    const int rc =
        ::connect(FFd, reinterpret_cast<const sockaddr*>(&address), AddressLength(address));
    if (rc != 0 && errno != EINPROGRESS) {
        const int err = errno;
        ::close(FFd);
        FFd = -1;
        const int error = WinsockErrorFromErrno(err);
        if (++FAddressIndex < FAddresses.size()) {
            ConnectTcp();
            return;
        }
        Fail(error, WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")");
        return;
    }
    FWriteNotifier = new QSocketNotifier(FFd, QSocketNotifier::Write, FContext.get());
    QObject::connect(FWriteNotifier, &QSocketNotifier::activated, FContext.get(),
                     [this] { TcpWritable(); });
}

void TSftpClient::TcpWritable() {
    DropNotifiers();
    int err = 0;
    socklen_t length = sizeof err;
    ::getsockopt(FFd, SOL_SOCKET, SO_ERROR, &err, &length);
    if (err != 0) {
        ::close(FFd);
        FFd = -1;
        if (++FAddressIndex < FAddresses.size()) {
            ConnectTcp();
            return;
        }
        const int error = WinsockErrorFromErrno(err);
        Fail(error, WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")");
        return;
    }
    StartSsh();
}

void TSftpClient::StartSsh() {
    FSsh = ssh_new();
    if (FSsh == nullptr) {
        Fail(kSshHandshakeFailed, "Cannot start an SSH session");
        return;
    }
    const int port = ServicePort(Port);
    const int process = 0;
    const std::string knownHosts = KnownHostsPath(KnownHostsFile);
    long timeout = Timeout;
    // Our own settings only: the user's ssh configuration could send us elsewhere.
    ssh_options_set(FSsh, SSH_OPTIONS_PROCESS_CONFIG, &process);
    ssh_options_set(FSsh, SSH_OPTIONS_HOST, HostName.c_str());
    ssh_options_set(FSsh, SSH_OPTIONS_PORT, &port);
    ssh_options_set(FSsh, SSH_OPTIONS_USER, UserName.c_str());
    ssh_options_set(FSsh, SSH_OPTIONS_KNOWNHOSTS, knownHosts.c_str());
    ssh_options_set(FSsh, SSH_OPTIONS_TIMEOUT, &timeout);
    // From here on libssh owns the socket and closes it.
    ssh_options_set(FSsh, SSH_OPTIONS_FD, &FFd);
    FFd = -1;
    ssh_set_blocking(FSsh, 0);
    SetPhase(phHandshake);
    Pump();
}

void TSftpClient::StepHandshake() {
    const int rc = ssh_connect(FSsh);
    if (rc == SSH_AGAIN) {
        return;
    }
    if (rc != SSH_OK) {
        Fail(kSshHandshakeFailed, std::string("SSH: ") + ssh_get_error(FSsh));
        return;
    }
    CheckHostKey();
}

// Before anything of the user's goes out, the password above all.
void TSftpClient::CheckHostKey() {
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(FSsh, &key) != SSH_OK) {
        Fail(kSshHandshakeFailed, "The server showed no host key");
        return;
    }
    unsigned char* hash = nullptr;
    std::size_t hashLength = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &hashLength) == SSH_OK) {
        char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, hashLength);
        FHostKey.sha256 = text != nullptr ? text : "";
        ssh_string_free_char(text);
        ssh_clean_pubkey_hash(&hash);
    }
    const char* type = ssh_key_type_to_char(ssh_key_type(key));
    FHostKey.type = type != nullptr ? type : "unknown";
    ssh_key_free(key);
    if (FHostKey.sha256.empty()) {
        Fail(kSshHandshakeFailed, "Cannot read the server's host key");
        return;
    }
    const ssh_known_hosts_e known = ssh_session_is_known_server(FSsh);
    const bool trusted = TrustedHostKey == FHostKey.sha256 || known == SSH_KNOWN_HOSTS_OK;
    if (!trusted) {
        const bool changed = !TrustedHostKey.empty() || known == SSH_KNOWN_HOSTS_CHANGED ||
                             known == SSH_KNOWN_HOSTS_OTHER;
        Fail(changed ? kSshHostKeyChanged : kSshHostKeyUnknown,
             changed ? "The server's host key has changed (" + FHostKey.type + " " +
                           FHostKey.sha256 + ")"
                     : "The server's host key is not known (" + FHostKey.type + " " +
                           FHostKey.sha256 + ")");
        return;
    }
    SetPhase(phAuth);
    StepAuth();
}

void TSftpClient::StepAuth() {
    int rc = SSH_AUTH_ERROR;
    switch (Auth) {
        case TSshAuth::Password:
            rc = FKeyboardInteractive ? StepKeyboardInteractive()
                                      : ssh_userauth_password(FSsh, nullptr, PassWord.c_str());
            // Many hosts take the password only as the answer to a keyboard-interactive prompt.
            if (rc == SSH_AUTH_DENIED && !FKeyboardInteractive &&
                (ssh_userauth_list(FSsh, nullptr) & SSH_AUTH_METHOD_INTERACTIVE) != 0) {
                FKeyboardInteractive = true;
                rc = StepKeyboardInteractive();
            }
            break;
        case TSshAuth::KeyFile:
            rc = ssh_userauth_publickey(FSsh, nullptr, FKey);
            break;
        case TSshAuth::Agent:
            rc = ssh_userauth_agent(FSsh, nullptr);
            break;
    }
    if (rc == SSH_AUTH_AGAIN) {
        return;
    }
    if (rc == SSH_AUTH_SUCCESS) {
        FChannel = ssh_channel_new(FSsh);
        SetPhase(phChannel);
        StepChannel();
        return;
    }
    if (rc == SSH_AUTH_ERROR) {
        Fail(kSshHandshakeFailed, std::string("SSH: ") + ssh_get_error(FSsh));
        return;
    }
    const char* how = Auth == TSshAuth::Password  ? "password"
                      : Auth == TSshAuth::KeyFile ? "key file"
                                                  : "keys of the ssh-agent";
    Fail(kSshLoginRefused, "The server refused the log-in of " + UserName + " with the " + how);
}

// Every prompt gets the password; a server that keeps asking wants something else (a one-time
// code, say), and after a few rounds the log-in counts as refused.
int TSftpClient::StepKeyboardInteractive() {
    int rc = ssh_userauth_kbdint(FSsh, nullptr, nullptr);
    while (rc == SSH_AUTH_INFO) {
        if (++FPromptRounds > 3) {
            return SSH_AUTH_DENIED;
        }
        const int prompts = ssh_userauth_kbdint_getnprompts(FSsh);
        for (int i = 0; i < prompts; ++i) {
            ssh_userauth_kbdint_setanswer(FSsh, static_cast<unsigned>(i), PassWord.c_str());
        }
        rc = ssh_userauth_kbdint(FSsh, nullptr, nullptr);
    }
    return rc;
}

void TSftpClient::StepChannel() {
    if (FChannel == nullptr) {
        Fail(kSshNoSftp, "Cannot open an SSH channel");
        return;
    }
    const int rc = ssh_channel_open_session(FChannel);
    if (rc == SSH_AGAIN) {
        return;
    }
    if (rc != SSH_OK) {
        Fail(kSshNoSftp, std::string("The server refused a session: ") + ssh_get_error(FSsh));
        return;
    }
    SetPhase(phSubsystem);
    StepSubsystem();
}

void TSftpClient::StepSubsystem() {
    const int rc = ssh_channel_request_subsystem(FChannel, "sftp");
    if (rc == SSH_AGAIN) {
        return;
    }
    if (rc != SSH_OK) {
        Fail(kSshNoSftp, "The server offers no SFTP");
        return;
    }
    SetPhase(phVersion);
    FOut = SftpInit();
    FOutPos = 0;
    PumpSftp();
}

void TSftpClient::Version(const TSftpReply& reply) {
    if (FPhase != phVersion || reply.version < kSftpVersion) {
        Fail(kSshNoSftp,
             "The server speaks SFTP version " + std::to_string(reply.version) + ", not 3");
        return;
    }
    for (const std::string& name : reply.extensions) {
        if (name == kPosixRenameExtension) {
            FPosixRename = true;
        }
    }
    FPhase = phReady;
    Finish(0);
}

}  // namespace tessel

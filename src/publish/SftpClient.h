#pragma once

// An SFTP client over libssh in non-blocking mode, on the thread's Qt event loop: the
// connection's socket is watched with socket notifiers, nothing ever waits inside a call,
// and every wait for the server ends after Timeout seconds. Like the FTP client it runs
// one request at a time and reports each through OnRequestDone on a later turn of the
// event loop, never inside the call that started it.
//
// A file is written under a temporary name beside its real one and renamed into place
// when it is complete, so a visitor never gets half a page; at most kMaxWritesInFlight
// blocks are on their way, so memory stays the same for any file size.

#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "publish/SftpTypes.h"

class QObject;
class QSocketNotifier;
class QTimer;

struct ssh_session_struct;
struct ssh_channel_struct;
struct ssh_key_struct;

namespace tessel {

struct TSftpReply;

enum class TSshKeyFileState { Opens, NeedsPassphrase, WrongPassphrase, Unreadable };

// Whether the OpenSSH private key file opens with the passphrase (empty: none), read
// before connecting so that a passphrase can be asked for first.
TSshKeyFileState CheckSshKeyFile(const std::string& path, const std::string& passphrase);

enum TSftpRequest {
    sftpNone,
    sftpConnect,    // connect, check the host key, log in, start SFTP
    sftpChangeDir,  // make a directory the one files go to
    sftpMakeDir,    // create a directory, and the ones above it that are missing
    sftpPut,        // send one file
    sftpQuit,       // close the connection
};

class TSftpClient {
  public:
    static constexpr std::size_t kBlockSize = 32 * 1024;
    static constexpr int kMaxWritesInFlight = 16;

    TSftpClient();
    ~TSftpClient();
    TSftpClient(const TSftpClient&) = delete;
    TSftpClient& operator=(const TSftpClient&) = delete;

    std::string HostName;
    std::string Port = "22";  // decimal or a service name
    std::string UserName;
    // Sent as the password, or as the answer to a keyboard-interactive prompt.
    std::string PassWord;
    // The initial directory the session changes to; empty for the log-in directory.
    std::string HostDirName;
    TSshAuth Auth = TSshAuth::Password;
    std::string KeyFile;
    std::string KeyPassphrase;  // for a key file that has one; never stored
    // The SHA-256 fingerprint of the host key the user trusts for this server ("SHA256:...");
    // a key listed for the host in KnownHostsFile is trusted as well.
    std::string TrustedHostKey;
    // Empty: ~/.ssh/known_hosts.
    std::string KnownHostsFile;
    int Timeout = 15;  // seconds; every wait for the server ends after this

    // Error 0 is success.
    std::function<void(TSftpRequest rq, int error)> OnRequestDone;
    // Before each block of a file, with the bytes handed to the connection so far; last
    // with the file's size.
    std::function<void(long long count)> OnProgress;

    // Each throws std::logic_error when a request is running, or when it needs the
    // connection and there is none (or has one, for ConnectAsync).
    void ConnectAsync();
    void ChangeDirAsync(const std::string& dir);
    void MakeDirAsync(const std::string& dir);
    // Sends localPath as remoteName into the directory of the last ChangeDirAsync.
    void PutAsync(const std::string& localPath, const std::string& remoteName);
    void QuitAsync();
    // Drops the connection and the running request at once; no event follows.
    void Abort();

    bool Connected() const;
    bool Busy() const { return FRequest != sftpNone; }
    // What went wrong in the last failed request, for "Error " + this.
    const std::string& ErrorMessage() const { return FErrorMessage; }
    // The key the server showed, also when it was refused.
    const TSshHostKey& ServerHostKey() const { return FHostKey; }
    const std::string& Directory() const { return FDirectory; }
    // Bytes of the current file the server has confirmed written.
    long long BytesConfirmed() const { return static_cast<long long>(FConfirmed); }
    // The name a file is written under until it is complete.
    static std::string TemporaryName(const std::string& name);

  private:
    enum TPhase {
        phIdle,
        phResolving,
        phTcpConnecting,
        phHandshake,
        phAuth,
        phChannel,
        phSubsystem,
        phVersion,
        phReady,
    };
    enum TPendingKind { pkStat, pkMkdir, pkOpen, pkWrite, pkClose, pkRename, pkRemove, pkIgnore };
    enum TPutStep { psOpening, psWriting, psClosing, psRenaming, psRemovingOld, psRenamingAgain };
    struct TPending {
        TPendingKind kind;
        std::size_t length = 0;
    };
    struct TLookup;

    // Requests.
    void Begin(TSftpRequest rq);
    void Finish(int error);
    void Fail(int error, const std::string& message);
    void CheckIdle(bool needsConnection) const;
    void SetPhase(TPhase phase);
    void ArmDeadline();

    // Connecting (SftpConnect.cpp).
    bool LoadKey();
    void Resolve();
    void Resolved(int error, std::vector<sockaddr_storage> addresses);
    void ForgetLookup();
    void ConnectTcp();
    void TcpWritable();
    void StartSsh();
    void StepHandshake();
    void CheckHostKey();
    void StepAuth();
    int StepKeyboardInteractive();
    void StepChannel();
    void StepSubsystem();
    void Version(const TSftpReply& reply);

    // The connection's events.
    void Pump();
    void PumpSftp();
    void UpdateNotifiers();
    void PumpLater();
    void TearDown();
    void DropNotifiers();

    // SFTP requests and replies.
    std::uint32_t Send(std::string packet, TPendingKind kind, std::size_t length = 0);
    void FlushOut();
    void HandleReply(const TSftpReply& reply);
    void StatDone(const TSftpReply& reply);
    void MkdirDone(const TSftpReply& reply);
    void NextMkdir();
    void PutReply(TPendingKind kind, const TSftpReply& reply);
    void FillPipeline();
    void PutFailed(const std::string& what, const TSftpReply& reply);
    void ClosePutFile();
    std::string PathOf(const std::string& name) const;

    std::unique_ptr<QObject> FContext;  // owns the notifiers and timers
    QSocketNotifier* FReadNotifier = nullptr;
    QSocketNotifier* FWriteNotifier = nullptr;
    QTimer* FDeadline = nullptr;
    std::shared_ptr<TLookup> FLookup;
    unsigned FGeneration = 0;  // events of an aborted connection are dropped
    bool FPumping = false;
    bool FPumpPosted = false;

    TPhase FPhase = phIdle;
    TSftpRequest FRequest = sftpNone;
    std::string FErrorMessage;
    TSshHostKey FHostKey;

    std::vector<sockaddr_storage> FAddresses;
    std::size_t FAddressIndex = 0;
    int FFd = -1;  // ours until libssh takes it over
    ssh_session_struct* FSsh = nullptr;
    ssh_channel_struct* FChannel = nullptr;
    ssh_key_struct* FKey = nullptr;
    bool FKeyboardInteractive = false;
    int FPromptRounds = 0;

    std::string FIn;
    std::string FOut;
    std::size_t FOutPos = 0;
    std::uint32_t FNextId = 1;
    std::unordered_map<std::uint32_t, TPending> FPending;
    bool FPosixRename = false;
    std::string FDirectory;

    // The directory request.
    std::string FDirTarget;
    std::vector<std::string> FMkdirLevels;
    std::size_t FMkdirIndex = 0;

    // The file being sent.
    TPutStep FPutStep = psOpening;
    int FFile = -1;
    std::string FLocalPath;
    std::string FRemoteName;
    std::string FHandle;
    std::uint64_t FQueued = 0;
    std::uint64_t FConfirmed = 0;
    int FWritesInFlight = 0;
    bool FEndOfFile = false;
    std::vector<char> FBlock;
};

}  // namespace tessel

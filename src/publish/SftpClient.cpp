// The SFTP client's requests once the connection is up: the replies, the directory
// requests and the pipeline that sends one file. Connecting is in SftpConnect.cpp.

#include "publish/SftpClient.h"

#include <fcntl.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <libssh/libssh.h>

#include "publish/SftpPacket.h"

namespace tessel {

namespace {

// Keeps the bytes we hold for the connection small: the next block is read from the file
// only when less than this waits to go out.
constexpr std::size_t kOutLimit = 64 * 1024;
// What one turn of the event loop reads from the connection.
constexpr std::size_t kReadPerTurn = 256 * 1024;

}  // namespace

TSftpClient::TSftpClient() : FContext(std::make_unique<QObject>()), FBlock(kBlockSize) {
    FDeadline = new QTimer(FContext.get());
    FDeadline->setSingleShot(true);
    QObject::connect(FDeadline, &QTimer::timeout, FContext.get(), [this] {
        Fail(kSshTimeout,
             "The server did not answer for " + std::to_string(Timeout) + " seconds (time-out)");
    });
}

TSftpClient::~TSftpClient() {
    ++FGeneration;
    TearDown();
}

std::string TSftpClient::TemporaryName(const std::string& name) {
    return "." + name + ".part";
}

bool TSftpClient::Connected() const {
    return FPhase == phReady;
}

void TSftpClient::CheckIdle(bool needsConnection) const {
    if (FRequest != sftpNone) {
        throw std::logic_error("SFTP client not ready");
    }
    if (needsConnection && !Connected()) {
        throw std::logic_error("SFTP client not connected");
    }
}

void TSftpClient::Begin(TSftpRequest rq) {
    FRequest = rq;
    FErrorMessage.clear();
    ArmDeadline();
}

void TSftpClient::ArmDeadline() {
    if (Timeout > 0) {
        FDeadline->start(Timeout * 1000);
    }
}

void TSftpClient::SetPhase(TPhase phase) {
    FPhase = phase;
    ArmDeadline();
}

// The request's end, on a later turn of the event loop.
void TSftpClient::Finish(int error) {
    const TSftpRequest rq = FRequest;
    FRequest = sftpNone;
    FDeadline->stop();
    const unsigned generation = FGeneration;
    QTimer::singleShot(0, FContext.get(), [this, rq, error, generation] {
        if (generation == FGeneration && OnRequestDone) {
            OnRequestDone(rq, error);
        }
    });
}

// A failure that leaves the connection unusable: it is dropped before the report.
void TSftpClient::Fail(int error, const std::string& message) {
    if (FErrorMessage.empty()) {
        FErrorMessage = message;
    }
    TearDown();
    if (FRequest != sftpNone) {
        Finish(error);
    }
}

void TSftpClient::Abort() {
    ++FGeneration;
    FRequest = sftpNone;
    TearDown();
}

void TSftpClient::TearDown() {
    FDeadline->stop();
    ForgetLookup();
    DropNotifiers();
    if (FChannel != nullptr) {
        ssh_channel_free(FChannel);
        FChannel = nullptr;
    }
    if (FSsh != nullptr) {
        ssh_disconnect(FSsh);
        ssh_free(FSsh);
        FSsh = nullptr;
    }
    if (FFd >= 0) {
        ::close(FFd);
        FFd = -1;
    }
    if (FKey != nullptr) {
        ssh_key_free(FKey);
        FKey = nullptr;
    }
    ClosePutFile();
    FIn.clear();
    FOut.clear();
    FOutPos = 0;
    FPending.clear();
    FPhase = phIdle;
}

// The notifiers go quiet before libssh closes the socket they watch, and go away later:
// this may run inside one of their own events.
void TSftpClient::DropNotifiers() {
    for (QSocketNotifier** notifier : {&FReadNotifier, &FWriteNotifier}) {
        if (*notifier != nullptr) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
}

// --- requests -------------------------------------------------------------------------

void TSftpClient::ChangeDirAsync(const std::string& dir) {
    CheckIdle(true);
    Begin(sftpChangeDir);
    FDirTarget = dir;
    Send(SftpStat(FNextId, dir.empty() ? "." : dir), pkStat);
    PumpLater();
}

void TSftpClient::MakeDirAsync(const std::string& dir) {
    CheckIdle(true);
    Begin(sftpMakeDir);
    FDirTarget = dir;
    // Each level in turn, from the top: a missing parent is made too.
    FMkdirLevels.clear();
    std::string path;
    std::size_t start = 0;
    while (start <= dir.size()) {
        const std::size_t slash = dir.find('/', start);
        const std::size_t end = slash == std::string::npos ? dir.size() : slash;
        path = dir.substr(0, end);
        if (end > start) {
            FMkdirLevels.push_back(path);
        }
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    FMkdirIndex = 0;
    if (FMkdirLevels.empty()) {
        FErrorMessage = "No directory name to make";
        Finish(kSftpStatusBase + SSH_FX_FAILURE);
        return;
    }
    NextMkdir();
    PumpLater();
}

void TSftpClient::NextMkdir() {
    Send(SftpMkdir(FNextId, FMkdirLevels[FMkdirIndex], 0755), pkMkdir);
}

void TSftpClient::PutAsync(const std::string& localPath, const std::string& remoteName) {
    CheckIdle(true);
    Begin(sftpPut);
    FLocalPath = localPath;
    FRemoteName = remoteName;
    FQueued = 0;
    FConfirmed = 0;
    FWritesInFlight = 0;
    FEndOfFile = false;
    FHandle.clear();
    FFile = ::open(localPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (FFile < 0) {
        FErrorMessage = "Unable to open local file " + localPath;
        Finish(kSftpLocalFileFailed);
        return;
    }
    FPutStep = psOpening;
    Send(SftpOpenForWriting(FNextId, PathOf(TemporaryName(remoteName)), 0644), pkOpen);
    PumpLater();
}

void TSftpClient::QuitAsync() {
    CheckIdle(true);
    Begin(sftpQuit);
    // Everything asked for has been answered; SSH's own goodbye needs no reply.
    TearDown();
    Finish(0);
}

std::string TSftpClient::PathOf(const std::string& name) const {
    if (FDirectory.empty()) {
        return name;
    }
    return FDirectory.back() == '/' ? FDirectory + name : FDirectory + "/" + name;
}

// --- the connection's events ----------------------------------------------------------

void TSftpClient::PumpLater() {
    if (FPumpPosted) {
        return;
    }
    FPumpPosted = true;
    const unsigned generation = FGeneration;
    QTimer::singleShot(0, FContext.get(), [this, generation] {
        FPumpPosted = false;
        if (generation == FGeneration) {
            Pump();
        }
    });
}

void TSftpClient::Pump() {
    if (FPumping || FSsh == nullptr) {
        return;
    }
    FPumping = true;
    const unsigned generation = FGeneration;
    switch (FPhase) {
        case phHandshake:
            StepHandshake();
            break;
        case phAuth:
            StepAuth();
            break;
        case phChannel:
            StepChannel();
            break;
        case phSubsystem:
            StepSubsystem();
            break;
        case phVersion:
        case phReady:
            PumpSftp();
            break;
        default:
            break;
    }
    FPumping = false;
    if (generation == FGeneration && FSsh != nullptr) {
        UpdateNotifiers();
    }
}

// libssh reads ahead into its own buffers, and wants to know when the socket takes more:
// the write notifier is on only while it holds bytes for the socket.
void TSftpClient::UpdateNotifiers() {
    const int fd = ssh_get_fd(FSsh);
    if (fd < 0) {
        return;
    }
    if (FReadNotifier == nullptr) {
        FReadNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, FContext.get());
        QObject::connect(FReadNotifier, &QSocketNotifier::activated, FContext.get(),
                         [this] { Pump(); });
        FWriteNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, FContext.get());
        QObject::connect(FWriteNotifier, &QSocketNotifier::activated, FContext.get(),
                         [this] { Pump(); });
    }
    FWriteNotifier->setEnabled((ssh_get_poll_flags(FSsh) & SSH_WRITE_PENDING) != 0);
    if (FChannel != nullptr && FPhase >= phVersion && ssh_channel_poll(FChannel, 0) > 0) {
        PumpLater();  // read ahead already, so the socket will not say so again
    }
}

void TSftpClient::PumpSftp() {
    const unsigned generation = FGeneration;
    std::size_t taken = 0;
    char buffer[16 * 1024];
    while (taken < kReadPerTurn) {
        const int n = ssh_channel_read_nonblocking(FChannel, buffer, sizeof buffer, 0);
        if (n == SSH_ERROR || n == SSH_EOF) {
            Fail(kSshConnectionLost,
                 std::string("The server closed the connection: ") + ssh_get_error(FSsh));
            return;
        }
        if (n <= 0) {
            if (ssh_channel_is_closed(FChannel) || ssh_channel_is_eof(FChannel)) {
                Fail(kSshConnectionLost, "The server closed the connection");
                return;
            }
            break;
        }
        taken += static_cast<std::size_t>(n);
        FIn.append(buffer, static_cast<std::size_t>(n));
        TSftpReply reply;
        bool broken = false;
        while (TakeSftpReply(FIn, reply, broken)) {
            HandleReply(reply);
            if (generation != FGeneration || FSsh == nullptr) {
                return;
            }
        }
        if (broken) {
            Fail(kSshConnectionLost, "The server sent an SFTP reply that cannot be read");
            return;
        }
    }
    if (taken >= kReadPerTurn) {
        PumpLater();
    }
    if (FRequest == sftpPut && FPutStep == psWriting) {
        FillPipeline();
        if (generation != FGeneration || FSsh == nullptr) {
            return;
        }
    }
    FlushOut();
}

std::uint32_t TSftpClient::Send(std::string packet, TPendingKind kind, std::size_t length) {
    const std::uint32_t id = FNextId++;
    if (FOutPos == FOut.size()) {
        FOut.clear();
        FOutPos = 0;
    }
    FOut += packet;
    FPending[id] = {kind, length};
    return id;
}

// As much as the channel's window takes; the rest when the server opens it further.
void TSftpClient::FlushOut() {
    while (FChannel != nullptr && FOutPos < FOut.size()) {
        const std::uint32_t window = ssh_channel_window_size(FChannel);
        if (window == 0) {
            break;
        }
        const std::size_t chunk = std::min<std::size_t>(
            {FOut.size() - FOutPos, static_cast<std::size_t>(window), kBlockSize + 64});
        const int n =
            ssh_channel_write(FChannel, FOut.data() + FOutPos, static_cast<std::uint32_t>(chunk));
        if (n == SSH_ERROR) {
            Fail(kSshConnectionLost,
                 std::string("The connection to the server broke: ") + ssh_get_error(FSsh));
            return;
        }
        if (n <= 0) {
            break;
        }
        FOutPos += static_cast<std::size_t>(n);
    }
    if (FOutPos == FOut.size()) {
        FOut.clear();
        FOutPos = 0;
    }
}

void TSftpClient::HandleReply(const TSftpReply& reply) {
    if (reply.type == SSH_FXP_VERSION) {
        Version(reply);
        return;
    }
    const auto found = FPending.find(reply.id);
    if (found == FPending.end()) {
        Fail(kSshConnectionLost, "The server answered a request that was never made");
        return;
    }
    const TPending pending = found->second;
    FPending.erase(found);
    ArmDeadline();  // an answer is progress; a trickle of bytes is not
    switch (pending.kind) {
        case pkStat:
            StatDone(reply);
            break;
        case pkMkdir:
            MkdirDone(reply);
            break;
        case pkWrite:
            if (reply.type == SSH_FXP_STATUS && reply.status == SSH_FX_OK) {
                --FWritesInFlight;
                FConfirmed += pending.length;
                if (FEndOfFile && FWritesInFlight == 0) {
                    PutReply(pkWrite, reply);
                }
            } else {
                PutFailed("write", reply);
            }
            break;
        case pkOpen:
        case pkClose:
        case pkRename:
        case pkRemove:
            PutReply(pending.kind, reply);
            break;
        case pkIgnore:
            break;
    }
    if (FRequest == sftpNone) {
        FDeadline->stop();
    }
}

void TSftpClient::StatDone(const TSftpReply& reply) {
    if (FRequest != sftpChangeDir) {
        return;
    }
    const std::string shown = FDirTarget.empty() ? "." : FDirTarget;
    if (reply.type == SSH_FXP_ATTRS) {
        if (reply.permissions && !reply.IsDirectory()) {
            FErrorMessage = shown + " is not a directory";
            Finish(kSftpNotADirectory);
            return;
        }
        FDirectory = FDirTarget;
        Finish(0);
        return;
    }
    const std::uint32_t status = reply.type == SSH_FXP_STATUS ? reply.status : SSH_FX_BAD_MESSAGE;
    FErrorMessage = status == SSH_FX_NO_SUCH_FILE
                        ? "No such directory: " + shown
                        : "Cannot use directory " + shown + ": " +
                              (reply.message.empty() ? SftpStatusText(status) : reply.message);
    Finish(kSftpStatusBase + static_cast<int>(status));
}

// A level that is there already fails to be made; only the last one's answer counts, and
// the directory change after it tells whether the whole path is there.
void TSftpClient::MkdirDone(const TSftpReply& reply) {
    if (FRequest != sftpMakeDir) {
        return;
    }
    if (++FMkdirIndex < FMkdirLevels.size()) {
        NextMkdir();
        return;
    }
    if (reply.type == SSH_FXP_STATUS && reply.status == SSH_FX_OK) {
        Finish(0);
        return;
    }
    const std::uint32_t status = reply.type == SSH_FXP_STATUS ? reply.status : SSH_FX_BAD_MESSAGE;
    FErrorMessage = "Cannot make directory " + FDirTarget + ": " +
                    (reply.message.empty() ? SftpStatusText(status) : reply.message);
    Finish(kSftpStatusBase + static_cast<int>(status));
}

// --- sending one file -----------------------------------------------------------------

void TSftpClient::FillPipeline() {
    while (!FEndOfFile && FWritesInFlight < kMaxWritesInFlight &&
           FOut.size() - FOutPos < kOutLimit) {
        if (OnProgress) {
            const unsigned generation = FGeneration;
            OnProgress(static_cast<long long>(FQueued));
            if (generation != FGeneration || FRequest != sftpPut) {
                return;  // stopped from the progress report
            }
        }
        ssize_t n = 0;
        do {
            n = ::read(FFile, FBlock.data(), FBlock.size());
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            TSftpReply none;
            none.type = SSH_FXP_STATUS;
            none.status = SSH_FX_FAILURE;
            none.message = "cannot read " + FLocalPath + ": " + std::strerror(errno);
            PutFailed("read", none);
            return;
        }
        if (n == 0) {
            FEndOfFile = true;
            break;
        }
        Send(SftpWrite(FNextId, FHandle, FQueued,
                       std::string_view(FBlock.data(), static_cast<std::size_t>(n))),
             pkWrite, static_cast<std::size_t>(n));
        FQueued += static_cast<std::uint64_t>(n);
        ++FWritesInFlight;
    }
    if (FEndOfFile && FWritesInFlight == 0 && FPutStep == psWriting) {
        FPutStep = psClosing;
        Send(SftpClose(FNextId, FHandle), pkClose);
    }
}

void TSftpClient::PutReply(TPendingKind kind, const TSftpReply& reply) {
    if (FRequest != sftpPut) {
        return;
    }
    const bool ok = reply.type == SSH_FXP_STATUS && reply.status == SSH_FX_OK;
    const std::string temporary = PathOf(TemporaryName(FRemoteName));
    const std::string final = PathOf(FRemoteName);
    switch (kind) {
        case pkOpen:
            if (reply.type != SSH_FXP_HANDLE) {
                PutFailed("create", reply);
                return;
            }
            FHandle = reply.handle;
            FPutStep = psWriting;
            FillPipeline();
            return;
        case pkWrite:
            FPutStep = psClosing;
            Send(SftpClose(FNextId, FHandle), pkClose);
            return;
        case pkClose:
            FHandle.clear();
            if (!ok) {
                PutFailed("finish", reply);
                return;
            }
            FPutStep = psRenaming;
            Send(FPosixRename ? SftpPosixRename(FNextId, temporary, final)
                              : SftpRename(FNextId, temporary, final),
                 pkRename);
            return;
        case pkRename:
            if (ok) {
                ClosePutFile();
                Finish(0);
            } else if (FPutStep == psRenaming && !FPosixRename) {
                // The plain rename of version 3 will not replace a file: the old copy goes
                // first, for the moment the rename takes.
                FPutStep = psRemovingOld;
                Send(SftpRemove(FNextId, final), pkRemove);
            } else {
                PutFailed("rename", reply);
            }
            return;
        case pkRemove:
            FPutStep = psRenamingAgain;
            Send(SftpRename(FNextId, temporary, final), pkRename);
            return;
        default:
            return;
    }
}

// The server refused a step: the half-written copy under the temporary name goes, and the
// real name was never touched.
void TSftpClient::PutFailed(const std::string& what, const TSftpReply& reply) {
    const std::uint32_t status = reply.type == SSH_FXP_STATUS ? reply.status : SSH_FX_BAD_MESSAGE;
    FErrorMessage = "Cannot " + what + " " + FRemoteName + " on the server: " +
                    (reply.message.empty() ? SftpStatusText(status) : reply.message);
    // The answers still to come for this file belong to no request any more.
    for (auto& [id, pending] : FPending) pending.kind = pkIgnore;
    if (!FHandle.empty()) {
        Send(SftpClose(FNextId, FHandle), pkIgnore);
        FHandle.clear();
    }
    if (what != "create") {
        Send(SftpRemove(FNextId, PathOf(TemporaryName(FRemoteName))), pkIgnore);
    }
    ClosePutFile();
    Finish(kSftpStatusBase + static_cast<int>(status));
}

void TSftpClient::ClosePutFile() {
    if (FFile >= 0) {
        ::close(FFile);
        FFile = -1;
    }
}

}  // namespace tessel

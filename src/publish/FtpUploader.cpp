#include "publish/FtpUploader.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace tessel {

namespace {

// 0 for a file that cannot be read: its transfer fails and says why.
long long FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<long long>(size);
}

}  // namespace

TFtpUploader::TFtpUploader(TCustomFtpCli& client) : FClient(client) {
    FClient.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest rq, std::uint16_t error) {
        RequestDone(rq, error);
    };
    FClient.OnProgress = [this](TCustomFtpCli*, long count, bool&) { Progress(count); };
}

TFtpUploader::~TFtpUploader() {
    FClient.OnRequestDone = nullptr;
    FClient.OnProgress = nullptr;
}

void TFtpUploader::Start() {
    FCompleted = false;
    FFilesStarted = false;
    FFailed = false;
    FDirectoryOffered = false;
    FBytesToSend = 0;
    FBytesSent = 0;
    FBytesOfSentFiles = 0;
    FCurrentFileSize = 0;
    FLastError = 0;
    FRunning = true;
    if (FClient.Connected()) {
        // A connection still open from before is only closed; Send starts afresh later.
        SetLabel("Connected...");
        Run(&TCustomFtpCli::QuitAsync);
        return;
    }
    SetLabel("Connecting to " + FClient.HostName + "...");
    Run(&TCustomFtpCli::ConnectAsync);
}

void TFtpUploader::Stop() {
    if (!FRunning) {
        return;
    }
    FClient.AbortDiscarding();
    EndSession();
}

void TFtpUploader::Run(void (TCustomFtpCli::*method)()) {
    try {
        (FClient.*method)();
    } catch (const FtpException& e) {
        FFailed = true;
        if (OnError) {
            OnError(e.what());
        }
        EndSession();
    }
}

void TFtpUploader::RequestDone(TFtpRequest rq, std::uint16_t error) {
    if (!FRunning) {
        return;
    }
    if (rq == rqQuit) {
        // After "Transfer Completed." a failing QUIT no longer matters.
        if (error != 0 && !FCompleted && !FFailed) {
            FFailed = true;
            if (OnError) {
                OnError("Error " + FClient.ErrorMessage());
            }
        }
        EndSession();
        return;
    }
    if (error != 0) {
        RequestFailed(rq, error);
        return;
    }
    switch (rq) {
        case rqConnect:
            SetLabel("Connected to " + FClient.HostName + "...");
            if (Ready()) {
                Run(FClient.HostDirName.empty() ? &TCustomFtpCli::PwdAsync
                                                : &TCustomFtpCli::CwdAsync);
            }
            break;
        case rqCwd:
        case rqPwd:
            SetLabel("Finding Initial Directory...");
            if (Ready()) {
                Run(&TCustomFtpCli::TypeSetAsync);
            }
            break;
        case rqMkd:
            if (Ready()) {
                Run(&TCustomFtpCli::CwdAsync);
            }
            break;
        case rqTypeSet:
            SetLabel("Transferring...");
            if (Ready()) {
                FFilesLeft = static_cast<int>(Files.size());
                FBytesToSend = std::accumulate(
                    Files.begin(), Files.end(), 0LL,
                    [](long long sum, const std::string& path) { return sum + FileSize(path); });
                SendNextFile();
            }
            break;
        case rqPut:
            FBytesOfSentFiles += FCurrentFileSize;
            FBytesSent = FBytesOfSentFiles;
            FCurrentFileSize = 0;
            if (!Ready()) {
                break;
            }
            if (FFilesLeft <= 0) {
                FCompleted = true;
                if (FClient.Connected()) {
                    Run(&TCustomFtpCli::QuitAsync);
                }
                if (OnTransferCompleted) {
                    OnTransferCompleted();
                }
                if (!FClient.Connected() && FRunning) {
                    EndSession();
                }
            } else {
                SendNextFile();
            }
            break;
        default:
            break;
    }
}

void TFtpUploader::RequestFailed(TFtpRequest rq, std::uint16_t error) {
    FLastError = error;
    // Only a refused CWD means a missing directory: a 550 to STOR is a refusal to write, and
    // making a directory would not help. It is offered once per session: a server that
    // answers 550 again after MKD would otherwise be asked the same for ever.
    if (error == 550 && rq == rqCwd && !FDirectoryOffered) {
        FDirectoryOffered = true;
        const bool create = OnAskCreateDirectory && OnAskCreateDirectory();
        if (create) {
            if (Ready()) {
                FClient.HostFileName = FClient.HostDirName;
                SetLabel("Making Directory...");
                Run(&TCustomFtpCli::MkdAsync);
            }
        } else {
            FFailed = true;
            if (FClient.Connected()) {
                Run(&TCustomFtpCli::QuitAsync);
            } else {
                EndSession();
            }
        }
        return;
    }
    FFailed = true;
    const bool quitting = FClient.Connected() && Ready();
    if (quitting) {
        Run(&TCustomFtpCli::QuitAsync);
    }
    if (OnError) {
        OnError("Error " + FClient.ErrorMessage());
    }
    if (!quitting) {
        // No QUIT will come back to end the session: a failed lookup or connect.
        EndSession();
    }
}

void TFtpUploader::SendNextFile() {
    --FFilesLeft;
    if (FFilesLeft < 0) {
        return;
    }
    const std::string& path = Files[static_cast<std::size_t>(FFilesLeft)];
    FCurrentFileSize = FileSize(path);
    FClient.LocalFileName = path;
    FClient.HostFileName = std::filesystem::path(path).filename().string();
    FFilesStarted = true;
    Run(&TCustomFtpCli::PutAsync);
}

TUploadFailure TFtpUploader::Failure() const {
    // 425 is the server's own "Can't open data connection".
    if (FLastError == kFtpDataConnectionFailed || FLastError == 425) {
        return TUploadFailure::DataConnection;
    }
    if (FLastError != 0 && FClient.ErrorMessage() == kFtpNoTlsMessage) {
        return TUploadFailure::ServerWithoutTls;
    }
    return TUploadFailure::Other;
}

long long TFtpUploader::BytesDelivered() const {
    return std::max(FBytesOfSentFiles, FBytesSent - FClient.UnsentCount());
}

void TFtpUploader::Progress(long count) {
    FBytesSent = FBytesOfSentFiles + count;
    ShowByteCount(count);
}

void TFtpUploader::EndSession() {
    if (!FRunning) {
        return;
    }
    FRunning = false;
    FClient.HostFileName.clear();
    FClient.LocalFileName.clear();
    if (OnSessionEnd) {
        OnSessionEnd();
    }
}

}  // namespace tessel

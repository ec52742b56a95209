#include "publish/SftpUploader.h"

#include <filesystem>
#include <numeric>
#include <stdexcept>

namespace tessel {

namespace {

// 0 for a file that cannot be read: its transfer fails and says why.
long long FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<long long>(size);
}

}  // namespace

TSftpUploader::TSftpUploader(TSftpClient& client) : FClient(client) {
    FClient.OnRequestDone = [this](TSftpRequest rq, int error) { RequestDone(rq, error); };
    FClient.OnProgress = [this](long long count) { Progress(count); };
}

TSftpUploader::~TSftpUploader() {
    FClient.OnRequestDone = nullptr;
    FClient.OnProgress = nullptr;
}

template <typename Request>
void TSftpUploader::Run(Request request) {
    try {
        request();
    } catch (const std::logic_error& e) {
        Fail(e.what());
        EndSession();
    }
}

void TSftpUploader::Fail(const std::string& message) {
    FFailed = true;
    if (OnError) {
        OnError(message);
    }
}

void TSftpUploader::Start() {
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
        SetLabel("Connected...");
        Run([this] { FClient.QuitAsync(); });
        return;
    }
    if (FAskedPassphrase) {
        FClient.KeyPassphrase.clear();  // asked for one session only
        FAskedPassphrase = false;
    }
    if (!AskPassphraseIfNeeded()) {
        EndSession();
        return;
    }
    SetLabel("Connecting to " + FClient.HostName + "...");
    Run([this] { FClient.ConnectAsync(); });
}

// False when the user would rather not give it.
bool TSftpUploader::AskPassphraseIfNeeded() {
    if (FClient.Auth != TSshAuth::KeyFile || !FClient.KeyPassphrase.empty() ||
        CheckSshKeyFile(FClient.KeyFile, "") != TSshKeyFileState::NeedsPassphrase) {
        return true;
    }
    const std::optional<std::string> passphrase =
        OnAskPassphrase ? OnAskPassphrase(FClient.KeyFile) : std::nullopt;
    if (!passphrase) {
        return false;
    }
    FClient.KeyPassphrase = *passphrase;
    FAskedPassphrase = true;
    return true;
}

void TSftpUploader::Stop() {
    if (!FRunning) {
        return;
    }
    FClient.Abort();
    EndSession();
}

void TSftpUploader::RequestDone(TSftpRequest rq, int error) {
    if (!FRunning) {
        return;
    }
    if (rq == sftpQuit) {
        EndSession();
        return;
    }
    if (error != 0) {
        RequestFailed(rq, error);
        return;
    }
    switch (rq) {
        case sftpConnect:
            SetLabel("Connected to " + FClient.HostName + "...");
            Run([this] { FClient.ChangeDirAsync(FClient.HostDirName); });
            break;
        case sftpChangeDir:
            SetLabel("Finding Initial Directory...");
            SetLabel("Transferring...");
            FFilesLeft = static_cast<int>(Files.size());
            FBytesToSend = std::accumulate(
                Files.begin(), Files.end(), 0LL,
                [](long long sum, const std::string& path) { return sum + FileSize(path); });
            SendNextFile();
            break;
        case sftpMakeDir:
            Run([this] { FClient.ChangeDirAsync(FClient.HostDirName); });
            break;
        case sftpPut:
            FBytesOfSentFiles += FCurrentFileSize;
            FBytesSent = FBytesOfSentFiles;
            FCurrentFileSize = 0;
            if (FFilesLeft <= 0) {
                FCompleted = true;
                Run([this] { FClient.QuitAsync(); });
                if (OnTransferCompleted) {
                    OnTransferCompleted();
                }
            } else {
                SendNextFile();
            }
            break;
        default:
            break;
    }
}

void TSftpUploader::RequestFailed(TSftpRequest rq, int error) {
    FLastError = static_cast<std::uint16_t>(error);
    if (error == kSftpNoSuchFile && rq == sftpChangeDir && !FDirectoryOffered) {
        FDirectoryOffered = true;
        if (OnAskCreateDirectory && OnAskCreateDirectory()) {
            SetLabel("Making Directory...");
            Run([this] { FClient.MakeDirAsync(FClient.HostDirName); });
        } else {
            FFailed = true;
            Run([this] { FClient.QuitAsync(); });
        }
        return;
    }
    const bool quitting = FClient.Connected();
    if (quitting) {
        Run([this] { FClient.QuitAsync(); });
    }
    Fail("Error " + FClient.ErrorMessage());
    if (!quitting) {
        EndSession();
    }
}

void TSftpUploader::SendNextFile() {
    --FFilesLeft;
    if (FFilesLeft < 0) {
        return;
    }
    const std::string& path = Files[static_cast<std::size_t>(FFilesLeft)];
    FCurrentFileSize = FileSize(path);
    FFilesStarted = true;
    const std::string name = std::filesystem::path(path).filename().string();
    Run([this, path, name] { FClient.PutAsync(path, name); });
}

long long TSftpUploader::BytesDelivered() const {
    return FBytesOfSentFiles + (FCurrentFileSize > 0 ? FClient.BytesConfirmed() : 0);
}

void TSftpUploader::Progress(long long count) {
    FBytesSent = FBytesOfSentFiles + count;
    ShowByteCount(count);
}

void TSftpUploader::EndSession() {
    if (!FRunning) {
        return;
    }
    FRunning = false;
    if (OnSessionEnd) {
        OnSessionEnd();
    }
}

}  // namespace tessel

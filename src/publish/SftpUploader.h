#pragma once

// One upload session over SFTP, the same chain as the FTP one: connect and log in, the
// initial directory (created on request), each file from the last list entry to the first,
// close. Every next request starts from the client's completion event.

#include <optional>
#include <string>

#include "publish/SftpClient.h"
#include "publish/UploadSession.h"

namespace tessel {

class TSftpUploader : public TUploadSession {
  public:
    // Takes over the client's OnRequestDone and OnProgress for its lifetime.
    explicit TSftpUploader(TSftpClient& client);
    ~TSftpUploader() override;
    TSftpUploader(const TSftpUploader&) = delete;
    TSftpUploader& operator=(const TSftpUploader&) = delete;

    // The passphrase of the client's key file, asked before connecting when the file has
    // one and none was given; nothing ends the session without an error. It is used for
    // this session only.
    std::function<std::optional<std::string>(const std::string& keyFile)> OnAskPassphrase;

    void Start() override;
    // The connection is dropped; a file being sent stays under its temporary name.
    void Stop() override;
    bool Running() const override { return FRunning; }
    bool Sending() const override { return FRunning && FFilesStarted && !FCompleted; }
    long long BytesToSend() const override { return FBytesToSend; }
    long long BytesSent() const override { return FBytesSent; }
    // What the server has confirmed written.
    long long BytesDelivered() const override;
    // With kSshHostKeyUnknown or kSshHostKeyChanged the client's ServerHostKey() is the key
    // that was refused.
    std::uint16_t LastError() const override { return FLastError; }
    std::string ErrorMessage() const override { return FClient.ErrorMessage(); }
    TUploadFailure Failure() const override { return TUploadFailure::Other; }

  private:
    void RequestDone(TSftpRequest rq, int error);
    void RequestFailed(TSftpRequest rq, int error);
    void Progress(long long count);
    void SendNextFile();
    void EndSession();
    void Fail(const std::string& message);
    // Runs a request; a refusal ends the session with its message.
    template <typename Request>
    void Run(Request request);
    bool AskPassphraseIfNeeded();

    TSftpClient& FClient;
    int FFilesLeft = 0;
    long long FBytesToSend = 0;
    long long FBytesSent = 0;
    long long FBytesOfSentFiles = 0;
    long long FCurrentFileSize = 0;
    bool FRunning = false;
    bool FCompleted = false;
    bool FFilesStarted = false;
    bool FFailed = false;
    bool FDirectoryOffered = false;
    bool FAskedPassphrase = false;
    std::uint16_t FLastError = 0;
};

}  // namespace tessel

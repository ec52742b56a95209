#pragma once

// One upload session as the upload wizard runs it, without any window: connect, change
// to the initial directory (or print the log-in directory), binary type, one STOR per
// file from the last list entry to the first, QUIT. Every next request is started from
// the client's completion event. The command line and the wizard window both drive it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "publish/FtpCli.h"
#include "publish/UploadSession.h"

namespace tessel {

class TFtpUploader : public TUploadSession {
  public:
    // Takes over the client's OnRequestDone and OnProgress for its lifetime.
    explicit TFtpUploader(TCustomFtpCli& client);
    ~TFtpUploader() override;
    TFtpUploader(const TFtpUploader&) = delete;
    TFtpUploader& operator=(const TFtpUploader&) = delete;

    void Start() override;
    // The client is aborted.
    void Stop() override;
    bool Running() const override { return FRunning; }
    bool Sending() const override { return FRunning && FFilesStarted && !FCompleted; }
    long long BytesToSend() const override { return FBytesToSend; }
    long long BytesSent() const override { return FBytesSent; }
    // What the system still holds for the server is not counted yet.
    long long BytesDelivered() const override;
    // With kTlsCertificateUntrusted the client's ServerCertificate() is what to ask the user
    // about; with kTlsCertificateChanged it is not the certificate trusted before.
    std::uint16_t LastError() const override { return FLastError; }
    std::string ErrorMessage() const override { return FClient.ErrorMessage(); }
    TUploadFailure Failure() const override;

  private:
    void RequestDone(TFtpRequest rq, std::uint16_t error);
    void RequestFailed(TFtpRequest rq, std::uint16_t error);
    void Progress(long count);
    void SendNextFile();
    void EndSession();
    bool Ready() const { return FClient.State() == fsReady; }
    // Runs a request method; a refusal ends the session with its message.
    void Run(void (TCustomFtpCli::*method)());

    TCustomFtpCli& FClient;
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
    std::uint16_t FLastError = 0;
};

}  // namespace tessel

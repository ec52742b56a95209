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

namespace tessel {

class TFtpUploader {
  public:
    // Takes over the client's OnRequestDone and OnProgress for its lifetime.
    explicit TFtpUploader(TCustomFtpCli& client);
    ~TFtpUploader();
    TFtpUploader(const TFtpUploader&) = delete;
    TFtpUploader& operator=(const TFtpUploader&) = delete;

    // Full local paths; the last one is sent first.
    std::vector<std::string> Files;

    // The status label changed; progress is true for the byte-count updates.
    std::function<void(const std::string& label, bool progress)> OnLabel;
    // "Host Directory Does not exist. Do you want to create it?" – true for Yes.
    std::function<bool()> OnAskCreateDirectory;
    // "Transfer Completed." (the QUIT is already on its way).
    std::function<void()> OnTransferCompleted;
    // "Error " + the client's ErrorMessage, or the text of a refused request.
    std::function<void(const std::string& message)> OnError;
    // The session is over; a new one may start.
    std::function<void()> OnSessionEnd;

    // The Send button: the client's log-in data must already be set.
    void Start();
    // Gives up on the running session: the client is aborted, no error is reported and the
    // session ends at once.
    void Stop();
    bool Running() const { return FRunning; }
    // Bytes of the session's files, and how many of them have gone out; both 0 until the
    // transfers begin.
    long long BytesToSend() const { return FBytesToSend; }
    long long BytesSent() const { return FBytesSent; }
    // The code of the request that failed in this session, 0 when none did. With
    // kTlsCertificateUntrusted the client's ServerCertificate() is what to ask the user
    // about; with kTlsCertificateChanged it is not the certificate trusted before.
    std::uint16_t LastError() const { return FLastError; }
    const std::string& Label() const { return FLabel; }

  private:
    void RequestDone(TFtpRequest rq, std::uint16_t error);
    void RequestFailed(std::uint16_t error);
    void Progress(long count);
    void SendNextFile();
    void SetLabel(const std::string& label, bool progress = false);
    void EndSession();
    bool Ready() const { return FClient.State() == fsReady; }
    // Runs a request method; a refusal ends the session with its message.
    void Run(void (TCustomFtpCli::*method)());

    TCustomFtpCli& FClient;
    std::string FLabel;
    int FFilesLeft = 0;
    long long FBytesToSend = 0;
    long long FBytesSent = 0;
    long long FBytesOfSentFiles = 0;
    long long FCurrentFileSize = 0;
    bool FRunning = false;
    bool FCompleted = false;
    bool FFailed = false;
    bool FDirectoryOffered = false;
    std::uint16_t FLastError = 0;
};

}  // namespace tessel

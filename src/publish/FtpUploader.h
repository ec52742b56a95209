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

// Why a session failed, where a setting of the server profile can change the outcome.
enum class TUploadFailure {
    Other,
    ServerWithoutTls,  // encryption was required and the server has none
    DataConnection,    // the data connection could not be made in this direction
};

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
    // "Host Directory Does not exist. Do you want to create it?" – true for Yes. Asked when
    // the server refuses the initial directory, once per session.
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
    // Files are going out: from the first STOR until "Transfer Completed.", a time when
    // stopping may leave the page on the web half-sent.
    bool Sending() const { return FRunning && FFilesStarted && !FCompleted; }
    // Bytes of the session's files, and how many of them have gone out; both 0 until the
    // transfers begin.
    long long BytesToSend() const { return FBytesToSend; }
    long long BytesSent() const { return FBytesSent; }
    // Of those, the bytes that have left the machine: what the system still holds for the
    // server is not counted yet.
    long long BytesDelivered() const;
    // The code of the request that failed in this session, 0 when none did. With
    // kTlsCertificateUntrusted the client's ServerCertificate() is what to ask the user
    // about; with kTlsCertificateChanged it is not the certificate trusted before.
    std::uint16_t LastError() const { return FLastError; }
    const std::string& Label() const { return FLabel; }
    // What the last error of this session was about.
    TUploadFailure Failure() const;

  private:
    void RequestDone(TFtpRequest rq, std::uint16_t error);
    void RequestFailed(TFtpRequest rq, std::uint16_t error);
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
    bool FFilesStarted = false;
    bool FFailed = false;
    bool FDirectoryOffered = false;
    std::uint16_t FLastError = 0;
};

}  // namespace tessel

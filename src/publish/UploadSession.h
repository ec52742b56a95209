#pragma once

// One upload session as the wizard and the command line see it, whichever way the files
// travel (FTP and FTPS, or SFTP): connect and log in, change to the initial directory
// (asking to create it when it is missing), send each file from the last list entry to
// the first with progress, and close. Every next step starts from the previous one's
// completion on the event loop.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessel {

// Why a session failed, where a setting of the server profile can change the outcome.
enum class TUploadFailure {
    Other,
    ServerWithoutTls,  // encryption was required and the server has none
    DataConnection,    // the data connection could not be made in this direction
};

class TUploadSession {
  public:
    virtual ~TUploadSession() = default;

    // Full local paths; the last one is sent first.
    std::vector<std::string> Files;

    // The status label changed; progress is true for the byte-count updates.
    std::function<void(const std::string& label, bool progress)> OnLabel;
    // "Host Directory Does not exist. Do you want to create it?" – true for Yes. Asked when
    // the server refuses the initial directory, once per session.
    std::function<bool()> OnAskCreateDirectory;
    // "Transfer Completed." (the connection is already being closed).
    std::function<void()> OnTransferCompleted;
    // "Error " + the client's error message, or the text of a refused request.
    std::function<void(const std::string& message)> OnError;
    // The session is over; a new one may start.
    std::function<void()> OnSessionEnd;

    // The Send button: the client's log-in data must already be set.
    virtual void Start() = 0;
    // Gives up on the running session: the connection is dropped, no error is reported and
    // the session ends at once.
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    // Files are going out: from the first file until "Transfer Completed.", a time when
    // stopping may leave the page on the web half-sent.
    virtual bool Sending() const = 0;
    // Bytes of the session's files, and how many of them have gone out; both 0 until the
    // transfers begin.
    virtual long long BytesToSend() const = 0;
    virtual long long BytesSent() const = 0;
    // Of those, the bytes that have reached the server, or at least left the machine.
    virtual long long BytesDelivered() const = 0;
    // The code of the request that failed in this session, 0 when none did.
    virtual std::uint16_t LastError() const = 0;
    const std::string& Label() const { return label_; }
    // The client's text on the last failure.
    virtual std::string ErrorMessage() const = 0;
    // What the last error of this session was about.
    virtual TUploadFailure Failure() const = 0;

  protected:
    void SetLabel(const std::string& label, bool progress = false) {
        label_ = label;
        if (OnLabel) {
            OnLabel(label_, progress);
        }
    }
    // The label up to its "..." with the bytes of the file going out: "Transferring... N bytes".
    void ShowByteCount(long long count) {
        const auto dots = label_.find("...");
        const std::string head = dots == std::string::npos ? label_ : label_.substr(0, dots + 3);
        SetLabel(head + " " + std::to_string(count) + " bytes", true);
    }

  private:
    std::string label_;
};

}  // namespace tessel

// The data connection of the FTP client: PORT or PASV, STOR/APPE sending one block at a
// time, RETR/LIST/NLST receiving, and the end of a transfer once both the final reply
// and the data connection's close have been seen.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "publish/FtpCli.h"
#include "publish/FtpSteps.h"
#include "publish/FtpWindow.h"
#include "publish/WSocketErrors.h"

namespace tessel {

namespace {

constexpr int kReceivePiece = 2048;

// Advisory locks stand in for the Windows sharing modes.
bool LockForShareMode(int fd, TFtpShareMode mode) {
    switch (mode) {
        case ftpShareExclusive:
        case ftpShareDenyRead:
            return flock(fd, LOCK_EX | LOCK_NB) == 0;
        case ftpShareDenyWrite:
            return flock(fd, LOCK_SH | LOCK_NB) == 0;
        default:
            return true;
    }
}

std::string DottedToCommas(std::string addr) {
    std::replace(addr.begin(), addr.end(), '.', ',');
    return addr;
}

long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

}  // namespace

void TCustomFtpCli::ClearDataHandlers() {
    TWSocket& d = *FDataSocket;
    d.OnDataAvailable = nullptr;
    d.OnDataSent = nullptr;
    d.OnSessionClosed = nullptr;
    d.OnSessionAvailable = nullptr;
    d.OnSessionConnected = nullptr;
    d.OnDnsLookupDone = nullptr;
    d.OnChangeState = nullptr;
}

void TCustomFtpCli::PortStep() {
    FPasvResponse.clear();
    if (Passive) {
        SendStepCommand("PASV");
        return;
    }
    TWSocket& d = *FDataSocket;
    ClearDataHandlers();
    DropDataConnection();
    // Listening on the control connection's own address, not on every interface,
    // keeps the data port off networks the server is not on.
    const std::string localAddr = FControlSocket->GetXAddr();
    d.SetProto("tcp");
    d.SetAddr(localAddr);
    d.SetPort("0");
    d.LingerOnOff = wsLingerOn;
    d.LingerTimeout = 10;
    // Some servers connect as soon as they read PORT, before STOR or RETR is sent.
    d.OnSessionAvailable = [this](TCustomWSocket*, std::uint16_t) { DataSessionAvailable(); };
    d.Listen();
    if (d.State() != wsListening || localAddr.empty()) {
        const int error = d.LastError() != 0 ? d.LastError() : WSAEINVAL;
        FailWithLine(static_cast<std::uint16_t>(error), WinsockLine(error));
        return;
    }
    SetState(dpOpening);
    const int port = std::stoi(d.GetXPort());
    const std::string hostPart = FControlSocket->GetPeerAddr() == "127.0.0.1"
                                     ? std::string("127,0,0,1")
                                     : DottedToCommas(localAddr);
    SendStepCommand("PORT " + hostPart + "," + std::to_string(port / 256) + "," +
                    std::to_string(port % 256));
}

void TCustomFtpCli::RestStep() {
    struct stat st {};
    if (::stat(LocalFileName.c_str(), &st) != 0 || st.st_size == 0) {
        ReportStep(0);
        return;
    }
    FResumePos = st.st_size;
    SendStepCommand(std::string(FStep->verb) + " " + std::to_string(st.st_size));
}

bool TCustomFtpCli::OpenLocalFileForReading() {
    return OpenLocalFile(O_RDONLY);
}

bool TCustomFtpCli::OpenLocalFileForWriting() {
    return OpenLocalFile(FResumePos > 0 ? O_WRONLY : O_WRONLY | O_CREAT | O_TRUNC);
}

// Opens LocalFileName with the share mode's lock, positioned at the resume point.
bool TCustomFtpCli::OpenLocalFile(int flags) {
    CloseLocalFile();
    const int fd = ::open(LocalFileName.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    if (!LockForShareMode(fd, ShareMode) ||
        (FResumePos > 0 && ::lseek(fd, FResumePos, SEEK_SET) < 0)) {
        ::close(fd);
        return false;
    }
    FLocalFile = fd;
    return true;
}

void TCustomFtpCli::CloseLocalFile() {
    if (FLocalFile >= 0) {
        ::close(FLocalFile);
        FLocalFile = -1;
    }
}

long long TCustomFtpCli::UnsentCount() const {
    if (FDataSocket->State() == wsConnected) {
        return FDataSocket->UnsentCount();
    }
    return FUnsentWatch.Unsent();
}

void TCustomFtpCli::TransferStep() {
    FUnsentWatch.Stop();
    FByteCount = 0;
    FCloseError = 0;
    FEof = false;
    FUserAborted = false;
    FDisplayLine.clear();
    FStartTime = std::chrono::steady_clock::now();
    if (!Connected()) {
        FailWithLine(WSAENOTCONN, WinsockLine(WSAENOTCONN));
        return;
    }
    if (Receiving()) {
        if (!DisplayFileFlag && !OpenLocalFileForWriting()) {
            FLastResponse = "Unable to open local file " + LocalFileName;
            FStatusCode = 550;
            SetErrorMessage("550 " + FLastResponse);
            ReportStep(550);
            return;
        }
    } else {
        bool cancel = false;
        if (OnReadyToTransmit) {
            OnReadyToTransmit(this, cancel);
        }
        const bool opened = !cancel && OpenLocalFileForReading();
        if (!opened) {
            FErrorMessage = cancel ? "426 Transmit cancelled by application"
                                   : "426 Unable to open local file " + LocalFileName;
            FLastResponse = FErrorMessage;
            FStatusCode = 426;
            Display("! " + FErrorMessage);
            FDataSocket->Close();
            ReportStep(426);
            return;
        }
    }
    if (Passive) {
        ConnectPassiveData();
    } else {
        SendTransferCommand();
    }
}

void TCustomFtpCli::SendTransferCommand() {
    SetState(phTransferReply);
    SendCommand(CommandText());
}

void TCustomFtpCli::ConnectPassiveData() {
    const auto port = ParsePassivePort(FPasvResponse);
    if (!port) {
        FailDataConnectionBecause(": the reply to PASV names no port (" + FPasvResponse + ")");
        return;
    }
    TWSocket& d = *FDataSocket;
    ClearDataHandlers();
    DropDataConnection();
    SetState(phDataConnect);
    SetState(dpOpening);
    ArmDeadline();
    // The address in the 227 reply is ignored: the data connection goes to the host we
    // already talk to, never to a third party named by the reply.
    d.SetProto("tcp");
    d.SetAddr(FControlSocket->GetPeerAddr());
    d.SetPort(std::to_string(*port));
    d.LingerOnOff = wsLingerOff;
    d.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t e) { PassiveDataConnected(e); };
    d.Connect();
    if (d.State() == wsClosed) {
        PassiveDataConnected(
            static_cast<std::uint16_t>(d.LastError() != 0 ? d.LastError() : WSAEINVAL));
    }
}

void TCustomFtpCli::PassiveDataConnected(std::uint16_t error) {
    if (FRequestDone) {
        return;
    }
    if (error != 0) {
        FailDataConnection(error);
        return;
    }
    TWSocket& d = *FDataSocket;
    d.OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { DataReceive(); };
    d.OnDataSent = [this](TCustomWSocket*, std::uint16_t e) { SendNextBlock(e); };
    d.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t e) { DataClosed(e); };
    DataConnectionReady();
    if (!FRequestDone) {
        // A protected connection's handshake completes once the server has the command.
        SendTransferCommand();
    }
}

void TCustomFtpCli::DataConnectionReady() {
    if (!FDataProtected) {
        SetState(dpOpen);
        StartSending();
        return;
    }
    // RFC 4217 section 7: we are the TLS client in both modes, whoever connected, and
    // the data connection resumes the control connection's session.
    TWSocket& d = *FDataSocket;
    SetState(dpSecuring);
    SecureControlSocket(d);
    d.ReuseTlsSessionOf(*FControlSocket);
    // Servers pay per record: an upload goes out in full-size records, as other clients'
    // do, while the file is still read and handed over one block at a time.
    d.TlsGatherWrites = !Receiving();
    d.OnTlsDone = [this](TCustomWSocket*, std::uint16_t e) { DataTlsDone(e); };
    if (!d.StartTls()) {
        DataTlsDone(kTlsHandshakeFailed);
    }
}

void TCustomFtpCli::DataTlsDone(std::uint16_t error) {
    FServerCertificate = FDataSocket->TlsPeerCertificate();
    if (FRequestDone || FDataPhase != dpSecuring) {
        return;
    }
    if (error != 0) {
        Display("! " + FDataSocket->TlsErrorText());
        SetErrorMessage(FDataSocket->TlsErrorText());
        FailTransfer(error, nullptr);
        return;
    }
    Touch();
    SetState(dpOpen);
    StartSending();
}

void TCustomFtpCli::DropDataConnection() {
    TWSocket& d = *FDataSocket;
    if (d.State() != wsClosed) {
        d.Close();
    }
    if (d.State() != wsClosed) {
        d.Close();  // a TLS connection was waiting for the peer's close_notify
    }
}

void TCustomFtpCli::FailDataConnection(int error) {
    FailDataConnectionBecause(", port " + FDataSocket->Port() + ": " + WSocketErrorDesc(error) +
                              " (Winsock error #" + std::to_string(error) + ")");
}

// The client's own failure, not a reply: no FTP code would tell the caller what went wrong.
void TCustomFtpCli::FailDataConnectionBecause(const std::string& why) {
    CloseLocalFile();
    FLastResponse = "Unable to establish data connection to " + HostName + why;
    FStatusCode = 0;
    Display("! " + FLastResponse);
    SetErrorMessage(FLastResponse);
    ReportStep(kFtpDataConnectionFailed);
}

void TCustomFtpCli::DataSessionAvailable() {
    TWSocket& d = *FDataSocket;
    const TSocket h = d.Accept();
    if (h == INVALID_SOCKET) {
        return;
    }
    // Only the server may connect; anyone else racing for the port is turned away
    // while we go on listening.
    if (d.AcceptedPeerAddr() != FControlSocket->GetPeerAddr()) {
        Display("! Data connection from " + d.AcceptedPeerAddr() + " refused");
        WSocketCloseHandle(h);
        return;
    }
    Touch();
    d.OnSessionAvailable = nullptr;
    d.OnSessionClosed = nullptr;
    d.Close();
    d.LingerOnOff = wsLingerOff;
    d.LingerTimeout = 10;
    d.OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { DataReceive(); };
    d.OnDataSent = [this](TCustomWSocket*, std::uint16_t e) { SendNextBlock(e); };
    d.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t e) { DataClosed(e); };
    d.Dup(h);
    DataConnectionReady();
}

void TCustomFtpCli::TransferReplyCheck(int code) {
    if (!Accepts(code)) {
        FailTransfer(static_cast<std::uint16_t>(code),
                     Receiving() ? "! RETR/LIST/NLST Failed" : nullptr);
        return;
    }
    Touch();
    SetState(phFinalReply);
    if (FDataPhase == dpClosed) {
        ArmDeadline();  // nothing more will move: only the final reply is missing
        return;
    }
    if (Receiving()) {
        FStartTime = std::chrono::steady_clock::now();
    } else if (Passive) {
        StartSending();
    } else {
        FWindow->PostStartSending();
    }
}

// Runs after the 1xx reply and once the data connection is up, in whichever order the
// two come (some servers send 150 before they connect to us).
void TCustomFtpCli::StartSending() {
    if (FRequestDone || Receiving() || FLocalFile < 0 || FDataPhase != dpOpen ||
        (FPhase != phFinalReply && FPhase != phFinalAccepted)) {
        return;
    }
    SetState(dpStreaming);
    FStartTime = std::chrono::steady_clock::now();
    SendNextBlock(0);
}

void TCustomFtpCli::SendNextBlock(std::uint16_t error) {
    if (FLocalFile < 0 || Receiving()) {
        return;
    }
    Touch();
    TWSocket& d = *FDataSocket;
    if (error != 0) {
        Display("! Error #" + std::to_string(error) + " sending data");
        FCloseError = error;
        d.Close();
        return;
    }
    bool abort = false;
    const std::weak_ptr<bool> alive = FAlive;
    TriggerProgress(static_cast<long>(FByteCount + FResumePos), abort);
    if (alive.expired() || FLocalFile < 0) {
        return;
    }
    if (abort) {
        Display("! Abort requested");
        FUserAborted = true;
        SetErrorMessage("426 Transfer aborted by application");
        d.Close();
        return;
    }
    if (FEof || FDataPhase != dpStreaming || d.State() != wsConnected) {
        return;
    }
    if (FByteCount == 0) {
        FFileReader.Reset();  // what is buffered belongs to an earlier transfer
    }
    const char* block = nullptr;
    const ssize_t n = FFileReader.Next(FLocalFile, kSendBlockSize, block);
    if (n <= 0) {
        if (n < 0) {
            Display("! Error reading file");
            FCloseError = 426;
            SetErrorMessage("426 Error reading local file " + LocalFileName);
        }
        FEof = n == 0;
        if (FEof) {
            FUnsentWatch.Watch(d);
        }
        d.Close();
        return;
    }
    FByteCount += n;
    d.Send(block, static_cast<int>(n));
}

void TCustomFtpCli::DataReceive() {
    char buf[kReceivePiece];
    TWSocket& d = *FDataSocket;
    const int n = d.Receive(buf, sizeof buf);
    if (n < 0) {
        if (d.LastError() != WSAEWOULDBLOCK) {
            Display("! Data: Receive error " + std::to_string(d.LastError()));
        }
        return;
    }
    if (n == 0 || !Receiving()) {
        return;  // what a server sends on an upload's data connection is dropped
    }
    Touch();
    FByteCount += n;
    if (DisplayFileFlag) {
        for (int i = 0; i < n; ++i) {
            if (buf[i] == '\r' || buf[i] == '\n') {
                if (buf[i] == '\n' || (i + 1 < n && buf[i + 1] != '\n')) {
                    FlushDisplayLine();
                }
            } else {
                FDisplayLine += buf[i];
            }
        }
        return;
    }
    if (FLocalFile >= 0) {
        const char* p = buf;
        int left = n;
        while (left > 0) {
            const ssize_t w = ::write(FLocalFile, p, static_cast<std::size_t>(left));
            if (w <= 0) {
                Display("! Error writing local file");
                FCloseError = 426;
                SetErrorMessage("426 Error writing local file " + LocalFileName);
                d.Shutdown(2);
                return;
            }
            p += w;
            left -= static_cast<int>(w);
        }
    }
}

void TCustomFtpCli::FlushDisplayLine() {
    std::string line;
    line.swap(FDisplayLine);
    if (OnDisplayFile) {
        OnDisplayFile(this, line);
    }
}

void TCustomFtpCli::DataClosed(std::uint16_t error) {
    CloseLocalFile();
    if (FRequestDone) {
        return;
    }
    SetState(dpClosed);
    if (error != 0 && FCloseError == 0) {
        FCloseError = error;
        if (IsTlsError(error)) {
            SetErrorMessage(FDataSocket->TlsErrorText());
        }
    }
    if (Receiving() && DisplayFileFlag && !FDisplayLine.empty()) {
        FlushDisplayLine();
    }
    if (FPhase == phFinalAccepted) {
        TransferDone();
    } else if (FPhase == phFinalReply) {
        ArmDeadline();  // from now on the final reply has Timeout seconds
    }
}

void TCustomFtpCli::FinalReplyCheck(int code) {
    if (code == 226 || code == 250 || (Receiving() && code == 125)) {
        if (FDataPhase == dpClosed) {
            TransferDone();
        } else {
            SetState(phFinalAccepted);
        }
        return;
    }
    FailTransfer(static_cast<std::uint16_t>(code),
                 Receiving() ? "! RETR/LIST/NLST Failed" : "! STOR Failed");
}

void TCustomFtpCli::FailTransfer(std::uint16_t code, const char* failedText) {
    SetErrorMessage(FLastResponse);
    CloseLocalFile();
    DropDataConnection();
    if (failedText != nullptr) {
        Display(failedText);
    }
    FResumePos = 0;
    ReportStep(code);
}

void TCustomFtpCli::TransferDone() {
    if (FRequestDone) {
        return;
    }
    const long long ms = ElapsedMs(FStartTime);
    std::string stats = "! " + std::to_string(FByteCount) + " bytes received/sent in " +
                        std::to_string(ms / 1000) + " seconds";
    if (ms != 0) {
        const long long rate =
            FByteCount < 32768 ? FByteCount * 1000 / ms : (FByteCount / ms) * 1000;
        stats += " (" + std::to_string(rate) + " Bytes/sec)";
    }
    Display(stats);
    FResumePos = 0;
    std::uint16_t code = FCloseError;
    if (!Receiving() && !FEof && code == 0) {
        // The data connection ended before the whole file went out.
        code = FUserAborted ? 426 : static_cast<std::uint16_t>(WSAECONNABORTED);
    }
    if (code != 0) {
        SetErrorMessage(code >= 10000 ? WinsockLine(code) : "426 Transfer failed");
    }
    ReportStep(code);
}

}  // namespace tessel

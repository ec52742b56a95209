#pragma once

// The client side of FTP (RFC 959) over two TWSocket connections, control and data.
// Every request method returns at once; its outcome arrives through OnRequestDone on a
// later turn of the event loop, with 0 for success or the failing reply's status code
// (or a Winsock error number). One request runs at a time.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/Exceptions.h"
#include "publish/FileBlockReader.h"
#include "publish/FtpReply.h"
#include "publish/WSocket.h"

class QTimer;

namespace tessel {

class FtpException : public ETesselError {
  public:
    using ETesselError::ETesselError;
};

// The request ended because the client could not make the passive data connection (it was
// refused, timed out, or the 227 reply named no port); ErrorMessage says which. The control
// connection is still open.
constexpr std::uint16_t kFtpDataConnectionFailed = 20201;
// ErrorMessage of a log-in that asked for TLS from a server that refused AUTH TLS.
inline constexpr const char* kFtpNoTlsMessage = "The server does not offer TLS";

enum TFtpState {
    fsNotConnected,
    fsReady,
    fsInternalReady,
    fsDnsLookup,
    fsConnected,
    fsAbort,
    fsWaitingBanner,
    fsWaitingResponse
};

enum TFtpRequest {
    rqNone = 0,
    rqOpen = 1,
    rqUser = 2,
    rqPass = 3,
    rqCwd = 4,
    rqConnect = 5,
    rqReceive = 6,
    rqDir = 7,
    rqLs = 8,
    rqPort = 9,
    rqGet = 10,
    rqDirectory = 11,
    rqList = 12,
    rqSystem = 13,
    rqSyst = 14,
    rqQuit = 15,
    rqSize = 16,
    rqPut = 17,
    rqAppend = 18,
    rqMkd = 21,
    rqRmd = 22,
    rqRename = 23,
    rqDele = 24,
    rqRen = 25,
    rqRenTo = 26,
    rqRenFrom = 27,
    rqDelete = 28,
    rqMkdir = 29,
    rqRmdir = 30,
    rqPwd = 31,
    rqQuote = 32,
    rqCDup = 33,
    rqDoQuote = 34,
    rqTransmit = 35,
    rqTypeSet = 36,
    rqRest = 37,
    rqRestartGet = 38,
    rqRestartReceive = 39,
    // The steps of explicit FTPS (RFC 4217), run by themselves only inside a log-in.
    rqAuth = 40,
    rqPbsz = 41,
    rqProt = 42
};

enum TFtpTlsMode {
    ftpTlsNone,      // plain FTP
    ftpTlsRequired,  // AUTH TLS before the log-in, every data connection protected
};

enum TFtpShareMode {
    ftpShareCompat,
    ftpShareExclusive,
    ftpShareDenyWrite,
    ftpShareDenyRead,
    ftpShareDenyNone
};

// The steps of compound requests, in the order in which they run.
enum TFtpStep : std::uint32_t {
    stOpen = 1u << 0,
    stAuth = 1u << 1,
    stPbsz = 1u << 2,
    stProt = 1u << 3,
    stUser = 1u << 4,
    stPass = 1u << 5,
    stCwd = 1u << 6,
    stCDup = 1u << 7,
    stType = 1u << 8,
    stPort = 1u << 9,
    stRest = 1u << 10,
    stRetr = 1u << 11,
    stStor = 1u << 12,
    stAppe = 1u << 13,
    stList = 1u << 14,
    stNlst = 1u << 15,
    stSyst = 1u << 16,
    stMkd = 1u << 17,
    stRmd = 1u << 18,
    stRnfr = 1u << 19,
    stRnto = 1u << 20,
    stSize = 1u << 21,
    stDele = 1u << 22,
    stPwd = 1u << 23,
    stQuote = 1u << 24,
    stQuit = 1u << 25,
};
using TFtpSteps = std::uint32_t;

class TFtpWindow;
struct TFtpStepDef;

class TCustomFtpCli {
  public:
    using TSenderEvent = std::function<void(TCustomFtpCli* sender)>;
    using TErrorEvent = std::function<void(TCustomFtpCli* sender, std::uint16_t error)>;
    using TTextEvent = std::function<void(TCustomFtpCli* sender, std::string& msg)>;

    TCustomFtpCli();
    virtual ~TCustomFtpCli();
    TCustomFtpCli(const TCustomFtpCli&) = delete;
    TCustomFtpCli& operator=(const TCustomFtpCli&) = delete;

    std::string HostName;
    std::string Port = "ftp";
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;
    std::string HostFileName;
    std::string LocalFileName;
    bool Binary = true;
    TFtpShareMode ShareMode = ftpShareExclusive;
    bool DisplayFileFlag = false;
    bool DisplayFlag = false;
    int Timeout = 15;
    bool MultiThreaded = false;
    // Passive mode (PASV) instead of PORT; off by default, as servers expect of us.
    bool Passive = false;
    // Explicit FTPS. With ftpTlsRequired a server that refuses AUTH TLS ends the request
    // with "The server does not offer TLS"; nothing is ever sent in clear instead.
    TFtpTlsMode TlsMode = ftpTlsNone;
    // Trusted certificates in a PEM file instead of the system's trust store.
    std::string TlsCaFile;
    // The SHA-256 fingerprint of the one certificate to accept instead of verifying it
    // (what the user chose to trust for this server); empty: the certificate must verify.
    std::string TlsTrustedSha256;
    // Debug builds show every state change through OnDisplay ("= from -> to").
    bool TraceStates = false;

    const std::string& ErrorMessage() const { return FErrorMessage; }
    const std::string& LastResponse() const { return FLastResponse; }
    int StatusCode() const { return FStatusCode; }
    TFtpState State() const { return FState; }
    TFtpRequest RequestType() const { return FRequestType; }
    bool Connected() const { return FControlSocket->State() != wsClosed; }
    const std::string& DirResult() const { return FDirResult; }
    long long SizeResult() const { return FSizeResult; }
    long long ByteCount() const { return FByteCount; }
    // Bytes of the running upload given to the data connection that have not reached the
    // server's machine yet, also while the system delivers the rest after the data
    // connection was closed; 0 when nothing is on its way.
    long long UnsentCount() const;
    TWSocket& ControlSocket() { return *FControlSocket; }
    // The server's certificate from the last TLS handshake, also when it was refused: a
    // request that failed with kTlsCertificateUntrusted can be retried with its sha256 in
    // TlsTrustedSha256 once the user trusts it.
    const TTlsCertificateInfo& ServerCertificate() const { return FServerCertificate; }
    TWSocket& DataSocket() { return *FDataSocket; }

    TTextEvent OnDisplay;
    TTextEvent OnDisplayFile;
    TTextEvent OnCommand;
    TSenderEvent OnResponse;
    std::function<void(TCustomFtpCli* sender, long count, bool& abort)> OnProgress;
    TErrorEvent OnSessionConnected;
    TErrorEvent OnSessionClosed;
    std::function<void(TCustomFtpCli* sender, TFtpRequest rqType, std::uint16_t error)>
        OnRequestDone;
    TSenderEvent OnStateChange;
    std::function<void(TCustomFtpCli* sender, bool& cancel)> OnReadyToTransmit;

    // Single commands; the request kind is the step's own.
    void OpenAsync() { StartSingle(stOpen); }
    void UserAsync() { StartSingle(stUser); }
    void PassAsync() { StartSingle(stPass); }
    void CwdAsync() { StartSingle(stCwd); }
    void CDupAsync() { StartSingle(stCDup); }
    void PwdAsync() { StartSingle(stPwd); }
    void SystAsync() { StartSingle(stSyst); }
    void SizeAsync() { StartSingle(stSize); }
    void TypeSetAsync() { StartSingle(stType); }
    void TypeBinaryAsync();
    void TypeAsciiAsync();
    void MkdAsync() { StartSingle(stMkd); }
    void RmdAsync() { StartSingle(stRmd); }
    void DeleAsync() { StartSingle(stDele); }
    void RenFromAsync() { StartSingle(stRnfr); }
    void RenToAsync() { StartSingle(stRnto); }
    void QuoteAsync() { StartSingle(stQuote); }
    void RestAsync() { StartSingle(stRest); }
    void PortAsync() { StartSingle(stPort); }
    void QuitAsync() { StartSingle(stQuit); }
    // Transfer steps on a data connection already prepared by PortAsync.
    void ListCmdAsync() { StartSingle(stList); }
    void NlstCmdAsync() { StartSingle(stNlst); }
    void RetrCmdAsync() { StartSingle(stRetr); }
    void StorCmdAsync() { StartSingle(stStor); }
    void AppeCmdAsync() { StartSingle(stAppe); }
    // Compound requests; their steps are in the request table.
    void ConnectAsync() { StartCompound(rqConnect); }
    void ReceiveAsync() { StartCompound(rqReceive); }
    void DirAsync() { StartCompound(rqDir); }
    void LsAsync() { StartCompound(rqLs); }
    void GetAsync() { StartCompound(rqGet); }
    void DirectoryAsync() { StartCompound(rqDirectory); }
    void ListAsync() { StartCompound(rqList); }
    void SystemAsync() { StartCompound(rqSystem); }
    void FileSizeAsync() { StartCompound(rqSize); }
    void PutAsync() { StartCompound(rqPut); }
    void AppendAsync() { StartCompound(rqAppend); }
    void RenameAsync() { StartCompound(rqRename); }
    void RenAsync() { StartCompound(rqRen); }
    void DeleteAsync() { StartCompound(rqDelete); }
    void MkdirAsync() { StartCompound(rqMkdir); }
    void RmdirAsync() { StartCompound(rqRmdir); }
    void DoQuoteAsync() { StartCompound(rqDoQuote); }
    void TransmitAsync() { StartCompound(rqTransmit); }
    void RestartGetAsync() { StartCompound(rqRestartGet); }
    void RestartReceiveAsync() { StartCompound(rqRestartReceive); }

    void Abort();
    // Abort for a caller that has given up on the request: its completion is not delivered,
    // so it cannot be taken for the outcome of a later request.
    void AbortDiscarding() {
        Abort();
        DiscardPostedCompletions();
    }

  protected:
    // Ends the running request as a failure, with every connection dropped.
    void AbortWith(std::uint16_t code, const std::string& message);
    virtual void TriggerProgress(long count, bool& abort);
    // Numbers the requests, so that a completion can be told from an older one.
    std::uint32_t RequestSerial() const { return FRequestSerial; }
    std::uint32_t DeliveredSerial() const { return FDeliveredSerial; }
    // Drops the completions already posted and not yet delivered.
    void DiscardPostedCompletions();

  private:
    friend class TFtpWindow;
    // What the control connection waits for. Each phase stands for one public state.
    enum TFtpPhase {
        phIdle,           // fsReady
        phBetweenSteps,   // fsInternalReady
        phLookup,         // fsDnsLookup
        phConnecting,     // fsWaitingBanner: the TCP connect
        phBanner,         // fsWaitingBanner
        phConnected,      // fsConnected
        phReply,          // fsWaitingResponse: the one reply of a command
        phDataConnect,    // fsWaitingResponse: passive data connection, command not sent yet
        phTransferReply,  // fsWaitingResponse: 1xx to a transfer command
        phFinalReply,     // fsWaitingResponse: the reply that ends a transfer
        phFinalAccepted,  // fsWaitingResponse: only the data connection's end is missing
        phTlsHandshake,   // fsWaitingResponse: the control connection's TLS after AUTH TLS
        phClosed,         // fsNotConnected
        phAborting,       // fsAbort
    };
    // The data connection of the current transfer.
    enum TDataPhase {
        dpNone,       // no transfer set up
        dpOpening,    // listening (PORT) or connecting (PASV)
        dpSecuring,   // connected, TLS handshake running
        dpOpen,       // connected, nothing sent yet
        dpStreaming,  // blocks going out
        dpClosed,     // the data connection has ended
    };

    // Starting requests and choosing steps.
    void CheckReady() const;
    void CheckSteps(TFtpSteps steps) const;
    void StartSingle(TFtpSteps step);
    void StartCompound(TFtpRequest rq);
    void StartSteps(TFtpRequest rq, TFtpSteps steps);
    void NextStep();
    void RunStep();
    void SendStepCommand(const std::string& cmd);
    std::string CommandText() const;
    void SendCommand(std::string cmd);
    void ReportStep(std::uint16_t error);
    void FinishRequest(std::uint16_t error);
    void SetState(TFtpPhase phase);
    void SetState(TDataPhase phase);
    void TraceState(const char* from, const char* to);
    void Display(std::string msg);
    void SetErrorMessage(const std::string& line);
    void FailWithLine(std::uint16_t code, const std::string& line);
    TFtpSteps CurrentStep() const;
    bool Receiving() const;

    // Deadlines: a wait for a reply or a connection ends after Timeout seconds whatever
    // arrives meanwhile; a transfer ends after Timeout seconds without data moving.
    void ArmDeadline();
    void DeadlineExpired();
    bool DataSilenceCounts() const;
    void Touch();

    // Control connection.
    void OpenStep();
    void ControlDnsLookupDone(std::uint16_t error);
    void ControlSessionConnected(std::uint16_t error);
    void ControlDataAvailable();
    void ControlSessionClosed(std::uint16_t error);
    void HandleLine(const TReplyLine& line);
    void BannerCheck(int code);
    void ReplyCheck(int code);
    bool Accepts(int code) const;
    void StartControlTls();
    void ControlTlsDone(std::uint16_t error);
    void SecureControlSocket(TWSocket& socket);
    std::string WinsockLine(int error) const;

    // Data connection (FtpCliTransfer.cpp).
    void PortStep();
    void RestStep();
    void TransferStep();
    bool OpenLocalFileForReading();
    bool OpenLocalFileForWriting();
    bool OpenLocalFile(int flags);
    void CloseLocalFile();
    void ConnectPassiveData();
    void PassiveDataConnected(std::uint16_t error);
    void DataSessionAvailable();
    // Protects a connected data socket, or goes straight on when the data are in clear.
    void DataConnectionReady();
    void DataTlsDone(std::uint16_t error);
    // Closes the data connection now, without waiting for a TLS close.
    void DropDataConnection();
    void SendTransferCommand();
    void TransferReplyCheck(int code);
    void FinalReplyCheck(int code);
    void StartSending();
    void SendNextBlock(std::uint16_t error);
    void DataReceive();
    void DataClosed(std::uint16_t error);
    void TransferDone();
    void FailTransfer(std::uint16_t code, const char* failedText);
    void FailDataConnection(int error);
    void FailDataConnectionBecause(const std::string& why);
    void ClearDataHandlers();
    void FlushDisplayLine();

    std::unique_ptr<TWSocket> FControlSocket;
    std::unique_ptr<TWSocket> FDataSocket;
    std::unique_ptr<TFtpWindow> FWindow;
    std::unique_ptr<QTimer> FDeadlineTimer;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

    TFtpState FState = fsReady;
    TFtpPhase FPhase = phIdle;
    TDataPhase FDataPhase = dpNone;
    TFtpRequest FRequestType = rqNone;
    std::uint32_t FRequestSerial = 0;
    std::uint32_t FDeliveredSerial = 0;
    std::string FErrorMessage;
    std::string FLastResponse;
    int FStatusCode = 0;

    // Compound request.
    TFtpSteps FSteps = 0;
    const TFtpStepDef* FStep = nullptr;  // the running step
    TFtpSteps FPrevStep = 0;
    bool FCompound = false;
    std::uint16_t FResult = 0;
    std::string FSavedResponse;
    int FSavedStatus = -1;

    // The reply being awaited.
    bool FConnected = false;
    std::uint16_t FStepError = 0;
    bool FRequestDone = true;
    TFtpReplyReader FReader;
    std::string FDirResult;
    long long FSizeResult = 0;

    // Transfer.
    int FLocalFile = -1;
    long long FByteCount = 0;
    long long FResumePos = 0;
    bool FEof = false;          // the whole local file went out
    bool FUserAborted = false;  // OnProgress asked to stop
    std::uint16_t FCloseError = 0;
    std::string FPasvResponse;
    bool FDataProtected = false;  // PROT P accepted on this connection
    TTlsCertificateInfo FServerCertificate;
    std::string FDisplayLine;
    TFileBlockReader FFileReader;
    TUnsentWatch FUnsentWatch;  // the closed data connection of an upload not yet confirmed
    std::chrono::steady_clock::time_point FStartTime;
    std::chrono::steady_clock::time_point FLastProgress;
};

// Adds waiting: each method runs the request and returns true once it succeeded.
class TFtpClient : public TCustomFtpCli {
  public:
    bool Open() { return Synchronize(&TCustomFtpCli::OpenAsync); }
    bool User() { return Synchronize(&TCustomFtpCli::UserAsync); }
    bool Pass() { return Synchronize(&TCustomFtpCli::PassAsync); }
    bool Connect() { return Synchronize(&TCustomFtpCli::ConnectAsync); }
    bool Cwd() { return Synchronize(&TCustomFtpCli::CwdAsync); }
    bool Pwd() { return Synchronize(&TCustomFtpCli::PwdAsync); }
    bool TypeSet() { return Synchronize(&TCustomFtpCli::TypeSetAsync); }
    bool Mkd() { return Synchronize(&TCustomFtpCli::MkdAsync); }
    bool Size() { return Synchronize(&TCustomFtpCli::SizeAsync); }
    bool Put() { return Synchronize(&TCustomFtpCli::PutAsync); }
    bool Get() { return Synchronize(&TCustomFtpCli::GetAsync); }
    bool Dir() { return Synchronize(&TCustomFtpCli::DirAsync); }
    bool Quit() { return Synchronize(&TCustomFtpCli::QuitAsync); }

    // Runs any request method, then waits; a refusal to start counts as failure.
    bool Synchronize(void (TCustomFtpCli::*method)());
    // Waits until the running request ends; false on failure or after Timeout seconds
    // without progress.
    bool WaitUntilReady();

  protected:
    void TriggerProgress(long count, bool& abort) override;

  private:
    std::chrono::steady_clock::time_point FDeadline;
};

}  // namespace tessel

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
    rqRestartReceive = 39
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
    stUser = 1u << 1,
    stPass = 1u << 2,
    stCwd = 1u << 3,
    stCDup = 1u << 4,
    stType = 1u << 5,
    stPort = 1u << 6,
    stRest = 1u << 7,
    stRetr = 1u << 8,
    stStor = 1u << 9,
    stAppe = 1u << 10,
    stList = 1u << 11,
    stNlst = 1u << 12,
    stSyst = 1u << 13,
    stMkd = 1u << 14,
    stRmd = 1u << 15,
    stRnfr = 1u << 16,
    stRnto = 1u << 17,
    stSize = 1u << 18,
    stDele = 1u << 19,
    stPwd = 1u << 20,
    stQuote = 1u << 21,
    stQuit = 1u << 22,
};
using TFtpSteps = std::uint32_t;

class TFtpWindow;

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

    const std::string& ErrorMessage() const { return FErrorMessage; }
    const std::string& LastResponse() const { return FLastResponse; }
    int StatusCode() const { return FStatusCode; }
    TFtpState State() const { return FState; }
    TFtpRequest RequestType() const { return FRequestType; }
    bool Connected() const { return FControlSocket->State() != wsClosed; }
    const std::string& DirResult() const { return FDirResult; }
    long long SizeResult() const { return FSizeResult; }
    long long ByteCount() const { return FByteCount; }
    TWSocket& ControlSocket() { return *FControlSocket; }
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

    // Single commands.
    void OpenAsync();
    void UserAsync();
    void PassAsync();
    void CwdAsync();
    void CDupAsync();
    void PwdAsync();
    void SystAsync();
    void SizeAsync();
    void TypeSetAsync();
    void TypeBinaryAsync();
    void TypeAsciiAsync();
    void MkdAsync();
    void RmdAsync();
    void DeleAsync();
    void RenFromAsync();
    void RenToAsync();
    void QuoteAsync();
    void RestAsync();
    void PortAsync();
    void QuitAsync();
    // Transfer steps on a data connection already prepared by PortAsync.
    void ListCmdAsync();
    void NlstCmdAsync();
    void RetrCmdAsync();
    void StorCmdAsync();
    void AppeCmdAsync();
    // Compound requests.
    void ConnectAsync();
    void ReceiveAsync();
    void DirAsync();
    void LsAsync();
    void GetAsync();
    void DirectoryAsync();
    void ListAsync();
    void SystemAsync();
    void FileSizeAsync();
    void PutAsync();
    void AppendAsync();
    void RenameAsync();
    void RenAsync();
    void DeleteAsync();
    void MkdirAsync();
    void RmdirAsync();
    void DoQuoteAsync();
    void TransmitAsync();
    void RestartGetAsync();
    void RestartReceiveAsync();

    void Abort();

  protected:
    // Ends the running request as a failure, with every connection dropped.
    void AbortWith(std::uint16_t code, const std::string& message);
    virtual void TriggerProgress(long count, bool& abort);

  private:
    friend class TFtpWindow;
    using TReplyHandler = void (TCustomFtpCli::*)(int code);
    enum TDoneAction { daNone, daCloseControl };

    // Starting requests and choosing steps.
    void CheckReady() const;
    void CheckSteps(TFtpSteps steps) const;
    void StartSingle(TFtpRequest rq, TFtpSteps step);
    void StartCompound(TFtpRequest rq, TFtpSteps steps);
    void NextStep();
    void RunStep(TFtpSteps step);
    void ExecAsync(TFtpRequest rq, const std::string& cmd, std::vector<int> ok,
                   TDoneAction done = daNone);
    void SendCommand(std::string cmd);
    void ReportStep(std::uint16_t error);
    void FinishRequest(std::uint16_t error);
    void SetState(TFtpState state);
    void Display(std::string msg);
    void SetErrorMessage(const std::string& line);
    void FailWithLine(std::uint16_t code, const std::string& line);

    // Control connection.
    void OpenStep();
    void ControlDnsLookupDone(std::uint16_t error);
    void ControlSessionConnected(std::uint16_t error);
    void ControlDataAvailable();
    void ControlSessionClosed(std::uint16_t error);
    void HandleLine(const std::string& line);
    void BannerCheck(int code);
    void ReplyCheck(int code);
    std::string WinsockLine(int error) const;

    // Data connection (FtpCliTransfer.cpp).
    void PortStep();
    void RestStep();
    void StorStep(bool append);
    void ReceiveStep(const std::string& verb);
    bool OpenLocalFileForReading();
    bool OpenLocalFileForWriting();
    bool OpenLocalFile(int flags);
    void CloseLocalFile();
    void ConnectPassiveData();
    void PassiveDataConnected(std::uint16_t error);
    void DataSessionAvailable();
    void SendTransferCommand();
    void StorReplyCheck(int code);
    void StorFinalCheck(int code);
    void ReceiveReplyCheck(int code);
    void ReceiveFinalCheck(int code);
    void StartSending();
    void SendNextBlock(std::uint16_t error);
    void DataReceive();
    void DataClosed(std::uint16_t error);
    void TransferDone();
    void FailTransfer(std::uint16_t code, const char* failedText);
    void FailDataConnection(int error);
    void ClearDataHandlers();
    void FlushDisplayLine();
    void Touch();

    std::unique_ptr<TWSocket> FControlSocket;
    std::unique_ptr<TWSocket> FDataSocket;
    std::unique_ptr<TFtpWindow> FWindow;
    std::unique_ptr<QTimer> FIdleTimer;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

    TFtpState FState = fsReady;
    TFtpRequest FRequestType = rqNone;
    std::string FErrorMessage;
    std::string FLastResponse;
    int FStatusCode = 0;

    // Compound request.
    TFtpSteps FSteps = 0;
    TFtpSteps FCurrentStep = 0;
    TFtpSteps FPrevStep = 0;
    bool FCompound = false;
    std::uint16_t FResult = 0;
    std::string FSavedResponse;
    int FSavedStatus = -1;

    // The reply being awaited.
    bool FConnected = false;
    TReplyHandler FNext = nullptr;
    std::vector<int> FOkResponses;
    TDoneAction FDoneAction = daNone;
    std::uint16_t FStepError = 0;
    bool FRequestDone = true;
    TFtpReplyReader FReader;
    std::string FDirResult;
    long long FSizeResult = 0;

    // Transfer.
    int FLocalFile = -1;
    bool FReceiving = false;
    bool FAppendFlag = false;
    std::string FTransferVerb;
    long long FByteCount = 0;
    long long FResumePos = 0;
    bool FReplyAccepted = false;
    bool FDataClosed = false;
    bool FSendingStarted = false;
    bool FEof = false;
    bool FUserAborted = false;
    bool FStartDeferred = false;
    std::uint16_t FCloseError = 0;
    std::string FPasvResponse;
    std::string FDisplayLine;
    TFileBlockReader FFileReader;
    std::chrono::steady_clock::time_point FStartTime;
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

// Requests, steps and the control connection of the FTP client.

#include "publish/FtpCli.h"

#include <QTimer>

#include <algorithm>

#include "publish/FtpWindow.h"
#include "publish/WSocketErrors.h"

namespace tessel {

namespace {

bool HasLineBreakOrNul(const std::string& value) {
    return value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

void CheckInjection(const std::string& value, const char* property) {
    if (HasLineBreakOrNul(value)) {
        throw FtpException(std::string(property) + " holds a CR, LF or NUL character");
    }
}

TFtpRequest StepRequest(TFtpSteps step) {
    switch (step) {
        case stOpen:
            return rqOpen;
        case stUser:
            return rqUser;
        case stPass:
            return rqPass;
        case stCwd:
            return rqCwd;
        case stCDup:
            return rqCDup;
        case stType:
            return rqTypeSet;
        case stPort:
            return rqPort;
        case stRest:
            return rqRest;
        case stRetr:
            return rqGet;
        case stStor:
            return rqPut;
        case stAppe:
            return rqAppend;
        case stList:
            return rqDir;
        case stNlst:
            return rqLs;
        case stSyst:
            return rqSyst;
        case stMkd:
            return rqMkd;
        case stRmd:
            return rqRmd;
        case stRnfr:
            return rqRenFrom;
        case stRnto:
            return rqRenTo;
        case stSize:
            return rqSize;
        case stDele:
            return rqDele;
        case stPwd:
            return rqPwd;
        case stQuote:
            return rqQuote;
        case stQuit:
            return rqQuit;
        default:
            return rqNone;
    }
}

constexpr TFtpSteps kTransferSteps = stRetr | stStor | stAppe | stList | stNlst;
constexpr TFtpSteps kHostFileSteps = kTransferSteps | stMkd | stRmd | stRnfr | stSize | stDele;
constexpr TFtpSteps kDirectorySteps = stCwd | stMkd | stPwd | stCDup;

}  // namespace

TCustomFtpCli::TCustomFtpCli()
    : FControlSocket(std::make_unique<TWSocket>()),
      FDataSocket(std::make_unique<TWSocket>()),
      FWindow(std::make_unique<TFtpWindow>(this)),
      FIdleTimer(std::make_unique<QTimer>()) {
    FIdleTimer->setSingleShot(true);
    QObject::connect(FIdleTimer.get(), &QTimer::timeout, FWindow.get(),
                     [this] { AbortWith(426, "426 Timeout"); });
    // Socket failures become request results; nothing may throw out of the event loop.
    FControlSocket->OnError = [](TCustomWSocket*) {};
    FDataSocket->OnError = [](TCustomWSocket*) {};
    FControlSocket->OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t e) {
        ControlDnsLookupDone(e);
    };
    FControlSocket->OnSessionConnected = [this](TCustomWSocket*, std::uint16_t e) {
        ControlSessionConnected(e);
    };
    FControlSocket->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) {
        ControlDataAvailable();
    };
    FControlSocket->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t e) {
        ControlSessionClosed(e);
    };
}

TCustomFtpCli::~TCustomFtpCli() {
    *FAlive = false;
    FDataSocket->OnSessionClosed = nullptr;
    FControlSocket->OnSessionClosed = nullptr;
    FControlSocket->OnDnsLookupDone = nullptr;
    CloseLocalFile();
}

// ---- starting requests ----

void TCustomFtpCli::CheckReady() const {
    if (FState != fsReady && FState != fsInternalReady) {
        throw FtpException("FTP component not ready");
    }
}

void TCustomFtpCli::CheckSteps(TFtpSteps steps) const {
    if ((steps & stOpen) != 0 && Connected()) {
        throw FtpException("FTP component already connected");
    }
    if ((steps & stOpen) == 0 && !Connected()) {
        throw FtpException((steps & (stStor | stAppe)) != 0 ? "STOR/APPE: not connected"
                                                            : "FTP component not connected");
    }
    if ((steps & stUser) != 0 && UserName.empty()) {
        throw FtpException("UserName emtpy");
    }
    const bool receiving = (steps & (stRetr | stList | stNlst)) != 0;
    if ((steps & kTransferSteps) != 0 && LocalFileName.empty() && !(receiving && DisplayFileFlag)) {
        throw FtpException("LocalFileName empty");
    }
    if ((steps & stUser) != 0) {
        CheckInjection(UserName, "UserName");
    }
    if ((steps & stPass) != 0) {
        CheckInjection(PassWord, "PassWord");
    }
    if ((steps & stCwd) != 0) {
        CheckInjection(HostDirName, "HostDirName");
    }
    if ((steps & kHostFileSteps) != 0) {
        CheckInjection(HostFileName, "HostFileName");
    }
    if ((steps & (stRnto | stQuote)) != 0) {
        CheckInjection(LocalFileName, "LocalFileName");
    }
}

void TCustomFtpCli::StartSingle(TFtpRequest rq, TFtpSteps step) {
    CheckReady();
    if (step == stPass && PassWord.empty()) {
        throw FtpException("Password emtpy");
    }
    if (step == stCwd && HostDirName.empty()) {
        throw FtpException("HostDirName emtpy");
    }
    CheckSteps(step);
    FCompound = false;
    FSteps = 0;
    FRequestType = rq;
    FPrevStep = FCurrentStep;
    FCurrentStep = step;
    if (Timeout > 0) {
        FIdleTimer->start(Timeout * 1000);
    }
    RunStep(step);
}

void TCustomFtpCli::StartCompound(TFtpRequest rq, TFtpSteps steps) {
    CheckReady();
    CheckSteps(steps);
    FSavedStatus = -1;
    FRequestType = rq;
    FSteps = steps;
    FCompound = true;
    FResult = 0;
    FLastResponse.clear();
    FErrorMessage.clear();
    FCurrentStep = 0;
    if (Timeout > 0) {
        FIdleTimer->start(Timeout * 1000);
    }
    NextStep();
}

void TCustomFtpCli::NextStep() {
    if (FState == fsAbort) {
        FSteps = 0;
        FResult = 426;
        FErrorMessage = "426 Operation aborted.";
    }
    while (FSteps != 0) {
        const TFtpSteps step = FSteps & (~FSteps + 1);  // lowest bit: the first in order
        FSteps &= ~step;
        FPrevStep = FCurrentStep;
        if (step == stPass && FPrevStep == stUser && FStatusCode != 331) {
            continue;  // 230: logged in without a password
        }
        if (step == stCwd && HostDirName.empty()) {
            continue;
        }
        if (step == stRetr && !(FPrevStep == stRest && FStatusCode == 350)) {
            FResumePos = 0;
        }
        if (step == stQuit) {
            FSavedResponse = FLastResponse;
            FSavedStatus = FStatusCode;
        }
        FCurrentStep = step;
        if (step == stPass && PassWord.empty()) {
            FRequestDone = false;
            FailWithLine(503, "503 Password emtpy");
            return;
        }
        RunStep(step);
        return;
    }
    FinishRequest(FResult);
}

void TCustomFtpCli::RunStep(TFtpSteps step) {
    const TFtpRequest rq = StepRequest(step);
    switch (step) {
        case stOpen:
            OpenStep();
            break;
        case stUser:
            ExecAsync(rq, "USER " + UserName, {331, 230});
            break;
        case stPass:
            ExecAsync(rq, "PASS " + PassWord, {230});
            break;
        case stCwd:
            ExecAsync(rq, "CWD " + HostDirName, {200, 250, 257});
            break;
        case stCDup:
            ExecAsync(rq, "CDUP", {250});
            break;
        case stType:
            ExecAsync(rq, std::string("TYPE ") + (Binary ? "I" : "A"), {200});
            break;
        case stPort:
            PortStep();
            break;
        case stRest:
            RestStep();
            break;
        case stRetr:
            ReceiveStep("RETR");
            break;
        case stStor:
            StorStep(false);
            break;
        case stAppe:
            StorStep(true);
            break;
        case stList:
            ReceiveStep("LIST");
            break;
        case stNlst:
            ReceiveStep("NLST");
            break;
        case stSyst:
            ExecAsync(rq, "SYST", {215});
            break;
        case stMkd:
            ExecAsync(rq, "MKD " + HostFileName, {257});
            break;
        case stRmd:
            ExecAsync(rq, "RMD " + HostFileName, {250, 257});
            break;
        case stRnfr:
            ExecAsync(rq, "RNFR " + HostFileName, {350});
            break;
        case stRnto:
            ExecAsync(rq, "RNTO " + LocalFileName, {250, 257});
            break;
        case stSize:
            ExecAsync(rq, "SIZE " + HostFileName, {213});
            break;
        case stDele:
            ExecAsync(rq, "DELE " + HostFileName, {250, 257});
            break;
        case stPwd:
            ExecAsync(rq, "PWD", {250, 257});
            break;
        case stQuote:
            ExecAsync(rq, LocalFileName, {});
            break;
        case stQuit:
            ExecAsync(rq, "QUIT", {221}, daCloseControl);
            break;
        default:
            break;
    }
}

void TCustomFtpCli::ExecAsync(TFtpRequest rq, const std::string& cmd, std::vector<int> ok,
                              TDoneAction done) {
    FNext = &TCustomFtpCli::ReplyCheck;
    FOkResponses = std::move(ok);
    FDoneAction = done;
    FStepError = 0;
    FRequestDone = false;
    if (!FCompound) {
        FRequestType = rq;
    }
    SetState(fsWaitingResponse);
    SendCommand(cmd);
}

void TCustomFtpCli::SendCommand(std::string cmd) {
    if (OnCommand) {
        OnCommand(this, cmd);
    }
    Display("> " + cmd);
    if (FControlSocket->State() == wsConnected) {
        FControlSocket->SendStr(cmd + "\r\n");
    }
}

// ---- reporting ----

void TCustomFtpCli::ReportStep(std::uint16_t error) {
    if (FRequestDone) {
        return;
    }
    FRequestDone = true;
    if (error == 0 && FCompound) {
        if (FState != fsAbort) {
            SetState(fsInternalReady);
        }
        NextStep();
        return;
    }
    FinishRequest(error);
}

void TCustomFtpCli::FinishRequest(std::uint16_t error) {
    FRequestDone = true;
    FSteps = 0;
    FIdleTimer->stop();
    SetState(fsReady);
    if (FDataSocket->State() != wsClosed) {
        FDataSocket->Close();
    }
    CloseLocalFile();
    if (FCompound && FSavedStatus != -1) {
        FLastResponse = FSavedResponse;
        FStatusCode = FSavedStatus;
        FSavedStatus = -1;
    }
    FCompound = false;
    FWindow->PostRequestDone(FRequestType, error);
}

void TCustomFtpCli::FailWithLine(std::uint16_t code, const std::string& line) {
    FLastResponse = line;
    FStatusCode = code;
    SetErrorMessage(line);
    ReportStep(code);
}

void TCustomFtpCli::SetState(TFtpState state) {
    if (FState == state) {
        return;
    }
    FState = state;
    if (OnStateChange) {
        OnStateChange(this);
    }
}

void TCustomFtpCli::Display(std::string msg) {
    if (OnDisplay) {
        OnDisplay(this, msg);
    }
}

void TCustomFtpCli::SetErrorMessage(const std::string& line) {
    if (FErrorMessage.empty()) {
        FErrorMessage = line;
    }
}

std::string TCustomFtpCli::WinsockLine(int error) const {
    return "500 " + WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")";
}

void TCustomFtpCli::Touch() {
    if (FIdleTimer->isActive()) {
        FIdleTimer->start();
    }
}

void TCustomFtpCli::TriggerProgress(long count, bool& abort) {
    if (OnProgress) {
        OnProgress(this, count, abort);
    }
}

void TCustomFtpCli::Abort() {
    AbortWith(426, "426 Operation aborted.");
}

void TCustomFtpCli::AbortWith(std::uint16_t code, const std::string& message) {
    const bool running = !FRequestDone;
    if (running) {
        // The closes below report the request; it must not look like a success.
        FStepError = code;
        FLastResponse = message;
        FStatusCode = code;
        FErrorMessage = message;
        FSteps = 0;
    }
    SetState(fsAbort);
    FControlSocket->CancelDnsLookup();
    FDataSocket->Abort();
    FControlSocket->Abort();
    CloseLocalFile();
    FConnected = false;
    if (!FRequestDone) {
        FinishRequest(code);
    }
    SetState(fsReady);
}

// ---- the control connection ----

void TCustomFtpCli::OpenStep() {
    FStepError = 0;
    FRequestDone = false;
    FReader.Clear();
    if (!FCompound) {
        FRequestType = rqOpen;
    }
    SetState(fsDnsLookup);
    FControlSocket->DnsLookup(HostName);
}

void TCustomFtpCli::ControlDnsLookupDone(std::uint16_t error) {
    if (FState != fsDnsLookup) {
        return;
    }
    Touch();
    if (error != 0) {
        FLastResponse = WinsockLine(error);
        FStatusCode = 500;
        SetErrorMessage(FLastResponse);
        ReportStep(error);
        return;
    }
    FControlSocket->SetAddr(FControlSocket->DnsResult());
    FControlSocket->SetProto("tcp");
    FControlSocket->SetPort(Port);
    SetState(fsWaitingBanner);
    FControlSocket->Connect();
    if (FControlSocket->State() == wsClosed && !FRequestDone) {
        // Refused before connecting, e.g. a port name that does not resolve.
        FLastResponse = "500 " + FControlSocket->LastErrorText();
        FStatusCode = 500;
        SetErrorMessage(FLastResponse);
        ReportStep(WSAEINVAL);
    }
}

void TCustomFtpCli::ControlSessionConnected(std::uint16_t error) {
    Touch();
    if (error != 0) {
        FLastResponse = WinsockLine(error);
        FStatusCode = 500;
        SetErrorMessage(FLastResponse);
        ReportStep(error);
        return;
    }
    FConnected = true;
}

void TCustomFtpCli::ControlDataAvailable() {
    if (FReader.FreeSpace() == 0) {
        FReader.Clear();
        AbortWith(500, "500 Reply line longer than 4096 bytes");
        return;
    }
    char buf[TFtpReplyReader::kCapacity];
    const int n = FControlSocket->Receive(buf, static_cast<int>(FReader.FreeSpace()));
    if (n == 0) {
        FControlSocket->Close();
        return;
    }
    if (n < 0) {
        return;
    }
    Touch();
    FReader.Append(buf, static_cast<std::size_t>(n));
    const std::weak_ptr<bool> alive = FAlive;
    std::string line;
    while (FReader.NextLine(line)) {
        HandleLine(line);
        if (alive.expired()) {
            return;
        }
    }
    if (FReader.Overflowed()) {
        // A line that cannot fit would be cut into bogus replies; give up on it.
        FReader.Clear();
        AbortWith(500, "500 Reply line longer than 4096 bytes");
    }
}

void TCustomFtpCli::HandleLine(const std::string& line) {
    FLastResponse = line;
    const int code = FReader.Classify(line);
    if (code >= 0) {
        FStatusCode = code;
    }
    const std::weak_ptr<bool> alive = FAlive;
    if (OnResponse) {
        OnResponse(this);
        if (alive.expired()) {
            return;
        }
    }
    Display("< " + line);
    if (FState == fsWaitingBanner) {
        BannerCheck(code);
    } else if (FState == fsWaitingResponse) {
        if (FNext == nullptr) {
            throw FtpException("Program error: FNext is nil");
        }
        (this->*FNext)(code);
    }
}

void TCustomFtpCli::BannerCheck(int code) {
    if (code < 0) {
        return;
    }
    if (code != 220) {
        FStepError = static_cast<std::uint16_t>(code);
        SetErrorMessage(FLastResponse);
        FControlSocket->Close();  // its closing reports the request
        return;
    }
    SetState(fsConnected);
    const std::weak_ptr<bool> alive = FAlive;
    if (OnSessionConnected) {
        OnSessionConnected(this, 0);
        if (alive.expired()) {
            return;
        }
    }
    ReportStep(0);
}

void TCustomFtpCli::ReplyCheck(int code) {
    if (code < 0) {
        return;
    }
    const bool accepted = FOkResponses.empty() ? code < 500
                                               : std::find(FOkResponses.begin(), FOkResponses.end(),
                                                           code) != FOkResponses.end();
    if (!accepted) {
        FStepError = static_cast<std::uint16_t>(code);
        SetErrorMessage(FLastResponse);
    }
    if (Passive && code == 227) {
        FPasvResponse = FLastResponse;
    }
    if ((FCurrentStep & kDirectorySteps) != 0) {
        if (const auto dir = ParseQuotedDirectory(FLastResponse)) {
            FDirResult = *dir;
        }
    } else if (FCurrentStep == stSize) {
        if (const auto size = ParseSizeReply(FLastResponse)) {
            FSizeResult = *size;
        }
    }
    if (FDoneAction == daCloseControl) {
        FControlSocket->Close();  // its closing reports the request
        return;
    }
    ReportStep(FStepError);
}

void TCustomFtpCli::ControlSessionClosed(std::uint16_t error) {
    const std::weak_ptr<bool> alive = FAlive;
    const bool aborting = FState == fsAbort;
    if (FConnected) {
        FConnected = false;
        if (!aborting) {
            SetState(fsNotConnected);
        }
        if (OnSessionClosed) {
            OnSessionClosed(this, error);
            if (alive.expired()) {
                return;
            }
        }
    }
    if (!aborting) {
        SetState(fsInternalReady);
    }
    if (!FRequestDone) {
        std::uint16_t code = FStepError;
        if (code == 0 && FCurrentStep != stQuit && !aborting) {
            // The server went away in the middle of a request: never a success.
            code = error != 0 ? error : static_cast<std::uint16_t>(WSAECONNABORTED);
            FLastResponse = WinsockLine(code);
            FStatusCode = 500;
            SetErrorMessage(FLastResponse);
        }
        ReportStep(code);
    }
    if (!aborting && FRequestDone) {
        SetState(fsReady);
    }
}

// ---- request methods ----

void TCustomFtpCli::OpenAsync() {
    StartSingle(rqOpen, stOpen);
}
void TCustomFtpCli::UserAsync() {
    StartSingle(rqUser, stUser);
}
void TCustomFtpCli::PassAsync() {
    StartSingle(rqPass, stPass);
}
void TCustomFtpCli::CwdAsync() {
    StartSingle(rqCwd, stCwd);
}
void TCustomFtpCli::CDupAsync() {
    StartSingle(rqCDup, stCDup);
}
void TCustomFtpCli::PwdAsync() {
    StartSingle(rqPwd, stPwd);
}
void TCustomFtpCli::SystAsync() {
    StartSingle(rqSyst, stSyst);
}
void TCustomFtpCli::SizeAsync() {
    StartSingle(rqSize, stSize);
}
void TCustomFtpCli::TypeSetAsync() {
    StartSingle(rqTypeSet, stType);
}
void TCustomFtpCli::MkdAsync() {
    StartSingle(rqMkd, stMkd);
}
void TCustomFtpCli::RmdAsync() {
    StartSingle(rqRmd, stRmd);
}
void TCustomFtpCli::DeleAsync() {
    StartSingle(rqDele, stDele);
}
void TCustomFtpCli::RenFromAsync() {
    StartSingle(rqRenFrom, stRnfr);
}
void TCustomFtpCli::RenToAsync() {
    StartSingle(rqRenTo, stRnto);
}
void TCustomFtpCli::QuoteAsync() {
    StartSingle(rqQuote, stQuote);
}
void TCustomFtpCli::RestAsync() {
    StartSingle(rqRest, stRest);
}
void TCustomFtpCli::PortAsync() {
    StartSingle(rqPort, stPort);
}
void TCustomFtpCli::QuitAsync() {
    StartSingle(rqQuit, stQuit);
}
void TCustomFtpCli::ListCmdAsync() {
    StartSingle(rqDir, stList);
}
void TCustomFtpCli::NlstCmdAsync() {
    StartSingle(rqLs, stNlst);
}
void TCustomFtpCli::RetrCmdAsync() {
    StartSingle(rqGet, stRetr);
}
void TCustomFtpCli::StorCmdAsync() {
    StartSingle(rqPut, stStor);
}
void TCustomFtpCli::AppeCmdAsync() {
    StartSingle(rqAppend, stAppe);
}

void TCustomFtpCli::TypeBinaryAsync() {
    CheckReady();
    Binary = true;
    TypeSetAsync();
}

void TCustomFtpCli::TypeAsciiAsync() {
    CheckReady();
    Binary = false;
    TypeSetAsync();
}

void TCustomFtpCli::ConnectAsync() {
    StartCompound(rqConnect, stOpen | stUser | stPass);
}
void TCustomFtpCli::ReceiveAsync() {
    StartCompound(rqReceive, stOpen | stUser | stPass | stCwd | stType | stPort | stRetr | stQuit);
}
void TCustomFtpCli::DirAsync() {
    StartCompound(rqDir, stPort | stList);
}
void TCustomFtpCli::LsAsync() {
    StartCompound(rqLs, stPort | stNlst);
}
void TCustomFtpCli::GetAsync() {
    StartCompound(rqGet, stPort | stRetr);
}
void TCustomFtpCli::DirectoryAsync() {
    StartCompound(rqDirectory, stOpen | stUser | stPass | stCwd | stPort | stList | stQuit);
}
void TCustomFtpCli::ListAsync() {
    StartCompound(rqList, stOpen | stUser | stPass | stCwd | stPort | stNlst | stQuit);
}
void TCustomFtpCli::SystemAsync() {
    StartCompound(rqSystem, stOpen | stUser | stPass | stSyst | stQuit);
}
void TCustomFtpCli::FileSizeAsync() {
    StartCompound(rqSize, stOpen | stUser | stPass | stCwd | stSize | stQuit);
}
void TCustomFtpCli::PutAsync() {
    StartCompound(rqPut, stPort | stStor);
}
void TCustomFtpCli::AppendAsync() {
    StartCompound(rqAppend, stPort | stAppe);
}
void TCustomFtpCli::RenameAsync() {
    StartCompound(rqRename, stOpen | stUser | stPass | stCwd | stRnfr | stRnto | stQuit);
}
void TCustomFtpCli::RenAsync() {
    StartCompound(rqRen, stRnfr | stRnto);
}
void TCustomFtpCli::DeleteAsync() {
    StartCompound(rqDelete, stOpen | stUser | stPass | stCwd | stDele | stQuit);
}
void TCustomFtpCli::MkdirAsync() {
    StartCompound(rqMkdir, stOpen | stUser | stPass | stCwd | stMkd | stQuit);
}
void TCustomFtpCli::RmdirAsync() {
    StartCompound(rqRmdir, stOpen | stUser | stPass | stCwd | stRmd | stQuit);
}
void TCustomFtpCli::DoQuoteAsync() {
    StartCompound(rqDoQuote, stOpen | stUser | stPass | stCwd | stQuote | stQuit);
}
void TCustomFtpCli::TransmitAsync() {
    StartCompound(rqTransmit, stOpen | stUser | stPass | stCwd | stType | stPort | stStor | stQuit);
}
void TCustomFtpCli::RestartGetAsync() {
    StartCompound(rqRestartGet, stPort | stRest | stRetr);
}
void TCustomFtpCli::RestartReceiveAsync() {
    StartCompound(rqRestartReceive,
                  stOpen | stUser | stPass | stCwd | stType | stPort | stRest | stRetr | stQuit);
}

}  // namespace tessel

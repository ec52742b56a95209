// Requests, steps and the control connection of the FTP client.

#include "publish/FtpCli.h"

#include <QTimer>

#include <algorithm>

#include "publish/FtpSteps.h"
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

std::string Quoted(const std::string& line) {
    return "\"" + line + "\"";
}

}  // namespace

TCustomFtpCli::TCustomFtpCli()
    : FControlSocket(std::make_unique<TWSocket>()),
      FDataSocket(std::make_unique<TWSocket>()),
      FWindow(std::make_unique<TFtpWindow>(this)),
      FDeadlineTimer(std::make_unique<QTimer>()) {
    FDeadlineTimer->setSingleShot(true);
    QObject::connect(FDeadlineTimer.get(), &QTimer::timeout, FWindow.get(),
                     [this] { DeadlineExpired(); });
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
        // "emtpy" (sic) in these texts: callers and users may match them as they stand.
        throw FtpException("UserName emtpy");
    }
    const bool receiving = (steps & kReceiveSteps) != 0;
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

void TCustomFtpCli::StartSingle(TFtpSteps step) {
    CheckReady();
    if (step == stPass && PassWord.empty()) {
        throw FtpException("Password emtpy");  // "emtpy" (sic), kept as the texts above
    }
    if (step == stCwd && HostDirName.empty()) {
        throw FtpException("HostDirName emtpy");
    }
    CheckSteps(step);
    if (step == stOpen && TlsMode != ftpTlsNone) {
        // Opening means opening securely: the connection is never handed over in clear.
        StartSteps(rqOpen, stOpen | kTlsSteps);
        return;
    }
    ++FRequestSerial;
    FCompound = false;
    FSteps = 0;
    FPrevStep = CurrentStep();
    FStep = &StepDef(step);
    RunStep();
}

void TCustomFtpCli::StartCompound(TFtpRequest rq) {
    const TFtpSteps steps = CompoundSteps(rq);
    CheckReady();
    CheckSteps(steps);
    StartSteps(rq, steps);
}

void TCustomFtpCli::StartSteps(TFtpRequest rq, TFtpSteps steps) {
    ++FRequestSerial;
    FSavedStatus = -1;
    FRequestType = rq;
    FSteps = steps;
    FCompound = true;
    FResult = 0;
    FLastResponse.clear();
    FErrorMessage.clear();
    FStep = nullptr;
    NextStep();
}

TFtpSteps TCustomFtpCli::CurrentStep() const {
    return FStep != nullptr ? FStep->step : 0;
}

bool TCustomFtpCli::Receiving() const {
    return (CurrentStep() & kReceiveSteps) != 0;
}

void TCustomFtpCli::NextStep() {
    if (FPhase == phAborting) {
        FSteps = 0;
        FResult = 426;
        FErrorMessage = "426 Operation aborted.";
    }
    while (FSteps != 0) {
        const TFtpSteps step = FSteps & (~FSteps + 1);  // lowest bit: the first in order
        FSteps &= ~step;
        FPrevStep = CurrentStep();
        if (step == stPass && FPrevStep == stUser && FStatusCode != 331) {
            continue;  // 230: logged in without a password
        }
        if (step == stCwd && HostDirName.empty()) {
            continue;
        }
        if ((step & kTlsSteps) != 0 && TlsMode == ftpTlsNone) {
            continue;
        }
        if (step == stRetr && !(FPrevStep == stRest && FStatusCode == 350)) {
            FResumePos = 0;
        }
        if (step == stQuit) {
            FSavedResponse = FLastResponse;
            FSavedStatus = FStatusCode;
        }
        FStep = &StepDef(step);
        if (step == stPass && PassWord.empty()) {
            FRequestDone = false;
            FailWithLine(503, "503 Password emtpy");  // "emtpy" (sic), kept on purpose
            return;
        }
        RunStep();
        return;
    }
    FinishRequest(FResult);
}

void TCustomFtpCli::RunStep() {
    FStepError = 0;
    FRequestDone = false;
    if (!FCompound) {
        FRequestType = FStep->request;
    }
    // The log-in and everything after it only ever travel encrypted when TLS is asked
    // for; QUIT carries nothing worth protecting and must still end a refused session.
    if (TlsMode != ftpTlsNone && (FStep->step & (stOpen | stAuth | stQuit)) == 0 &&
        !FControlSocket->TlsActive()) {
        FailWithLine(534, "534 The control connection is not encrypted");
        return;
    }
    switch (FStep->start) {
        case ssOpen:
            OpenStep();
            break;
        case ssPort:
            PortStep();
            break;
        case ssRest:
            RestStep();
            break;
        case ssTransfer:
            TransferStep();
            break;
        case ssCommand:
            SendStepCommand(CommandText());
            break;
    }
}

std::string TCustomFtpCli::CommandText() const {
    const std::string verb = FStep->verb;
    switch (FStep->argument) {
        case agUserName:
            return verb + " " + UserName;
        case agPassWord:
            return verb + " " + PassWord;
        case agHostDirName:
            return verb + " " + HostDirName;
        case agHostFileName:
            return verb + " " + HostFileName;
        case agOptionalHostFileName:
            return HostFileName.empty() ? verb : verb + " " + HostFileName;
        case agTypeLetter:
            return verb + (Binary ? " I" : " A");
        case agLocalFileName:
            return verb + " " + LocalFileName;
        case agRawLocalFileName:
            return LocalFileName;
        case agNone:
            break;
    }
    return verb;
}

void TCustomFtpCli::SendStepCommand(const std::string& cmd) {
    SetState(phReply);
    SendCommand(cmd);
}

void TCustomFtpCli::SendCommand(std::string cmd) {
    if (OnCommand) {
        OnCommand(this, cmd);
    }
    Display("> " + cmd);
    ArmDeadline();
    if (FControlSocket->State() == wsConnected) {
        FReader.MarkCommandSent();
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
        if (FPhase != phAborting) {
            SetState(phBetweenSteps);
        }
        NextStep();
        return;
    }
    FinishRequest(error);
}

void TCustomFtpCli::FinishRequest(std::uint16_t error) {
    FRequestDone = true;
    FSteps = 0;
    FDeadlineTimer->stop();
    FUnsentWatch.Stop();
    SetState(phIdle);
    DropDataConnection();
    SetState(dpNone);
    CloseLocalFile();
    if (FCompound && FSavedStatus != -1) {
        FLastResponse = FSavedResponse;
        FStatusCode = FSavedStatus;
        FSavedStatus = -1;
    }
    FCompound = false;
    FWindow->PostRequestDone(FRequestType, error, FRequestSerial);
}

void TCustomFtpCli::FailWithLine(std::uint16_t code, const std::string& line) {
    FLastResponse = line;
    FStatusCode = code;
    SetErrorMessage(line);
    ReportStep(code);
}

namespace {

constexpr const char* kPhaseNames[] = {
    "Idle",          "BetweenSteps", "Lookup",      "Connecting",    "Banner",
    "Connected",     "Reply",        "DataConnect", "TransferReply", "FinalReply",
    "FinalAccepted", "TlsHandshake", "Closed",      "Aborting"};
constexpr TFtpState kPhaseStates[] = {fsReady,           fsInternalReady,
                                      fsDnsLookup,       fsWaitingBanner,
                                      fsWaitingBanner,   fsConnected,
                                      fsWaitingResponse, fsWaitingResponse,
                                      fsWaitingResponse, fsWaitingResponse,
                                      fsWaitingResponse, fsWaitingResponse,
                                      fsNotConnected,    fsAbort};
constexpr const char* kDataPhaseNames[] = {"NoData",   "DataOpening",   "DataSecuring",
                                           "DataOpen", "DataStreaming", "DataClosed"};

}  // namespace

// Every change of what the client waits for passes here (and through the overload for
// the data connection), so a debug build can show the whole path of a request.
void TCustomFtpCli::SetState(TFtpPhase phase) {
    if (FPhase == phase) {
        return;
    }
    TraceState(kPhaseNames[FPhase], kPhaseNames[phase]);
    FPhase = phase;
    const TFtpState state = kPhaseStates[phase];
    if (FState != state) {
        FState = state;
        if (OnStateChange) {
            OnStateChange(this);
        }
    }
}

void TCustomFtpCli::SetState(TDataPhase phase) {
    if (FDataPhase == phase) {
        return;
    }
    TraceState(kDataPhaseNames[FDataPhase], kDataPhaseNames[phase]);
    FDataPhase = phase;
}

void TCustomFtpCli::TraceState([[maybe_unused]] const char* from, [[maybe_unused]] const char* to) {
#ifndef NDEBUG
    if (TraceStates) {
        Display(std::string("= ") + from + " -> " + to);
    }
#endif
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
    SetState(phAborting);
    FControlSocket->CancelDnsLookup();
    FDataSocket->Abort();
    FControlSocket->Abort();
    FReader.Clear();
    CloseLocalFile();
    FConnected = false;
    if (!FRequestDone) {
        FinishRequest(code);
    }
    SetState(phIdle);
}

void TCustomFtpCli::DiscardPostedCompletions() {
    FWindow->DiscardRequestDone();
}

// ---- deadlines ----

void TCustomFtpCli::ArmDeadline() {
    if (Timeout > 0) {
        FDeadlineTimer->start(Timeout * 1000);
    }
}

// While a transfer runs only silence counts: the final reply may take as long as the
// data take, as long as they keep moving.
bool TCustomFtpCli::DataSilenceCounts() const {
    return (FPhase == phFinalReply || FPhase == phFinalAccepted) && FDataPhase != dpClosed;
}

void TCustomFtpCli::DeadlineExpired() {
    if (FRequestDone) {
        return;
    }
    if (CurrentStep() == stQuit && FPhase == phReply) {
        // QUIT asks for the connection to end; a server that never says goodbye gets it
        // ended without, and whatever the request did before stays done.
        Display("! No answer to QUIT; connection closed");
        const std::weak_ptr<bool> alive = FAlive;
        FControlSocket->Abort();  // its closing reports the request
        if (!alive.expired() && !FRequestDone) {
            ReportStep(0);
        }
        return;
    }
    if (FPhase == phDataConnect) {
        // Only the server's data port stays silent (a firewall that drops); the control
        // connection still works and can say goodbye.
        FailDataConnection(WSAETIMEDOUT);
        return;
    }
    if (DataSilenceCounts()) {
        const auto limit = std::chrono::milliseconds(static_cast<long long>(Timeout) * 1000);
        const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - FLastProgress);
        if (quiet < limit) {
            FDeadlineTimer->start(static_cast<int>((limit - quiet).count()) + 1);
            return;
        }
    }
    AbortWith(426, "426 Timeout");
}

// Data moved: cheap enough to run for every block.
void TCustomFtpCli::Touch() {
    FLastProgress = std::chrono::steady_clock::now();
}

// ---- the control connection ----

void TCustomFtpCli::OpenStep() {
    FReader.Clear();
    SetState(phLookup);
    ArmDeadline();
    FControlSocket->DnsLookup(HostName);
}

void TCustomFtpCli::ControlDnsLookupDone(std::uint16_t error) {
    if (FPhase != phLookup) {
        return;
    }
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
    SetState(phConnecting);
    ArmDeadline();
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
    if (error != 0) {
        FLastResponse = WinsockLine(error);
        FStatusCode = 500;
        SetErrorMessage(FLastResponse);
        ReportStep(error);
        return;
    }
    FConnected = true;
    if (FPhase == phConnecting) {
        SetState(phBanner);
        ArmDeadline();
    }
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
    FReader.Append(buf, static_cast<std::size_t>(n));
    const std::weak_ptr<bool> alive = FAlive;
    TReplyLine line;
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

void TCustomFtpCli::HandleLine(const TReplyLine& line) {
    FLastResponse = line.text;
    if (line.kind == rkEnd) {
        FStatusCode = line.code;
    }
    const std::weak_ptr<bool> alive = FAlive;
    if (OnResponse) {
        OnResponse(this);
        if (alive.expired()) {
            return;
        }
    }
    Display("< " + line.text);
    const bool awaiting = FPhase == phBanner || FPhase == phReply || FPhase == phTransferReply ||
                          FPhase == phFinalReply || FPhase == phFinalAccepted;
    if (!awaiting || line.kind == rkText) {
        return;
    }
    // A reply that cannot be read, or that was sent before our command, leaves us out of
    // step with the server: whatever came next could be taken for the wrong answer.
    if (line.kind == rkMalformed) {
        AbortWith(500, "500 Malformed reply: " + Quoted(line.text));
        return;
    }
    if (line.early) {
        AbortWith(line.code == 421 ? 421 : 500,
                  line.code == 421 ? line.text
                                   : "500 Reply sent before the command: " + Quoted(line.text));
        return;
    }
    switch (FPhase) {
        case phBanner:
            BannerCheck(line.code);
            break;
        case phReply:
            ReplyCheck(line.code);
            break;
        case phTransferReply:
            TransferReplyCheck(line.code);
            break;
        default:
            FinalReplyCheck(line.code);
            break;
    }
}

void TCustomFtpCli::BannerCheck(int code) {
    if (!Accepts(code)) {
        FStepError = static_cast<std::uint16_t>(code);
        SetErrorMessage(FLastResponse);
        FControlSocket->Close();  // its closing reports the request
        return;
    }
    SetState(phConnected);
    const std::weak_ptr<bool> alive = FAlive;
    if (OnSessionConnected) {
        OnSessionConnected(this, 0);
        if (alive.expired()) {
            return;
        }
    }
    ReportStep(0);
}

bool TCustomFtpCli::Accepts(int code) const {
    const auto& ok = FStep->accepted;
    return ok[0] == 0 ? code < 500 : std::find(ok.begin(), ok.end(), code) != ok.end();
}

void TCustomFtpCli::ReplyCheck(int code) {
    if (!Accepts(code)) {
        FStepError = static_cast<std::uint16_t>(code);
        SetErrorMessage(FStep->refusal != nullptr ? FStep->refusal : FLastResponse);
    }
    if (Passive && code == 227) {
        FPasvResponse = FLastResponse;
    }
    switch (FStep->next) {
        case arDirectory:
            if (const auto dir = ParseQuotedDirectory(FLastResponse)) {
                FDirResult = *dir;
            }
            break;
        case arSize:
            if (const auto size = ParseSizeReply(FLastResponse)) {
                FSizeResult = *size;
            }
            break;
        case arCloseControl:
            FControlSocket->Close();  // its closing reports the request
            return;
        case arStartTls:
            if (FStepError == 0) {
                StartControlTls();
                return;
            }
            break;
        case arProtected:
            FDataProtected = FStepError == 0;
            break;
        default:
            break;
    }
    ReportStep(FStepError);
}

// RFC 4217 section 4: after 234 the next bytes on the connection are the TLS handshake.
// Anything the server sent behind its 234 line was not asked for and is dropped, so that
// no clear text can pass for an encrypted reply.
void TCustomFtpCli::StartControlTls() {
    FReader.Clear();
    FServerCertificate = {};
    SetState(phTlsHandshake);
    ArmDeadline();
    SecureControlSocket(*FControlSocket);
    FControlSocket->OnTlsDone = [this](TCustomWSocket*, std::uint16_t e) { ControlTlsDone(e); };
    if (!FControlSocket->StartTls()) {
        FailWithLine(kTlsHandshakeFailed, FControlSocket->TlsErrorText());
        FControlSocket->Close();
    }
}

void TCustomFtpCli::SecureControlSocket(TWSocket& socket) {
    socket.TlsHostName = HostName;
    socket.TlsCaFile = TlsCaFile;
    socket.TlsPinnedSha256 = TlsTrustedSha256;
}

void TCustomFtpCli::ControlTlsDone(std::uint16_t error) {
    FServerCertificate = FControlSocket->TlsPeerCertificate();
    if (FPhase != phTlsHandshake || FRequestDone) {
        return;
    }
    if (error != 0) {
        Display("! " + FControlSocket->TlsErrorText());
        FailWithLine(error, FControlSocket->TlsErrorText());
        return;
    }
    Display("! TLS connection established");
    ReportStep(0);
}

void TCustomFtpCli::ControlSessionClosed(std::uint16_t error) {
    const std::weak_ptr<bool> alive = FAlive;
    const bool aborting = FPhase == phAborting;
    FDataProtected = false;
    if (FConnected) {
        FConnected = false;
        if (!aborting) {
            SetState(phClosed);
        }
        if (OnSessionClosed) {
            OnSessionClosed(this, error);
            if (alive.expired()) {
                return;
            }
        }
    }
    if (!aborting) {
        SetState(phBetweenSteps);
    }
    if (!FRequestDone) {
        std::uint16_t code = FStepError;
        if (code == 0 && CurrentStep() != stQuit && !aborting) {
            // The server went away in the middle of a request: never a success.
            code = error != 0 ? error : static_cast<std::uint16_t>(WSAECONNABORTED);
            FLastResponse = WinsockLine(code);
            FStatusCode = 500;
            SetErrorMessage(FLastResponse);
        }
        ReportStep(code);
    }
    if (!aborting && FRequestDone) {
        SetState(phIdle);
    }
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

}  // namespace tessel

#include "publish/WSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QScopeGuard>
#include <QSocketNotifier>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "publish/WSocketErrors.h"
#include "publish/WSocketWindow.h"

namespace tessel {

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool StartsWithDigit(const std::string& s) {
    return !s.empty() && std::isdigit(static_cast<unsigned char>(s[0])) != 0;
}

int LastSystemError() {
    return WinsockErrorFromErrno(errno);
}

// How many OnDataSent calls one write notification may make in a row before the rest
// waits for the next turn of the event loop.
constexpr int kDataSentBatch = 64;

}  // namespace

TCustomWSocket::TCustomWSocket() : FWindow(std::make_unique<TSocketWindow>(this)) {}

TCustomWSocket::~TCustomWSocket() {
    FDestroying = true;
    *FAlive = false;
    CancelDnsLookup();
    if (FHSocket != INVALID_SOCKET) {
        InternalClose(false, 0);
    }
}

void TCustomWSocket::SetAddr(const std::string& value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    FAddrStr = Trim(value);
    FAddrAssigned = !FAddrStr.empty();
}

void TCustomWSocket::SetPort(const std::string& value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    FPortStr = Trim(value);
    FPortAssigned = !FPortStr.empty();
}

void TCustomWSocket::SetProto(const std::string& value) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    FProtoStr = Trim(value);
    FProtoAssigned = !FProtoStr.empty();
}

void TCustomWSocket::ChangeState(TSocketState newState) {
    const TSocketState old = FState;
    FState = newState;
    if (old != newState && OnChangeState) {
        OnChangeState(this, old, newState);
    }
}

void TCustomWSocket::RaiseException(const std::string& message) {
    FLastErrorText = message;
    if (OnError) {
        OnError(this);
    } else {
        throw ESocketException(message);
    }
}

void TCustomWSocket::SocketError(const std::string& operation, int code) {
    FLastError = code;
    if (code == WSAECONNRESET || code == WSAENOTCONN) {
        DeleteNotifiers();
        if (FHSocket != INVALID_SOCKET) {
            ::close(FHSocket);
            FHSocket = INVALID_SOCKET;
        }
        ChangeState(wsClosed);
    }
    RaiseException("Error " + std::to_string(code) + " in function " + operation + "\r\n" +
                   WSocketErrorDesc(code));
}

// Resolvers throw their own texts; Connect and Listen prefix them.
std::uint32_t TCustomWSocket::ResolveHost(const std::string& host, const std::string& context) {
    if (host.empty() || host.size() > 256) {
        throw ESocketException(context + "WSocketResolveHost: Invalid Hostname.");
    }
    in_addr addr{};
    if (inet_pton(AF_INET, host.c_str(), &addr) == 1) {
        return addr.s_addr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || list == nullptr) {
        throw ESocketException(context + "WSocketResolveHost: Cannot convert host address '" +
                               host + "'");
    }
    const std::uint32_t result = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(list);
    return result;
}

std::uint16_t TCustomWSocket::ResolvePort(const std::string& port, const std::string& context) {
    if (port.empty() || port.size() > 31) {
        throw ESocketException(context + "WSocketResolvePort: Invalid Port.");
    }
    if (StartsWithDigit(port)) {
        char* end = nullptr;
        const long value = std::strtol(port.c_str(), &end, 10);
        if (*end != '\0' || value < 0 || value > 65535) {
            throw ESocketException(context + "WSocketResolvePort: Cannot convert port '" + port +
                                   "'");
        }
        return htons(static_cast<std::uint16_t>(value));
    }
    const servent* service = getservbyname(port.c_str(), FDatagram ? "udp" : "tcp");
    if (service == nullptr) {
        throw ESocketException(context + "WSocketResolvePort: Cannot convert port '" + port + "'");
    }
    return static_cast<std::uint16_t>(service->s_port);
}

int TCustomWSocket::ResolveProto(const std::string& context) {
    if (FProtoStr.empty() || FProtoStr.size() > 31) {
        throw ESocketException(context + "WSocketResolveProto: Invalid Protocol.");
    }
    if (StartsWithDigit(FProtoStr)) {
        return std::atoi(FProtoStr.c_str());
    }
    const protoent* proto = getprotobyname(FProtoStr.c_str());
    if (proto == nullptr) {
        throw ESocketException(context + "WSocketResolveProto: Cannot convert protocol '" +
                               FProtoStr + "'");
    }
    return proto->p_proto;
}

void TCustomWSocket::Connect() {
    InternalConnect(FAddrAssigned ? FAddrStr : std::string(),
                    FPortAssigned ? FPortStr : std::string());
}

void TCustomWSocket::InternalConnect(const std::string& host, const std::string& port) {
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (port.empty()) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (host.empty()) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    if (!FProtoAssigned) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    try {
        FDatagram = ResolveProto("") == IPPROTO_UDP;
        sin.sin_port = ResolvePort(port, "");
        sin.sin_addr.s_addr = ResolveHost(host, "");
    } catch (const ESocketException& e) {
        RaiseException(std::string("connect: ") + e.what());
        return;
    }
    FHSocket =
        ::socket(AF_INET, (FDatagram ? SOCK_DGRAM : SOCK_STREAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("Connect (socket)", LastSystemError());
        return;
    }
    FCloseInvoked = false;
    FReadCount = 0;
    ChangeState(wsOpened);
    if (FDatagram) {
        BindAnyPort();
        const int on = 1;
        if (sin.sin_addr.s_addr == INADDR_BROADCAST &&
            setsockopt(FHSocket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
            SocketError("setsockopt(SO_BROADCAST)", LastSystemError());
            return;
        }
        if (::connect(FHSocket, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0) {
            SocketError("Connect", LastSystemError());
            return;
        }
        CreateNotifiers(false);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    SetLingerOption();
    const int on = 1;
    if (setsockopt(FHSocket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) {
        SocketError("setsockopt(SO_KEEPALIVE)", LastSystemError());
        return;
    }
    if (setsockopt(FHSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        SocketError("setsockopt(SO_REUSEADDR)", LastSystemError());
        return;
    }
    ChangeState(wsConnecting);
    if (::connect(FHSocket, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0 &&
        errno != EINPROGRESS) {
        // Refusals on loopback can come back at once; they are still reported later.
        FWindow->PostConnectFailure(LastSystemError());
        return;
    }
    CreateNotifiers(true);
}

void TCustomWSocket::Listen() {
    if (!FPortAssigned) {
        SocketError("listen: port not assigned", WSAEINVAL);
        return;
    }
    if (!FProtoAssigned) {
        SocketError("listen: protocol not assigned", WSAEINVAL);
        return;
    }
    if (!FAddrAssigned) {
        SocketError("listen: address not assigned", WSAEINVAL);
        return;
    }
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    try {
        FDatagram = ResolveProto("") == IPPROTO_UDP;
        sin.sin_port = ResolvePort(FPortStr, "");
        sin.sin_addr.s_addr = ResolveHost(FAddrStr, "");
    } catch (const ESocketException& e) {
        RaiseException(std::string("listen: ") + e.what());
        return;
    }
    FHSocket =
        ::socket(AF_INET, (FDatagram ? SOCK_DGRAM : SOCK_STREAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("socket", LastSystemError());
        return;
    }
    FCloseInvoked = false;
    ChangeState(wsOpened);
    if (!FDatagram) {
        SetLingerOption();
    }
    if (::bind(FHSocket, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0) {
        SocketError("Bind", LastSystemError());
        return;
    }
    ChangeState(wsBound);
    if (!FDatagram) {
        if (::listen(FHSocket, 5) != 0) {
            SocketError("Listen", LastSystemError());
            return;
        }
        ChangeState(wsListening);
    }
    CreateNotifiers(false);
}

TSocket TCustomWSocket::Accept() {
    if (FState != wsListening) {
        SocketError("not a listening socket", WSAEINVAL);
        return INVALID_SOCKET;
    }
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const TSocket h =
        ::accept4(FHSocket, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (h == INVALID_SOCKET) {
        SocketError("Accept", LastSystemError());
        return INVALID_SOCKET;
    }
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    FAcceptedPeerAddr = text;
    return h;
}

void TCustomWSocket::Dup(TSocket newHSocket) {
    if (newHSocket == INVALID_SOCKET || newHSocket < 0) {
        SocketError("Dup", WSAEINVAL);
        return;
    }
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        DeleteNotifiers();
        if (::close(FHSocket) != 0) {
            FHSocket = INVALID_SOCKET;
            SocketError("Dup (closesocket)", LastSystemError());
            return;
        }
    }
    FHSocket = newHSocket;
    FCloseInvoked = false;
    FReadCount = 0;
    int on = 1;
    ioctl(FHSocket, FIONBIO, &on);
    SetLingerOption();
    CreateNotifiers(false);
    ChangeState(wsConnected);
}

int TCustomWSocket::Send(const void* data, int length) {
    if (FState != wsConnected) {
        SocketError("Send", WSAENOTCONN);
        return -1;
    }
    const char* p = static_cast<const char*>(data);
    int left = std::max(length, 0);
    if (FBufList.empty()) {
        FBufList.emplace_back(FSendBlockSize);
    }
    while (left > 0) {
        if (FBufList.back().IsFull()) {
            FBufList.emplace_back(FSendBlockSize);
        }
        const int n = FBufList.back().Write(p, left);
        p += n;
        left -= n;
    }
    auto alive = AliveToken();
    TryToSend();
    if (alive.expired() || FState != wsConnected) {
        return -1;
    }
    if (!SendQueueEmpty()) {
        UpdateWriteNotifier();
    } else if (FInDataSent) {
        FDataSentOwed = true;  // fired by the running dispatch once this handler returns
    } else {
        FWindow->PostWrite();
    }
    return length;
}

int TCustomWSocket::SendStr(const std::string& text) {
    return Send(text.data(), static_cast<int>(text.size()));
}

void TCustomWSocket::TryToSend() {
    while (FHSocket != INVALID_SOCKET && !FBufList.empty()) {
        TBuffer& block = FBufList.front();
        int len = 0;
        const char* p = block.Peek(len);
        if (len > 0) {
            const int flags = MSG_NOSIGNAL | (SendFlags == wsSendUrgent ? MSG_OOB : 0);
            const ssize_t sent = ::send(FHSocket, p, static_cast<std::size_t>(len), flags);
            if (sent < 0) {
                const int code = LastSystemError();
                if (code == WSAEWOULDBLOCK) {
                    return;
                }
                FLastError = code;
                if (code == WSAEINVAL || code == WSAENOTSOCK || code == WSAECONNRESET ||
                    code == WSAENOTCONN) {
                    InternalClose(false, static_cast<std::uint16_t>(code));
                } else {
                    SocketError("TryToSend failed", code);
                }
                return;
            }
            block.Remove(static_cast<int>(sent));
            if (sent < len) {
                return;
            }
        }
        if (FBufList.size() == 1) {
            return;  // the last block stays; the queue counts as empty
        }
        FBufList.pop_front();
    }
}

int TCustomWSocket::SystemReceive(void* buffer, int size) {
    if (FHSocket == INVALID_SOCKET) {
        FLastError = WSAENOTSOCK;
        return -1;
    }
    const ssize_t n = ::recv(FHSocket, buffer, static_cast<std::size_t>(std::max(size, 0)), 0);
    if (n < 0) {
        FLastError = LastSystemError();
        return -1;
    }
    FReadCount += n;
    return static_cast<int>(n);
}

int TCustomWSocket::Receive(void* buffer, int size) {
    return SystemReceive(buffer, size);
}

std::string TCustomWSocket::ReceiveStr() {
    const int count = RcvdCount();
    if (count <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(count), '\0');
    const int n = Receive(text.data(), count);
    text.resize(static_cast<std::size_t>(std::max(n, 0)));
    return text;
}

int TCustomWSocket::SystemRcvdCount() {
    int count = 0;
    if (FHSocket == INVALID_SOCKET || ioctl(FHSocket, FIONREAD, &count) != 0) {
        return 0;
    }
    return count;
}

int TCustomWSocket::RcvdCount() {
    return SystemRcvdCount();
}

void TCustomWSocket::Close() {
    InternalClose(true, 0);
}

void TCustomWSocket::Abort() {
    CancelDnsLookup();
    FBufList.clear();
    if (FHSocket != INVALID_SOCKET && FState == wsConnected) {
        LingerOnOff = wsLingerOff;
        SetLingerOption();
    }
    InternalClose(false, 0);
}

void TCustomWSocket::Shutdown(int how) {
    if (FHSocket != INVALID_SOCKET) {
        ::shutdown(FHSocket, how);
    }
}

void TCustomWSocket::InternalClose(bool shutdownFirst, std::uint16_t error) {
    if (FHSocket == INVALID_SOCKET && FState == wsClosed) {
        return;
    }
    DeleteNotifiers();
    if (FHSocket != INVALID_SOCKET) {
        if (shutdownFirst && FState == wsConnected) {
            ::shutdown(FHSocket, SHUT_WR);
        }
        // POSIX close does not block on a non-blocking socket unless a linger time asks it
        // to, so there is nothing to retry here.
        ::close(FHSocket);
        FHSocket = INVALID_SOCKET;
    }
    FBufList.clear();
    FDataSentOwed = false;
    auto alive = AliveToken();
    ChangeState(wsClosed);
    if (alive.expired()) {
        return;
    }
    if (!FCloseInvoked && !FDestroying) {
        FCloseInvoked = true;
        TriggerSessionClosed(error);
        if (alive.expired()) {
            return;
        }
    }
    if (FState == wsClosed && FHSocket == INVALID_SOCKET) {
        RestoreDefaults();
    }
}

void TCustomWSocket::RestoreDefaults() {
    FAddrAssigned = false;
    FPortAssigned = false;
    FProtoStr = "tcp";
    FProtoAssigned = true;
    FDatagram = false;
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
}

void TCustomWSocket::TriggerSessionClosed(std::uint16_t error) {
    if (OnSessionClosed) {
        OnSessionClosed(this, error);
    }
}

void TCustomWSocket::TriggerSessionConnected(std::uint16_t error) {
    if (OnSessionConnected) {
        OnSessionConnected(this, error);
    }
}

void TCustomWSocket::TriggerDataSent(std::uint16_t error) {
    if (OnDataSent) {
        OnDataSent(this, error);
    }
}

bool TCustomWSocket::TriggerDataAvailable(std::uint16_t error) {
    if (OnDataAvailable) {
        OnDataAvailable(this, error);
    } else {
        char scrap[1024];
        Receive(scrap, sizeof scrap);
    }
    return true;
}

int TCustomWSocket::BindAnyPort() {
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(FHSocket, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0) {
        RaiseException("winsock.bind failed, error #" + std::to_string(LastSystemError()));
        return 0;
    }
    socklen_t len = sizeof sin;
    if (::getsockname(FHSocket, reinterpret_cast<sockaddr*>(&sin), &len) != 0) {
        RaiseException("winsock.getsockname failed, error #" + std::to_string(LastSystemError()));
        return 0;
    }
    return ntohs(sin.sin_port);
}

std::string TCustomWSocket::SockAddrText(bool peer, bool port, const char* operation) {
    sockaddr_in sin{};
    socklen_t len = sizeof sin;
    const int rc = peer ? ::getpeername(FHSocket, reinterpret_cast<sockaddr*>(&sin), &len)
                        : ::getsockname(FHSocket, reinterpret_cast<sockaddr*>(&sin), &len);
    if (rc != 0) {
        SocketError(operation, LastSystemError());
        return {};
    }
    if (port) {
        return std::to_string(ntohs(sin.sin_port));
    }
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &sin.sin_addr, text, sizeof text);
    return text;
}

std::string TCustomWSocket::GetXAddr() {
    return SockAddrText(false, false, "GetSockName");
}

std::string TCustomWSocket::GetXPort() {
    return SockAddrText(false, true, "GetSockName");
}

std::string TCustomWSocket::GetPeerAddr() {
    return SockAddrText(true, false, "GetPeerName");
}

std::string TCustomWSocket::GetPeerPort() {
    return SockAddrText(true, true, "GetPeerName");
}

void TCustomWSocket::SetLingerOption() {
    if (LingerOnOff == wsLingerNoSet) {
        return;
    }
    if (FHSocket == INVALID_SOCKET) {
        RaiseException("Cannot set linger option at this time");
        return;
    }
    linger li{};
    li.l_onoff = LingerOnOff == wsLingerOn ? 1 : 0;
    li.l_linger = LingerTimeout;
    if (setsockopt(FHSocket, SOL_SOCKET, SO_LINGER, &li, sizeof li) != 0) {
        SocketError("setsockopt(SO_LINGER)", LastSystemError());
    }
}

void TCustomWSocket::Pause() {
    FPaused = true;
    if (FReadNotifier) {
        FReadNotifier->setEnabled(false);
    }
    if (FWriteNotifier) {
        FWriteNotifier->setEnabled(false);
    }
}

void TCustomWSocket::Resume() {
    FPaused = false;
    if (FReadNotifier) {
        FReadNotifier->setEnabled(true);
    }
    UpdateWriteNotifier();
}

void TCustomWSocket::CreateNotifiers(bool watchWrite) {
    DeleteNotifiers();
    FReadNotifier = std::make_unique<QSocketNotifier>(FHSocket, QSocketNotifier::Read);
    QObject::connect(FReadNotifier.get(), &QSocketNotifier::activated, FWindow.get(),
                     [this] { HandleReadReady(); });
    FWriteNotifier = std::make_unique<QSocketNotifier>(FHSocket, QSocketNotifier::Write);
    QObject::connect(FWriteNotifier.get(), &QSocketNotifier::activated, FWindow.get(),
                     [this] { HandleWriteReady(); });
    FWriteNotifier->setEnabled(watchWrite && !FPaused);
    FReadNotifier->setEnabled(!FPaused);
}

void TCustomWSocket::DeleteNotifiers() {
    FReadNotifier.reset();
    FWriteNotifier.reset();
}

void TCustomWSocket::UpdateWriteNotifier() {
    if (FWriteNotifier) {
        const bool wanted =
            FState == wsConnecting || !SendQueueEmpty() || (FDataSentOwed && !FInDataSent);
        FWriteNotifier->setEnabled(!FPaused && wanted);
    }
}

void TCustomWSocket::HandleWriteReady() {
    if (FPaused) {
        return;
    }
    if (FState == wsConnecting) {
        int error = 0;
        socklen_t len = sizeof error;
        getsockopt(FHSocket, SOL_SOCKET, SO_ERROR, &error, &len);
        HandleConnectResult(error == 0 ? 0 : WinsockErrorFromErrno(error));
        return;
    }
    HandlePostedWrite();
}

void TCustomWSocket::HandleConnectResult(int error) {
    if (FState != wsConnecting) {
        return;
    }
    auto alive = AliveToken();
    if (error == 0) {
        ChangeState(wsConnected);
        UpdateWriteNotifier();
        TriggerSessionConnected(0);
        return;
    }
    FLastError = error;
    TriggerSessionConnected(static_cast<std::uint16_t>(error));
    if (!alive.expired() && FState == wsConnecting) {
        InternalClose(false, static_cast<std::uint16_t>(error));
    }
}

bool TCustomWSocket::SendQueueEmpty() const {
    return FBufList.empty() || FBufList.front().IsEmpty();
}

void TCustomWSocket::HandlePostedWrite() {
    if (FState != wsConnected) {
        return;
    }
    auto alive = AliveToken();
    TryToSend();
    if (alive.expired() || FState != wsConnected) {
        return;
    }
    const bool fire = SendQueueEmpty() && OnDataSent;
    if (fire && FInDataSent) {
        FDataSentOwed = true;  // an event loop nested in OnDataSent: the running dispatch fires it
    } else {
        FDataSentOwed = false;
        if (fire) {
            FireDataSent();
            if (alive.expired()) {
                return;
            }
        }
    }
    UpdateWriteNotifier();
}

// A handler that sends one block from OnDataSent, which the system takes at once, is
// answered from this loop after it has returned instead of by one posted event and one
// poll per block: the event still never fires inside the Send that caused it. After a
// batch the rest goes through the write notifier, so timers and other sockets get
// their turn.
void TCustomWSocket::FireDataSent() {
    auto alive = AliveToken();
    FInDataSent = true;
    const auto done = qScopeGuard([this, alive] {
        if (!alive.expired()) {
            FInDataSent = false;
        }
    });
    int left = kDataSentBatch;
    do {
        FDataSentOwed = false;
        TriggerDataSent(0);
        if (alive.expired()) {
            return;
        }
    } while (FDataSentOwed && --left > 0 && FState == wsConnected && !FPaused && OnDataSent);
}

void TCustomWSocket::HandleReadReady() {
    if (FPaused || FHSocket == INVALID_SOCKET) {
        return;
    }
    if (FState == wsListening) {
        if (OnSessionAvailable) {
            OnSessionAvailable(this, 0);
        } else {
            const TSocket h = ::accept(FHSocket, nullptr, nullptr);
            if (h >= 0) {
                ::close(h);
            }
        }
        return;
    }
    if (FState == wsConnecting) {
        return;
    }
    char probe = 0;
    const ssize_t n = ::recv(FHSocket, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0 || (n == 0 && FDatagram)) {
        DoDataAvailable(0);
    } else if (n == 0) {
        DoClose(0);
    } else if (LastSystemError() != WSAEWOULDBLOCK) {
        DoClose(static_cast<std::uint16_t>(LastSystemError()));
    }
}

bool TCustomWSocket::DoDataAvailable(std::uint16_t error) {
    auto alive = AliveToken();
    const long long start = FReadCount;
    do {
        FLastError = 0;
        const long long before = FReadCount;
        TriggerDataAvailable(error);
        if (alive.expired()) {
            return false;
        }
        // A handler that reads nothing would otherwise be called for ever.
        if (FLastError != 0 || FHSocket == INVALID_SOCKET || FReadCount == before) {
            break;
        }
        // A peer that sends without pause must not hold the event loop: the rest waits
        // for the next read notification, after timers and other sockets had their turn.
    } while (FReadCount - start < kMaxReadPerEvent && RcvdCount() > 0);
    return true;
}

void TCustomWSocket::DoClose(std::uint16_t error) {
    if (FState == wsConnecting) {
        return;
    }
    auto alive = AliveToken();
    if (RcvdCount() > 0 && !DoDataAvailable(0)) {
        return;
    }
    if (!FCloseInvoked && FHSocket != INVALID_SOCKET) {
        FCloseInvoked = true;
        TriggerSessionClosed(error);
        if (alive.expired()) {
            return;
        }
    }
    if (FState != wsClosed || FHSocket != INVALID_SOCKET) {
        InternalClose(false, error);
    }
}

void WSocketCloseHandle(TSocket handle) {
    if (handle != INVALID_SOCKET) {
        ::close(handle);
    }
}

}  // namespace tessel

// Connecting through a SOCKS 5 proxy (RFC 1928, user name and password per RFC 1929).
// The proxy resolves the target name, so the request carries Addr as a domain name.

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

#include "publish/WSocket.h"
#include "publish/WSocketErrors.h"

namespace tessel {

namespace {

constexpr int kSocksVersionError = 20001;
constexpr int kSocksMethodError = 20002;
constexpr int kSocksAuthError = 20003;
constexpr int kSocksRequestError = 20004;
constexpr int kSocksAddressTypeError = 20005;
constexpr int kSocksReceiveError = 20006;
constexpr int kSocksTooMuchData = 20007;
constexpr int kSocksClosed = 20009;

// RFC 1928 and RFC 1929 carry these in one length byte.
constexpr std::size_t kSocksFieldMax = 255;

std::string RequestFailureText(int status) {
    static const char* const texts[] = {
        "general SOCKS server failure", "connection not allowed by ruleset",
        "network unreachable",          "host unreachable",
        "connection refused",           "time to live expired",
        "command not supported",        "address type not supported"};
    if (status >= 1 && status <= 8) {
        return texts[status - 1];
    }
    return "unassigned error #" + std::to_string(status);
}

}  // namespace

void TCustomSocksWSocket::SetSocksServer(const std::string& value) {
    if (State() != wsClosed) {
        RaiseException("Can't change socks server if not closed");
        return;
    }
    FSocksServer = value;
}

void TCustomSocksWSocket::SetSocksPort(const std::string& value) {
    if (State() != wsClosed) {
        RaiseException("Can't change socks port if not closed");
        return;
    }
    FSocksPort = value;
}

void TCustomSocksWSocket::Connect() {
    if (FSocksServer.empty()) {
        TCustomWSocket::Connect();
        return;
    }
    if (Port().empty()) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (Addr().empty()) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    // The protocol and the port count by value: "6" and "TCP" are tcp, "21abc" is no port.
    int proto = 0;
    try {
        proto = ResolveProto("");
        FSocksTargetPort = ntohs(ResolvePort(Port(), ""));
    } catch (const ESocketException& e) {
        RaiseException(std::string("connect: ") + e.what());
        return;
    }
    if (proto != IPPROTO_TCP) {
        RaiseException("tcp is the only protocol supported thru socks server");
        return;
    }
    if (Addr().size() > kSocksFieldMax) {
        RaiseException("socks: host name longer than 255 bytes");
        return;
    }
    if (SocksAuthentication == socksAuthenticateUsercode &&
        (SocksUsercode.size() > kSocksFieldMax || SocksPassword.size() > kSocksFieldMax)) {
        RaiseException("socks: user code or password longer than 255 bytes");
        return;
    }
    FSocksPhase = spNone;
    FSocksRcvd.clear();
    FSocksLeftover.clear();
    InternalConnect(FSocksServer, FSocksPort.empty() ? std::string("1080") : FSocksPort);
}

void TCustomSocksWSocket::Listen() {
    if (!FSocksServer.empty()) {
        RaiseException("listening is not supported thru socks server");
        return;
    }
    TCustomWSocket::Listen();
}

void TCustomSocksWSocket::TriggerSessionConnected(std::uint16_t error) {
    if (FSocksServer.empty() || FSocksPhase != spNone) {
        TCustomWSocket::TriggerSessionConnected(error);
        return;
    }
    if (OnSocksConnected) {
        auto alive = AliveToken();
        OnSocksConnected(this, error);
        if (alive.expired()) {
            return;
        }
    }
    if (error != 0) {
        TCustomWSocket::TriggerSessionConnected(error);
        return;
    }
    FSocksPhase = spGreeting;
    const char method = SocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
    const char greeting[] = {5, 1, method};
    Send(greeting, sizeof greeting);
}

bool TCustomSocksWSocket::TriggerDataAvailable(std::uint16_t error) {
    if (FSocksPhase == spNone) {
        return TCustomWSocket::TriggerDataAvailable(error);
    }
    char buf[600];
    const int n = SystemReceive(buf, sizeof buf);
    if (n <= 0) {
        if (LastError() != WSAEWOULDBLOCK) {
            SocksFail(kSocksReceiveError, "data receive error");
        }
        return false;
    }
    FSocksRcvd.append(buf, static_cast<std::size_t>(n));
    HandleSocksBytes();
    return false;
}

void TCustomSocksWSocket::HandleSocksBytes() {
    const auto byteAt = [this](std::size_t i) { return static_cast<unsigned char>(FSocksRcvd[i]); };
    if (FSocksPhase == spGreeting || FSocksPhase == spAuthenticating) {
        if (FSocksRcvd.size() < 2) {
            return;
        }
        if (FSocksRcvd.size() > 2) {
            // "availaible" (sic): the socket's error texts are kept as they have always read.
            SocksFail(kSocksTooMuchData, "too much data availaible");
            return;
        }
        if (FSocksPhase == spAuthenticating) {
            if (byteAt(1) != 0) {
                if (OnSocksAuthState) {
                    OnSocksAuthState(this, socksAuthFailure);
                }
                SocksFail(kSocksAuthError, "socks authentication failed");
                return;
            }
            if (OnSocksAuthState) {
                OnSocksAuthState(this, socksAuthSuccess);
            }
            SendSocksRequest();
            return;
        }
        if (byteAt(0) != 5) {
            SocksFail(kSocksVersionError, "socks version error");
            return;
        }
        if (byteAt(1) == 0) {
            if (OnSocksAuthState) {
                OnSocksAuthState(this, socksAuthNotRequired);
            }
            SendSocksRequest();
        } else if (byteAt(1) == 2) {
            if (OnSocksAuthState) {
                OnSocksAuthState(this, socksAuthStart);
            }
            FSocksPhase = spAuthenticating;
            FSocksRcvd.clear();
            std::string auth(1, '\x01');
            auth += static_cast<char>(SocksUsercode.size());
            auth += SocksUsercode;
            auth += static_cast<char>(SocksPassword.size());
            auth += SocksPassword;
            SendStr(auth);
        } else {
            // "authentification" (sic), kept on purpose like the text above.
            SocksFail(kSocksMethodError, "authentification method not acceptable");
        }
        return;
    }
    // spRequesting: version, status, reserved, address type, address, port.
    if (FSocksRcvd.size() < 2) {
        return;
    }
    if (byteAt(0) != 5) {
        SocksFail(kSocksVersionError, "socks version error");
        return;
    }
    if (byteAt(1) != 0) {
        SocksFail(kSocksRequestError, RequestFailureText(byteAt(1)));
        return;
    }
    if (FSocksRcvd.size() < 5) {
        return;
    }
    std::size_t length = 0;
    if (byteAt(3) == 1) {
        length = 4 + 4 + 2;
    } else if (byteAt(3) == 3) {
        length = 4 + 1 + byteAt(4) + 2;
    } else {
        SocksFail(kSocksAddressTypeError, "address type not supported");
        return;
    }
    if (FSocksRcvd.size() < length) {
        return;
    }
    FSocksLeftover = FSocksRcvd.substr(length);
    FSocksRcvd.clear();
    FSocksPhase = spNone;
    TCustomWSocket::TriggerSessionConnected(0);
}

void TCustomSocksWSocket::SendSocksRequest() {
    FSocksPhase = spRequesting;
    FSocksRcvd.clear();
    const std::string& host = Addr();
    std::string request = {5, 1, 0, 3};
    request += static_cast<char>(host.size());
    request += host;
    request += static_cast<char>(FSocksTargetPort >> 8);
    request += static_cast<char>(FSocksTargetPort & 0xFF);
    SendStr(request);
}

void TCustomSocksWSocket::SocksFail(int code, const std::string& msg) {
    FSocksPhase = spNone;
    FSocksRcvd.clear();
    auto alive = AliveToken();
    if (OnSocksError) {
        OnSocksError(this, code, msg);
        if (alive.expired()) {
            return;
        }
    }
    TCustomWSocket::TriggerSessionConnected(static_cast<std::uint16_t>(code));
    if (!alive.expired()) {
        Close();
    }
}

// A proxy that hangs up in the middle of the exchange has refused the connection: the
// caller waiting for OnSessionConnected must hear of it, not only of the close.
void TCustomSocksWSocket::TriggerSessionClosed(std::uint16_t error) {
    if (FSocksPhase != spNone) {
        FSocksPhase = spNone;
        FSocksRcvd.clear();
        auto alive = AliveToken();
        if (OnSocksError) {
            OnSocksError(this, kSocksClosed, "socks server closed the connection");
            if (alive.expired()) {
                return;
            }
        }
        TCustomWSocket::TriggerSessionConnected(kSocksClosed);
        if (alive.expired()) {
            return;
        }
    }
    TCustomWSocket::TriggerSessionClosed(error);
}

int TCustomSocksWSocket::RcvdCount() {
    return static_cast<int>(FSocksLeftover.size()) + SystemRcvdCount();
}

int TCustomSocksWSocket::Receive(void* buffer, int size) {
    if (FSocksLeftover.empty()) {
        return SystemReceive(buffer, size);
    }
    const std::size_t n =
        std::min(FSocksLeftover.size(), static_cast<std::size_t>(std::max(size, 0)));
    FSocksLeftover.copy(static_cast<char*>(buffer), n);
    FSocksLeftover.erase(0, n);
    AddReadCount(static_cast<long long>(n));
    return static_cast<int>(n);
}

}  // namespace tessel

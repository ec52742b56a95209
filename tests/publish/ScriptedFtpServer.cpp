#include "ScriptedFtpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace tessel::test {

namespace {

constexpr int kStepLimitMs = 10000;

int ListenOnLoopback(int& port, int backlog = 5) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
    listen(fd, backlog);
    socklen_t len = sizeof sin;
    getsockname(fd, reinterpret_cast<sockaddr*>(&sin), &len);
    port = ntohs(sin.sin_port);
    return fd;
}

int ConnectTo(const std::string& addr, int port, const std::string& from) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (!from.empty()) {
        sockaddr_in src{};
        src.sin_family = AF_INET;
        inet_pton(AF_INET, from.c_str(), &src.sin_addr);
        bind(fd, reinterpret_cast<sockaddr*>(&src), sizeof src);
    }
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, addr.c_str(), &sin.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A listener whose accept queue is full: the system drops further connection requests,
// as a firewall does, so a client's connect neither succeeds nor fails.
int DroppingLoopbackPort(int& port, int& filler) {
    const int listener = ListenOnLoopback(port, 0);
    filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_port = htons(static_cast<std::uint16_t>(port));
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(filler, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
    pollfd p{filler, POLLOUT, 0};
    poll(&p, 1, 1000);
    return listener;
}

int ClosedLoopbackPort() {
    int port = 0;
    const int fd = ListenOnLoopback(port);
    close(fd);
    return port;
}

std::string Replace(std::string text, const std::string& key, const std::string& value) {
    const auto pos = text.find(key);
    if (pos != std::string::npos) {
        text.replace(pos, key.size(), value);
    }
    return text;
}

}  // namespace

TAction Send(std::string text) {
    return {TAction::Send, std::move(text)};
}
TAction SendBytewise(std::string text) {
    return {TAction::SendBytewise, std::move(text)};
}
TAction Trickle(std::string text, std::size_t intervalMs) {
    return {TAction::Trickle, std::move(text), intervalMs};
}
TAction Repeat(std::string text, std::size_t intervalMs) {
    return {TAction::Repeat, std::move(text), intervalMs};
}
TAction Expect(std::string prefix) {
    return {TAction::Expect, std::move(prefix)};
}
TAction DataConnect() {
    return {TAction::DataConnect, {}};
}
TAction DataConnectFrom(std::string sourceAddr) {
    return {TAction::DataConnectFrom, std::move(sourceAddr)};
}
TAction PasvReply(std::string format) {
    return {TAction::PasvReply, std::move(format)};
}
TAction PasvReplyRefused(std::string format) {
    return {TAction::PasvReplyRefused, std::move(format)};
}
TAction PasvReplyDropped(std::string format) {
    return {TAction::PasvReplyDropped, std::move(format)};
}
TAction DataAccept() {
    return {TAction::DataAccept, {}};
}
TAction DataRead() {
    return {TAction::DataRead, {}};
}
TAction DataReadSome(std::size_t count) {
    return {TAction::DataReadSome, {}, count};
}
TAction DataSend(std::string text) {
    return {TAction::DataSend, std::move(text)};
}
TAction DataRepeat(std::string text) {
    return {TAction::DataRepeat, std::move(text)};
}
TAction DataClose() {
    return {TAction::DataClose, {}};
}
TAction CloseControl() {
    return {TAction::CloseControl, {}};
}
TAction Hang() {
    return {TAction::Hang, {}};
}

TScriptedFtpServer::TScriptedFtpServer(std::vector<TAction> script) : FScript(std::move(script)) {
    FListener = ListenOnLoopback(FPort);
    FThread = std::thread([this] { Run(); });
}

TScriptedFtpServer::~TScriptedFtpServer() {
    FStop = true;
    Join();
}

void TScriptedFtpServer::Join() {
    if (FThread.joinable()) {
        FThread.join();
    }
}

std::vector<std::string> TScriptedFtpServer::Commands() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FCommands;
}

std::string TScriptedFtpServer::Data() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FData;
}

std::string TScriptedFtpServer::Failure() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FFailure;
}

void TScriptedFtpServer::Fail(const std::string& why) {
    std::lock_guard<std::mutex> lock(FMutex);
    if (FFailure.empty()) {
        FFailure = why;
    }
    FFailed = true;
}

void TScriptedFtpServer::CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

bool TScriptedFtpServer::WaitReadable(int fd, int milliseconds) {
    for (int waited = 0; waited < milliseconds && !FStop; waited += 50) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) > 0) {
            return true;
        }
    }
    return false;
}

bool TScriptedFtpServer::WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        if (FStop || fd < 0) {
            return false;
        }
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, 50) <= 0) {
            continue;
        }
        const ssize_t n =
            send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void TScriptedFtpServer::Run() {
    if (WaitReadable(FListener, kStepLimitMs)) {
        FControl = accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
        const int on = 1;
        setsockopt(FControl, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (const auto& action : FScript) {
            if (FFailed || FStop) {
                break;
            }
            Play(action);
        }
    } else {
        Fail("the client never connected");
    }
    CloseFd(FDataFd);
    CloseFd(FQueueFiller);
    CloseFd(FPasvListener);
    CloseFd(FControl);
    CloseFd(FListener);
}

std::string TScriptedFtpServer::ReadLine() {
    while (FLineBuffer.find('\n') == std::string::npos) {
        if (!WaitReadable(FControl, kStepLimitMs)) {
            return "<timeout>";
        }
        char buf[512];
        const ssize_t n = recv(FControl, buf, sizeof buf, 0);
        if (n <= 0) {
            return "<closed>";
        }
        FLineBuffer.append(buf, static_cast<std::size_t>(n));
    }
    const auto lf = FLineBuffer.find('\n');
    std::string line = FLineBuffer.substr(0, lf);
    FLineBuffer.erase(0, lf + 1);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

void TScriptedFtpServer::Play(const TAction& action) {
    switch (action.kind) {
        case TAction::Send:
            WriteAll(FControl, action.text);
            break;
        case TAction::SendBytewise:
        case TAction::Trickle:
            for (char c : action.text) {
                if (!WriteAll(FControl, std::string(1, c))) {
                    break;
                }
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(action.kind == TAction::Trickle ? action.count : 1));
            }
            break;
        case TAction::Repeat:
            while (WriteAll(FControl, action.text)) {
                if (action.count > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(action.count));
                }
            }
            break;
        case TAction::Expect: {
            const std::string line = ReadLine();
            if (line.front() != '<') {
                std::lock_guard<std::mutex> lock(FMutex);
                FCommands.push_back(line);
            }
            if (line.rfind(action.text, 0) != 0) {
                Fail("expected " + action.text + ", got " + line);
            }
            unsigned a, b, c, d, p1, p2;
            if (std::sscanf(line.c_str(), "PORT %u,%u,%u,%u,%u,%u", &a, &b, &c, &d, &p1, &p2) ==
                6) {
                FPortAddr = std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) +
                            "." + std::to_string(d);
                FPortPort = static_cast<int>(p1 * 256 + p2);
            }
            break;
        }
        case TAction::DataConnect:
            FDataFd = ConnectTo(FPortAddr, FPortPort, {});
            if (FDataFd < 0) {
                Fail("cannot connect to the PORT address");
            }
            break;
        case TAction::DataConnectFrom: {
            int thief = ConnectTo(FPortAddr, FPortPort, action.text);
            if (thief < 0) {
                Fail("the thief could not even connect");
                break;
            }
            char c;
            if (!WaitReadable(thief, kStepLimitMs) || recv(thief, &c, 1, 0) > 0) {
                Fail("a connection from " + action.text + " was not turned away");
            }
            CloseFd(thief);
            break;
        }
        case TAction::PasvReply:
        case TAction::PasvReplyRefused:
        case TAction::PasvReplyDropped: {
            int port = 0;
            if (action.kind == TAction::PasvReply) {
                FPasvListener = ListenOnLoopback(port);
            } else if (action.kind == TAction::PasvReplyDropped) {
                FPasvListener = DroppingLoopbackPort(port, FQueueFiller);
            } else {
                port = ClosedLoopbackPort();
            }
            std::string text = Replace(action.text, "{p1}", std::to_string(port / 256));
            WriteAll(FControl, Replace(text, "{p2}", std::to_string(port % 256)));
            break;
        }
        case TAction::DataAccept:
            if (!WaitReadable(FPasvListener, kStepLimitMs)) {
                Fail("no passive data connection");
                break;
            }
            FDataFd = accept4(FPasvListener, nullptr, nullptr, SOCK_CLOEXEC);
            break;
        case TAction::DataRead:
        case TAction::DataReadSome: {
            std::size_t got = 0;
            while (action.kind == TAction::DataRead || got < action.count) {
                if (!WaitReadable(FDataFd, kStepLimitMs)) {
                    Fail("data connection stalled");
                    break;
                }
                char buf[8192];
                const ssize_t n = recv(FDataFd, buf, sizeof buf, 0);
                if (n <= 0) {
                    break;
                }
                got += static_cast<std::size_t>(n);
                std::lock_guard<std::mutex> lock(FMutex);
                FData.append(buf, static_cast<std::size_t>(n));
            }
            break;
        }
        case TAction::DataSend:
            WriteAll(FDataFd, action.text);
            break;
        case TAction::DataRepeat:
            while (WriteAll(FDataFd, action.text)) {
            }
            break;
        case TAction::DataClose:
            CloseFd(FDataFd);
            break;
        case TAction::CloseControl:
            CloseFd(FControl);
            break;
        case TAction::Hang:
            while (!FStop && WaitReadable(FControl, 30000)) {
                char buf[512];
                if (recv(FControl, buf, sizeof buf, 0) <= 0) {
                    break;
                }
            }
            break;
    }
}

}  // namespace tessel::test

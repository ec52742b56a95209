#include "TlsFtpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "TestCertificates.h"

namespace tessel::test {

namespace {

int Listen(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
    listen(fd, 1);
    socklen_t len = sizeof sin;
    getsockname(fd, reinterpret_cast<sockaddr*>(&sin), &len);
    port = ntohs(sin.sin_port);
    return fd;
}

// Accepts within ten seconds; every later read or write on it gives up after ten more.
int AcceptSoon(int listener) {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) {
        return -1;
    }
    const int fd = accept(listener, nullptr, nullptr);
    timeval limit{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    return fd;
}

std::string ReadPlainLine(int fd) {
    std::string line;
    char c = 0;
    while (recv(fd, &c, 1, 0) == 1 && c != '\n') {
        if (c != '\r') {
            line += c;
        }
    }
    return line;
}

std::string ReadTlsLine(SSL* ssl) {
    std::string line;
    char c = 0;
    while (SSL_read(ssl, &c, 1) == 1 && c != '\n') {
        if (c != '\r') {
            line += c;
        }
    }
    return line;
}

void Reply(SSL* ssl, const std::string& text) {
    const std::string line = text + "\r\n";
    SSL_write(ssl, line.data(), static_cast<int>(line.size()));
}

}  // namespace

TTlsFtpPeer::TTlsFtpPeer(const TTestCertificate& cert, std::string payload, bool closeNotifyOnData,
                         std::string injected)
    : FCertFile(cert.certFile.string()),
      FKeyFile(cert.keyFile.string()),
      FPayload(std::move(payload)),
      FCloseNotify(closeNotifyOnData),
      FInjected(std::move(injected)) {
    FListener = Listen(FPort);
    FThread = std::thread([this] { Run(); });
}

TTlsFtpPeer::~TTlsFtpPeer() {
    FStop = true;
    if (FThread.joinable()) {
        FThread.join();
    }
    close(FListener);
}

std::vector<std::string> TTlsFtpPeer::Commands() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FCommands;
}

void TTlsFtpPeer::Run() {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_file(ctx, FCertFile.c_str(), SSL_FILETYPE_PEM);
    SSL_CTX_use_PrivateKey_file(ctx, FKeyFile.c_str(), SSL_FILETYPE_PEM);
    const int control = AcceptSoon(FListener);
    SSL* ssl = nullptr;
    int dataListener = -1;
    if (control >= 0) {
        const std::string hello = "220 TLS test peer\r\n";
        send(control, hello.data(), hello.size(), MSG_NOSIGNAL);
        const std::string auth = ReadPlainLine(control);
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FCommands.push_back(auth);
        }
        const std::string go = "234 Go ahead\r\n" + FInjected;
        send(control, go.data(), go.size(), MSG_NOSIGNAL);
        ssl = SSL_new(ctx);
        SSL_set_fd(ssl, control);
        if (auth != "AUTH TLS" || SSL_accept(ssl) != 1) {
            FStop = true;
        }
    }
    while (ssl != nullptr && !FStop) {
        const std::string cmd = ReadTlsLine(ssl);
        if (cmd.empty()) {
            break;
        }
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FCommands.push_back(cmd);
        }
        const std::string verb = cmd.substr(0, 4);
        if (verb == "USER") {
            Reply(ssl, "331 Password please");
        } else if (verb == "PASS") {
            Reply(ssl, "230 Logged in");
        } else if (verb == "PASV") {
            int port = 0;
            dataListener = Listen(port);
            Reply(ssl, "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," +
                           std::to_string(port % 256) + ")");
        } else if (verb == "RETR") {
            const int data = AcceptSoon(dataListener);
            Reply(ssl, "150 Sending");
            SSL* dataSsl = SSL_new(ctx);
            SSL_set_fd(dataSsl, data);
            if (SSL_accept(dataSsl) == 1) {
                FDataReused = SSL_session_reused(dataSsl) == 1;
                SSL_write(dataSsl, FPayload.data(), static_cast<int>(FPayload.size()));
                if (FCloseNotify) {
                    SSL_shutdown(dataSsl);
                }
            }
            SSL_free(dataSsl);
            close(data);  // without SSL_shutdown: the end of the data cannot be told from a cut
            Reply(ssl, "226 Done");
        } else if (verb == "QUIT") {
            Reply(ssl, "221 Bye");
            break;
        } else {
            Reply(ssl, "200 OK");
        }
    }
    if (dataListener >= 0) {
        close(dataListener);
    }
    SSL_free(ssl);
    if (control >= 0) {
        close(control);
    }
    SSL_CTX_free(ctx);
}

}  // namespace tessel::test

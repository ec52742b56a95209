#pragma once

// A small explicit-FTPS server for the cases no real server will play: it logs in anyone,
// answers PASV, and for RETR sends a payload on a protected data connection that it ends
// with or without a TLS close_notify. One client, one download, then QUIT.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessel::test {

struct TTestCertificate;

class TTlsFtpPeer {
  public:
    // injected: clear text sent right behind the 234 reply, before the handshake.
    TTlsFtpPeer(const TTestCertificate& cert, std::string payload, bool closeNotifyOnData,
                std::string injected = {});
    ~TTlsFtpPeer();
    TTlsFtpPeer(const TTlsFtpPeer&) = delete;
    TTlsFtpPeer& operator=(const TTlsFtpPeer&) = delete;

    int Port() const { return FPort; }
    std::vector<std::string> Commands();
    // Whether the data connection resumed the control connection's TLS session.
    bool DataSessionReused() const { return FDataReused; }

  private:
    void Run();

    std::string FCertFile;
    std::string FKeyFile;
    std::string FPayload;
    bool FCloseNotify;
    std::string FInjected;
    int FListener = -1;
    int FPort = 0;
    std::atomic<bool> FDataReused{false};
    std::atomic<bool> FStop{false};
    std::mutex FMutex;
    std::vector<std::string> FCommands;
    std::thread FThread;
};

}  // namespace tessel::test

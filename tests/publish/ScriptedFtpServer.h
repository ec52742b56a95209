#pragma once

// A misbehaving FTP server on demand: it plays a script of replies and data-connection
// moves against one client on 127.0.0.1, records every command it receives and the
// bytes sent to it, and notes where the client departed from the script.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessel::test {

struct TAction {
    enum TKind {
        Send,              // text on the control connection
        SendBytewise,      // the same, one byte per write
        Trickle,           // the same, one byte every count milliseconds
        Repeat,            // text again and again, count ms apart, until the client leaves
        Expect,            // a command line starting with text
        DataConnect,       // connect to the address of the last PORT command
        DataConnectFrom,   // the same from source address text; must be turned away
        PasvReply,         // listen, then send text with {p1} and {p2} filled in
        PasvReplyRefused,  // the same with a port where nothing listens
        PasvReplyDropped,  // the same with a port that drops connection requests
        DataAccept,        // accept the client's passive data connection
        DataRead,          // read the data connection up to its end
        DataReadSome,      // read at least count bytes of it
        DataSend,          // text on the data connection
        DataRepeat,        // text on the data connection until the client closes it
        DataClose,
        CloseControl,
        Hang  // answer nothing more; wait for the client to leave
    };
    TKind kind;
    std::string text;
    std::size_t count = 0;
};

TAction Send(std::string text);
TAction SendBytewise(std::string text);
TAction Trickle(std::string text, std::size_t intervalMs);
TAction Repeat(std::string text, std::size_t intervalMs);
TAction Expect(std::string prefix);
TAction DataConnect();
TAction DataConnectFrom(std::string sourceAddr);
TAction PasvReply(std::string format);
TAction PasvReplyRefused(std::string format);
TAction PasvReplyDropped(std::string format);
TAction DataAccept();
TAction DataRead();
TAction DataReadSome(std::size_t count);
TAction DataSend(std::string text);
TAction DataRepeat(std::string text);
TAction DataClose();
TAction CloseControl();
TAction Hang();

class TScriptedFtpServer {
  public:
    explicit TScriptedFtpServer(std::vector<TAction> script);
    ~TScriptedFtpServer();
    TScriptedFtpServer(const TScriptedFtpServer&) = delete;
    TScriptedFtpServer& operator=(const TScriptedFtpServer&) = delete;

    int Port() const { return FPort; }
    // Waits for the script to end (or stops it) and returns what it saw.
    void Join();
    std::vector<std::string> Commands();
    std::string Data();
    std::string Failure();

  private:
    void Run();
    void Play(const TAction& action);
    bool WaitReadable(int fd, int milliseconds);
    // Writes all of text unless the peer leaves or the script is stopped.
    bool WriteAll(int fd, const std::string& text);
    std::string ReadLine();
    void Fail(const std::string& why);
    void CloseFd(int& fd);

    std::vector<TAction> FScript;
    std::thread FThread;
    std::atomic<bool> FStop{false};
    std::mutex FMutex;
    std::vector<std::string> FCommands;
    std::string FData;
    std::string FFailure;
    int FListener = -1;
    int FControl = -1;
    int FPasvListener = -1;
    int FQueueFiller = -1;  // holds the only place in FPasvListener's queue
    int FDataFd = -1;
    int FPort = 0;
    std::string FPortAddr;
    int FPortPort = 0;
    std::string FLineBuffer;
    bool FFailed = false;
};

}  // namespace tessel::test

#pragma once

// An event-driven TCP (or UDP) socket on the thread's Qt event loop: non-blocking POSIX
// calls, readiness from QSocketNotifier, follow-up work posted to the socket's own
// receiver so that events never fire inside the call that caused them (except a dotted
// address "lookup", which is answered at once). Errors use Winsock numbers and texts.

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/Exceptions.h"
#include "publish/TlsTypes.h"
#include "publish/WSockbuf.h"

class QSocketNotifier;

namespace tessel {

class ESocketException : public ETesselError {
  public:
    using ETesselError::ETesselError;
};

enum TSocketState {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed
};
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { socksAuthStart, socksAuthSuccess, socksAuthFailure, socksAuthNotRequired };

using TSocket = int;
constexpr TSocket INVALID_SOCKET = -1;

class TSocketWindow;
struct TDnsTicket;

class TCustomWSocket {
  public:
    using TNotifyError = std::function<void(TCustomWSocket* sender, std::uint16_t error)>;

    TCustomWSocket();
    virtual ~TCustomWSocket();
    TCustomWSocket(const TCustomWSocket&) = delete;
    TCustomWSocket& operator=(const TCustomWSocket&) = delete;

    const std::string& Addr() const { return FAddrStr; }
    void SetAddr(const std::string& value);
    const std::string& Port() const { return FPortStr; }
    void SetPort(const std::string& value);
    const std::string& Proto() const { return FProtoStr; }
    void SetProto(const std::string& value);

    const std::string& DnsResult() const { return FDnsResult; }
    const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
    TSocketState State() const { return FState; }
    long long ReadCount() const { return FReadCount; }
    virtual int RcvdCount();
    int LastError() const { return FLastError; }
    // The full text of the last error reported through OnError or ESocketException.
    const std::string& LastErrorText() const { return FLastErrorText; }
    TSocket HSocket() const { return FHSocket; }

    // The most one read notification takes from the system before the event loop runs on.
    static constexpr long long kMaxReadPerEvent = 64 * 1024;

    bool MultiThreaded = false;
    int FlushTimeout = 60;
    TSocketSendFlags SendFlags = wsSendNormal;
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;

    TNotifyError OnDataAvailable;
    TNotifyError OnDataSent;
    TNotifyError OnSessionClosed;
    TNotifyError OnSessionAvailable;
    TNotifyError OnSessionConnected;
    TNotifyError OnDnsLookupDone;
    std::function<void(TCustomWSocket* sender, TSocketState oldState, TSocketState newState)>
        OnChangeState;
    std::function<void(TCustomWSocket* sender)> OnError;

    void DnsLookup(const std::string& hostName);
    void ReverseDnsLookup(const std::string& hostAddr);
    void CancelDnsLookup();

    virtual void Connect();
    virtual void Listen();
    TSocket Accept();
    // The dotted address of the peer of the last handle returned by Accept.
    const std::string& AcceptedPeerAddr() const { return FAcceptedPeerAddr; }
    void Dup(TSocket newHSocket);

    virtual int Send(const void* data, int length);
    int SendStr(const std::string& text);
    // Bytes given to Send that have not left the machine yet: those in the send queue and,
    // on Linux, those the system keeps until the peer has acknowledged them (SIOCOUTQ).
    virtual long long UnsentCount() const;
    virtual int Receive(void* buffer, int size);
    std::string ReceiveStr();

    virtual void Close();
    void Abort();
    void Shutdown(int how);

    // Binds the socket to any local address and port 0 and returns the port chosen.
    int BindAnyPort();
    std::string GetXAddr();
    std::string GetXPort();
    std::string GetPeerAddr();
    std::string GetPeerPort();
    void SetLingerOption();

    // Notifications are ignored while paused.
    void Pause();
    void Resume();

  protected:
    // Connects to the given host and port instead of Addr and Port (the SOCKS layer
    // connects to its proxy this way).
    void InternalConnect(const std::string& host, const std::string& port);
    void ChangeState(TSocketState newState);
    void RaiseException(const std::string& message);
    void SocketError(const std::string& operation, int code);

    virtual void TriggerSessionConnected(std::uint16_t error);
    // Returns false when the layer above consumed the notification itself.
    virtual bool TriggerDataAvailable(std::uint16_t error);
    virtual void TriggerSessionClosed(std::uint16_t error);
    virtual void TriggerDataSent(std::uint16_t error);
    // Closes at once: shutdownFirst sends the end of the stream before the close.
    void InternalClose(bool shutdownFirst, std::uint16_t error);
    void SetLastError(int code) { FLastError = code; }
    // The capacity of the send queue's blocks from the next block on.
    void SetSendBlockSize(int size) { FSendBlockSize = size; }
    int SystemRcvdCount();
    void AddReadCount(long long n) { FReadCount += n; }
    int SystemReceive(void* buffer, int size);
    // The port in network byte order and the protocol number; they throw
    // ESocketException with the resolver's text, prefixed by context.
    std::uint16_t ResolvePort(const std::string& port, const std::string& context);
    int ResolveProto(const std::string& context);
    // Guards callers against a handler that destroys this socket.
    std::weak_ptr<bool> AliveToken() const { return FAlive; }

  private:
    friend class TSocketWindow;

    void HandleReadReady();
    void HandleWriteReady();
    void HandlePostedWrite();
    void FireDataSent();
    bool SendQueueEmpty() const;
    void HandleConnectResult(int error);
    void HandleDnsDone(int id, int error, const std::vector<std::string>& results);
    bool DoDataAvailable(std::uint16_t error);
    void DoClose(std::uint16_t error);
    void RestoreDefaults();
    void TryToSend();
    void CreateNotifiers(bool watchWrite);
    void DeleteNotifiers();
    void UpdateWriteNotifier();
    void StartLookup(const std::string& name, bool reverse);
    std::uint32_t ResolveHost(const std::string& host, const std::string& context);
    std::string SockAddrText(bool peer, bool port, const char* operation);

    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    std::unique_ptr<TSocketWindow> FWindow;
    std::unique_ptr<QSocketNotifier> FReadNotifier;
    std::unique_ptr<QSocketNotifier> FWriteNotifier;
    std::shared_ptr<TDnsTicket> FDnsTicket;
    int FDnsLookupId = 0;

    std::string FAddrStr;
    std::string FPortStr;
    std::string FProtoStr = "tcp";
    bool FAddrAssigned = false;
    bool FPortAssigned = false;
    bool FProtoAssigned = true;
    std::string FDnsResult;
    std::vector<std::string> FDnsResultList;

    TSocket FHSocket = INVALID_SOCKET;
    TSocketState FState = wsClosed;
    bool FDatagram = false;
    bool FCloseInvoked = false;
    bool FDestroying = false;
    bool FPaused = false;
    bool FInDataSent = false;    // OnDataSent is running
    bool FDataSentOwed = false;  // a Send emptied the queue; OnDataSent has not fired yet
    long long FReadCount = 0;
    int FLastError = 0;
    std::string FLastErrorText;
    std::deque<TBuffer> FBufList;
    int FSendBlockSize = kSendBlockSize;
    std::string FAcceptedPeerAddr;
};

class TCustomSocksWSocket : public TCustomWSocket {
  public:
    const std::string& SocksServer() const { return FSocksServer; }
    void SetSocksServer(const std::string& value);
    const std::string& SocksPort() const { return FSocksPort; }
    void SetSocksPort(const std::string& value);
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;

    TNotifyError OnSocksConnected;
    std::function<void(TCustomWSocket* sender, int error, const std::string& msg)> OnSocksError;
    std::function<void(TCustomWSocket* sender, TSocksAuthState authState)> OnSocksAuthState;

    void Connect() override;
    void Listen() override;
    int RcvdCount() override;
    int Receive(void* buffer, int size) override;

  protected:
    void TriggerSessionConnected(std::uint16_t error) override;
    bool TriggerDataAvailable(std::uint16_t error) override;
    void TriggerSessionClosed(std::uint16_t error) override;

  private:
    enum TSocksPhase { spNone, spGreeting, spAuthenticating, spRequesting };

    void SocksFail(int code, const std::string& msg);
    void SendSocksRequest();
    void HandleSocksBytes();

    std::string FSocksServer;
    std::string FSocksPort;
    TSocksPhase FSocksPhase = spNone;
    std::uint16_t FSocksTargetPort = 0;  // host byte order
    std::string FSocksRcvd;              // bytes of the proxy's current answer
    std::string FSocksLeftover;          // peer data that came with the proxy's last answer
};

// TLS client on top of the connection (and of SOCKS, when used), with memory BIOs on the
// same event loop. A connection is plain until StartTls; from then on Send, Receive and
// the events carry plaintext, and Close sends a close_notify and waits for the peer's.
class TCustomTlsWSocket : public TCustomSocksWSocket {
  public:
    TCustomTlsWSocket();
    ~TCustomTlsWSocket() override;

    // Empty: the system's trust store.
    std::string TlsCaFile;
    // The name (or address) the certificate must be issued for; empty: not checked.
    std::string TlsHostName;
    // A SHA-256 fingerprint that is accepted instead of chain and name verification, and
    // the only certificate accepted when set.
    std::string TlsPinnedSha256;
    // Bulk data: sent blocks are gathered into records of up to 16 KiB (encrypted when the
    // next block would not fit, and at Close) instead of one record per Send. OnDataSent
    // still follows every Send. Set before StartTls.
    bool TlsGatherWrites = false;

    // The handshake ended: 0 when the connection is protected, else a kTls... code with
    // TlsErrorText(); the connection is then closed.
    TNotifyError OnTlsDone;

    // Starts the handshake on a connected socket; false (with the error reported) when it
    // cannot start. OnTlsDone never fires inside this call.
    bool StartTls();
    // The next StartTls resumes the other socket's session (FTP data connections must).
    void ReuseTlsSessionOf(const TCustomTlsWSocket& other);
    bool TlsActive() const;
    // The certificate of the last handshake, filled in even when it was refused.
    const TTlsCertificateInfo& TlsPeerCertificate() const { return FTlsCertificate; }
    const std::string& TlsErrorText() const { return FTlsErrorText; }
    // Whether the last handshake resumed the session given by ReuseTlsSessionOf.
    bool TlsSessionReused() const;

    int Send(const void* data, int length) override;
    long long UnsentCount() const override;
    int Receive(void* buffer, int size) override;
    int RcvdCount() override;
    void Close() override;
    void Listen() override;

  protected:
    void TriggerSessionConnected(std::uint16_t error) override;
    bool TriggerDataAvailable(std::uint16_t error) override;
    void TriggerSessionClosed(std::uint16_t error) override;
    void TriggerDataSent(std::uint16_t error) override;

  private:
    struct TTlsState;

    bool FlushTlsOutput();
    bool WriteGathered();
    void PullCiphertext();
    void ContinueHandshake();
    void HandshakeDone();
    void DeliverPlaintext();
    void DrainWhileClosing();
    void PeerSentCloseNotify();
    void TlsFail(int code, const std::string& text);

    std::unique_ptr<TTlsState> FTls;
    TTlsCertificateInfo FTlsCertificate;
    std::string FTlsErrorText;
};

class TWSocket : public TCustomTlsWSocket {};

// Closes a handle returned by Accept that no socket component has adopted.
void WSocketCloseHandle(TSocket handle);

// What the system still has to deliver of a connection, also after its socket component has
// closed it: a graceful close leaves the bytes not yet acknowledged to the system, which goes
// on sending them. Watching keeps the connection's system socket until Stop.
class TUnsentWatch {
  public:
    TUnsentWatch() = default;
    ~TUnsentWatch() { Stop(); }
    TUnsentWatch(const TUnsentWatch&) = delete;
    TUnsentWatch& operator=(const TUnsentWatch&) = delete;

    // Call before closing the socket; a socket without a connection is not watched.
    void Watch(const TCustomWSocket& socket);
    void Stop();
    long long Unsent() const;

  private:
    TSocket FHandle = INVALID_SOCKET;
};

}  // namespace tessel

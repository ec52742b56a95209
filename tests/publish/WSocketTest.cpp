// The socket against itself on loopback: events arrive later than the calls that cause
// them, the send queue keeps bytes in order, close events fire once, errors carry
// Winsock numbers.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>

#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "NetTestSupport.h"
#include "publish/WSockbuf.h"
#include "publish/WSocket.h"
#include "publish/WSocketErrors.h"

namespace tessel::test {
namespace {

using namespace std::chrono_literals;

// A listening socket that adopts the first incoming connection.
struct TLoopbackServer {
    TWSocket listener;
    TWSocket peer;
    std::string received;
    int closedEvents = 0;

    TLoopbackServer() {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TCustomWSocket*, std::uint16_t) {
            peer.Dup(listener.Accept());
        };
        peer.OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) {
            received += peer.ReceiveStr();
        };
        peer.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t) { ++closedEvents; };
        listener.Listen();
    }
    std::string Port() { return listener.GetXPort(); }
};

TEST(TBufferTest, WritesPeeksAndRemovesWithinCapacity) {
    TBuffer block(0);
    EXPECT_EQ(block.Capacity(), kSendBlockSize);
    const std::string data(2000, 'a');
    EXPECT_EQ(block.Write(data.data(), 2000), kSendBlockSize);
    EXPECT_TRUE(block.IsFull());
    block.Remove(1000);
    int len = 0;
    block.Peek(len);
    EXPECT_EQ(len, kSendBlockSize - 1000);
    block.Remove(len);
    EXPECT_TRUE(block.IsEmpty());
    EXPECT_FALSE(block.IsFull());  // both counts went back to the start
    EXPECT_EQ(block.Write("xy", 2), 2);
}

TEST(WSocketErrorsTest, ErrnoMapsToWinsockNumbersAndTexts) {
    EXPECT_EQ(WinsockErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(WinsockErrorFromErrno(EWOULDBLOCK), 10035);
    EXPECT_EQ(WinsockErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(WSocketErrorDesc(10061), "Connection refused");
    EXPECT_EQ(WSocketErrorDesc(11001), "Host not found");
    EXPECT_EQ(WSocketErrorDesc(0), "No Error");
    EXPECT_EQ(WSocketErrorDesc(12345), "Not a WinSock error");
}

TEST(WSocketTest, SendWhileNotConnectedIsRefused) {
    TWSocket s;
    EXPECT_THROW(s.SendStr("x"), ESocketException);
    bool errorFired = false;
    s.OnError = [&](TCustomWSocket*) { errorFired = true; };
    EXPECT_EQ(s.SendStr("x"), -1);
    EXPECT_TRUE(errorFired);
    EXPECT_EQ(s.LastError(), 10057);
    EXPECT_EQ(s.LastErrorText(), "Error 10057 in function Send\r\nSocket is not connected");
}

TEST(WSocketTest, ConnectAndListenNeedTheirSettings) {
    TWSocket s;
    try {
        s.Connect();
        FAIL() << "connect without a port";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Connect: No Port Specified");
    }
    s.SetPort("21");
    EXPECT_THROW(s.Connect(), ESocketException);  // no address
    try {
        TWSocket l;
        l.Listen();
        FAIL() << "listen without a port";
    } catch (const ESocketException& e) {
        EXPECT_NE(std::string(e.what()).find("listen: port not assigned"), std::string::npos);
    }
    s.SetAddr("127.0.0.1");
    s.SetPort("no-such-service-name");
    try {
        s.Connect();
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(),
                     "connect: WSocketResolvePort: Cannot convert port 'no-such-service-name'");
    }
}

TEST(WSocketTest, ConnectSendReceiveAndCloseOnLoopback) {
    TLoopbackServer server;
    TWSocket client;
    int connected = 0;
    int sentEvents = 0;
    int closedEvents = 0;
    bool insideCall = false;
    client.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t error) {
        EXPECT_EQ(error, 0);
        EXPECT_FALSE(insideCall);
        ++connected;
    };
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) {
        EXPECT_FALSE(insideCall);
        ++sentEvents;
    };
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { ++closedEvents; };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    insideCall = true;
    client.Connect();
    insideCall = false;
    ASSERT_TRUE(RunUntil([&] { return connected == 1 && server.peer.State() == wsConnected; }, 5s));
    EXPECT_EQ(client.State(), wsConnected);
    EXPECT_EQ(client.GetPeerPort(), server.Port());
    try {
        client.SetPort("80");
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Cannot change Port if not closed");
    }

    // Small enough for the system to take at once: OnDataSent still comes later, once.
    insideCall = true;
    EXPECT_EQ(client.SendStr("hello"), 5);
    insideCall = false;
    ASSERT_TRUE(RunUntil([&] { return sentEvents == 1 && server.received == "hello"; }, 5s));
    RunFor(50ms);
    EXPECT_EQ(sentEvents, 1);

    // Several MB go through the queue of 1514-byte blocks intact and in order.
    const std::string big = MakeBytes(3 * 1024 * 1024 + 17, 3);
    EXPECT_EQ(client.SendStr(big), static_cast<int>(big.size()));
    ASSERT_TRUE(RunUntil([&] { return server.received.size() == 5 + big.size(); }, 20s));
    EXPECT_TRUE(server.received.substr(5) == big);
    ASSERT_TRUE(RunUntil([&] { return sentEvents == 2; }, 5s));

    client.Close();
    EXPECT_EQ(closedEvents, 1);
    EXPECT_EQ(client.State(), wsClosed);
    client.Close();  // already closed: nothing
    EXPECT_EQ(closedEvents, 1);
    ASSERT_TRUE(RunUntil([&] { return server.closedEvents == 1; }, 5s));
    RunFor(50ms);
    EXPECT_EQ(server.closedEvents, 1);
    EXPECT_EQ(server.peer.State(), wsClosed);
    // Defaults are back: the port must be set again.
    EXPECT_THROW(server.peer.Connect(), ESocketException);
}

// Bytes the system took but the peer has not yet acknowledged count as unsent, also once the
// socket is closed (watched), and the close still ends the stream for the peer.
TEST(WSocketTest, UnsentBytesCountUntilThePeerHasThem) {
    // A peer with a small window that reads nothing yet.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int window = 4096;
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&sin), sizeof sin), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    socklen_t len = sizeof sin;
    getsockname(listener, reinterpret_cast<sockaddr*>(&sin), &len);

    TWSocket client;
    bool connected = false;
    bool sent = false;
    client.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t) { connected = true; };
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { sent = true; };
    client.SetAddr("127.0.0.1");
    client.SetPort(std::to_string(ntohs(sin.sin_port)));
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return connected; }, 5s));
    const int peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    ASSERT_GE(peer, 0);
    const int room = 1 << 20;
    setsockopt(client.HSocket(), SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    EXPECT_EQ(client.UnsentCount(), 0);

    const std::string data = MakeBytes(96 * 1024, 9);
    client.SendStr(data);
    ASSERT_TRUE(RunUntil([&] { return sent; }, 5s));  // our own queue is empty
    EXPECT_GT(client.UnsentCount(), 32 * 1024);

    TUnsentWatch watch;
    watch.Watch(client);
    client.Close();
    EXPECT_GT(watch.Unsent(), 32 * 1024);

    std::string got;
    bool ended = false;
    ASSERT_TRUE(RunUntil(
        [&] {
            char buf[8192];
            const ssize_t n = read(peer, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
            }
            ended = n == 0;
            return ended;
        },
        10s));
    EXPECT_TRUE(got == data) << got.size();
    EXPECT_TRUE(RunUntil([&] { return watch.Unsent() == 0; }, 5s)) << watch.Unsent();
    close(peer);
    close(listener);
}

// The FTP client's way of sending: one block from each OnDataSent. Every Send is
// answered by exactly one OnDataSent, never inside the Send, and the event loop keeps
// turning while the blocks stream out.
TEST(WSocketTest, BlocksSentFromOnDataSentChainWithoutStarvingTheLoop) {
    TLoopbackServer server;
    TWSocket client;
    bool connected = false;
    client.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t) { connected = true; };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return connected && server.peer.State() == wsConnected; }, 5s));

    const std::string data = MakeBytes(3000 * kSendBlockSize + 99, 7);
    std::size_t offset = 0;
    int sends = 0;
    int sentEvents = 0;
    bool insideSend = false;
    auto sendNext = [&] {
        if (offset == data.size()) {
            return;
        }
        const std::size_t n = std::min<std::size_t>(kSendBlockSize, data.size() - offset);
        insideSend = true;
        EXPECT_EQ(client.Send(data.data() + offset, static_cast<int>(n)), static_cast<int>(n));
        insideSend = false;
        offset += n;
        ++sends;
    };
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t error) {
        EXPECT_EQ(error, 0);
        EXPECT_FALSE(insideSend);
        ++sentEvents;
        sendNext();
    };
    int ticksWhileSending = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (offset > 0 && offset < data.size()) {
            ++ticksWhileSending;
        }
    });
    tick.start(0);
    sendNext();
    ASSERT_TRUE(RunUntil([&] { return server.received.size() == data.size(); }, 20s));
    EXPECT_TRUE(server.received == data);
    ASSERT_TRUE(RunUntil([&] { return sentEvents == sends; }, 5s));
    EXPECT_GE(ticksWhileSending, 3000 / 64);
    RunFor(50ms);
    EXPECT_EQ(sentEvents, sends);
    EXPECT_EQ(sends, 3001);
}

TEST(WSocketTest, PausedSocketHoldsDataSentUntilResumed) {
    TLoopbackServer server;
    TWSocket client;
    bool connected = false;
    client.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t) { connected = true; };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return connected && server.peer.State() == wsConnected; }, 5s));
    int sentEvents = 0;
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) {
        ++sentEvents;
        if (sentEvents == 1) {
            client.Pause();
        }
        if (sentEvents < 3) {
            client.SendStr("more");
        }
    };
    client.SendStr("first");
    ASSERT_TRUE(RunUntil([&] { return sentEvents == 1; }, 5s));
    RunFor(100ms);
    EXPECT_EQ(sentEvents, 1);
    client.Resume();
    ASSERT_TRUE(RunUntil([&] { return sentEvents == 3; }, 5s));
    ASSERT_TRUE(RunUntil([&] { return server.received == "firstmoremore"; }, 5s));
}

TEST(WSocketTest, OneReadEventTakesABoundedAmount) {
    TLoopbackServer server;
    const int raw = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_port = htons(static_cast<std::uint16_t>(std::stoi(server.Port())));
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(raw, reinterpret_cast<sockaddr*>(&sin), sizeof sin), 0);
    ASSERT_TRUE(RunUntil([&] { return server.peer.State() == wsConnected; }, 5s));

    // Fill the connection while nobody reads, so one event finds far more than the bound.
    const std::string chunk(16384, 'f');
    std::size_t written = 0;
    while (written < 8u * 1024 * 1024) {
        const ssize_t n = send(raw, chunk.data(), chunk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    ASSERT_GT(written, 4u * static_cast<std::size_t>(TCustomWSocket::kMaxReadPerEvent));

    std::size_t total = 0;
    std::size_t whenTimerRan = 0;
    bool timerPosted = false;
    server.peer.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        if (!timerPosted) {
            timerPosted = true;
            QTimer::singleShot(0, [&] { whenTimerRan = total; });
        }
        char buf[4096];
        const int n = s->Receive(buf, sizeof buf);
        total += n > 0 ? static_cast<std::size_t>(n) : 0;
    };
    ASSERT_TRUE(RunUntil([&] { return whenTimerRan > 0; }, 5s));
    EXPECT_LE(whenTimerRan, static_cast<std::size_t>(TCustomWSocket::kMaxReadPerEvent) + 4096)
        << "of " << written << " bytes waiting";
    close(raw);
    ASSERT_TRUE(RunUntil([&] { return total == written; }, 20s)) << total << " of " << written;
}

TEST(WSocketTest, RefusedConnectionIsReportedLater) {
    const int port = FreeLoopbackPort();
    TWSocket client;
    std::uint16_t result = 0;
    bool fired = false;
    bool closed = false;
    client.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t error) {
        fired = true;
        result = error;
    };
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { closed = true; };
    client.SetAddr("127.0.0.1");
    client.SetPort(std::to_string(port));
    client.Connect();
    EXPECT_FALSE(fired);
    ASSERT_TRUE(RunUntil([&] { return fired && closed; }, 5s));
    EXPECT_EQ(result, 10061);
    EXPECT_EQ(client.State(), wsClosed);
}

TEST(WSocketTest, NameLookups) {
    TWSocket s;
    std::vector<std::uint16_t> results;
    s.OnDnsLookupDone = [&](TCustomWSocket*, std::uint16_t error) { results.push_back(error); };

    s.DnsLookup("127.0.0.1");  // a dotted address answers at once
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");

    s.DnsLookup("localhost");
    EXPECT_EQ(results.size(), 1u);
    ASSERT_TRUE(RunUntil([&] { return results.size() == 2; }, 10s));
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    EXPECT_FALSE(s.DnsResultList().empty());

    s.DnsLookup("no-such-host.invalid");
    ASSERT_TRUE(RunUntil([&] { return results.size() == 3; }, 20s));
    // 11002 where no resolver answers at all: not found either way.
    EXPECT_TRUE(results[2] == 11001 || results[2] == 11002) << results[2];

    s.DnsLookup("localhost");
    s.CancelDnsLookup();
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[3], 10004);
    RunFor(200ms);  // the cancelled lookup's result never arrives
    EXPECT_EQ(results.size(), 4u);

    std::string text;
    s.OnError = [&](TCustomWSocket* sender) { text = sender->LastErrorText(); };
    s.DnsLookup("");
    EXPECT_EQ(text, "DNS lookup: invalid host name.");
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[4], 10022);
}

TEST(WSocketTest, DestroyedSocketDropsItsRunningLookup) {
    auto s = std::make_unique<TWSocket>();
    bool fired = false;
    s->OnDnsLookupDone = [&](TCustomWSocket*, std::uint16_t) { fired = true; };
    s->DnsLookup("localhost");
    s.reset();
    RunFor(300ms);
    EXPECT_FALSE(fired);
}

TEST(WSocketTest, PeerClosingFiresOnceAndRestoresDefaults) {
    TLoopbackServer server;
    TWSocket client;
    int closed = 0;
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { ++closed; };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return server.peer.State() == wsConnected; }, 5s));
    ASSERT_TRUE(RunUntil([&] { return client.State() == wsConnected; }, 5s));
    server.peer.Close();
    ASSERT_TRUE(RunUntil([&] { return closed == 1; }, 5s));
    RunFor(50ms);
    EXPECT_EQ(closed, 1);
    try {
        client.Connect();
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Connect: No Port Specified");
    }
}

}  // namespace
}  // namespace tessel::test

namespace tessel::test {
namespace {

TEST(WSocketTest, DatagramSocketSendsToItsAddress) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
    socklen_t len = sizeof sin;
    getsockname(fd, reinterpret_cast<sockaddr*>(&sin), &len);

    TWSocket s;
    int connected = -1;
    s.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t e) { connected = e; };
    s.SetProto("udp");
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(ntohs(sin.sin_port)));
    s.Connect();
    EXPECT_EQ(connected, 0);  // at once: there is nothing to wait for
    EXPECT_EQ(s.State(), wsConnected);
    EXPECT_NE(s.GetXPort(), "0");
    EXPECT_EQ(s.SendStr("datagram"), 8);
    char buf[64] = {};
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    EXPECT_EQ(recv(fd, buf, sizeof buf, 0), 8);
    EXPECT_STREQ(buf, "datagram");
    s.Close();
    close(fd);
}

TEST(WSocketTest, AcceptOnlyOnAListeningSocket) {
    TWSocket s;
    try {
        s.Accept();
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Error 10022 in function not a listening socket\r\nInvalid argument");
    }
}

TEST(WSocketTest, AbortDropsTheConnectionAtOnce) {
    TLoopbackServer server;
    TWSocket client;
    int closed = 0;
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { ++closed; };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return client.State() == wsConnected; }, 5s));
    client.Abort();
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(closed, 1);
    ASSERT_TRUE(RunUntil([&] { return server.closedEvents == 1; }, 5s));
}

}  // namespace
}  // namespace tessel::test

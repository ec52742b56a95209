// Connecting through SOCKS 5: a real proxy (Debian's dante) without authentication, and
// a scripted proxy for user-name authentication and for the proxy's refusals.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "NetTestSupport.h"
#include "publish/WSocket.h"

namespace tessel::test {
namespace {

using namespace std::chrono_literals;

// A target that greets every client it accepts.
struct TGreeter {
    TWSocket listener;
    TWSocket peer;
    TGreeter() {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TCustomWSocket*, std::uint16_t) {
            peer.Dup(listener.Accept());
            peer.SendStr("hello from target\r\n");
        };
        listener.Listen();
    }
};

// Collects what a socket receives and how its connection went.
struct TProbe {
    std::string received;
    int connected = -1;
    std::vector<std::pair<int, std::string>> socksErrors;
    void Attach(TWSocket& s) {
        s.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t e) { connected = e; };
        s.OnDataAvailable = [this](TCustomWSocket* sender, std::uint16_t) {
            received += sender->ReceiveStr();
        };
        s.OnSocksError = [this](TCustomWSocket*, int code, const std::string& msg) {
            socksErrors.emplace_back(code, msg);
        };
    }
};

TEST(SocksTest, ConnectsThroughDanteWithoutAuthentication) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "dante needs root to switch to its privileged and unprivileged users";
    }
    TTempDir dir;
    const int proxyPort = FreeLoopbackPort();
    const auto conf = dir.Path() / "danted.conf";
    std::ofstream(conf) << "logoutput: stderr\n"
                        << "internal: 127.0.0.1 port = " << proxyPort << "\n"
                        << "external: 127.0.0.1\n"
                        << "socksmethod: none\nclientmethod: none\n"
                        << "user.privileged: root\nuser.unprivileged: nobody\n"
                        << "client pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n"
                        << "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n";
    TChildProcess proxy({"/usr/sbin/danted", "-f", conf.string(), "-N", "1", "-p",
                         (dir.Path() / "danted.pid").string()});
    ASSERT_TRUE(WaitForListener(proxyPort, 20s)) << "dante did not start";

    TGreeter target;
    TWSocket client;
    TProbe probe;
    probe.Attach(client);
    client.SetSocksServer("127.0.0.1");
    client.SetSocksPort(std::to_string(proxyPort));
    client.SetAddr("localhost");  // resolved by the proxy
    client.SetPort(target.listener.GetXPort());
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return probe.received == "hello from target\r\n"; }, 10s))
        << "connected=" << probe.connected << " received=" << probe.received;
    EXPECT_EQ(probe.connected, 0);
    EXPECT_TRUE(probe.socksErrors.empty());
    client.SendStr("ping");
    std::string atTarget;
    target.peer.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
        atTarget += s->ReceiveStr();
    };
    ASSERT_TRUE(RunUntil([&] { return atTarget == "ping"; }, 5s));
    client.Close();
}

// One exchange of a scripted proxy: what it must read, then what it answers.
struct TProxyTurn {
    std::string expect;
    std::string answer;
};

class TScriptedProxy {
  public:
    // hangUp: the proxy closes the connection right after its last turn.
    explicit TScriptedProxy(std::vector<TProxyTurn> turns, bool hangUp = false) : FHangUp(hangUp) {
        FListener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sin{};
        sin.sin_family = AF_INET;
        sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(FListener, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
        listen(FListener, 1);
        socklen_t len = sizeof sin;
        getsockname(FListener, reinterpret_cast<sockaddr*>(&sin), &len);
        FPort = ntohs(sin.sin_port);
        FThread = std::thread([this, turns] { Run(turns); });
    }
    ~TScriptedProxy() {
        FThread.join();
        close(FListener);
    }
    int Port() const { return FPort; }
    std::string Mismatch() {
        FThread.join();
        FThread = std::thread([] {});
        return FMismatch;
    }

  private:
    void Run(const std::vector<TProxyTurn>& turns) {
        pollfd p{FListener, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) {
            FMismatch = "no client";
            return;
        }
        const int fd = accept(FListener, nullptr, nullptr);
        for (const auto& turn : turns) {
            std::string got;
            while (got.size() < turn.expect.size()) {
                pollfd q{fd, POLLIN, 0};
                char buf[300];
                if (poll(&q, 1, 10000) <= 0) {
                    break;
                }
                const ssize_t n =
                    recv(fd, buf, std::min(sizeof buf, turn.expect.size() - got.size()), 0);
                if (n <= 0) {
                    break;
                }
                got.append(buf, static_cast<std::size_t>(n));
            }
            if (got != turn.expect && FMismatch.empty()) {
                FMismatch = "unexpected bytes from the client";
            }
            send(fd, turn.answer.data(), turn.answer.size(), MSG_NOSIGNAL);
        }
        char c;
        pollfd q{fd, POLLIN, 0};
        if (!FHangUp && poll(&q, 1, 10000) > 0) {
            recv(fd, &c, 1, 0);  // the client's close
        }
        close(fd);
    }

    bool FHangUp = false;
    int FListener = -1;
    int FPort = 0;
    std::thread FThread;
    std::string FMismatch;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s += static_cast<char>(v);
    }
    return s;
}

std::string ConnectRequest(const std::string& host, int port) {
    return Bytes({5, 1, 0, 3, static_cast<int>(host.size())}) + host +
           Bytes({port >> 8, port & 0xFF});
}

TEST(SocksTest, UserNameAuthenticationAndDataAfterTheReply) {
    TScriptedProxy proxy({{Bytes({5, 1, 2}), Bytes({5, 2})},
                          {Bytes({1, 4}) + "anna" + Bytes({6}) + "secret", Bytes({1, 0})},
                          {ConnectRequest("ftp.example", 2121),
                           Bytes({5, 0, 0, 3, 4}) + "host" + Bytes({0, 21}) + "220 early\r\n"}});
    TWSocket client;
    TProbe probe;
    probe.Attach(client);
    std::vector<TSocksAuthState> states;
    client.OnSocksAuthState = [&](TCustomWSocket*, TSocksAuthState s) { states.push_back(s); };
    client.SetSocksServer("127.0.0.1");
    client.SetSocksPort(std::to_string(proxy.Port()));
    client.SocksAuthentication = socksAuthenticateUsercode;
    client.SocksUsercode = "anna";
    client.SocksPassword = "secret";
    client.SetAddr("ftp.example");
    client.SetPort("2121");
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return probe.received == "220 early\r\n"; }, 10s))
        << probe.connected;
    EXPECT_EQ(probe.connected, 0);
    EXPECT_EQ(states, (std::vector<TSocksAuthState>{socksAuthStart, socksAuthSuccess}));
    client.Close();
    EXPECT_EQ(proxy.Mismatch(), "");
}

TEST(SocksTest, RefusalsAreReportedWithTheirTexts) {
    const struct {
        std::vector<TProxyTurn> turns;
        TSocksAuthentication auth;
        std::string text;
    } cases[] = {
        {{{Bytes({5, 1, 2}), Bytes({5, 2})},
          {Bytes({1, 1}) + "u" + Bytes({1}) + "p", Bytes({1, 1})}},
         socksAuthenticateUsercode,
         "socks authentication failed"},
        {{{Bytes({5, 1, 0}), Bytes({4, 0})}}, socksNoAuthentication, "socks version error"},
        {{{Bytes({5, 1, 0}), Bytes({5, 0xFF})}},
         socksNoAuthentication,
         "authentification method not acceptable"},
        {{{Bytes({5, 1, 0}), Bytes({5, 0})},
          {ConnectRequest("target", 21), Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0})}},
         socksNoAuthentication,
         "connection refused"},
        {{{Bytes({5, 1, 0}), Bytes({5, 0})},
          {ConnectRequest("target", 21), Bytes({5, 9, 0, 1, 0, 0, 0, 0, 0, 0})}},
         socksNoAuthentication,
         "unassigned error #9"},
        {{{Bytes({5, 1, 0}), Bytes({5, 0})},
          {ConnectRequest("target", 21), Bytes({5, 0, 0, 4, 0, 0, 0, 0, 0, 0})}},
         socksNoAuthentication,
         "address type not supported"},
    };
    for (const auto& c : cases) {
        TScriptedProxy proxy(c.turns);
        TWSocket client;
        TProbe probe;
        probe.Attach(client);
        client.SetSocksServer("127.0.0.1");
        client.SetSocksPort(std::to_string(proxy.Port()));
        client.SocksAuthentication = c.auth;
        client.SocksUsercode = "u";
        client.SocksPassword = "p";
        client.SetAddr("target");
        client.SetPort("21");
        client.Connect();
        ASSERT_TRUE(RunUntil([&] { return probe.connected != -1; }, 10s)) << c.text;
        ASSERT_EQ(probe.socksErrors.size(), 1u) << c.text;
        EXPECT_EQ(probe.socksErrors[0].second, c.text);
        EXPECT_GE(probe.socksErrors[0].first, 20001);
        EXPECT_EQ(probe.connected, probe.socksErrors[0].first);
        EXPECT_EQ(client.State(), wsClosed);
    }
}

TEST(SocksTest, ProxyHangingUpDuringTheExchangeIsAFailedConnect) {
    const std::vector<std::vector<TProxyTurn>> cases = {
        {{Bytes({5, 1, 0}), ""}},  // after the greeting
        {{Bytes({5, 1, 0}), Bytes({5, 0})}, {ConnectRequest("target", 21), ""}},  // on the request
        {{Bytes({5, 1, 0}), Bytes({5, 0})},
         {ConnectRequest("target", 21), Bytes({5, 0, 0, 1, 127})}},  // inside the reply
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        TScriptedProxy proxy(cases[i], true);
        TWSocket client;
        TProbe probe;
        probe.Attach(client);
        int closed = 0;
        client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { ++closed; };
        client.SetSocksServer("127.0.0.1");
        client.SetSocksPort(std::to_string(proxy.Port()));
        client.SetAddr("target");
        client.SetPort("21");
        client.Connect();
        ASSERT_TRUE(RunUntil([&] { return probe.connected != -1; }, 10s)) << i;
        ASSERT_EQ(probe.socksErrors.size(), 1u) << i;
        EXPECT_EQ(probe.socksErrors[0].second, "socks server closed the connection");
        EXPECT_EQ(probe.connected, probe.socksErrors[0].first);
        EXPECT_GE(probe.connected, 20001);
        RunFor(50ms);
        EXPECT_EQ(closed, 1);
        EXPECT_EQ(client.State(), wsClosed);
    }
}

TEST(SocksTest, OverLongNamesAreRefusedBeforeAnythingIsSent) {
    const auto refusal = [](const std::string& user, const std::string& password,
                            const std::string& host) -> std::string {
        TWSocket s;
        s.SetSocksServer("127.0.0.1");
        s.SetSocksPort(std::to_string(FreeLoopbackPort()));
        s.SocksAuthentication = socksAuthenticateUsercode;
        s.SocksUsercode = user;
        s.SocksPassword = password;
        s.SetAddr(host);
        s.SetPort("21");
        try {
            s.Connect();
        } catch (const ESocketException& e) {
            EXPECT_EQ(s.State(), wsClosed);
            return e.what();
        }
        s.Abort();
        return "started";
    };
    const std::string longest(255, 'a');
    EXPECT_EQ(refusal(longest + "a", "p", "target"),
              "socks: user code or password longer than 255 bytes");
    EXPECT_EQ(refusal("u", longest + "a", "target"),
              "socks: user code or password longer than 255 bytes");
    EXPECT_EQ(refusal("u", "p", longest + "a"), "socks: host name longer than 255 bytes");
    EXPECT_EQ(refusal(longest, longest, longest), "started");
}

TEST(SocksTest, LongestUserCodeGoesOutWhole) {
    const std::string user(255, 'u');
    TScriptedProxy proxy({{Bytes({5, 1, 2}), Bytes({5, 2})},
                          {Bytes({1, 255}) + user + Bytes({1}) + "p", Bytes({1, 0})},
                          {ConnectRequest("target", 21), Bytes({5, 0, 0, 1, 1, 2, 3, 4, 0, 21})}});
    TWSocket client;
    TProbe probe;
    probe.Attach(client);
    client.SetSocksServer("127.0.0.1");
    client.SetSocksPort(std::to_string(proxy.Port()));
    client.SocksAuthentication = socksAuthenticateUsercode;
    client.SocksUsercode = user;
    client.SocksPassword = "p";
    client.SetAddr("target");
    client.SetPort("21");
    client.Connect();
    ASSERT_TRUE(RunUntil([&] { return probe.connected != -1; }, 10s));
    EXPECT_EQ(probe.connected, 0);
    client.Close();
    EXPECT_EQ(proxy.Mismatch(), "");
}

TEST(SocksTest, PortAndProtocolCountByValue) {
    for (const char* proto : {"6", "TCP"}) {
        TScriptedProxy proxy(
            {{Bytes({5, 1, 0}), Bytes({5, 0})},
             {ConnectRequest("target", 2121), Bytes({5, 0, 0, 1, 1, 2, 3, 4, 0, 21})}});
        TWSocket client;
        TProbe probe;
        probe.Attach(client);
        client.SetSocksServer("127.0.0.1");
        client.SetSocksPort(std::to_string(proxy.Port()));
        client.SetProto(proto);
        client.SetAddr("target");
        client.SetPort("2121");
        client.Connect();
        ASSERT_TRUE(RunUntil([&] { return probe.connected != -1; }, 10s)) << proto;
        EXPECT_EQ(probe.connected, 0) << proto;
        client.Close();
        EXPECT_EQ(proxy.Mismatch(), "") << proto;
    }
    for (const char* port : {"70000", "21abc"}) {
        TWSocket s;
        s.SetSocksServer("127.0.0.1");
        s.SetAddr("target");
        s.SetPort(port);
        try {
            s.Connect();
            ADD_FAILURE() << port << " was taken";
        } catch (const ESocketException& e) {
            EXPECT_EQ(
                std::string(e.what()),
                std::string("connect: WSocketResolvePort: Cannot convert port '") + port + "'");
        }
        EXPECT_EQ(s.State(), wsClosed);
    }
    TWSocket udp;
    udp.SetSocksServer("127.0.0.1");
    udp.SetProto("17");
    udp.SetAddr("target");
    udp.SetPort("21");
    EXPECT_THROW(udp.Connect(), ESocketException);
}

TEST(SocksTest, SettingsThatTheProxyCannotServe) {
    TWSocket s;
    s.SetSocksServer("127.0.0.1");
    EXPECT_THROW(s.Listen(), ESocketException);
    s.SetProto("udp");
    s.SetAddr("x");
    s.SetPort("1");
    try {
        s.Connect();
        FAIL();
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "tcp is the only protocol supported thru socks server");
    }
}

}  // namespace
}  // namespace tessel::test

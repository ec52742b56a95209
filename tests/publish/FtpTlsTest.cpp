// Explicit FTPS against vsftpd (which insists on session reuse for data connections) and
// pure-ftpd, both requiring TLS, with certificates made here; refusals of certificates
// and of servers without TLS; the end of a protected data connection.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "NetTestSupport.h"
#include "ScriptedFtpServer.h"
#include "TestCertificates.h"
#include "TlsFtpPeer.h"
#include "cli/UploadCommand.h"
#include "publish/FtpCli.h"

namespace tessel::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::size_t> kSizes = {0, 1, 1514, 1515, 3 * 1024 * 1024 + 5};

bool SentInClear(const std::vector<std::string>& commands, const std::string& verb) {
    return std::any_of(commands.begin(), commands.end(),
                       [&](const std::string& c) { return c.rfind(verb, 0) == 0; });
}

// The test peer's log-in as `host`, encrypted, trusting the test authority.
void LogInToPeer(TFtpClient& client, const std::string& host, const TTlsFtpPeer& peer,
                 const TTestCa& ca) {
    client.HostName = host;
    client.Port = std::to_string(peer.Port());
    client.UserName = "anna";
    client.PassWord = "s3cret";
    client.Timeout = 10;
    client.TlsMode = ftpTlsRequired;
    client.TlsCaFile = ca.CaFile().string();
}

struct TTlsServerMode {
    std::string name;
    bool vsftpd;
    bool passive;
};

void PrintTo(const TTlsServerMode& m, std::ostream* os) {
    *os << m.name;
}

// One of the two servers, started with a certificate for 127.0.0.1 from the test CA.
class TTlsServer {
  public:
    TTlsServer(bool vsftpd, const fs::path& dir, const TTestCertificate& cert) {
        if (vsftpd) {
            FVsftpd = std::make_unique<TVsftpdServer>(dir, &cert);
            FPort = FVsftpd->Port();
            FProblem = FVsftpd->Problem();
            FUploadDir = FVsftpd->UploadDir();
        } else {
            FPure = std::make_unique<TPureFtpdServer>(dir, "anna", "s3cret", cert);
            FPort = FPure->Port();
            FProblem = FPure->Problem();
            FUploadDir = FPure->UploadDir();
        }
    }
    void LogIn(TCustomFtpCli& client) const {
        client.HostName = "127.0.0.1";
        client.Port = std::to_string(FPort);
        client.UserName = FVsftpd ? "anonymous" : "anna";
        client.PassWord = FVsftpd ? "tests@example.com" : "s3cret";
        client.HostDirName = FVsftpd ? "pub" : "";
    }
    int Port() const { return FPort; }
    const std::string& Problem() const { return FProblem; }
    const fs::path& UploadDir() const { return FUploadDir; }

  private:
    std::unique_ptr<TVsftpdServer> FVsftpd;
    std::unique_ptr<TPureFtpdServer> FPure;
    int FPort = 0;
    std::string FProblem;
    fs::path FUploadDir;
};

class FtpTlsRealServerTest : public ::testing::TestWithParam<TTlsServerMode> {};

TEST_P(FtpTlsRealServerTest, UploadsEverySizeIntactAndReadsItBack) {
    const TTlsServerMode& m = GetParam();
    TTempDir local;
    TTempDir serverDir;
    TTestCa ca(local.Path());
    const TTestCertificate cert = ca.Issue("server", "IP:127.0.0.1,DNS:localhost");
    TTlsServer server(m.vsftpd, serverDir.Path(), cert);
    if (server.Port() == 0) {
        GTEST_SKIP() << server.Problem();
    }
    TFtpClient client;
    server.LogIn(client);
    client.Timeout = 10;
    client.Passive = m.passive;
    client.TlsMode = ftpTlsRequired;
    client.TlsCaFile = ca.CaFile().string();
    std::string log;
    client.OnDisplay = [&](TCustomFtpCli*, std::string& msg) { log += msg + "\n"; };
    ASSERT_TRUE(client.Connect()) << client.ErrorMessage() << "\n" << log;
    EXPECT_EQ(client.ServerCertificate().sha256, cert.sha256);
    EXPECT_NE(client.ServerCertificate().issuedTo.find("CN=server"), std::string::npos);
    EXPECT_NE(client.ServerCertificate().issuedBy.find("CN=Tessel Test CA"), std::string::npos);
    if (!client.HostDirName.empty()) {
        ASSERT_TRUE(client.Cwd()) << client.ErrorMessage();
    }
    ASSERT_TRUE(client.TypeSet()) << client.ErrorMessage();
    for (std::size_t size : kSizes) {
        const std::string name = "file" + std::to_string(size) + ".bin";
        const std::string bytes = MakeBytes(size, static_cast<unsigned>(size) + 7);
        WriteFile(local.Path() / name, bytes);
        client.LocalFileName = (local.Path() / name).string();
        client.HostFileName = name;
        ASSERT_TRUE(client.Put()) << name << ": " << client.ErrorMessage() << "\n" << log;
        EXPECT_TRUE(ReadFile(server.UploadDir() / name) == bytes) << name;
        if (m.vsftpd) {
            // require_ssl_reuse: vsftpd would have refused the transfer otherwise.
            EXPECT_TRUE(client.DataSocket().TlsSessionReused()) << name;
        }
    }
    // The biggest one back, over a protected data connection the server ends.
    const std::string big = "file" + std::to_string(kSizes.back()) + ".bin";
    client.HostFileName = big;
    client.LocalFileName = (local.Path() / "back.bin").string();
    ASSERT_TRUE(client.Get()) << client.ErrorMessage() << "\n" << log;
    EXPECT_TRUE(ReadFile(local.Path() / "back.bin") == ReadFile(local.Path() / big));
    EXPECT_TRUE(client.Quit()) << client.ErrorMessage() << "\n" << log;
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpTlsRealServerTest,
                         ::testing::Values(TTlsServerMode{"VsftpdActive", true, false},
                                           TTlsServerMode{"VsftpdPassive", true, true},
                                           TTlsServerMode{"PureFtpdActive", false, false},
                                           TTlsServerMode{"PureFtpdPassive", false, true}),
                         [](const auto& info) { return info.param.name; });

// Certificates the client must refuse, and the pinned ones it must accept, against
// pure-ftpd. A refusal happens before USER is sent and leaves the details readable.
struct TCertCase {
    std::string name;
    std::string san;
    long notAfter;            // seconds from now
    bool selfSigned;          // not from the test CA
    bool giveCaFile;          // trust the test CA
    int pin;                  // 0 none, 1 this certificate's fingerprint, 2 another's
    int error;                // 0: the log-in succeeds
    std::string messagePart;  // of ErrorMessage
};

void PrintTo(const TCertCase& c, std::ostream* os) {
    *os << c.name;
}

class FtpTlsCertificateTest : public ::testing::TestWithParam<TCertCase> {};

TEST_P(FtpTlsCertificateTest, DecidesBeforeTheLogIn) {
    const TCertCase& c = GetParam();
    TTempDir local;
    TTempDir serverDir;
    TTestCa ca(local.Path());
    const TTestCertificate cert = c.selfSigned ? ca.SelfSigned("server", c.san)
                                               : ca.Issue("server", c.san, -7200, c.notAfter);
    TPureFtpdServer server(serverDir.Path(), "anna", "s3cret", cert);
    if (server.Port() == 0) {
        GTEST_SKIP() << server.Problem();
    }
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "anna";
    client.PassWord = "s3cret";
    client.Timeout = 10;
    client.TlsMode = ftpTlsRequired;
    if (c.giveCaFile) {
        client.TlsCaFile = ca.CaFile().string();
    }
    if (c.pin == 1) {
        client.TlsTrustedSha256 = cert.sha256;
    } else if (c.pin == 2) {
        client.TlsTrustedSha256 = ca.Issue("earlier", "IP:127.0.0.1").sha256;
    }
    std::vector<std::string> commands;
    client.OnCommand = [&](TCustomFtpCli*, std::string& cmd) { commands.push_back(cmd); };
    uint16_t error = 0;
    client.OnRequestDone = [&](TCustomFtpCli*, TFtpRequest, std::uint16_t e) { error = e; };
    const bool ok = client.Connect();
    EXPECT_EQ(ok, c.error == 0) << client.ErrorMessage();
    EXPECT_EQ(error, c.error);
    EXPECT_NE(client.ErrorMessage().find(c.messagePart), std::string::npos)
        << client.ErrorMessage();
    EXPECT_EQ(SentInClear(commands, "USER"), ok);
    // Whatever the verdict, the window can show what the server presented.
    EXPECT_EQ(client.ServerCertificate().sha256, cert.sha256);
    EXPECT_FALSE(client.ServerCertificate().validTo.empty());
    if (ok) {
        EXPECT_TRUE(client.Quit());
    } else {
        EXPECT_FALSE(client.Connected());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FtpTlsCertificateTest,
    ::testing::Values(TCertCase{"IssuedForAnotherHost", "DNS:wrong-host.invalid", 86400, false,
                                true, 0, kTlsCertificateUntrusted,
                                "not trusted: IP address mismatch"},
                      TCertCase{"Expired", "IP:127.0.0.1", -3600, false, true, 0,
                                kTlsCertificateUntrusted, "not trusted: certificate has expired"},
                      TCertCase{"SelfSigned", "IP:127.0.0.1", 86400, true, false, 0,
                                kTlsCertificateUntrusted, "not trusted: self-signed certificate"},
                      TCertCase{"UnknownAuthority", "IP:127.0.0.1", 86400, false, false, 0,
                                kTlsCertificateUntrusted,
                                "not trusted: unable to get local issuer"},
                      TCertCase{"ChangedAfterItWasTrusted", "IP:127.0.0.1", 86400, false, true, 2,
                                kTlsCertificateChanged, "certificate has changed"},
                      TCertCase{"TrustedSelfSigned", "IP:127.0.0.1", 86400, true, false, 1, 0, ""},
                      TCertCase{"TrustedEvenForAnotherHost", "DNS:wrong-host.invalid", 86400, true,
                                false, 1, 0, ""}),
    [](const auto& info) { return info.param.name; });

// The certificate must be issued for the name the user typed, not merely for the address
// that name leads to; a refusal comes before the log-in reaches the server.
TEST(FtpTlsHostNameTest, ACertificateMustNameTheHostAsTyped) {
    const struct {
        const char* san;
        bool accepted;
    } cases[] = {{"DNS:localhost", true}, {"IP:127.0.0.1,DNS:wrong-host.invalid", false}};
    for (const auto& c : cases) {
        TTempDir local;
        TTestCa ca(local.Path());
        TTlsFtpPeer peer(ca.Issue("peer", c.san), "", true);
        TFtpClient client;
        LogInToPeer(client, "localhost", peer, ca);
        EXPECT_EQ(client.Connect(), c.accepted) << c.san << ": " << client.ErrorMessage();
        if (c.accepted) {
            EXPECT_TRUE(client.Quit()) << client.ErrorMessage();
            EXPECT_TRUE(SentInClear(peer.Commands(), "USER anna")) << c.san;
        } else {
            EXPECT_NE(client.ErrorMessage().find("not trusted: hostname mismatch"),
                      std::string::npos)
                << client.ErrorMessage();
            EXPECT_FALSE(client.Connected());
            EXPECT_EQ(peer.Commands(), std::vector<std::string>{"AUTH TLS"}) << c.san;
        }
    }
}

TEST(FtpTlsCommandLineTest, ShowsAnUntrustedCertificateAndAcceptsItOncePinned) {
    TTempDir local;
    TTempDir serverDir;
    TTestCa ca(local.Path());
    const TTestCertificate cert = ca.SelfSigned("selfmade", "IP:127.0.0.1");
    TVsftpdServer server(serverDir.Path(), &cert);
    if (server.Port() == 0) {
        GTEST_SKIP() << server.Problem();
    }
    const std::string page = MakeBytes(40000, 5);
    WriteFile(local.Path() / "index.html", page);
    setenv("TESSEL_TEST_FTP_PASSWORD", "tests@example.com", 1);
    const std::vector<std::string> args = {
        "--host", "127.0.0.1", "--port",         std::to_string(server.Port()),
        "--user", "anonymous", "--password-env", "TESSEL_TEST_FTP_PASSWORD",
        "--dir",  "pub",       "--tls"};
    const auto run = [&](std::vector<std::string> extra, std::string& errText) {
        std::vector<std::string> all = args;
        all.insert(all.end(), extra.begin(), extra.end());
        all.push_back((local.Path() / "index.html").string());
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunUploadCommand(all, out, err);
        errText = err.str();
        return code;
    };
    std::string err;
    EXPECT_EQ(run({}, err), 1);
    EXPECT_NE(err.find("not trusted: self-signed certificate"), std::string::npos) << err;
    EXPECT_NE(err.find("  SHA-256:    " + cert.sha256 + "\n"), std::string::npos) << err;
    EXPECT_NE(err.find("  Issued to:  CN=selfmade,O=Tessel Tests"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(server.UploadDir() / "index.html"));

    EXPECT_EQ(run({"--trust-sha256", cert.sha256}, err), 0) << err;
    EXPECT_TRUE(ReadFile(server.UploadDir() / "index.html") == page);

    const std::string other = ca.SelfSigned("other", "IP:127.0.0.1").sha256;
    EXPECT_EQ(run({"--trust-sha256", other}, err), 1);
    EXPECT_NE(err.find("certificate has changed"), std::string::npos) << err;
}

TEST(FtpTlsRefusalTest, ServerWithoutTlsIsRefusedBeforeAnythingElse) {
    TScriptedFtpServer server(
        {Send("220 Plain only\r\n"), Expect("AUTH TLS"), Send("500 AUTH not understood\r\n")});
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "anna";
    client.PassWord = "s3cret";
    client.Timeout = 10;
    client.TlsMode = ftpTlsRequired;
    uint16_t error = 0;
    client.OnRequestDone = [&](TCustomFtpCli*, TFtpRequest, std::uint16_t e) { error = e; };
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(error, 500);
    EXPECT_EQ(client.ErrorMessage(), "The server does not offer TLS");
    client.Abort();
    server.Join();
    EXPECT_EQ(server.Failure(), "");
    EXPECT_EQ(server.Commands(), std::vector<std::string>{"AUTH TLS"});
}

TEST(FtpTlsRefusalTest, CommandLineEndsWithTheMessageAndSendsNoPassword) {
    TTempDir local;
    WriteFile(local.Path() / "index.html", "page");
    TScriptedFtpServer server({Send("220 Plain only\r\n"), Expect("AUTH TLS"),
                               Send("534 Not here\r\n"), Expect("QUIT"), Send("221 Bye\r\n")});
    setenv("TESSEL_TEST_FTP_PASSWORD", "s3cret", 1);
    std::ostringstream out;
    std::ostringstream err;
    const int code =
        RunUploadCommand({"--host", "127.0.0.1", "--port", std::to_string(server.Port()), "--user",
                          "anna", "--password-env", "TESSEL_TEST_FTP_PASSWORD", "--tls",
                          (local.Path() / "index.html").string()},
                         out, err);
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.str().find("The server does not offer TLS"), std::string::npos) << err.str();
    server.Join();
    EXPECT_EQ(server.Failure(), "");
    const auto commands = server.Commands();
    EXPECT_FALSE(SentInClear(commands, "USER"));
    EXPECT_FALSE(SentInClear(commands, "PASS"));
    EXPECT_FALSE(SentInClear(commands, "STOR"));
    EXPECT_EQ(server.Data(), "");
}

TEST(FtpTlsRefusalTest, AnOpenedPlainConnectionGetsNoLogIn) {
    TScriptedFtpServer server({Send("220 Hello\r\n"), Expect("QUIT"), Send("221 Bye\r\n")});
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "anna";
    client.PassWord = "s3cret";
    client.Timeout = 10;
    ASSERT_TRUE(client.Open());
    // Asking for TLS on a connection opened in clear must not send the log-in in clear.
    client.TlsMode = ftpTlsRequired;
    EXPECT_FALSE(client.User());
    EXPECT_EQ(client.ErrorMessage(), "534 The control connection is not encrypted");
    EXPECT_TRUE(client.Quit());
    server.Join();
    EXPECT_EQ(server.Commands(), std::vector<std::string>{"QUIT"});
}

// RFC 4217 section 4: nothing sent in clear behind the 234 counts, or a man in the middle
// could answer the first encrypted commands.
TEST(FtpTlsRefusalTest, ClearTextBehindTheAuthReplyIsDropped) {
    TTempDir local;
    TTestCa ca(local.Path());
    const TTestCertificate cert = ca.Issue("peer", "IP:127.0.0.1");
    TTlsFtpPeer peer(cert, "", true, "200 PBSZ=0 injected\r\n530 Not logged in injected\r\n");
    TFtpClient client;
    LogInToPeer(client, "127.0.0.1", peer, ca);
    std::vector<std::string> replies;
    client.OnResponse = [&](TCustomFtpCli* c) { replies.push_back(c->LastResponse()); };
    ASSERT_TRUE(client.Connect()) << client.ErrorMessage();
    EXPECT_TRUE(std::none_of(replies.begin(), replies.end(), [](const std::string& r) {
        return r.find("injected") != std::string::npos;
    }));
    EXPECT_TRUE(client.Quit());
}

// The end of a download is only known from the server's close_notify; a connection that
// simply ends may have been cut short.
class FtpTlsDataCloseTest : public ::testing::TestWithParam<bool> {};

TEST_P(FtpTlsDataCloseTest, DownloadCountsOnlyWithTheServersTlsClose) {
    const bool closeNotify = GetParam();
    TTempDir local;
    TTestCa ca(local.Path());
    const TTestCertificate cert = ca.Issue("peer", "IP:127.0.0.1");
    const std::string payload = MakeBytes(50000, 3);
    TTlsFtpPeer peer(cert, payload, closeNotify);
    TFtpClient client;
    LogInToPeer(client, "127.0.0.1", peer, ca);
    client.Passive = true;
    ASSERT_TRUE(client.Connect()) << client.ErrorMessage();
    client.HostFileName = "payload.bin";
    client.LocalFileName = (local.Path() / "payload.bin").string();
    EXPECT_EQ(client.Get(), closeNotify) << client.ErrorMessage();
    if (closeNotify) {
        EXPECT_TRUE(ReadFile(local.Path() / "payload.bin") == payload);
        EXPECT_TRUE(peer.DataSessionReused());
    } else {
        EXPECT_EQ(client.ErrorMessage(), "The connection ended without a TLS close");
    }
    EXPECT_TRUE(client.Quit()) << client.ErrorMessage();
    const auto commands = peer.Commands();
    ASSERT_GE(commands.size(), 5u);
    EXPECT_EQ(
        std::vector<std::string>(commands.begin(), commands.begin() + 5),
        (std::vector<std::string>{"AUTH TLS", "PBSZ 0", "PROT P", "USER anna", "PASS s3cret"}));
}

INSTANTIATE_TEST_SUITE_P(Ends, FtpTlsDataCloseTest, ::testing::Values(true, false),
                         [](const auto& info) {
                             return std::string(info.param ? "WithCloseNotify" : "CutShort");
                         });

}  // namespace
}  // namespace tessel::test

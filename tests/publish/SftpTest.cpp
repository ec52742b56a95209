// Upload sessions over SFTP against OpenSSH's sshd started by the test: both log-ins, files
// byte-compared, the missing directory, host keys first seen, listed and changed, a server
// that stops answering, and Stop in the middle of a large file.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "NetTestSupport.h"
#include "SshdServer.h"
#include "cli/UploadCommand.h"
#include "publish/SftpUploader.h"

namespace tessel::test {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kLimit{120};

class SftpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(local);
        knownHosts = dir.Path() / "known_hosts";
        userKey = MakeSshKey(dir.Path() / "user_key", "");
        lockedKey = MakeSshKey(dir.Path() / "locked_key", "open sesame");
        server = std::make_unique<TSshdServer>(
            dir.Path() / "sshd",
            std::vector<std::string>{userKey.publicLine, lockedKey.publicLine});
        if (server->Port() == 0) {
            GTEST_SKIP() << "sshd cannot run here: " << server->Problem();
        }
        client.HostName = "127.0.0.1";
        client.Port = std::to_string(server->Port());
        client.UserName = kSshdUser;
        client.PassWord = kSshdPassword;
        client.KnownHostsFile = knownHosts.string();
        client.TrustedHostKey = server->HostKey().sha256;
        client.Timeout = 10;
        uploader.OnError = [this](const std::string& message) { errors.push_back(message); };
        uploader.OnLabel = [this](const std::string& label, bool) { labels.push_back(label); };
        uploader.OnTransferCompleted = [this] { ++completed; };
    }

    std::string AddFile(const std::string& name, std::size_t size) {
        const fs::path path = local / name;
        WriteFile(path, MakeBytes(size, static_cast<unsigned>(size + name.size())));
        uploader.Files.push_back(path.string());
        return path.string();
    }
    bool Run() {
        uploader.Start();
        return RunUntil([this] { return !uploader.Running(); }, kLimit);
    }
    // The server's copies of the local files, and nothing half-sent beside them.
    void ExpectArrived(const fs::path& folder) {
        for (const std::string& path : uploader.Files) {
            const fs::path name = fs::path(path).filename();
            EXPECT_TRUE(ReadFile(folder / name) == ReadFile(path)) << name;
            EXPECT_FALSE(fs::exists(folder / TSftpClient::TemporaryName(name.string()))) << name;
        }
    }
    // Whether the client got as far as the key exchange, and whether it ever tried to log in.
    bool ServerSawKeyExchange() const { return server->Log().find("kex: ") != std::string::npos; }
    bool ServerSawLogIn() const {
        const std::string log = server->Log();
        return log.find("userauth-request") != std::string::npos ||
               log.find("password") != std::string::npos;
    }

    TTempDir dir;
    fs::path local = dir.Path() / "local";
    fs::path knownHosts;
    TSshKeyPair userKey;
    TSshKeyPair lockedKey;
    std::unique_ptr<TSshdServer> server;
    TSftpClient client;
    TSftpUploader uploader{client};
    std::vector<std::string> errors;
    std::vector<std::string> labels;
    int completed = 0;
};

TEST_F(SftpTest, PasswordLogInSendsEverySizeIntactWithTheProgressTexts) {
    AddFile("big.bin", 3 * 1024 * 1024 + 7);
    AddFile("middle.gif", 32 * 1024);
    AddFile("one.txt", 1);
    AddFile("empty.txt", 0);
    ASSERT_TRUE(Run());
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(completed, 1);
    ExpectArrived(server->Home());
    EXPECT_EQ(labels.front(), "Connecting to 127.0.0.1...");
    // Each file from 0 to its size; the last one listed (the empty one) goes first.
    const auto at = [&](const std::string& label) {
        return std::find(labels.begin(), labels.end(), label) - labels.begin();
    };
    EXPECT_LT(at("Connected to 127.0.0.1..."), at("Transferring... 0 bytes"));
    EXPECT_NE(at("Transferring... 32768 bytes"), static_cast<long>(labels.size()));
    EXPECT_EQ(labels.back(), "Transferring... " + std::to_string(3 * 1024 * 1024 + 7) + " bytes");
    EXPECT_EQ(uploader.BytesDelivered(), uploader.BytesToSend());
    EXPECT_FALSE(client.Connected());
}

TEST_F(SftpTest, AFileAlreadyThereIsReplacedWhole) {
    WriteFile(server->Home() / "page.html", std::string(100000, 'x'));
    AddFile("page.html", 20);
    ASSERT_TRUE(Run());
    ExpectArrived(server->Home());
}

TEST_F(SftpTest, MissingDirectoryIsCreatedAfterYesWithTheLevelsAboveIt) {
    client.HostDirName = "public_html/site";
    int asked = 0;
    uploader.OnAskCreateDirectory = [&] {
        ++asked;
        return true;
    };
    AddFile("page.html", 5000);
    ASSERT_TRUE(Run());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(errors.empty()) << errors.front();
    ExpectArrived(server->Home() / "public_html" / "site");

    // No: nothing is made and nothing sent.
    client.HostDirName = "elsewhere";
    uploader.OnAskCreateDirectory = [] { return false; };
    ASSERT_TRUE(Run());
    EXPECT_FALSE(fs::exists(server->Home() / "elsewhere"));
    EXPECT_EQ(completed, 1);
}

TEST_F(SftpTest, KeyFileLogInsAskTheirPassphraseOnlyWhenNeeded) {
    client.Auth = TSshAuth::KeyFile;
    client.PassWord.clear();
    int asked = 0;
    uploader.OnAskPassphrase = [&](const std::string& file) -> std::optional<std::string> {
        ++asked;
        EXPECT_EQ(file, lockedKey.privateKey.string());
        return "open sesame";
    };
    AddFile("page.html", 40000);
    client.KeyFile = userKey.privateKey.string();
    ASSERT_TRUE(Run());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(completed, 1);

    client.KeyFile = lockedKey.privateKey.string();
    ASSERT_TRUE(Run());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(completed, 2);
    ExpectArrived(server->Home());

    // A wrong passphrase fails before anything goes on the network; the next session asks
    // again instead of keeping what was typed.
    uploader.OnAskPassphrase = [&](const std::string&) -> std::optional<std::string> {
        ++asked;
        return "not it";
    };
    ASSERT_TRUE(Run());
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("passphrase does not open"), std::string::npos) << errors[0];
}

TEST_F(SftpTest, WrongPasswordIsRefusedAndNothingIsWritten) {
    client.PassWord = "wrong";
    AddFile("page.html", 10);
    ASSERT_TRUE(Run());
    EXPECT_EQ(uploader.LastError(), kSshLoginRefused);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("refused the log-in of tesselsftp"), std::string::npos) << errors[0];
    EXPECT_FALSE(fs::exists(server->Home() / "page.html"));
}

TEST_F(SftpTest, APasswordAskedForByPromptIsGivenThere) {
    TSshdServer prompting(dir.Path() / "prompting", {}, true);
    ASSERT_NE(prompting.Port(), 0) << prompting.Problem();
    client.Port = std::to_string(prompting.Port());
    client.TrustedHostKey = prompting.HostKey().sha256;
    AddFile("page.html", 1000);
    ASSERT_TRUE(Run());
    EXPECT_TRUE(errors.empty()) << errors.front() << prompting.Log();
    ExpectArrived(prompting.Home());

    client.PassWord = "wrong";
    ASSERT_TRUE(Run());
    EXPECT_EQ(uploader.LastError(), kSshLoginRefused);
}

TEST_F(SftpTest, AnUnknownHostKeyIsShownAndNothingIsSent) {
    client.TrustedHostKey.clear();
    AddFile("page.html", 10);
    ASSERT_TRUE(Run());
    EXPECT_EQ(uploader.LastError(), kSshHostKeyUnknown);
    EXPECT_EQ(client.ServerHostKey().type, "ssh-ed25519");
    EXPECT_EQ(client.ServerHostKey().sha256, server->HostKey().sha256);
    EXPECT_TRUE(ServerSawKeyExchange());
    EXPECT_FALSE(ServerSawLogIn()) << server->Log();
    EXPECT_FALSE(fs::exists(server->Home() / "page.html"));
}

TEST_F(SftpTest, AChangedHostKeyIsRefusedBeforeThePasswordGoesOut) {
    client.TrustedHostKey = userKey.sha256;  // some other key than the server's
    AddFile("page.html", 10);
    ASSERT_TRUE(Run());
    EXPECT_EQ(uploader.LastError(), kSshHostKeyChanged);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("host key has changed"), std::string::npos) << errors[0];
    EXPECT_EQ(client.ServerHostKey().sha256, server->HostKey().sha256);
    EXPECT_TRUE(ServerSawKeyExchange());
    EXPECT_FALSE(ServerSawLogIn()) << server->Log();
}

TEST_F(SftpTest, KnownHostsDecidesWhenTheProfileTrustsNoKey) {
    client.TrustedHostKey.clear();
    AddFile("page.html", 10);
    const std::string host = "[127.0.0.1]:" + std::to_string(server->Port());
    std::ofstream(knownHosts) << host << " " << server->HostKey().publicLine << "\n";
    ASSERT_TRUE(Run());
    EXPECT_EQ(completed, 1);
    EXPECT_TRUE(errors.empty()) << errors.front();

    // Another key listed for the host is a changed key.
    std::ofstream(knownHosts) << host << " " << userKey.publicLine << "\n";
    ASSERT_TRUE(Run());
    EXPECT_EQ(uploader.LastError(), kSshHostKeyChanged);
}

TEST_F(SftpTest, AServerThatStopsAnsweringEndsTheSessionAfterTheTimeout) {
    client.Timeout = 2;
    const std::string big = AddFile("big.bin", 20 * 1024 * 1024);
    bool stalled = false;
    uploader.OnLabel = [&](const std::string& label, bool progress) {
        if (progress && !stalled && uploader.BytesSent() > 512 * 1024) {
            stalled = true;
            server->StallConnections();
        }
        labels.push_back(label);
    };
    ASSERT_TRUE(Run());
    EXPECT_TRUE(stalled);
    EXPECT_EQ(uploader.LastError(), kSshTimeout);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("time-out"), std::string::npos) << errors[0];
    EXPECT_FALSE(fs::exists(server->Home() / "big.bin"));
}

TEST_F(SftpTest, AServerThatNeverGreetsEndsTheSessionAfterTheTimeout) {
    // Connections are taken into the backlog and never answered.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&sin), sizeof sin), 0);
    ASSERT_EQ(listen(listener, 5), 0);
    socklen_t length = sizeof sin;
    getsockname(listener, reinterpret_cast<sockaddr*>(&sin), &length);
    client.Port = std::to_string(ntohs(sin.sin_port));
    client.Timeout = 1;
    AddFile("page.html", 10);
    const bool ended = Run();
    close(listener);
    ASSERT_TRUE(ended);
    EXPECT_EQ(uploader.LastError(), kSshTimeout);
}

TEST_F(SftpTest, StopInALargeFileLeavesNothingUnderTheRealName) {
    AddFile("big.bin", 40 * 1024 * 1024);
    uploader.OnLabel = [&](const std::string&, bool progress) {
        if (progress && uploader.BytesSent() > 2 * 1024 * 1024) {
            uploader.Stop();
        }
    };
    uploader.Start();
    ASSERT_TRUE(RunUntil([this] { return !uploader.Running(); }, kLimit));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(completed, 0);
    RunFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(server->Home() / "big.bin"));

    // The next session sends it whole and leaves no temporary copy.
    uploader.OnLabel = nullptr;
    ASSERT_TRUE(Run());
    EXPECT_EQ(completed, 1);
    ExpectArrived(server->Home());
}

TEST_F(SftpTest, TheCommandLineShowsAnUnknownKeyAndSendsOnceItIsGiven) {
    const std::string page = AddFile("page.html", 3000);
    // An empty ~/.ssh/known_hosts, for this test only.
    const char* home = std::getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    setenv("HOME", dir.Path().c_str(), 1);
    struct TRestore {
        std::string home;
        ~TRestore() { setenv("HOME", home.c_str(), 1); }
    } restore{savedHome};
    const std::vector<std::string> args = {"--sftp",
                                           "--host",
                                           "127.0.0.1",
                                           "--port",
                                           std::to_string(server->Port()),
                                           "--user",
                                           kSshdUser,
                                           "--key",
                                           userKey.privateKey.string(),
                                           "--dir",
                                           "",
                                           page};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunUploadCommand(args, out, err), 1);
    EXPECT_NE(err.str().find("--trust-sha256 " + server->HostKey().sha256), std::string::npos)
        << err.str();
    EXPECT_FALSE(fs::exists(server->Home() / "page.html"));

    std::vector<std::string> trusted = args;
    trusted.insert(trusted.begin(), {"--trust-sha256", server->HostKey().sha256});
    std::ostringstream out2;
    std::ostringstream err2;
    EXPECT_EQ(RunUploadCommand(trusted, out2, err2), 0) << err2.str();
    EXPECT_NE(out2.str().find("Transfer Completed."), std::string::npos);
    ExpectArrived(server->Home());
}

}  // namespace
}  // namespace tessel::test

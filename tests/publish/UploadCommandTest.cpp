// tessel-cli upload and the upload session behind it, against pyftpdlib and scripted
// servers: the order of requests, the texts shown, the exit code.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "NetTestSupport.h"
#include "ScriptedFtpServer.h"
#include "cli/UploadCommand.h"
#include "platform/RegistryStore.h"
#include "publish/FtpUploader.h"
#include "publish/core/Profiles.h"

namespace tessel::test {
namespace {

using namespace std::chrono_literals;

struct TCliResult {
    int code;
    std::string out;
    std::string err;
};

TCliResult RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunUploadCommand(args, out, err);
    return {code, out.str(), err.str()};
}

class UploadCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("TESSEL_TEST_FTP_PASSWORD", "s3cret", 1); }

    std::vector<std::string> Args(int port, std::vector<std::string> rest) {
        std::vector<std::string> args = {
            "--host", "127.0.0.1", "--port",         std::to_string(port),
            "--user", "anna",      "--password-env", "TESSEL_TEST_FTP_PASSWORD"};
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    }

    TTempDir FLocal;
};

TEST_F(UploadCommandTest, UsageErrors) {
    EXPECT_EQ(RunCli({"--help"}).code, 0);
    const auto noHost = RunCli({"--user", "u", "--password-env", "X", "f"});
    EXPECT_EQ(noHost.code, 2);
    EXPECT_NE(noHost.err.find("--host"), std::string::npos);
    EXPECT_NE(noHost.err.find("tessel-cli upload --host H"), std::string::npos);
    EXPECT_EQ(RunCli({"--host", "h", "--user", "u", "f"}).code, 2);  // no password source
    EXPECT_EQ(RunCli({"--host", "h", "--user", "u", "--password-env", "X"}).code, 2);  // no file
    EXPECT_EQ(
        RunCli({"--host", "h", "--user", "u", "--password-env", "NO_SUCH_VARIABLE_HERE", "f"}).code,
        2);
}

TEST_F(UploadCommandTest, UploadsIntoANewDirectoryInBothModes) {
    TTempDir serverDir;
    TPyFtpServer server(serverDir.Path(), "anna", "s3cret");
    ASSERT_NE(server.Port(), 0) << "pyftpdlib did not start";
    const std::string page = MakeBytes(5000, 1);
    const std::string picture = MakeBytes(70000, 2);
    WriteFile(FLocal.Path() / "index.html", page);
    WriteFile(FLocal.Path() / "pic.gif", picture);
    WriteFile(FLocal.Path() / "pw", "s3cret\nignored second line\n");
    for (const bool passive : {false, true}) {
        const std::string dir = passive ? "www-passive" : "www-active";
        std::vector<std::string> args = {"--host",
                                         "127.0.0.1",
                                         "--port",
                                         std::to_string(server.Port()),
                                         "--user",
                                         "anna",
                                         "--password-file",
                                         (FLocal.Path() / "pw").string(),
                                         "--dir",
                                         dir,
                                         "--mkdir",
                                         (FLocal.Path() / "pic.gif").string(),
                                         (FLocal.Path() / "index.html").string()};
        if (passive) {
            args.push_back("--passive");
        }
        const auto r = RunCli(args);
        EXPECT_EQ(r.code, 0) << r.out << r.err;
        EXPECT_EQ(r.out,
                  "Connecting to 127.0.0.1...\n"
                  "Connected to 127.0.0.1...\n"
                  "Making Directory...\n"
                  "Finding Initial Directory...\n"
                  "Transferring...\n"
                  "Transferring... 0 bytes\n"
                  "Transferring... 5000 bytes\n"
                  "Transferring... 0 bytes\n"
                  "Transferring... 70000 bytes\n"
                  "Transfer Completed.\n");
        EXPECT_EQ(r.out.find("s3cret"), std::string::npos);
        EXPECT_TRUE(ReadFile(serverDir.Path() / dir / "index.html") == page);
        EXPECT_TRUE(ReadFile(serverDir.Path() / dir / "pic.gif") == picture);
    }
}

TEST_F(UploadCommandTest, FailuresEndWithTheErrorAndExitCode1) {
    TTempDir serverDir;
    TPyFtpServer server(serverDir.Path(), "anna", "s3cret");
    ASSERT_NE(server.Port(), 0) << "pyftpdlib did not start";
    const std::string file = (FLocal.Path() / "a.txt").string();
    WriteFile(file, "a");

    const auto noDir = RunCli(Args(server.Port(), {"--dir", "missing", file}));
    EXPECT_EQ(noDir.code, 1);
    EXPECT_EQ(noDir.err.rfind("Error 550", 0), 0u) << noDir.err;
    EXPECT_FALSE(std::filesystem::exists(serverDir.Path() / "missing"));

    setenv("TESSEL_TEST_FTP_PASSWORD", "wrong", 1);
    const auto badPassword = RunCli(Args(server.Port(), {file}));
    EXPECT_EQ(badPassword.code, 1);
    EXPECT_EQ(badPassword.err.rfind("Error 530", 0), 0u) << badPassword.err;
    EXPECT_EQ(badPassword.err.find("wrong"), std::string::npos);

    const auto refused = RunCli(Args(FreeLoopbackPort(), {file}));
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "Error 500 Connection refused (Winsock error #10061)\n");

    auto unknownHost = Args(21, {file});
    unknownHost[1] = "no-such-host.invalid";
    const auto notFound = RunCli(unknownHost);
    EXPECT_EQ(notFound.code, 1);
    // Without a resolver the lookup fails as "non-authoritative"; either is not found.
    EXPECT_TRUE(notFound.err == "Error 500 Host not found (Winsock error #11001)\n" ||
                notFound.err ==
                    "Error 500 Non-authoritative host not found (Winsock error #11002)\n")
        << notFound.err;
}

TEST_F(UploadCommandTest, StallingServerTimesOut) {
    TScriptedFtpServer server({Send("220 hi\r\n"), Expect("USER anna"), Hang()});
    const std::string file = (FLocal.Path() / "a.txt").string();
    WriteFile(file, "a");
    const auto start = std::chrono::steady_clock::now();
    const auto r = RunCli(Args(server.Port(), {"--timeout", "1", file}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error 426 Timeout\n");
}

// --profile reads the settings store the desktop program writes, found the same way.
class UploadWithProfileTest : public UploadCommandTest {
  protected:
    void SetUp() override {
        UploadCommandTest::SetUp();
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        FPreviousConfig = previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
        setenv("XDG_CONFIG_HOME", FConfig.Path().c_str(), 1);
    }
    void TearDown() override {
        if (FPreviousConfig) {
            setenv("XDG_CONFIG_HOME", FPreviousConfig->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }

    void SaveProfile(const TServerProfile& profile) {
        TRegistryStore store((FConfig.Path() / "brindle-tessel" / "registry").string());
        TServerProfiles(store).WriteProfile(profile, "");
    }

    TTempDir FConfig;
    std::optional<std::string> FPreviousConfig;
};

TEST_F(UploadWithProfileTest, UploadsWithTheProfilesLogInDirectoryAndPassiveMode) {
    TTempDir serverDir;
    TPyFtpServer server(serverDir.Path(), "anna", "s3cr\xC3\xA4t:*");
    ASSERT_NE(server.Port(), 0) << "pyftpdlib did not start";
    std::filesystem::create_directory(serverDir.Path() / "www");
    const std::string page = MakeBytes(3000, 3);
    WriteFile(FLocal.Path() / "index.html", page);
    TServerProfile profile;
    profile.name = "Home Site";
    profile.user = "anna";
    profile.password = "s3cr\xC3\xA4t:*";
    profile.host = "127.0.0.1";
    profile.port = std::to_string(server.Port());
    profile.initialDir = "www";
    profile.passive = true;
    profile.webAddress = "http://localhost/~anna/";  // the desktop's alone
    SaveProfile(profile);

    const auto r = RunCli({"--profile", "home site", (FLocal.Path() / "index.html").string()});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Transfer Completed."), std::string::npos) << r.out;
    EXPECT_TRUE(ReadFile(serverDir.Path() / "www" / "index.html") == page);
    EXPECT_EQ(r.out.find("s3cr"), std::string::npos);

    // Explicit options win: the profile points at a closed port and another directory.
    profile.port = std::to_string(FreeLoopbackPort());
    profile.initialDir = "missing";
    SaveProfile(profile);
    const auto overridden =
        RunCli({"--profile", "Home Site", "--port", std::to_string(server.Port()), "--dir", "",
                "--active", (FLocal.Path() / "index.html").string()});
    EXPECT_EQ(overridden.code, 0) << overridden.out << overridden.err;
    EXPECT_TRUE(ReadFile(serverDir.Path() / "index.html") == page);
}

TEST_F(UploadWithProfileTest, UnknownProfileIsAUsageError) {
    const std::string file = (FLocal.Path() / "a.txt").string();
    WriteFile(file, "a");
    const auto none = RunCli({"--profile", "Home", file});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("there is no server profile \"Home\""), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("(it holds no profiles)"), std::string::npos) << none.err;

    TServerProfile work;
    work.name = "Work";
    work.host = "127.0.0.2";
    work.user = "anna";
    SaveProfile(work);
    const auto other = RunCli({"--profile", "Home", file});
    EXPECT_EQ(other.code, 2);
    EXPECT_NE(other.err.find("(it holds \"Work\")"), std::string::npos) << other.err;
    // A name that cannot be a profile's is simply not found.
    EXPECT_EQ(RunCli({"--profile", "Work\\..", file}).code, 2);
}

// Servers that misbehave at one point of an upload; the command must end with exit 1 and
// the server's fault in its message, well within --timeout plus the courtesy QUIT.
struct TMisbehaviour {
    std::string name;
    std::vector<TAction> script;
    std::string error;  // start of the error output
};

std::vector<TAction> Then(std::vector<TAction> first, const std::vector<TAction>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

const std::vector<TAction> kCliLogin = {Send("220 hi\r\n"), Expect("USER anna"), Send("331 pw\r\n"),
                                        Expect("PASS s3cret"), Send("230 ok\r\n")};
const std::vector<TAction> kCliToStor =
    Then(kCliLogin, {Expect("PWD"), Send("257 \"/\"\r\n"), Expect("TYPE I"), Send("200 ok\r\n"),
                     Expect("PORT"), Send("200 ok\r\n"), Expect("STOR a.bin")});

TEST_F(UploadCommandTest, MisbehavingServersEndWithExitCode1) {
    const std::vector<TMisbehaviour> cases = {
        {"PassAnswered0",
         {Send("220 hi\r\n"), Expect("USER anna"), Send("331 pw\r\n"), Expect("PASS"),
          Send("0 refused\r\n"), Hang()},
         "Error 500 Malformed reply: \"0 refused\""},
        {"StorAnswered000", Then(kCliToStor, {Send("000 refused\r\n"), Hang()}),
         "Error 500 Malformed reply: \"000 refused\""},
        {"FinalReply65536",
         Then(kCliToStor,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("65536 refused\r\n"), Hang()}),
         "Error 500 Malformed reply: \"65536 refused\""},
        {"ExtraReplyBeforePass",
         {Send("220 hi\r\n"), Expect("USER anna"), Send("331 pw\r\n230\r\n"), Expect("PASS"),
          Send("530 Login incorrect\r\n"), Hang()},
         "Error 500 Reply sent before the command: \"230\""},
        {"EndlessReplyToPwd",
         Then(kCliLogin, {Expect("PWD"), Send("257-here\r\n"), Repeat(" more\r\n", 20)}),
         "Error 426 Timeout"},
        {"TrickledReplyToType",
         Then(kCliLogin, {Expect("PWD"), Send("257 \"/\"\r\n"), Expect("TYPE I"),
                          Trickle("200 " + std::string(100, '.') + "\r\n", 50)}),
         "Error 426 Timeout"},
        {"NoDataConnectionAfter150", Then(kCliToStor, {Send("150 go\r\n"), Hang()}),
         "Error 426 Timeout"},
        {"DataClosedEarlyThen226",
         Then(kCliToStor, {DataConnect(), Send("150 go\r\n"), DataReadSome(3000), DataClose(),
                           Send("226 ok\r\n"), Hang()}),
         "Error "},
        {"NoFinalReply", Then(kCliToStor, {DataConnect(), Send("150 go\r\n"), DataRead(), Hang()}),
         "Error 426 Timeout"},
        {"StorRefusedThenQuitIgnored",
         Then(kCliToStor, {Send("552 Quota exceeded\r\n"), Expect("QUIT"), Hang()}),
         "Error 552 Quota exceeded"},
        {"ControlDroppedDuringTransfer",
         Then(kCliToStor,
              {DataConnect(), Send("150 go\r\n"), DataReadSome(3000), CloseControl(), DataClose()}),
         "Error "},
    };
    const std::string file = (FLocal.Path() / "a.bin").string();
    WriteFile(file, MakeBytes(4000000, 3));
    for (const auto& c : cases) {
        TScriptedFtpServer server(c.script);
        const auto start = std::chrono::steady_clock::now();
        const auto r = RunCli(Args(server.Port(), {"--timeout", "1", file}));
        // The command ends within --timeout + 2.5 s; the bound here is looser.
        EXPECT_LT(std::chrono::steady_clock::now() - start, 8s) << c.name;
        EXPECT_EQ(r.code, 1) << c.name << ": " << r.out << r.err;
        EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << c.name << ": " << r.err;
        EXPECT_EQ(r.out.find("Transfer Completed."), std::string::npos) << c.name;
    }
}

TEST_F(UploadCommandTest, QuitNeverAnsweredAfterAGoodUploadIsStillASuccess) {
    const std::string bytes = MakeBytes(100000, 4);
    WriteFile(FLocal.Path() / "a.bin", bytes);
    TScriptedFtpServer server(Then(kCliToStor, {DataConnect(), Send("150 go\r\n"), DataRead(),
                                                Send("226 ok\r\n"), Expect("QUIT"), Hang()}));
    const auto start = std::chrono::steady_clock::now();
    const auto r =
        RunCli(Args(server.Port(), {"--timeout", "2", (FLocal.Path() / "a.bin").string()}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Transfer Completed."), std::string::npos);
    EXPECT_EQ(r.err, "");
    server.Join();
    EXPECT_TRUE(server.Data() == bytes);
}

TEST_F(UploadCommandTest, SendsFilesLastFirstIntoTheLoginDirectory) {
    TScriptedFtpServer server({Send("220 hi\r\n"),
                               Expect("USER anna"),
                               Send("331 pw\r\n"),
                               Expect("PASS s3cret"),
                               Send("230 ok\r\n"),
                               Expect("PWD"),
                               Send("257 \"/home\"\r\n"),
                               Expect("TYPE I"),
                               Send("200 ok\r\n"),
                               Expect("PORT"),
                               Send("200 ok\r\n"),
                               Expect("STOR second.txt"),
                               DataConnect(),
                               Send("150 go\r\n"),
                               DataRead(),
                               DataClose(),
                               Send("226 ok\r\n"),
                               Expect("PORT"),
                               Send("200 ok\r\n"),
                               Expect("STOR first.txt"),
                               DataConnect(),
                               Send("150 go\r\n"),
                               DataRead(),
                               Send("226 ok\r\n"),
                               Expect("QUIT"),
                               Send("221 bye\r\n"),
                               CloseControl()});
    WriteFile(FLocal.Path() / "first.txt", "1");
    WriteFile(FLocal.Path() / "second.txt", "22");
    const auto r = RunCli(Args(server.Port(), {(FLocal.Path() / "first.txt").string(),
                                               (FLocal.Path() / "second.txt").string()}));
    EXPECT_EQ(r.code, 0) << r.err;
    server.Join();
    EXPECT_EQ(server.Failure(), "");
    EXPECT_EQ(server.Data(), "221");
}

TEST_F(UploadCommandTest, LineBreakInUserNameIsRefusedBeforeAnythingIsSent) {
    TScriptedFtpServer server({Send("220 hi\r\n"), Hang()});
    auto args = Args(server.Port(), {"x"});
    args[5] = "anna\r\nDELE index.html";
    const auto r = RunCli(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "UserName holds a CR, LF or NUL character\n");
    EXPECT_TRUE(server.Commands().empty());
}

TEST(FtpUploaderTest, SendWhileConnectedOnlyClosesTheConnection) {
    TScriptedFtpServer server({Send("220 hi\r\n"), Expect("USER u"), Send("230 ok\r\n"),
                               Expect("QUIT"), Send("221 bye\r\n"), CloseControl()});
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    ASSERT_TRUE(client.Connect());
    TFtpUploader uploader(client);
    uploader.Files = {"/nonexistent"};
    std::vector<std::string> labels;
    bool ended = false;
    uploader.OnLabel = [&](const std::string& label, bool) { labels.push_back(label); };
    uploader.OnSessionEnd = [&] { ended = true; };
    uploader.Start();
    ASSERT_TRUE(RunUntil([&] { return ended; }, 5s));
    EXPECT_EQ(labels, std::vector<std::string>{"Connected..."});
    EXPECT_FALSE(client.Connected());
}

TEST(FtpUploaderTest, SecondMissingDirectoryIsAnError) {
    TScriptedFtpServer server(
        {Send("220 hi\r\n"), Expect("USER u"), Send("230 ok\r\n"), Expect("CWD www"),
         Send("550 no\r\n"), Expect("MKD www"), Send("257 \"/www\"\r\n"), Expect("CWD www"),
         Send("550 still no\r\n"), Expect("QUIT"), Send("221 bye\r\n"), CloseControl()});
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    client.PassWord = "p";
    client.HostDirName = "www";
    TFtpUploader uploader(client);
    uploader.Files = {"/nonexistent"};
    int asked = 0;
    std::string error;
    bool ended = false;
    uploader.OnAskCreateDirectory = [&] { return ++asked > 0; };
    uploader.OnError = [&](const std::string& message) { error = message; };
    uploader.OnSessionEnd = [&] { ended = true; };
    uploader.Start();
    ASSERT_TRUE(RunUntil([&] { return ended; }, 5s));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(error, "Error 550 no");
    EXPECT_EQ(server.Failure(), "");
}

}  // namespace
}  // namespace tessel::test

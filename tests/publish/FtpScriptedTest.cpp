// Cases a real server will not produce on request, played by a scripted server: each
// row gives the server's replies and moves, the request, and how it must end.

#include <gtest/gtest.h>

#include <cstring>

#include "FtpTestClient.h"
#include "NetTestSupport.h"
#include "ScriptedFtpServer.h"
#include "publish/FtpCli.h"

namespace tessel::test {
namespace {

using namespace std::chrono_literals;

enum TRequestKind { kConnect, kTransmitActive, kTransmitPassive, kMkdir };

constexpr int kAnyFailure = -1;
constexpr int kTimeoutSeconds = 2;

struct TScriptCase {
    std::string name;
    TRequestKind request;
    std::size_t fileSize;
    std::vector<TAction> script;
    int error;
    std::string message;                // part of ErrorMessage
    std::vector<std::string> commands;  // the transcript, each line by its start
    bool dataComplete = false;
};

std::vector<TAction> Cat(std::initializer_list<std::vector<TAction>> parts) {
    std::vector<TAction> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

const std::vector<TAction> kLogin = {Send("220 hi\r\n"), Expect("USER u"), Send("331 pw\r\n"),
                                     Expect("PASS p"), Send("230 ok\r\n")};
const std::vector<TAction> kToStorActive = {Expect("TYPE I"), Send("200 ok\r\n"),
                                            Expect("PORT 127,0,0,1,"), Send("200 ok\r\n"),
                                            Expect("STOR up.bin")};
const std::vector<TAction> kToStorPassive = {
    Expect("TYPE I"), Send("200 ok\r\n"),
    Expect("PASV"),   PasvReply("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n"),
    DataAccept(),     Expect("STOR up.bin")};
const std::vector<TAction> kQuit = {Expect("QUIT"), Send("221 bye\r\n"), CloseControl()};
const std::vector<std::string> kLoginCommands = {"USER u", "PASS p"};
const std::vector<std::string> kStorCommands = {"USER u", "PASS p", "TYPE I",
                                                "PORT",   "STOR",   "QUIT"};

std::string LongLines(int count) {
    std::string text = "230-Welcome\r\n";
    for (int i = 0; i < count; ++i) {
        // Lines inside may start with digits, even with a code and a space: only the
        // opening code followed by a space ends the reply (RFC 959 section 4.2).
        text +=
            (i % 3 == 0 ? "150 looks like a reply, line " : " line ") + std::to_string(i) + "\r\n";
    }
    return text + "230 Logged in\r\n";
}

std::vector<TScriptCase> Cases() {
    return {
        {"MultiLineBannerCompletesOnce", kConnect, 0,
         Cat({{Send("220-Hello\r\n220-there\r\n"), Send("220 ready\r\n"), Expect("USER u"),
               Send("331 pw\r\n"), Expect("PASS p"), Send("230 ok\r\n"), Hang()}}),
         0, "", kLoginCommands},
        {"HundredsOfContinuationLines",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send(LongLines(400)), Hang()},
         0,
         "",
         {"USER u"}},
        {"RepliesOneByteAtATime",
         kConnect,
         0,
         {SendBytewise("220 hi\r\n"), Expect("USER u"), SendBytewise("331 pw\r\n"),
          Expect("PASS p"), SendBytewise("230 ok\r\n"), Hang()},
         0,
         "",
         kLoginCommands},
        {"LfOnlyLineEnds",
         kConnect,
         0,
         {Send("220-a\n220 hi\n"), Expect("USER u"), Send("331 pw\n"), Expect("PASS p"),
          Send("230 ok\n"), Hang()},
         0,
         "",
         kLoginCommands},
        {"UserAnsweredWith230SendsNoPass",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("230 no password needed\r\n"), Hang()},
         0,
         "",
         {"USER u"}},
        {"BannerOtherThan220",
         kConnect,
         0,
         {Send("421 Too many users\r\n"), Hang()},
         421,
         "421 Too many users",
         {}},
        {"421AnsweringUser",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER"), Send("421 Bye\r\n"), CloseControl()},
         421,
         "421 Bye",
         {"USER u"}},
        {"421AnsweringPass",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER"), Send("331 pw\r\n"), Expect("PASS"),
          Send("421 Bye\r\n"), CloseControl()},
         421,
         "421 Bye",
         kLoginCommands},
        {"421AnsweringType",
         kTransmitActive,
         10,
         Cat({kLogin, {Expect("TYPE I"), Send("421 Bye\r\n"), CloseControl()}}),
         421,
         "421 Bye",
         {"USER u", "PASS p", "TYPE I"}},
        {"421AnsweringPasv",
         kTransmitPassive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"), Send("421 Bye\r\n"),
               CloseControl()}}),
         421,
         "421 Bye",
         {"USER u", "PASS p", "TYPE I", "PASV"}},
        {"421AnsweringPort",
         kTransmitActive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PORT"), Send("421 Bye\r\n"),
               CloseControl()}}),
         421,
         "421 Bye",
         {"USER u", "PASS p", "TYPE I", "PORT"}},
        {"421AnsweringStor",
         kTransmitActive,
         10,
         Cat({kLogin, kToStorActive, {Send("421 Bye\r\n"), CloseControl()}}),
         421,
         "421 Bye",
         {"USER u", "PASS p", "TYPE I", "PORT", "STOR"}},
        {"MkdAnsweredWith250Fails",
         kMkdir,
         0,
         Cat({kLogin, {Expect("MKD newdir"), Send("250 made it\r\n"), Hang()}}),
         250,
         "250 made it",
         {"USER u", "PASS p", "MKD newdir"}},
        {"CwdRefusedInsideCompoundSendsNoQuit",
         kMkdir,
         0,
         Cat({kLogin, {Expect("CWD"), Send("550 No such directory\r\n"), Hang()}}),
         550,
         "550 No such directory",
         {"USER u", "PASS p", "CWD www"}},
        {"StorAnswered425",
         kTransmitActive,
         10,
         Cat({kLogin, kToStorActive, {Send("425 Can't open data connection\r\n"), Hang()}}),
         425,
         "425",
         {"USER u", "PASS p", "TYPE I", "PORT", "STOR"}},
        {"StorEndsWith426",
         kTransmitActive,
         5000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("426 Transfer aborted\r\n"),
               Hang()}}),
         426,
         "426 Transfer aborted",
         {}},
        {"StorEndsWith451",
         kTransmitActive,
         5000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("451 Local error\r\n"),
               Hang()}}),
         451,
         "451 Local error",
         {}},
        {"StorEndsWith552",
         kTransmitActive,
         5000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("552 Quota exceeded\r\n"),
               Hang()}}),
         552,
         "552 Quota exceeded",
         {}},
        {"Reply226AfterDataClose", kTransmitActive, 1515,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("226 done\r\n")},
              kQuit}),
         0, "", kStorCommands, true},
        {"Reply226BeforeDataCloseInSameRead", kTransmitActive, 1514,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n226 done early\r\n"), DataRead()},
              kQuit}),
         0, "", kStorCommands, true},
        {"ServerConnectsAfter150", kTransmitActive, 3000,
         Cat({kLogin,
              kToStorActive,
              {Send("150 go\r\n"), DataConnect(), DataRead(), Send("226 done\r\n")},
              kQuit}),
         0, "", kStorCommands, true},
        {"150WithNoDataConnectionEver",
         kTransmitActive,
         10,
         Cat({kLogin, kToStorActive, {Send("150 go\r\n"), Hang()}}),
         426,
         "426 Timeout",
         {}},
        {"DataClosedWithoutAny226",
         kTransmitActive,
         1000,
         Cat({kLogin, kToStorActive, {DataConnect(), Send("150 go\r\n"), DataRead(), Hang()}}),
         426,
         "426 Timeout",
         {}},
        {"DataConnectionDroppedEarly",
         kTransmitActive,
         4000000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataReadSome(3000), DataClose(),
               Send("226 done\r\n"), Hang()}}),
         kAnyFailure,
         "",
         {}},
        {"ConnectionDroppedMidTransfer",
         kTransmitActive,
         4000000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataReadSome(3000), CloseControl(),
               DataClose()}}),
         kAnyFailure,
         "",
         {}},
        {"ForeignDataConnectionTurnedAway", kTransmitActive, 2000,
         Cat({kLogin,
              kToStorActive,
              {DataConnectFrom("127.0.0.2"), DataConnect(), Send("150 go\r\n"), DataRead(),
               Send("226 done\r\n")},
              kQuit}),
         0, "", kStorCommands, true},
        {"PassiveIgnoresForeignAddressIn227",
         kTransmitPassive,
         4000,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               PasvReply("227 Entering Passive Mode (127,0,0,2,{p1},{p2})\r\n"), DataAccept(),
               Expect("STOR up.bin"), Send("150 go\r\n"), DataRead(), Send("226 done\r\n")},
              kQuit}),
         0,
         "",
         {"USER u", "PASS p", "TYPE I", "PASV", "STOR", "QUIT"},
         true},
        {"PassiveMalformed227",
         kTransmitPassive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               Send("227 Entering Passive Mode (127,0,0,1)\r\n"), Hang()}}),
         550,
         "Unable to establish data connection",
         {"USER u", "PASS p", "TYPE I", "PASV"}},
        {"PassiveUploadEndsWith226",
         kTransmitPassive,
         1515,
         Cat({kLogin,
              kToStorPassive,
              {Send("150 go\r\n"), DataRead(), Send("226 done\r\n")},
              kQuit}),
         0,
         "",
         {"USER u", "PASS p", "TYPE I", "PASV", "STOR", "QUIT"},
         true},
        {"ServerStopsAnswering",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Hang()},
         426,
         "426 Timeout",
         {"USER u"}},
        {"SilentServerNeverSendsBanner", kConnect, 0, {Hang()}, 426, "426 Timeout", {}},
        {"ServerClosesBeforeBanner",
         kConnect,
         0,
         {CloseControl()},
         10053,
         "Connection aborted",
         {}},
        {"ReplyLineLongerThanBuffer",
         kConnect,
         0,
         {Send("220 " + std::string(5000, 'x') + "\r\n"), Hang()},
         500,
         "longer than 4096",
         {}},
    };
}

void PrintTo(const TScriptCase& c, std::ostream* os) {
    *os << c.name;
}

class FtpScriptedTest : public ::testing::TestWithParam<TScriptCase> {};

TEST_P(FtpScriptedTest, EndsAsScripted) {
    const TScriptCase& c = GetParam();
    TTempDir dir;
    const std::string content = MakeBytes(c.fileSize, 7);
    WriteFile(dir.Path() / "up.bin", content);
    TScriptedFtpServer server(c.script);

    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    client.PassWord = "p";
    client.Timeout = kTimeoutSeconds;
    client.LocalFileName = (dir.Path() / "up.bin").string();
    client.HostFileName = "up.bin";
    client.Passive = c.request == kTransmitPassive;
    auto method = &TCustomFtpCli::ConnectAsync;
    if (c.request == kMkdir) {
        client.HostDirName = "www";
        client.HostFileName = "newdir";
        method = &TCustomFtpCli::MkdirAsync;
        if (c.name.find("Mkd") != std::string::npos) {
            client.HostDirName.clear();  // CWD is dropped when empty
        }
    } else if (c.request != kConnect) {
        method = &TCustomFtpCli::TransmitAsync;
    }

    const auto outcome = RunRequest(client, method, std::chrono::seconds(kTimeoutSeconds + 2));
    ASSERT_TRUE(outcome.done) << "no result within Timeout + 2 s";
    EXPECT_EQ(outcome.reports, 1);
    EXPECT_FALSE(outcome.reportedInsideCall);
    if (c.error == kAnyFailure) {
        EXPECT_NE(outcome.error, 0) << client.ErrorMessage();
        EXPECT_FALSE(client.ErrorMessage().empty());
    } else {
        EXPECT_EQ(outcome.error, c.error) << client.ErrorMessage();
    }
    EXPECT_NE(client.ErrorMessage().find(c.message), std::string::npos) << client.ErrorMessage();
    if (c.message != "426 Timeout") {
        // Only a silent peer may cost the whole Timeout.
        EXPECT_LT(outcome.took, std::chrono::seconds(kTimeoutSeconds)) << client.ErrorMessage();
    }
    EXPECT_EQ(client.State(), fsReady);
    if (!c.commands.empty()) {
        const auto seen = server.Commands();
        ASSERT_EQ(seen.size(), c.commands.size()) << ::testing::PrintToString(seen);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].rfind(c.commands[i], 0), 0u) << seen[i];
        }
    }
    if (c.dataComplete) {
        server.Join();
        EXPECT_TRUE(server.Data() == content) << "server got " << server.Data().size();
    }
    const std::string failure = server.Failure();
    EXPECT_TRUE(failure.empty() || failure == "data connection stalled") << failure;
}

INSTANTIATE_TEST_SUITE_P(Cases, FtpScriptedTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

TEST(FtpScriptedTest, QuitReportsTheReplyBeforeIt) {
    TScriptedFtpServer server(
        Cat({kLogin, {Expect("MKD d"), Send("257 \"/d\" created\r\n")}, kQuit}));
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    client.PassWord = "p";
    client.HostFileName = "d";
    const auto outcome = RunRequest(client, &TCustomFtpCli::MkdirAsync, 5s);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.error, 0);
    EXPECT_EQ(outcome.rq, rqMkdir);
    EXPECT_EQ(client.LastResponse(), "257 \"/d\" created");
    EXPECT_EQ(client.DirResult(), "/d");
}

TEST(FtpScriptedTest, UnclosedQuoteIn257KeepsTheRest) {
    TScriptedFtpServer server(Cat({kLogin,
                                   {Expect("MKD d"), Send("257 \"/a \"\"b\" c\r\n")},
                                   {Expect("MKD d"), Send("257 \"/open ended\r\n")},
                                   kQuit}));
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    client.PassWord = "p";
    client.HostFileName = "d";
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(client.Mkd());
    EXPECT_EQ(client.DirResult(), "/a \"b");
    ASSERT_TRUE(client.Mkd());
    EXPECT_EQ(client.DirResult(), "/open ended");
    EXPECT_TRUE(client.Quit());
}

TEST(FtpScriptedTest, UsableAgainAfterOverLongReply) {
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.UserName = "u";
    client.PassWord = "p";
    {
        TScriptedFtpServer bad({Send("220-" + std::string(9000, 'y') + "\r\n"), Hang()});
        client.Port = std::to_string(bad.Port());
        const auto outcome = RunRequest(client, &TCustomFtpCli::ConnectAsync, 5s);
        ASSERT_TRUE(outcome.done);
        EXPECT_EQ(outcome.error, 500);
        EXPECT_FALSE(client.Connected());
    }
    TScriptedFtpServer good(Cat({kLogin, kQuit}));
    client.Port = std::to_string(good.Port());
    EXPECT_TRUE(client.Connect()) << client.ErrorMessage();
    EXPECT_TRUE(client.Quit());
}

TEST(FtpScriptedTest, ActivePortNamesLoopbackAndTheListeningPort) {
    TTempDir dir;
    WriteFile(dir.Path() / "up.bin", "abc");
    TScriptedFtpServer server(
        Cat({kLogin,
             kToStorActive,
             {DataConnect(), Send("150 go\r\n"), DataRead(), Send("226 done\r\n")},
             kQuit}));
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    client.PassWord = "p";
    client.LocalFileName = (dir.Path() / "up.bin").string();
    client.HostFileName = "up.bin";
    ASSERT_TRUE(client.Synchronize(&TCustomFtpCli::TransmitAsync)) << client.ErrorMessage();
    const auto commands = server.Commands();
    ASSERT_GE(commands.size(), 4u);
    unsigned p1 = 0;
    unsigned p2 = 0;
    ASSERT_EQ(std::sscanf(commands[3].c_str(), "PORT 127,0,0,1,%u,%u", &p1, &p2), 2) << commands[3];
    EXPECT_GT(p1 * 256 + p2, 0u);
    server.Join();
    EXPECT_EQ(server.Data(), "abc");
}

}  // namespace
}  // namespace tessel::test

namespace tessel::test {
namespace {

TEST(FtpRefusalTest, LineBreaksInCommandValuesAreRefusedByProperty) {
    const struct {
        std::string TCustomFtpCli::*property;
        const char* name;
        void (TCustomFtpCli::*request)();
    } cases[] = {
        {&TCustomFtpCli::UserName, "UserName", &TCustomFtpCli::TransmitAsync},
        {&TCustomFtpCli::PassWord, "PassWord", &TCustomFtpCli::TransmitAsync},
        {&TCustomFtpCli::HostDirName, "HostDirName", &TCustomFtpCli::TransmitAsync},
        {&TCustomFtpCli::HostFileName, "HostFileName", &TCustomFtpCli::TransmitAsync},
        {&TCustomFtpCli::LocalFileName, "LocalFileName", &TCustomFtpCli::DoQuoteAsync},
    };
    for (const auto& c : cases) {
        for (const char* bad : {"a\r\nDELE x", "a\nb", "a\0b"}) {
            TFtpClient client;
            client.HostName = "127.0.0.1";
            client.UserName = "u";
            client.PassWord = "p";
            client.HostDirName = "d";
            client.HostFileName = "f";
            client.LocalFileName = "l";
            client.*c.property = std::string(bad, bad[1] == '\0' ? 3 : std::strlen(bad));
            try {
                (client.*c.request)();
                ADD_FAILURE() << c.name << " was not refused";
            } catch (const FtpException& e) {
                EXPECT_EQ(std::string(e.what()),
                          std::string(c.name) + " holds a CR, LF or NUL character");
            }
            EXPECT_EQ(client.State(), fsReady);
            EXPECT_FALSE(client.Connected());
        }
    }
}

TEST(FtpRefusalTest, RequestsThatCannotStart) {
    TFtpClient client;
    const auto refusal = [&](void (TCustomFtpCli::*request)()) -> std::string {
        try {
            (client.*request)();
        } catch (const FtpException& e) {
            return e.what();
        }
        return "started";
    };
    EXPECT_EQ(refusal(&TCustomFtpCli::PwdAsync), "FTP component not connected");
    EXPECT_EQ(refusal(&TCustomFtpCli::PutAsync), "STOR/APPE: not connected");
    EXPECT_EQ(refusal(&TCustomFtpCli::ConnectAsync), "UserName emtpy");
    EXPECT_EQ(refusal(&TCustomFtpCli::CwdAsync), "HostDirName emtpy");
    EXPECT_EQ(refusal(&TCustomFtpCli::PassAsync), "Password emtpy");
    client.UserName = "u";
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(FreeLoopbackPort());
    client.ConnectAsync();
    EXPECT_EQ(refusal(&TCustomFtpCli::QuitAsync), "FTP component not ready");
    ASSERT_TRUE(RunUntil([&] { return client.State() == fsReady; }, std::chrono::seconds(5)));
}

}  // namespace
}  // namespace tessel::test

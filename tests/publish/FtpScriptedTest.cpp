// Cases a real server will not produce on request, played by a scripted server: each
// row gives the server's replies and moves, the request, and how it must end.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "FtpTestClient.h"
#include "NetTestSupport.h"
#include "ScriptedFtpServer.h"
#include "publish/FtpCli.h"

namespace tessel::test {
namespace {

using namespace std::chrono_literals;

enum TRequestKind {
    kConnect,
    kTransmitActive,
    kTransmitPassive,
    kMkdir,
    kReceiveActive,   // RETR up.bin into down.bin
    kReceivePassive,  // the same through PASV
    kDirectory,       // LIST up.bin into down.bin
    kNameList,        // NLST up.bin into down.bin, passive
};

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
    std::optional<std::string> download = std::nullopt;  // what down.bin must hold afterwards
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
const std::vector<TAction> kToRetrActive = {Expect("TYPE I"), Send("200 ok\r\n"),
                                            Expect("PORT 127,0,0,1,"), Send("200 ok\r\n"),
                                            Expect("RETR up.bin")};
const std::vector<TAction> kQuit = {Expect("QUIT"), Send("221 bye\r\n"), CloseControl()};
const std::vector<std::string> kRetrCommands = {"USER u", "PASS p", "TYPE I", "PORT", "RETR"};
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
        // The client's own data connection failures are no reply of the server's: never
        // 550, which a caller takes for a missing directory.
        {"PassiveMalformed227",
         kTransmitPassive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               Send("227 Entering Passive Mode (127,0,0,1)\r\n"), Hang()}}),
         kFtpDataConnectionFailed,
         "Unable to establish data connection to 127.0.0.1: the reply to PASV names no port "
         "(227 Entering Passive Mode (127,0,0,1))",
         {"USER u", "PASS p", "TYPE I", "PASV"}},
        {"PassiveDataPortRefused",
         kTransmitPassive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               PasvReplyRefused("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n"), Hang()}}),
         kFtpDataConnectionFailed,
         ": Connection refused (Winsock error #10061)",
         {"USER u", "PASS p", "TYPE I", "PASV"}},
        {"PassiveDataPortNeverAnswers",
         kTransmitPassive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               PasvReplyDropped("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n"), Hang()}}),
         kFtpDataConnectionFailed,
         ": Connection timed out (Winsock error #10060)",
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

// A reply code is three digits from 100 to 599; anything else that starts with a digit
// is refused with the line quoted, never taken for a yes.
std::vector<TScriptCase> MalformedCodeCases() {
    return {
        {"StorAnsweredWith000",
         kTransmitActive,
         10,
         Cat({kLogin, kToStorActive, {Send("000 refused\r\n"), Hang()}}),
         500,
         "500 Malformed reply: \"000 refused\"",
         {"USER u", "PASS p", "TYPE I", "PORT", "STOR"}},
        {"PassAnsweredWith0",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("331 pw\r\n"), Expect("PASS p"),
          Send("0 refused\r\n"), Hang()},
         500,
         "\"0 refused\"",
         kLoginCommands},
        {"FinalReplyOf65536",
         kTransmitActive,
         5000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("65536 refused\r\n"), Hang()}}),
         500,
         "\"65536 refused\"",
         {}},
        {"BannerCodeAbove599",
         kConnect,
         0,
         {Send("600 hello\r\n"), Hang()},
         500,
         "\"600 hello\"",
         {}},
        {"CodeGluedToText",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("230ok\r\n"), Hang()},
         500,
         "\"230ok\"",
         {"USER u"}},
    };
}

// A reply that was already there before a command went out is not that command's answer.
std::vector<TScriptCase> OutOfTurnCases() {
    return {
        {"ExtraReplyBeforePassIsNotItsAnswer",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("331 pw\r\n230 extra\r\n"), Expect("PASS p"),
          Send("530 Login incorrect\r\n"), Hang()},
         500,
         "500 Reply sent before the command: \"230 extra\"",
         kLoginCommands},
        {"ExtraMultiLineReplyBeforePass",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("331 pw\r\n230-early\r\n"), Expect("PASS p"),
          Send("230 ok\r\n"), Hang()},
         500,
         "before the command",
         kLoginCommands},
        {"Early421IsTheServerClosing",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("331 pw\r\n421 Service closing\r\n"),
          CloseControl()},
         421,
         "421 Service closing",
         {"USER u"}},
        {"BannerFollowedByAnAnswerToUser",
         kConnect,
         0,
         {Send("220 hi\r\n230 no need\r\n"), Expect("USER u"), Send("530 no\r\n"), Hang()},
         500,
         "\"230 no need\"",
         {"USER u"}},
    };
}

// Every wait ends after Timeout seconds, however the bytes arrive meanwhile.
std::vector<TScriptCase> EndlessCases() {
    return {
        {"ReplyTrickledPastTimeout",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"),
          Trickle("331 " + std::string(60, 'x') + "\r\n", 100)},
         426,
         "426 Timeout",
         {"USER u"}},
        {"EndlessMultiLineReply",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("331-pw\r\n"), Repeat(" and more\r\n", 50)},
         426,
         "426 Timeout",
         {"USER u"}},
        {"EndlessMultiLineBanner",
         kConnect,
         0,
         {Send("220-hi\r\n"), Repeat("220-again\r\n", 50)},
         426,
         "426 Timeout",
         {}},
        {"FloodOfLinesOnControl",
         kConnect,
         0,
         {Send("220 hi\r\n"), Expect("USER u"), Send("331-pw\r\n"),
          Repeat(std::string(1000, 'x') + "\r\n", 0)},
         426,
         "426 Timeout",
         {"USER u"}},
        {"JunkFloodOnDataDuringStor",
         kTransmitActive,
         10,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRepeat(std::string(8192, 'j')), Hang()}}),
         426,
         "426 Timeout",
         {}},
        {"DataStallsMidTransfer",
         kTransmitActive,
         16 << 20,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataReadSome(3000), Hang()}}),
         426,
         "426 Timeout",
         {}},
        {"PassiveDataPortSilent",
         kTransmitPassive,
         10,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               PasvReply("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n"), DataAccept(),
               Expect("STOR up.bin"), Hang()}}),
         426,
         "426 Timeout",
         {}},
    };
}

// Receiving: RETR, LIST and NLST against servers that close early, refuse late or never
// connect, and against odd but valid ones.
std::vector<TScriptCase> ReceiveCases() {
    const std::string file = MakeBytes(3000, 9);
    const std::vector<std::string> listCommands = {"USER u", "PASS p", "PORT", "LIST up.bin",
                                                   "QUIT"};
    return {
        {"RetrDownloadsWhole",
         kReceiveActive,
         0,
         Cat({kLogin,
              kToRetrActive,
              {DataConnect(), Send("150 go\r\n"), DataSend(file), DataClose(),
               Send("226 done\r\n")},
              kQuit}),
         0,
         "",
         {"USER u", "PASS p", "TYPE I", "PORT", "RETR up.bin", "QUIT"},
         false,
         file},
        {"RetrDataClosedEarlyThen426", kReceiveActive, 0,
         Cat({kLogin,
              kToRetrActive,
              {DataConnect(), Send("150 go\r\n"), DataSend(file.substr(0, 100)), DataClose(),
               Send("426 Connection closed; transfer aborted\r\n"), Hang()}}),
         426, "426 Connection closed", kRetrCommands},
        {"RetrDataClosedEarlyNoFinalReply", kReceiveActive, 0,
         Cat({kLogin,
              kToRetrActive,
              {DataConnect(), Send("150 go\r\n"), DataSend(file.substr(0, 100)), DataClose(),
               Hang()}}),
         426, "426 Timeout", kRetrCommands},
        {"Retr150Then451", kReceiveActive, 0,
         Cat({kLogin, kToRetrActive, {Send("150 go\r\n"), Send("451 Local error\r\n"), Hang()}}),
         451, "451 Local error", kRetrCommands},
        {"RetrNoDataConnectionEver", kReceiveActive, 0,
         Cat({kLogin, kToRetrActive, {Send("150 go\r\n"), Hang()}}), 426, "426 Timeout",
         kRetrCommands},
        {"RetrAnswered425", kReceiveActive, 0,
         Cat({kLogin, kToRetrActive, {Send("425 Can't open data connection\r\n"), Hang()}}), 425,
         "425 Can't open data connection", kRetrCommands},
        {"RetrPassiveDataPortRefused",
         kReceivePassive,
         0,
         Cat({kLogin,
              {Expect("TYPE I"), Send("200 ok\r\n"), Expect("PASV"),
               PasvReplyRefused("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n"), Hang()}}),
         kFtpDataConnectionFailed,
         "Unable to establish data connection to 127.0.0.1, port ",
         {"USER u", "PASS p", "TYPE I", "PASV"}},
        {"List125InsteadOf150", kDirectory, 0,
         Cat({kLogin,
              {Expect("PORT 127,0,0,1,"), Send("200 ok\r\n"), Expect("LIST up.bin"), DataConnect(),
               Send("125 Data connection already open\r\n"), DataSend("a\r\nb\r\n"), DataClose(),
               Send("226 ok\r\n")},
              kQuit}),
         0, "", listCommands, false, std::string("a\r\nb\r\n")},
        {"ListDataClosedEarlyThen426",
         kDirectory,
         0,
         Cat({kLogin,
              {Expect("PORT"), Send("200 ok\r\n"), Expect("LIST up.bin"), DataConnect(),
               Send("150 here\r\n"), DataSend("a\r\n"), DataClose(), Send("426 aborted\r\n"),
               Hang()}}),
         426,
         "426 aborted",
         {}},
        {"Nlst150Then450",
         kNameList,
         0,
         Cat({kLogin,
              {Expect("PASV"), PasvReply("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n"),
               DataAccept(), Expect("NLST up.bin"), Send("150 here\r\n"), Send("450 No files\r\n"),
               Hang()}}),
         450,
         "450 No files",
         {}},
        {"NlstPassiveReceivesTheNames",
         kNameList,
         0,
         Cat({kLogin,
              {Expect("PASV"), PasvReply("227 Entering Passive Mode (127,0,0,2,{p1},{p2})\r\n"),
               DataAccept(), Expect("NLST up.bin"), Send("150 here\r\n"), DataSend("x\r\ny\r\n"),
               DataClose(), Send("226 ok\r\n")},
              kQuit}),
         0,
         "",
         {"USER u", "PASS p", "PASV", "NLST up.bin", "QUIT"},
         false,
         std::string("x\r\ny\r\n")},
    };
}

// Servers that behave oddly but within the rules.
std::vector<TScriptCase> OddButValidCases() {
    std::vector<TAction> bytewise;
    for (const auto& a : Cat({kLogin,
                              kToStorActive,
                              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("226 done\r\n")},
                              kQuit})) {
        bytewise.push_back(a.kind == TAction::Send ? SendBytewise(a.text) : a);
    }
    return {
        {"MultiLineRepliesWithTextAndBlankLines",
         kConnect,
         0,
         {Send("220-Hello\r\n\r\n  text line\r\n220-more\r\n2201 is no end\r\n220 ready\r\n"),
          Expect("USER u"), Send("331-Password\r\n\r\n331-needed\r\n331 now\r\n"), Expect("PASS p"),
          Send("230-\r\n230 in\r\n"), Hang()},
         0,
         "",
         kLoginCommands},
        {"Stor125InsteadOf150", kTransmitActive, 3000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("125 Data connection already open\r\n"), DataRead(),
               Send("226 done\r\n")},
              kQuit}),
         0, "", kStorCommands, true},
        {"UploadWithEveryReplyInSingleBytes", kTransmitActive, 2000, bytewise, 0, "", kStorCommands,
         true},
        {"QuitNeverAnsweredAfterUpload", kTransmitActive, 3000,
         Cat({kLogin,
              kToStorActive,
              {DataConnect(), Send("150 go\r\n"), DataRead(), Send("226 done\r\n"), Expect("QUIT"),
               Hang()}}),
         0, "", kStorCommands, true},
    };
}

std::vector<TScriptCase> AllCases() {
    std::vector<TScriptCase> all;
    for (auto group : {Cases(), MalformedCodeCases(), OutOfTurnCases(), EndlessCases(),
                       ReceiveCases(), OddButValidCases()}) {
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
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
    client.Passive =
        c.request == kTransmitPassive || c.request == kReceivePassive || c.request == kNameList;
    auto method = &TCustomFtpCli::ConnectAsync;
    switch (c.request) {
        case kConnect:
            break;
        case kMkdir:
            client.HostDirName = "www";
            client.HostFileName = "newdir";
            method = &TCustomFtpCli::MkdirAsync;
            if (c.name.find("Mkd") != std::string::npos) {
                client.HostDirName.clear();  // CWD is dropped when empty
            }
            break;
        case kTransmitActive:
        case kTransmitPassive:
            method = &TCustomFtpCli::TransmitAsync;
            break;
        case kReceiveActive:
        case kReceivePassive:
        case kDirectory:
        case kNameList:
            client.LocalFileName = (dir.Path() / "down.bin").string();
            method = c.request == kDirectory  ? &TCustomFtpCli::DirectoryAsync
                     : c.request == kNameList ? &TCustomFtpCli::ListAsync
                                              : &TCustomFtpCli::ReceiveAsync;
            break;
    }

    // Every case ends within Timeout + 1 s; the bound here is looser, for loaded machines.
    const auto outcome = RunRequest(client, method, std::chrono::seconds(3 * kTimeoutSeconds));
    ASSERT_TRUE(outcome.done) << "no result within three times Timeout";
    // A loop held by one socket sees its result late even when the result is right.
    EXPECT_LT(outcome.took, std::chrono::seconds(3 * kTimeoutSeconds));
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
        // Only a peer that leaves us waiting may end in a time-out.
        EXPECT_NE(client.ErrorMessage(), "426 Timeout");
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
    if (c.download) {
        EXPECT_TRUE(ReadFile(dir.Path() / "down.bin") == *c.download)
            << "down.bin holds " << ReadFile(dir.Path() / "down.bin").size() << " bytes";
    }
    const std::string failure = server.Failure();
    EXPECT_TRUE(failure.empty() || failure == "data connection stalled") << failure;
}

INSTANTIATE_TEST_SUITE_P(Cases, FtpScriptedTest, ::testing::ValuesIn(AllCases()),
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

TEST(FtpScriptedTest, TimedOutBlockingWaitLeavesNothingForTheNextRequest) {
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.UserName = "u";
    client.PassWord = "p";
    {
        TScriptedFtpServer silent({Hang()});
        client.Port = std::to_string(silent.Port());
        client.Timeout = 4;
        client.ConnectAsync();
        client.Timeout = 1;  // the wait gives up before the client's own deadline
        EXPECT_FALSE(client.WaitUntilReady());
        EXPECT_EQ(client.ErrorMessage(), "426 Timeout");
        EXPECT_FALSE(client.Connected());
    }
    TScriptedFtpServer good(Cat({kLogin, kQuit}));
    client.Port = std::to_string(good.Port());
    client.Timeout = 5;
    EXPECT_TRUE(client.Connect()) << client.ErrorMessage();
    EXPECT_TRUE(client.Quit()) << client.ErrorMessage();
}

TEST(FtpScriptedTest, CompletionOfAnAbortedRequestDoesNotEndTheNext) {
    TScriptedFtpServer silent({Hang()});
    TScriptedFtpServer good(Cat({kLogin, kQuit}));
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.UserName = "u";
    client.PassWord = "p";
    client.Port = std::to_string(silent.Port());
    client.ConnectAsync();
    client.Abort();  // its completion (426) is posted, not yet delivered
    client.Port = std::to_string(good.Port());
    EXPECT_TRUE(client.Connect()) << client.ErrorMessage();
    EXPECT_TRUE(client.Quit()) << client.ErrorMessage();
}

#ifndef NDEBUG
TEST(FtpScriptedTest, EveryStateChangeCanBeTraced) {
    TScriptedFtpServer server(Cat({kLogin, kQuit}));
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "u";
    client.PassWord = "p";
    client.TraceStates = true;
    std::vector<std::string> trace;
    client.OnDisplay = [&](TCustomFtpCli*, std::string& msg) {
        if (msg.rfind("= ", 0) == 0) {
            trace.push_back(msg.substr(2));
        }
    };
    ASSERT_TRUE(client.Connect()) << client.ErrorMessage();
    EXPECT_EQ(trace, (std::vector<std::string>{"Idle -> Lookup", "Lookup -> Connecting",
                                               "Connecting -> Banner", "Banner -> Connected",
                                               "Connected -> BetweenSteps", "BetweenSteps -> Reply",
                                               "Reply -> BetweenSteps", "BetweenSteps -> Reply",
                                               "Reply -> BetweenSteps", "BetweenSteps -> Idle"}));
    EXPECT_TRUE(client.Quit());
}
#endif

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

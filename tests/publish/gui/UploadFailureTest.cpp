// Sessions of the wizard that a server ends in failure, played by a scripted server: the
// error shown says what went wrong and, where a setting of the profile would help, which.
// Only a refused directory leads to the question about making it.

#include <gtest/gtest.h>

#include <memory>

#include "platform/RegistryStore.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/NetTestSupport.h"
#include "publish/ScriptedFtpServer.h"
#include "publish/core/Profiles.h"
#include "publish/gui/WizardDriver.h"

namespace tessel {
namespace {

using namespace test;

struct TFailureCase {
    std::string name;
    bool passive;
    bool tls;
    std::vector<TAction> script;
    std::vector<QString> shown;   // parts of the one message
    std::vector<QString> absent;  // nor these
};

void PrintTo(const TFailureCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<TAction> Script(std::initializer_list<std::vector<TAction>> parts) {
    std::vector<TAction> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<TAction> kToType = {
    Send("220 hi\r\n"),    Expect("USER u"),   Send("331 pw\r\n"),
    Expect("PASS p"),      Send("230 ok\r\n"), Expect("PWD"),
    Send("257 \"/\"\r\n"), Expect("TYPE I"),   Send("200 ok\r\n")};
const std::vector<TAction> kToStorActive = {Expect("PORT 127,0,0,1,"), Send("200 ok\r\n"),
                                            Expect("STOR page.html")};
const std::vector<TAction> kQuit = {Expect("QUIT"), Send("221 bye\r\n"), CloseControl()};

std::vector<TFailureCase> Cases() {
    return {
        {"PassiveDataConnectionRefused",
         true,
         false,
         Script({kToType,
                 {Expect("PASV"),
                  PasvReplyRefused("227 Entering Passive Mode (127,0,0,1,{p1},{p2})\r\n")},
                 kQuit}),
         {"Error Unable to establish data connection to 127.0.0.1, port ", "Connection refused",
          "untick \"Use passive mode\""},
         {"Directory"}},
        {"ActiveDataConnectionRefusedByTheServer",
         false,
         false,
         Script({kToType, kToStorActive, {Send("425 Can't open data connection\r\n")}, kQuit}),
         {"Error 425 Can't open data connection", "tick \"Use passive mode\""},
         {"untick"}},
        {"StorRefusedWith550",
         false,
         false,
         Script({kToType, kToStorActive, {Send("550 Permission denied\r\n")}, kQuit}),
         {"Error 550 Permission denied"},
         {"Directory", "passive mode"}},
        {"ServerWithoutTls",
         false,
         true,
         Script({{Send("220 hi\r\n"), Expect("AUTH TLS"), Send("500 AUTH not understood\r\n")},
                 kQuit}),
         {"Error The server does not offer TLS", "untick \"Require encryption (FTPS)\"", "password",
          "readable"},
         {"passive mode"}},
    };
}

class UploadFailureTest : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(UploadFailureTest, OneMessageSaysWhatHappened) {
    const TFailureCase& c = GetParam();
    TTempDir dir;
    WriteFile(dir.Path() / "page.html", MakeBytes(100, 3));
    TScriptedFtpServer server(c.script);
    TRegistryStore store((dir.Path() / "registry").string());
    TServerProfile profile;
    profile.name = "Host";
    profile.user = "u";
    profile.password = "p";
    profile.host = "127.0.0.1";
    profile.port = std::to_string(server.Port());
    profile.passive = c.passive;
    profile.tls = c.tls;
    TServerProfiles(store).WriteProfile(profile, "");

    TScriptedUiServices ui;
    TfrmUpload wizard(ui, store);
    wizard.SetUploadFiles({(dir.Path() / "page.html").string()});
    wizard.show();
    TWizardDriver driver(wizard);
    ui.AnswerMessage(mbOK);
    driver.Send("Host");
    ASSERT_TRUE(driver.WaitForIdle());
    server.Join();

    ASSERT_EQ(ui.Messages().size(), 1u);
    const TShownMessage& shown = ui.Messages()[0];
    EXPECT_EQ(shown.kind, TMsgKind::Warning);
    for (const QString& part : c.shown) {
        EXPECT_TRUE(shown.text.contains(part)) << part.toStdString() << " in\n"
                                               << shown.text.toStdString();
    }
    for (const QString& part : c.absent) {
        EXPECT_FALSE(shown.text.contains(part)) << part.toStdString() << " in\n"
                                                << shown.text.toStdString();
    }
    EXPECT_TRUE(driver.Commands("MKD").empty());
    EXPECT_EQ(server.Failure(), "");
    driver.ExpectIdlePage();
}

INSTANTIATE_TEST_SUITE_P(Cases, UploadFailureTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tessel

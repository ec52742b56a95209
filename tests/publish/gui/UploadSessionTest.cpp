// Upload sessions of the wizard against a real FTP server on loopback, driven through the
// wizard's controls: the request chain, the progress texts, the missing directory, errors,
// Stop and closing in the middle of a transfer.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "platform/RegistryStore.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/NetTestSupport.h"
#include "publish/core/Profiles.h"
#include "publish/gui/WizardDriver.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

class UploadSessionTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        fs::create_directories(local);
        ASSERT_NE(server.Port(), 0) << "pyftpdlib did not start";
    }
    bool Passive() const { return GetParam(); }

    void StoreProfile(const std::string& name, const std::string& initialDir,
                      const std::string& password = "secret", int port = 0,
                      const std::string& webAddress = "") {
        TServerProfile profile;
        profile.name = name;
        profile.user = "alice";
        profile.password = password;
        profile.host = "127.0.0.1";
        profile.initialDir = initialDir;
        profile.port = std::to_string(port != 0 ? port : server.Port());
        profile.passive = Passive();
        profile.webAddress = webAddress;
        TServerProfiles(store).WriteProfile(profile, "");
    }
    // Local files with the given sizes; returns their paths in the order given.
    std::vector<std::string> MakeFiles(
        const std::vector<std::pair<std::string, std::size_t>>& files) {
        std::vector<std::string> paths;
        unsigned seed = 1;
        for (const auto& [name, size] : files) {
            const fs::path path = local / name;
            test::WriteFile(path, test::MakeBytes(size, seed++));
            paths.push_back(path.string());
        }
        return paths;
    }
    TfrmUpload& Open(const std::vector<std::string>& files) {
        wizard = std::make_unique<TfrmUpload>(ui, store);
        wizard->SetUploadFiles(files);
        wizard->show();
        driver = std::make_unique<test::TWizardDriver>(*wizard);
        return *wizard;
    }
    Ui::TfrmUpload& F() { return wizard->Form(); }

    static fs::path Made(const fs::path& folder) {
        fs::create_directories(folder);
        return folder;
    }

    test::TTempDir dir;
    fs::path root = Made(dir.Path() / "server");
    fs::path local = dir.Path() / "local";
    test::TPyFtpServer server{root, "alice", "secret"};
    TRegistryStore store{(dir.Path() / "registry").string()};
    TScriptedUiServices ui;
    std::unique_ptr<TfrmUpload> wizard;
    std::unique_ptr<test::TWizardDriver> driver;
};

TEST_P(UploadSessionTest, FilesArriveLastFirstWithTheProgressTexts) {
    fs::create_directories(root / "site");
    StoreProfile("Local", "site");
    const auto files = MakeFiles({{"a.gif", 3028}, {"b.jpg", 70000}, {"page.html", 1500}});
    Open(files);
    ui.AnswerMessage(mbOK);  // "Transfer Completed."
    driver->Send("Local");
    EXPECT_TRUE(wizard->SessionRunning());
    EXPECT_TRUE(F().pnlProgress->isVisible());
    EXPECT_TRUE(F().Animate->Active());
    EXPECT_FALSE(F().lstUpload->isEnabled());
    EXPECT_FALSE(F().btnServers->isEnabled());
    EXPECT_EQ(ui.BusyDepth(), 1);
    EXPECT_EQ(ui.BusyShape(), Qt::BusyCursor);  // the arrow with the hourglass
    ASSERT_TRUE(driver->WaitForIdle());

    for (const std::string& path : files) {
        EXPECT_EQ(ReadFile(root / "site" / fs::path(path).filename()), ReadFile(path)) << path;
    }
    EXPECT_EQ(driver->Commands("STOR"),
              (std::vector<std::string>{"STOR page.html", "STOR b.jpg", "STOR a.gif"}));
    EXPECT_EQ(driver->Commands("CWD"), std::vector<std::string>{"CWD site"});
    EXPECT_EQ(driver->Commands(Passive() ? "PASV" : "PORT").size(), 3u);
    EXPECT_TRUE(driver->Commands(Passive() ? "PORT" : "PASV").empty());

    EXPECT_EQ(driver->LabelAt("USER"), "Connecting to 127.0.0.1...");
    EXPECT_EQ(driver->LabelAt("CWD"), "Connected to 127.0.0.1...");
    EXPECT_EQ(driver->LabelAt("TYPE"), "Finding Initial Directory...");
    EXPECT_EQ(driver->LabelAt("STOR page.html"), "Transferring...");
    EXPECT_EQ(driver->LabelAt("STOR b.jpg"), "Transferring... 1500 bytes");
    EXPECT_EQ(driver->LabelAt("STOR a.gif"), "Transferring... 70000 bytes");
    EXPECT_EQ(driver->LabelAt("QUIT"), "Transferring... 3028 bytes");
    EXPECT_EQ(F().pbProgress->value(), F().pbProgress->maximum());

    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Transfer Completed.");
    EXPECT_EQ(ui.BusyDepthAtLastModal(), 0);
    EXPECT_EQ(ui.BusyDepth(), 0);
    driver->ExpectIdlePage();
    EXPECT_TRUE(F().pnlUpload->isVisible());  // no web address: no end page
    EXPECT_TRUE(wizard->Ftp().HostFileName.empty());
    EXPECT_TRUE(wizard->Ftp().LocalFileName.empty());
}

TEST_P(UploadSessionTest, TheEndPageGivesThePagesAddressAndOpensIt) {
    StoreProfile("Local", "", "secret", 0, "localhost/~alice");
    const auto files = MakeFiles({{"a.gif", 100}, {"My Page.html", 100}, {"notes.txt", 10}});
    Open(files);
    ui.AnswerMessage(mbOK);
    driver->Send("Local");
    ASSERT_TRUE(driver->WaitForIdle());
    ASSERT_TRUE(F().pnlDone->isVisible());
    const QString address = QStringLiteral("http://localhost/~alice/My%20Page.html");
    EXPECT_TRUE(F().lblPageAddress->text().contains(QStringLiteral("href=\"%1\"").arg(address)))
        << F().lblPageAddress->text().toStdString();
    QTest::mouseClick(F().btnOpenPage, Qt::LeftButton);
    EXPECT_EQ(ui.OpenedWithDefaultProgram(), QStringList{address});
    // Upload leads back to the list for the next time.
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_TRUE(F().pnlUpload->isVisible());
}

TEST_P(UploadSessionTest, AnEmptyInitialDirectoryPrintsTheLogInDirectory) {
    StoreProfile("Local", "");
    const auto files = MakeFiles({{"only.html", 10}});
    Open(files);
    ui.AnswerMessage(mbOK);
    driver->Send("Local");
    ASSERT_TRUE(driver->WaitForIdle());
    EXPECT_EQ(ReadFile(root / "only.html"), ReadFile(files[0]));
    EXPECT_TRUE(driver->Commands("CWD").empty());
    EXPECT_EQ(driver->Commands("PWD").size(), 1u);
    EXPECT_EQ(driver->Commands("STOR").size(), 1u);
}

TEST_P(UploadSessionTest, AMissingDirectoryIsMadeOnYes) {
    StoreProfile("Local", "newsite");
    const auto files = MakeFiles({{"index.html", 2000}});
    Open(files);
    ui.AnswerMessage(mbYes);  // create it
    ui.AnswerMessage(mbOK);   // "Transfer Completed."
    driver->Send("Local");
    ASSERT_TRUE(driver->WaitForIdle());

    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "Host Directory Does not exist. Do you want to create it?");
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Warning);
    EXPECT_EQ(ui.Messages()[0].buttons, mbYes | mbNo);
    EXPECT_EQ(ui.Messages()[1].text, "Transfer Completed.");
    EXPECT_EQ(driver->Commands("MKD"), std::vector<std::string>{"MKD newsite"});
    EXPECT_EQ(driver->LabelAt("MKD"), "Making Directory...");
    EXPECT_EQ(driver->Commands("CWD").size(), 2u);
    EXPECT_EQ(ReadFile(root / "newsite" / "index.html"), ReadFile(files[0]));
    driver->ExpectIdlePage();
}

TEST_P(UploadSessionTest, NoToTheMissingDirectoryQuitsWithoutSending) {
    StoreProfile("Local", "newsite");
    Open(MakeFiles({{"index.html", 2000}}));
    ui.AnswerMessage(mbNo);
    driver->Send("Local");
    ASSERT_TRUE(driver->WaitForIdle());
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(driver->Commands("MKD").empty());
    EXPECT_TRUE(driver->Commands("STOR").empty());
    EXPECT_EQ(driver->Commands("QUIT").size(), 1u);
    EXPECT_FALSE(fs::exists(root / "newsite"));
    driver->ExpectIdlePage();
}

TEST_P(UploadSessionTest, AWrongPasswordIsReportedAndTheIdlePageComesBack) {
    StoreProfile("Local", "", "wrong");
    Open(MakeFiles({{"index.html", 100}}));
    ui.AnswerMessage(mbOK);
    driver->Send("Local");
    ASSERT_TRUE(driver->WaitForIdle());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Warning);
    EXPECT_EQ(ui.Messages()[0].text.left(9), "Error 530") << ui.Messages()[0].text.toStdString();
    EXPECT_TRUE(driver->Commands("STOR").empty());
    driver->ExpectIdlePage();
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_P(UploadSessionTest, ARefusedConnectionRestoresTheIdlePage) {
    StoreProfile("Nowhere", "", "secret", test::FreeLoopbackPort());
    Open(MakeFiles({{"index.html", 100}}));
    ui.AnswerMessage(mbOK);
    driver->Send("Nowhere");
    ASSERT_TRUE(driver->WaitForIdle());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith("Error ")) << ui.Messages()[0].text.toStdString();
    driver->ExpectIdlePage();

    // The page works again: the same list goes to a server that answers.
    StoreProfile("Local", "");
    wizard.reset();
    Open(MakeFiles({{"index.html", 100}}));
    ui.AnswerMessage(mbOK);
    driver->Send("Local");
    ASSERT_TRUE(driver->WaitForIdle());
    EXPECT_TRUE(fs::exists(root / "index.html"));
}

TEST_P(UploadSessionTest, StopInTheMiddleOfALargeFileReturnsToTheIdlePage) {
    StoreProfile("Local", "");
    const auto files = MakeFiles({{"big.bin", 30u << 20}});
    Open(files);
    driver->Send("Local");
    ASSERT_TRUE(test::RunUntil(
        [&] { return F().lblProgress->text().endsWith(" bytes") && F().pbProgress->value() > 0; },
        test::kSessionLimit));
    ASSERT_TRUE(wizard->SessionRunning());
    QTest::mouseClick(F().btnStop, Qt::LeftButton);
    EXPECT_FALSE(wizard->SessionRunning());
    driver->ExpectIdlePage();
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(ui.BusyDepth(), 0);
    EXPECT_FALSE(wizard->Ftp().Connected());

    // Send again at once: nothing of the aborted request may reach the new session.
    const auto small = MakeFiles({{"small.html", 500}});
    wizard->SetUploadFiles(small);
    ui.AnswerMessage(mbOK);
    QTest::mouseClick(F().btnSend, Qt::LeftButton);
    ASSERT_TRUE(driver->WaitForIdle());
    EXPECT_LT(fs::file_size(root / "big.bin"), 30u << 20);
    EXPECT_EQ(ReadFile(root / "small.html"), ReadFile(small[0]));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Transfer Completed.");
}

TEST_P(UploadSessionTest, ClosingInTheMiddleOfATransferAsksFirst) {
    StoreProfile("Local", "");
    const auto files = MakeFiles({{"big.bin", 30u << 20}});
    Open(files);
    driver->Send("Local");
    ASSERT_TRUE(test::RunUntil([&] { return F().lblProgress->text().endsWith(" bytes"); },
                               test::kSessionLimit));
    const QString question =
        QStringLiteral("Stop sending? The page on the web may be left incomplete.");

    // No to Exit, to Esc and to the close box: the files keep going.
    ui.AnswerMessage(mbNo);
    QTest::mouseClick(F().btnExit, Qt::LeftButton);
    ui.AnswerMessage(mbNo);
    QTest::keyClick(wizard.get(), Qt::Key_Escape);
    ui.AnswerMessage(mbNo);
    EXPECT_FALSE(wizard->close());
    ASSERT_EQ(ui.Messages().size(), 3u);
    for (const TShownMessage& shown : ui.Messages()) {
        EXPECT_EQ(shown.text, question);
        EXPECT_EQ(shown.kind, TMsgKind::Confirmation);
        EXPECT_EQ(shown.buttons, mbYes | mbNo);
    }
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_TRUE(wizard->SessionRunning());

    // Yes: the window closes and the connection goes.
    ui.AnswerMessage(mbYes);
    EXPECT_TRUE(wizard->close());
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_FALSE(wizard->SessionRunning());
    EXPECT_FALSE(wizard->Ftp().Connected());
    test::RunFor(std::chrono::milliseconds(300));
    EXPECT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.BusyDepth(), 0);
    EXPECT_LT(fs::file_size(root / "big.bin"), 30u << 20);
}

TEST_P(UploadSessionTest, ExitWhileConnectingClosesTheWindow) {
    StoreProfile("Local", "");
    Open(MakeFiles({{"index.html", 100}}));
    driver->Send("Local");
    ASSERT_TRUE(wizard->SessionRunning());
    QTest::mouseClick(F().btnExit, Qt::LeftButton);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_FALSE(wizard->SessionRunning());
    test::RunFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(ui.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Modes, UploadSessionTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Passive") : std::string("Active");
                         });

}  // namespace
}  // namespace tessel

// The wizard sending by SFTP to OpenSSH's sshd started by the test, driven by its controls:
// a profile made in the editor, the host key question on the first send, the key kept with
// the profile, and a key file's passphrase asked for each send and never stored.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "platform/RegistryStore.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/NetTestSupport.h"
#include "publish/SshdServer.h"
#include "publish/core/Profiles.h"
#include "publish/gui/PassphraseDialog.h"
#include "publish/gui/WizardDriver.h"
#include "ui_Passphrase.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class UploadSftpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(local);
        test::WriteFile(local / "page.html", test::MakeBytes(70000, 3));
        key = test::MakeSshKey(dir.Path() / "id_locked", "pass phrase");
        server = std::make_unique<test::TSshdServer>(dir.Path() / "sshd",
                                                     std::vector<std::string>{key.publicLine});
        if (server->Port() == 0) {
            GTEST_SKIP() << "sshd cannot run here: " << server->Problem();
        }
        wizard = std::make_unique<TfrmUpload>(ui, store);
        wizard->Sftp().KnownHostsFile = (dir.Path() / "known_hosts").string();
        wizard->SetUploadFiles({(local / "page.html").string()});
        wizard->show();
        driver = std::make_unique<test::TWizardDriver>(*wizard);
    }
    Ui::TfrmUpload& F() { return wizard->Form(); }
    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }
    void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    // Presses Send and waits for every session it leads to, until `messages` more boxes were
    // shown and the wizard is idle.
    void Send(std::size_t messages) {
        const std::size_t expected = ui.Messages().size() + messages;
        driver->Send("Shell");
        ASSERT_TRUE(test::RunUntil(
            [&] { return ui.Messages().size() >= expected && !wizard->SessionRunning(); },
            test::kSessionLimit));
        EXPECT_EQ(ui.Messages().size(), expected);
    }
    TServerProfile Stored() { return TServerProfiles(store).ReadProfile("Shell"); }

    test::TTempDir dir;
    fs::path local = dir.Path() / "local";
    test::TSshKeyPair key;
    std::unique_ptr<test::TSshdServer> server;
    TRegistryStore store{(dir.Path() / "registry").string()};
    TScriptedUiServices ui;
    std::unique_ptr<TfrmUpload> wizard;
    std::unique_ptr<test::TWizardDriver> driver;
};

TEST_F(UploadSftpTest, AProfileMadeInTheEditorSendsAfterTheHostKeyIsTrusted) {
    Click(F().btnAdd);
    Type(F().txtProfileName, "Shell");
    Type(F().txtUserName, test::kSshdUser);
    Type(F().txtPassword, test::kSshdPassword);
    Type(F().txtHostName, "127.0.0.1");
    EXPECT_EQ(F().txtPort->text(), "21");
    F().cbSendBy->setFocus();
    QTest::keyClick(F().cbSendBy, Qt::Key_Down);
    EXPECT_EQ(F().txtPort->text(), "22");  // proposed for SFTP
    EXPECT_TRUE(F().chkPassive->isHidden());
    EXPECT_TRUE(F().chkTls->isHidden());
    EXPECT_FALSE(F().pnlSshLogIn->isHidden());
    Type(F().txtPort, QString::number(server->Port()));
    Click(F().btnApply);
    ASSERT_TRUE(Stored().sftp);

    // No: nothing is sent, not even the password, and nothing is trusted.
    ui.AnswerMessage(mbNo);
    Send(1);
    const QString question = ui.Messages()[0].text;
    EXPECT_TRUE(question.contains(QString::fromStdString(server->HostKey().sha256)))
        << question.toStdString();
    EXPECT_TRUE(question.contains("ssh-ed25519"));
    EXPECT_TRUE(question.contains("Trust this key and send?"));
    EXPECT_EQ(server->Log().find("userauth-request"), std::string::npos);
    EXPECT_TRUE(Stored().sshHostKey.empty());
    driver->ExpectIdlePage();

    // Yes: the key is kept with the profile and the page goes out at once.
    ui.AnswerMessage(mbYes);
    ui.AnswerMessage(mbOK);  // "Transfer Completed."
    Send(2);
    EXPECT_EQ(ui.Messages().back().text, "Transfer Completed.");
    EXPECT_EQ(Stored().sshHostKey, server->HostKey().sha256);
    EXPECT_TRUE(test::ReadFile(server->Home() / "page.html") ==
                test::ReadFile(local / "page.html"));
    EXPECT_EQ(F().lblProgress->text(), "Transferring... 70000 bytes");
    driver->ExpectIdlePage();

    // A different key later is refused with a warning, and nothing is sent.
    TServerProfile other = Stored();
    other.sshHostKey = key.sha256;
    TServerProfiles(store).WriteProfile(other, "");
    ui.AnswerMessage(mbOK);
    Send(1);
    EXPECT_TRUE(ui.Messages().back().text.contains("host key has changed"));
    EXPECT_EQ(Stored().sshHostKey, key.sha256);
}

TEST_F(UploadSftpTest, AKeyFilesPassphraseIsAskedOnceForEachSendAndNeverStored) {
    TServerProfile profile;
    profile.name = "Shell";
    profile.user = test::kSshdUser;
    profile.host = "127.0.0.1";
    profile.port = std::to_string(server->Port());
    profile.sftp = true;
    profile.sshAuth = TSshAuth::KeyFile;
    profile.sshKeyFile = key.privateKey.string();
    TServerProfiles(store).WriteProfile(profile, "");
    wizard = std::make_unique<TfrmUpload>(ui, store);
    wizard->Sftp().KnownHostsFile = (dir.Path() / "known_hosts").string();
    wizard->SetUploadFiles({(local / "page.html").string()});
    wizard->show();
    driver = std::make_unique<test::TWizardDriver>(*wizard);

    // The first send stops at the unknown host key; once it is trusted, the send that follows
    // at once takes the passphrase just typed.
    for (int send = 0; send < 2; ++send) {
        ui.AnswerExec([](QDialog& dialog) {
            auto& asked = static_cast<TfrmPassphrase&>(dialog);
            QTest::keyClicks(asked.Form().txtPassphrase, "pass phrase");
            QTest::keyClick(asked.Form().txtPassphrase, Qt::Key_Return);
        });
        if (send == 0)
            ui.AnswerMessage(mbYes);
        ui.AnswerMessage(mbOK);  // "Transfer Completed."
        Send(send == 0 ? 2 : 1);
        EXPECT_EQ(ui.Messages().back().text, "Transfer Completed.");
    }
    EXPECT_EQ(ui.ExecutedDialogs(), (QStringList{"TfrmPassphrase", "TfrmPassphrase"}));
    EXPECT_EQ(Stored().sshHostKey, server->HostKey().sha256);
    EXPECT_EQ(test::ReadFile(dir.Path() / "registry").find("pass phrase"), std::string::npos);

    // Cancel ends the send quietly.
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    driver->Send("Shell");
    ASSERT_TRUE(driver->WaitForIdle());
    EXPECT_EQ(ui.Messages().size(), 3u);
    driver->ExpectIdlePage();
}

}  // namespace
}  // namespace tessel

// Encrypted sessions of the wizard against vsftpd requiring explicit FTPS: a certificate
// that no authority vouches for is shown to the user, trusted for the profile and expected
// from then on; a different certificate later is refused.

#include <gtest/gtest.h>

#include <memory>

#include "platform/RegistryStore.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/NetTestSupport.h"
#include "publish/TestCertificates.h"
#include "publish/core/Profiles.h"
#include "publish/gui/WizardDriver.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class UploadTrustTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(local);
        test::WriteFile(local / "page.html", test::MakeBytes(5000, 7));
    }
    void StoreProfile(int port) {
        TServerProfile profile = NewServerProfile();
        profile.name = "Host";
        profile.user = "anonymous";
        profile.password = "tests@example.com";
        profile.host = "127.0.0.1";
        profile.initialDir = "pub";
        profile.port = std::to_string(port);
        profile.passive = true;
        TServerProfiles(store).WriteProfile(profile, "");
    }
    TServerProfile Stored() { return TServerProfiles(store).ReadProfile("Host"); }
    // One press of Send and every session it leads to, until `messages` more message boxes
    // were shown and the wizard is idle again.
    void Send(std::size_t messages) {
        const std::size_t expected = ui.Messages().size() + messages;
        wizard = std::make_unique<TfrmUpload>(ui, store);
        wizard->SetUploadFiles({(local / "page.html").string()});
        wizard->show();
        driver = std::make_unique<test::TWizardDriver>(*wizard);
        driver->Send("Host");
        ASSERT_TRUE(test::RunUntil(
            [&] { return ui.Messages().size() >= expected && !wizard->SessionRunning(); },
            test::kSessionLimit));
        EXPECT_EQ(ui.Messages().size(), expected);
    }

    test::TTempDir dir;
    fs::path local = dir.Path() / "local";
    test::TTestCa ca{dir.Path() / "ca"};
    TRegistryStore store{(dir.Path() / "registry").string()};
    TScriptedUiServices ui;
    std::unique_ptr<TfrmUpload> wizard;
    std::unique_ptr<test::TWizardDriver> driver;
};

TEST_F(UploadTrustTest, AHostsOwnCertificateIsTrustedOnceAndAChangedOneRefused) {
    const test::TTestCertificate own = ca.SelfSigned("ftp.host", "IP:127.0.0.1");
    test::TVsftpdServer server(dir.Path() / "first", &own);
    if (server.Port() == 0) {
        GTEST_SKIP() << server.Problem();
    }
    StoreProfile(server.Port());

    // No: nothing is sent and nothing is trusted.
    ui.AnswerMessage(mbNo);
    Send(1);
    ASSERT_EQ(ui.Messages().size(), 1u);
    const QString question = ui.Messages()[0].text;
    EXPECT_TRUE(question.contains(QString::fromStdString(own.sha256))) << question.toStdString();
    EXPECT_TRUE(question.contains("CN=ftp.host")) << question.toStdString();
    EXPECT_TRUE(question.contains("Trust this certificate and send?"));
    EXPECT_TRUE(driver->Commands("USER").empty());
    EXPECT_FALSE(fs::exists(server.UploadDir() / "page.html"));
    EXPECT_EQ(Stored().tlsFingerprint, "");

    // Yes: the fingerprint is kept with the profile and the page goes out encrypted.
    ui.AnswerMessage(mbYes);
    ui.AnswerMessage(mbOK);  // "Transfer Completed."
    Send(2);
    EXPECT_EQ(ui.Messages().back().text, "Transfer Completed.");
    EXPECT_EQ(Stored().tlsFingerprint, own.sha256);
    ASSERT_TRUE(fs::exists(server.UploadDir() / "page.html"));
    EXPECT_EQ(test::ReadFile(server.UploadDir() / "page.html"),
              test::ReadFile(local / "page.html"));
    // The refused session and the one after the answer; only the second logged in.
    EXPECT_EQ(driver->Commands("AUTH").size(), 2u);
    EXPECT_EQ(driver->Commands("USER").size(), 1u);

    // Later the same profile meets another certificate: refused, with the warning.
    const test::TTestCertificate other = ca.SelfSigned("ftp.host", "IP:127.0.0.1");
    test::TVsftpdServer impostor(dir.Path() / "second", &other);
    ASSERT_NE(impostor.Port(), 0) << impostor.Problem();
    TServerProfile moved = Stored();
    moved.port = std::to_string(impostor.Port());
    TServerProfiles(store).WriteProfile(moved, "");
    ui.AnswerMessage(mbOK);
    Send(1);
    EXPECT_EQ(ui.Messages().back().kind, TMsgKind::Warning);
    EXPECT_TRUE(ui.Messages().back().text.contains("certificate has changed"));
    EXPECT_TRUE(ui.Messages().back().text.contains(QString::fromStdString(other.sha256)));
    EXPECT_TRUE(driver->Commands("USER").empty());
    EXPECT_FALSE(fs::exists(impostor.UploadDir() / "page.html"));
    EXPECT_EQ(Stored().tlsFingerprint, own.sha256);
}

}  // namespace
}  // namespace tessel

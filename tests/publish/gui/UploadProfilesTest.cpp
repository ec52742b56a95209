// The wizard's server page: adding, editing, renaming and deleting server profiles with
// the real controls, and what reaches the settings store.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <memory>

#include "platform/RegistryStore.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/core/ProfileRules.h"
#include "publish/core/Profiles.h"
#include "publish/gui/WizardDriver.h"

namespace tessel {
namespace {

class UploadProfilesTest : public ::testing::Test {
  protected:
    TfrmUpload& Open() {
        wizard = std::make_unique<TfrmUpload>(ui, store);
        wizard->show();
        wizard->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
        driver = std::make_unique<test::TWizardDriver>(*wizard);
        return *wizard;
    }
    Ui::TfrmUpload& F() { return wizard->Form(); }
    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }
    // Replaces a field's text by typing, as the user does after selecting it all.
    void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    QStringList Captions() {
        QStringList captions;
        for (int i = 0; i < F().lvProfiles->count(); ++i)
            captions << F().lvProfiles->item(i)->text();
        return captions;
    }
    void AddProfile(const QString& name, const QString& host) {
        Click(F().btnAdd);
        Type(F().txtProfileName, name);
        Type(F().txtHostName, host);
        Click(F().btnApply);
    }

    test::TTempDir dir;
    TRegistryStore store{(dir.Path() / "registry").string()};
    TServerProfiles profiles{store};
    TScriptedUiServices ui;
    std::unique_ptr<TfrmUpload> wizard;
    std::unique_ptr<test::TWizardDriver> driver;
};

TEST_F(UploadProfilesTest, AddStoresEveryFieldAndFiltersTypedCharacters) {
    Open();
    EXPECT_TRUE(F().btnServers->isChecked());
    EXPECT_FALSE(F().btnUpload->isEnabled());
    Click(F().btnAdd);
    EXPECT_EQ(wizard->windowTitle(), "Upload Wizard - Add");
    EXPECT_TRUE(F().pnlProfiles->isVisible());
    EXPECT_TRUE(F().btnApply->isVisible());
    EXPECT_FALSE(F().btnApply->isEnabled());
    EXPECT_EQ(F().txtPort->text(), "21");
    EXPECT_TRUE(F().txtProfileName->hasFocus());
    EXPECT_TRUE(F().chkTls->isChecked());  // a new profile asks for encryption

    QTest::keyClicks(F().txtProfileName, "My:Si?te*<>|\"/\\");
    EXPECT_EQ(F().txtProfileName->text(), "MySite");
    EXPECT_TRUE(F().btnApply->isEnabled());
    Type(F().txtUserName, "alice");
    Type(F().txtPassword, "s3cret");
    EXPECT_EQ(F().txtPassword->echoMode(), QLineEdit::Password);
    Type(F().txtHostName, "127.0.0.2");
    Type(F().txtInitialDir, "public_html");
    Type(F().txtPort, "2a1x2");
    EXPECT_EQ(F().txtPort->text(), "212");
    Type(F().txtWebAddress, " http://localhost/~alice/ ");
    QTest::mouseClick(F().chkPassive, Qt::LeftButton, {}, QPoint(6, F().chkPassive->height() / 2));
    EXPECT_FALSE(F().chkPassive->isChecked());
    Click(F().btnApply);

    EXPECT_EQ(wizard->windowTitle(), "Upload Wizard ");
    EXPECT_FALSE(F().pnlProfiles->isVisible());
    EXPECT_FALSE(F().btnApply->isVisible());
    EXPECT_EQ(Captions(), QStringList{"MySite"});
    TServerProfile expected;
    expected.name = "MySite";
    expected.user = "alice";
    expected.password = "s3cret";
    expected.host = "127.0.0.2";
    expected.initialDir = "public_html";
    expected.port = "212";
    expected.passive = false;
    expected.tls = true;
    expected.webAddress = "http://localhost/~alice/";
    EXPECT_EQ(profiles.ReadProfile("MySite"), expected);
}

TEST_F(UploadProfilesTest, ApplyRefusesDuplicatesAndPastedForbiddenCharacters) {
    TServerProfile home;
    home.name = "Home";
    profiles.WriteProfile(home, "");
    Open();

    Click(F().btnAdd);
    Type(F().txtProfileName, "HOME");
    ui.AnswerMessage(mbOK);
    Click(F().btnApply);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, kDuplicateProfileMessage);
    EXPECT_EQ(ui.Beeps(), 1);
    EXPECT_TRUE(F().pnlProfiles->isVisible());

    // Pasted text is not filtered while typing: Apply refuses it.
    F().txtProfileName->selectAll();
    F().txtProfileName->insert("web/site");
    ui.AnswerMessage(mbOK);
    Click(F().btnApply);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].text, kBadProfileNameMessage);
    EXPECT_TRUE(F().txtProfileName->hasFocus());
    EXPECT_EQ(store.SubKeyNames(kProfilesKey), std::vector<std::string>{"Home"});

    // A name that only begins like another one is a new name. Enter applies.
    Type(F().txtProfileName, "Hom");
    QTest::keyClick(F().txtProfileName, Qt::Key_Return);
    EXPECT_EQ(Captions(), (QStringList{"Home", "Hom"}));
    EXPECT_TRUE(profiles.ProfileExists("Hom"));
}

TEST_F(UploadProfilesTest, CancelLeavesTheStoreAndListAlone) {
    Open();
    Click(F().btnAdd);
    Type(F().txtProfileName, "Draft");
    Click(F().btnCancel);
    EXPECT_EQ(wizard->windowTitle(), "Upload Wizard ");
    EXPECT_FALSE(F().pnlProfiles->isVisible());
    EXPECT_TRUE(F().lvProfiles->isVisible());
    EXPECT_EQ(F().lvProfiles->count(), 0);
    EXPECT_FALSE(store.KeyExists(kProfilesKey + std::string("Draft")));
}

TEST_F(UploadProfilesTest, EditRenamesInPlaceAndRefusesACaseOnlyRename) {
    TServerProfile site;
    site.name = "Site";
    site.user = "bob";
    site.password = "pw";
    site.host = "127.0.0.3";
    site.passive = true;
    site.tls = true;
    site.tlsFingerprint = "AA:BB";
    site.webAddress = "http://localhost/~bob/";
    profiles.WriteProfile(site, "");
    store.DeleteValue(kProfilesKey + std::string("Site"), "Port");
    Open();

    EXPECT_FALSE(F().btnEdit->isEnabled());
    driver->SelectProfile("Site");
    EXPECT_TRUE(F().btnEdit->isEnabled());
    EXPECT_TRUE(F().btnDelete->isEnabled());
    EXPECT_TRUE(F().btnUpload->isEnabled());
    Click(F().btnEdit);
    EXPECT_EQ(wizard->windowTitle(), "Upload Wizard - Edit");
    EXPECT_FALSE(F().btnUpload->isEnabled());
    EXPECT_EQ(F().txtProfileName->text(), "Site");
    EXPECT_EQ(F().txtUserName->text(), "bob");
    EXPECT_EQ(F().txtPassword->text(), "pw");
    EXPECT_EQ(F().txtHostName->text(), "127.0.0.3");
    EXPECT_EQ(F().txtPort->text(), "21");
    EXPECT_EQ(F().txtWebAddress->text(), "http://localhost/~bob/");
    EXPECT_TRUE(F().chkPassive->isChecked());
    EXPECT_TRUE(F().chkTls->isChecked());

    Type(F().txtProfileName, "SITE");
    ui.AnswerMessage(mbOK);
    Click(F().btnApply);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, kDuplicateProfileMessage);

    Type(F().txtProfileName, "Work");
    Type(F().txtUserName, "carol");
    Click(F().btnApply);
    EXPECT_EQ(Captions(), QStringList{"Work"});
    EXPECT_FALSE(profiles.ProfileExists("Site"));
    EXPECT_EQ(profiles.ReadProfile("Work").user, "carol");
    EXPECT_EQ(profiles.ReadProfile("Work").password, "pw");
    EXPECT_EQ(profiles.ReadProfile("Work").tlsFingerprint, "AA:BB");  // the same server
    EXPECT_TRUE(F().lvProfiles->item(0)->isSelected());
    EXPECT_TRUE(F().btnUpload->isEnabled());

    // Editing without renaming writes over the values in place; a double click edits too.
    const QPoint at = F().lvProfiles->visualItemRect(F().lvProfiles->item(0)).center();
    QTest::mouseDClick(F().lvProfiles->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(F().pnlProfiles->isVisible());
    Type(F().txtInitialDir, "www");
    Type(F().txtHostName, "127.0.0.4");
    EXPECT_EQ(F().txtWebAddress->text(), "http://localhost/~bob/");  // kept by the rename
    Type(F().txtWebAddress, "");
    Click(F().btnApply);
    EXPECT_EQ(profiles.ListProfiles(), std::vector<std::string>{"Work"});
    EXPECT_EQ(profiles.ReadProfile("Work").initialDir, "www");
    EXPECT_FALSE(store.ValueExists(kProfilesKey + std::string("Work"), "WebAddress"));
    // A certificate trusted for one server is not taken for another.
    EXPECT_EQ(profiles.ReadProfile("Work").tlsFingerprint, "");
}

TEST_F(UploadProfilesTest, DeleteAsksAndRemovesOnlyOnYes) {
    Open();
    AddProfile("One", "127.0.0.4");
    AddProfile("Two", "127.0.0.5");
    driver->SelectProfile("One");

    ui.AnswerMessage(mbNo);
    Click(F().btnDelete);
    EXPECT_EQ(Captions(), (QStringList{"One", "Two"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Do you want to delete the selected server profile?");
    EXPECT_EQ(ui.Messages()[0].buttons, mbYes | mbNo);

    ui.AnswerMessage(mbYes);
    Click(F().btnDelete);
    EXPECT_EQ(Captions(), QStringList{"Two"});
    EXPECT_EQ(profiles.ListProfiles(), std::vector<std::string>{"Two"});
    EXPECT_FALSE(F().btnDelete->isEnabled());
    EXPECT_FALSE(F().btnEdit->isEnabled());
    EXPECT_FALSE(F().btnUpload->isEnabled());
    EXPECT_EQ(ui.Beeps(), 2);
}

TEST_F(UploadProfilesTest, TheUploadPageKeepsItsListAndButtonsInStep) {
    TServerProfile site;
    site.name = "Site";
    profiles.WriteProfile(site, "");
    Open();
    wizard->SetUploadFiles({"/tmp/a.gif"});
    driver->SelectProfile("Site");
    Click(F().btnUpload);
    EXPECT_TRUE(F().pnlUpload->isVisible());
    EXPECT_TRUE(F().btnSend->isEnabled());
    EXPECT_TRUE(F().btnUpRemove->isEnabled());

    ui.AnswerFileDialog(QStringLiteral("/tmp/b.html"));
    Click(F().btnUpAdd);
    EXPECT_EQ(F().lstUpload->Lines(), (QStringList{"/tmp/a.gif", "/tmp/b.html"}));
    EXPECT_EQ(F().lstUpload->currentRow(), 1);
    // The list shows names first; the whole path is the tool tip.
    EXPECT_EQ(F().lstUpload->item(0)->toolTip(), "/tmp/a.gif");
    EXPECT_EQ(F().lstUpload->item(1)->toolTip(), "/tmp/b.html");
    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnUpAdd);
    EXPECT_EQ(F().lstUpload->count(), 2);

    test::TWizardDriver::ClickEntry(F().lstUpload, 0);
    Click(F().btnUpRemove);
    EXPECT_EQ(F().lstUpload->Lines(), QStringList{"/tmp/b.html"});
    EXPECT_TRUE(F().lstUpload->selectedItems().isEmpty());
    test::TWizardDriver::ClickEntry(F().lstUpload, 0);
    Click(F().btnUpRemove);
    EXPECT_EQ(F().lstUpload->count(), 0);
    EXPECT_FALSE(F().btnSend->isEnabled());
    EXPECT_FALSE(F().btnUpRemove->isEnabled());

    Click(F().btnServers);
    EXPECT_TRUE(F().lvProfiles->isVisible());
    EXPECT_FALSE(F().pnlUpload->isVisible());
}

}  // namespace
}  // namespace tessel

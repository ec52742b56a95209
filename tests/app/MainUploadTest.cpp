// Send to web from the main window: saving first, the check before sending, and a saved page
// with its pictures sent through the wizard to a real FTP server on loopback.

#include <QCheckBox>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QTextBrowser>
#include <QWhatsThis>

#include "app/MainFixture.h"
#include "html/MailScript.h"
#include "platform/gui/ChildControl.h"
#include "platform/gui/DesktopLanguage.h"
#include "platform/gui/HelpViewer.h"
#include "publish/NetTestSupport.h"
#include "publish/core/Profiles.h"
#include "publish/gui/SendCheckDialog.h"
#include "publish/gui/WizardDriver.h"
#include "ui_SendCheckDialog.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class SendToWebTest : public MainWindowTest {
  protected:
    // A page with a title, two pictures with alternative texts, a background and a link
    // with an address: nothing for the check before sending to find.
    void BuildTidyPage() {
        for (const char* name : {"boat.bmp", "oar.bmp"}) {
            QImage picture(8 + static_cast<int>(std::strlen(name)), 6, QImage::Format_RGB32);
            picture.fill(QColor(20, 90, 160));
            ASSERT_TRUE(picture.save(QString::fromStdString(home + kImagesFolder + name)));
        }
        QImage sea(16, 16, QImage::Format_RGB32);
        sea.fill(QColor(0, 60, 120));
        ASSERT_TRUE(sea.save(QString::fromStdString(home + kBackgroundsFolder + "sea.jpg")));

        TPagePropertiesBlock& settings = Page().Items(0).PagePropertiesBlock();
        settings.PageTitle = "Boat trip";
        settings.MetaText = "Description\tOur boat trip\r\n";
        settings.FitScreens = true;
        settings.Background = "sea.jpg";
        Page().Items(1).ImageBlock().FileName = "oar.bmp";
        Page().Items(1).ImageBlock().Alt = "An oar";
        TLinkBlock& link = Page().Items(2).LinkBlock();
        link.LinkText = "Club";
        link.LinkURL = "http://rowing.example/";
        TPageItem& second = Page().Insert(2);
        second.BlockType = btImage;
        second.ImageBlock().FileName = "boat.bmp";
        second.ImageBlock().Alt = "Our boat";
        window->RebuildBlockList();
    }
    // A form of two fields at the end of the page, going where `service` says.
    void AddForm(const std::string& service) {
        TPagelette& page = window->Document();
        InitNewBlock(page, Page().Count(), btForms);
        page.Email = "captain@rowing.example";
        page.FormService = service;
        for (const char* name : {"Name", "E-Mail"}) {
            TFormElement& field = page.WebForm().Add();
            field.Name = name;
            field.Strings().lines = {"Size=30"};
        }
        window->RebuildBlockList();
    }
    std::string Script() { return home + kUploadFolder + "BoatTrip-mail.php"; }
    void Save(const std::string& name) {
        ui.AnswerFileDialog(QString::fromStdString(home + kDocumentsFolder + name));
        ui.AnswerMessage(mbOK);
        QTest::mouseClick(F().btnSave, Qt::LeftButton);
        ASSERT_FALSE(window->Modified());
    }
    void StoreProfile(int port, bool passive) {
        TServerProfile profile;
        profile.name = "Local";
        profile.user = "alice";
        profile.password = "secret";
        profile.host = "127.0.0.1";
        profile.initialDir = "www";
        profile.port = std::to_string(port);
        profile.passive = passive;
        TServerProfiles(settings.store).WriteProfile(profile, "");
    }
};

TEST_F(SendToWebTest, AnUnsavedPageIsSavedFirstOrNotSentAtAll) {
    OpenShown();
    BuildTidyPage();
    window->MarkModified();
    ASSERT_TRUE(window->Modified());
    EXPECT_TRUE(F().btnUpload->isEnabled());

    ui.AnswerMessage(mbCancel);
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "You need to save Untitled before uploading.");
    EXPECT_EQ(ui.Messages()[0].buttons, mbOK | mbCancel);
    EXPECT_TRUE(ui.ExecutedDialogs().isEmpty());

    // OK saves; a cancelled save dialog leaves the page unsaved and unsent.
    ui.AnswerMessage(mbOK);
    ui.AnswerFileDialog(std::nullopt);
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_TRUE(ui.ExecutedDialogs().isEmpty());

    ui.AnswerMessage(mbOK);
    ui.AnswerFileDialog(QString::fromStdString(home + kDocumentsFolder + "Boat Trip.pgx"));
    ui.AnswerMessage(mbOK);  // saved in the Uploads folder
    QStringList listed;
    ui.AnswerExec([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<TfrmUpload&>(dialog);
        listed = wizard.Form().lstUpload->Lines();
        QTest::mouseClick(wizard.Form().btnExit, Qt::LeftButton);
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList{"TfrmUpload"});
    EXPECT_EQ(listed,
              (QStringList{QString::fromStdString(home + kBackgroundsFolder + "sea.jpg"),
                           QString::fromStdString(home + kImagesFolder + "boat.bmp"),
                           QString::fromStdString(home + kImagesFolder + "oar.bmp"),
                           QString::fromStdString(home + kUploadFolder + "BoatTrip.html")}));
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(SendToWebTest, TheCheckBeforeSendingListsWhatAVisitorWouldNotice) {
    OpenShown();
    // The default page: no title, an image block without a picture or words.
    ASSERT_FALSE(window->Modified());
    QStringList shown;
    ui.AnswerExec([&](QDialog& dialog) {
        auto& check = dynamic_cast<TfrmSendCheck&>(dialog);
        for (int i = 0; i < check.Form().lstFindings->count(); ++i)
            shown << check.Form().lstFindings->item(i)->text();
        QTest::mouseClick(check.Form().btnGoBack, Qt::LeftButton);
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList{"TfrmSendCheck"});
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.first().contains("no title")) << shown.first().toStdString();

    ui.AnswerExec([](QDialog& dialog) {
        QTest::mouseClick(&testing::Child<QPushButton>(dialog, "btnSendAnyway"), Qt::LeftButton);
    });
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs(), (QStringList{"TfrmSendCheck", "TfrmSendCheck", "TfrmUpload"}));

    // A tidy page goes straight to the wizard.
    BuildTidyPage();
    Save("Tidy.pgx");
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs().last(), "TfrmUpload");
    EXPECT_EQ(ui.ExecutedDialogs().size(), 4);
}

bool WhatsThisShown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget* widget) {
        return widget->isVisible() && widget->inherits("QWhatsThat");
    });
}

// The wizard's fields have the main window's "What's This?" menu with their own topics, and F1
// opens the topic of the field with the focus.
TEST_F(SendToWebTest, WhatsThisAndF1ExplainTheWizardsFields) {
    THelpViewer viewer(QString::fromUtf8(TESSEL_SOURCE_DATA "/help/"));
    help = &viewer;
    OpenShown();
    BuildTidyPage();
    Save("Help.pgx");
    StoreProfile(21, true);
    std::vector<int> menuContexts;
    QStringList f1Topics;
    ui.AnswerExec([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<TfrmUpload&>(dialog);
        Ui::TfrmUpload& f = wizard.Form();
        wizard.show();
        // The F1 of a field, then of a place without a topic of its own.
        const auto pressF1 = [&](QWidget* control) {
            wizard.activateWindow();
            ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &wizard; }));
            control->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            f1Topics << QFileInfo(viewer.Browser()->source().toLocalFile()).fileName();
            viewer.hide();
        };
        pressF1(f.lvProfiles);
        test::TWizardDriver(wizard).SelectProfile(QStringLiteral("Local"));
        QTest::mouseClick(f.btnEdit, Qt::LeftButton);
        for (QWidget* field : std::initializer_list<QWidget*>{
                 f.txtProfileName, f.txtUserName, f.txtPort, f.txtInitialDir, f.txtHostName,
                 f.txtPassword, f.chkPassive, f.chkTls}) {
            const QPoint at(4, 4);
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
            QApplication::sendEvent(field, &click);
            EXPECT_TRUE(window->PopWhatsThis()->isVisible()) << field->objectName().toStdString();
            menuContexts.push_back(window->WhatsThisContext());
            window->PopWhatsThis()->hide();
            Trigger("mnuWhatsThis");
            EXPECT_EQ(window->WhatsThisContext(), 0);
            EXPECT_TRUE(WhatsThisShown()) << field->objectName().toStdString();
            QWhatsThis::hideText();
        }
        pressF1(f.txtHostName);
        pressF1(f.chkTls);
        QTest::mouseClick(f.btnCancel, Qt::LeftButton);
        QTest::mouseClick(f.btnUpload, Qt::LeftButton);
        pressF1(f.lstUpload);
        pressF1(f.btnSend);
        dialog.reject();
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList{"TfrmUpload"});
    EXPECT_EQ(menuContexts, (std::vector<int>{57, 58, 59, 60, 61, 62, 63, 63}));
    EXPECT_EQ(
        f1Topics.join(", ").toStdString(),
        QStringList({"ctx-63.html", "ctx-61.html", "ctx-63.html", "ctx-75.html", "index.html"})
            .join(", ")
            .toStdString());
    window.reset();  // before the viewer it points at
}

// The mail script is written by every save of a page whose form goes to it, goes up first (so
// the page never points at a script not there yet), and is gone from the list and the folder
// once the form goes elsewhere.
TEST_F(SendToWebTest, AFormForTheMailScriptTakesItsScriptAlong) {
    const fs::path root = fs::path(home) / "server";
    fs::create_directories(root / "www");
    test::TPyFtpServer server(root, "alice", "secret");
    ASSERT_NE(server.Port(), 0);
    StoreProfile(server.Port(), true);
    OpenShown();
    BuildTidyPage();
    AddForm(kFormServiceScript);
    Save("Boat Trip.pgx");
    ASSERT_TRUE(Exists(Script()));
    EXPECT_EQ(ReadFile(Script()), MailScriptText(window->Document(), "BoatTrip.html"));
    EXPECT_NE(ReadFile(home + kUploadFolder + "BoatTrip.html")
                  .find("<FORM ACTION=\"BoatTrip-mail.php\" METHOD=\"POST\""),
              std::string::npos);

    QStringList listed;
    std::vector<std::string> stored;
    ui.AnswerMessage(mbOK);  // "Transfer Completed."
    ui.AnswerExec([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<TfrmUpload&>(dialog);
        listed = wizard.Form().lstUpload->Lines();
        test::TWizardDriver driver(wizard);
        driver.Send("Local");
        ASSERT_TRUE(driver.WaitForIdle());
        stored = driver.Commands("STOR");
        QTest::mouseClick(wizard.Form().btnExit, Qt::LeftButton);
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    ASSERT_EQ(listed.size(), 5);
    EXPECT_EQ(listed.last(), QString::fromStdString(Script()));
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[0], "STOR BoatTrip-mail.php");
    EXPECT_EQ(stored[1], "STOR BoatTrip.html");
    EXPECT_EQ(ReadFile((root / "www" / "BoatTrip-mail.php").string()), ReadFile(Script()));

    // Sent to a form service now: the old script is removed, and one left there is not sent.
    window->Document().FormService = "https://forms.rowing.example/f/1";
    window->MarkModified();
    Save("Boat Trip.pgx");
    EXPECT_FALSE(Exists(Script()));
    WriteFile(Script(), "<?php // left from an earlier page");
    ui.AnswerExec([&](QDialog& dialog) {
        listed = dynamic_cast<TfrmUpload&>(dialog).Form().lstUpload->Lines();
        dialog.reject();
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_EQ(listed.size(), 4);
    EXPECT_FALSE(listed.contains(QString::fromStdString(Script())));
}

// The check before sending finds a form for the host's FormMail; its mend button switches the
// form to the mail script and saves the page again, so the script goes up with it.
TEST_F(SendToWebTest, TheChecksMendSendsTheFormWithTheMailScript) {
    OpenShown();
    BuildTidyPage();
    AddForm("");
    Save("Boat Trip.pgx");
    EXPECT_FALSE(Exists(Script()));
    QStringList shown;
    QStringList listed;
    ui.AnswerExec([&](QDialog& dialog) {
        auto& check = dynamic_cast<TfrmSendCheck&>(dialog);
        ASSERT_EQ(check.Form().lstFindings->count(), 1);
        EXPECT_TRUE(check.Form().lstFindings->item(0)->text().contains(
            "Your web host must run FormMail at /cgi-bin/FormMail.pl for the form to send "
            "anything"));
        QPushButton& mend = testing::Child<QPushButton>(dialog, "btnFix0");
        EXPECT_EQ(mend.text(), "Send the form with the &mail script (needs PHP)");
        QTest::mouseClick(&mend, Qt::LeftButton);
        shown << check.Form().lstFindings->item(0)->text();
        QTest::mouseClick(check.Form().btnSendAnyway, Qt::LeftButton);
    });
    ui.AnswerExec([&](QDialog& dialog) {
        listed = dynamic_cast<TfrmUpload&>(dialog).Form().lstUpload->Lines();
        dialog.reject();
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs(), (QStringList{"TfrmSendCheck", "TfrmUpload"}));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Mended: ")) << shown[0].toStdString();
    EXPECT_EQ(window->Document().FormService, "script");
    EXPECT_FALSE(window->Modified());
    ASSERT_TRUE(Exists(Script()));
    EXPECT_NE(ReadFile(home + kUploadFolder + "BoatTrip.html").find("ACTION=\"BoatTrip-mail.php\""),
              std::string::npos);
    EXPECT_EQ(listed.last(), QString::fromStdString(Script()));
}

// A page not fitted to phones: the mend ticks the option (with the desktop's language), the
// page is saved again, and the copy that goes up is the fitted one.
TEST_F(SendToWebTest, TheChecksMendFitsThePageToPhones) {
    OpenShown();
    BuildTidyPage();
    Page().Items(0).PagePropertiesBlock().FitScreens = false;
    window->RebuildBlockList();
    Save("Boat Trip.pgx");
    EXPECT_EQ(ReadFile(home + kUploadFolder + "BoatTrip.html").find("<!DOCTYPE html>"),
              std::string::npos);
    QString finding;
    ui.AnswerExec([&](QDialog& dialog) {
        auto& check = dynamic_cast<TfrmSendCheck&>(dialog);
        ASSERT_EQ(check.Form().lstFindings->count(), 1);
        finding = check.Form().lstFindings->item(0)->text();
        QTest::mouseClick(&testing::Child<QPushButton>(dialog, "btnFix0"), Qt::LeftButton);
        QTest::mouseClick(check.Form().btnSendAnyway, Qt::LeftButton);
    });
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    EXPECT_TRUE(finding.contains("the page is not set to fit phones")) << finding.toStdString();
    EXPECT_EQ(ui.ExecutedDialogs(), (QStringList{"TfrmSendCheck", "TfrmUpload"}));
    const TPagePropertiesBlock& settings = Page().Items(0).PagePropertiesBlock();
    EXPECT_TRUE(settings.FitScreens);
    EXPECT_EQ(settings.Language, DesktopLanguage());
    EXPECT_TRUE(F().chkFitScreens->isChecked());  // the open panel shows the mended page
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(ReadFile(home + kUploadFolder + "BoatTrip.html").rfind("<!DOCTYPE html>", 0), 0u);
}

class SendToWebServerTest : public SendToWebTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SendToWebServerTest, ASavedPageWithItsPicturesArrivesByteForByte) {
    const fs::path root = fs::path(home) / "server";
    fs::create_directories(root / "www");
    test::TPyFtpServer server(root, "alice", "secret");
    ASSERT_NE(server.Port(), 0);
    StoreProfile(server.Port(), GetParam());
    OpenShown();
    BuildTidyPage();
    Save("Boat Trip.pgx");

    std::vector<std::string> stored;
    ui.AnswerMessage(mbOK);  // "Transfer Completed."
    ui.AnswerExec([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<TfrmUpload&>(dialog);
        test::TWizardDriver driver(wizard);
        driver.Send("Local");
        ASSERT_TRUE(driver.WaitForIdle());
        stored = driver.Commands("STOR");
        EXPECT_EQ(driver.Commands(GetParam() ? "PASV" : "PORT").size(), 4u);
        QTest::mouseClick(wizard.Form().btnExit, Qt::LeftButton);
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);

    EXPECT_EQ(stored, (std::vector<std::string>{"STOR BoatTrip.html", "STOR oar.bmp",
                                                "STOR boat.bmp", "STOR sea.jpg"}));
    const std::pair<std::string, std::string> files[] = {
        {"BoatTrip.html", home + kUploadFolder + "BoatTrip.html"},
        {"oar.bmp", home + kImagesFolder + "oar.bmp"},
        {"boat.bmp", home + kImagesFolder + "boat.bmp"},
        {"sea.jpg", home + kBackgroundsFolder + "sea.jpg"}};
    for (const auto& [name, local] : files) {
        ASSERT_TRUE(Exists((root / "www" / name).string())) << name;
        EXPECT_EQ(ReadFile((root / "www" / name).string()), ReadFile(local)) << name;
    }
    EXPECT_NE(ReadFile(home + kUploadFolder + "BoatTrip.html").find("SRC=\"boat.bmp\""),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Modes, SendToWebServerTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Passive") : std::string("Active");
                         });

}  // namespace
}  // namespace tessel

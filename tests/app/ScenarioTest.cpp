// The whole way a user takes, through the real windows: a new page with a block of every
// kind and an e-mail form with a field of every kind, a theme chosen in the preview, saved,
// opened again in a new window, and sent with the upload wizard to an FTP server on
// loopback. What arrives there must be what tessel-cli makes of the saved document and the
// very pictures of the program folder.

#include <QImage>
#include <QProcess>
#include <QTreeWidget>
#include <set>

#include "app/EveryBlockPage.h"
#include "app/FormFieldSteps.h"
#include "formfields/CommonFields.h"
#include "platform/gui/HtmlView.h"
#include "publish/NetTestSupport.h"
#include "publish/core/Profiles.h"
#include "publish/gui/WizardDriver.h"
#include "ui_CommonFields.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

class ScenarioTest : public EveryBlockPageTest {
  protected:
    void SetUp() override {
        EveryBlockPageTest::SetUp();
        // A theme that brings a background picture along.
        TWebTheme themes;
        for (const char* name : {"Default", "Ocean", "Harbour"}) {
            TThemeItem& theme = themes.Items().Add();
            theme.ThemeName = name;
            theme.LeftMargin = "0";
        }
        TThemeItem& harbour = themes.Items().Items(2);
        harbour.BGImage = "waves.jpg";
        harbour.BGColor = RGB(240, 248, 255);
        harbour.TextColor = RGB(0, 0, 64);
        harbour.LinkColor = RGB(0, 96, 0);
        SaveThemes(home, themes);
        SavePicture(home + kBackgroundsFolder + "waves.jpg", 24, 24, QColor(0, 80, 160), "JPG");
        // The field bank offers a button, which the Add menu does not.
        WriteFile(home + "Fields.ini",
                  "[Default Fields]\r\nFIELD0=Your E-mail|0\r\n"
                  "FIELD1=Send Now|5\r\n");
    }

    static void SavePicture(const std::string& path, int width, int height, QColor colour,
                            const char* format) {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(colour);
        // A line of other colours, so that no two pictures are alike.
        for (int x = 0; x < width; ++x) picture.setPixelColor(x, 0, QColor(x * 9 % 256, 0, 90));
        ASSERT_TRUE(picture.save(QString::fromStdString(path), format)) << path;
    }

    TPagePropertiesBlock& Settings() { return Page().Items(0).PagePropertiesBlock(); }

    // The form of the forms block: an address, the bank's fields, then one of every kind the
    // Add menu offers, each through the field editor.
    void BuildForm() {
        ASSERT_EQ(F().pnlPanels->currentWidget(), F().pnlForms);
        QTest::keyClicks(F().txtFormAddress, "captain@rowing.example");
        QTest::keyClicks(F().txtFormSubject, "Membership");
        ui.AnswerExec([](QDialog& dialog) {
            QTest::mouseClick(static_cast<TfrmCommonFields&>(dialog).Form().btnOK, Qt::LeftButton);
        });
        QTest::mouseClick(F().btnFormBasic, Qt::LeftButton);
        test::AddField(ui, *window, fkText, "Full Name", [](Ui::TfrmFields& e) {
            QTest::keyClicks(e.txtText, "Your name");
            QTest::keyClicks(e.txtValue, "Jo");
        });
        test::AddField(ui, *window, fkTextArea, "Why Row", [](Ui::TfrmFields& e) {
            e.txtCols->setText("40");
            e.txtRows->setText("4");
        });
        test::AddField(ui, *window, fkRadio, "Boat", [](Ui::TfrmFields& e) {
            test::AddChoice(e, "s", "Sculls", false);
            test::AddChoice(e, "e", "Eights", true);
        });
        test::AddField(ui, *window, fkCheckBox, "Extras",
                       [](Ui::TfrmFields& e) { test::AddChoice(e, "c", "Coaching", true); });
        test::AddField(ui, *window, fkDropDown, "Day", [](Ui::TfrmFields& e) {
            test::AddChoice(e, "sa", "Saturday", false);
            test::AddChoice(e, "su", "Sunday", false);
        });
        // Sent with the mail script, which the club's host can run.
        ui.AnswerExec([](QDialog& dialog) {
            Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
            MainWindowTest::Click(o.optMailScript);
            QTest::mouseClick(o.btnOK, Qt::LeftButton);
        });
        QTest::mouseClick(F().btnFormOptions, Qt::LeftButton);
    }

    // A second image block at the end, its picture chosen with the panel's button.
    void AddSecondImage(const std::string& picture) {
        DropFromPalette(btImage, F().lstBlocks->count());
        ASSERT_EQ(F().pnlPanels->currentWidget(), F().pnlImages);
        ui.AnswerFileDialog(QString::fromStdString(picture));
        QTest::mouseClick(F().btnImagePic, Qt::LeftButton);
        QTest::keyClicks(F().txtImageAlt, "An oar");
    }

    void CheckForm(TPagelette& page) {
        const TFieldKind kinds[] = {fkText,  fkButton,   fkText,    fkTextArea,
                                    fkRadio, fkCheckBox, fkDropDown};
        ASSERT_EQ(page.WebForm().Count(), 7);
        for (int i = 0; i < 7; ++i) EXPECT_EQ(page.WebForm().Items(i).FieldKind, kinds[i]) << i;
        EXPECT_EQ(page.WebForm().Items(1).Name, "Send Now");
        EXPECT_EQ(page.WebForm().Items(4).Strings().lines,
                  (std::vector<std::string>{"s|Sculls|No", "e|Eights|Yes"}));
        EXPECT_EQ(page.WebForm().Items(6).Strings().lines,
                  (std::vector<std::string>{"sa|Saturday", "su|Sunday"}));
        EXPECT_EQ(page.Email, "captain@rowing.example");
        EXPECT_EQ(page.Subject, "Membership");
        EXPECT_EQ(page.FormService, "script");
    }

    void StoreProfile(int port) {
        TServerProfile profile;
        profile.name = "Club server";
        profile.user = "alice";
        profile.password = "secret";
        profile.host = "127.0.0.1";
        profile.initialDir = "www";
        profile.port = std::to_string(port);
        profile.passive = true;
        TServerProfiles(settings.store).WriteProfile(profile, "");
    }

    // What `tessel-cli html` writes for `document` in output `mode`, run as a user runs it.
    std::string CliHtml(const std::string& document, const char* mode) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TESSEL_HOME", QString::fromStdString(home));
        cli.setProcessEnvironment(environment);
        cli.start(TESSEL_CLI, {"html", QString::fromStdString(document), "--mode", mode});
        const int limit = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(test::kSessionLimit).count());
        EXPECT_TRUE(cli.waitForFinished(limit)) << mode;
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << mode;
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return cli.readAllStandardOutput().toStdString();
    }
};

TEST_F(ScenarioTest, APageBuiltInTheWindowsArrivesOnTheServerAsTheCommandLineMakesIt) {
    const fs::path server = fs::path(home) / "server";
    fs::create_directories(server / "www");
    test::TPyFtpServer ftp(server, "alice", "secret");
    ASSERT_NE(ftp.Port(), 0);
    StoreProfile(ftp.Port());

    QTemporaryDir elsewhere;
    const std::string boat = elsewhere.path().toStdString() + "/boat.bmp";
    const std::string oar = elsewhere.path().toStdString() + "/oar.png";
    SavePicture(boat, 90, 60, Qt::blue, "BMP");
    SavePicture(oar, 40, 12, QColor(160, 120, 40), "PNG");

    OpenShown();
    window->resize(900, 650);
    Trigger("mnuNew");
    EXPECT_EQ(window->windowTitle().toStdString(), "Untitled - Brindle HTML Tessel 4.0");
    EXPECT_TRUE(ui.Messages().empty());
    BuildPage(boat);
    BuildForm();
    AddSecondImage(oar);
    CheckDocument(window->Document(), 9);
    CheckForm(window->Document());
    ASSERT_EQ(F().lvForms->topLevelItemCount(), 7);
    EXPECT_EQ(F().lvForms->topLevelItem(1)->text(1), "Button");

    // The theme, chosen in the preview's list.
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    ASSERT_TRUE(F().pnlPreview->isVisible());
    const QList<QListWidgetItem*> harbour = F().lstThemes->findItems("Harbour", Qt::MatchExactly);
    ASSERT_EQ(harbour.size(), 1);
    ClickEntry(F().lstThemes, F().lstThemes->row(harbour.first()));
    EXPECT_EQ(Settings().ThemeName, "Harbour");
    EXPECT_EQ(Settings().Background, "waves.jpg");
    EXPECT_EQ(Settings().BGColor, RGB(240, 248, 255));
    const TMappedPage& shown = F().browser->Mapped();
    EXPECT_EQ(shown.background, home + kBackgroundsFolder + "waves.jpg");
    EXPECT_EQ(shown.pictures.size(), 2u);
    EXPECT_NE(shown.html.find("Sunday"), std::string::npos);
    EXPECT_NE(shown.html.find("Coxless fours"), std::string::npos);
    QTest::mouseClick(F().btnCreate, Qt::LeftButton);

    const std::string path = home + kDocumentsFolder + "Rowing Club.pgx";
    ui.AnswerFileDialog(QString::fromStdString(path));
    ui.AnswerMessage(mbOK);
    QTest::mouseClick(F().btnSave, Qt::LeftButton);
    ASSERT_FALSE(window->Modified());

    // A new window on the saved file holds the whole page again.
    window.reset();
    OpenShown({QString::fromStdString(path)});
    window->resize(900, 650);
    EXPECT_EQ(window->windowTitle().toStdString(), "Rowing Club.pgx - Brindle HTML Tessel 4.0");
    CheckDocument(window->Document(), 9);
    CheckForm(window->Document());
    EXPECT_EQ(Settings().ThemeName, "Harbour");
    EXPECT_EQ(Settings().Background, "waves.jpg");
    EXPECT_EQ(Page().Items(8).ImageBlock().FileName, "oar.png");
    EXPECT_EQ(F().lvForms->topLevelItemCount(), 7);

    QStringList listed;
    std::vector<std::string> stored;
    ui.AnswerMessage(mbOK);  // "Transfer Completed."
    ui.AnswerExec([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<TfrmUpload&>(dialog);
        listed = wizard.Form().lstUpload->Lines();
        test::TWizardDriver driver(wizard);
        driver.Send("Club server");
        ASSERT_TRUE(driver.WaitForIdle());
        stored = driver.Commands("STOR");
        EXPECT_EQ(driver.Commands("PASV").size(), 5u);
        QTest::mouseClick(wizard.Form().btnExit, Qt::LeftButton);
    });
    QTest::mouseClick(F().btnUpload, Qt::LeftButton);
    // Nothing for the check before sending to find: the wizard came at once.
    EXPECT_EQ(ui.ExecutedDialogs().last(), "TfrmUpload");
    EXPECT_FALSE(ui.ExecutedDialogs().contains("TfrmSendCheck"));
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back().text, "Transfer Completed.");
    const auto local = [this](const std::string& file) {
        return QString::fromStdString(home + file);
    };
    EXPECT_EQ(listed, (QStringList{local(kBackgroundsFolder + std::string("waves.jpg")),
                                   local(kImagesFolder + std::string("boat.bmp")),
                                   local(kImagesFolder + std::string("oar.png")),
                                   local(kUploadFolder + std::string("RowingClub.html")),
                                   local(kUploadFolder + std::string("RowingClub-mail.php"))}));
    EXPECT_EQ(stored.size(), 5u);

    // On the server: exactly the page, its mail script and its three pictures.
    std::set<std::string> arrived;
    for (const fs::directory_entry& entry : fs::directory_iterator(server / "www"))
        arrived.insert(entry.path().filename().string());
    EXPECT_EQ(arrived, (std::set<std::string>{"RowingClub.html", "RowingClub-mail.php", "boat.bmp",
                                              "oar.png", "waves.jpg"}));

    // The page is the server copy the command line makes of the saved document, which
    // names its pictures alone; the local copy beside the document is its mode-1 output.
    const std::string page = ReadFile((server / "www" / "RowingClub.html").string());
    EXPECT_EQ(page, CliHtml(path, "2"));
    EXPECT_EQ(page, ReadFile(home + kUploadFolder + "RowingClub.html"));
    EXPECT_EQ(ReadFile(home + kDocumentsFolder + "Rowing Club.html"), CliHtml(path, "1"));
    for (const char* piece :
         {"BACKGROUND=\"waves.jpg\"", "SRC=\"boat.bmp\"", "SRC=\"oar.png\"",
          "<FORM ACTION=\"RowingClub-mail.php\"", "<SELECT NAME=\"day\" ID=\"field",
          "<TITLE>Riverside Rowing Club</TITLE>"}) {
        EXPECT_NE(page.find(piece), std::string::npos) << piece;
    }

    EXPECT_EQ(ReadFile((server / "www" / "RowingClub-mail.php").string()),
              ReadFile(home + kUploadFolder + "RowingClub-mail.php"));
    EXPECT_NE(ReadFile(home + kUploadFolder + "RowingClub-mail.php")
                  .find("const FORM_RECIPIENTS = 'captain@rowing.example';"),
              std::string::npos);

    // The pictures are those of the program folder, which are the user's own.
    const std::pair<const char*, std::string> pictures[] = {
        {"boat.bmp", home + kImagesFolder + "boat.bmp"},
        {"oar.png", home + kImagesFolder + "oar.png"},
        {"waves.jpg", home + kBackgroundsFolder + "waves.jpg"}};
    for (const auto& [name, local] : pictures) {
        const std::string bytes = ReadFile((server / "www" / name).string());
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, ReadFile(local)) << name;
    }
    EXPECT_EQ(ReadFile(home + kImagesFolder + "boat.bmp"), ReadFile(boat));
    EXPECT_EQ(ReadFile(home + kImagesFolder + "oar.png"), ReadFile(oar));
}

}  // namespace
}  // namespace tessel

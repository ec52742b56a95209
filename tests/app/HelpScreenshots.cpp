// Writes the screenshots of the help pages and the README from the real windows, headless, on a
// copy of the delivered data. Disabled: tools/make-screenshots.sh runs it, so the pictures are
// made again whenever the windows change.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include "app/Main.h"
#include "pagerules/ProgramPaths.h"
#include "platform/RegistryStore.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/core/Profiles.h"
#include "publish/gui/Upload.h"
#include "ui_Main.h"
#include "ui_Upload.h"

namespace tessel {
namespace {

// Folders to write into: the help's pictures and the README's screenshots.
QString OutputFolder(const char* variable, const char* fallback) {
    const QString folder = qEnvironmentVariableIsSet(variable) ? qEnvironmentVariable(variable)
                                                               : QString::fromUtf8(fallback);
    QDir().mkpath(folder);
    return folder + QLatin1Char('/');
}

class HelpScreenshots : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        home = home_.path().toStdString() + "/";
        std::filesystem::copy(TESSEL_SOURCE_DATA, home, std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(home + "TesselFiles");
        settings.WriteString(kSettingsKey, "TipDay", "0");
        // A window of a size that shows every panel whole, not maximised to the screen.
        const std::string position = std::string(kSettingsKey) + "\\Position";
        for (const auto& [name, value] : {std::pair{"WindowState", "Normal"},
                                          {"Left", "0"},
                                          {"Top", "0"},
                                          {"Width", "940"},
                                          {"Height", "660"}}) {
            settings.WriteString(position, name, value);
        }
        helpPictures = OutputFolder("TESSEL_HELP_PICTURES", TESSEL_SOURCE_DATA "/help/pictures");
        readmePictures =
            OutputFolder("TESSEL_README_SCREENSHOTS", TESSEL_SOURCE_DATA "/../docs/screenshots");
    }

    // The main window with a delivered template open.
    Ui::TfrmMain& Open(const char* templateName) {
        TMainEnvironment environment;
        environment.programFolder = home;
        environment.arguments = {QString::fromStdString(home + "Templates/" + templateName)};
        environment.settings = &settings;
        environment.registerFileTypes = [] {};
        environment.randomBelow = [](int) { return 0; };
        window = std::make_unique<TfrmMain>(ui, std::move(environment));
        window->show();
        Settle();
        for (const auto& message : ui.Messages()) ADD_FAILURE() << message.text.toStdString();
        return window->Form();
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QTest::qWait(20);
        }
    }

    // The help window is narrower than the main window: its pictures are scaled down smoothly
    // here, because the help viewer would scale them without smoothing.
    static constexpr int kHelpPictureWidth = 600;

    void Save(QWidget& widget, const QString& path) const {
        Settle();
        QImage picture = widget.grab().toImage();
        if (path.startsWith(helpPictures) && picture.width() > kHelpPictureWidth) {
            picture = picture.scaledToWidth(kHelpPictureWidth, Qt::SmoothTransformation);
        }
        EXPECT_TRUE(picture.save(path, "PNG", 0)) << path.toStdString();
    }

    void SelectBlock(int row) {
        QListWidget* blocks = window->Form().lstBlocks;
        QTest::mouseClick(blocks->viewport(), Qt::LeftButton, {},
                          blocks->visualItemRect(blocks->item(row)).center());
        Settle();
    }
    int BlockOfKind(TBlockType kind) {
        const TPageCollection& page = window->Document().Page();
        for (int i = 0; i < page.Count(); ++i) {
            if (page.Items(i).BlockType == kind)
                return i;
        }
        ADD_FAILURE() << "no block of kind " << kind;
        return 0;
    }

    // Shows the next dialog the window runs, saves its picture and cancels it.
    void SaveNextDialog(const QStringList& paths, std::function<void(QDialog&)> prepare = {}) {
        ui.AnswerExec([this, paths, prepare](QDialog& dialog) {
            dialog.show();
            if (prepare)
                prepare(dialog);
            for (const QString& path : paths) Save(dialog, path);
            dialog.reject();
        });
    }

    QTemporaryDir home_;
    std::string home;
    TRegistryStore settings{home_.path().toStdString() + "/registry"};
    TScriptedUiServices ui;
    std::unique_ptr<TfrmMain> window;
    QString helpPictures;
    QString readmePictures;
};

TEST_F(HelpScreenshots, DISABLED_Write) {
    Ui::TfrmMain& f = Open("Photo Page.pgt");

    SelectBlock(BlockOfKind(btImage));
    Save(*window, helpPictures + "main-window.png");
    Save(*window, readmePictures + "main-window.png");
    Save(*f.pnlEditor, helpPictures + "image-panel.png");

    window.reset();
    Ui::TfrmMain& preview = Open("Small Business.pgt");
    QTest::mouseClick(preview.btnPreview, Qt::LeftButton);
    QListWidget* themes = preview.lstThemes;
    const QList<QListWidgetItem*> sunset =
        themes->findItems(QStringLiteral("Ocean"), Qt::MatchExactly);
    ASSERT_EQ(sunset.size(), 1);
    QTest::mouseClick(themes->viewport(), Qt::LeftButton, {},
                      themes->visualItemRect(sunset[0]).center());
    Save(*window, helpPictures + "preview-theme.png");
    Save(*window, readmePictures + "preview-theme.png");
    SaveNextDialog({helpPictures + "theme-editor.png"});
    QTest::mouseClick(preview.btnThemeEdit, Qt::LeftButton);

    window.reset();
    Ui::TfrmMain& links = Open("Club or Event.pgt");
    int dropBox = 0;
    TPageCollection& page = window->Document().Page();
    for (int i = 0; i < page.Count(); ++i) {
        if (page.Items(i).BlockType == btLink && page.Items(i).LinkBlock().UseDropBox)
            dropBox = i;
    }
    ASSERT_GT(dropBox, 0);
    SelectBlock(dropBox);
    Save(*links.pnlEditor, helpPictures + "link-panel.png");

    window.reset();
    Ui::TfrmMain& forms = Open("Contact Page.pgt");
    SelectBlock(BlockOfKind(btForms));
    Save(*forms.pnlEditor, helpPictures + "forms-panel.png");
    Save(*window, readmePictures + "form-editor.png");
    QTreeWidget* fields = forms.lvForms;
    QTreeWidgetItem* topic = fields->topLevelItem(2);
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, {},
                      fields->visualItemRect(topic).center());
    SaveNextDialog({helpPictures + "field-editor.png", readmePictures + "field-editor.png"});
    QTest::mouseClick(forms.btnFormEdit, Qt::LeftButton);
    SaveNextDialog({helpPictures + "field-bank.png"});
    QTest::mouseClick(forms.btnFormBasic, Qt::LeftButton);

    // Open starts with New, which replaces the page: this comes last.
    SaveNextDialog({helpPictures + "template-browser.png"}, [](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lvTemplates"));
        ASSERT_NE(list, nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
    });
    ui.AnswerMessage(mbNo);
    QTest::mouseClick(forms.btnChooseTemplate, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs().size(), 4);
}

// The upload wizard: its server page with a profile, the profile editor and the upload page.
TEST_F(HelpScreenshots, DISABLED_WriteUploadWizard) {
    TServerProfile site;
    site.name = "My web space";
    site.user = "smithbakery";
    site.password = "not-the-real-one";
    site.host = "ftp.example.com";
    site.initialDir = "public_html";
    site.webAddress = "https://www.example.com/~smithbakery/";
    site.passive = true;  // as a new profile has them
    site.tls = true;
    TServerProfiles(settings).WriteProfile(site, "");
    TfrmUpload wizard(ui, settings);
    // A user's folder rather than the test's temporary one; nothing is sent.
    const std::string folder = "/home/ann/Tessel/Upload/";
    wizard.SetUploadFiles({folder + "backgrounds/linen.jpg", folder + "images/sample-evening.jpg",
                           folder + "images/sample-morning.jpg", folder + "PhotoPage.html"});
    wizard.show();
    Ui::TfrmUpload& f = wizard.Form();
    QListWidget* profiles = f.lvProfiles;
    QTest::mouseClick(profiles->viewport(), Qt::LeftButton, {},
                      profiles->visualItemRect(profiles->item(0)).center());
    Save(wizard, helpPictures + "upload-servers.png");

    QTest::mouseClick(f.btnEdit, Qt::LeftButton);
    Save(wizard, helpPictures + "upload-profile.png");
    QTest::mouseClick(f.btnCancel, Qt::LeftButton);

    QTest::mouseClick(f.btnUpload, Qt::LeftButton);
    f.lstUpload->setCurrentRow(3);
    Save(wizard, helpPictures + "upload-files.png");
    Save(wizard, readmePictures + "upload-wizard.png");
    wizard.hide();
}

}  // namespace
}  // namespace tessel

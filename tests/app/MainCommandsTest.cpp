#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include "app/MainFixture.h"
#include "document/Stream.h"

namespace tessel {
namespace {

using DocumentCommandsTest = MainWindowTest;

TEST_F(DocumentCommandsTest, SaveWritesTheDocumentAndBothHtmlCopies) {
    Open();
    F().txtPageTitle->setText("Our Club");
    Page().Items(0).PagePropertiesBlock().ThemeName = "Ocean";
    const std::string path = home + "TesselFiles/My Page.pgx";
    ui.AnswerFileDialog(QString::fromStdString(path));
    ui.AnswerMessage(mbOK);
    window->mnuSaveClick();

    const TShownFileDialog& dialog = ui.FileDialogs().at(0);
    EXPECT_EQ(dialog.kind, TFileDialogKind::Save);
    EXPECT_EQ(dialog.request.defaultSuffix, "pgx");
    EXPECT_EQ(dialog.request.folder.toStdString(), home + "TesselFiles/");
    EXPECT_EQ(dialog.request.fileName, "");

    ASSERT_TRUE(Exists(path));
    EXPECT_EQ(ReadDocumentFile(path)->Page().Items(0).PagePropertiesBlock().PageTitle, "Our Club");
    const std::string local = ReadFile(home + "TesselFiles/My Page.html");
    const std::string server = ReadFile(home + "Upload/MyPage.html");
    EXPECT_NE(local.find("Our Club"), std::string::npos);
    EXPECT_NE(server.find("Our Club"), std::string::npos);
    EXPECT_NE(local.find("\r\n"), std::string::npos);

    const TShownMessage& saved = ui.Messages().back();
    EXPECT_EQ(saved.text,
              "\"MyPage.html\" page has been automatically saved in your Uploads folder.");
    EXPECT_EQ(saved.buttons, mbOK | mbHelp);
    EXPECT_EQ(saved.helpContext, 171);
    EXPECT_EQ(window->CurrentName(), path);
    EXPECT_EQ(window->windowTitle(), "My Page.pgx - Brindle HTML Tessel 4.0");
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(F().lstThemes->currentRow(), 1);  // the generator follows the page's theme
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(DocumentCommandsTest, CancellingTheSaveDialogChangesNothing) {
    Open();
    window->StoreBlock();
    ui.AnswerFileDialog(std::nullopt);
    window->mnuSaveClick();
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_FALSE(Exists(home + "Upload/.html"));
}

TEST_F(DocumentCommandsTest, AFileThatCannotBeCreatedStopsTheSave) {
    Open();
    window->StoreBlock();
    ui.AnswerFileDialog(QString::fromStdString(home + "no such folder/Page.pgx"));
    ui.AnswerMessage(mbOK);
    window->mnuSaveClick();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Unable to create file.");
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Error);
    EXPECT_FALSE(Exists(home + "TesselFiles/Page.html"));
    EXPECT_FALSE(Exists(home + "Upload/Page.html"));
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_EQ(window->windowTitle(), "Brindle HTML Tessel 4.0 - Untitled");
    EXPECT_TRUE(window->Modified());
}

TEST_F(DocumentCommandsTest, SaveAsTemplateKeepsTheNameAndTheFlag) {
    Open();
    const std::string path = home + "Templates/Shop front.pgt";
    ui.AnswerFileDialog(QString::fromStdString(path));
    window->mnuCreateTemplateClick();
    EXPECT_EQ(ui.FileDialogs().at(0).request.defaultSuffix, "pgt");
    EXPECT_EQ(ui.FileDialogs().at(0).request.folder.toStdString(), home + "Templates/");
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(Exists(home + "Templates/Shop front.html"));
    EXPECT_FALSE(Exists(home + "Upload/Shopfront.html"));
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_TRUE(window->Modified());
}

TEST_F(DocumentCommandsTest, HtmlThatCannotBeWrittenIsReportedAndTheDocumentStaysSaved) {
    Open();
    window->StoreBlock();
    std::filesystem::create_directories(home + "Upload/Club.html");  // in the way of the file
    ui.AnswerFileDialog(QString::fromStdString(home + "TesselFiles/Club.pgx"));
    ui.AnswerMessage(mbOK);
    QTest::mouseClick(F().btnSave, Qt::LeftButton);
    ASSERT_EQ(ui.Messages().size(), 1u);  // the error instead of the saved message
    const TShownMessage& failed = ui.Messages()[0];
    EXPECT_EQ(failed.kind, TMsgKind::Error);
    EXPECT_NE(failed.text.indexOf("Club.pgx"), -1);
    EXPECT_NE(failed.text.indexOf(QString::fromStdString(home + "Upload/Club.html")), -1);
    EXPECT_NE(failed.text.indexOf("Is a directory"), -1);
    EXPECT_EQ(failed.text.indexOf("TesselFiles/Club.html"), -1) << "that copy was written";
    EXPECT_TRUE(Exists(home + "TesselFiles/Club.pgx"));
    EXPECT_TRUE(Exists(home + "TesselFiles/Club.html"));
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(window->CurrentName(), home + "TesselFiles/Club.pgx");

    // Both copies failing name both files in one box.
    std::filesystem::create_directories(home + "TesselFiles/Two.html");
    std::filesystem::create_directories(home + "Upload/Two.html");
    ui.AnswerFileDialog(QString::fromStdString(home + "TesselFiles/Two.pgx"));
    ui.AnswerMessage(mbOK);
    QTest::mouseClick(F().btnSave, Qt::LeftButton);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_NE(ui.Messages()[1].text.indexOf("TesselFiles/Two.html"), -1);
    EXPECT_NE(ui.Messages()[1].text.indexOf("Upload/Two.html"), -1);
    EXPECT_TRUE(Exists(home + "TesselFiles/Two.pgx"));

    std::filesystem::create_directories(home + "Templates/Club.html");
    ui.AnswerFileDialog(QString::fromStdString(home + "Templates/Club.pgt"));
    ui.AnswerMessage(mbOK);
    window->mnuCreateTemplateClick();
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[2].kind, TMsgKind::Error);
    EXPECT_NE(ui.Messages()[2].text.indexOf("Templates/Club.html"), -1);
    EXPECT_TRUE(Exists(home + "Templates/Club.pgt"));
}

TEST_F(DocumentCommandsTest, NewAsksFirstAndACancelledSaveKeepsThePage) {
    Open();
    DropFromPalette(btHeading, 1);
    ui.AnswerMessage(mbYes);
    ui.AnswerFileDialog(std::nullopt);
    window->mnuNewClick();
    EXPECT_EQ(ui.Messages().at(0).text, "Would you like to save changes to Untitled?");
    EXPECT_EQ(ui.Messages().at(0).buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(Page().Count(), 5);

    ui.AnswerMessage(mbCancel);
    window->mnuNewClick();
    EXPECT_EQ(Page().Count(), 5);

    ui.AnswerMessage(mbNo);
    window->mnuNewClick();
    EXPECT_EQ(Page().Count(), 4);
    EXPECT_EQ(F().lstBlocks->count(), 4);
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(window->windowTitle(), "Untitled - Brindle HTML Tessel 4.0");
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlPageProp);
}

class CommandLineTest : public MainWindowTest {
  protected:
    std::string WritePage(const std::string& name) {
        TPagelette document;
        SetDefaultBlocks(document);
        document.Page().Items(0).PagePropertiesBlock().PageTitle = "From disk";
        InitNewBlock(document, 4, btBullet).BulletBlock().Bullets = "one\r\ntwo\r\n";
        const std::string path = home + "TesselFiles/" + name;
        WriteDocumentFile(path, document);
        return path;
    }
};

TEST_F(CommandLineTest, APageDocumentOpensUnderItsName) {
    const std::string path = WritePage("club.pgx");
    Open({QString::fromStdString(path)});
    EXPECT_EQ(F().lstBlocks->count(), 5);
    EXPECT_EQ(F().lstBlocks->item(4)->text(), "Bullet List");
    EXPECT_EQ(F().txtPageTitle->text(), "From disk");
    EXPECT_EQ(window->CurrentName(), path);
    EXPECT_EQ(window->windowTitle(), "club.pgx - Brindle HTML Tessel 4.0");
    EXPECT_TRUE(F().btnCreate->isChecked());
}

TEST_F(CommandLineTest, ATemplateOpensUntitledButOnlyWithTheLowerCaseExtension) {
    Open({QString::fromStdString(WritePage("x.pgt"))});
    EXPECT_EQ(F().lstBlocks->count(), 5);
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_EQ(window->windowTitle(), "Untitled - Brindle HTML Tessel 4.0");

    const std::string upper = WritePage("y.PGT");
    window.reset();
    Open({QString::fromStdString(upper)});
    EXPECT_EQ(window->CurrentName(), upper);
}

TEST_F(CommandLineTest, AForeignFileGivesTheDefaultPage) {
    const std::string path = home + "TesselFiles/notes.pgx";
    WriteFile(path, "just some text");
    ui.AnswerMessage(mbOK);
    Open({QString::fromStdString(path)});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "The selected file is not a valid .PGX or .PGT document.");
    EXPECT_EQ(Page().Count(), 4);
    EXPECT_EQ(F().lstBlocks->count(), 4);
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_FALSE(window->Modified());
}

}  // namespace
}  // namespace tessel

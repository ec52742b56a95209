#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QToolButton>

#include "app/MainFixture.h"
#include "platform/gui/HtmlView.h"

namespace tessel {
namespace {

class PreviewTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The themes as the theme editor writes them: every one has its margin.
        TWebTheme themes;
        TThemeItem& plain = themes.Items().Add();
        plain.ThemeName = "Default";
        plain.LeftMargin = "0";
        TThemeItem& ocean = themes.Items().Add();
        ocean.ThemeName = "Ocean";
        ocean.LeftMargin = "0";
        ocean.BGColor = RGB(0, 0, 128);
        SaveThemes(home, themes);
    }
    void OpenShown() {
        Open();
        window->resize(900, 600);
        window->show();
    }
    void ClickThemeRow(int row) {
        QListWidget* list = F().lstThemes;
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    TPagePropertiesBlock& Settings() { return Page().Items(0).PagePropertiesBlock(); }
};

TEST_F(PreviewTest, ViewPageShowsTheGeneratedPageAndCreatePageGoesBack) {
    OpenShown();
    EXPECT_TRUE(F().btnPreview->isEnabled());
    EXPECT_TRUE(F().pnlCreate->isVisible());
    EXPECT_FALSE(F().pnlPreview->isVisible());
    F().txtPageTitle->setText("Club news");
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    EXPECT_TRUE(F().pnlPreview->isVisible());
    EXPECT_FALSE(F().pnlCreate->isVisible());
    EXPECT_TRUE(F().btnPreview->isChecked());
    EXPECT_FALSE(F().btnCreate->isChecked());
    // The open panel was stored first, which marks the page changed.
    EXPECT_EQ(Settings().PageTitle, "Club news");
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(F().browser->documentTitle(), "Club news");
    EXPECT_EQ(F().browser->ServerRoot().toStdString(), home + "Upload");
    EXPECT_EQ(ui.BusyDepth(), 0);

    QTest::mouseClick(F().btnCreate, Qt::LeftButton);
    EXPECT_TRUE(F().pnlCreate->isVisible());
    EXPECT_FALSE(F().pnlPreview->isVisible());
    EXPECT_TRUE(F().btnCreate->isChecked());
}

TEST_F(PreviewTest, EverySwitchToThePreviewRegeneratesThePage) {
    OpenShown();
    F().lstBlocks->setCurrentRow(1);  // the new page's image block
    F().txtImageAlt->setText("First words");
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    EXPECT_EQ(F().browser->Mapped().pictures.at(0).alt, "First words");
    // The image's address is the picture folder under the program folder.
    EXPECT_EQ(F().browser->Mapped().pictures.at(0).source, home + "Upload/images/");

    QTest::mouseClick(F().btnCreate, Qt::LeftButton);
    F().txtImageAlt->setText("Second words");
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    EXPECT_EQ(F().browser->Mapped().pictures.at(0).alt, "Second words");
}

TEST_F(PreviewTest, ClickingAThemeAppliesItReloadsThePreviewAndMarksThePageChanged) {
    OpenShown();
    F().txtPageTitle->setText("Kept title");
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    EXPECT_EQ(F().lstThemes->currentRow(), 0);  // the new page's theme is "Default"

    ClickThemeRow(1);
    EXPECT_EQ(Settings().ThemeName, "Ocean");
    EXPECT_EQ(Settings().BGColor, RGB(0, 0, 128));
    EXPECT_EQ(Settings().PageTitle, "Kept title");
    EXPECT_EQ(F().lstThemes->currentRow(), 1);
    EXPECT_TRUE(F().pnlPreview->isVisible());
    EXPECT_EQ(F().browser->document()->rootFrame()->frameFormat().background().color(),
              QColor(0, 0, 128));
    EXPECT_TRUE(window->Modified());

    // A click on the theme already selected applies it again.
    Settings().BGColor = RGB(1, 2, 3);
    ClickThemeRow(1);
    EXPECT_EQ(Settings().BGColor, RGB(0, 0, 128));

    // The keyboard picks a theme as the mouse does.
    F().lstThemes->setFocus();
    QTest::keyClick(F().lstThemes, Qt::Key_Up);
    EXPECT_EQ(Settings().ThemeName, "Default");
    EXPECT_EQ(F().browser->document()->rootFrame()->frameFormat().background().color(),
              QColor(0, 0, 0));
}

TEST_F(PreviewTest, WithNoThemeSelectedAClickAppliesNothing) {
    OpenShown();
    Settings().ThemeName = "No such theme";
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    EXPECT_EQ(F().lstThemes->currentRow(), -1);
    const TColor before = Settings().BGColor;
    window->lstThemesClick();
    EXPECT_EQ(Settings().ThemeName, "No such theme");
    EXPECT_EQ(Settings().BGColor, before);
}

TEST_F(PreviewTest, TabbingIntoTheThemeListAppliesNothingUntilARowIsSelected) {
    OpenShown();
    Settings().ThemeName = "No such theme";
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    ui.AnswerFileDialog(QString::fromStdString(home + "TesselFiles/p.pgx"));
    ui.AnswerMessage(mbOK);
    window->mnuSaveClick();
    ASSERT_FALSE(window->Modified());
    const TColor before = Settings().BGColor;
    Activate();

    // Focus makes a row current without selecting it: that is nobody's choice.
    QWidget* previous = F().lstThemes->previousInFocusChain();
    while (!(previous->focusPolicy() & Qt::TabFocus) || !previous->isVisible() ||
           !previous->isEnabled()) {
        previous = previous->previousInFocusChain();
    }
    previous->setFocus();
    QTest::keyClick(previous, Qt::Key_Tab);
    ASSERT_TRUE(F().lstThemes->hasFocus());
    EXPECT_EQ(Settings().ThemeName, "No such theme");
    EXPECT_EQ(Settings().BGColor, before);
    EXPECT_FALSE(window->Modified());

    // Space selects that row, which is a choice.
    QTest::keyClick(F().lstThemes, Qt::Key_Space);
    EXPECT_EQ(Settings().ThemeName, "Default");
    EXPECT_TRUE(window->Modified());

    // A Ctrl+click that takes the selection away leaves no choice to apply.
    Settings().BGColor = RGB(1, 2, 3);
    QTest::mouseClick(F().lstThemes->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      F().lstThemes->visualItemRect(F().lstThemes->item(0)).center());
    ASSERT_TRUE(F().lstThemes->selectedItems().isEmpty());
    EXPECT_EQ(Settings().BGColor, RGB(1, 2, 3));
}

TEST_F(PreviewTest, SavingDoesNotApplyTheThemeTheListFollows) {
    OpenShown();
    // The page keeps its own copy of a theme's colours; selecting its entry is no click.
    Settings().ThemeName = "Ocean";
    Settings().BGColor = RGB(10, 20, 30);
    ui.AnswerFileDialog(QString::fromStdString(home + "TesselFiles/p.pgx"));
    ui.AnswerMessage(mbOK);
    window->mnuSaveClick();
    EXPECT_EQ(F().lstThemes->currentRow(), 1);
    EXPECT_EQ(Settings().BGColor, RGB(10, 20, 30));
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    EXPECT_EQ(Settings().BGColor, RGB(10, 20, 30));
}

TEST_F(PreviewTest, PageThemesHidesTheListWidensTheViewerAndKeepsTheSelection) {
    OpenShown();
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(F().btnToggle->isChecked());
    EXPECT_EQ(F().lstThemes->width(), 125);
    EXPECT_EQ(F().bevSpacer->width(), 6);
    const int narrow = F().browser->width();
    ClickThemeRow(1);

    QTest::mouseClick(F().btnToggle, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(F().btnToggle->isChecked());
    EXPECT_FALSE(F().lstThemes->isVisible());
    EXPECT_FALSE(F().bevSpacer->isVisible());
    EXPECT_EQ(F().browser->width(), narrow + 125 + 6);
    EXPECT_EQ(F().lstThemes->currentRow(), 1);

    QTest::mouseClick(F().btnToggle, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(F().lstThemes->isVisible());
    EXPECT_TRUE(F().bevSpacer->isVisible());
    EXPECT_EQ(F().browser->width(), narrow);
}

TEST_F(PreviewTest, PreviewPageWritesTheLocalCopyAndOpensItInTheBrowser) {
    OpenShown();
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    QTest::mouseClick(F().btnExternalView, Qt::LeftButton);
    const std::string path = home + "TesselFiles/~tmp.html";
    ASSERT_EQ(ui.OpenedWithDefaultProgram(), QStringList{QString::fromStdString(path)});
    const std::string page = ReadFile(path);
    EXPECT_NE(page.find("<IMG SRC=\"../Upload/images/\""), std::string::npos);
    EXPECT_NE(page.find("</BODY></HTML>\r\n"), std::string::npos);
    EXPECT_TRUE(ui.Messages().empty());

    // Closing the program takes the file away.
    ui.AnswerMessage(mbNo);
    ASSERT_TRUE(window->FormCloseQuery());
    EXPECT_FALSE(Exists(path));
}

TEST_F(PreviewTest, APreviewFileThatCannotBeWrittenStillOpensAndAShellFailureIsSaid) {
    OpenShown();
    // A folder where the file should be: no page can be written there.
    const std::string path = home + "TesselFiles/~tmp.html";
    std::filesystem::create_directories(path + "/inside");
    ui.SetOpenWithDefaultProgramResult(false);
    ui.AnswerMessage(mbOK);
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    QTest::mouseClick(F().btnExternalView, Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(ui.OpenedWithDefaultProgram(), QStringList{QString::fromStdString(path)});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Information);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith("Could not load the default client."));
}

TEST_F(PreviewTest, ALinkClickInThePreviewDoesNothing) {
    OpenShown();
    F().lstBlocks->setCurrentRow(2);  // the new page's link block
    F().txtLinkText->setText("Elsewhere");
    F().txtLinkAddress->setText("http://127.0.0.2/elsewhere.html");
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    THtmlView* browser = F().browser;
    const QString before = browser->toHtml();
    const int at = browser->toPlainText().indexOf("Elsewhere");
    ASSERT_GE(at, 0);
    QTextCursor cursor(browser->document());
    cursor.setPosition(at + 2);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      browser->cursorRect(cursor).center());
    EXPECT_EQ(browser->toHtml(), before);
    EXPECT_TRUE(browser->source().isEmpty());
    EXPECT_TRUE(ui.OpenedWithDefaultProgram().isEmpty());
    EXPECT_TRUE(F().pnlPreview->isVisible());
}

TEST_F(PreviewTest, ThePaneHasItsControlsAndNote) {
    Open();
    EXPECT_EQ(F().btnToggle->text(), "Page Themes");
    EXPECT_EQ(F().btnToggle->toolTip(), "Toggle Page Themes");
    EXPECT_TRUE(F().btnToggle->isCheckable());
    EXPECT_EQ(F().btnThemeEdit->text(), "Edit Themes");
    EXPECT_EQ(F().btnThemeEdit->toolTip(), "Edit Page Themes");
    EXPECT_EQ(F().btnExternalView->text(), "Preview Page");
    EXPECT_EQ(F().btnExternalView->toolTip(), "View with default web browser");
    EXPECT_EQ(F().lstThemes->toolTip(), "Page Themes");
    EXPECT_EQ(F().Label1->text(),
              "Note: To see Drop Box and No Underline Links options select the Preview Page "
              "Button above.");
    EXPECT_EQ(HelpContextOf(F().browser), 76);
    EXPECT_EQ(HelpContextOf(F().lstThemes), 66);
    EXPECT_EQ(F().browser->DefaultFont(), "Times New Roman");
    EXPECT_EQ(F().browser->DefaultFixedFont(), "Courier New");
}

}  // namespace
}  // namespace tessel

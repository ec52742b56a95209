#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>

#include "app/MainFixture.h"
#include "platform/gui/ChildControl.h"

namespace tessel {
namespace {

using testing::Child;

class MainThemesTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Margins as the theme editor writes them, so that the preview can show the page.
        std::unique_ptr<TWebTheme> themes = LoadThemes(home);
        for (int i = 0; i < themes->Items().Count(); ++i) themes->Items().Items(i).LeftMargin = "0";
        SaveThemes(home, *themes);
    }
    TPagePropertiesBlock& PageSettings() { return Page().Items(0).PagePropertiesBlock(); }
    void ClickThemeButton() { QTest::mouseClick(F().btnTheme, Qt::LeftButton); }
};

TEST_F(MainThemesTest, OkAppliesTheThemeSelectedInTheEditor) {
    Open();
    PageSettings().PageTitle = "My page";
    ui.AnswerExec([](QDialog& editor) {
        auto& list = Child<QListWidget>(editor, "lstEditThemes");
        EXPECT_EQ(list.currentRow(), 0);  // the page's theme, "Default"
        list.setCurrentRow(1);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnOK"), Qt::LeftButton);
    });
    ClickThemeButton();
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList{"TfrmTheme"});
    EXPECT_EQ(PageSettings().ThemeName, "Ocean");
    EXPECT_EQ(PageSettings().BGColor, RGB(0, 0, 128));
    EXPECT_EQ(PageSettings().PageTitle, "My page");
    EXPECT_EQ(F().lstThemes->currentRow(), 1);
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(ui.BusyDepthAtLastModal(), 1);
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(MainThemesTest, EditThemesInThePreviewAppliesAndShowsTheTheme) {
    Open();
    window->resize(800, 600);
    window->show();
    QTest::mouseClick(F().btnPreview, Qt::LeftButton);
    ASSERT_TRUE(F().pnlPreview->isVisible());
    ui.AnswerExec([](QDialog& editor) {
        Child<QListWidget>(editor, "lstEditThemes").setCurrentRow(1);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnOK"), Qt::LeftButton);
    });
    QTest::mouseClick(F().btnThemeEdit, Qt::LeftButton);
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList{"TfrmTheme"});
    EXPECT_EQ(PageSettings().ThemeName, "Ocean");
    EXPECT_EQ(F().lstThemes->currentRow(), 1);
    EXPECT_EQ(F().browser->document()->rootFrame()->frameFormat().background().color(),
              QColor(0, 0, 128));

    // Cancel leaves page and preview alone.
    ui.AnswerExec([](QDialog& editor) {
        Child<QListWidget>(editor, "lstEditThemes").setCurrentRow(0);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnCancel"), Qt::LeftButton);
    });
    QTest::mouseClick(F().btnThemeEdit, Qt::LeftButton);
    EXPECT_EQ(PageSettings().ThemeName, "Ocean");
    EXPECT_EQ(F().browser->document()->rootFrame()->frameFormat().background().color(),
              QColor(0, 0, 128));
    window->hide();
}

TEST_F(MainThemesTest, CancelOrNoSelectionLeavesThePageAlone) {
    Open();
    const TColor before = PageSettings().BGColor;
    ui.AnswerExec([](QDialog& editor) {
        Child<QListWidget>(editor, "lstEditThemes").setCurrentRow(1);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnCancel"), Qt::LeftButton);
    });
    ClickThemeButton();
    ui.AnswerExec([](QDialog& editor) {
        Child<QListWidget>(editor, "lstEditThemes").setCurrentRow(-1);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnOK"), Qt::LeftButton);
    });
    ClickThemeButton();
    EXPECT_EQ(PageSettings().ThemeName, "Default");
    EXPECT_EQ(PageSettings().BGColor, before);
    EXPECT_FALSE(window->Modified());
}

TEST_F(MainThemesTest, ChangesInTheEditorReachTheThemeListAndTheFile) {
    Open();
    ui.AnswerExec([](QDialog& editor) {
        QTest::mouseClick(&Child<QPushButton>(editor, "btnAdd"), Qt::LeftButton);
        QTest::keyClicks(&Child<QLineEdit>(editor, "txtDescription"), "Sand");
        QTest::mouseClick(&Child<QPushButton>(editor, "btnApply"), Qt::LeftButton);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnCancel"), Qt::LeftButton);
    });
    ClickThemeButton();
    EXPECT_EQ(F().lstThemes->count(), 3);
    EXPECT_EQ(F().lstThemes->item(2)->text(), "Sand");
    EXPECT_EQ(F().lstThemes->currentRow(), 2);
    EXPECT_EQ(PageSettings().ThemeName, "Default");  // Cancel
    EXPECT_EQ(LoadThemes(home)->Items().Count(), 3);
}

TEST_F(MainThemesTest, AFailedThemeSaveIsWrittenByTheNextEditor) {
    Open();
    std::filesystem::remove(home + "Themes.dat");
    std::filesystem::create_directories(home + "Themes.dat/x");
    ui.AnswerExec([this](QDialog& editor) {
        ui.AnswerMessage(mbYes);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnRemove"), Qt::LeftButton);
        ui.AnswerMessage(mbOK);
        QTest::mouseClick(&Child<QPushButton>(editor, "btnCancel"), Qt::LeftButton);
    });
    ClickThemeButton();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_TRUE(ui.Messages()[1].text.startsWith("Unable to save the page themes:"));
    EXPECT_EQ(F().lstThemes->count(), 1);  // the list follows the store

    std::filesystem::remove_all(home + "Themes.dat");
    ui.AnswerExec([](QDialog& editor) {
        QTest::mouseClick(&Child<QPushButton>(editor, "btnCancel"), Qt::LeftButton);
    });
    ClickThemeButton();
    EXPECT_EQ(LoadThemes(home)->Items().Count(), 1);
}

}  // namespace
}  // namespace tessel

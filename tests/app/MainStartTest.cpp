#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTest>
#include <set>

#include "app/MainFixture.h"
#include "dialogs/core/Tips.h"
#include "html/MakerAddresses.h"

namespace tessel {
namespace {

using StartTest = MainWindowTest;

TEST_F(StartTest, FirstStartIsMaximisedAndShowsTheTipAfterTheWindow) {
    settings.store.DeleteValue(TTestSettings::Key(""), "TipDay");
    bool windowVisibleDuringTip = false;
    ui.AnswerExec([&](QDialog& dialog) {
        windowVisibleDuringTip =
            dialog.parentWidget() != nullptr && dialog.parentWidget()->isVisible();
        dialog.reject();
    });
    Open();
    EXPECT_TRUE(windowVisibleDuringTip);
    EXPECT_EQ(ui.ExecutedDialogs(), QStringList{"TfrmTips"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->TipsAtStart(), 1);
    EXPECT_EQ(registrations, 1);
    EXPECT_EQ(window->CurrentName(), "Untitled");
    EXPECT_EQ(window->windowTitle(), "Brindle HTML Tessel 4.0 - Untitled");
    EXPECT_EQ(F().lstThemes->count(), 2);
    EXPECT_EQ(window->FullLineWidth(), 250);
}

TEST_F(StartTest, ANormalWindowTakesItsStoredPlace) {
    settings.Set("Position", "WindowState", "Normal");
    settings.Set("Position", "Top", "20");
    settings.Set("Position", "Left", "30");
    settings.Set("Position", "Height", "500");
    settings.Set("Position", "Width", "x700");
    Open();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->geometry().top(), 20);
    EXPECT_EQ(window->geometry().left(), 30);
    EXPECT_EQ(window->geometry().height(), 500);
    EXPECT_EQ(window->geometry().width(),
              630);  // not a number: the design width, at least the minimum
}

TEST_F(StartTest, AnyOtherStateIsMaximised) {
    settings.Set("Position", "WindowState", "normal");
    settings.Set("Position", "Top", "20");
    Open();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(StartTest, ClosingWritesThePositionByWindowState) {
    settings.Set("Position", "WindowState", "Normal");
    Open();
    window->setGeometry(40, 50, 800, 600);
    ASSERT_TRUE(window->FormCloseQuery());
    EXPECT_EQ(settings.Get("Position", "WindowState"), "Normal");
    EXPECT_EQ(settings.Get("Position", "Top"), "50");
    EXPECT_EQ(settings.Get("Position", "Left"), "40");
    EXPECT_EQ(settings.Get("Position", "Width"), "800");
    EXPECT_NE(settings.Get("Position", "PaneWidth"), "<absent>");

    settings.store.DeleteKey(TTestSettings::Key("Position"));
    window->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(window->FormCloseQuery());
    EXPECT_EQ(settings.Get("Position", "WindowState"), "Maximized");
    EXPECT_EQ(settings.Get("Position", "Top"), "<absent>");

    settings.store.DeleteKey(TTestSettings::Key("Position"));
    window->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(window->FormCloseQuery());
    EXPECT_EQ(settings.Get("Position", "WindowState"), "<absent>");
    EXPECT_NE(settings.Get("Position", "PaneWidth"), "<absent>");
}

TEST_F(StartTest, ClosingWithChangesAsksAndACancelledSaveKeepsTheWindow) {
    Open();
    WriteFile(home + "TesselFiles/~tmp.html", "<HTML>");
    window->StoreBlock();
    ui.AnswerMessage(mbCancel);
    EXPECT_FALSE(window->FormCloseQuery());
    ui.AnswerMessage(mbYes);
    ui.AnswerFileDialog(std::nullopt);
    EXPECT_FALSE(window->FormCloseQuery());
    EXPECT_TRUE(Exists(home + "TesselFiles/~tmp.html"));
    EXPECT_EQ(settings.Get("Position", "PaneWidth"), "<absent>");

    ui.AnswerMessage(mbNo);
    EXPECT_TRUE(window->FormCloseQuery());
    EXPECT_EQ(ui.Messages().back().text, "Would you like to save changes to Untitled?");
    EXPECT_FALSE(Exists(home + "TesselFiles/~tmp.html"));
    EXPECT_NE(settings.Get("Position", "PaneWidth"), "<absent>");
}

TEST_F(StartTest, HelpActionsOpenTheMakersPages) {
    Open();
    window->mnuHelpWebClick();
    window->mnuHelpHostingClick();
    window->btnCustomClick();
    EXPECT_EQ(ui.OpenedWithDefaultProgram(),
              (QStringList{kMakerWebAddress, kMakerHostingAddress, kMakerResellerAddress}));

    ui.SetOpenWithDefaultProgramResult(false);
    ui.AnswerMessage(mbOK);
    window->mnuHelpWebClick();
    EXPECT_TRUE(ui.Messages().back().text.startsWith("Could not load the default client."));

    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    window->mnuHelpAboutClick();
    EXPECT_EQ(ui.ExecutedDialogs().back(), "TSplashScreen");
}

TEST_F(StartTest, TheTipDialogStoresItsChoice) {
    Open();
    bool shownTicked = true;
    ui.AnswerExec([&](QDialog& dialog) {
        auto* show = dialog.findChild<QCheckBox*>("chkShow");
        shownTicked = show->isChecked();
        show->setChecked(true);
        dialog.accept();
    });
    window->mnuTipsClick();
    EXPECT_FALSE(shownTicked);  // TipDay was 0
    EXPECT_EQ(window->TipsAtStart(), 1);
    EXPECT_EQ(settings.Get("", "TipDay"), TipDayText(true));
}

TEST_F(StartTest, EveryWhatsThisContextHasItsControl) {
    Open();
    std::set<int> found;
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        if (const int context = HelpContextOf(control))
            found.insert(context);
    }
    const std::set<int> expected = {10, 11, 12, 13, 14,  15,  16,  17,  18,  19,  20, 21, 22,
                                    23, 24, 26, 27, 28,  29,  31,  33,  34,  35,  48, 49, 50,
                                    51, 55, 66, 76, 103, 104, 105, 190, 200, 202, 203};
    EXPECT_EQ(found, expected);
    EXPECT_EQ(HelpContextOf(F().chkNoShade), 190);
    EXPECT_EQ(HelpContextOf(F().lstLinks), 34);

    window->popWhatsThisPopup(F().lstPalette, QPoint(10, 10));
    EXPECT_EQ(window->WhatsThisContext(), 55);
    window->PopWhatsThis()->hide();
    window->mnuWhatsThisClick();
    EXPECT_EQ(window->WhatsThisContext(), 0);
}

TEST_F(StartTest, F1ShowsTheHelpContentsAndClosingClosesHelp) {
    WriteFile(home + "help/index.html", "<HTML><BODY>Contents</BODY></HTML>");
    THelpViewer viewer(QString::fromStdString(home + "help/"));
    help = &viewer;
    Open();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(F().lstBlocks, Qt::Key_F1);
    EXPECT_TRUE(viewer.isVisible());
    ASSERT_TRUE(window->FormCloseQuery());
    EXPECT_FALSE(viewer.isVisible());
    window.reset();  // before the viewer it points at
}

TEST_F(StartTest, TheButtonStripIsOutlinedRaised) {
    Open();
    window->resize(900, 600);
    window->show();
    const QImage strip = F().pbButtons->grab().toImage();
    const int right = F().pbButtons->rect().right();
    const int top = F().btnCreate->geometry().top();
    const int bottom = F().btnUpload->geometry().bottom();
    const QPalette palette = F().pbButtons->palette();
    EXPECT_EQ(strip.pixelColor(right - 1, (top + bottom) / 2).rgb(),
              palette.color(QPalette::Dark).rgb());
    EXPECT_EQ(strip.pixelColor(right - 5, bottom).rgb(), palette.color(QPalette::Dark).rgb());
    EXPECT_EQ(strip.pixelColor(0, (top + bottom) / 2).rgb(), palette.color(QPalette::Light).rgb());
    EXPECT_EQ(strip.pixelColor(5, top).rgb(), palette.color(QPalette::Light).rgb());
}

TEST_F(StartTest, ShortcutsWorkAnywhereInTheWindow) {
    Open();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    ui.AnswerFileDialog(std::nullopt);
    QTest::keyClick(F().txtPageTitle, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].request.defaultSuffix, "pgx");

    ui.AnswerFileDialog(std::nullopt);
    QTest::keyClick(F().lstBlocks, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(ui.FileDialogs().back().request.defaultSuffix, "pgt");

    // Del deletes a block from the list, but a character in an edit.
    F().lstBlocks->setFocus();
    F().lstBlocks->setCurrentRow(2);
    ui.AnswerMessage(mbNo);
    QTest::keyClick(F().lstBlocks, Qt::Key_Delete);
    EXPECT_EQ(ui.Messages().back().text, "Do you want to delete the selected Pagelette item?");
    const size_t shown = ui.Messages().size();
    F().lstBlocks->setCurrentRow(0);
    F().txtPageTitle->setText("ab");
    F().txtPageTitle->setFocus();
    F().txtPageTitle->setCursorPosition(0);
    QTest::keyClick(F().txtPageTitle, Qt::Key_Delete);
    EXPECT_EQ(F().txtPageTitle->text(), "b");
    EXPECT_EQ(ui.Messages().size(), shown);

    ui.AnswerMessage(mbNo);
    QTest::keyClick(F().txtPageTitle, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ui.Messages().back().text, "Would you like to save changes to Untitled?");
    EXPECT_TRUE(window->findChild<QAction*>("mnuOpen")->isEnabled());
}

}  // namespace
}  // namespace tessel

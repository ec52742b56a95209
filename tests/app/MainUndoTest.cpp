// Undo and redo through the real window: every kind of change taken back and done again with
// the keys gives the document's exact bytes, and the window shows the page of that moment.

#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "FormFieldSteps.h"
#include "MainFixture.h"
#include "document/Stream.h"
#include "formfields/CommonFields.h"
#include "pagerules/BlockKinds.h"
#include "platform/RecoveryCopy.h"
#include "ui_CommonFields.h"

namespace tessel {
namespace {

class UndoTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Themes as the theme editor writes them: with their margins.
        TWebTheme themes;
        TThemeItem& plain = themes.Items().Add();
        plain.ThemeName = "Default";
        plain.LeftMargin = "0";
        TThemeItem& ocean = themes.Items().Add();
        ocean.ThemeName = "Ocean";
        ocean.LeftMargin = "30";
        ocean.BGColor = RGB(0, 0, 128);
        SaveThemes(home, themes);
    }
    std::string Bytes() { return WriteComponent(window->Document()); }
    QAction& Undo() { return *window->findChild<QAction*>(QStringLiteral("actUndo")); }
    QAction& Redo() { return *window->findChild<QAction*>(QStringLiteral("actRedo")); }
    QString UndoText() { return Undo().text(); }
    QString RedoText() { return Redo().text(); }

    // The keys as the user presses them, with the focus where it happens to be.
    void PressUndo() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    }
    void PressRedo(bool withY = false) {
        if (withY) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
        } else {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z,
                            Qt::ControlModifier | Qt::ShiftModifier);
        }
    }

    void AddFromPalette(TBlockType kind) {
        F().lstPalette->setCurrentRow(kind - btHeading);
        F().lstPalette->setFocus();
        QTest::keyClick(F().lstPalette, Qt::Key_Return);
    }
    void SelectBlock(int row) {
        F().lstBlocks->setFocus();
        ClickEntry(F().lstBlocks, row);
    }
    // The block list names the page's blocks, one entry each, in order.
    bool ListShowsPage() {
        if (F().lstBlocks->count() != Page().Count())
            return false;
        for (int i = 0; i < Page().Count(); ++i) {
            if (F().lstBlocks->item(i)->text() != BlockCaption(Page().Items(i).BlockType))
                return false;
        }
        return true;
    }
    // After a change: its step's name, and the bytes it left.
    void Step(const char* name) {
        states.push_back(Bytes());
        names.push_back(QString::fromLatin1(name));
        EXPECT_EQ(UndoText(), QStringLiteral("&Undo %1").arg(name));
    }

    std::vector<std::string> states;
    QStringList names;
};

TEST_F(UndoTest, EveryKindOfChangeGoesBackAndForthByteForByte) {
    WriteFile(home + "Fields.ini", "[Default Fields]\nFIELD0=Phone|0\nFIELD1=Comments|1\n");
    OpenShown();
    EXPECT_FALSE(Undo().isEnabled());
    EXPECT_FALSE(Redo().isEnabled());
    EXPECT_EQ(UndoText(), "&Undo");
    states.push_back(Bytes());

    AddFromPalette(btHeading);  // after the page settings
    Step("Add Block");
    QTest::keyClicks(F().txtHeading, "Club news");
    SelectBlock(3);
    Step("Edit Heading");
    AnswerFont(TFontValue{"Arial", 20, RGB(200, 0, 0), true, false, false});
    SelectBlock(1);
    Click(F().btnHeadingFont);
    Step("Fonts");
    F().lstBlocks->setFocus();
    QTest::keyClick(F().lstBlocks, Qt::Key_Down, Qt::ControlModifier);
    Step("Move Block");
    SelectBlock(0);
    AnswerMeta(TMetaTag{"Keywords", "club, news"});
    Click(F().btnMetaAdd);
    Step("Meta Tags");
    SelectBlock(3);  // the link
    Click(F().chkLink);
    QTest::keyClicks(F().txtLinkAddress, "http://club.example/");
    QTest::keyClicks(F().txtLinkText, "Club");
    Click(F().btnLinkAdd);
    // The typed address and text were a step of their own, before the entry took them.
    names.push_back("Edit Link");
    states.push_back("<not compared>");
    Step("Link List");
    F().lstBlocks->setCurrentRow(Page().Count() - 1);
    AddFromPalette(btForms);
    Step("Add Block");
    test::AddField(ui, *window, fkText, QStringLiteral("Name"));
    Step("Form Fields");
    test::AddField(ui, *window, fkTextArea, QStringLiteral("Note"));
    Step("Form Fields");
    F().lvForms->setCurrentItem(F().lvForms->topLevelItem(1));
    Click(F().btnFormUp);
    Step("Form Fields");
    ui.AnswerExec([](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        QTest::keyClicks(o.txtFormTitle, "Join us");
        QTest::mouseClick(o.btnOK, Qt::LeftButton);
    });
    Click(F().btnFormOptions);
    Step("Form Options");
    ui.AnswerMessage(mbYes);
    Click(F().btnFormClear);
    Step("Clear Form");
    ui.AnswerExec([](QDialog& dialog) { dialog.accept(); });
    Click(F().btnFormBasic);
    Step("Load Basic Fields");
    Click(F().btnPreview);
    ClickEntry(F().lstThemes, 1);
    Step("Apply Theme");
    Click(F().btnCreate);
    SelectBlock(2);
    ui.AnswerMessage(mbYes);
    QTest::keyClick(F().lstBlocks, Qt::Key_Delete);
    Step("Delete Block");
    EXPECT_FALSE(Redo().isEnabled());

    // All the way back with Ctrl+Z, then forward with both redo keys.
    const int steps = static_cast<int>(names.size());
    for (int i = steps; i > 0; --i) {
        EXPECT_EQ(UndoText(), QStringLiteral("&Undo %1").arg(names[i - 1]));
        PressUndo();
        if (states[i - 1] != "<not compared>") {
            EXPECT_EQ(Bytes(), states[i - 1]) << "after undoing " << names[i - 1].toStdString();
        }
        EXPECT_TRUE(ListShowsPage());
        EXPECT_EQ(RedoText(), QStringLiteral("&Redo %1").arg(names[i - 1]));
    }
    EXPECT_EQ(Bytes(), states[0]);
    EXPECT_FALSE(Undo().isEnabled());
    for (int i = 1; i <= steps; ++i) {
        PressRedo(i % 2 == 0);
        if (states[i] != "<not compared>") {
            EXPECT_EQ(Bytes(), states[i]) << "after redoing " << names[i - 1].toStdString();
        }
        EXPECT_TRUE(ListShowsPage());
    }
    EXPECT_FALSE(Redo().isEnabled());
    EXPECT_TRUE(window->Modified());
}

TEST_F(UndoTest, TheWindowShowsTheRestoredPageWithTheChangedBlockSelected) {
    OpenShown();
    // Default page: settings, image, link, paragraph.
    SelectBlock(3);
    QTest::keyClicks(F().txtText, "First words");
    SelectBlock(1);
    SelectBlock(2);
    ui.AnswerMessage(mbYes);
    QTest::keyClick(F().lstBlocks, Qt::Key_Delete);
    EXPECT_EQ(F().lstBlocks->count(), 3);

    PressUndo();
    EXPECT_EQ(F().lstBlocks->count(), 4);
    EXPECT_EQ(F().lstBlocks->item(2)->text(), "Link");
    EXPECT_EQ(F().lstBlocks->currentRow(), 2) << "the block given back";
    EXPECT_EQ(window->CurrentBlockIndex(), 2);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlLinks);
    PressRedo();
    EXPECT_EQ(F().lstBlocks->count(), 3);
    EXPECT_EQ(F().lstBlocks->currentRow(), 1);

    PressUndo();
    PressUndo();  // the paragraph's text, typed on another block
    EXPECT_EQ(F().lstBlocks->currentRow(), 3);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlText);
    EXPECT_EQ(F().txtText->toPlainText(), "");
    PressRedo();
    EXPECT_EQ(F().txtText->toPlainText(), "First words");

    // The preview follows an undo made while it is shown.
    Click(F().btnPreview);
    ClickEntry(F().lstThemes, 1);
    EXPECT_EQ(F().lstThemes->currentRow(), 1);
    const QString ocean = F().browser->toHtml();
    PressUndo();
    EXPECT_TRUE(F().pnlPreview->isVisible());
    EXPECT_EQ(F().lstThemes->currentRow(), 0);
    EXPECT_NE(F().browser->toHtml(), ocean);
    EXPECT_EQ(Page().Items(0).PagePropertiesBlock().ThemeName, "Default");
}

TEST_F(UndoTest, TypingIsTheEditsOwnUntilItHasNoMoreToTakeBack) {
    OpenShown();
    AddFromPalette(btHR);
    SelectBlock(0);
    F().txtPageTitle->setFocus();
    QTest::keyClicks(F().txtPageTitle, "abc");
    EXPECT_EQ(UndoText(), "&Undo Edit Page Details") << "what Undo would take back";
    PressUndo();
    EXPECT_EQ(F().txtPageTitle->text(), "") << "the edit's own undo";
    EXPECT_EQ(Page().Count(), 5) << "the page's steps untouched";
    PressRedo();
    EXPECT_EQ(F().txtPageTitle->text(), "abc");
    PressUndo();
    PressUndo();  // the edit has nothing left: the window's step
    EXPECT_EQ(Page().Count(), 4);

    // Stored typing is a step of its own, taken back from the window's Undo in one go.
    PressRedo();
    SelectBlock(0);
    F().txtPageTitle->setFocus();
    QTest::keyClicks(F().txtPageTitle, "Club");
    Click(F().btnUndo);
    EXPECT_EQ(F().txtPageTitle->text(), "");
    EXPECT_EQ(Page().Items(0).PagePropertiesBlock().PageTitle, "");
    EXPECT_EQ(Page().Count(), 5);
    EXPECT_EQ(window->UndoHistory().RedoName(), "Edit Page Details");
    // Leaving the block: the edit's typing is gone with the visit, Ctrl+Z is the page's.
    Click(F().btnRedo);
    EXPECT_EQ(F().txtPageTitle->text(), "Club");
    F().txtPageTitle->setFocus();
    PressUndo();
    EXPECT_EQ(F().txtPageTitle->text(), "");
    EXPECT_EQ(Page().Items(0).PagePropertiesBlock().PageTitle, "");
}

TEST_F(UndoTest, ABlockDraggedAwayKeepsWhatWasTypedInIt) {
    OpenShown();
    SelectBlock(3);
    QTest::keyClicks(F().txtText, "Moved with me");
    window->lstBlocksDragDrop(TDragSource::Blocks, 1);  // dropped as the mouse drops it
    EXPECT_EQ(Page().Items(1).TextBlock().Text, "Moved with me");
    EXPECT_EQ(F().txtText->toPlainText(), "Moved with me");
    EXPECT_EQ(window->UndoHistory().UndoName(), "Move Block");
    PressUndo();
    EXPECT_EQ(Page().Items(3).BlockType, btText);
    EXPECT_TRUE(ListShowsPage());
    PressUndo();
    EXPECT_EQ(Page().Items(3).TextBlock().Text, "");
    PressRedo();
    PressRedo();
    EXPECT_EQ(Page().Items(1).BlockType, btText);
    EXPECT_TRUE(ListShowsPage());
}

TEST_F(UndoTest, OneStepPerVisitAndNoneForJustLooking) {
    recoveryFolder = home + "Recovery/";
    OpenShown();
    for (int row : {1, 2, 3, 0, 3, 1}) SelectBlock(row);
    Click(F().btnPreview);
    Click(F().btnCreate);
    EXPECT_FALSE(window->UndoHistory().CanUndo()) << "nothing changed";

    SelectBlock(2);
    QTest::keyClicks(F().txtLinkText, "Home");
    window->tmrRecoveryTimer();  // stores the panel on the way
    Click(F().btnPreview);       // and so does every preview
    Click(F().btnCreate);
    QTest::keyClicks(F().txtLinkText, " page");
    SelectBlock(1);
    EXPECT_EQ(window->UndoHistory().UndoCount(), 1);
    PressUndo();
    EXPECT_EQ(Page().Items(2).LinkBlock().LinkText, "");

    // Typed and deleted again before leaving: no step.
    QTest::keyClicks(F().txtLinkText, "x");
    QTest::keyClick(F().txtLinkText, Qt::Key_Backspace);
    SelectBlock(1);
    EXPECT_FALSE(window->UndoHistory().CanUndo());
}

TEST_F(UndoTest, SavingKeepsTheHistoryAndANewChangeDropsTheRedo) {
    OpenShown();
    AddFromPalette(btBullet);
    QTest::keyClicks(F().txtBullets, "Bread");
    SelectBlock(0);
    const std::string saved = Bytes();
    ui.AnswerFileDialog(QString::fromStdString(home + "TesselFiles/list.pgx"));
    ui.AnswerMessage(mbOK);
    Click(F().btnSave);
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(ReadFile(home + "TesselFiles/list.pgx"), saved);

    PressUndo();
    EXPECT_TRUE(window->Modified()) << "the page differs from its file again";
    EXPECT_EQ(Page().Items(1).BulletBlock().Bullets, "");
    PressRedo();
    EXPECT_EQ(Bytes(), saved);
    PressUndo();
    PressUndo();
    EXPECT_EQ(Page().Count(), 4);
    EXPECT_TRUE(Redo().isEnabled());
    AddFromPalette(btHR);
    EXPECT_FALSE(Redo().isEnabled());
    EXPECT_EQ(RedoText(), "&Redo");
    PressRedo();
    EXPECT_EQ(Page().Items(1).BlockType, btHR);

    // New and Open start again.
    ui.AnswerMessage(mbNo);
    Click(F().btnNew);
    EXPECT_FALSE(Undo().isEnabled());
    EXPECT_FALSE(Redo().isEnabled());
}

TEST_F(UndoTest, TheRecoveryCopyFollowsAnUndo) {
    recoveryFolder = home + "Recovery/";
    OpenShown();
    AddFromPalette(btHeading);
    AddFromPalette(btHR);
    const std::string twoAdded = Bytes();
    PressUndo();
    const std::string oneAdded = Bytes();
    ASSERT_NE(oneAdded, twoAdded);
    std::vector<std::string> copies;
    for (const auto& entry : std::filesystem::directory_iterator(recoveryFolder)) {
        if (entry.path().extension() == ".pgx")
            copies.push_back(ReadFile(entry.path().string()));
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0], oneAdded);
}

TEST_F(UndoTest, TheOldestStepsGoBeyondTheCap) {
    undoByteCap = 3000;
    OpenShown();
    for (int i = 0; i < 40; ++i) AddFromPalette(btHR);
    const int kept = window->UndoHistory().UndoCount();
    EXPECT_LT(kept, 40);
    EXPECT_GT(kept, 1);
    EXPECT_LE(window->UndoHistory().HeldBytes(), 3000u);
    // Each step back gives a block back and leads to the page of that moment; taking the
    // additions back makes heavier steps to redo them, so the oldest kept go on going.
    int undone = 0;
    for (; Undo().isEnabled(); ++undone) {
        PressUndo();
        EXPECT_EQ(Page().Count(), 4 + 40 - undone - 1);
    }
    EXPECT_GT(undone, kept / 2);
    EXPECT_LE(window->UndoHistory().HeldBytes(), 3000u);
    EXPECT_TRUE(Redo().isEnabled());
}

TEST_F(UndoTest, TheMenuAndTheButtonsSayWhatTheyWillDo) {
    OpenShown();
    EXPECT_TRUE(window->PopBlocks()->actions().contains(&Undo()));
    EXPECT_TRUE(window->PopBlocks()->actions().contains(&Redo()));
    EXPECT_EQ(F().btnUndo->defaultAction(), &Undo());
    EXPECT_FALSE(F().btnUndo->isEnabled());
    AddFromPalette(btText);
    SelectBlock(2);
    F().lstBlocks->setFocus();
    QTest::keyClick(F().lstBlocks, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_TRUE(F().btnUndo->isEnabled());
    EXPECT_EQ(F().btnUndo->toolTip(), "Undo Move Block");
    Click(F().btnUndo);
    EXPECT_EQ(F().btnRedo->toolTip(), "Redo Move Block");
    EXPECT_EQ(UndoText(), "&Undo Add Block");
    EXPECT_EQ(F().lstBlocks->currentRow(), 2);
}

}  // namespace
}  // namespace tessel

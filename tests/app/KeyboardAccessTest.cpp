// Every window of the program can be used by keyboard and read by a screen reader: each
// control that takes the focus has a name, and Tab reaches every control that can be used.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "MainFixture.h"
#include "dialogs/Misc.h"
#include "dialogs/Templates.h"
#include "dialogs/TipDay.h"
#include "formfields/CommonFields.h"
#include "formfields/FormFields.h"
#include "platform/gui/KeyboardAccess.h"
#include "themes/Color.h"
#include "themes/Themes.h"

namespace tessel {
namespace {

class KeyboardAccessTest : public MainWindowTest {
  protected:
    // One of the program's dialogs, made as the main window makes it, and what to do to bring
    // its second face forward (the theme editor's fields, say) when it has one.
    struct TDialogCase {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
        std::function<void(QDialog&)> secondFace;
    };

    std::vector<TDialogCase> Dialogs() {
        themes = LoadThemes(home);
        const std::string data = TESSEL_SOURCE_DATA "/";
        std::vector<TDialogCase> cases = {
            {"theme editor", [this] { return std::make_unique<TfrmTheme>(ui, home, *themes); },
             [](QDialog& dialog) {
                 dialog.findChild<QListWidget*>("lstEditThemes")->setCurrentRow(0);
                 QTest::mouseClick(dialog.findChild<QPushButton*>("btnEdit"), Qt::LeftButton);
             }},
            {"colour picker", [this, data] { return std::make_unique<TfrmColor>(ui, data); }, {}},
            {"field bank",
             [this, data] {
                 return std::make_unique<TfrmCommonFields>(ui, cmFieldBank, data + "Fields.ini");
             },
             {}},
            {"form options",
             [this, data] {
                 return std::make_unique<TfrmCommonFields>(ui, cmAdvancedOptions,
                                                           data + "Fields.ini");
             },
             {}},
            {"template browser",
             [this, data] { return std::make_unique<TfrmTemplates>(ui, data); },
             {}},
            {"font dialog", [this] { return std::make_unique<TfrmMisc>(ui, mmFont); }, {}},
            {"bookmark dialog", [this] { return std::make_unique<TfrmMisc>(ui, mmBookmarks); }, {}},
            {"meta tag dialog", [this] { return std::make_unique<TfrmMisc>(ui, mmMetaTag); }, {}},
            {"tip of the day",
             [data] {
                 return std::make_unique<TfrmTips>(
                     QString::fromStdString(data), [](bool) {}, [](int) { return 0; });
             },
             {}},
        };
        for (const TFieldKind kind :
             {fkText, fkTextArea, fkRadio, fkCheckBox, fkDropDown, fkButton}) {
            cases.push_back({"field editor",
                             [this, kind] { return std::make_unique<TfrmFields>(ui, kind); },
                             {}});
        }
        return cases;
    }

    // The main window with a block of every kind, each panel brought forward in turn.
    template <typename Check>
    void ForEveryPanel(Check check) {
        OpenShown();
        for (TBlockType kind : {btHeading, btImage, btLink, btText, btBullet, btHR, btForms})
            DropFromPalette(kind, 1);
        for (int row = 0; row < F().lstBlocks->count(); ++row) {
            F().lstBlocks->setCurrentRow(row);
            check(QStringLiteral("block %1").arg(row));
        }
        Click(F().btnPreview);
        check(QStringLiteral("preview"));
    }

    std::unique_ptr<TWebTheme> themes;
};

std::string Joined(const QStringList& names) {
    return names.join(QStringLiteral(", ")).toStdString();
}

TEST_F(KeyboardAccessTest, EveryControlOfEveryWindowHasANameToReadOut) {
    Open();
    EXPECT_EQ(Joined(UnnamedControls(*window)), "") << "main window";
    for (const TDialogCase& dialog : Dialogs()) {
        const std::unique_ptr<QDialog> made = dialog.make();
        EXPECT_EQ(Joined(UnnamedControls(*made)), "") << dialog.name;
    }
}

TEST_F(KeyboardAccessTest, TabReachesEveryControlOfTheMainWindowOnEveryPanel) {
    ForEveryPanel([this](const QString& where) {
        EXPECT_EQ(Joined(ControlsTabMisses(*window)), "") << where.toStdString();
    });
}

TEST_F(KeyboardAccessTest, NoTwoShownControlsShareAnAltLetter) {
    ForEveryPanel([this](const QString& where) {
        EXPECT_EQ(Joined(MnemonicClashes(*window)), "") << where.toStdString();
    });
    // The page language shows only with the box ticked.
    Click(F().btnCreate);
    F().lstBlocks->setCurrentRow(0);
    Click(F().chkFitScreens);
    ASSERT_TRUE(F().cboLanguage->isVisible());
    EXPECT_EQ(Joined(MnemonicClashes(*window)), "") << "page language";
    for (const TDialogCase& dialog : Dialogs()) {
        const std::unique_ptr<QDialog> made = dialog.make();
        made->show();
        // The form options' given captions "Form &Title" and "Sor&t Fields..." share their
        // letter; Alt+T goes to each in turn.
        const std::string expected =
            dialog.name == std::string("form options") ? "t: lblFormTitle chkSort" : "";
        EXPECT_EQ(Joined(MnemonicClashes(*made)), expected) << dialog.name;
        if (dialog.secondFace) {
            dialog.secondFace(*made);
            EXPECT_EQ(Joined(MnemonicClashes(*made)), "") << dialog.name << ", second face";
        }
        made->hide();
    }
}

TEST_F(KeyboardAccessTest, TabGoesFromTheCommandsThroughTheListsToThePanel) {
    OpenShown();
    QStringList order;
    EXPECT_EQ(Joined(ControlsTabMisses(*window, &order)), "");
    EXPECT_EQ(Joined(order.mid(0, 7)),
              "btnNew, btnChooseTemplate, btnTemplate, lstPalette, lstBlocks, txtPageTitle, "
              "chkLinkUnderline");
    EXPECT_EQ(order.indexOf("btnCreate"), order.indexOf("chkLogo") + 1);
}

// What the mouse does by dragging, the keyboard does with keys.
TEST_F(KeyboardAccessTest, KeysAddAndMoveBlocksAndLeaveTheBulletText) {
    OpenShown();
    const int blocks = Page().Count();
    F().lstBlocks->setCurrentRow(0);
    F().lstPalette->setCurrentRow(btHR - btHeading);
    F().lstPalette->setFocus();
    QTest::keyClick(F().lstPalette, Qt::Key_Return);
    ASSERT_EQ(Page().Count(), blocks + 1);
    EXPECT_EQ(Page().Items(1).BlockType, btHR);
    EXPECT_EQ(F().lstBlocks->currentRow(), 1);

    F().lstPalette->setCurrentRow(btBullet - btHeading);
    QTest::keyClick(F().lstPalette, Qt::Key_Enter);
    EXPECT_EQ(Page().Items(2).BlockType, btBullet);
    QTest::keyClicks(F().txtBullets, "Bread");

    // Ctrl+Up moves the bullet list above the line, with what was typed; never above the
    // page settings.
    F().lstBlocks->setFocus();
    QTest::keyClick(F().lstBlocks, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Page().Items(1).BlockType, btBullet);
    EXPECT_EQ(Page().Items(1).BulletBlock().Bullets, "Bread");
    EXPECT_EQ(F().lstBlocks->currentRow(), 1);
    QTest::keyClick(F().lstBlocks, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Page().Items(0).BlockType, btPageProperties);
    EXPECT_EQ(Page().Items(1).BlockType, btBullet);
    QTest::keyClick(F().lstBlocks, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Page().Items(2).BlockType, btBullet);
    EXPECT_TRUE(window->Modified());

    // The bullet text keeps Tab; Ctrl+Tab goes on to the next control.
    F().lstBlocks->setCurrentRow(2);
    F().txtBullets->setFocus();
    QTest::keyClick(F().txtBullets, Qt::Key_Tab);
    EXPECT_TRUE(F().txtBullets->hasFocus());
    EXPECT_TRUE(F().txtBullets->toPlainText().contains('\t'));
    QTest::keyClick(F().txtBullets, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), F().btnBulletImport);
    F().txtBullets->setFocus();
    QTest::keyClick(F().txtBullets, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), F().cbBullets);
}

TEST_F(KeyboardAccessTest, EnterAddsABankFieldToTheCommonFields) {
    TfrmCommonFields dialog(ui, cmFieldBank, TESSEL_SOURCE_DATA "/Fields.ini");
    auto* common = dialog.findChild<QTreeWidget*>("lvForms");
    auto* bank = dialog.findChild<QTreeWidget*>("lvFieldBank");
    const int before = common->topLevelItemCount();
    QTreeWidgetItem* comments = bank->findItems("Comments", Qt::MatchExactly).value(0);
    ASSERT_NE(comments, nullptr);
    bank->setCurrentItem(comments);
    QTest::keyClick(bank, Qt::Key_Return);
    ASSERT_EQ(common->topLevelItemCount(), before + 1);
    EXPECT_EQ(common->topLevelItem(before)->text(0), "Comments");
    EXPECT_EQ(dialog.result(), 0);  // Enter did not close the dialog
}

TEST_F(KeyboardAccessTest, TabReachesEveryControlOfEveryDialog) {
    for (const TDialogCase& dialog : Dialogs()) {
        const std::unique_ptr<QDialog> made = dialog.make();
        EXPECT_EQ(Joined(ControlsTabMisses(*made)), "") << dialog.name;
        if (dialog.secondFace) {
            dialog.secondFace(*made);
            EXPECT_EQ(Joined(ControlsTabMisses(*made)), "") << dialog.name << ", second face";
        }
        made->hide();
    }
}

}  // namespace
}  // namespace tessel

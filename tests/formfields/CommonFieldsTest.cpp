#include "formfields/CommonFields.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/gui/ScriptedUiServices.h"
#include "support/TempFolder.h"
#include "ui_CommonFields.h"

namespace tessel {
namespace {

// Clicks a check box on its indicator, where a click toggles it.
void Tick(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

using Fields = std::vector<TBankField>;

class CommonFieldsTest : public ::testing::Test {
  protected:
    TfrmCommonFields& Open(TCommonFieldsMode mode = cmFieldBank) {
        dialog = std::make_unique<TfrmCommonFields>(ui, mode, path);
        dialog->show();
        return *dialog;
    }
    Ui::TfrmCommonFields& F() { return dialog->Form(); }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QPoint RowPoint(QTreeWidget* list, int row) {
        return list->visualItemRect(list->topLevelItem(row)).center();
    }
    void ClickRow(QTreeWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, row));
    }
    // Drags row `from` of the field bank onto row `to` of the common list (-1: below the rows).
    void DragBankToCommon(int from, int to) {
        ClickRow(F().lvFieldBank, from);
        const QPoint point =
            to >= 0 ? RowPoint(F().lvForms, to) : QPoint(5, F().lvForms->viewport()->height() - 2);
        dialog->lvFormsDragDrop(F().lvFieldBank, point);
    }

    testing::TTempFolder temp;
    std::string path = temp.Path() + "Fields.ini";
    TScriptedUiServices ui;
    std::unique_ptr<TfrmCommonFields> dialog;
};

TEST_F(CommonFieldsTest, WithoutAFileTheBuiltInListsShowAndOkWritesThem) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Commonly Used Fields");
    EXPECT_EQ(F().pnlPages->currentWidget(), F().pnlFieldBank);
    EXPECT_EQ(dialog->CommonFields(), BuiltInCommonFields());
    EXPECT_EQ(F().lvFieldBank->topLevelItemCount(), 13);
    EXPECT_EQ(F().lvForms->topLevelItem(4)->text(1), "Drop Down");
    EXPECT_TRUE(dialog->Changed());
    Click(F().btnOK);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ReadBankSection(kDefaultFieldsSection, path), BuiltInCommonFields());
}

TEST_F(CommonFieldsTest, CancelAfterDraggingLeavesTheFileAlone) {
    const std::string content =
        "[Default Fields]\nFIELD0=Name|0\nFIELD1=Phone|0\n[Field Bank]\nFIELD0=City|0\n";
    temp.Write("Fields.ini", content);
    Open();
    EXPECT_FALSE(dialog->Changed());
    EXPECT_EQ(dialog->CommonFields(), (Fields{{"Name", fkText}, {"Phone", fkText}}));
    DragBankToCommon(0, -1);
    EXPECT_TRUE(dialog->Changed());
    Click(F().btnCancel);
    EXPECT_EQ(ReadWholeFile(path), content);

    // OK without a change writes nothing either.
    Open();
    Click(F().btnOK);
    EXPECT_EQ(ReadWholeFile(path), content);
}

TEST_F(CommonFieldsTest, DraggingFromTheBankInsertsOrSelectsTheExistingRow) {
    temp.Write("Fields.ini",
               "[Default Fields]\nFIELD0=Name|0\nFIELD1=city|0\n[Field Bank]\nFIELD0=City|0\n"
               "FIELD1=Comments|1\nFIELD2=Phone|0\n");
    Open();
    DragBankToCommon(0, 0);
    EXPECT_EQ(dialog->CommonFields().size(), 2u);
    EXPECT_EQ(F().lvForms->currentItem(), F().lvForms->topLevelItem(1));
    EXPECT_FALSE(dialog->Changed());

    DragBankToCommon(1, 0);
    DragBankToCommon(2, -1);
    EXPECT_EQ(
        dialog->CommonFields(),
        (Fields{{"Comments", fkTextArea}, {"Name", fkText}, {"city", fkText}, {"Phone", fkText}}));
    EXPECT_EQ(F().lvForms->currentItem(), F().lvForms->topLevelItem(3));
    EXPECT_EQ(F().lvFieldBank->topLevelItemCount(), 3);
}

TEST_F(CommonFieldsTest, RemovingNeverEmptiesTheCommonList) {
    temp.Write("Fields.ini", "[Default Fields]\nFIELD0=A|0\nFIELD1=B|2\n");
    Open();
    ClickRow(F().lvForms, 0);
    dialog->lvFieldBankDragDrop(F().lvForms);
    EXPECT_EQ(dialog->CommonFields(), (Fields{{"B", fkRadio}}));
    EXPECT_TRUE(F().lvForms->topLevelItem(0)->isSelected());
    ui.AnswerMessage(mbOK);
    QTest::keyClick(F().lvForms, Qt::Key_Delete);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "There must be at least one form field.");
    EXPECT_EQ(dialog->CommonFields().size(), 1u);
}

TEST_F(CommonFieldsTest, RowsChangePlacesByDragAndByPriorityButtons) {
    temp.Write("Fields.ini", "[Default Fields]\nFIELD0=A|0\nFIELD1=B|1\nFIELD2=C|4\n");
    Open();
    EXPECT_FALSE(F().btnMoveUp->isEnabled());
    ClickRow(F().lvForms, 0);
    EXPECT_FALSE(F().btnMoveUp->isEnabled());
    EXPECT_TRUE(F().btnMoveDown->isEnabled());
    dialog->lvFormsDragDrop(F().lvForms, RowPoint(F().lvForms, 2));
    EXPECT_EQ(dialog->CommonFields(),
              (Fields{{"C", fkDropDown}, {"B", fkTextArea}, {"A", fkText}}));
    EXPECT_FALSE(F().btnMoveDown->isEnabled());
    EXPECT_TRUE(F().btnMoveUp->isEnabled());

    Click(F().btnMoveUp);
    EXPECT_EQ(dialog->CommonFields(),
              (Fields{{"C", fkDropDown}, {"A", fkText}, {"B", fkTextArea}}));
    EXPECT_EQ(F().lvForms->currentItem(), F().lvForms->topLevelItem(1));
    Click(F().btnMoveUp);
    Click(F().btnMoveDown);
    Click(F().btnMoveDown);
    EXPECT_EQ(dialog->CommonFields(),
              (Fields{{"C", fkDropDown}, {"B", fkTextArea}, {"A", fkText}}));

    Click(F().btnReset);
    EXPECT_EQ(dialog->CommonFields(), BuiltInCommonFields());
    Click(F().btnOK);
    EXPECT_EQ(ReadBankSection(kDefaultFieldsSection, path), BuiltInCommonFields());
}

TEST_F(CommonFieldsTest, AFailedSaveReportsAndKeepsTheDialogOpen) {
    std::filesystem::create_directories(path + "/keep");
    Open();
    ui.AnswerMessage(mbOK);
    Click(F().btnOK);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Error);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith("The field bank could not be saved"));
    EXPECT_TRUE(dialog->isVisible());
    Click(F().btnCancel);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(std::filesystem::is_directory(path + "/keep"));
}

TEST_F(CommonFieldsTest, AdvancedOptionsModeShowsAndReturnsEveryOption) {
    temp.Write("Fields.ini", "[Default Fields]\nFIELD0=A|0\n");
    const std::string before = ReadWholeFile(path);
    Open(cmAdvancedOptions);
    EXPECT_EQ(dialog->windowTitle(), "E-mail Form Advanced Options");
    EXPECT_EQ(F().pnlPages->currentWidget(), F().pnlOptions);
    EXPECT_FALSE(F().btnReset->isVisible());
    TFormOptions options;
    options.FormTitle = "Order";
    options.Border = true;
    options.EnvReport = true;
    options.AlphaSort = true;
    dialog->SetOptions(options);
    EXPECT_TRUE(F().chkIP->isChecked());
    EXPECT_FALSE(F().chkHostname->isChecked());
    EXPECT_EQ(dialog->Options(), options);
    for (QCheckBox* box : {F().chkFooter, F().chkAddress, F().chkSubject, F().chkHostname,
                           F().chkBrowser, F().chkBlankFields, F().chkUseBorder})
        Tick(box);
    const TFormOptions changed = dialog->Options();
    EXPECT_TRUE(changed.FormFooter && changed.EmailAddress && changed.EmailSubject &&
                changed.HostName && changed.BrowserUsed && changed.BlankFields);
    EXPECT_FALSE(changed.Border);
    Click(F().btnOK);
    EXPECT_EQ(ReadWholeFile(path), before);
}

}  // namespace
}  // namespace tessel

#include "formfields/FormFields.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "platform/HelpContexts.h"
#include "platform/gui/ScriptedUiServices.h"
#include "ui_FormFields.h"

namespace tessel {
namespace {

// Clicks a check box on its indicator, where a click toggles it.
void Tick(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

class FormFieldsTest : public ::testing::Test {
  protected:
    TfrmFields& Open(TFieldKind kind, const TFieldValues* values = nullptr) {
        dialog = std::make_unique<TfrmFields>(ui, kind);
        if (values != nullptr)
            dialog->LoadValues(*values);
        dialog->show();
        return *dialog;
    }
    Ui::TfrmFields& F() { return dialog->Form(); }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void ClickRow(int row) {
        QTreeWidget* list = F().lvDropDown;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(row)).center());
    }
    // Adds a choice through the sub-panel as the user does.
    void AddChoice(const QString& value, const QString& text, bool checked) {
        Click(F().btnAdd);
        EXPECT_TRUE(F().pnlDropText->isVisible());
        QTest::keyClicks(F().txtDropValue, value);
        QTest::keyClicks(F().txtDropText, text);
        if (checked)
            Tick(F().chkCheck);
        Click(F().btnDropApply);
        EXPECT_FALSE(F().pnlDropText->isVisible());
    }
    std::vector<TChoiceRow> Choices() { return dialog->Values().Choices; }

    TScriptedUiServices ui;
    std::unique_ptr<TfrmFields> dialog;
};

TEST_F(FormFieldsTest, TextBoxShowsItsSampleCaptionAndHelp) {
    Open(fkText);
    EXPECT_EQ(dialog->windowTitle(), "Form Field (Text Box) - Untitled");
    EXPECT_EQ(F().lblSampleCaption->text(), "Here is a sample of a Text Box");
    EXPECT_TRUE(F().cbSize->isVisible());
    EXPECT_FALSE(F().pnlRowsCols->isVisible());
    EXPECT_FALSE(F().pnlChoices->isVisible());
    EXPECT_EQ(F().cbSize->currentText(), "30");
    EXPECT_EQ(F().txtName->property("helpContext").toInt(), kHelpFieldBase);
    auto* sample = qobject_cast<QLineEdit*>(dialog->Sample());
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->width(), 250);
    EXPECT_EQ(sample->x(), F().lblPageText->geometry().right() + 11);
    QTest::keyClicks(F().txtValue, "hello");
    EXPECT_EQ(sample->text(), "hello");

    F().txtName->clear();
    QTest::keyClicks(F().txtName, "Age");
    EXPECT_EQ(dialog->windowTitle(), "Form Field (Text Box) - Age");
    F().cbSize->setCurrentText("45");
    QTest::keyClicks(F().txtText, "Your age");
    const TFieldValues values = dialog->Values();
    EXPECT_EQ(values.Name, "Age");
    EXPECT_EQ(values.Value, "hello");
    EXPECT_EQ(values.Size, "45");
    EXPECT_EQ(values.Text, "Your age");
}

TEST_F(FormFieldsTest, AnEmptyNameIsRefusedWhenTheEditIsLeft) {
    Open(fkText);
    F().txtName->clear();
    ui.AnswerMessage(mbOK);
    // Another window taking the focus is not the user leaving the edit.
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(F().txtName, &deactivated);
    EXPECT_TRUE(ui.Messages().empty());
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(F().txtName, &leave);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "The Name field is a required field. Please include a unique name for the field.");
    EXPECT_EQ(F().txtName->text(), "Untitled");
    EXPECT_EQ(dialog->windowTitle(), "Form Field (Text Box) - Untitled");
    // Leaving a named edit says nothing.
    QCoreApplication::sendEvent(F().txtName, &leave);
    EXPECT_EQ(ui.Messages().size(), 1u);
}

TEST_F(FormFieldsTest, TextAreaAndButtonShowTheirOwnControls) {
    TFieldValues values;
    values.Kind = fkTextArea;
    values.Name = "Comments";
    values.Text = "Tell us\r\nmore";
    values.Cols = "40";
    values.Rows = "5";
    Open(fkTextArea, &values);
    EXPECT_TRUE(F().pnlRowsCols->isVisible());
    EXPECT_FALSE(F().cbSize->isVisible());
    EXPECT_FALSE(F().txtValue->isEnabled());
    EXPECT_EQ(F().txtRows->property("helpContext").toInt(), kHelpFieldBase + 1);
    EXPECT_EQ(F().txtText->toPlainText(), "Tell us\nmore");
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(dialog->Sample()), nullptr);
    EXPECT_EQ(dialog->Values(), values);

    Open(fkButton);
    EXPECT_EQ(dialog->Sample(), nullptr);
    EXPECT_FALSE(F().pnlChoices->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Form Field (Button) - Untitled");
}

TEST_F(FormFieldsTest, ARadioGroupKeepsAtMostOneSelectedChoice) {
    Open(fkRadio);
    EXPECT_EQ(F().chkCheck->text(), "Selected");
    EXPECT_EQ(F().lvDropDown->headerItem()->text(2), "Selected");
    EXPECT_FALSE(F().btnDropApply->isEnabled());
    AddChoice("a", "Apple", true);
    AddChoice("b", "Banana", false);
    EXPECT_EQ(Choices(), (std::vector<TChoiceRow>{{"a", "Apple", "Yes"}, {"b", "Banana", "No"}}));

    // Editing b and ticking it takes the mark from a.
    ClickRow(1);
    EXPECT_TRUE(F().btnEdit->isEnabled());
    Click(F().btnEdit);
    EXPECT_EQ(F().txtDropValue->text(), "b");
    EXPECT_FALSE(F().chkCheck->isChecked());
    Tick(F().chkCheck);
    Click(F().btnDropApply);
    EXPECT_EQ(Choices(), (std::vector<TChoiceRow>{{"a", "Apple", "No"}, {"b", "Banana", "Yes"}}));

    // Apply follows the edit that changed last.
    Click(F().btnAdd);
    QTest::keyClicks(F().txtDropValue, "c");
    EXPECT_TRUE(F().btnDropApply->isEnabled());
    F().txtDropText->setText("x");
    F().txtDropText->clear();
    EXPECT_FALSE(F().btnDropApply->isEnabled());
    Click(F().btnDropCancel);
    EXPECT_EQ(Choices().size(), 2u);
    EXPECT_TRUE(F().txtDropValue->text().isEmpty());
}

TEST_F(FormFieldsTest, CheckBoxesMayAllBeTickedAndEditByEnter) {
    Open(fkCheckBox);
    EXPECT_EQ(F().lvDropDown->headerItem()->text(2), "Checked");
    AddChoice("n", "News", true);
    AddChoice("o", "Offers", true);
    EXPECT_EQ(Choices(), (std::vector<TChoiceRow>{{"n", "News", "Yes"}, {"o", "Offers", "Yes"}}));
    ClickRow(0);
    QTest::keyClick(F().lvDropDown, Qt::Key_Return);
    EXPECT_TRUE(F().pnlDropText->isVisible());
    EXPECT_TRUE(F().chkCheck->isChecked());
    F().txtDropText->setText("Daily news");
    Click(F().btnDropApply);
    EXPECT_EQ(Choices()[0], (TChoiceRow{"n", "Daily news", "Yes"}));
}

TEST_F(FormFieldsTest, WhileAChoiceIsEditedTheListIsLockedAndApplyWritesTheOpenedRow) {
    TFieldValues values;
    values.Kind = fkRadio;
    values.Choices = {{"a", "Apple", "No"}, {"b", "Banana", "No"}};
    Open(fkRadio, &values);
    ClickRow(0);
    Click(F().btnEdit);
    const std::vector<QWidget*> locked = {F().lvDropDown, F().btnAdd, F().btnEdit, F().btnDelete,
                                          F().btnOK};
    for (QWidget* control : locked)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();

    ClickRow(1);
    // A drag on the locked list starts nothing; should one start, the release ends it.
    QTreeWidget* list = F().lvDropDown;
    const QPoint from = list->visualItemRect(list->topLevelItem(1)).center();
    const QPoint to = list->visualItemRect(list->topLevelItem(0)).center();
    QTimer::singleShot(
        0, list, [list, to] { QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, to); });
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(list->viewport(), to);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
    dialog->lvDropDownDragDrop(list, 1);

    QTest::keyClicks(F().txtDropText, " pie");
    Click(F().btnDropApply);
    EXPECT_EQ(Choices(),
              (std::vector<TChoiceRow>{{"a", "Apple pie", "No"}, {"b", "Banana", "No"}}));
    for (QWidget* control : locked)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
}

TEST_F(FormFieldsTest, EnterAppliesTheTypedChoiceAndAnEmptyNameIsRefusedOnOk) {
    Open(fkDropDown);
    Click(F().btnAdd);
    QTest::keyClicks(F().txtDropValue, "CA");
    QTest::keyClicks(F().txtDropText, "California");
    QTest::keyClick(F().txtDropText, Qt::Key_Return);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(F().pnlDropText->isVisible());
    EXPECT_EQ(Choices(), (std::vector<TChoiceRow>{{"CA", "California", "No"}}));

    // With Apply disabled Enter does nothing; Escape leaves the choice, not the dialog.
    Click(F().btnAdd);
    QTest::keyClick(F().txtDropValue, Qt::Key_Return);
    EXPECT_TRUE(F().pnlDropText->isVisible());
    QTest::keyClicks(F().txtDropValue, "NV");
    QTest::keyClick(F().txtDropValue, Qt::Key_Escape);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(F().pnlDropText->isVisible());
    EXPECT_EQ(Choices().size(), 1u);

    F().txtName->clear();
    ui.AnswerMessage(mbOK);
    QTest::keyClick(F().txtName, Qt::Key_Return);
    ASSERT_TRUE(dialog->isVisible());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "The Name field is a required field. Please include a unique name for the field.");
    EXPECT_EQ(F().txtName->text(), "Untitled");
    QTest::keyClick(F().txtName, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values().Name, "Untitled");
}

TEST_F(FormFieldsTest, DeletingAsksAndNeverEmptiesTheList) {
    TFieldValues values;
    values.Kind = fkDropDown;
    values.Choices = {{"1", "One", "No"}, {"2", "Two", "No"}};
    Open(fkDropDown, &values);
    EXPECT_FALSE(F().btnDelete->isEnabled());
    dialog->popOptionsPopup();
    EXPECT_FALSE(dialog->PopOptions()->actions()[3]->isEnabled());

    ClickRow(0);
    dialog->popOptionsPopup();
    EXPECT_TRUE(dialog->PopOptions()->actions()[3]->isEnabled());
    ui.AnswerMessage(mbNo);
    Click(F().btnDelete);
    EXPECT_EQ(ui.Messages().back().text, "Do you want to delete the seleted item?");
    EXPECT_EQ(ui.Messages().back().buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(Choices().size(), 2u);

    ui.AnswerMessage(mbYes);
    QTest::keyClick(F().lvDropDown, Qt::Key_Delete);
    ASSERT_EQ(Choices().size(), 1u);
    auto* sample = qobject_cast<QComboBox*>(dialog->Sample());
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->count(), 1);
    EXPECT_EQ(sample->itemText(0), "Two");

    ClickRow(0);
    ui.AnswerMessage(mbYes);
    ui.AnswerMessage(mbOK);
    dialog->PopOptions()->actions()[3]->trigger();
    EXPECT_EQ(ui.Messages().back().text, "There must be at least one item in the drop down box.");
    EXPECT_EQ(Choices().size(), 1u);
    EXPECT_EQ(sample->count(), 1);
}

TEST_F(FormFieldsTest, DropDownSampleFollowsTheRowsAndDragsExchangeThem) {
    Open(fkDropDown);
    EXPECT_FALSE(F().chkCheck->isVisible());
    auto* sample = qobject_cast<QComboBox*>(dialog->Sample());
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->count(), 2);
    EXPECT_EQ(sample->itemText(0), "One Selection");

    AddChoice("1", "First", false);
    AddChoice("2", "Second", false);
    AddChoice("3", "Third", false);
    EXPECT_EQ(sample->itemText(2), "Third");
    EXPECT_EQ(sample->currentIndex(), 0);

    ClickRow(0);
    dialog->lvDropDownDragDrop(F().lvDropDown, 2);
    const std::vector<TChoiceRow> rows = Choices();
    EXPECT_EQ(rows[0].Value, "3");
    EXPECT_EQ(rows[1].Value, "2");
    EXPECT_EQ(rows[2].Text, "First");
    EXPECT_EQ(F().lvDropDown->currentItem(), F().lvDropDown->topLevelItem(2));
    EXPECT_EQ(sample->itemText(0), "Third");
    EXPECT_EQ(sample->itemText(2), "First");

    // A drop from another list changes nothing here.
    QTreeWidget other;
    dialog->lvDropDownDragDrop(&other, 0);
    EXPECT_EQ(Choices(), rows);
}

TEST_F(FormFieldsTest, DraggedChoicesLeaveTheirMarksInPlace) {
    TFieldValues values;
    values.Kind = fkRadio;
    values.Choices = {{"a", "A", "Yes"}, {"b", "B", "No"}, {"c", "C", "No"}};
    Open(fkRadio, &values);
    ClickRow(0);
    dialog->lvDropDownDragDrop(F().lvDropDown, 2);
    EXPECT_EQ(Choices(),
              (std::vector<TChoiceRow>{{"c", "C", "Yes"}, {"b", "B", "No"}, {"a", "A", "No"}}));
}

}  // namespace
}  // namespace tessel

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "MainFixture.h"
#include "app/FormFieldSteps.h"
#include "document/Stream.h"
#include "formfields/CommonFields.h"
#include "formfields/FormFields.h"
#include "formfields/core/FieldBank.h"
#include "platform/HelpContexts.h"
#include "platform/IniProfile.h"
#include "ui_CommonFields.h"
#include "ui_FormFields.h"

namespace tessel {
namespace {

class FormsPanelTest : public MainWindowTest {
  protected:
    // A window whose page holds a forms block at index 1, shown.
    void OpenWithForm() {
        Open();
        DropFromPalette(btForms, 1);
        ASSERT_EQ(F().pnlPanels->currentWidget(), F().pnlForms);
    }
    TWebForm& Fields() { return window->Document().WebForm(); }
    QTreeWidget* List() { return F().lvForms; }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void ClickRow(int row) {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(List()->topLevelItem(row)).center());
    }
    QAction* AddItem(TFieldKind kind) { return test::AddFieldItem(*window, kind); }
    void AddField(TFieldKind kind, const QString& name,
                  const std::function<void(Ui::TfrmFields&)>& fill = {}) {
        test::AddField(ui, *window, kind, name, fill);
    }
    std::vector<std::string> FieldNames() {
        std::vector<std::string> names;
        for (int i = 0; i < Fields().Count(); ++i) names.push_back(Fields().Items(i).Name);
        return names;
    }
    std::vector<std::string> RowNames() {
        std::vector<std::string> names;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            names.push_back(List()->topLevelItem(i)->text(0).toStdString());
        return names;
    }
    void Save() {
        ui.AnswerFileDialog(QString::fromStdString(home + "TesselFiles/Form.pgx"));
        ui.AnswerMessage(mbOK);
        window->mnuSaveClick();
        ASSERT_FALSE(window->Modified());
    }
    void AddThree() {
        for (const char* name : {"A", "B", "C"}) AddField(fkText, name);
    }
};

TEST_F(FormsPanelTest, TheThreeAddressesTravelThroughStoreAndShow) {
    OpenWithForm();
    EXPECT_TRUE(F().pnlForms->isEnabled());
    EXPECT_FALSE(F().btnFormClear->isEnabled());
    EXPECT_TRUE(F().btnFormAdd->isEnabled());
    EXPECT_FALSE(F().btnFormEdit->isEnabled());
    QTest::keyClicks(F().txtFormAddress, "me@example.com");
    QTest::keyClicks(F().txtFormSubject, "Orders");
    QTest::keyClicks(F().txtFormURL, "http://example.com/thanks.html");
    window->StoreBlock();
    EXPECT_EQ(window->Document().Email, "me@example.com");
    EXPECT_EQ(window->Document().Subject, "Orders");
    EXPECT_EQ(window->Document().Redirect, "http://example.com/thanks.html");

    F().lstBlocks->setCurrentRow(0);
    window->lstBlocksClick();
    window->Document().Subject = "Changed";
    F().lstBlocks->setCurrentRow(1);
    window->lstBlocksClick();
    EXPECT_EQ(F().txtFormSubject->text(), "Changed");
    EXPECT_EQ(List()->headerItem()->text(0), "Name");
    EXPECT_EQ(List()->headerItem()->text(1), "Type");
}

TEST_F(FormsPanelTest, NewFieldsComeFromTheAddMenuAndRaiseTheModifiedFlag) {
    OpenWithForm();
    Save();
    Click(F().btnFormAdd);
    for (int i = 5; i < 10; ++i) EXPECT_FALSE(window->PopForms()->actions()[i]->isVisible());
    window->PopForms()->hide();
    EXPECT_EQ(AddItem(fkDropDown)->text(), "&Drop Down List");

    AddField(fkText, "Age", [](Ui::TfrmFields& e) {
        e.cbSize->setCurrentText("45");
        QTest::keyClicks(e.txtText, "Your age");
    });
    EXPECT_EQ(ui.ExecutedDialogs().back(), "frmFields");
    EXPECT_TRUE(window->Modified());
    ASSERT_EQ(Fields().Count(), 1);
    EXPECT_EQ(Fields().Items(0).Name, "Age");
    EXPECT_EQ(Fields().Items(0).Text, "Your age");
    EXPECT_EQ(Fields().Items(0).Strings().lines, std::vector<std::string>{"Size=45"});
    ASSERT_EQ(List()->topLevelItemCount(), 1);
    EXPECT_EQ(List()->topLevelItem(0)->text(1), "Text Box");
    EXPECT_TRUE(F().btnFormClear->isEnabled());

    // Cancel adds nothing.
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    AddItem(fkRadio)->trigger();
    EXPECT_EQ(Fields().Count(), 1);
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(FormsPanelTest, EditingLoadsTheFieldAndWritesItBack) {
    OpenWithForm();
    AddField(fkRadio, "Colour", [](Ui::TfrmFields& e) {
        test::AddChoice(e, "r", "Red", true);
        test::AddChoice(e, "g", "Green", false);
    });
    Save();
    ClickRow(0);
    EXPECT_TRUE(F().btnFormEdit->isEnabled());
    ui.AnswerExec([](QDialog& dialog) {
        auto& editor = static_cast<TfrmFields&>(dialog);
        EXPECT_EQ(editor.Kind(), fkRadio);
        EXPECT_EQ(dialog.windowTitle(), "Form Field (Radio Button) - Colour");
        const TFieldValues values = editor.Values();
        EXPECT_EQ(values.Choices,
                  (std::vector<TChoiceRow>{{"r", "Red", "Yes"}, {"g", "Green", "No"}}));
        editor.Form().txtName->setText("Hue");
        dialog.accept();
    });
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(Fields().Items(0).Name, "Hue");
    EXPECT_EQ(Fields().Items(0).Strings().lines,
              (std::vector<std::string>{"r|Red|Yes", "g|Green|No"}));
    EXPECT_EQ(List()->topLevelItem(0)->text(0), "Hue");
    EXPECT_TRUE(window->Modified());

    Save();
    ui.AnswerExec([](QDialog& dialog) {
        static_cast<TfrmFields&>(dialog).Form().txtName->setText("Lost");
        dialog.reject();
    });
    window->btnFormEditClick();
    EXPECT_EQ(Fields().Items(0).Name, "Hue");
    EXPECT_FALSE(window->Modified());
}

TEST_F(FormsPanelTest, RemovingAsksAndKeepsTheLastField) {
    OpenWithForm();
    AddField(fkText, "A");
    AddField(fkTextArea, "B");
    ClickRow(0);
    ui.AnswerMessage(mbNo);
    Click(F().btnFormRemove);
    EXPECT_EQ(ui.Messages().back().text, "Do you want to delete the selected field?");
    EXPECT_EQ(Fields().Count(), 2);

    Save();
    ui.AnswerMessage(mbYes);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(FieldNames(), std::vector<std::string>{"B"});
    EXPECT_EQ(RowNames(), std::vector<std::string>{"B"});
    EXPECT_TRUE(window->Modified());

    ClickRow(0);
    ui.AnswerMessage(mbYes);
    ui.AnswerMessage(mbOK);
    window->popFormsPopup(true);
    window->PopForms()->actions()[7]->trigger();  // "&Delete Field"
    EXPECT_EQ(ui.Messages().back().text, "There must be at least one form field.");
    EXPECT_EQ(Fields().Count(), 1);
}

TEST_F(FormsPanelTest, FieldsMoveByButtonsAndByDragging) {
    OpenWithForm();
    AddThree();
    ClickRow(0);
    EXPECT_FALSE(F().btnFormUp->isEnabled());
    EXPECT_TRUE(F().btnFormDown->isEnabled());
    window->popFormsPopup(true);
    EXPECT_TRUE(window->PopForms()->actions()[5]->isVisible());
    EXPECT_FALSE(window->PopForms()->actions()[8]->isEnabled());  // "Move Field &Up"
    EXPECT_TRUE(window->PopForms()->actions()[9]->isEnabled());

    Save();
    window->lvFormsDragDrop(List(), 2);
    EXPECT_EQ(FieldNames(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(List()->topLevelItem(2)->isSelected());
    EXPECT_FALSE(F().btnFormDown->isEnabled());

    Click(F().btnFormUp);
    EXPECT_EQ(FieldNames(), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(RowNames(), FieldNames());
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(1));
    window->popFormsPopup(true);
    window->PopForms()->actions()[9]->trigger();  // "Move Field Do&wn"
    EXPECT_EQ(FieldNames(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(List()->topLevelItem(2)->text(1), "Text Box");

    // Drops from elsewhere do nothing.
    QTreeWidget other;
    window->lvFormsDragDrop(&other, 0);
    EXPECT_EQ(FieldNames(), (std::vector<std::string>{"C", "B", "A"}));
}

TEST_F(FormsPanelTest, ClearAllAsksOnlyWhenThereAreFields) {
    OpenWithForm();
    EXPECT_TRUE(window->ClearAllFields());
    EXPECT_TRUE(ui.Messages().empty());
    AddThree();
    ui.AnswerMessage(mbCancel);
    Click(F().btnFormClear);
    EXPECT_EQ(ui.Messages().back().text, "Do you want to clear ALL the forms fields?");
    EXPECT_EQ(Fields().Count(), 3);
    Save();
    ui.AnswerMessage(mbYes);
    Click(F().btnFormClear);
    EXPECT_EQ(Fields().Count(), 0);
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_FALSE(F().btnFormClear->isEnabled());
    EXPECT_FALSE(F().btnFormEdit->isEnabled());
    EXPECT_TRUE(window->Modified());
}

TEST_F(FormsPanelTest, LoadingBasicFieldsWithoutAFieldBankUsesTheBuiltInList) {
    WriteFile(home + "Fields.ini", "[State]\nState0=CA|California\nState1=ON|Ontario\n");
    OpenWithForm();
    Save();
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Commonly Used Fields");
        QTest::mouseClick(static_cast<TfrmCommonFields&>(dialog).Form().btnOK, Qt::LeftButton);
    });
    Click(F().btnFormBasic);
    EXPECT_EQ(ReadBankSection(kDefaultFieldsSection, home + "Fields.ini"), BuiltInCommonFields());
    ASSERT_EQ(Fields().Count(), 6);
    EXPECT_EQ(FieldNames(), RowNames());
    const TFormElement& state = Fields().Items(4);
    EXPECT_EQ(state.FieldKind, fkDropDown);
    EXPECT_EQ(state.Strings().lines, (std::vector<std::string>{"CA|California", "ON|Ontario"}));
    EXPECT_EQ(Fields().Items(0).Strings().lines,
              (std::vector<std::string>{"Size=30", "Maxlength=100"}));
    EXPECT_EQ(List()->topLevelItem(4)->text(1), "Drop Down");
    EXPECT_TRUE(F().btnFormClear->isEnabled());
    EXPECT_TRUE(F().btnFormBasic->isEnabled());
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(FormsPanelTest, KeepingTheOldFieldsLeavesTheFormAndTheButtonUsable) {
    WriteFile(home + "Fields.ini", "[Default Fields]\nFIELD0=Phone|0\n");
    OpenWithForm();
    AddField(fkText, "Mine");
    ui.AnswerExec([](QDialog& dialog) { dialog.accept(); });
    ui.AnswerMessage(mbNo);
    Click(F().btnFormBasic);
    EXPECT_EQ(FieldNames(), std::vector<std::string>{"Mine"});
    EXPECT_EQ(RowNames(), std::vector<std::string>{"Mine"});
    EXPECT_TRUE(F().btnFormBasic->isEnabled());

    ui.AnswerExec([](QDialog& dialog) { dialog.accept(); });
    ui.AnswerMessage(mbYes);
    Click(F().btnFormBasic);
    EXPECT_EQ(FieldNames(), std::vector<std::string>{"Phone"});

    // Cancel in the field bank loads nothing.
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    Click(F().btnFormBasic);
    EXPECT_EQ(FieldNames(), std::vector<std::string>{"Phone"});
}

TEST_F(FormsPanelTest, AdvancedOptionsEditTheDocumentsFormOptions) {
    OpenWithForm();
    window->Document().HostName = true;
    Save();
    ui.AnswerExec([](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        EXPECT_EQ(dialog.windowTitle(), "E-mail Form Advanced Options");
        EXPECT_TRUE(o.chkHostname->isChecked());
        dialog.accept();
    });
    Click(F().btnFormOptions);
    EXPECT_FALSE(window->Modified());

    ui.AnswerExec([](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        QTest::keyClicks(o.txtFormTitle, "Order form");
        o.chkSort->setChecked(true);
        o.chkHostname->setChecked(false);
        QTest::mouseClick(o.btnOK, Qt::LeftButton);
    });
    Click(F().btnFormOptions);
    EXPECT_EQ(window->Document().FormTitle, "Order form");
    EXPECT_TRUE(window->Document().AlphaSort);
    EXPECT_FALSE(window->Document().HostName);
    EXPECT_TRUE(window->Modified());
}

// Where the form goes is the third choice of the advanced options: the host's FormMail (as
// before), the mail script, or a form service whose address must be one a form can post to.
TEST_F(FormsPanelTest, TheAdvancedOptionsChooseWhereTheFormGoes) {
    OpenShown();
    DropFromPalette(btForms, 1);
    AddField(fkText, "Name");
    Save();
    ui.AnswerExec([this](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        EXPECT_TRUE(o.optFormMail->isChecked());
        EXPECT_FALSE(o.txtFormService->isEnabled());
        // By keyboard, as the dialog's Alt letter says.
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
        QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return o.optMailScript->isChecked(); }));
        // Its What's This menu tells what each choice needs.
        const QPoint at(4, 4);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, o.optMailScript->mapToGlobal(at));
        QApplication::sendEvent(o.optMailScript, &click);
        EXPECT_EQ(window->WhatsThisContext(), kHelpFormService);
        window->PopWhatsThis()->hide();
        QTest::mouseClick(o.btnOK, Qt::LeftButton);
    });
    Click(F().btnFormOptions);
    EXPECT_EQ(window->Document().FormService, "script");
    EXPECT_TRUE(window->Modified());

    ui.AnswerExec([this](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        EXPECT_TRUE(o.optMailScript->isChecked());
        MainWindowTest::Click(o.optFormService);
        ASSERT_TRUE(o.txtFormService->isEnabled());
        QTest::keyClicks(o.txtFormService, "forms.x.example/f/1");
        const size_t shown = ui.Messages().size();
        ui.AnswerMessage(mbOK);
        QTest::mouseClick(o.btnOK, Qt::LeftButton);
        // Refused with a word on what to type; the dialog stays for the mended address.
        ASSERT_EQ(ui.Messages().size(), shown + 1);
        EXPECT_NE(ui.Messages().back().text.indexOf("https://"), -1);
        EXPECT_EQ(dialog.result(), 0);
        o.txtFormService->setText(" https://forms.x.example/f/1 ");
        QTest::mouseClick(o.btnOK, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    Click(F().btnFormOptions);
    EXPECT_EQ(window->Document().FormService, "https://forms.x.example/f/1");

    ui.AnswerExec([](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        EXPECT_EQ(o.txtFormService->text(), "https://forms.x.example/f/1");
        MainWindowTest::Click(o.optFormMail);
        QTest::mouseClick(o.btnCancel, Qt::LeftButton);
    });
    Click(F().btnFormOptions);
    EXPECT_EQ(window->Document().FormService, "https://forms.x.example/f/1");
    ui.AnswerExec([](QDialog& dialog) {
        MainWindowTest::Click(static_cast<TfrmCommonFields&>(dialog).Form().optFormMail);
        dialog.accept();
    });
    Click(F().btnFormOptions);
    EXPECT_EQ(window->Document().FormService, "");
}

TEST_F(FormsPanelTest, TheListFollowsDeletedOpenedAndNewDocuments) {
    OpenWithForm();
    AddThree();
    const std::string path = home + "TesselFiles/Form.pgx";
    Save();
    // Deleting the forms block takes the fields with it.
    F().lstBlocks->setCurrentRow(1);
    ui.AnswerMessage(mbYes);
    window->mnuDeleteClick();
    EXPECT_EQ(Fields().Count(), 0);
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_FALSE(F().btnFormEdit->isEnabled());

    window->OpenDocument(path);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "C"}));
    ui.AnswerMessage(mbNo);  // do not save the changes
    window->mnuNewClick();
    ui.DiscardAnswers();
    EXPECT_EQ(List()->topLevelItemCount(), 0);
}

TEST_F(FormsPanelTest, AFormWithEveryKindOfFieldGivesItsHtml) {
    OpenWithForm();
    QTest::keyClicks(F().txtFormAddress, "me@example.com");
    // The basic fields first, through the field bank's OK.
    ui.AnswerExec([](QDialog& dialog) {
        QTest::mouseClick(static_cast<TfrmCommonFields&>(dialog).Form().btnOK, Qt::LeftButton);
    });
    Click(F().btnFormBasic);
    ASSERT_EQ(Fields().Count(), 6);
    AddField(fkText, "Full Name", [](Ui::TfrmFields& e) {
        QTest::keyClicks(e.txtText, "Your name");
        QTest::keyClicks(e.txtValue, "Jo");
    });
    AddField(fkTextArea, "Notes", [](Ui::TfrmFields& e) {
        e.txtCols->setText("40");
        e.txtRows->setText("4");
    });
    AddField(fkRadio, "Size", [](Ui::TfrmFields& e) {
        test::AddChoice(e, "s", "Small", false);
        test::AddChoice(e, "l", "Large", true);
    });
    AddField(fkCheckBox, "Extras",
             [](Ui::TfrmFields& e) { test::AddChoice(e, "c", "Cheese Topping", true); });
    AddField(fkDropDown, "Day", [](Ui::TfrmFields& e) {
        test::AddChoice(e, "mo", "Monday", false);
        test::AddChoice(e, "tu", "Tues|day", false);
    });
    // Every advanced option on, through the dialog's own check boxes.
    ui.AnswerExec([](QDialog& dialog) {
        Ui::TfrmCommonFields& o = static_cast<TfrmCommonFields&>(dialog).Form();
        QTest::keyClicks(o.txtFormTitle, "Order");
        for (QCheckBox* box : {o.chkFooter, o.chkUseBorder, o.chkAddress, o.chkSubject, o.chkIP,
                               o.chkHostname, o.chkBrowser, o.chkBlankFields, o.chkSort}) {
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        }
        QTest::mouseClick(o.btnOK, Qt::LeftButton);
    });
    Click(F().btnFormOptions);
    Save();
    const std::unique_ptr<TPagelette> saved = ReadDocumentFile(home + "TesselFiles/Form.pgx");
    ASSERT_EQ(saved->WebForm().Count(), 11);
    const std::string html = saved->FormHTML();
    EXPECT_EQ(html, window->Document().FormHTML());
    EXPECT_NE(ReadFile(home + "Upload/Form.html").find(html), std::string::npos);
    for (const char* piece :
         {"NAME=\"sort\" VALUE=\"alphabetic\"", "NAME=\"print_blank_fields\" VALUE=\"1\"",
          "NAME=\"env_report\" VALUE=\"HTTP_USER_AGENT,REMOTE_HOST,REMOTE_ADDR\"",
          "NAME=\"print_config\" VALUE=\"email,subject\"", " BORDER=1>",
          "<FONT SIZE=5><B>Order</B></FONT>", "<a href=\"mailto:me@example.com\">"}) {
        EXPECT_NE(html.find(piece), std::string::npos) << piece;
    }
    for (const char* piece :
         {"<INPUT TYPE=\"HIDDEN\" NAME=\"recipient\" VALUE=\"me@example.com\">",
          "<TD WIDTH=30% VALIGN=TOP>Your name</TD>",
          "<INPUT NAME=\"full_name\" VALUE=\"Jo\" SIZE=\"30\">",
          "<TEXTAREA COLS=\"40\" ROWS=\"4\" NAME=\"notes\" WRAP=\"VIRTUAL\"></TEXTAREA>",
          "<INPUT TYPE=\"Radio\" NAME=\"size\" VALUE=\"s\"> Small<BR>",
          "<INPUT TYPE=\"Radio\" NAME=\"size\" VALUE=\"l\" CHECKED> Large<BR>",
          "<INPUT TYPE=\"CheckBox\" NAME=\"extras_cheese_topping\" VALUE=\"c\" CHECKED>",
          "<SELECT NAME=\"day\">", "<OPTION VALUE=\"tu\">Tuesday",
          "<INPUT NAME=\"e-mail\" VALUE=\"\" SIZE=\"30\">", "<SELECT NAME=\"state\">"}) {
        EXPECT_NE(html.find(piece), std::string::npos) << piece;
    }
}

}  // namespace
}  // namespace tessel

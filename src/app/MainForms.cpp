// The forms panel: the page's e-mail form, its fields in a list and the three addresses of
// the form. Every action writes into the document at once and marks it modified.

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

#include "app/Main.h"
#include "document/Exceptions.h"
#include "formfields/CommonFields.h"
#include "formfields/FieldRows.h"
#include "formfields/FormFields.h"
#include "formfields/ListViewDrag.h"
#include "formfields/core/FieldBank.h"
#include "platform/HelpContexts.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_Main.h"

namespace tessel {

namespace {

// Enter and Del in the field list.
class TFormsKeys : public QObject {
  public:
    TFormsKeys(QObject* parent, std::function<void()> enter, std::function<void()> del)
        : QObject(parent), enter_(std::move(enter)), delete_(std::move(del)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enter_();
            return true;
        }
        if (key == Qt::Key_Delete) {
            delete_();
            return true;
        }
        return false;
    }

  private:
    std::function<void()> enter_;
    std::function<void()> delete_;
};

constexpr const char* kAddItems[] = {"Text &Box", "Text &Area", "&Radio Button", "&Check Box",
                                     "&Drop Down List"};

}  // namespace

std::string TfrmMain::FieldsPath() const {
    return env_.programFolder + kFieldsFileName;
}

void TfrmMain::SetUpForms() {
    Ui::TfrmMain& f = *form_;
    SetUpFieldList(*f.lvForms, 175, 90);
    f.lvForms->setContextMenuPolicy(Qt::CustomContextMenu);

    popForms_ = new QMenu(this);
    popForms_->setObjectName(QStringLiteral("popForms"));
    for (int kind = fkText; kind <= fkDropDown; ++kind) {
        QAction* add = popForms_->addAction(
            QString::fromLatin1(kAddItems[kind]), this,
            [this, kind] { popFormsTextBoxClick(static_cast<TFieldKind>(kind)); });
        add->setObjectName(QStringLiteral("popFormsAdd%1").arg(kind));
    }
    const std::pair<const char*, void (TfrmMain::*)()> listItems[] = {
        {"&Edit Field", &TfrmMain::btnFormEditClick},
        {nullptr, nullptr},
        {"&Delete Field", &TfrmMain::btnFormRemoveClick},
        {"Move Field &Up", &TfrmMain::btnFormUpClick},
        {"Move Field Do&wn", &TfrmMain::btnFormDownClick}};
    for (const auto& [caption, handler] : listItems) {
        QAction* action = caption == nullptr
                              ? popForms_->addSeparator()
                              : popForms_->addAction(QString::fromLatin1(caption), this, handler);
        action->setVisible(false);
        popFormsListItems_.push_back(action);
    }

    connect(f.btnFormAdd, &QPushButton::clicked, this, &TfrmMain::btnFormAddClick);
    connect(f.btnFormEdit, &QPushButton::clicked, this, &TfrmMain::btnFormEditClick);
    connect(f.btnFormRemove, &QPushButton::clicked, this, &TfrmMain::btnFormRemoveClick);
    connect(f.btnFormUp, &QPushButton::clicked, this, &TfrmMain::btnFormUpClick);
    connect(f.btnFormDown, &QPushButton::clicked, this, &TfrmMain::btnFormDownClick);
    connect(f.btnFormClear, &QPushButton::clicked, this, &TfrmMain::btnFormClearClick);
    connect(f.btnFormBasic, &QPushButton::clicked, this, &TfrmMain::btnFormBasicClick);
    connect(f.btnFormOptions, &QPushButton::clicked, this, &TfrmMain::btnFormOptionsClick);
    connect(f.lvForms, &QTreeWidget::itemSelectionChanged, this, &TfrmMain::lvFormsSelectItem);
    connect(f.lvForms, &QTreeWidget::itemDoubleClicked, this, &TfrmMain::btnFormEditClick);
    connect(f.lvForms, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        popFormsPopup(true);
        popForms_->popup(form_->lvForms->viewport()->mapToGlobal(pos));
    });
    f.lvForms->installEventFilter(new TFormsKeys(
        this, [this] { btnFormEditClick(); }, [this] { btnFormRemoveClick(); }));
    auto* drag = new TListViewDrag(f.lvForms, Qt::LeftButton);
    connect(drag, &TListViewDrag::Dropped, this, [this](QTreeWidget* source, const QPoint& pos) {
        QTreeWidgetItem* target = form_->lvForms->itemAt(pos);
        if (target != nullptr)
            lvFormsDragDrop(source, form_->lvForms->indexOfTopLevelItem(target));
    });

    const std::pair<QWidget*, int> contexts[] = {{f.txtFormAddress, kHelpForms},
                                                 {f.txtFormSubject, kHelpForms},
                                                 {f.txtFormURL, kHelpForms},
                                                 {f.btnFormOptions, kHelpFormOptions},
                                                 {f.btnFormBasic, kHelpFormBasicFields}};
    for (const auto& [control, context] : contexts) AddWhatsThis(control, context);
    f.lvForms->setProperty("helpContext", kHelpForms);
    for (QLineEdit* edit : {f.txtFormAddress, f.txtFormSubject, f.txtFormURL})
        connect(edit, &QLineEdit::textChanged, this, &TfrmMain::MarkModified);
}

void TfrmMain::ShowForms() {
    Ui::TfrmMain& f = *form_;
    f.txtFormAddress->setText(ToQt(document_->Email));
    f.txtFormSubject->setText(ToQt(document_->Subject));
    f.txtFormURL->setText(ToQt(document_->Redirect));
    if (document_->WebForm().Count() != 0)
        f.btnFormClear->setEnabled(true);
}

void TfrmMain::StoreForms() {
    Ui::TfrmMain& f = *form_;
    document_->Email = FromQt(f.txtFormAddress->text());
    document_->Subject = FromQt(f.txtFormSubject->text());
    document_->Redirect = FromQt(f.txtFormURL->text());
}

void TfrmMain::ClearFormsList() {
    Ui::TfrmMain& f = *form_;
    f.lvForms->setUpdatesEnabled(false);
    f.lvForms->clear();
    f.lvForms->setUpdatesEnabled(true);
    for (QPushButton* button :
         {f.btnFormClear, f.btnFormUp, f.btnFormDown, f.btnFormRemove, f.btnFormEdit}) {
        button->setEnabled(false);
    }
}

void TfrmMain::RebuildFormsList() {
    ClearFormsList();
    const TWebForm& fields = document_->WebForm();
    for (int i = 0; i < fields.Count(); ++i) {
        const TFormElement& field = fields.Items(i);
        form_->lvForms->addTopLevelItem(NewFieldRow({field.Name, field.FieldKind}));
    }
    form_->btnFormClear->setEnabled(fields.Count() != 0);
}

QTreeWidgetItem* TfrmMain::SelectedFormRow() const {
    const QList<QTreeWidgetItem*> selected = form_->lvForms->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TfrmMain::btnFormAddClick() {
    popFormsPopup(false);
    QPushButton* add = form_->btnFormAdd;
    popForms_->popup(add->mapToGlobal(QPoint(0, add->height())));
}

void TfrmMain::popFormsPopup(bool onList) {
    Ui::TfrmMain& f = *form_;
    for (QAction* action : popFormsListItems_) action->setVisible(onList);
    if (!onList)
        return;
    popFormsListItems_[0]->setEnabled(f.btnFormEdit->isEnabled());
    popFormsListItems_[2]->setEnabled(f.btnFormRemove->isEnabled());
    popFormsListItems_[3]->setEnabled(f.btnFormUp->isEnabled());
    popFormsListItems_[4]->setEnabled(f.btnFormDown->isEnabled());
}

void TfrmMain::popFormsTextBoxClick(TFieldKind kind) {
    const TUndoableChange change(*this, "Form Fields", currentBlock_);
    TBusyCursor busy(ui_);
    TfrmFields editor(ui_, kind, this);
    AddContextHelp(editor);
    if (ui_.Exec(editor) == QDialog::Accepted)
        StoreFieldFromEditor(editor, true);
    form_->btnFormClear->setEnabled(form_->lvForms->topLevelItemCount() != 0);
}

void TfrmMain::btnFormEditClick() {
    QTreeWidgetItem* row = SelectedFormRow();
    if (row == nullptr)
        return;
    const TUndoableChange change(*this, "Form Fields", currentBlock_);
    TBusyCursor busy(ui_);
    TfrmFields editor(ui_, FieldOfRow(*row).Kind, this);
    AddContextHelp(editor);
    try {
        LoadFieldIntoEditor(editor);
    } catch (const EListError&) {
        return;
    }
    if (ui_.Exec(editor) == QDialog::Accepted)
        StoreFieldFromEditor(editor, false);
}

void TfrmMain::LoadFieldIntoEditor(TfrmFields& editor) {
    const int index = form_->lvForms->indexOfTopLevelItem(SelectedFormRow());
    editor.LoadValues(LoadFieldValues(document_->WebForm().Items(index), editor.Kind()));
}

void TfrmMain::StoreFieldFromEditor(TfrmFields& editor, bool isNew) {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* row = isNew ? nullptr : SelectedFormRow();
    if (!isNew && row == nullptr)
        return;
    TWebForm& fields = document_->WebForm();
    TFormElement& field = isNew ? fields.Add() : fields.Items(list->indexOfTopLevelItem(row));
    StoreFieldValues(editor.Values(), field);
    if (isNew) {
        row = NewFieldRow({field.Name, field.FieldKind});
        list->addTopLevelItem(row);
    } else {
        SetFieldRow(*row, {field.Name, field.FieldKind});
    }
    modified_ = true;
}

void TfrmMain::btnFormRemoveClick() {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* row = SelectedFormRow();
    if (row == nullptr)
        return;
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral("Do you want to delete the selected field?");
    question.buttons = mbYes | mbNo | mbCancel;
    if (ui_.Message(this, question) != mbYes)
        return;
    const TUndoableChange change(*this, "Form Fields", currentBlock_);
    if (list->topLevelItemCount() == 1) {
        ShowInfo(QStringLiteral("There must be at least one %1.").arg("form field"));
        return;
    }
    try {
        document_->WebForm().Delete(list->indexOfTopLevelItem(row));
        delete row;
        modified_ = true;
        if (QTreeWidgetItem* focused = list->currentItem())
            focused->setSelected(true);
    } catch (const EListError&) {
    }
    form_->btnFormClear->setEnabled(list->topLevelItemCount() != 0);
}

void TfrmMain::ExchangeFormRows(int from, int to) {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* first = list->topLevelItem(from);
    QTreeWidgetItem* second = list->topLevelItem(to);
    if (first == nullptr || second == nullptr || from == to)
        return;
    const TUndoableChange change(*this, "Form Fields", currentBlock_);
    try {
        TWebForm& fields = document_->WebForm();
        fields.Move(from, to);
        // Two neighbours exchange by one move; others need the second field moved back.
        if (std::abs(from - to) > 1)
            fields.Move(from < to ? to - 1 : to + 1, from);
    } catch (const EListError&) {
        return;
    }
    SwapFieldRows(*first, *second);
    list->setCurrentItem(second);
    second->setSelected(true);
    modified_ = true;
}

void TfrmMain::btnFormUpClick() {
    QTreeWidget* list = form_->lvForms;
    const int row = list->indexOfTopLevelItem(list->currentItem());
    if (row > 0)
        ExchangeFormRows(row, row - 1);
}

void TfrmMain::btnFormDownClick() {
    QTreeWidget* list = form_->lvForms;
    const int row = list->indexOfTopLevelItem(list->currentItem());
    if (row >= 0 && row + 1 < list->topLevelItemCount())
        ExchangeFormRows(row, row + 1);
}

void TfrmMain::lvFormsDragDrop(QTreeWidget* source, int targetRow) {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* selected = SelectedFormRow();
    if (source != list || selected == nullptr || list->topLevelItem(targetRow) == nullptr)
        return;
    ExchangeFormRows(list->indexOfTopLevelItem(selected), targetRow);
}

void TfrmMain::lvFormsSelectItem() {
    Ui::TfrmMain& f = *form_;
    QTreeWidget* list = f.lvForms;
    QTreeWidgetItem* row = SelectedFormRow();
    if (list->topLevelItemCount() != 0 && row != nullptr) {
        const int index = list->indexOfTopLevelItem(row);
        f.btnFormUp->setEnabled(index != 0);
        f.btnFormDown->setEnabled(index + 1 != list->topLevelItemCount());
    }
    f.btnFormRemove->setEnabled(row != nullptr);
    f.btnFormEdit->setEnabled(row != nullptr);
}

bool TfrmMain::ClearAllFields() {
    if (form_->lvForms->topLevelItemCount() == 0 && document_->WebForm().Count() == 0)
        return true;
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral("Do you want to clear ALL the forms fields?");
    question.buttons = mbYes | mbNo | mbCancel;
    if (ui_.Message(this, question) != mbYes)
        return false;
    const TUndoableChange change(*this, "Clear Form", currentBlock_);
    ClearFormsList();
    document_->WebForm().Clear();
    modified_ = true;
    return true;
}

void TfrmMain::btnFormClearClick() {
    ClearAllFields();
}

void TfrmMain::btnFormBasicClick() {
    TBusyCursor busy(ui_);
    TfrmCommonFields bank(ui_, cmFieldBank, FieldsPath(), this);
    if (ui_.Exec(bank) == QDialog::Accepted)
        LoadBasicFields();
}

void TfrmMain::LoadBasicFields() {
    const TUndoableChange change(*this, "Load Basic Fields", currentBlock_);
    Ui::TfrmMain& f = *form_;
    TBusyCursor busy(ui_);
    f.btnFormBasic->setEnabled(false);
    // The button comes back on every path, also when the user keeps the old fields.
    const std::unique_ptr<QPushButton, void (*)(QPushButton*)> enableAgain(
        f.btnFormBasic, [](QPushButton* button) { button->setEnabled(true); });
    if (!ClearAllFields())
        return;
    const std::vector<TBankField> loaded = AppendBasicFields(document_->WebForm(), FieldsPath());
    for (const TBankField& field : loaded) f.lvForms->addTopLevelItem(NewFieldRow(field));
    f.btnFormClear->setEnabled(f.lvForms->topLevelItemCount() != 0);
    modified_ = true;
}

void TfrmMain::btnFormOptionsClick() {
    const TUndoableChange change(*this, "Form Options", currentBlock_);
    TBusyCursor busy(ui_);
    TfrmCommonFields options(ui_, cmAdvancedOptions, FieldsPath(), this);
    options.SetOptions(FormOptionsOf(*document_));
    AddContextHelp(options);
    if (ui_.Exec(options) == QDialog::Accepted && ApplyFormOptions(options.Options(), *document_))
        modified_ = true;
}

}  // namespace tessel

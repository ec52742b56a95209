#include "formfields/CommonFields.h"

#include <QKeyEvent>
#include <QRadioButton>
#include <QTreeWidget>

#include "document/Exceptions.h"
#include "formfields/FieldRows.h"
#include "formfields/ListViewDrag.h"
#include "html/FormDelivery.h"
#include "platform/HelpContexts.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_CommonFields.h"

namespace tessel {

TfrmCommonFields::TfrmCommonFields(TUiServices& ui, TCommonFieldsMode mode, std::string fieldsPath,
                                   QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      mode_(mode),
      fieldsPath_(std::move(fieldsPath)),
      form_(std::make_unique<Ui::TfrmCommonFields>()) {
    form_->setupUi(this);
    setProperty("helpContext", mode == cmFieldBank ? kHelpFormBasicFields : kHelpFormOptions);
    Ui::TfrmCommonFields& f = *form_;
    setObjectName(QStringLiteral("frmCommonFields"));
    SetUpFieldList(*f.lvForms, 175, 90);
    SetUpFieldList(*f.lvFieldBank, 175, 90);
    f.btnMoveUp->setIcon(PictureIcon(QStringLiteral("glyphUp")));
    f.btnMoveDown->setIcon(PictureIcon(QStringLiteral("glyphDown")));
    f.btnMoveUp->setEnabled(false);
    f.btnMoveDown->setEnabled(false);

    const Qt::MouseButtons anyButton = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
    auto* commonDrag = new TListViewDrag(f.lvForms, anyButton);
    auto* bankDrag = new TListViewDrag(f.lvFieldBank, anyButton);
    connect(commonDrag, &TListViewDrag::Dropped, this, &TfrmCommonFields::lvFormsDragDrop);
    connect(bankDrag, &TListViewDrag::Dropped, this,
            [this](QTreeWidget* source, const QPoint&) { lvFieldBankDragDrop(source); });
    connect(f.lvForms, &QTreeWidget::itemSelectionChanged, this,
            &TfrmCommonFields::lvFormsSelectItem);
    connect(f.btnMoveUp, &QPushButton::clicked, this, &TfrmCommonFields::btnMoveUpClick);
    connect(f.btnMoveDown, &QPushButton::clicked, this, &TfrmCommonFields::btnMoveDownClick);
    connect(f.btnReset, &QPushButton::clicked, this, &TfrmCommonFields::btnResetClick);
    connect(f.btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(f.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    f.lvForms->installEventFilter(this);
    f.lvFieldBank->installEventFilter(this);
    for (QRadioButton* choice : {f.optFormMail, f.optMailScript, f.optFormService})
        connect(choice, &QRadioButton::toggled, this, &TfrmCommonFields::FormServiceChosen);
    for (QWidget* control : f.grpFormService->findChildren<QWidget*>())
        control->setProperty("helpContext", kHelpFormService);
    f.grpFormService->setProperty("helpContext", kHelpFormService);
    f.optFormMail->setChecked(true);

    if (mode_ == cmAdvancedOptions) {
        f.btnReset->hide();
        f.pnlPages->setCurrentWidget(f.pnlOptions);
        setWindowTitle(QStringLiteral("E-mail Form Advanced Options"));
    } else {
        f.pnlPages->setCurrentWidget(f.pnlFieldBank);
        ReadLists();
    }
}

TfrmCommonFields::~TfrmCommonFields() = default;

void TfrmCommonFields::FillList(QTreeWidget& list, const std::vector<TBankField>& fields) {
    list.clear();
    for (const TBankField& field : fields) list.addTopLevelItem(NewFieldRow(field));
}

void TfrmCommonFields::ReadLists() {
    const auto common = ReadBankSection(kDefaultFieldsSection, fieldsPath_);
    FillList(*form_->lvForms, common.value_or(BuiltInCommonFields()));
    if (!common)
        changed_ = true;
    const auto bank = ReadBankSection(kFieldBankSection, fieldsPath_);
    FillList(*form_->lvFieldBank, bank.value_or(BuiltInFieldBank()));
    if (!bank)
        changed_ = true;
}

std::vector<TBankField> TfrmCommonFields::CommonFields() const {
    std::vector<TBankField> fields;
    for (int i = 0; i < form_->lvForms->topLevelItemCount(); ++i)
        fields.push_back(FieldOfRow(*form_->lvForms->topLevelItem(i)));
    return fields;
}

void TfrmCommonFields::SetOptions(const TFormOptions& options) {
    Ui::TfrmCommonFields& f = *form_;
    f.txtFormTitle->setText(ToQt(options.FormTitle));
    f.chkFooter->setChecked(options.FormFooter);
    f.chkUseBorder->setChecked(options.Border);
    f.chkAddress->setChecked(options.EmailAddress);
    f.chkSubject->setChecked(options.EmailSubject);
    f.chkIP->setChecked(options.EnvReport);
    f.chkHostname->setChecked(options.HostName);
    f.chkBrowser->setChecked(options.BrowserUsed);
    f.chkBlankFields->setChecked(options.BlankFields);
    f.chkSort->setChecked(options.AlphaSort);
    switch (FormDeliveryOf(options.FormService)) {
        case TFormDelivery::HostFormMail:
            f.optFormMail->setChecked(true);
            break;
        case TFormDelivery::MailScript:
            f.optMailScript->setChecked(true);
            break;
        case TFormDelivery::FormService:
            f.optFormService->setChecked(true);
            f.txtFormService->setText(ToQt(options.FormService));
            break;
    }
    FormServiceChosen();
}

void TfrmCommonFields::FormServiceChosen() {
    form_->txtFormService->setEnabled(form_->optFormService->isChecked());
}

TFormOptions TfrmCommonFields::Options() const {
    Ui::TfrmCommonFields& f = *form_;
    TFormOptions options;
    options.FormTitle = FromQt(f.txtFormTitle->text());
    options.FormFooter = f.chkFooter->isChecked();
    options.Border = f.chkUseBorder->isChecked();
    options.EmailAddress = f.chkAddress->isChecked();
    options.EmailSubject = f.chkSubject->isChecked();
    options.EnvReport = f.chkIP->isChecked();
    options.HostName = f.chkHostname->isChecked();
    options.BrowserUsed = f.chkBrowser->isChecked();
    options.BlankFields = f.chkBlankFields->isChecked();
    options.AlphaSort = f.chkSort->isChecked();
    if (f.optMailScript->isChecked()) {
        options.FormService = kFormServiceScript;
    } else if (f.optFormService->isChecked()) {
        options.FormService = FromQt(f.txtFormService->text().trimmed());
    }
    return options;
}

void TfrmCommonFields::done(int result) {
    if (result == Accepted && mode_ == cmAdvancedOptions && form_->optFormService->isChecked()) {
        if (const auto problem = FormServiceProblem(Options().FormService)) {
            TMessage message;
            message.kind = TMsgKind::Information;
            message.text = ToQt(*problem);
            ui_.Message(this, message);
            form_->txtFormService->setFocus();
            return;
        }
    }
    if (result == Accepted && mode_ == cmFieldBank && changed_) {
        try {
            WriteDefaultFields(CommonFields(), fieldsPath_);
        } catch (const ETesselError& error) {
            TMessage message;
            message.kind = TMsgKind::Error;
            message.text = QStringLiteral("The field bank could not be saved: %1")
                               .arg(QString::fromUtf8(error.what()));
            ui_.Message(this, message);
            return;
        }
    }
    QDialog::done(result);
}

QTreeWidgetItem* TfrmCommonFields::SelectedCommonRow() const {
    const QList<QTreeWidgetItem*> selected = form_->lvForms->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TfrmCommonFields::SelectRow(QTreeWidgetItem* row) {
    form_->lvForms->setCurrentItem(row);
    row->setSelected(true);
}

void TfrmCommonFields::lvFormsDragDrop(QTreeWidget* source, const QPoint& viewportPos) {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* target = list->itemAt(viewportPos);
    if (source == form_->lvFieldBank) {
        QTreeWidgetItem* dragged = source->currentItem();
        if (dragged == nullptr)
            return;
        const TBankField field = FieldOfRow(*dragged);
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (SameText(FromQt(list->topLevelItem(i)->text(0)), field.Name)) {
                SelectRow(list->topLevelItem(i));
                return;
            }
        }
        QTreeWidgetItem* copy = NewFieldRow(field);
        const int index =
            target != nullptr ? list->indexOfTopLevelItem(target) : list->topLevelItemCount();
        list->insertTopLevelItem(index, copy);
        SelectRow(copy);
        changed_ = true;
    } else if (source == list) {
        QTreeWidgetItem* dragged = SelectedCommonRow();
        if (dragged == nullptr || target == nullptr || target == dragged)
            return;
        SwapFieldRows(*dragged, *target);
        SelectRow(target);
        changed_ = true;
    }
}

void TfrmCommonFields::lvFieldBankDragDrop(QTreeWidget* source) {
    if (source == form_->lvForms)
        RemoveCommonRow();
}

void TfrmCommonFields::RemoveCommonRow() {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* row = SelectedCommonRow();
    if (row == nullptr)
        return;
    if (list->topLevelItemCount() == 1) {
        TMessage message;
        message.kind = TMsgKind::Information;
        message.text = QStringLiteral("There must be at least one %1.").arg("form field");
        ui_.Message(this, message);
        return;
    }
    delete row;
    changed_ = true;
    if (QTreeWidgetItem* focused = list->currentItem())
        SelectRow(focused);
}

void TfrmCommonFields::lvFormsSelectItem() {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* row = SelectedCommonRow();
    const int index = row != nullptr ? list->indexOfTopLevelItem(row) : -1;
    form_->btnMoveUp->setEnabled(row != nullptr && index != 0);
    form_->btnMoveDown->setEnabled(row != nullptr && index + 1 != list->topLevelItemCount());
}

void TfrmCommonFields::MoveFocusedRow(int step) {
    QTreeWidget* list = form_->lvForms;
    QTreeWidgetItem* row = list->currentItem();
    if (row == nullptr)
        return;
    QTreeWidgetItem* other = list->topLevelItem(list->indexOfTopLevelItem(row) + step);
    if (other == nullptr)
        return;
    SwapFieldRows(*row, *other);
    SelectRow(other);
    changed_ = true;
}

void TfrmCommonFields::btnMoveUpClick() {
    MoveFocusedRow(-1);
}

void TfrmCommonFields::btnMoveDownClick() {
    MoveFocusedRow(1);
}

void TfrmCommonFields::btnResetClick() {
    FillList(*form_->lvForms, BuiltInCommonFields());
    changed_ = true;
}

bool TfrmCommonFields::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_->lvForms && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveCommonRow();
        return true;
    }
    // Enter on a bank field adds it to the end of the list, as dropping it below the rows does.
    if (watched == form_->lvFieldBank && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lvFormsDragDrop(form_->lvFieldBank, QPoint(-1, -1));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tessel

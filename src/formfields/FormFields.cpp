#include "formfields/FormFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include "formfields/ListViewDrag.h"
#include "platform/HelpContexts.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_FormFields.h"

namespace tessel {

namespace {

constexpr int kSampleWidth = 250;
constexpr int kValueColumn = 0;
constexpr int kTextColumn = 1;
constexpr int kMarkColumn = 2;

QString KindName(TFieldKind kind) {
    return QString::fromLatin1(FieldKindName(kind));
}

}  // namespace

TfrmFields::TfrmFields(TUiServices& ui, TFieldKind kind, QWidget* parent)
    : QDialog(parent), ui_(ui), kind_(kind), form_(std::make_unique<Ui::TfrmFields>()) {
    form_->setupUi(this);
    setProperty("helpContext", kHelpFieldBase + kind);
    Ui::TfrmFields& f = *form_;
    setObjectName(QStringLiteral("frmFields"));
    QPalette white = f.pnlSample->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    f.pnlSample->setPalette(white);
    f.cbSize->addItems({"10", "20", "30", "40", "50", "60"});
    f.cbSize->setCurrentText(QStringLiteral("30"));
    f.btnAdd->setIcon(PictureIcon(QStringLiteral("glyphAdd")));
    f.btnDelete->setIcon(PictureIcon(QStringLiteral("glyphRemove")));
    f.btnEdit->setIcon(PictureIcon(QStringLiteral("glyphEdit")));
    f.btnDelete->setEnabled(false);
    f.btnEdit->setEnabled(false);
    f.pnlDropText->hide();

    popOptions_ = new QMenu(this);
    popOptions_->setObjectName(QStringLiteral("popOptions"));
    popEdit_ =
        popOptions_->addAction(QStringLiteral("&Edit Item"), this, &TfrmFields::btnEditClick);
    popOptions_->addSeparator();
    popAdd_ = popOptions_->addAction(QStringLiteral("&Add Item"), this, &TfrmFields::btnAddClick);
    popDelete_ =
        popOptions_->addAction(QStringLiteral("&Delete Item"), this, &TfrmFields::btnDeleteClick);
    popEdit_->setObjectName(QStringLiteral("popEdit"));
    popAdd_->setObjectName(QStringLiteral("popAdd"));
    popDelete_->setObjectName(QStringLiteral("popDelete"));

    const int help = kHelpFieldBase + kind_;
    for (QWidget* edit : {static_cast<QWidget*>(f.txtText), static_cast<QWidget*>(f.txtName),
                          static_cast<QWidget*>(f.txtValue)}) {
        edit->setProperty("helpContext", help);
    }
    f.cbSize->setProperty("helpContext", kHelpFieldBase + fkText);
    f.txtRows->setProperty("helpContext", kHelpFieldBase + fkTextArea);
    f.txtCols->setProperty("helpContext", kHelpFieldBase + fkTextArea);

    connect(f.txtName, &QLineEdit::textChanged, this, &TfrmFields::txtNameChange);
    connect(f.txtValue, &QLineEdit::textChanged, this, &TfrmFields::txtValueChange);
    connect(f.btnAdd, &QPushButton::clicked, this, &TfrmFields::btnAddClick);
    connect(f.btnEdit, &QPushButton::clicked, this, &TfrmFields::btnEditClick);
    connect(f.btnDelete, &QPushButton::clicked, this, &TfrmFields::btnDeleteClick);
    connect(f.txtDropValue, &QLineEdit::textChanged, this, &TfrmFields::txtDropChange);
    connect(f.txtDropText, &QLineEdit::textChanged, this, &TfrmFields::txtDropChange);
    connect(f.btnDropApply, &QPushButton::clicked, this, &TfrmFields::btnDropApplyClick);
    connect(f.btnDropCancel, &QPushButton::clicked, this, &TfrmFields::btnDropCancelClick);
    connect(f.lvDropDown, &QTreeWidget::itemSelectionChanged, this,
            &TfrmFields::lvDropDownSelectItem);
    connect(f.lvDropDown, &QTreeWidget::itemDoubleClicked, this, &TfrmFields::btnEditClick);
    connect(f.lvDropDown, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        popOptionsPopup();
        popOptions_->popup(form_->lvDropDown->viewport()->mapToGlobal(pos));
    });
    connect(popOptions_, &QMenu::aboutToShow, this, &TfrmFields::popOptionsPopup);
    auto* drag = new TListViewDrag(f.lvDropDown, Qt::LeftButton);
    connect(drag, &TListViewDrag::Dropped, this, [this](QTreeWidget* source, const QPoint& pos) {
        QTreeWidgetItem* target = form_->lvDropDown->itemAt(pos);
        if (target != nullptr)
            lvDropDownDragDrop(source, form_->lvDropDown->indexOfTopLevelItem(target));
    });
    connect(f.btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(f.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* watched :
         {static_cast<QWidget*>(f.txtName), static_cast<QWidget*>(f.lvDropDown),
          static_cast<QWidget*>(f.txtDropValue), static_cast<QWidget*>(f.txtDropText)}) {
        watched->installEventFilter(this);
    }

    ShowKind();
}

TfrmFields::~TfrmFields() = default;

void TfrmFields::ShowKind() {
    Ui::TfrmFields& f = *form_;
    const bool textBox = kind_ == fkText;
    const bool choices = kind_ == fkRadio || kind_ == fkCheckBox || kind_ == fkDropDown;
    f.lblSize->setVisible(textBox);
    f.cbSize->setVisible(textBox);
    f.pnlRowsCols->setVisible(kind_ == fkTextArea);
    f.pnlChoices->setVisible(choices);
    if (kind_ == fkTextArea)
        f.txtValue->setEnabled(false);
    if (kind_ == fkRadio) {
        f.chkCheck->setText(QStringLiteral("Selected"));
        f.lvDropDown->headerItem()->setText(kMarkColumn, QStringLiteral("Selected"));
    } else if (kind_ == fkCheckBox) {
        f.chkCheck->setText(QStringLiteral("Chec&ked"));
        f.lvDropDown->headerItem()->setText(kMarkColumn, QStringLiteral("Checked"));
    } else if (kind_ == fkDropDown) {
        f.chkCheck->hide();
        f.lvDropDown->setColumnHidden(kMarkColumn, true);
    }
}

void TfrmFields::LoadValues(const TFieldValues& values) {
    Ui::TfrmFields& f = *form_;
    f.txtName->setText(ToQt(values.Name));
    f.txtValue->setText(ToQt(values.Value));
    f.txtText->setPlainText(ToQtLines(values.Text));
    if (kind_ == fkText)
        f.cbSize->setCurrentText(ToQt(values.Size));
    if (kind_ == fkTextArea) {
        f.txtCols->setText(ToQt(values.Cols));
        f.txtRows->setText(ToQt(values.Rows));
    }
    if (kind_ == fkRadio || kind_ == fkCheckBox || kind_ == fkDropDown) {
        f.lvDropDown->clear();
        for (const TChoiceRow& row : values.Choices) {
            f.lvDropDown->addTopLevelItem(
                new QTreeWidgetItem(QStringList{ToQt(row.Value), ToQt(row.Text), ToQt(row.Mark)}));
        }
    }
}

TFieldValues TfrmFields::Values() const {
    Ui::TfrmFields& f = *form_;
    TFieldValues values;
    values.Kind = kind_;
    values.Name = FromQt(f.txtName->text());
    values.Value = FromQt(f.txtValue->text());
    values.Text = FromQtLines(f.txtText->toPlainText());
    values.Size = FromQt(f.cbSize->currentText());
    values.Cols = FromQt(f.txtCols->text());
    values.Rows = FromQt(f.txtRows->text());
    for (int i = 0; i < f.lvDropDown->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = f.lvDropDown->topLevelItem(i);
        values.Choices.push_back({FromQt(row->text(kValueColumn)), FromQt(row->text(kTextColumn)),
                                  FromQt(row->text(kMarkColumn))});
    }
    return values;
}

void TfrmFields::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmFields::FormShow() {
    CreateSample();
    if (form_->txtName->text().isEmpty())
        form_->txtName->setText(QStringLiteral("Untitled"));
    txtNameChange();
    form_->lblSampleCaption->setText(
        QStringLiteral("Here is a sample of a %1").arg(KindName(kind_)));
}

void TfrmFields::CreateSample() {
    Ui::TfrmFields& f = *form_;
    delete sample_;
    sample_ = nullptr;
    const QRect label = f.lblPageText->geometry();
    const QPoint topLeft(label.right() + 1 + 10, label.top());
    switch (kind_) {
        case fkText: {
            auto* edit = new QLineEdit(f.pnlSample);
            edit->setText(f.txtValue->text());
            edit->setGeometry(QRect(topLeft, QSize(kSampleWidth, edit->sizeHint().height())));
            sample_ = edit;
            break;
        }
        case fkTextArea: {
            auto* memo = new QPlainTextEdit(f.pnlSample);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            memo->setGeometry(topLeft.x(), 0, kSampleWidth, f.pnlSample->height() - 2);
            sample_ = memo;
            break;
        }
        case fkRadio: {
            auto* radio = new QRadioButton(QStringLiteral("A radio button"), f.pnlSample);
            radio->setChecked(true);
            radio->move(topLeft);
            sample_ = radio;
            break;
        }
        case fkCheckBox: {
            auto* box = new QCheckBox(QStringLiteral("A check box"), f.pnlSample);
            box->setChecked(true);
            box->move(topLeft);
            sample_ = box;
            break;
        }
        case fkDropDown: {
            auto* combo = new QComboBox(f.pnlSample);
            combo->setGeometry(QRect(topLeft, QSize(kSampleWidth, combo->sizeHint().height())));
            sample_ = combo;
            RebuildDropDownSample();
            break;
        }
        case fkButton:
            break;
    }
    if (sample_ != nullptr) {
        sample_->setObjectName(QStringLiteral("ctlSample"));
        // Only a picture of the field: Tab passes it by.
        sample_->setFocusPolicy(Qt::NoFocus);
        sample_->show();
    }
}

void TfrmFields::RebuildDropDownSample() {
    auto* combo = qobject_cast<QComboBox*>(sample_);
    if (combo == nullptr || kind_ != fkDropDown)
        return;
    combo->clear();
    QTreeWidget* list = form_->lvDropDown;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        combo->addItem(list->topLevelItem(i)->text(kTextColumn));
    if (combo->count() == 0)
        combo->addItems({QStringLiteral("One Selection"), QStringLiteral("Two Selection")});
    combo->setCurrentIndex(0);
}

void TfrmFields::txtNameChange() {
    setWindowTitle(ToQt(FieldEditorCaption(kind_, FromQt(form_->txtName->text()))));
}

void TfrmFields::txtNameExit() {
    if (!form_->txtName->text().isEmpty())
        return;
    ShowNameRequired();
}

void TfrmFields::ShowNameRequired() {
    TMessage message;
    message.kind = TMsgKind::Information;
    message.text = QStringLiteral(
        "The Name field is a required field. Please include a unique name for the field.");
    form_->txtName->setText(QStringLiteral("Untitled"));
    ui_.Message(this, message);
}

void TfrmFields::txtValueChange() {
    if (auto* edit = qobject_cast<QLineEdit*>(sample_); edit != nullptr && kind_ == fkText)
        edit->setText(form_->txtValue->text());
}

QTreeWidgetItem* TfrmFields::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = form_->lvDropDown->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

// A browser drops a control without a name, so that field would never reach the mail.
void TfrmFields::accept() {
    if (form_->txtName->text().isEmpty()) {
        ShowNameRequired();
        form_->txtName->setFocus();
        form_->txtName->selectAll();
        return;
    }
    QDialog::accept();
}

bool TfrmFields::ChoicePanelOpen() const {
    return form_->pnlDropText->isVisibleTo(this);
}

void TfrmFields::btnAddClick() {
    if (ChoicePanelOpen())
        return;
    Ui::TfrmFields& f = *form_;
    editedRow_ = nullptr;
    f.txtDropValue->clear();
    f.txtDropText->clear();
    f.chkCheck->setChecked(false);
    OpenChoicePanel();
}

void TfrmFields::btnEditClick() {
    if (ChoicePanelOpen())
        return;
    Ui::TfrmFields& f = *form_;
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr)
        return;
    editedRow_ = row;
    f.txtDropValue->setText(row->text(kValueColumn));
    f.txtDropText->setText(row->text(kTextColumn));
    f.chkCheck->setChecked(row->text(kMarkColumn) == QStringLiteral("Yes"));
    OpenChoicePanel();
}

// While a choice is edited the list and what acts on it are locked, so Apply writes the row
// that was opened; OK waits too, so the typed choice is not dropped.
void TfrmFields::SetChoiceListLocked(bool locked) {
    Ui::TfrmFields& f = *form_;
    f.lvDropDown->setEnabled(!locked);
    f.btnAdd->setEnabled(!locked);
    f.btnOK->setEnabled(!locked);
    lvDropDownSelectItem();
}

void TfrmFields::OpenChoicePanel() {
    Ui::TfrmFields& f = *form_;
    f.pnlDropText->show();
    f.pnlDropText->raise();
    SetChoiceListLocked(true);
    f.txtDropValue->setFocus();
}

void TfrmFields::txtDropChange(const QString& text) {
    form_->btnDropApply->setEnabled(!text.isEmpty());
}

void TfrmFields::btnDropApplyClick() {
    Ui::TfrmFields& f = *form_;
    QTreeWidget* list = f.lvDropDown;
    QTreeWidgetItem* row = list->indexOfTopLevelItem(editedRow_) >= 0 ? editedRow_ : nullptr;
    if (row == nullptr) {
        row = new QTreeWidgetItem;
        list->addTopLevelItem(row);
    }
    row->setText(kValueColumn, f.txtDropValue->text());
    row->setText(kTextColumn, f.txtDropText->text());
    const bool checked = kind_ != fkDropDown && f.chkCheck->isChecked();
    if (kind_ == fkRadio && checked) {
        // A radio group has at most one selected choice.
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->text(kMarkColumn) == QStringLiteral("Yes"))
                list->topLevelItem(i)->setText(kMarkColumn, QStringLiteral("No"));
        }
    }
    row->setText(kMarkColumn, checked ? QStringLiteral("Yes") : QStringLiteral("No"));
    CloseChoicePanel();
}

void TfrmFields::btnDropCancelClick() {
    CloseChoicePanel();
}

void TfrmFields::CloseChoicePanel() {
    Ui::TfrmFields& f = *form_;
    RebuildDropDownSample();
    f.txtDropValue->clear();
    f.txtDropText->clear();
    f.chkCheck->setChecked(false);
    f.pnlDropText->hide();
    editedRow_ = nullptr;
    SetChoiceListLocked(false);
    f.lvDropDown->setFocus();
}

void TfrmFields::btnDeleteClick() {
    QTreeWidget* list = form_->lvDropDown;
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr || ChoicePanelOpen())
        return;
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    // "seleted" (sic): the question is kept word for word as the program has always asked it.
    question.text = QStringLiteral("Do you want to delete the seleted item?");
    question.buttons = mbYes | mbNo | mbCancel;
    if (ui_.Message(this, question) != mbYes)
        return;
    if (list->topLevelItemCount() == 1) {
        TMessage message;
        message.kind = TMsgKind::Information;
        // The shared message with this item name reads "...drop down box." with one period.
        message.text = QStringLiteral("There must be at least one %1.")
                           .arg(QStringLiteral("item in the drop down box"));
        ui_.Message(this, message);
        return;
    }
    delete row;
    if (QTreeWidgetItem* focused = list->currentItem())
        focused->setSelected(true);
    RebuildDropDownSample();
}

void TfrmFields::lvDropDownSelectItem() {
    const bool selected = SelectedRow() != nullptr && !ChoicePanelOpen();
    form_->btnDelete->setEnabled(selected);
    form_->btnEdit->setEnabled(selected);
}

void TfrmFields::popOptionsPopup() {
    const bool selected = SelectedRow() != nullptr && !ChoicePanelOpen();
    popEdit_->setEnabled(selected);
    popDelete_->setEnabled(selected);
}

void TfrmFields::lvDropDownDragDrop(QTreeWidget* source, int targetRow) {
    QTreeWidget* list = form_->lvDropDown;
    QTreeWidgetItem* dragged = SelectedRow();
    QTreeWidgetItem* target = list->topLevelItem(targetRow);
    if (source != list || dragged == nullptr || target == nullptr || dragged == target ||
        ChoicePanelOpen()) {
        return;
    }
    // Value and text change places; the marks stay in their rows.
    for (int column : {kValueColumn, kTextColumn}) {
        const QString text = dragged->text(column);
        dragged->setText(column, target->text(column));
        target->setText(column, text);
    }
    list->setCurrentItem(target);
    RebuildDropDownSample();
}

// Escape while a choice is edited leaves the choice, not the dialog.
void TfrmFields::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && ChoicePanelOpen()) {
        btnDropCancelClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmFields::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_->txtName && event->type() == QEvent::FocusOut) {
        // Another window taking the focus (the message box among them) is not leaving the edit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtNameExit();
    } else if ((watched == form_->txtDropValue || watched == form_->txtDropText) &&
               event->type() == QEvent::KeyPress) {
        // Enter in a choice's edits applies the choice, not the dialog's OK.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (form_->btnDropApply->isEnabled())
                btnDropApplyClick();
            return true;
        }
    } else if (watched == form_->lvDropDown && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnEditClick();
            return true;
        }
        if (key == Qt::Key_Delete) {
            btnDeleteClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tessel

#pragma once

// The form field editor: one field of the page's e-mail form, with a live sample of it and,
// for radio groups, check boxes and drop-down lists, the list of its choices.

#include <QDialog>
#include <memory>

#include "formfields/core/FieldStrings.h"

class QMenu;
class QAction;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class TfrmFields;
}

namespace tessel {

class TUiServices;

class TfrmFields : public QDialog {
    Q_OBJECT

  public:
    // `kind` is the kind of the field the dialog edits.
    TfrmFields(TUiServices& ui, TFieldKind kind, QWidget* parent = nullptr);
    ~TfrmFields() override;

    Ui::TfrmFields& Form() const { return *form_; }
    TFieldKind Kind() const { return kind_; }
    QMenu* PopOptions() const { return popOptions_; }
    QWidget* Sample() const { return sample_; }

    // Fills the controls from a field (before the dialog is shown).
    void LoadValues(const TFieldValues& values);
    // What the controls hold.
    TFieldValues Values() const;

  public slots:
    void txtNameChange();
    void txtNameExit();
    void txtValueChange();
    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void txtDropChange(const QString& text);
    void btnDropApplyClick();
    void btnDropCancelClick();
    void lvDropDownSelectItem();
    void lvDropDownDragDrop(QTreeWidget* source, int targetRow);
    void popOptionsPopup();
    // OK: refused while the name is empty, with the same message as leaving the edit empty.
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShow();
    void ShowKind();
    void CreateSample();
    void RebuildDropDownSample();
    void ShowNameRequired();
    bool ChoicePanelOpen() const;
    void OpenChoicePanel();
    void CloseChoicePanel();
    void SetChoiceListLocked(bool locked);
    QTreeWidgetItem* SelectedRow() const;

    TUiServices& ui_;
    TFieldKind kind_;
    std::unique_ptr<Ui::TfrmFields> form_;
    QMenu* popOptions_ = nullptr;
    QAction* popEdit_ = nullptr;
    QAction* popAdd_ = nullptr;
    QAction* popDelete_ = nullptr;
    QWidget* sample_ = nullptr;
    // The row the choice panel edits; null while it adds one.
    QTreeWidgetItem* editedRow_ = nullptr;
};

}  // namespace tessel

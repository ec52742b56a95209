#pragma once

// The field bank dialog: in its first mode the user's common fields, picked by dragging from
// the field bank and saved to "Fields.ini" on OK; in its second mode the e-mail form's
// advanced options.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "formfields/core/FieldBank.h"
#include "formfields/core/FormOptions.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class TfrmCommonFields;
}

namespace tessel {

class TUiServices;

enum TCommonFieldsMode { cmFieldBank = 0, cmAdvancedOptions = 1 };

class TfrmCommonFields : public QDialog {
    Q_OBJECT

  public:
    // In field bank mode the lists are read from the file at `fieldsPath`.
    TfrmCommonFields(TUiServices& ui, TCommonFieldsMode mode, std::string fieldsPath,
                     QWidget* parent = nullptr);
    ~TfrmCommonFields() override;

    Ui::TfrmCommonFields& Form() const { return *form_; }
    bool Changed() const { return changed_; }
    std::vector<TBankField> CommonFields() const;

    void SetOptions(const TFormOptions& options);
    TFormOptions Options() const;

    // OK in field bank mode writes the common list first; a failed write keeps the dialog open.
    void done(int result) override;

  public slots:
    void lvFormsDragDrop(QTreeWidget* source, const QPoint& viewportPos);
    void lvFieldBankDragDrop(QTreeWidget* source);
    void lvFormsSelectItem();
    void btnMoveUpClick();
    void btnMoveDownClick();
    void btnResetClick();
    void RemoveCommonRow();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormServiceChosen();
    void FillList(QTreeWidget& list, const std::vector<TBankField>& fields);
    void ReadLists();
    void MoveFocusedRow(int step);
    void SelectRow(QTreeWidgetItem* row);
    QTreeWidgetItem* SelectedCommonRow() const;

    TUiServices& ui_;
    TCommonFieldsMode mode_;
    std::string fieldsPath_;
    std::unique_ptr<Ui::TfrmCommonFields> form_;
    bool changed_ = false;
};

}  // namespace tessel

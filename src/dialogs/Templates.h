#pragma once

// The template browser: picks a template or a saved page to open, previews it by the HTML
// file written beside it, and deletes listed documents.

#include <QDialog>
#include <memory>
#include <string>

#include "dialogs/core/TemplateFiles.h"

class QListWidgetItem;

namespace Ui {
class TfrmTemplates;
}

namespace tessel {

class TUiServices;

class TfrmTemplates : public QDialog {
    Q_OBJECT

  public:
    TfrmTemplates(TUiServices& ui, const std::string& programFolder, QWidget* parent = nullptr);
    ~TfrmTemplates() override;

    Ui::TfrmTemplates& Form() const { return *form_; }
    // The full path of the document to open, set by selecting an item or by Browse.
    const std::string& ChosenFile() const { return chosenFile_; }
    // The HTML file the preview shows, empty when it shows nothing.
    const std::string& PreviewFile() const { return previewFile_; }

    // Runs the dialog modally through the UI services; QDialog::Accepted after OK.
    int Run();

  private:
    void FillList();
    void lvTemplatesClick();
    void lvTemplatesDblClick();
    void btnOpenClick();
    void btnDeleteClick();
    QListWidgetItem* SelectedItem() const;
    TDocumentEntry EntryOf(const QListWidgetItem& item) const;
    void ShowPreview(const std::string& htmlPath, const std::string& rootFolder);
    void ClearPreview();

    std::unique_ptr<Ui::TfrmTemplates> form_;
    TUiServices& ui_;
    std::string programFolder_;
    std::string chosenFile_;
    std::string previewFile_;
};

}  // namespace tessel

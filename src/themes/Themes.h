#pragma once

// The theme editor: selects, adds, edits, deletes and reorders the themes of the store it is
// given. Every change is made in the store at once; the theme file is rewritten when the
// dialog closes after a change.

#include <QDialog>
#include <QStringList>
#include <memory>
#include <string>

#include "document/Colors.h"

class QLabel;

namespace Ui {
class TfrmTheme;
}

namespace tessel {

class TUiServices;
class TWebTheme;

enum class TThemeEditMode { Add, Edit };

class TfrmTheme : public QDialog {
    Q_OBJECT

  public:
    // `savePending`: an earlier editor changed the store but could not write the theme file,
    // so this one writes it on closing even when nothing changes here.
    TfrmTheme(TUiServices& ui, const std::string& programFolder, TWebTheme& themes,
              bool savePending = false, QWidget* parent = nullptr);
    ~TfrmTheme() override;

    Ui::TfrmTheme& Form() const { return *form_; }

    // Selects the entry named `themeName` without regard to case (none when there is no such
    // entry) and scrolls it to the top.
    void SelectTheme(const std::string& themeName);
    // The selected entry, -1 for none; a list index is a store index.
    int SelectedIndex() const;
    QStringList ThemeNames() const;
    bool StoreChanged() const { return storeChanged_; }
    // True after closing when the theme file could not be written.
    bool SavePending() const { return savePending_; }

    // Shows the selected theme and runs the dialog modally; QDialog::Accepted after OK.
    int Run();

    void done(int result) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowSelectedTheme();
    void btnAddClick();
    void btnEditClick();
    void btnRemoveClick();
    void btnApplyClick();
    void btnBackClick();
    void btnBackgroundClick();
    void btnClearClick();
    void txtDescriptionChange();
    void ColorLabelDblClick(QLabel* label);
    void lstEditThemesDragDrop(int target);
    void StartDrag();
    void ShowEditFace(TThemeEditMode mode, const QString& caption);
    void SetBrowseControlsEnabled(bool enabled);
    bool CheckName(const QString& name);
    std::string ArrivedBackground(const std::string& picturePath);
    void ShowPicture(const QString& path);
    void ClearPicture();
    void SetColors(TColor background, TColor text, TColor link, TColor activeLink,
                   TColor visitedLink);
    TColor LabelColor(QLabel* label) const;
    void SetLabelColor(QLabel* label, TColor color);
    bool EditFaceShown() const;
    void SaveThemes();

    std::unique_ptr<Ui::TfrmTheme> form_;
    TUiServices& ui_;
    std::string programFolder_;
    TWebTheme& themes_;
    TThemeEditMode mode_ = TThemeEditMode::Add;
    bool pictureChosen_ = false;
    bool storeChanged_ = false;
    bool savePending_ = false;
    QPoint pressPos_;
    bool pressed_ = false;
    bool dragged_ = false;
};

}  // namespace tessel

// The theme editor, opened from the page-settings panel or from the preview.

#include <QSignalBlocker>

#include "app/Main.h"
#include "platform/gui/UiServices.h"
#include "themes/Themes.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

namespace tessel {

void TfrmMain::btnThemeClick(bool editThemes) {
    const TUndoableChange change(*this, "Apply Theme", 0);
    TBusyCursor busy(ui_);
    try {
        TfrmTheme dialog(ui_, env_.programFolder, *themes_, themesSavePending_, this);
        dialog.SelectTheme(document_->Page().Items(0).PagePropertiesBlock().ThemeName);
        const int result = dialog.Run();
        themesSavePending_ = dialog.SavePending();
        {
            // Selecting here is not a click on a theme.
            const QSignalBlocker blocker(form_->lstThemes);
            if (dialog.StoreChanged())
                form_->lstThemes->SetLines(dialog.ThemeNames());
            form_->lstThemes->setCurrentRow(dialog.SelectedIndex());
            if (QListWidgetItem* current = form_->lstThemes->currentItem())
                form_->lstThemes->scrollToItem(current, QAbstractItemView::PositionAtTop);
        }
        if (result == QDialog::Accepted && dialog.SelectedIndex() >= 0) {
            ApplyTheme(*themes_, dialog.SelectedIndex(), *document_);
            // The page changed; closing the window must offer to save it.
            modified_ = true;
            if (editThemes)
                lstThemesClick();
        }
    } catch (const std::exception&) {
        // Errors of this handler are not reported.
    }
}

}  // namespace tessel

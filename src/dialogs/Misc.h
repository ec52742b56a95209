#pragma once

// One dialog with three faces for the editor panels: a font chooser for headings and
// paragraphs, a picker of links from the user's bookmark file, and an editor for one meta
// tag of the page.

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/core/Bookmarks.h"
#include "dialogs/core/MiscValues.h"
#include "html/Routines.h"

namespace Ui {
class TfrmMisc;
}

namespace tessel {

class TUiServices;

enum TMiscMode : int { mmFont = 0, mmBookmarks = 1, mmMetaTag = 2 };

class TfrmMisc : public QDialog {
    Q_OBJECT

  public:
    TfrmMisc(TUiServices& ui, TMiscMode mode, QWidget* parent = nullptr);
    ~TfrmMisc() override;

    Ui::TfrmMisc& Form() const { return *form_; }
    TMiscMode Mode() const { return mode_; }

    // Font face: the font being edited, shown by the sample label. The program folder is
    // where the colour picker finds its palettes.
    void SetFontValue(const TFontValue& font);
    const TFontValue& FontValue() const { return font_; }
    void SetProgramFolder(const std::string& programFolder) { programFolder_ = programFolder; }

    // Bookmark face: where the bookmark file's location is looked up.
    void SetRegistryReader(TRegistryReader readValue) { readRegistry_ = std::move(readValue); }
    // The selected link; nothing when no link is selected, for an empty one and for the
    // "No Bookmarks found." entry.
    std::optional<std::string> SelectedBookmark() const;

    // Meta face: the tag being edited. A name that is not one of the usual five is offered
    // as a sixth, so editing a hand-made tag keeps its name.
    void SetMetaTag(const TMetaTag& tag);
    TMetaTag MetaTag() const;

    // Prepares the face and shows the dialog modally through the UI services;
    // QDialog::Accepted after OK. The bookmark face may close with Cancel before showing.
    int Run();

  private:
    void ShowFontFace();
    void ShowMetaFace();
    bool ShowBookmarkFace();
    bool ReadBookmarks(const std::string& path);
    void FinishBookmarkList();
    void cbNameChange(int index);
    void cbSizeChange(int index);
    void btnStyleClick();
    void btnColorClick();
    void txtMetaContentChange();
    void lblMetaNameContextPopup(const QPoint& position);
    void ApplyFontToPreview();

    std::unique_ptr<Ui::TfrmMisc> form_;
    TUiServices& ui_;
    TMiscMode mode_;
    TFontValue font_;
    std::string programFolder_;
    TRegistryReader readRegistry_;
};

// Runs the font face on `font`; the chosen font after OK, nothing after Cancel.
std::optional<TFontValue> ChooseFont(TUiServices& ui, const std::string& programFolder,
                                     const TFontValue& font, QWidget* parent);

// Runs the bookmark face; the chosen link after OK, nothing otherwise.
std::optional<std::string> ChooseBookmark(TUiServices& ui, TRegistryReader readRegistry,
                                          QWidget* parent);

// Runs the meta face on `tag` (a new tag: name "Description", no content); the edited tag
// after OK, nothing after Cancel.
std::optional<TMetaTag> EditMetaTag(TUiServices& ui, const TMetaTag& tag, QWidget* parent);

}  // namespace tessel

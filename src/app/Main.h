#pragma once

// The main window: the block list of the page, the editor panels, the document commands and
// the button strip. It owns the one page document and the theme store for the whole run.

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/core/UndoHistory.h"
#include "document/Pagelette.h"
#include "html/PageHtml.h"
#include "html/Routines.h"
#include "pagerules/PictureFolder.h"

class QButtonGroup;
class QListWidgetItem;
class QMenu;
class QAction;
class QImage;
class QPlainTextEdit;
class QUrl;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class TfrmMain;
}

namespace tessel {

class TUiServices;
class THelpViewer;
class TRegistryStore;
class TWebTheme;
class TfrmFields;
class TRecoveryCopy;
class TClaimedCopy;
struct TPictureCopy;

// What the window's creator hands in, so that tests can build it without the user's files.
struct TMainEnvironment {
    std::string programFolder;           // ends in "/"
    QStringList arguments;               // the command-line arguments after the program's name
    TRegistryStore* settings = nullptr;  // the per-user settings
    THelpViewer* help = nullptr;
    std::function<void()> registerFileTypes;
    std::function<int(int)> randomBelow;     // the tip of the day's choice; empty: random
    std::function<void()> hideSplash;        // run when the window is first shown
    std::string recoveryFolder;              // ends in "/"; empty: no recovery copies are kept
    std::function<std::int64_t()> now;       // seconds since 1970 UTC; empty: the system clock
    std::size_t undoByteCap = kUndoByteCap;  // what the undo steps may hold
};

// Where a drag started.
enum class TDragSource { None, Palette, Blocks, Links };

class TfrmMain : public QWidget, private TPageHost {
    Q_OBJECT

  public:
    TfrmMain(TUiServices& ui, TMainEnvironment environment, QWidget* parent = nullptr);
    ~TfrmMain() override;

    Ui::TfrmMain& Form() const { return *form_; }
    TPagelette& Document() const { return *document_; }
    TWebTheme* Themes() const { return themes_.get(); }
    int CurrentBlockIndex() const { return currentBlock_; }
    TBlockType PaletteKind() const { return paletteKind_; }
    bool Modified() const { return modified_; }
    const std::string& CurrentName() const { return currentName_; }
    int TipsAtStart() const { return tipsAtStart_; }
    int FullLineWidth() const { return fullLineWidth_; }
    int WhatsThisContext() const { return whatsThisContext_; }
    const QString& ImagePreviewPath() const { return previewPath_; }
    QMenu* PopBlocks() const { return popBlocks_; }
    QMenu* PopWhatsThis() const { return popWhatsThis_; }
    QMenu* PopForms() const { return popForms_; }
    const TUndoHistory& UndoHistory() const { return undo_; }
    const TFontValue& MemoFont(int tag) const { return tag == 0 ? headingFont_ : textFont_; }
    int FontChosen(int tag) const { return tag == 0 ? headingFontChosen_ : textFontChosen_; }
    // The help context of a control's "What's This?", 0 when it has none.

    // The index of the entry at a point of the block list: the entry count below the last
    // entry, -1 outside the list.
    int BlockTargetAt(const QPoint& viewportPos) const;

  public slots:
    // --- start-up, settings, closing, help
    void ReadSettings();
    void WriteSettings();
    bool FormCloseQuery();
    void FormResize();
    void mnuHelpContentsClick();
    void mnuGettingStartedClick();
    void mnuTipsClick();
    void mnuHelpWebClick();
    void mnuHelpHostingClick();
    void btnCustomClick();
    void mnuHelpAboutClick();
    void mnuWhatsThisClick();
    void popWhatsThisPopup(QWidget* control, const QPoint& globalPos);

    // --- preview and themes
    void btnCreateClick(int tag = 0);
    void lstThemesClick();
    void btnToggleClick();
    void btnExternalViewClick();
    void browserHotSpotClick(const QUrl& url, bool* handled);

    // --- block list
    void lstPaletteClick();
    void lstBlocksClick();
    bool lstPaletteDragOver(TDragSource source);
    bool lstBlocksDragOver(TDragSource source, const QPoint& viewportPos);
    void lstBlocksDragDrop(TDragSource source, int target);
    void lstBlocksMouseMove();
    bool imgTrashDragOver(TDragSource source);
    void imgTrashDragDrop(TDragSource source);
    void popBlocksPopup(bool onBlockList);
    void mnuDeleteClick();
    void StoreBlock();
    void ShowBlock();
    void InitNewBlock(int index, TBlockType kind);
    void RebuildBlockList();

    // --- editor panels
    void btnHeadingFontClick(int tag);
    void btnTextImportClick(bool intoBullets);
    void btnImagePicClick();
    void btnLinkBrowseClick(int tag);
    void btnLinkIEClick(int tag);
    void btnLinkNetscapeClick(int tag);
    void chkLinkClick();
    void chkFitScreensClick();
    void btnLinkAddClick();
    void btnLinkRemoveClick();
    void btnLinkEditClick();
    void lstLinksClick();
    void lstLinksDblClick();
    bool lstLinksDragOver(TDragSource source);
    void lstLinksDragDrop(TDragSource source, int targetRow);
    void lstMetaClick();
    void btnMetaAddClick();
    void btnMetaRemoveClick();
    void btnMetaEditClick();
    void cbHRChange();
    void updnHRWidthClick();
    void chkNoShadeClick();
    // Keep proportions: a typed Width gives the Height (or the other way round) of the
    // picture shown.
    void txtImageSizeChange(bool widthTyped);
    // Del in the meta list and in the link list removes the selected entry; true when the
    // key was theirs.
    bool lstMetaKeyDown(int key);
    bool lstLinksKeyDown(int key);
    // An edit in an editor panel: the page has changes to save. The program's own filling of
    // the panels does not count.
    void MarkModified();
    // `editThemes`: opened by "Edit Themes" of the preview, which then shows the theme.
    void btnThemeClick(bool editThemes = false);

    // --- forms panel
    void btnFormAddClick();
    void popFormsPopup(bool onList);
    void popFormsTextBoxClick(TFieldKind kind);
    void btnFormEditClick();
    void btnFormRemoveClick();
    void btnFormUpClick();
    void btnFormDownClick();
    void lvFormsDragDrop(QTreeWidget* source, int targetRow);
    void lvFormsSelectItem();
    bool ClearAllFields();
    void btnFormClearClick();
    void btnFormBasicClick();
    void LoadBasicFields();
    void btnFormOptionsClick();

    // --- document commands
    void mnuNewClick();
    void mnuSaveClick();
    void mnuCreateTemplateClick();
    void btnChooseTemplateClick();
    void btnUploadClick();
    void NewDocument();
    void OpenDocument(const std::string& path);
    bool WriteDocument(const std::string& path);
    bool FinishSave(const std::string& path);
    bool SaveMendedPage();
    std::optional<std::string> SaveDocumentAs(const QString& suffix, const QString& filter,
                                              const std::string& folder);

    // --- undo and redo
    void actUndoClick();
    void actRedoClick();

    // --- recovery copies
    void tmrRecoveryTimer();
    // Writes the recovery copy of a modified page (when it changed since the last one);
    // `written`, when given, is the page's stream just written.
    void KeepRecoveryCopy(const std::string* written = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // FormCreate and the wiring it needs.
    void FormCreate();
    void CreateMenus();
    void ConnectHandlers();
    void ConnectEditsToModified();
    void UpdateDeleteKey();
    bool DeleteKeyMeansBlock() const;
    void ConnectPreview();
    void SetUpLists();
    void SetUpWhatsThis();
    void AddWhatsThis(QWidget* control, int context);
    // The same "What's This?" menu for the controls of a dialog that carry a help context, and
    // F1 there for the topic of the control with the focus.
    void AddContextHelp(QWidget& dialog);
    void LoadThemes();
    void FillPalette();
    void ShowInfo(const QString& text);
    void ShowError(const QString& text);
    bool AskSaveChanges();  // false: the user cancelled or the save did not happen
    void SetTitle(const std::string& currentName);
    void ApplyPaneWidth();

    // Block list helpers.
    QListWidgetItem* NewBlockEntry(TBlockType kind) const;
    void SelectBlockEntry(int row);
    bool HasFormsBlock() const;
    void ShowTrash(bool full);
    void PaintButtonStrip();
    bool HandleDragEvent(QObject* watched, QEvent* event);
    bool IsBlockListKey(QObject* watched, QEvent* event);
    bool IsHeadingEnter(QObject* watched, QEvent* event) const;
    bool IsListDeleteKey(QObject* watched, QEvent* event);
    void StartDrag(TDragSource source);

    // Panels: one Show and one Store per kind.
    void ShowPanel(TPageItem& block);
    void StorePanel(TPageItem& block);
    void ShowPageProperties(TPagePropertiesBlock& values);
    void StorePageProperties(TPagePropertiesBlock& values);
    void ShowImage(TImageBlock& values);
    void StoreImage(TImageBlock& values);
    void ShowLink(TLinkBlock& values);
    void StoreLink(TLinkBlock& values);
    void ShowLine(THRBlock& values);
    void StoreLine(THRBlock& values);
    void ShowMemoFont(int tag, const std::string& attributes, int fontChosen);
    void ApplyMemoFont(int tag);
    QPlainTextEdit* Memo(int tag) const;
    bool LoadPreviewPicture(const QString& path);
    QImage ReadPicture(const QString& path, QByteArray* format = nullptr);
    void ShowPreviewPicture(const QImage& picture);
    std::optional<QString> PlacePictureInFolder(const QString& chosen, const std::string& folder);
    // Asks to place the lighter copy of a picture wider than the page shows; the copy when
    // the user takes it.
    std::optional<TPictureCopy> OfferLighterCopy(const QString& chosen, const QImage& picture,
                                                 const QByteArray& format);
    std::optional<QString> PlaceCopyInFolder(const TPictureCopy& copy, const std::string& folder);
    std::optional<QString> PlaceInFolder(const std::string& name, TPictureInFolder relation,
                                         const QString& kept, const std::string& folder,
                                         const std::function<void()>& write);
    bool AskReplacePicture(const QString& name);
    void CenterInScrollBox();
    void SetLinkTarget(int tag, const QString& address);
    void RemoveLinkEntry(int row);
    std::string LinkEntryFromEdits() const;

    // Forms panel.
    void SetUpForms();
    void ShowForms();
    void StoreForms();
    void ClearFormsList();
    void RebuildFormsList();
    QTreeWidgetItem* SelectedFormRow() const;
    void LoadFieldIntoEditor(TfrmFields& editor);
    void StoreFieldFromEditor(TfrmFields& editor, bool isNew);
    void ExchangeFormRows(int from, int to);
    std::string FieldsPath() const;

    // Undo and redo.
    void CreateUndoActions();
    void StartUndoHistory();
    // Records what changed in the document since the last step; the document's stream then,
    // nullptr when it could not be written.
    const std::string* RecordChange(std::string name, int rowBefore, int rowAfter,
                                    int mergeKey = 0);
    // What tells whether StoreBlock changed the block (with the form's addresses for a forms
    // block).
    std::string StoredState(TPageItem& block) const;
    void StorePanelTyping();
    void UpdateUndoActions();
    void ShowRestoredPage(const TUndoneStep& step);
    void RefillBlockList();
    // Ctrl+Z and the redo keys in a text edit that has typing of its own to take back.
    bool IsTextUndoKey(QObject* watched, QEvent* event);

    // Recovery copies.
    void StartRecovery();
    void OfferRecoveredPage();
    void RestorePage(TClaimedCopy& copy);
    void DiscardRecoveryCopy();
    void RemoveEarlierCopy();

    // Document commands.
    // The check before sending; false when the user goes back to the page.
    bool CheckPageBeforeSending();
    // `documentPath` names the page on the web server (its current name, or the name a save
    // gives it).
    std::optional<QString> WritePageHtml(TOutputMode mode, const std::string& path,
                                         const std::string& documentPath);
    std::optional<QString> WriteMailScript(const std::string& documentPath);
    void StorePendingEdits() override;
    void SetBusy(bool busy) override;
    void SelectTheme(const std::string& themeName) override;
    void ShowWarning(const std::string& message) override;

    TUiServices& ui_;
    TMainEnvironment env_;
    std::unique_ptr<Ui::TfrmMain> form_;
    std::unique_ptr<TPagelette> document_;
    std::unique_ptr<TWebTheme> themes_;
    QButtonGroup* alignGroup_ = nullptr;
    QMenu* popBlocks_ = nullptr;
    QMenu* popWhatsThis_ = nullptr;
    QAction* mnuDelete_ = nullptr;
    QAction* mnuDeleteSeparator_ = nullptr;
    QAction* mnuOpen_ = nullptr;
    QMenu* popForms_ = nullptr;
    QList<QAction*> popFormsListItems_;  // shown only when the menu opens on the list
    QAction* deleteKey_ = nullptr;       // Del anywhere in the window but in lists and edits

    TBlockType paletteKind_ = btHeading;
    int currentBlock_ = -1;
    std::string currentName_;
    bool modified_ = false;
    int tipsAtStart_ = 1;
    int fullLineWidth_ = 250;
    int whatsThisContext_ = 0;
    QPoint whatsThisPos_;
    int busyDepth_ = 0;
    TFontValue headingFont_;
    TFontValue textFont_;
    int headingFontChosen_ = 0;
    int textFontChosen_ = 0;
    QString previewPath_;
    bool trashFull_ = false;
    int paneWidth_ = 250;
    bool shownBefore_ = false;
    bool themesSavePending_ = false;  // the theme file could not be written

    // This run's recovery copy, and a copy of an earlier run that the next save removes.
    std::unique_ptr<TRecoveryCopy> recovery_;
    std::unique_ptr<TClaimedCopy> earlierCopy_;
    bool recoveryFailureReported_ = false;
    std::string restoredFrom_;  // a restored page's file, which its save dialog proposes

    // Mouse state of the drag sources and the block list's click.
    TDragSource pressedSource_ = TDragSource::None;
    QPoint pressPos_;
    int rowBeforePress_ = -1;
    bool selectingInCode_ = false;

    // While one lives, changes to the panels are the program's own and raise no modified
    // flag.
    class TFillingPanels {
      public:
        explicit TFillingPanels(TfrmMain& window) : depth_(window.fillingPanels_) { ++depth_; }
        ~TFillingPanels() { --depth_; }
        TFillingPanels(const TFillingPanels&) = delete;
        TFillingPanels& operator=(const TFillingPanels&) = delete;

      private:
        int& depth_;
    };
    int fillingPanels_ = 0;

    // One change the user can take back. What the user changed in the panel and is not
    // stored yet becomes a step of its own first; when the object ends, what changed in the
    // document since is one step. `inPanel`: the change is made in the panel's controls and stored
    // with them. Changes inside a change are part of it.
    class TUndoableChange {
      public:
        TUndoableChange(TfrmMain& window, const char* name, int row, bool inPanel = false);
        ~TUndoableChange();
        TUndoableChange(const TUndoableChange&) = delete;
        TUndoableChange& operator=(const TUndoableChange&) = delete;

        void SetRows(int before, int after) {
            rowBefore_ = before;
            rowAfter_ = after;
        }
        // Records the step now; the document's stream, nullptr for a change inside another.
        const std::string* Finish();

      private:
        TfrmMain& window_;
        const char* name_;
        int rowBefore_;
        int rowAfter_;
        bool inPanel_;
        bool finished_ = false;
    };
    TUndoHistory undo_;
    QAction* actUndo_ = nullptr;
    QAction* actRedo_ = nullptr;
    int changeDepth_ = 0;        // TUndoableChange objects alive
    int visit_ = 1;              // counts the blocks shown: the edits of one visit are one step
    bool panelTouched_ = false;  // the user changed the panel since it was stored
    // The theme list follows the page without that being a click on a theme.
    bool selectingTheme_ = false;
    int themeRowAtPress_ = -1;
};

}  // namespace tessel

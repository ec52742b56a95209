// Which signal of which control runs which handler of the main window.

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QToolButton>

#include "app/Main.h"
#include "platform/gui/TabEscape.h"
#include "platform/gui/UpDown.h"
#include "ui_Main.h"

namespace tessel {

void TfrmMain::ConnectHandlers() {
    Ui::TfrmMain& f = *form_;
    connect(f.lstPalette, &QListWidget::currentRowChanged, this, &TfrmMain::lstPaletteClick);
    // A click that changes the selection arrives as a row change (so does the keyboard); a
    // click on the entry already selected only as a click.
    connect(f.lstBlocks, &QListWidget::currentRowChanged, this, [this] {
        if (!selectingInCode_)
            lstBlocksClick();
    });
    connect(f.lstBlocks, &QListWidget::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == rowBeforePress_)
            lstBlocksClick();
    });
    connect(f.Splitter, &QSplitter::splitterMoved, this, &TfrmMain::FormResize);

    connect(f.btnNew, &QPushButton::clicked, this, &TfrmMain::mnuNewClick);
    connect(f.btnChooseTemplate, &QPushButton::clicked, this, &TfrmMain::btnChooseTemplateClick);
    connect(f.btnTemplate, &QPushButton::clicked, this, &TfrmMain::mnuCreateTemplateClick);
    connect(f.btnSave, &QToolButton::clicked, this, &TfrmMain::mnuSaveClick);
    connect(f.btnUpload, &QToolButton::clicked, this, &TfrmMain::btnUploadClick);
    connect(f.btnHelp, &QPushButton::clicked, this, &TfrmMain::mnuHelpContentsClick);
    connect(f.btnHosting, &QPushButton::clicked, this, &TfrmMain::mnuHelpHostingClick);
    connect(f.btnCustom, &QPushButton::clicked, this, &TfrmMain::btnCustomClick);

    connect(f.btnHeadingFont, &QPushButton::clicked, this, [this] { btnHeadingFontClick(0); });
    connect(f.btnTextFont, &QPushButton::clicked, this, [this] { btnHeadingFontClick(1); });
    connect(f.btnTextImport, &QPushButton::clicked, this, [this] { btnTextImportClick(false); });
    connect(f.btnBulletImport, &QPushButton::clicked, this, [this] { btnTextImportClick(true); });
    connect(f.btnImagePic, &QPushButton::clicked, this, &TfrmMain::btnImagePicClick);
    // Typed by the user only: the panel's own filling keeps the stored sizes.
    connect(f.txtImageW, &QLineEdit::textEdited, this, [this] { txtImageSizeChange(true); });
    connect(f.txtImageH, &QLineEdit::textEdited, this, [this] { txtImageSizeChange(false); });
    connect(f.btnLinkBrowse, &QPushButton::clicked, this, [this] { btnLinkBrowseClick(0); });
    connect(f.btnImageLink, &QPushButton::clicked, this, [this] { btnLinkBrowseClick(1); });
    connect(f.btnLinkIE, &QPushButton::clicked, this, [this] { btnLinkIEClick(0); });
    connect(f.btnImageIE, &QPushButton::clicked, this, [this] { btnLinkIEClick(1); });
    connect(f.btnLinkNetscape, &QPushButton::clicked, this, [this] { btnLinkNetscapeClick(0); });
    connect(f.btnImageNetscape, &QPushButton::clicked, this, [this] { btnLinkNetscapeClick(1); });

    connect(f.chkLink, &QCheckBox::toggled, this, &TfrmMain::chkLinkClick);
    connect(f.chkFitScreens, &QCheckBox::toggled, this, &TfrmMain::chkFitScreensClick);
    connect(f.btnLinkAdd, &QPushButton::clicked, this, &TfrmMain::btnLinkAddClick);
    connect(f.btnLinkRemove, &QPushButton::clicked, this, &TfrmMain::btnLinkRemoveClick);
    connect(f.btnLinkEdit, &QPushButton::clicked, this, &TfrmMain::btnLinkEditClick);
    connect(f.lstLinks, &QListWidget::itemSelectionChanged, this, &TfrmMain::lstLinksClick);
    connect(f.lstLinks, &QListWidget::itemDoubleClicked, this, &TfrmMain::lstLinksDblClick);

    connect(f.lstMeta, &QListWidget::itemSelectionChanged, this, &TfrmMain::lstMetaClick);
    connect(f.lstMeta, &QListWidget::itemDoubleClicked, this, &TfrmMain::btnMetaEditClick);
    connect(f.btnMetaAdd, &QPushButton::clicked, this, &TfrmMain::btnMetaAddClick);
    connect(f.btnMetaRemove, &QPushButton::clicked, this, &TfrmMain::btnMetaRemoveClick);
    connect(f.btnMetaEdit, &QPushButton::clicked, this, &TfrmMain::btnMetaEditClick);

    connect(f.cbHR, &QComboBox::currentIndexChanged, this, &TfrmMain::cbHRChange);
    connect(f.updnHRWidth, &TUpDown::valueChanged, this, &TfrmMain::updnHRWidthClick);
    f.updnHRWidth->SetBuddy(f.txtHRWidth);
    connect(f.chkNoShade, &QCheckBox::toggled, this, &TfrmMain::chkNoShadeClick);
    chkNoShadeClick();
    connect(f.btnTheme, &QPushButton::clicked, this, [this] { btnThemeClick(false); });
    connect(f.btnThemeEdit, &QPushButton::clicked, this, [this] { btnThemeClick(true); });

    ConnectPreview();

    // The heading is one paragraph: Enter does not break it.
    f.txtHeading->installEventFilter(this);
    // The bullet list keeps Tab for its text; Ctrl+Tab leaves it.
    LetCtrlTabLeave(*f.txtBullets);
    // The keys that do what dragging does (IsBlockListKey).
    f.lstPalette->installEventFilter(this);
    f.lstBlocks->installEventFilter(this);
    // The meta list and the link list take Del for their own entries.
    f.lstMeta->installEventFilter(this);
    f.lstLinks->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &TfrmMain::UpdateDeleteKey);
    // The edits keep Ctrl+Z for their own typing while they have some (IsTextUndoKey).
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->installEventFilter(this);
    for (QPlainTextEdit* memo : findChildren<QPlainTextEdit*>()) memo->installEventFilter(this);
    ConnectEditsToModified();
}

void TfrmMain::ConnectEditsToModified() {
    Ui::TfrmMain& f = *form_;
    for (QLineEdit* edit : {f.txtPageTitle, f.txtImageFile, f.txtImageH, f.txtImageW, f.txtImageAlt,
                            f.txtImageLink, f.txtLinkAddress, f.txtLinkText}) {
        connect(edit, &QLineEdit::textChanged, this, &TfrmMain::MarkModified);
    }
    for (QPlainTextEdit* memo : {f.txtHeading, f.txtText, f.txtBullets})
        connect(memo, &QPlainTextEdit::textChanged, this, &TfrmMain::MarkModified);
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             f.chkLinkUnderline, f.chkFitScreens, f.chkLink, f.chkEmail, f.chkNoShade, f.btnLeft,
             f.btnCenter, f.btnRight, f.btnParagraph}) {
        connect(button, &QAbstractButton::toggled, this, &TfrmMain::MarkModified);
    }
    for (QComboBox* list : {f.cbBullets, f.cbHR})
        connect(list, &QComboBox::currentIndexChanged, this, &TfrmMain::MarkModified);
    for (QComboBox* edit : {f.cbImageAlign, f.cboLanguage})
        connect(edit, &QComboBox::currentTextChanged, this, &TfrmMain::MarkModified);
    connect(f.updnHRWidth, &TUpDown::valueChanged, this, &TfrmMain::MarkModified);
    for (TListBoxHrz* list : {f.lstMeta, f.lstLinks}) {
        QAbstractItemModel* lines = list->model();
        connect(lines, &QAbstractItemModel::rowsInserted, this, &TfrmMain::MarkModified);
        connect(lines, &QAbstractItemModel::rowsRemoved, this, &TfrmMain::MarkModified);
        connect(lines, &QAbstractItemModel::rowsMoved, this, &TfrmMain::MarkModified);
        connect(lines, &QAbstractItemModel::dataChanged, this, &TfrmMain::MarkModified);
        connect(lines, &QAbstractItemModel::modelReset, this, &TfrmMain::MarkModified);
    }
}

void TfrmMain::MarkModified() {
    if (fillingPanels_ != 0)
        return;
    modified_ = true;
    if (!panelTouched_) {
        panelTouched_ = true;
        if (changeDepth_ == 0)
            UpdateUndoActions();
    }
}

// Del deletes the selected block from the block list, and from the window when no list or
// edit has the focus; lists and edits keep the key for themselves.
bool TfrmMain::DeleteKeyMeansBlock() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == form_->lstBlocks)
        return true;
    return qobject_cast<const QAbstractItemView*>(focus) == nullptr &&
           qobject_cast<const QLineEdit*>(focus) == nullptr &&
           qobject_cast<const QPlainTextEdit*>(focus) == nullptr &&
           qobject_cast<const QTextEdit*>(focus) == nullptr &&
           qobject_cast<const QComboBox*>(focus) == nullptr &&
           qobject_cast<const QAbstractSpinBox*>(focus) == nullptr;
}

void TfrmMain::UpdateDeleteKey() {
    deleteKey_->setEnabled(DeleteKeyMeansBlock());
}

bool TfrmMain::IsListDeleteKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::NoModifier)
        return false;
    if (watched == form_->lstMeta)
        return lstMetaKeyDown(key->key());
    if (watched == form_->lstLinks)
        return lstLinksKeyDown(key->key());
    return false;
}

// The keyboard's way to do what the mouse does by dragging: Enter on a palette entry adds
// that kind after the selected block; Ctrl+Up and Ctrl+Down move the selected block.
bool TfrmMain::IsBlockListKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    Ui::TfrmMain& f = *form_;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == f.lstPalette && enter && key->modifiers() == Qt::NoModifier) {
        lstBlocksDragDrop(TDragSource::Palette, f.lstBlocks->currentRow() + 1);
        return true;
    }
    const bool upOrDown = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
    if (watched == f.lstBlocks && upOrDown && key->modifiers() == Qt::ControlModifier) {
        const int row = f.lstBlocks->currentRow();
        const int target = key->key() == Qt::Key_Up ? row - 1 : row + 1;
        // The page settings stay first.
        if (row > 0 && target > 0 && target < f.lstBlocks->count()) {
            StoreBlock();
            lstBlocksDragDrop(TDragSource::Blocks, target);
        }
        return true;
    }
    return false;
}

bool TfrmMain::IsHeadingEnter(QObject* watched, QEvent* event) const {
    if (watched != form_->txtHeading || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace tessel

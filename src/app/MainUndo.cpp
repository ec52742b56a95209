// Undo and redo of every change to the page: the history keeps the document's stream after
// each change, and a step taken back or again puts that document in the window.

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

#include "app/Main.h"
#include "document/Exceptions.h"
#include "document/Stream.h"
#include "pagerules/BlockKinds.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "ui_Main.h"

namespace tessel {
namespace {

enum class TUndoKey { None, Undo, Redo };

TUndoKey UndoKeyOf(const QKeyEvent& key) {
    const QKeyCombination combination = key.keyCombination();
    if (combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z))
        return TUndoKey::Undo;
    if (combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
        combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
        return TUndoKey::Redo;
    }
    return TUndoKey::None;
}

// Whether a text edit has typing of its own to take back (or to do again).
bool EditCan(QObject* edit, TUndoKey key) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        return !line->isReadOnly() &&
               (key == TUndoKey::Undo ? line->isUndoAvailable() : line->isRedoAvailable());
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(edit)) {
        return !memo->isReadOnly() && (key == TUndoKey::Undo ? memo->document()->isUndoAvailable()
                                                             : memo->document()->isRedoAvailable());
    }
    return false;
}

}  // namespace

TfrmMain::TUndoableChange::TUndoableChange(TfrmMain& window, const char* name, int row,
                                           bool inPanel)
    : window_(window), name_(name), rowBefore_(row), rowAfter_(row), inPanel_(inPanel) {
    window_.StorePanelTyping();
    ++window_.changeDepth_;
}

TfrmMain::TUndoableChange::~TUndoableChange() {
    Finish();
}

const std::string* TfrmMain::TUndoableChange::Finish() {
    if (finished_)
        return nullptr;
    finished_ = true;
    if (inPanel_)
        window_.StorePanelTyping();
    if (--window_.changeDepth_ != 0)
        return nullptr;
    return window_.RecordChange(name_, rowBefore_, rowAfter_);
}

void TfrmMain::CreateUndoActions() {
    actUndo_ = new QAction(QStringLiteral("&Undo"), this);
    actUndo_->setObjectName(QStringLiteral("actUndo"));
    actUndo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actRedo_ = new QAction(QStringLiteral("&Redo"), this);
    actRedo_->setObjectName(QStringLiteral("actRedo"));
    actRedo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    actUndo_->setIcon(PictureIcon(QStringLiteral("btnUndo")));
    actRedo_->setIcon(PictureIcon(QStringLiteral("btnRedo")));
    for (QAction* action : {actUndo_, actRedo_}) {
        action->setShortcutVisibleInContextMenu(true);
        action->setEnabled(false);
    }
    addActions({actUndo_, actRedo_});
    connect(actUndo_, &QAction::triggered, this, &TfrmMain::actUndoClick);
    connect(actRedo_, &QAction::triggered, this, &TfrmMain::actRedoClick);
    form_->btnUndo->setDefaultAction(actUndo_);
    form_->btnRedo->setDefaultAction(actRedo_);
}

void TfrmMain::StartUndoHistory() {
    try {
        undo_.Reset(WriteComponent(*document_));
    } catch (const ETesselError&) {
        undo_.Reset(std::string());
    }
    panelTouched_ = false;
    UpdateUndoActions();
}

const std::string* TfrmMain::RecordChange(std::string name, int rowBefore, int rowAfter,
                                          int mergeKey) {
    try {
        undo_.Record(WriteComponent(*document_), std::move(name), rowBefore, rowAfter, mergeKey);
    } catch (const ETesselError&) {
        return nullptr;
    }
    UpdateUndoActions();
    return &undo_.Current();
}

std::string TfrmMain::StoredState(TPageItem& block) const {
    std::string state = WriteProperties(block);
    if (block.BlockType == btForms) {
        for (const std::string* text :
             {&document_->Email, &document_->Subject, &document_->Redirect}) {
            state += '\0';
            state += *text;
        }
    }
    return state;
}

void TfrmMain::UpdateUndoActions() {
    if (actUndo_ == nullptr)
        return;
    // Typing not stored yet is what Undo takes back first.
    std::string undoName = undo_.UndoName();
    if (panelTouched_) {
        try {
            undoName = std::string("Edit ") +
                       BlockCaption(document_->Page().Items(currentBlock_).BlockType);
        } catch (const EListError&) {
        }
    }
    const bool canRedo = undo_.CanRedo() && !panelTouched_;
    actUndo_->setEnabled(!undoName.empty());
    actUndo_->setText(undoName.empty() ? QStringLiteral("&Undo")
                                       : QStringLiteral("&Undo %1").arg(ToQt(undoName)));
    actRedo_->setEnabled(canRedo);
    actRedo_->setText(canRedo ? QStringLiteral("&Redo %1").arg(ToQt(undo_.RedoName()))
                              : QStringLiteral("&Redo"));
}

// Only what the user changed is stored: storing raises the modified flag, which a look at a
// dialog that was cancelled must not.
void TfrmMain::StorePanelTyping() {
    if (panelTouched_)
        StoreBlock();
}

void TfrmMain::actUndoClick() {
    StorePanelTyping();  // typing not stored yet becomes the step taken back
    if (undo_.CanUndo())
        ShowRestoredPage(undo_.Undo());
}

void TfrmMain::actRedoClick() {
    StorePanelTyping();
    if (undo_.CanRedo())
        ShowRestoredPage(undo_.Redo());
}

void TfrmMain::ShowRestoredPage(const TUndoneStep& step) {
    std::unique_ptr<TComponent> root;
    try {
        root = ReadComponent(undo_.Current());
    } catch (const ETesselError& error) {
        ShowError(QStringLiteral("The page could not be restored: %1")
                      .arg(QString::fromUtf8(error.what())));
        return;
    }
    auto* restored = dynamic_cast<TPagelette*>(root.get());
    if (restored == nullptr)
        return;
    root.release();
    document_.reset(restored);

    RefillBlockList();
    RebuildFormsList();
    const int count = form_->lstBlocks->count();
    currentBlock_ = -1;
    SelectBlockEntry(std::clamp(step.row, 0, count - 1));
    ShowBlock();
    if (count == 1)
        ShowTrash(false);
    modified_ = true;
    if (form_->pnlPreview->isVisible())
        btnCreateClick(1);
    KeepRecoveryCopy(&undo_.Current());
    UpdateUndoActions();
}

bool TfrmMain::IsTextUndoKey(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    if (qobject_cast<QLineEdit*>(watched) == nullptr &&
        qobject_cast<QPlainTextEdit*>(watched) == nullptr) {
        return false;
    }
    const TUndoKey key = UndoKeyOf(*static_cast<QKeyEvent*>(event));
    if (key == TUndoKey::None)
        return false;
    if (!EditCan(watched, key)) {
        // Not the edit's: left unaccepted, the key reaches the window's Undo or Redo.
        return type == QEvent::ShortcutOverride;
    }
    if (type == QEvent::ShortcutOverride) {
        event->accept();  // the edit takes the key
        return true;
    }
    if (auto* line = qobject_cast<QLineEdit*>(watched)) {
        key == TUndoKey::Undo ? line->undo() : line->redo();
    } else {
        auto* memo = static_cast<QPlainTextEdit*>(watched);
        key == TUndoKey::Undo ? memo->undo() : memo->redo();
    }
    return true;
}

}  // namespace tessel

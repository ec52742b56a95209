// The palette and the block list: creating, moving, deleting and selecting blocks, and the
// one path by which the editor panel's values travel into the document and back.

#include <QAction>
#include <QButtonGroup>
#include <QMenu>

#include "app/Main.h"
#include "document/Exceptions.h"
#include "pagerules/BlockKinds.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/UiServices.h"
#include "ui_Main.h"

namespace tessel {
namespace {

constexpr int kMarkerHeight = 10;
constexpr int kBlockKindRole = Qt::UserRole;
// More entries than this to change, and the list is filled anew rather than mended.
constexpr int kMendedEntries = 200;

// Selects a block-list entry without it counting as the user's click.
class TSelectingInCode {
  public:
    explicit TSelectingInCode(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~TSelectingInCode() { flag_ = previous_; }
    TSelectingInCode(const TSelectingInCode&) = delete;
    TSelectingInCode& operator=(const TSelectingInCode&) = delete;

  private:
    bool& flag_;
    bool previous_;
};

}  // namespace

QListWidgetItem* TfrmMain::NewBlockEntry(TBlockType kind) const {
    auto* entry = new QListWidgetItem(PictureIcon(QString::fromLatin1(BlockIconName(kind))),
                                      QString::fromLatin1(BlockCaption(kind)));
    entry->setData(kBlockKindRole, static_cast<int>(kind));
    return entry;
}

void TfrmMain::SelectBlockEntry(int row) {
    TSelectingInCode guard(selectingInCode_);
    form_->lstBlocks->setCurrentRow(row);
}

bool TfrmMain::HasFormsBlock() const {
    const TPageCollection& page = document_->Page();
    for (int i = 0; i < page.Count(); ++i) {
        if (page.Items(i).BlockType == btForms)
            return true;
    }
    return false;
}

void TfrmMain::ShowTrash(bool full) {
    trashFull_ = full;
    form_->imgTrash->setPixmap(
        Picture(full ? QStringLiteral("TRASH_F") : QStringLiteral("TRASH_E"), QSize(32, 32)));
    form_->imgTrash->setProperty("full", full);
}

int TfrmMain::BlockTargetAt(const QPoint& viewportPos) const {
    QListWidget* list = form_->lstBlocks;
    if (!list->viewport()->rect().contains(viewportPos))
        return -1;
    const QModelIndex index = list->indexAt(viewportPos);
    return index.isValid() ? index.row() : list->count();
}

void TfrmMain::lstPaletteClick() {
    paletteKind_ = tessel::PaletteKind(form_->lstPalette->currentRow());
}

void TfrmMain::lstBlocksClick() {
    StoreBlock();
    ShowBlock();
}

bool TfrmMain::lstPaletteDragOver(TDragSource source) {
    form_->shp->hide();
    return source == TDragSource::Palette;
}

void TfrmMain::lstBlocksMouseMove() {
    form_->shp->hide();
}

bool TfrmMain::lstBlocksDragOver(TDragSource source, const QPoint& viewportPos) {
    QListWidget* list = form_->lstBlocks;
    const QModelIndex index = list->indexAt(viewportPos);
    if (index.isValid() && index.row() > 0) {
        // The marker sits in a strip beside the list, level with the entry's top edge.
        const int top = list->geometry().top() - form_->pnlMarker->geometry().top() +
                        list->visualRect(index).top() + kMarkerHeight;
        form_->shp->move(0, top);
        form_->shp->show();
    } else {
        form_->shp->hide();
    }
    return source == TDragSource::Palette || source == TDragSource::Blocks;
}

void TfrmMain::lstBlocksDragDrop(TDragSource source, int target) {
    QListWidget* list = form_->lstBlocks;
    form_->shp->hide();
    if (target == -1)
        return;
    TUndoableChange change(*this, source == TDragSource::Palette ? "Add Block" : "Move Block",
                           list->currentRow());
    try {
        if (source == TDragSource::Palette) {
            if (paletteKind_ == btForms && HasFormsBlock()) {
                ShowInfo(QStringLiteral("Sorry, only one E-mail form per page is allowed."));
                return;
            }
            if (target == 0)
                target = 1;
            change.SetRows(target - 1, target);
            StoreBlock();
            {
                TSelectingInCode guard(selectingInCode_);
                list->insertItem(target, NewBlockEntry(paletteKind_));
            }
            InitNewBlock(target, paletteKind_);
        } else if (source == TDragSource::Blocks) {
            const int selected = list->currentRow();
            if (selected > 0 && target != list->count() && target != 0 && target != selected) {
                change.SetRows(selected, target);
                document_->Page().Move(selected, target);
                modified_ = true;  // the page's order changed
                TSelectingInCode guard(selectingInCode_);
                list->insertItem(target, list->takeItem(selected));
            }
        } else {
            return;
        }
        SelectBlockEntry(target);
        if (target != list->count())
            ShowBlock();
    } catch (const EListError&) {
    }
    KeepRecoveryCopy(change.Finish());
}

bool TfrmMain::imgTrashDragOver(TDragSource source) {
    return source == TDragSource::Blocks;
}

void TfrmMain::imgTrashDragDrop(TDragSource source) {
    if (source == TDragSource::Blocks)
        mnuDeleteClick();
}

void TfrmMain::popBlocksPopup(bool onBlockList) {
    const bool canDelete = onBlockList && form_->lstBlocks->currentRow() != -1;
    mnuDelete_->setVisible(canDelete);
    mnuDeleteSeparator_->setVisible(canDelete);
}

void TfrmMain::mnuDeleteClick() {
    QListWidget* list = form_->lstBlocks;
    const int selected = list->currentRow();
    if (selected == 0) {
        ShowInfo(QStringLiteral("The Page Settings Block cannot be deleted."));
        return;
    }
    ui_.Beep();
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral("Do you want to delete the selected Pagelette item?");
    question.buttons = mbYes | mbNo;
    if (ui_.Message(this, question) != mbYes)
        return;
    TUndoableChange change(*this, "Delete Block", selected);
    change.SetRows(selected, selected - 1);
    try {
        {
            TSelectingInCode guard(selectingInCode_);
            delete list->takeItem(selected);
        }
        TPageItem& block = document_->Page().Items(selected);
        if (block.BlockType == btForms) {
            document_->ClearDocument(false);
            ClearFormsList();
        }
        document_->Page().Delete(selected);
        modified_ = true;  // closing must not lose the deletion without a question
        SelectBlockEntry(selected - 1);
        currentBlock_ = -1;
        ShowBlock();
        ShowTrash(true);
        if (document_->Page().Count() == 1) {
            form_->pnlAlign->hide();
            ShowTrash(false);
        }
    } catch (const EListError&) {
    }
    KeepRecoveryCopy(change.Finish());
}

void TfrmMain::StoreBlock() {
    if (currentBlock_ == -1)
        return;
    std::string before;
    std::string after;
    TBlockType kind = btPageProperties;
    try {
        TPageItem& block = document_->Page().Items(currentBlock_);
        before = StoredState(block);
        block.BlockOnNewLine = form_->btnParagraph->isChecked();
        if (currentBlock_ != 0) {
            block.BlockAlign = form_->btnLeft->isChecked()     ? baLeft
                               : form_->btnCenter->isChecked() ? baCenter
                                                               : baRight;
        }
        StorePanel(block);
        after = StoredState(block);
        kind = block.BlockType;
    } catch (const EListError&) {
    }
    modified_ = true;
    panelTouched_ = false;
    // The edits of one visit to a block are one step, however often they are stored.
    if (before != after && changeDepth_ == 0) {
        RecordChange(std::string("Edit ") + BlockCaption(kind), currentBlock_, currentBlock_,
                     visit_);
    }
    UpdateUndoActions();
}

void TfrmMain::ShowBlock() {
    const TFillingPanels filling(*this);
    ++visit_;
    panelTouched_ = false;
    const int selected = form_->lstBlocks->currentRow();
    try {
        TPageItem& block = document_->Page().Items(selected);
        form_->btnParagraph->setChecked(block.BlockOnNewLine);
        switch (block.BlockAlign) {
            case baLeft:
                form_->btnLeft->setChecked(true);
                break;
            case baCenter:
                form_->btnCenter->setChecked(true);
                break;
            case baRight:
                form_->btnRight->setChecked(true);
                break;
            case baNone:
                break;
        }
        ShowPanel(block);
        form_->pnlAlign->setVisible(block.BlockAlign != baNone);
    } catch (const EListError&) {
    }
    currentBlock_ = selected;
}

void TfrmMain::InitNewBlock(int index, TBlockType kind) {
    const TFillingPanels filling(*this);
    tessel::InitNewBlock(*document_, index, kind);
    if (kind == btHeading)
        headingFontChosen_ = 0;
    if (kind == btText)
        textFontChosen_ = 0;
    if (kind == btLink)
        form_->lstLinks->ClearLines();
    if (kind == btForms) {
        ShowForms();
        RebuildFormsList();
    }
}

void TfrmMain::RefillBlockList() {
    QListWidget* list = form_->lstBlocks;
    const TPageCollection& page = document_->Page();
    const int shown = list->count();
    const int blocks = page.Count();
    auto same = [&](int row, int block) {
        return list->item(row)->data(kBlockKindRole).toInt() == page.Items(block).BlockType;
    };
    // Most steps change one entry or a few: those are mended, the rest stays.
    int start = 0;
    while (start < shown && start < blocks && same(start, start)) ++start;
    int end = 0;
    while (end < shown - start && end < blocks - start && same(shown - 1 - end, blocks - 1 - end))
        ++end;
    TSelectingInCode guard(selectingInCode_);
    // A block moved: the entries between its two places are shifted by one.
    const int stretch = shown - start - end;
    if (stretch >= 2 && stretch == blocks - start - end) {
        const int last = start + stretch - 1;
        bool down = same(start, last);
        bool up = same(last, start);
        for (int i = 0; i + 1 < stretch && (down || up); ++i) {
            down = down && same(start + i + 1, start + i);
            up = up && same(start + i, start + i + 1);
        }
        if (down || up) {
            list->insertItem(down ? last : start, list->takeItem(down ? start : last));
            return;
        }
    }
    if (shown - start - end + blocks - start - end > kMendedEntries) {
        list->clear();
        start = 0;
    } else {
        for (int row = shown - end - 1; row >= start; --row) delete list->takeItem(row);
    }
    for (int i = start; i < blocks - end; ++i)
        list->insertItem(i, NewBlockEntry(page.Items(i).BlockType));
}

void TfrmMain::RebuildBlockList() {
    QListWidget* list = form_->lstBlocks;
    {
        TSelectingInCode guard(selectingInCode_);
        list->clear();
        const TPageCollection& page = document_->Page();
        for (int i = 0; i < page.Count(); ++i)
            list->addItem(NewBlockEntry(page.Items(i).BlockType));
    }
    RebuildFormsList();
    currentBlock_ = -1;
    SelectBlockEntry(0);
    lstBlocksClick();
    form_->pnlPanels->setCurrentWidget(form_->pnlPageProp);
}

}  // namespace tessel

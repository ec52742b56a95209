// The link panel's drop-box list: adding, replacing, removing, loading and exchanging
// entries.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/ListBoxHrz.h"
#include "app/Main.h"
#include "app/core/PanelRules.h"
#include "platform/gui/TextConvert.h"
#include "ui_Main.h"

namespace tessel {

std::string TfrmMain::LinkEntryFromEdits() const {
    return LinkEntry(form_->chkEmail->isChecked(), FromQt(form_->txtLinkAddress->text()),
                     FromQt(form_->txtLinkText->text()));
}

void TfrmMain::chkLinkClick() {
    Ui::TfrmMain& f = *form_;
    const bool ticked = f.chkLink->isChecked();
    f.btnLinkAdd->setEnabled(ticked);
    f.btnLinkRemove->setEnabled(ticked && f.lstLinks->count() > 0);
    f.btnLinkEdit->setEnabled(f.btnLinkRemove->isEnabled());
    f.lstLinks->setEnabled(ticked);
}

void TfrmMain::btnLinkAddClick() {
    Ui::TfrmMain& f = *form_;
    if (f.txtLinkAddress->text().isEmpty() || f.txtLinkText->text().isEmpty())
        return;
    const TUndoableChange change(*this, "Link List", currentBlock_, true);
    const int row = f.lstLinks->currentRow() + 1;  // after the selected entry, or at the top
    f.lstLinks->InsertLine(row, ToQt(LinkEntryFromEdits()));
    f.lstLinks->setCurrentRow(row);
    f.txtLinkAddress->clear();
    f.txtLinkText->clear();
    f.chkLink->setChecked(true);
    f.chkEmail->setChecked(false);
    f.btnLinkRemove->setEnabled(true);
}

void TfrmMain::btnLinkRemoveClick() {
    const TUndoableChange change(*this, "Link List", currentBlock_, true);
    TListBoxHrz& list = *form_->lstLinks;
    // The selected entry; with none selected the last one, so the button never does nothing.
    const bool selected = list.currentRow() >= 0;
    const int row = selected ? list.currentRow() : list.count() - 1;
    RemoveLinkEntry(row);
    // The entry that moved into its place is selected, so Remove can go on down the list.
    list.setCurrentRow(selected ? std::min(row, list.count() - 1) : -1);
}

bool TfrmMain::lstLinksKeyDown(int key) {
    if (key != Qt::Key_Delete)
        return false;
    if (form_->lstLinks->currentRow() >= 0)
        btnLinkRemoveClick();
    return true;
}

void TfrmMain::RemoveLinkEntry(int row) {
    Ui::TfrmMain& f = *form_;
    if (row >= 0 && row < f.lstLinks->count())
        f.lstLinks->DeleteLine(row);
    const bool any = f.lstLinks->count() > 0;
    f.chkLink->setChecked(any);
    f.btnLinkRemove->setEnabled(any);
}

void TfrmMain::btnLinkEditClick() {
    Ui::TfrmMain& f = *form_;
    const int row = f.lstLinks->currentRow();
    if (row < 0 || !f.chkLink->isChecked() || f.txtLinkAddress->text().isEmpty() ||
        f.txtLinkText->text().isEmpty()) {
        return;
    }
    const TUndoableChange change(*this, "Link List", currentBlock_, true);
    f.lstLinks->ReplaceLine(row, ToQt(LinkEntryFromEdits()));
    f.lstLinks->setCurrentRow(row);
    f.chkEmail->setChecked(false);
    f.txtLinkAddress->clear();
    f.txtLinkText->clear();
}

void TfrmMain::lstLinksClick() {
    const bool selected = form_->lstLinks->currentRow() >= 0;
    form_->btnLinkEdit->setEnabled(selected);
    form_->btnLinkRemove->setEnabled(selected);
}

void TfrmMain::lstLinksDblClick() {
    Ui::TfrmMain& f = *form_;
    const int row = f.lstLinks->currentRow();
    if (row < 0)
        return;
    const TLinkEntryParts parts = SplitLinkEntry(FromQt(f.lstLinks->Line(row)));
    if (parts.email)
        f.chkEmail->setChecked(true);
    f.txtLinkAddress->setText(ToQt(parts.address));
    f.txtLinkText->setText(ToQt(parts.text));
}

bool TfrmMain::lstLinksDragOver(TDragSource source) {
    return source == TDragSource::Links;
}

void TfrmMain::lstLinksDragDrop(TDragSource source, int targetRow) {
    Ui::TfrmMain& f = *form_;
    const int selected = f.lstLinks->currentRow();
    if (source != TDragSource::Links || targetRow < 0 || selected < 0 || targetRow == selected) {
        return;
    }
    const TUndoableChange change(*this, "Link List", currentBlock_, true);
    const QString moved = f.lstLinks->Line(selected);
    f.lstLinks->ReplaceLine(selected, f.lstLinks->Line(targetRow));
    f.lstLinks->ReplaceLine(targetRow, moved);
}

}  // namespace tessel

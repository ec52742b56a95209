// The editor panels' actions that go through the font, bookmark and meta tag dialog, and the
// import of Internet shortcuts.

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include "app/Main.h"
#include "dialogs/Misc.h"
#include "dialogs/core/Bookmarks.h"
#include "platform/IniProfile.h"
#include "platform/RegistryStore.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_Main.h"

namespace tessel {

void TfrmMain::btnHeadingFontClick(int tag) {
    const TUndoableChange change(*this, "Fonts", currentBlock_, true);
    std::optional<TFontValue> chosen;
    {
        TBusyCursor busy(ui_);
        chosen = ChooseFont(ui_, env_.programFolder, MemoFont(tag), this);
    }
    if (!chosen)
        return;
    (tag == 0 ? headingFont_ : textFont_) = *chosen;
    (tag == 0 ? headingFontChosen_ : textFontChosen_) = 1;
    ApplyMemoFont(tag);
    MarkModified();
}

void TfrmMain::btnLinkIEClick(int tag) {
    TFileDialogRequest request;
    request.filter = QStringLiteral("Internet Shortcuts (*.url)");
    // The desktop has no Favorites folder of its own; a "Favorites" folder in the home
    // folder, where one was copied over from another system, is the natural place.
    request.folder = QDir::homePath() + QStringLiteral("/Favorites");
    const std::optional<QString> path = ui_.OpenFileName(this, request);
    if (!path)
        return;
    const std::string address =
        GetPrivateProfileString("InternetShortcut", "URL", "", FromQt(*path));
    if (!address.empty())
        SetLinkTarget(tag, ToQt(address));
}

void TfrmMain::btnLinkNetscapeClick(int tag) {
    TRegistryReader readRegistry = [](const std::string&, const std::string&) {
        return std::string();
    };
    if (env_.settings != nullptr)
        readRegistry = RegistryReaderOf(*env_.settings);
    const std::optional<std::string> link = ChooseBookmark(ui_, readRegistry, this);
    if (link && !link->empty())
        SetLinkTarget(tag, ToQt(*link));
}

void TfrmMain::btnMetaAddClick() {
    const TUndoableChange change(*this, "Meta Tags", currentBlock_, true);
    std::optional<TMetaTag> tag;
    {
        TBusyCursor busy(ui_);
        tag = EditMetaTag(ui_, TMetaTag{kMetaNames[0], ""}, this);
    }
    if (!tag)
        return;
    TListBoxHrz* list = form_->lstMeta;
    list->AddLine(ToQt(MetaLine(*tag)));
    list->setCurrentRow(list->count() - 1);
}

void TfrmMain::btnMetaEditClick() {
    TListBoxHrz* list = form_->lstMeta;
    const int row = list->currentRow();
    if (row < 0)
        return;
    const TUndoableChange change(*this, "Meta Tags", currentBlock_, true);
    std::optional<TMetaTag> tag;
    {
        TBusyCursor busy(ui_);
        tag = EditMetaTag(ui_, SplitMetaLine(FromQt(list->Line(row))), this);
    }
    if (!tag)
        return;
    list->ReplaceLine(row, ToQt(MetaLine(*tag)));
    list->setCurrentRow(row);
}

}  // namespace tessel

// The document commands: New, open from the command line, Save and Save As Template, and
// the window's side of a page generation.

#include <QListWidget>
#include <filesystem>

#include "app/Main.h"
#include "document/Exceptions.h"
#include "document/Stream.h"
#include "html/FormDelivery.h"
#include "html/MailScript.h"
#include "pagerules/ProgramPaths.h"
#include "platform/AtomicFile.h"
#include "platform/HelpContexts.h"
#include "platform/RecoveryCopy.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

namespace tessel {
namespace {

void EnsureFolderOf(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
}

}  // namespace

void TfrmMain::NewDocument() {
    const TFillingPanels filling(*this);
    QListWidget* list = form_->lstBlocks;
    {
        const bool previous = selectingInCode_;
        selectingInCode_ = true;
        list->clear();
        selectingInCode_ = previous;
    }
    document_->ClearDocument(true);
    SetDefaultBlocks(*document_);
    headingFontChosen_ = 0;
    textFontChosen_ = 0;
    form_->lstLinks->ClearLines();
    ClearFormsList();
    const TPageCollection& page = document_->Page();
    {
        const bool previous = selectingInCode_;
        selectingInCode_ = true;
        for (int i = 0; i < page.Count(); ++i)
            list->addItem(NewBlockEntry(page.Items(i).BlockType));
        selectingInCode_ = previous;
    }
    SelectBlockEntry(0);
    currentBlock_ = 0;
    StartUndoHistory();
}

// Asks whether to save the changes; true when the caller may go on (saved or not wanted).
bool TfrmMain::AskSaveChanges() {
    if (!modified_)
        return true;
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral("Would you like to save changes to %1?").arg(ToQt(currentName_));
    question.buttons = mbYes | mbNo | mbCancel;
    const TMsgButton answer = ui_.Message(this, question);
    if (answer == mbCancel)
        return false;
    if (answer == mbYes) {
        mnuSaveClick();
    } else {
        modified_ = false;
        DiscardRecoveryCopy();
    }
    return !modified_;
}

void TfrmMain::mnuNewClick() {
    if (!AskSaveChanges())
        return;
    NewDocument();
    ShowBlock();
    currentName_ = kUntitled;
    SetTitle(currentName_);
    btnCreateClick();
}

void TfrmMain::OpenDocument(const std::string& path) {
    document_->Page().Clear();
    bool failed = false;
    try {
        document_ = ReadDocumentFile(path);
    } catch (const ETesselError&) {
        failed = true;
    }
    if (failed) {
        ShowError(QStringLiteral("The selected file is not a valid .PGX or .PGT document."));
        NewDocument();
    }
    RebuildBlockList();
    if (failed || IsTemplateName(path)) {
        currentName_ = kUntitled;
    } else {
        currentName_ = path;
    }
    SetTitle(currentName_);
    StartUndoHistory();
}

bool TfrmMain::WriteDocument(const std::string& path) {
    try {
        WriteDocumentFile(path, *document_);
        return true;
    } catch (const ETesselError&) {
        ShowError(QStringLiteral("Unable to create file."));
        return false;
    }
}

// Generates the page in `mode` and writes it to `path`; the error text when that failed.
std::optional<QString> TfrmMain::WritePageHtml(TOutputMode mode, const std::string& path,
                                               const std::string& documentPath) {
    std::vector<std::string> lines;
    TGenerateOptions options;
    options.mode = mode;
    options.programFolder = env_.programFolder;
    options.banner = form_->chkLogo->isChecked();
    options.pageFileName = UploadHtmlName(documentPath);
    options.host = this;
    GeneratePage(*document_, lines, options);
    try {
        EnsureFolderOf(path);
        WriteFileAtomically(path, PageText(lines));
        return std::nullopt;
    } catch (const ETesselError& error) {
        return QString::fromUtf8(error.what());
    }
}

// The mail script beside the server copy when the page's form goes to it. Otherwise a script an
// earlier save left there is removed: it would mail with settings the page no longer has.
std::optional<QString> TfrmMain::WriteMailScript(const std::string& documentPath) {
    const std::string path = UploadMailScriptPath(env_.programFolder, documentPath);
    try {
        if (UsesMailScript(*document_)) {
            WriteFileAtomically(path, MailScriptText(*document_, UploadHtmlName(documentPath)));
        } else {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
        return std::nullopt;
    } catch (const ETesselError& error) {
        return QString::fromUtf8(error.what());
    }
}

// Asks for a file name in `folder`, stores the open panel and writes the document there.
// Nothing when the user cancels or the document could not be written: then no HTML is
// written and the page stays modified under its old name.
std::optional<std::string> TfrmMain::SaveDocumentAs(const QString& suffix, const QString& filter,
                                                    const std::string& folder) {
    TFileDialogRequest request;
    request.defaultSuffix = suffix;
    request.filter = filter;
    request.folder = ToQt(env_.programFolder + folder);
    if (!restoredFrom_.empty() && folder == kDocumentsFolder) {
        // A restored page goes back to its own file unless the user picks another.
        const std::filesystem::path original(restoredFrom_);
        request.folder = ToQt(original.parent_path().string());
        request.fileName = ToQt(original.filename().string());
    }
    const std::optional<QString> chosen = ui_.SaveFileName(this, request);
    if (!chosen)
        return std::nullopt;
    const std::string path = FromQt(*chosen);
    StoreBlock();
    if (!WriteDocument(path))
        return std::nullopt;
    return path;
}

// After the document was written to `path`: its two web copies, then the page goes by that
// name. False (after an error box) when a web copy could not be written.
bool TfrmMain::FinishSave(const std::string& path) {
    QStringList failures;
    for (const auto& [mode, htmlPath] :
         {std::pair{omLocalCopy, LocalHtmlPath(env_.programFolder, path)},
          std::pair{omServerCopy, UploadHtmlPath(env_.programFolder, path)}}) {
        if (const std::optional<QString> failure = WritePageHtml(mode, htmlPath, path))
            failures << *failure;
    }
    if (const std::optional<QString> failure = WriteMailScript(path))
        failures << *failure;
    // The document itself is written: it is saved under its new name either way.
    currentName_ = path;
    SetTitle(currentName_);
    modified_ = false;
    restoredFrom_.clear();
    DiscardRecoveryCopy();
    RemoveEarlierCopy();

    if (!failures.isEmpty()) {
        ShowError(QStringLiteral("The page was saved as %1, but writing its web page failed:\n\n%2")
                      .arg(ToQt(FileNameOf(path)), failures.join(QStringLiteral("\n"))));
        return false;
    }
    return true;
}

void TfrmMain::mnuSaveClick() {
    const std::optional<std::string> saved = SaveDocumentAs(
        QStringLiteral("pgx"), QStringLiteral("Tessel Files (*.pgx)"), kDocumentsFolder);
    if (!saved || !FinishSave(*saved))
        return;
    const std::string& path = *saved;
    TMessage message;
    message.kind = TMsgKind::Information;
    message.text =
        QStringLiteral("\"%1\" page has been automatically saved in your Uploads folder.")
            .arg(ToQt(UploadHtmlName(path)));
    message.buttons = mbOK | mbHelp;
    message.helpContext = kHelpUploadSaved;
    ui_.Message(this, message);  // its Help button shows the topic and keeps the box open
}

void TfrmMain::mnuCreateTemplateClick() {
    const std::optional<std::string> saved = SaveDocumentAs(
        QStringLiteral("pgt"), QStringLiteral("Tessel Template (*.pgt)"), kTemplatesFolder);
    if (!saved)
        return;
    if (const std::optional<QString> failure =
            WritePageHtml(omLocalCopy, TemplateHtmlPath(env_.programFolder, *saved), *saved))
        ShowError(*failure);
}

// --- the window as the generator's host ------------------------------------------------

void TfrmMain::StorePendingEdits() {
    StoreBlock();
}

void TfrmMain::SetBusy(bool busy) {
    if (busy) {
        ui_.PushBusyCursor();
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        ui_.PopBusyCursor();
    }
}

void TfrmMain::SelectTheme(const std::string& themeName) {
    const int index = themes_->IndexOfTheme(themeName);
    const bool previous = selectingTheme_;
    selectingTheme_ = true;
    form_->lstThemes->setCurrentRow(index);
    selectingTheme_ = previous;
}

void TfrmMain::ShowWarning(const std::string& message) {
    TMessage warning;
    warning.kind = TMsgKind::Warning;
    warning.text = ToQt(message);
    warning.buttons = mbOK;
    ui_.Message(this, warning);
}

}  // namespace tessel

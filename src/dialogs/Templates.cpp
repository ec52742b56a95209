#include "dialogs/Templates.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <filesystem>

#include "pagerules/ProgramPaths.h"
#include "platform/AtomicFile.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_Templates.h"

namespace tessel {

namespace {

// Item data: where the document lives, and its caption as the file system spells it.
constexpr int kPlaceRole = Qt::UserRole;
constexpr int kCaptionRole = Qt::UserRole + 1;

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

TfrmTemplates::TfrmTemplates(TUiServices& ui, const std::string& programFolder, QWidget* parent)
    : QDialog(parent),
      form_(std::make_unique<Ui::TfrmTemplates>()),
      ui_(ui),
      programFolder_(programFolder) {
    Ui::TfrmTemplates& f = *form_;
    f.setupUi(this);
    f.browser->SetDefaultFont(QStringLiteral("Times New Roman"));
    f.browser->SetDefaultFixedFont(QStringLiteral("Courier New"));
    // Links in a preview lead nowhere: the browser only shows the page.
    connect(f.browser, &THtmlView::HotSpotClick, this,
            [](const QUrl&, bool* handled) { *handled = true; });
    // A choice is a selected item, by mouse or keys; the item that focus alone makes current
    // is nobody's choice.
    connect(f.lvTemplates, &QListWidget::itemSelectionChanged, this,
            &TfrmTemplates::lvTemplatesClick);
    connect(f.lvTemplates, &QListWidget::itemDoubleClicked, this,
            &TfrmTemplates::lvTemplatesDblClick);
    connect(f.btnOpen, &QPushButton::clicked, this, &TfrmTemplates::btnOpenClick);
    connect(f.btnDelete, &QPushButton::clicked, this, &TfrmTemplates::btnDeleteClick);
    connect(f.btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(f.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    FillList();
}

TfrmTemplates::~TfrmTemplates() = default;

int TfrmTemplates::Run() {
    return ui_.Exec(*this);
}

void TfrmTemplates::FillList() {
    Ui::TfrmTemplates& f = *form_;
    const QSignalBlocker blocker(f.lvTemplates);
    f.lvTemplates->clear();
    const QIcon icons[] = {PictureIcon(QStringLiteral("docTemplate")),
                           PictureIcon(QStringLiteral("docPage"))};
    for (const TDocumentEntry& entry : ListDocuments(programFolder_)) {
        auto* item = new QListWidgetItem(icons[entry.place], ToQt(entry.caption));
        item->setData(kPlaceRole, static_cast<int>(entry.place));
        item->setData(kCaptionRole, QByteArray::fromStdString(entry.caption));
        f.lvTemplates->addItem(item);
    }
}

TDocumentEntry TfrmTemplates::EntryOf(const QListWidgetItem& item) const {
    TDocumentEntry entry;
    entry.caption = item.data(kCaptionRole).toByteArray().toStdString();
    entry.place = static_cast<TDocumentPlace>(item.data(kPlaceRole).toInt());
    return entry;
}

QListWidgetItem* TfrmTemplates::SelectedItem() const {
    const QList<QListWidgetItem*> selected = form_->lvTemplates->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TfrmTemplates::lvTemplatesClick() {
    Ui::TfrmTemplates& f = *form_;
    QListWidgetItem* item = SelectedItem();
    if (item == nullptr)
        return;
    const TDocumentEntry entry = EntryOf(*item);
    f.btnOK->setEnabled(true);
    chosenFile_ = DocumentPath(programFolder_, entry);
    const std::string html = PreviewHtmlPath(chosenFile_);
    // Without an HTML file the preview keeps what it showed.
    if (IsFile(html))
        ShowPreview(html, DocumentFolder(programFolder_, entry.place));
}

void TfrmTemplates::lvTemplatesDblClick() {
    if (SelectedItem() != nullptr && !chosenFile_.empty())
        accept();
}

void TfrmTemplates::btnOpenClick() {
    Ui::TfrmTemplates& f = *form_;
    TFileDialogRequest request;
    request.filter = QStringLiteral("Tessel Files (*.pgx);;Tessel Template (*.pgt)");
    request.folder = ToQt(programFolder_ + kDocumentsFolder);
    const std::optional<QString> chosen = ui_.OpenFileName(this, request);
    if (!chosen)
        return;
    chosenFile_ = FromQt(*chosen);
    f.btnOK->setEnabled(true);
    {
        // No item stays highlighted for a document that OK would not open, and a click on
        // the one highlighted before selects, and so chooses, it again.
        const QSignalBlocker blocker(f.lvTemplates);
        f.lvTemplates->clearSelection();
    }
    const std::string html = PreviewHtmlPath(chosenFile_);
    if (IsFile(html))
        ShowPreview(html, std::filesystem::path(chosenFile_).parent_path().string() + "/");
}

void TfrmTemplates::btnDeleteClick() {
    Ui::TfrmTemplates& f = *form_;
    QListWidgetItem* item = SelectedItem();
    if (item == nullptr)
        return;
    ui_.Beep();
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral("Do you want to delete %1?").arg(item->text());
    question.buttons = mbYes | mbNo;
    if (ui_.Message(this, question) != mbYes)
        return;

    const TDeleteResult result = DeleteDocumentFiles(DocumentPath(programFolder_, EntryOf(*item)));
    if (!result.error.empty()) {
        ui_.Message(this, {TMsgKind::Error, QString(),
                           QStringLiteral("Unable to delete %1:\n%2")
                               .arg(item->text(), QString::fromStdString(result.error)),
                           mbOK, 0});
    }
    {
        const QSignalBlocker blocker(f.lvTemplates);
        // A document that could not be deleted keeps its item.
        if (result.deleted)
            delete f.lvTemplates->takeItem(f.lvTemplates->row(item));
        f.lvTemplates->setCurrentRow(-1);
    }
    f.lvTemplates->doItemsLayout();
    ClearPreview();
    f.btnOK->setEnabled(false);
}

// Shows an HTML file with its pictures found from `rootFolder`; a file that cannot be read
// leaves the preview empty.
void TfrmTemplates::ShowPreview(const std::string& htmlPath, const std::string& rootFolder) {
    Ui::TfrmTemplates& f = *form_;
    ClearPreview();
    try {
        const std::string text = ReadWholeFile(htmlPath);
        f.browser->SetServerRoot(ToQt(rootFolder));
        f.browser->LoadText(text);
        previewFile_ = htmlPath;
    } catch (const std::exception&) {
    }
}

void TfrmTemplates::ClearPreview() {
    form_->browser->Clear();
    previewFile_.clear();
}

}  // namespace tessel

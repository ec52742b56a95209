#include "dialogs/Misc.h"

#include <QListWidgetItem>
#include <QSignalBlocker>
#include <QWhatsThis>

#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "themes/Color.h"
#include "ui_Misc.h"

namespace tessel {

namespace {

constexpr int kPlaceholderRole = Qt::UserRole;

const char* const kMetaTagTips =
    "Description: a sentence or two about the page. Many search engines show it below the "
    "page's title in their results.\n\n"
    "Keywords: words and phrases that people might search for to find the page, separated "
    "by commas.\n\n"
    "Pics-Label: a content rating label for the page, as a rating service issues it.\n\n"
    "Expires: the date and time after which a browser should fetch the page afresh, for "
    "example \"Tue, 20 Aug 2030 14:25:27 GMT\".\n\n"
    "Reply-to: the e-mail address to write to about the page.";

}  // namespace

TfrmMisc::TfrmMisc(TUiServices& ui, TMiscMode mode, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::TfrmMisc>()), ui_(ui), mode_(mode) {
    form_->setupUi(this);
    form_->pnlFont->setVisible(mode == mmFont);
    form_->lstBookmarks->setVisible(mode == mmBookmarks);
    form_->pnlMeta->setVisible(mode == mmMetaTag);
    form_->cbName->setCurrentIndex(-1);
    form_->cbSize->setCurrentIndex(-1);
    form_->lblMetaName->setContextMenuPolicy(Qt::CustomContextMenu);
    form_->cbMetaName->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(form_->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(form_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(form_->cbName, &QComboBox::activated, this, &TfrmMisc::cbNameChange);
    connect(form_->cbSize, &QComboBox::activated, this, &TfrmMisc::cbSizeChange);
    for (QPushButton* toggle : {form_->btnBold, form_->btnItalic, form_->btnUnderline}) {
        connect(toggle, &QPushButton::toggled, this, &TfrmMisc::btnStyleClick);
    }
    connect(form_->btnColor, &QPushButton::clicked, this, &TfrmMisc::btnColorClick);
    connect(form_->lstBookmarks, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(form_->txtMetaContent, &QLineEdit::textChanged, this, &TfrmMisc::txtMetaContentChange);
    connect(form_->lblMetaName, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) {
                lblMetaNameContextPopup(form_->lblMetaName->mapToGlobal(position));
            });
    connect(form_->cbMetaName, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) {
                lblMetaNameContextPopup(form_->cbMetaName->mapToGlobal(position));
            });
    ApplyFontToPreview();
    adjustSize();
}

TfrmMisc::~TfrmMisc() = default;

int TfrmMisc::Run() {
    switch (mode_) {
        case mmFont:
            ShowFontFace();
            break;
        case mmMetaTag:
            ShowMetaFace();
            break;
        case mmBookmarks:
            if (!ShowBookmarkFace()) {
                setResult(QDialog::Rejected);
                return QDialog::Rejected;
            }
            break;
    }
    return ui_.Exec(*this);
}

// --- Font face ------------------------------------------------------------------------

void TfrmMisc::SetFontValue(const TFontValue& font) {
    font_ = font;
    ApplyFontToPreview();
}

void TfrmMisc::ShowFontFace() {
    setWindowTitle(QStringLiteral("Font"));
    std::vector<std::string> installed;
    for (const QString& name : ui_.FontFamilies()) {
        installed.push_back(FromQt(name));
    }
    form_->cbName->clear();
    for (const std::string& family : FontFamilyNames(installed)) {
        form_->cbName->addItem(ToQt(family));
    }
    // A font chosen by the foundry's name in an older page is offered by its family.
    font_.Name = FontFamilyName(font_.Name);
    form_->cbName->setCurrentIndex(form_->cbName->findText(ToQt(font_.Name), Qt::MatchFixedString));
    form_->cbSize->setCurrentIndex(FontSizeIndex(font_.Size));
    // Setting the toggles is no user's choice: it must not write back into the font.
    const QSignalBlocker boldBlocker(form_->btnBold);
    const QSignalBlocker italicBlocker(form_->btnItalic);
    const QSignalBlocker underlineBlocker(form_->btnUnderline);
    form_->btnBold->setChecked(font_.Bold);
    form_->btnItalic->setChecked(font_.Italic);
    form_->btnUnderline->setChecked(font_.Underline);
    ApplyFontToPreview();
    form_->cbName->setFocus();
}

void TfrmMisc::cbNameChange(int index) {
    if (index < 0) {
        return;
    }
    font_.Name = FromQt(form_->cbName->itemText(index));
    ApplyFontToPreview();
}

void TfrmMisc::cbSizeChange(int index) {
    ApplyFontSize(font_, index);
    ApplyFontToPreview();
}

void TfrmMisc::btnStyleClick() {
    font_.Bold = form_->btnBold->isChecked();
    font_.Italic = form_->btnItalic->isChecked();
    font_.Underline = form_->btnUnderline->isChecked();
    ApplyFontToPreview();
}

void TfrmMisc::btnColorClick() {
    std::optional<TfrmColor> picker;
    {
        TBusyCursor busy(ui_);
        picker.emplace(ui_, programFolder_, this);
        picker->SetColorIn(font_.Color);
    }
    if (picker->Run() == QDialog::Accepted) {
        font_.Color = picker->ColorOut();
        ApplyFontToPreview();
    }
}

void TfrmMisc::ApplyFontToPreview() {
    QLabel& preview = *form_->lblPreview;
    QFont font = preview.font();
    font.setFamily(ToQt(font_.Name));
    if (font_.Size > 0) {
        font.setPointSize(font_.Size);
    }
    font.setBold(font_.Bold);
    font.setItalic(font_.Italic);
    font.setUnderline(font_.Underline);
    preview.setFont(font);
    QPalette palette = preview.palette();
    palette.setColor(QPalette::WindowText, QColor(GetRValue(font_.Color), GetGValue(font_.Color),
                                                  GetBValue(font_.Color)));
    preview.setPalette(palette);
}

// --- Bookmark face --------------------------------------------------------------------

bool TfrmMisc::ShowBookmarkFace() {
    const std::string path = readRegistry_ ? NetscapeBookmarkPath(readRegistry_) : std::string();
    if (ReadBookmarks(path)) {
        return true;
    }
    const TMsgButton answer = ui_.Message(
        this,
        {TMsgKind::Information, QString(),
         QStringLiteral("Unable to find Netscape Bookmarks. Would you like to find it yourself?"),
         mbYes | mbNo, 0});
    if (answer == mbYes) {
        TFileDialogRequest request;
        request.filter = QStringLiteral("HTML Files (*.htm *.html)");
        const std::optional<QString> chosen = ui_.OpenFileName(this, request);
        if (!chosen) {
            return false;
        }
        ReadBookmarks(FromQt(*chosen));
        return true;
    }
    if (form_->lstBookmarks->count() == 0) {
        FinishBookmarkList();
    }
    return false;
}

bool TfrmMisc::ReadBookmarks(const std::string& path) {
    TBusyCursor busy(ui_);
    std::vector<std::string> links;
    const bool read = ReadBookmarkFile(path, links);
    for (const std::string& link : links) {
        form_->lstBookmarks->addItem(ToQt(link));
    }
    if (read) {
        FinishBookmarkList();
    }
    return read;
}

void TfrmMisc::FinishBookmarkList() {
    QListWidget& list = *form_->lstBookmarks;
    if (list.count() == 0) {
        auto* placeholder = new QListWidgetItem(QString::fromLatin1(kNoBookmarksFound), &list);
        placeholder->setData(kPlaceholderRole, true);
    }
    list.setCurrentRow(0);
}

std::optional<std::string> TfrmMisc::SelectedBookmark() const {
    const QListWidgetItem* item = form_->lstBookmarks->currentItem();
    if (item == nullptr || !item->isSelected() || item->data(kPlaceholderRole).toBool() ||
        item->text().isEmpty()) {
        return std::nullopt;
    }
    return FromQt(item->text());
}

// --- Meta face ------------------------------------------------------------------------

void TfrmMisc::SetMetaTag(const TMetaTag& tag) {
    QComboBox& names = *form_->cbMetaName;
    while (names.count() > static_cast<int>(kMetaNames.size())) {
        names.removeItem(names.count() - 1);
    }
    int index = MetaNameIndex(tag.Name);
    if (index < 0 && !tag.Name.empty()) {
        names.addItem(ToQt(tag.Name));
        index = names.count() - 1;
    }
    names.setCurrentIndex(index);
    form_->txtMetaContent->setText(ToQt(tag.Content));
}

TMetaTag TfrmMisc::MetaTag() const {
    const QComboBox& names = *form_->cbMetaName;
    return {names.currentIndex() < 0 ? std::string() : FromQt(names.currentText()),
            FromQt(form_->txtMetaContent->text())};
}

void TfrmMisc::ShowMetaFace() {
    setWindowTitle(QStringLiteral("Meta Tag"));
    txtMetaContentChange();
    form_->txtMetaContent->setFocus();
}

void TfrmMisc::txtMetaContentChange() {
    if (mode_ == mmMetaTag) {
        form_->btnOK->setEnabled(IsMetaTagAcceptable(MetaTag()));
    }
}

void TfrmMisc::lblMetaNameContextPopup(const QPoint& position) {
    QWhatsThis::showText(position, QString::fromLatin1(kMetaTagTips), this);
}

// --- Running a face -------------------------------------------------------------------

std::optional<TFontValue> ChooseFont(TUiServices& ui, const std::string& programFolder,
                                     const TFontValue& font, QWidget* parent) {
    TfrmMisc dialog(ui, mmFont, parent);
    dialog.SetProgramFolder(programFolder);
    dialog.SetFontValue(font);
    if (dialog.Run() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.FontValue();
}

std::optional<std::string> ChooseBookmark(TUiServices& ui, TRegistryReader readRegistry,
                                          QWidget* parent) {
    TfrmMisc dialog(ui, mmBookmarks, parent);
    dialog.SetRegistryReader(std::move(readRegistry));
    if (dialog.Run() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.SelectedBookmark();
}

std::optional<TMetaTag> EditMetaTag(TUiServices& ui, const TMetaTag& tag, QWidget* parent) {
    TfrmMisc dialog(ui, mmMetaTag, parent);
    dialog.SetMetaTag(tag);
    if (dialog.Run() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.MetaTag();
}

}  // namespace tessel

#include "themes/Themes.h"

#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <filesystem>
#include <utility>

#include "document/Exceptions.h"
#include "html/Routines.h"
#include "pagerules/PictureFolder.h"
#include "pagerules/PictureNames.h"
#include "pagerules/ProgramPaths.h"
#include "platform/HelpContexts.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "themes/Color.h"
#include "themes/core/ThemeRules.h"
#include "themes/core/WebTheme.h"
#include "ui_Themes.h"

namespace tessel {

namespace {

const char kDragFormat[] = "application/x-tessel-theme";

QColor ToQColor(TColor color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

}  // namespace

TfrmTheme::TfrmTheme(TUiServices& ui, const std::string& programFolder, TWebTheme& themes,
                     bool savePending, QWidget* parent)
    : QDialog(parent),
      form_(std::make_unique<Ui::TfrmTheme>()),
      ui_(ui),
      programFolder_(programFolder),
      themes_(themes),
      savePending_(savePending) {
    Ui::TfrmTheme& f = *form_;
    f.setupUi(this);
    setProperty("helpContext", kHelpThemeList);
    f.pnlEdit->hide();
    f.imgBG->hide();
    f.btnAdd->setIcon(PictureIcon(QStringLiteral("glyphAdd")));
    f.btnRemove->setIcon(PictureIcon(QStringLiteral("glyphRemove")));
    f.btnEdit->setIcon(PictureIcon(QStringLiteral("glyphEdit")));
    f.btnApply->setIcon(PictureIcon(QStringLiteral("glyphApply")));
    f.btnBack->setIcon(PictureIcon(QStringLiteral("glyphCancel")));
    f.btnBackground->setIcon(PictureIcon(QStringLiteral("glyphBrowse")));
    f.btnClear->setIcon(PictureIcon(QStringLiteral("glyphClear")));
    // The edit of the up-down is the margin edit: digits only, at most three.
    if (auto* margin = f.updnLeftMargin->findChild<QLineEdit*>()) {
        margin->setObjectName(QStringLiteral("txtLeftMargin"));
        margin->setMaxLength(3);
    }

    const TThemeCollection& items = themes_.Items();
    for (int i = 0; i < items.Count(); ++i)
        f.lstEditThemes->addItem(ToQt(items.Items(i).ThemeName));

    f.lstEditThemes->setAcceptDrops(true);
    f.lstEditThemes->viewport()->setAcceptDrops(true);
    f.lstEditThemes->viewport()->installEventFilter(this);
    for (QWidget* watched :
         {static_cast<QWidget*>(f.lblBGColor), static_cast<QWidget*>(f.lblTextColor),
          static_cast<QWidget*>(f.lblLinkColor), static_cast<QWidget*>(f.lblALinkColor),
          static_cast<QWidget*>(f.lblVLinkColor), static_cast<QWidget*>(f.imgBG),
          static_cast<QWidget*>(f.lblNoImage)}) {
        watched->installEventFilter(this);
    }

    // A mouse press makes its row current before it selects it: the selection is what counts.
    connect(f.lstEditThemes, &QListWidget::itemSelectionChanged, this,
            &TfrmTheme::ShowSelectedTheme);
    connect(f.lstEditThemes, &QListWidget::itemDoubleClicked, this, &TfrmTheme::btnEditClick);
    connect(f.btnAdd, &QPushButton::clicked, this, &TfrmTheme::btnAddClick);
    connect(f.btnEdit, &QPushButton::clicked, this, &TfrmTheme::btnEditClick);
    connect(f.btnRemove, &QPushButton::clicked, this, &TfrmTheme::btnRemoveClick);
    connect(f.btnApply, &QPushButton::clicked, this, &TfrmTheme::btnApplyClick);
    connect(f.btnBack, &QPushButton::clicked, this, &TfrmTheme::btnBackClick);
    connect(f.btnBackground, &QToolButton::clicked, this, &TfrmTheme::btnBackgroundClick);
    connect(f.btnClear, &QToolButton::clicked, this, &TfrmTheme::btnClearClick);
    connect(f.txtDescription, &QLineEdit::textChanged, this, &TfrmTheme::txtDescriptionChange);
    connect(f.btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(f.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    ShowSelectedTheme();
}

TfrmTheme::~TfrmTheme() = default;

void TfrmTheme::SelectTheme(const std::string& themeName) {
    const int index = themes_.IndexOfTheme(themeName);
    form_->lstEditThemes->setCurrentRow(index);
    if (index >= 0) {
        form_->lstEditThemes->scrollToItem(form_->lstEditThemes->item(index),
                                           QAbstractItemView::PositionAtTop);
    }
}

int TfrmTheme::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = form_->lstEditThemes->selectedItems();
    return selected.isEmpty() ? -1 : form_->lstEditThemes->row(selected.first());
}

QStringList TfrmTheme::ThemeNames() const {
    QStringList names;
    for (int i = 0; i < form_->lstEditThemes->count(); ++i)
        names.push_back(form_->lstEditThemes->item(i)->text());
    return names;
}

int TfrmTheme::Run() {
    ShowSelectedTheme();
    return ui_.Exec(*this);
}

void TfrmTheme::done(int result) {
    if (storeChanged_ || savePending_)
        SaveThemes();
    QDialog::done(result);
}

// A failed write is reported and remembered: the store keeps the changes, and the next
// editor to close writes them.
void TfrmTheme::SaveThemes() {
    try {
        tessel::SaveThemes(programFolder_, themes_);
        savePending_ = false;
    } catch (const std::exception& error) {
        savePending_ = true;
        ui_.Message(this, {TMsgKind::Error, QString(),
                           QStringLiteral("Unable to save the page themes:\n") +
                               QString::fromUtf8(error.what()),
                           mbOK, 0});
    }
}

// --- showing ---------------------------------------------------------------------------

void TfrmTheme::ShowSelectedTheme() {
    Ui::TfrmTheme& f = *form_;
    const int index = SelectedIndex();
    if (index >= 0 && index < themes_.Items().Count()) {
        const TThemeItem& item = themes_.Items().Items(index);
        f.txtDescription->setText(ToQt(item.ThemeName));
        f.txtBackground->setText(ToQt(item.BGImage));
        try {
            f.updnLeftMargin->setValue(StrToInt(item.LeftMargin));
        } catch (const EConvertError&) {
            // Not a number: the up-down keeps its position.
        }
        SetColors(item.BGColor, item.TextColor, item.LinkColor, item.ALinkColor, item.VLinkColor);
        const std::string path = PictureFilePath(programFolder_ + kBackgroundsFolder, item.BGImage);
        std::error_code error;
        if (!path.empty() && std::filesystem::is_regular_file(path, error)) {
            ShowPicture(ToQt(path));
        } else {
            ClearPicture();
            if (!path.empty()) {
                // A picture gone from its folder is still the theme's: Apply keeps its name
                // unless the user clears it or picks another.
                f.imgBG->setToolTip(ToQt(path));
                f.lblNoImage->setText(
                    QStringLiteral("The picture %1 is missing").arg(ToQt(FileNameOf(path))));
            }
        }
    }
    f.btnRemove->setEnabled(index >= 0);
    f.btnEdit->setEnabled(index >= 0);
}

// The hint is the theme's own picture even when it cannot be decoded, so that Apply keeps its
// name; the area then says so rather than keep the picture of the theme shown before.
void TfrmTheme::ShowPicture(const QString& path) {
    Ui::TfrmTheme& f = *form_;
    f.lblNoImage->hide();
    f.imgBG->show();
    f.imgBG->setToolTip(path);
    const QImage picture = QImageReader(path).read();
    if (picture.isNull()) {
        f.imgBG->setText(
            QStringLiteral("The picture %1 cannot be shown").arg(QFileInfo(path).fileName()));
        return;
    }
    f.imgBG->setPixmap(QPixmap::fromImage(picture));
}

void TfrmTheme::ClearPicture() {
    Ui::TfrmTheme& f = *form_;
    f.imgBG->clear();
    f.imgBG->setToolTip(QString());
    f.imgBG->hide();
    f.lblNoImage->setText(QStringLiteral("No Background Image"));
    f.lblNoImage->show();
}

void TfrmTheme::SetColors(TColor background, TColor text, TColor link, TColor activeLink,
                          TColor visitedLink) {
    Ui::TfrmTheme& f = *form_;
    QPalette palette = f.lblBGColor->palette();
    palette.setColor(QPalette::Window, ToQColor(background));
    f.lblBGColor->setPalette(palette);
    SetLabelColor(f.lblTextColor, text);
    SetLabelColor(f.lblLinkColor, link);
    SetLabelColor(f.lblALinkColor, activeLink);
    SetLabelColor(f.lblVLinkColor, visitedLink);
}

// The background label holds its colour as its own; the others as their font colour.
TColor TfrmTheme::LabelColor(QLabel* label) const {
    const QPalette::ColorRole role =
        label == form_->lblBGColor ? QPalette::Window : QPalette::WindowText;
    return FromQColor(label->palette().color(role));
}

void TfrmTheme::SetLabelColor(QLabel* label, TColor color) {
    const QPalette::ColorRole role =
        label == form_->lblBGColor ? QPalette::Window : QPalette::WindowText;
    QPalette palette = label->palette();
    palette.setColor(role, ToQColor(color));
    label->setPalette(palette);
}

// --- the two faces ---------------------------------------------------------------------

bool TfrmTheme::EditFaceShown() const {
    return form_->pnlEdit->isVisibleTo(this);
}

void TfrmTheme::btnAddClick() {
    Ui::TfrmTheme& f = *form_;
    f.txtDescription->clear();
    f.txtBackground->clear();
    f.updnLeftMargin->setValue(0);
    SetColors(RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0), RGB(128, 0, 128));
    ClearPicture();
    ShowEditFace(TThemeEditMode::Add, QStringLiteral("Page Themes - Add"));
}

void TfrmTheme::btnEditClick() {
    if (SelectedIndex() < 0 || EditFaceShown())
        return;
    ShowEditFace(TThemeEditMode::Edit, QStringLiteral("Page Themes - Edit"));
}

void TfrmTheme::ShowEditFace(TThemeEditMode mode, const QString& caption) {
    Ui::TfrmTheme& f = *form_;
    mode_ = mode;
    pictureChosen_ = false;
    setWindowTitle(caption);
    f.lblWelcome->hide();
    f.pnlEdit->show();
    SetBrowseControlsEnabled(false);
    txtDescriptionChange();
    f.txtDescription->setFocus();
}

void TfrmTheme::SetBrowseControlsEnabled(bool enabled) {
    Ui::TfrmTheme& f = *form_;
    for (QWidget* control :
         {static_cast<QWidget*>(f.lstEditThemes), static_cast<QWidget*>(f.btnAdd),
          static_cast<QWidget*>(f.btnRemove), static_cast<QWidget*>(f.btnEdit),
          static_cast<QWidget*>(f.btnOK), static_cast<QWidget*>(f.btnCancel)}) {
        control->setEnabled(enabled);
    }
}

void TfrmTheme::txtDescriptionChange() {
    form_->btnApply->setEnabled(!form_->txtDescription->text().isEmpty());
}

// Leaves the edit face; edits that were not applied are discarded by showing the theme again.
void TfrmTheme::btnBackClick() {
    Ui::TfrmTheme& f = *form_;
    f.pnlEdit->hide();
    f.lblWelcome->show();
    SetBrowseControlsEnabled(true);
    const QString caption = windowTitle();
    setWindowTitle(caption.left(caption.indexOf(QLatin1Char('-'))).trimmed());
    ShowSelectedTheme();
}

// --- applying --------------------------------------------------------------------------

bool TfrmTheme::CheckName(const QString& name) {
    std::vector<std::string> names;
    for (const QString& entry : ThemeNames()) names.push_back(FromQt(entry));
    const int editIndex = mode_ == TThemeEditMode::Edit ? SelectedIndex() : -1;
    if (!ThemeNameRefused(names, editIndex, FromQt(name)))
        return true;
    ui_.Beep();
    ui_.Message(this, {TMsgKind::Information, QString(),
                       QStringLiteral("There is already a Theme with this name."), mbOK, 0});
    form_->txtDescription->setFocus();
    return false;
}

void TfrmTheme::btnApplyClick() {
    Ui::TfrmTheme& f = *form_;
    const QString name = f.txtDescription->text();
    if (name.isEmpty() || !EditFaceShown())
        return;
    TBusyCursor busy(ui_);
    if (!CheckName(name))
        return;
    if (mode_ == TThemeEditMode::Edit && SelectedIndex() < 0)
        return;

    std::string picturePath = FromQt(f.imgBG->toolTip());
    if (pictureChosen_ && !picturePath.empty())
        picturePath = ArrivedBackground(picturePath);
    f.imgBG->setToolTip(ToQt(picturePath));
    pictureChosen_ = false;

    int index = SelectedIndex();
    {
        // Selecting the new entry must not show its still empty values.
        const QSignalBlocker blocker(f.lstEditThemes);
        if (mode_ == TThemeEditMode::Add) {
            themes_.Items().Add();
            f.lstEditThemes->addItem(name);
            index = f.lstEditThemes->count() - 1;
            f.lstEditThemes->setCurrentRow(index);
        } else {
            f.lstEditThemes->item(index)->setText(name);
        }
    }
    TThemeItem& item = themes_.Items().Items(index);
    item.ThemeName = FromQt(name);
    item.BGImage = picturePath.empty() ? std::string() : FileNameOf(picturePath);
    item.LeftMargin = std::to_string(f.updnLeftMargin->value());
    item.BGColor = LabelColor(f.lblBGColor);
    item.TextColor = LabelColor(f.lblTextColor);
    item.LinkColor = LabelColor(f.lblLinkColor);
    item.ALinkColor = LabelColor(f.lblALinkColor);
    item.VLinkColor = LabelColor(f.lblVLinkColor);

    f.updnLeftMargin->setValue(0);
    storeChanged_ = true;
    btnBackClick();
}

// The path in the backgrounds folder that a chosen picture ends up at. A picture from
// elsewhere is copied there; a different file already holding its name is replaced only when
// the user says so.
std::string TfrmTheme::ArrivedBackground(const std::string& picturePath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(picturePath, error))
        return picturePath;
    const std::string folder = programFolder_ + kBackgroundsFolder;
    const std::string name = FileNameOf(picturePath);
    switch (ComparePictureWithFolder(picturePath, folder)) {
        case TPictureInFolder::Same:
            return folder + name;
        case TPictureInFolder::Different: {
            TMessage question;
            question.kind = TMsgKind::Confirmation;
            question.text =
                QStringLiteral(
                    "Your backgrounds folder already holds a different picture named \"%1\".\n\n"
                    "Replace it with the picture you chose? Every page and theme that uses "
                    "\"%1\" will then show the new picture. If you answer No, this theme uses "
                    "the picture already in the folder.")
                    .arg(ToQt(name));
            question.buttons = mbYes | mbNo;
            if (ui_.Message(this, question) != mbYes)
                return folder + name;
            break;
        }
        case TPictureInFolder::Absent:
            break;
    }
    // A failed copy is reported; the theme takes the chosen name either way.
    try {
        CopyPictureIntoFolder(picturePath, folder);
    } catch (const ETesselError& error) {
        ui_.Message(
            this,
            {TMsgKind::Error, QString(),
             QStringLiteral("The picture could not be copied into your backgrounds folder.\n\n%1")
                 .arg(QString::fromUtf8(error.what())),
             mbOK, 0});
    }
    return folder + name;
}

// --- colours and pictures --------------------------------------------------------------

void TfrmTheme::ColorLabelDblClick(QLabel* label) {
    if (!EditFaceShown())
        return;
    const QString detail = label == form_->lblBGColor ? label->toolTip() : label->text();
    std::optional<TColor> picked;
    {
        TBusyCursor busy(ui_);
        picked = PickColor(ui_, programFolder_, LabelColor(label), this,
                           QStringLiteral("Color Picker - ") + detail);
    }
    if (picked)
        SetLabelColor(label, *picked);
}

void TfrmTheme::btnBackgroundClick() {
    if (!EditFaceShown())
        return;
    Ui::TfrmTheme& f = *form_;
    TFileDialogRequest request;
    request.filter = QStringLiteral("Images Files (*.gif *.jpg *.jpeg *.bmp *.png)");
    request.fileName = QFileInfo(f.imgBG->toolTip()).fileName();
    request.folder = ToQt(programFolder_ + kBackgroundsFolder);
    const std::optional<QString> chosen = ui_.OpenPictureName(this, request);
    if (!chosen)
        return;
    const QString path = QFileInfo(*chosen).absoluteFilePath();
    const QImage picture = QImageReader(path).read();
    if (picture.isNull()) {
        // A picture the page could not show either is not taken.
        ui_.Message(
            this,
            {TMsgKind::Error, QString(),
             QStringLiteral("The picture could not be read: %1").arg(QFileInfo(path).fileName()),
             mbOK, 0});
        return;
    }
    f.txtBackground->setText(QFileInfo(path).fileName());
    f.imgBG->setToolTip(path);
    pictureChosen_ = true;
    f.lblNoImage->hide();
    f.imgBG->show();
    f.imgBG->setPixmap(QPixmap::fromImage(picture));
}

void TfrmTheme::btnClearClick() {
    form_->txtBackground->clear();
    pictureChosen_ = false;
    ClearPicture();
}

// --- delete and reorder ----------------------------------------------------------------

void TfrmTheme::btnRemoveClick() {
    Ui::TfrmTheme& f = *form_;
    const int index = SelectedIndex();
    if (index < 0)
        return;
    ui_.Beep();
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text = QStringLiteral("Do you want to delete the selected Theme?");
    question.buttons = mbYes | mbNo;
    if (ui_.Message(this, question) == mbYes) {
        const QSignalBlocker blocker(f.lstEditThemes);
        delete f.lstEditThemes->takeItem(index);
        themes_.Items().Delete(index);
        f.lstEditThemes->setCurrentRow(-1);
    }
    // The file is rewritten on closing whatever the answer.
    storeChanged_ = true;
    f.lstEditThemes->setFocus();
}

void TfrmTheme::lstEditThemesDragDrop(int target) {
    Ui::TfrmTheme& f = *form_;
    const int source = SelectedIndex();
    if (source < 0 || target < 0 || target >= f.lstEditThemes->count())
        return;
    themes_.Items().Move(source, target);
    {
        const QSignalBlocker blocker(f.lstEditThemes);
        QListWidgetItem* entry = f.lstEditThemes->takeItem(source);
        f.lstEditThemes->insertItem(target, entry);
        f.lstEditThemes->setCurrentRow(target);
    }
    storeChanged_ = true;
}

void TfrmTheme::StartDrag() {
    auto* drag = new QDrag(form_->lstEditThemes);
    auto* data = new QMimeData;
    data->setData(kDragFormat, QByteArray::number(SelectedIndex()));
    drag->setMimeData(data);
    drag->setDragCursor(ProgramCursor(QStringLiteral("NEWDRAG")).pixmap(), Qt::MoveAction);
    ui_.ExecDrag(*drag, Qt::MoveAction);
}

bool TfrmTheme::eventFilter(QObject* watched, QEvent* event) {
    Ui::TfrmTheme& f = *form_;
    const QEvent::Type type = event->type();
    if (watched == f.lstEditThemes->viewport()) {
        if (type == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            // The list disabled in the edit face still shows its viewport's events to us.
            pressed_ = mouse->button() == Qt::LeftButton && f.lstEditThemes->isEnabled();
            pressPos_ = mouse->position().toPoint();
        } else if (type == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (pressed_ && (mouse->buttons() & Qt::LeftButton) && SelectedIndex() >= 0 &&
                (mouse->position().toPoint() - pressPos_).manhattanLength() >=
                    QApplication::startDragDistance()) {
                pressed_ = false;
                dragged_ = true;
                StartDrag();
                return true;
            }
        } else if (type == QEvent::MouseButtonRelease) {
            pressed_ = false;
            // The release that ends a drag is not a click on the entry under it.
            if (std::exchange(dragged_, false))
                return true;
        } else if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
            // Only the list's own entries are accepted.
            auto* drop = static_cast<QDropEvent*>(event);
            const bool own = (drop->source() == nullptr || drop->source() == f.lstEditThemes) &&
                             drop->mimeData()->hasFormat(kDragFormat);
            if (!own) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::MoveAction);
            drop->accept();
            if (type == QEvent::Drop)
                lstEditThemesDragDrop(f.lstEditThemes->indexAt(drop->position().toPoint()).row());
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }

    if (type == QEvent::MouseButtonDblClick) {
        if (watched == f.imgBG) {
            btnBackgroundClick();
            return true;
        }
        if (auto* label = qobject_cast<QLabel*>(watched);
            label != nullptr && label != f.lblNoImage) {
            ColorLabelDblClick(label);
            return true;
        }
    } else if (type == QEvent::MouseButtonRelease && watched == f.lblNoImage) {
        btnBackgroundClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Escape in the edit face is its Cancel; the dialog's own Cancel is disabled there.
void TfrmTheme::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && EditFaceShown()) {
        btnBackClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// An outline around the button column, as the strip of the main window has.
void TfrmTheme::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    Ui::TfrmTheme& f = *form_;
    const int right = width() - 2;
    const int top = f.btnAdd->geometry().top() - 1;
    const int bottom = f.btnEdit->geometry().bottom();
    const int left = f.bevLarge->geometry().right() + 2;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(right, top, right, bottom);
    painter.drawLine(right, bottom, left, bottom + 20);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(left, bottom + 20, left, 0);
    painter.drawLine(left, 0, right, top);
}

}  // namespace tessel

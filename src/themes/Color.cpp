#include "themes/Color.h"

#include <qdrawutil.h>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "document/Exceptions.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "themes/core/ColorRules.h"
#include "ui_Color.h"

namespace tessel {

namespace {

TPaletteTable& SharedPaletteTable() {
    static TPaletteTable table;
    return table;
}

QColor ToQColor(TColor color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

void FillBackground(QWidget& widget, TColor color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// A typed character the edit must refuse; shortcuts and editing keys pass.
bool RefusesKey(const QKeyEvent& key, bool (*accepts)(char)) {
    const QString text = key.text();
    if (text.isEmpty() || text.at(0) < QChar(' ') || key.modifiers() & Qt::ControlModifier) {
        return false;
    }
    return text.size() != 1 || text.at(0).unicode() > 0x7F || !accepts(text.at(0).toLatin1());
}

}  // namespace

TfrmColor::TfrmColor(TUiServices& ui, const std::string& programFolder, QWidget* parent,
                     TPaletteTable* table)
    : QDialog(parent),
      form_(std::make_unique<Ui::TfrmColor>()),
      ui_(ui),
      paletteFolder_(PaletteFolder(programFolder)),
      table_(table ? *table : SharedPaletteTable()) {
    form_->setupUi(this);
    scrollBars_ = {form_->hsbRed, form_->hsbGreen, form_->hsbBlue};
    decimalEdits_ = {form_->txtRed, form_->txtGreen, form_->txtBlue};
    hexEdits_ = {form_->txtHRed, form_->txtHGreen, form_->txtHBlue};

    form_->shpPicker->hide();
    form_->shpPicker->setAttribute(Qt::WA_TransparentForMouseEvents);
    FillBackground(*form_->pbPalette, clWhite);
    FillBackground(*form_->shpPreview, previewColor_);
    form_->pbPalette->installEventFilter(this);

    for (int c = cRed; c <= cBlue; ++c) {
        const auto component = static_cast<TComponent>(c);
        connect(scrollBars_[c], &QScrollBar::valueChanged, this,
                [this, component] { ScrollBarChange(component); });
        connect(decimalEdits_[c], &QLineEdit::textChanged, this,
                [this, component] { DecimalEditChange(component); });
        connect(hexEdits_[c], &QLineEdit::returnPressed, this,
                [this, component] { HexEditExit(component); });
        connect(hexEdits_[c], &QLineEdit::textEdited, this,
                [edit = hexEdits_[c]](const QString& text) {
                    if (text != text.toUpper()) {
                        const int cursor = edit->cursorPosition();
                        edit->setText(text.toUpper());
                        edit->setCursorPosition(cursor);
                    }
                });
        decimalEdits_[c]->installEventFilter(this);
        hexEdits_[c]->installEventFilter(this);
    }
    connect(form_->cbPalette, &QComboBox::activated, this, &TfrmColor::cbPaletteChange);
    connect(form_->bntOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(form_->btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

TfrmColor::~TfrmColor() {
    // The edits may lose the focus while they are destroyed; nothing of ours is left then.
    for (QLineEdit* edit : decimalEdits_) {
        edit->removeEventFilter(this);
    }
    for (QLineEdit* edit : hexEdits_) {
        edit->removeEventFilter(this);
    }
    form_->pbPalette->removeEventFilter(this);
}

void TfrmColor::FormCreate() {
    TPaletteEntry webPalette{kDefaultPaletteName,
                             std::string(kDefaultPaletteName) + kPaletteExtension};
    int webPaletteIndex = -1;
    for (const TPaletteEntry& palette : ListPalettes(paletteFolder_)) {
        form_->cbPalette->addItem(ToQt(palette.Name), ToQt(palette.FileName));
        if (webPaletteIndex < 0 && palette.Name == kDefaultPaletteName) {
            webPalette = palette;
            webPaletteIndex = form_->cbPalette->count() - 1;
        }
    }
    form_->cbPalette->setCurrentIndex(-1);
    // Without the default palette the picker still works through its edits, but keeps the
    // cursor and list as they are.
    if (!LoadPalette(webPalette)) {
        return;
    }
    form_->cbPalette->setCurrentIndex(webPaletteIndex);
    form_->pbPalette->setCursor(ProgramCursor("EYEDROPPER"));
}

void TfrmColor::FormShow() {
    scrollBars_[cRed]->setValue(GetRValue(colorIn_));
    scrollBars_[cGreen]->setValue(GetGValue(colorIn_));
    scrollBars_[cBlue]->setValue(GetBValue(colorIn_));
}

int TfrmColor::Run() {
    FormShow();
    return ui_.Exec(*this);
}

void TfrmColor::done(int result) {
    colorOut_ = previewColor_;
    QDialog::done(result);
}

bool TfrmColor::LoadPalette(const TPaletteEntry& palette) {
    form_->shpPicker->hide();
    try {
        table_.Colors = ReadPaletteFile(paletteFolder_ + palette.FileName);
    } catch (const ETesselError& error) {
        ui_.Message(this, {TMsgKind::Error, QString(), ToQt(error.what()), mbOK, 0});
        return false;
    }
    table_.Loaded = true;
    form_->pbPalette->update();
    return true;
}

void TfrmColor::cbPaletteChange(int index) {
    if (index < 0 || index >= form_->cbPalette->count()) {
        return;
    }
    LoadPalette({FromQt(form_->cbPalette->itemText(index)),
                 FromQt(form_->cbPalette->itemData(index).toString())});
}

void TfrmColor::pbPalettePaint(const QRect& area) {
    if (!table_.Loaded) {
        return;
    }
    QWidget& grid = *form_->pbPalette;
    QPainter painter(&grid);
    for (int row = 0; row < kPaletteColumns; ++row) {
        for (int column = 0; column < kPaletteColumns; ++column) {
            const QRect cell(column * kPaletteCellSize + 2, row * kPaletteCellSize + 2,
                             kPaletteCellSize - 2, kPaletteCellSize - 2);
            if (area.intersects(cell)) {
                painter.fillRect(cell, ToQColor(table_.Colors[row * kPaletteColumns + column]));
            }
        }
    }
    qDrawWinPanel(&painter, grid.rect(), grid.palette(), true);
}

void TfrmColor::pbPaletteMouseDown(const QPoint& position) {
    if (!table_.Loaded) {
        return;
    }
    const TPaletteCell cell = PaletteCellAt(position.x(), position.y());
    form_->shpPicker->move(cell.Column * kPaletteCellSize, cell.Row * kPaletteCellSize);
    form_->shpPicker->show();
    if (!cell.IsInside()) {
        return;
    }
    const TColor color = table_.Colors[cell.Index()];
    SetPreview(color);
    decimalEdits_[cRed]->setText(QString::number(GetRValue(color)));
    decimalEdits_[cGreen]->setText(QString::number(GetGValue(color)));
    decimalEdits_[cBlue]->setText(QString::number(GetBValue(color)));
}

void TfrmColor::ScrollBarChange(TComponent component) {
    const int position = scrollBars_[component]->value();
    decimalEdits_[component]->setText(QString::number(position));
    hexEdits_[component]->setText(ToQt(ComponentToHex(position)));
}

void TfrmColor::DecimalEditChange(TComponent component) {
    QLineEdit& edit = *decimalEdits_[component];
    QScrollBar& scrollBar = *scrollBars_[component];
    if (const std::optional<int> value = DecimalComponent(FromQt(edit.text()))) {
        scrollBar.setValue(*value);
    } else {
        edit.setText(QString::number(scrollBar.value()));
    }
    SetPreview(PositionsColor());
}

void TfrmColor::HexEditExit(TComponent component) {
    QLineEdit& edit = *hexEdits_[component];
    QScrollBar& scrollBar = *scrollBars_[component];
    if (const std::optional<int> value = HexComponent(FromQt(edit.text()))) {
        scrollBar.setValue(*value);
        // The scroll bar writes its value back only when it moved.
        edit.setText(ToQt(ComponentToHex(*value)));
    } else {
        edit.setText(ToQt(ComponentToHex(scrollBar.value())));
    }
    SetPreview(PositionsColor());
}

void TfrmColor::SetPreview(TColor color) {
    previewColor_ = color;
    FillBackground(*form_->shpPreview, color);
}

TColor TfrmColor::PositionsColor() const {
    return RGB(scrollBars_[cRed]->value(), scrollBars_[cGreen]->value(),
               scrollBars_[cBlue]->value());
}

std::optional<TfrmColor::TComponent> TfrmColor::DecimalEditComponent(QObject* object) const {
    for (int c = cRed; c <= cBlue; ++c) {
        if (decimalEdits_[c] == object) {
            return static_cast<TComponent>(c);
        }
    }
    return std::nullopt;
}

std::optional<TfrmColor::TComponent> TfrmColor::HexEditComponent(QObject* object) const {
    for (int c = cRed; c <= cBlue; ++c) {
        if (hexEdits_[c] == object) {
            return static_cast<TComponent>(c);
        }
    }
    return std::nullopt;
}

bool TfrmColor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_->pbPalette) {
        if (event->type() == QEvent::Paint) {
            pbPalettePaint(static_cast<QPaintEvent*>(event)->rect());
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                pbPaletteMouseDown(mouse->position().toPoint());
            }
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (DecimalEditComponent(watched)) {
            return RefusesKey(key, IsDecimalKey);
        }
        if (HexEditComponent(watched)) {
            return RefusesKey(key, IsHexKey);
        }
    }
    if (event->type() == QEvent::FocusOut) {
        if (const auto component = HexEditComponent(watched)) {
            HexEditExit(*component);
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<TColor> PickColor(TUiServices& ui, const std::string& programFolder, TColor color,
                                QWidget* parent, const QString& caption) {
    TfrmColor picker(ui, programFolder, parent);
    if (!caption.isEmpty()) {
        picker.setWindowTitle(caption);
    }
    picker.SetColorIn(color);
    if (picker.Run() != QDialog::Accepted) {
        return std::nullopt;
    }
    return picker.ColorOut();
}

}  // namespace tessel

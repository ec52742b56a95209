#pragma once

// The colour picker: one colour in, the picked colour out after OK. The colour comes from a
// grid of palette colours or from red, green and blue given as decimal numbers, hexadecimal
// numbers or scroll bars; the scroll bars hold the working colour.

#include <QDialog>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "document/Colors.h"
#include "themes/core/PaletteFile.h"

class QLineEdit;
class QScrollBar;

namespace Ui {
class TfrmColor;
}

namespace tessel {

class TUiServices;

class TfrmColor : public QDialog {
    Q_OBJECT

  public:
    // `table` is the palette every picker of the run shares unless a test gives its own.
    TfrmColor(TUiServices& ui, const std::string& programFolder, QWidget* parent = nullptr,
              TPaletteTable* table = nullptr);
    ~TfrmColor() override;

    void SetColorIn(TColor color) { colorIn_ = color; }
    // The preview's colour when the dialog closed, whichever way it closed.
    TColor ColorOut() const { return colorOut_; }
    TColor PreviewColor() const { return previewColor_; }

    // Shows the dialog modally through the UI services; QDialog::Accepted after OK.
    int Run();

    void done(int result) override;

  private:
    enum TComponent { cRed, cGreen, cBlue };

    void FormCreate();
    void FormShow();
    bool LoadPalette(const TPaletteEntry& palette);
    void cbPaletteChange(int index);
    void pbPalettePaint(const QRect& area);
    void pbPaletteMouseDown(const QPoint& position);
    void ScrollBarChange(TComponent component);
    void DecimalEditChange(TComponent component);
    void HexEditExit(TComponent component);
    void SetPreview(TColor color);
    TColor PositionsColor() const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    std::optional<TComponent> DecimalEditComponent(QObject* object) const;
    std::optional<TComponent> HexEditComponent(QObject* object) const;

    std::unique_ptr<Ui::TfrmColor> form_;
    TUiServices& ui_;
    std::string paletteFolder_;
    TPaletteTable& table_;
    std::array<QScrollBar*, 3> scrollBars_{};
    std::array<QLineEdit*, 3> decimalEdits_{};
    std::array<QLineEdit*, 3> hexEdits_{};
    TColor colorIn_ = clWhite;
    TColor colorOut_ = clWhite;
    TColor previewColor_ = clWhite;
};

// Runs a picker on `color` and gives the picked colour after OK, nothing after Cancel. An
// empty caption keeps "Color Picker".
std::optional<TColor> PickColor(TUiServices& ui, const std::string& programFolder, TColor color,
                                QWidget* parent, const QString& caption = QString());

}  // namespace tessel

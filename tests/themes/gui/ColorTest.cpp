#include "themes/Color.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "platform/gui/ChildControl.h"
#include "platform/gui/ScriptedUiServices.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;

using testing::Child;

void LoseFocus(QLineEdit& edit) {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &focusOut);
}

void Type(QLineEdit& edit, const QString& keys) {
    edit.setFocus();
    QTest::keyClicks(&edit, keys);
}

class ColorPickerTest : public ::testing::Test {
  protected:
    ColorPickerTest() {
        folder.Write("Palettes/Web Palette.pal",
                     "Web Palette\r\n255 0 0\r\n0 128 0\r\n0 0 255\r\n");
        folder.Write("Palettes/greys.pal", "GIMP Palette\n#\n 16  16  16\n32 32 32\n");
        folder.Write("Palettes/readme.txt", "not a palette");
    }

    // The picker with this fixture's palette table, so tests do not share one.
    std::unique_ptr<TfrmColor> MakePicker() {
        return std::make_unique<TfrmColor>(ui, folder.Path(), nullptr, &table);
    }

    TTempFolder folder;
    TScriptedUiServices ui;
    TPaletteTable table;
};

TEST_F(ColorPickerTest, CreationListsPalettesAndLoadsTheWebPalette) {
    auto picker = MakePicker();
    auto& palettes = Child<QComboBox>(*picker, "cbPalette");
    ASSERT_EQ(palettes.count(), 2);
    EXPECT_EQ(palettes.itemText(0), "greys");
    EXPECT_EQ(palettes.itemText(1), "Web Palette");
    EXPECT_EQ(palettes.currentText(), "Web Palette");
    EXPECT_TRUE(table.Loaded);
    EXPECT_EQ(table.Colors[1], RGB(0, 128, 0));
    EXPECT_EQ(table.Colors[3], clWhite);
    EXPECT_TRUE(Child<QWidget>(*picker, "pbPalette").testAttribute(Qt::WA_SetCursor));
    EXPECT_FALSE(Child<QWidget>(*picker, "shpPicker").isVisibleTo(picker.get()));
    EXPECT_EQ(picker->windowTitle(), "Color Picker");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(ColorPickerTest, MissingWebPaletteIsReportedAndLeavesTheGridEmpty) {
    std::filesystem::remove(folder.Path() + "Palettes/Web Palette.pal");
    ui.AnswerMessage(mbOK);
    auto picker = MakePicker();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Error);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith("Cannot open file"));
    EXPECT_FALSE(table.Loaded);
    EXPECT_EQ(Child<QComboBox>(*picker, "cbPalette").currentIndex(), -1);
    EXPECT_FALSE(Child<QWidget>(*picker, "pbPalette").testAttribute(Qt::WA_SetCursor));

    // Nothing is painted and a click picks nothing.
    auto& grid = Child<QWidget>(*picker, "pbPalette");
    const QImage image = grid.grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(Child<QWidget>(*picker, "shpPicker").isVisibleTo(picker.get()));
    EXPECT_EQ(picker->PreviewColor(), clWhite);
}

TEST_F(ColorPickerTest, MissingWebPaletteKeepsThePaletteLoadedBefore) {
    table.Colors.fill(clNavy);
    table.Loaded = true;
    std::filesystem::remove_all(folder.Path() + "Palettes");
    ui.AnswerMessage(mbOK);
    auto picker = MakePicker();
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(table.Loaded);
    EXPECT_EQ(table.Colors[0], clNavy);
    EXPECT_EQ(Child<QComboBox>(*picker, "cbPalette").count(), 0);
}

TEST_F(ColorPickerTest, ChoosingAPaletteLoadsItAndAVanishedOneIsReported) {
    auto picker = MakePicker();
    auto& palettes = Child<QComboBox>(*picker, "cbPalette");
    auto& grid = Child<QWidget>(*picker, "pbPalette");
    auto& marker = Child<QWidget>(*picker, "shpPicker");

    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_TRUE(marker.isVisibleTo(picker.get()));
    palettes.setCurrentIndex(0);
    emit palettes.activated(0);
    EXPECT_FALSE(marker.isVisibleTo(picker.get()));
    EXPECT_EQ(table.Colors[0], RGB(16, 16, 16));
    EXPECT_EQ(table.Colors[1], RGB(32, 32, 32));
    EXPECT_EQ(table.Colors[2], clWhite);

    std::filesystem::remove(folder.Path() + "Palettes/Web Palette.pal");
    ui.AnswerMessage(mbOK);
    palettes.setCurrentIndex(1);
    emit palettes.activated(1);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.contains("Web Palette.pal"));
    EXPECT_EQ(table.Colors[0], RGB(16, 16, 16));
}

TEST_F(ColorPickerTest, PaletteFileWithCapitalExtensionCanBeChosen) {
    folder.Write("Palettes/SHOUT.PAL", "1 2 3\n");
    auto picker = MakePicker();
    auto& palettes = Child<QComboBox>(*picker, "cbPalette");
    const int index = palettes.findText("SHOUT");
    ASSERT_GE(index, 0);
    emit palettes.activated(index);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(table.Colors[0], RGB(1, 2, 3));
}

TEST_F(ColorPickerTest, GridShowsThePaletteInCells) {
    auto picker = MakePicker();
    picker->show();
    const QImage image = Child<QWidget>(*picker, "pbPalette").grab().toImage();
    // Cell (row 0, column 1) is the 13-pixel square from (17, 2).
    EXPECT_EQ(image.pixelColor(8, 8), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(17, 2), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(29, 14), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(38, 8), QColor(0, 0, 255));
    // Between the squares the grid's own white shows.
    EXPECT_EQ(image.pixelColor(16, 8), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(120, 120), QColor(Qt::white));
}

TEST_F(ColorPickerTest, ClickingACellPicksItsColourThroughTheEdits) {
    auto picker = MakePicker();
    auto& grid = Child<QWidget>(*picker, "pbPalette");
    auto& marker = Child<QWidget>(*picker, "shpPicker");

    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_TRUE(marker.isVisibleTo(picker.get()));
    EXPECT_EQ(marker.pos(), QPoint(15, 0));
    EXPECT_EQ(picker->PreviewColor(), RGB(0, 128, 0));
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtRed").text(), "0");
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtGreen").text(), "128");
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtHGreen").text(), "80");
    EXPECT_EQ(Child<QScrollBar>(*picker, "hsbGreen").value(), 128);
    EXPECT_EQ(Child<QScrollBar>(*picker, "hsbBlue").value(), 0);

    // An unfilled cell is white; the right button picks nothing.
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(230, 230));
    EXPECT_EQ(marker.pos(), QPoint(225, 225));
    EXPECT_EQ(picker->PreviewColor(), clWhite);
    QTest::mouseClick(&grid, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(marker.pos(), QPoint(225, 225));
    EXPECT_EQ(picker->PreviewColor(), clWhite);
}

TEST_F(ColorPickerTest, ScrollBarsDriveBothEditsAndThePreview) {
    auto picker = MakePicker();
    Child<QScrollBar>(*picker, "hsbRed").setValue(12);
    Child<QScrollBar>(*picker, "hsbBlue").setValue(171);
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtRed").text(), "12");
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtHRed").text(), "0C");
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtHBlue").text(), "AB");
    EXPECT_EQ(picker->PreviewColor(), RGB(12, 255, 171));
}

TEST_F(ColorPickerTest, DecimalEditsTakeOnlyValuesBelow256) {
    auto picker = MakePicker();
    auto& red = Child<QLineEdit>(*picker, "txtRed");
    auto& bar = Child<QScrollBar>(*picker, "hsbRed");

    red.selectAll();
    Type(red, "300");
    // "3" and "30" are taken, the last "0" is turned back at once.
    EXPECT_EQ(red.text(), "30");
    EXPECT_EQ(bar.value(), 30);
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtHRed").text(), "1E");
    EXPECT_EQ(picker->PreviewColor(), RGB(30, 255, 255));

    red.clear();
    EXPECT_EQ(red.text(), "30");

    Type(red, "x-");
    EXPECT_EQ(red.text(), "30");
    red.setText("abc");
    EXPECT_EQ(red.text(), "30");
    EXPECT_EQ(bar.value(), 30);
}

TEST_F(ColorPickerTest, HexEditsApplyWhenLeftAndRestoreShortValues) {
    auto picker = MakePicker();
    auto& hex = Child<QLineEdit>(*picker, "txtHGreen");
    auto& bar = Child<QScrollBar>(*picker, "hsbGreen");

    hex.selectAll();
    Type(hex, "7f");
    EXPECT_EQ(hex.text(), "7F");
    EXPECT_EQ(bar.value(), 255);  // nothing happens before the edit is left
    LoseFocus(hex);
    EXPECT_EQ(bar.value(), 127);
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtGreen").text(), "127");
    EXPECT_EQ(picker->PreviewColor(), RGB(255, 127, 255));

    hex.selectAll();
    Type(hex, "A");
    LoseFocus(hex);
    EXPECT_EQ(hex.text(), "7F");
    EXPECT_EQ(bar.value(), 127);

    hex.clear();
    Type(hex, "gz");
    EXPECT_EQ(hex.text(), "");
    LoseFocus(hex);
    EXPECT_EQ(hex.text(), "7F");

    // Pasted text that is no number is set back as well.
    hex.setText("ZZ");
    LoseFocus(hex);
    EXPECT_EQ(hex.text(), "7F");
}

TEST_F(ColorPickerTest, ChangeChainMovesEachScrollBarOnce) {
    auto picker = MakePicker();
    QSignalSpy red(&Child<QScrollBar>(*picker, "hsbRed"), &QScrollBar::valueChanged);
    QSignalSpy green(&Child<QScrollBar>(*picker, "hsbGreen"), &QScrollBar::valueChanged);
    QSignalSpy blue(&Child<QScrollBar>(*picker, "hsbBlue"), &QScrollBar::valueChanged);

    QTest::mouseClick(&Child<QWidget>(*picker, "pbPalette"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(red.count(), 0);  // already 255
    EXPECT_EQ(green.count(), 1);
    EXPECT_EQ(blue.count(), 1);

    Child<QLineEdit>(*picker, "txtBlue").setText("007");
    EXPECT_EQ(blue.count(), 2);
    EXPECT_EQ(Child<QLineEdit>(*picker, "txtBlue").text(), "7");
}

TEST_F(ColorPickerTest, OkReturnsThePickedColourAndCancelNothing) {
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(Child<QScrollBar>(dialog, "hsbRed").value(), 0x12);
        EXPECT_EQ(Child<QScrollBar>(dialog, "hsbGreen").value(), 0x34);
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtHBlue").text(), "56");
        EXPECT_EQ(dialog.windowTitle(), "Text Color");
        Child<QScrollBar>(dialog, "hsbRed").setValue(200);
        QTest::mouseClick(&Child<QPushButton>(dialog, "bntOK"), Qt::LeftButton);
    });
    EXPECT_EQ(PickColor(ui, folder.Path(), RGB(0x12, 0x34, 0x56), nullptr, "Text Color"),
              RGB(200, 0x34, 0x56));

    ui.AnswerExec([](QDialog& dialog) {
        QTest::mouseClick(&Child<QWidget>(dialog, "pbPalette"), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(&Child<QPushButton>(dialog, "btnCancel"), Qt::LeftButton);
    });
    EXPECT_EQ(PickColor(ui, folder.Path(), clBlack, nullptr), std::nullopt);
}

TEST_F(ColorPickerTest, ColourOutIsThePreviewWhicheverWayItCloses) {
    auto picker = MakePicker();
    picker->SetColorIn(RGB(1, 2, 3));
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(picker->Run(), QDialog::Rejected);
    EXPECT_EQ(picker->ColorOut(), RGB(1, 2, 3));
}

}  // namespace
}  // namespace tessel

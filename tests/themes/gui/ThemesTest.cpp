#include "themes/Themes.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "document/Colors.h"
#include "platform/gui/ChildControl.h"
#include "platform/gui/ScriptedUiServices.h"
#include "support/TempFolder.h"
#include "themes/core/WebTheme.h"

namespace tessel {
namespace {

using testing::Child;
using testing::TTempFolder;

void Click(QDialog& dialog, const char* name) {
    QTest::mouseClick(&Child<QAbstractButton>(dialog, name), Qt::LeftButton);
}

void DoubleClick(QDialog& dialog, const char* name) {
    QWidget& control = Child<QWidget>(dialog, name);
    QTest::mouseDClick(&control, Qt::LeftButton, {}, QPoint(5, 5));
}

TColor FontColor(QDialog& dialog, const char* name) {
    const QColor c = Child<QLabel>(dialog, name).palette().color(QPalette::WindowText);
    return RGB(c.red(), c.green(), c.blue());
}

TColor BackgroundColor(QDialog& dialog) {
    const QColor c = Child<QLabel>(dialog, "lblBGColor").palette().color(QPalette::Window);
    return RGB(c.red(), c.green(), c.blue());
}

// Types over whatever the edit holds.
void Retype(QDialog& dialog, const char* name, const QString& text) {
    auto& edit = Child<QLineEdit>(dialog, name);
    edit.setFocus();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, text);
}

QStringList Names(const TWebTheme& themes) {
    QStringList names;
    for (int i = 0; i < themes.Items().Count(); ++i)
        names.push_back(QString::fromStdString(themes.Items().Items(i).ThemeName));
    return names;
}

class ThemeEditorTest : public ::testing::Test {
  protected:
    ThemeEditorTest() {
        folder.Write("Palettes/Web Palette.pal", "255 0 0\r\n0 128 0\r\n");
        std::filesystem::create_directories(Backgrounds());
        WritePicture(Backgrounds() + "waves.png", Qt::blue);
        AddTheme("Default", "", "0", RGB(255, 255, 255), RGB(0, 0, 0));
        AddTheme("Ocean", "waves.png", "20", RGB(0, 0, 128), RGB(255, 255, 255));
        AddTheme("Forest", "", "40", RGB(0, 80, 0), RGB(240, 240, 240));
        AddTheme("Sunset", "gone.png", "x", RGB(255, 200, 150), RGB(60, 20, 0));
    }

    std::string Backgrounds() const { return folder.Path() + "Upload/backgrounds/"; }
    static void WritePicture(const std::string& path, Qt::GlobalColor color) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(color);
        ASSERT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void AddTheme(const std::string& name, const std::string& picture, const std::string& margin,
                  TColor background, TColor text) {
        TThemeItem& item = themes.Items().Add();
        item.ThemeName = name;
        item.BGImage = picture;
        item.LeftMargin = margin;
        item.BGColor = background;
        item.TextColor = text;
        item.LinkColor = RGB(0, 0, 255);
        item.ALinkColor = RGB(255, 0, 0);
        item.VLinkColor = RGB(128, 0, 128);
    }

    // The editor opened as the main window opens it, on the entry named `selected`.
    std::unique_ptr<TfrmTheme> Open(const std::string& selected = "Ocean") {
        auto editor = std::make_unique<TfrmTheme>(ui, folder.Path(), themes);
        editor->SelectTheme(selected);
        return editor;
    }

    // Runs the editor with `script` acting as the user; the dialog's result.
    int Run(TfrmTheme& editor, std::function<void(QDialog&)> script) {
        ui.AnswerExec(std::move(script));
        return editor.Run();
    }

    QListWidget& List(QDialog& dialog) { return Child<QListWidget>(dialog, "lstEditThemes"); }

    // Enter, move and drop at `at` as a drag does; true when the list accepted it.
    static bool SendDrag(QListWidget& list, QPoint at, QMimeData& data) {
        QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &drop);
        return drop.isAccepted();
    }

    // Drops an entry of the list itself on the entry at `row` (past the end: below them all).
    void DropOnRow(QDialog& dialog, int row) {
        QListWidget& list = List(dialog);
        list.doItemsLayout();  // the view lays its items out lazily
        const QPoint at = row < list.count() ? list.visualItemRect(list.item(row)).center()
                                             : QPoint(5, list.viewport()->height() - 2);
        QMimeData data;
        data.setData("application/x-tessel-theme", "0");
        SendDrag(list, at, data);
    }

    TTempFolder folder;
    TScriptedUiServices ui;
    TWebTheme themes;
};

TEST_F(ThemeEditorTest, OpensOnThePagesThemeAndShowsItsValues) {
    auto editor = Open("OCEAN");
    QDialog& d = *editor;
    EXPECT_EQ(d.windowTitle(), "Page Themes");
    EXPECT_EQ(editor->ThemeNames(), (QStringList{"Default", "Ocean", "Forest", "Sunset"}));
    EXPECT_EQ(editor->SelectedIndex(), 1);
    EXPECT_EQ(Child<QLineEdit>(d, "txtDescription").text(), "Ocean");
    EXPECT_EQ(Child<QLineEdit>(d, "txtBackground").text(), "waves.png");
    EXPECT_EQ(Child<QSpinBox>(d, "updnLeftMargin").value(), 20);
    EXPECT_EQ(BackgroundColor(d), RGB(0, 0, 128));
    EXPECT_EQ(FontColor(d, "lblTextColor"), RGB(255, 255, 255));
    EXPECT_EQ(FontColor(d, "lblVLinkColor"), RGB(128, 0, 128));
    EXPECT_EQ(Child<QLabel>(d, "imgBG").toolTip().toStdString(), Backgrounds() + "waves.png");
    EXPECT_FALSE(Child<QLabel>(d, "lblNoImage").isVisibleTo(&d));
    EXPECT_TRUE(Child<QPushButton>(d, "btnRemove").isEnabled());
    EXPECT_FALSE(Child<QWidget>(d, "pnlEdit").isVisibleTo(&d));

    // A theme whose picture is missing and whose margin is not a number.
    List(d).setCurrentRow(3);
    EXPECT_TRUE(Child<QLabel>(d, "lblNoImage").isVisibleTo(&d));
    EXPECT_EQ(Child<QLabel>(d, "lblNoImage").text(), "The picture gone.png is missing");
    EXPECT_EQ(Child<QSpinBox>(d, "updnLeftMargin").value(), 20);

    auto none = Open("Nowhere");
    EXPECT_EQ(none->SelectedIndex(), -1);
    EXPECT_FALSE(Child<QPushButton>(*none, "btnEdit").isEnabled());
    EXPECT_FALSE(Child<QPushButton>(*none, "btnRemove").isEnabled());
}

TEST_F(ThemeEditorTest, AddAppliesANewThemeWithItsColoursAndMargin) {
    auto editor = Open();
    const int result = Run(*editor, [&](QDialog& d) {
        Click(d, "btnAdd");
        EXPECT_EQ(d.windowTitle(), "Page Themes - Add");
        EXPECT_TRUE(Child<QWidget>(d, "pnlEdit").isVisible());
        for (const char* name : {"lstEditThemes", "btnAdd", "btnRemove", "btnEdit", "btnOK",
                                 "btnCancel", "btnApply"}) {
            EXPECT_FALSE(Child<QWidget>(d, name).isEnabled()) << name;
        }
        EXPECT_EQ(BackgroundColor(d), RGB(255, 255, 255));
        EXPECT_EQ(FontColor(d, "lblLinkColor"), RGB(0, 0, 255));
        EXPECT_EQ(FontColor(d, "lblVLinkColor"), RGB(128, 0, 128));
        EXPECT_TRUE(Child<QLineEdit>(d, "txtBackground").text().isEmpty());
        EXPECT_TRUE(Child<QLabel>(d, "lblNoImage").isVisible());

        QTest::keyClicks(&Child<QLineEdit>(d, "txtDescription"), "Sea");
        EXPECT_TRUE(Child<QPushButton>(d, "btnApply").isEnabled());
        Retype(d, "txtLeftMargin", "120");
        ui.AnswerExec([](QDialog& picker) {
            EXPECT_EQ(picker.windowTitle(), "Color Picker - Text Color");
            Child<QScrollBar>(picker, "hsbGreen").setValue(100);
            Click(picker, "bntOK");
        });
        DoubleClick(d, "lblTextColor");
        ui.AnswerExec([](QDialog& picker) {
            EXPECT_EQ(picker.windowTitle(),
                      "Color Picker - Double-Click on the Background Color to change");
            Child<QScrollBar>(picker, "hsbRed").setValue(10);
            Click(picker, "bntOK");
        });
        DoubleClick(d, "lblBGColor");
        Click(d, "btnApply");

        EXPECT_FALSE(Child<QWidget>(d, "pnlEdit").isVisible());
        EXPECT_EQ(d.windowTitle(), "Page Themes");
        EXPECT_TRUE(Child<QWidget>(d, "btnOK").isEnabled());
        EXPECT_EQ(Child<QSpinBox>(d, "updnLeftMargin").value(), 120);  // shown again
        Click(d, "btnOK");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(themes.Items().Count(), 5);
    EXPECT_EQ(editor->SelectedIndex(), 4);
    EXPECT_EQ(editor->ThemeNames().last(), "Sea");
    const TThemeItem& sea = themes.Items().Items(4);
    EXPECT_EQ(sea.ThemeName, "Sea");
    EXPECT_EQ(sea.BGImage, "");
    EXPECT_EQ(sea.LeftMargin, "120");
    EXPECT_EQ(sea.BGColor, RGB(10, 255, 255));
    EXPECT_EQ(sea.TextColor, RGB(0, 100, 0));
    EXPECT_EQ(sea.ALinkColor, RGB(255, 0, 0));
    // The file was written as the dialog closed.
    EXPECT_EQ(Names(*LoadThemes(folder.Path())).last(), "Sea");
}

TEST_F(ThemeEditorTest, NamesAlreadyTakenAreRefusedAndTheEditFaceStays) {
    auto editor = Open();
    Run(*editor, [&](QDialog& d) {
        Click(d, "btnAdd");
        QTest::keyClicks(&Child<QLineEdit>(d, "txtDescription"), "ocean");
        ui.AnswerMessage(mbOK);
        Click(d, "btnApply");
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].text, "There is already a Theme with this name.");
        EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Information);
        EXPECT_EQ(ui.Beeps(), 1);
        EXPECT_TRUE(Child<QWidget>(d, "pnlEdit").isVisible());
        EXPECT_EQ(Child<QLineEdit>(d, "txtDescription").text(), "ocean");
        // Escape leaves the edit face, not the dialog.
        QTest::keyClick(&Child<QLineEdit>(d, "txtDescription"), Qt::Key_Escape);
        EXPECT_FALSE(Child<QWidget>(d, "pnlEdit").isVisible());
        EXPECT_TRUE(d.isVisible());

        // A change of letter case alone meets the entry itself.
        Click(d, "btnEdit");
        EXPECT_EQ(d.windowTitle(), "Page Themes - Edit");
        Retype(d, "txtDescription", "OCEAN");
        ui.AnswerMessage(mbOK);
        Click(d, "btnApply");
        EXPECT_EQ(ui.Messages().size(), 2u);
        Click(d, "btnBack");
        Click(d, "btnCancel");
    });
    EXPECT_EQ(Names(themes), (QStringList{"Default", "Ocean", "Forest", "Sunset"}));
    EXPECT_FALSE(editor->StoreChanged());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "Themes.dat"));
}

TEST_F(ThemeEditorTest, EditRenamesInStoreAndListAndCancelDiscards) {
    auto editor = Open();
    Run(*editor, [&](QDialog& d) {
        // Cancel in the edit face shows the stored colours again.
        DoubleClick(d, "lblTextColor");  // nothing in the browse face
        Click(d, "btnEdit");
        ui.AnswerExec([](QDialog& picker) {
            Child<QScrollBar>(picker, "hsbBlue").setValue(0);
            Click(picker, "bntOK");
        });
        DoubleClick(d, "lblTextColor");
        EXPECT_EQ(FontColor(d, "lblTextColor"), RGB(255, 255, 0));
        Click(d, "btnBack");
        EXPECT_EQ(FontColor(d, "lblTextColor"), RGB(255, 255, 255));

        // A double-click on the entry edits it too.
        QListWidget& list = List(d);
        list.doItemsLayout();
        const QPoint entry = list.visualItemRect(list.item(1)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entry);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, entry);
        EXPECT_EQ(d.windowTitle(), "Page Themes - Edit");
        Retype(d, "txtDescription", "Deep Sea");
        // Typing into the background name is not possible; only Browse sets it.
        EXPECT_TRUE(Child<QLineEdit>(d, "txtBackground").isReadOnly());
        Click(d, "btnApply");
        EXPECT_EQ(List(d).item(1)->text(), "Deep Sea");
        Click(d, "btnCancel");
    });
    EXPECT_EQ(ui.ExecutedDialogs().size(), 2);  // the picker ran once, in the edit face
    EXPECT_EQ(Names(themes), (QStringList{"Default", "Deep Sea", "Forest", "Sunset"}));
    const TThemeItem& renamed = themes.Items().Items(1);
    EXPECT_EQ(renamed.TextColor, RGB(255, 255, 255));
    EXPECT_EQ(renamed.BGImage, "waves.png");
    EXPECT_EQ(renamed.LeftMargin, "20");
    // Cancel of the dialog still writes a changed store.
    EXPECT_EQ(Names(*LoadThemes(folder.Path())),
              (QStringList{"Default", "Deep Sea", "Forest", "Sunset"}));
}

TEST_F(ThemeEditorTest, BrowsedBackgroundsAreCopiedIntoTheFolder) {
    WritePicture(folder.Path() + "mine/sand.png", Qt::yellow);
    auto editor = Open("Forest");
    Run(*editor, [&](QDialog& d) {
        Click(d, "btnEdit");
        ui.AnswerFileDialog(QString::fromStdString(folder.Path() + "mine/sand.png"));
        Click(d, "btnBackground");
        EXPECT_EQ(Child<QLineEdit>(d, "txtBackground").text(), "sand.png");
        EXPECT_FALSE(Child<QLabel>(d, "lblNoImage").isVisible());
        // Nothing is copied before Apply.
        EXPECT_FALSE(std::filesystem::exists(Backgrounds() + "sand.png"));
        Click(d, "btnApply");
        Click(d, "btnOK");
    });
    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].kind, TFileDialogKind::Picture);
    EXPECT_EQ(ui.FileDialogs()[0].request.folder.toStdString(), Backgrounds());
    EXPECT_TRUE(ui.FileDialogs()[0].request.filter.contains("*.gif"));
    EXPECT_EQ(themes.Items().Items(2).BGImage, "sand.png");
    EXPECT_EQ(Read(Backgrounds() + "sand.png"), Read(folder.Path() + "mine/sand.png"));
}

TEST_F(ThemeEditorTest, AFailedCopyOfABackgroundIsReported) {
    WritePicture(folder.Path() + "mine/sand.png", Qt::yellow);
    // A file in the folder's place makes the copy fail.
    std::filesystem::remove_all(Backgrounds());
    folder.Write("Upload/backgrounds", "not a folder");
    auto editor = Open("Forest");
    Run(*editor, [&](QDialog& d) {
        Click(d, "btnEdit");
        ui.AnswerFileDialog(QString::fromStdString(folder.Path() + "mine/sand.png"));
        Click(d, "btnBackground");
        ui.AnswerMessage(mbOK);
        Click(d, "btnApply");
        Click(d, "btnOK");
    });
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Error);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(
        "The picture could not be copied into your backgrounds folder."));
    EXPECT_EQ(themes.Items().Items(2).BGImage, "sand.png");
}

TEST_F(ThemeEditorTest, ADifferentPictureUnderATakenNameIsReplacedOnlyOnYes) {
    WritePicture(folder.Path() + "mine/waves.png", Qt::red);
    const std::string before = Read(Backgrounds() + "waves.png");
    for (TMsgButton answer : {mbNo, mbYes}) {
        auto editor = Open("Forest");
        Run(*editor, [&](QDialog& d) {
            Click(d, "btnEdit");
            ui.AnswerFileDialog(QString::fromStdString(folder.Path() + "mine/waves.png"));
            // The picture's area (shown as "No Background Image") opens the dialog too.
            QTest::mouseClick(&Child<QLabel>(d, "lblNoImage"), Qt::LeftButton);
            ui.AnswerMessage(answer);
            Click(d, "btnApply");
            Click(d, "btnOK");
        });
        ASSERT_FALSE(ui.Messages().empty());
        EXPECT_EQ(ui.Messages().back().kind, TMsgKind::Confirmation);
        EXPECT_TRUE(ui.Messages().back().text.startsWith(
            "Your backgrounds folder already holds a different picture named \"waves.png\"."));
        EXPECT_EQ(themes.Items().Items(2).BGImage, "waves.png");
        if (answer == mbNo) {
            EXPECT_EQ(Read(Backgrounds() + "waves.png"), before);
        } else {
            EXPECT_EQ(Read(Backgrounds() + "waves.png"), Read(folder.Path() + "mine/waves.png"));
        }
    }
    EXPECT_EQ(ui.Messages().size(), 2u);

    // The same bytes under the same name are used without a question.
    auto editor = Open("Default");
    Run(*editor, [&](QDialog& d) {
        Click(d, "btnEdit");
        ui.AnswerFileDialog(QString::fromStdString(folder.Path() + "mine/waves.png"));
        Click(d, "btnBackground");
        Click(d, "btnApply");
        Click(d, "btnOK");
    });
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(themes.Items().Items(0).BGImage, "waves.png");
}

TEST_F(ThemeEditorTest, UnreadablePicturesClearedPicturesAndMissingPictures) {
    folder.Write("mine/broken.png", "not a picture");
    auto editor = Open("Ocean");
    Run(*editor, [&](QDialog& d) {
        Click(d, "btnEdit");
        ui.AnswerFileDialog(QString::fromStdString(folder.Path() + "mine/broken.png"));
        ui.AnswerMessage(mbOK);
        Click(d, "btnBackground");
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].text, "The picture could not be read: broken.png");
        EXPECT_EQ(Child<QLineEdit>(d, "txtBackground").text(), "waves.png");
        Click(d, "btnClear");
        EXPECT_TRUE(Child<QLineEdit>(d, "txtBackground").text().isEmpty());
        Click(d, "btnApply");

        // A theme whose picture is missing keeps its name when applied without browsing.
        List(d).setCurrentRow(3);
        Click(d, "btnEdit");
        Click(d, "btnApply");
        EXPECT_EQ(Child<QLabel>(d, "lblNoImage").text(), "The picture gone.png is missing");
        // Another theme shows the plain words again.
        List(d).setCurrentRow(1);
        EXPECT_EQ(Child<QLabel>(d, "lblNoImage").text(), "No Background Image");
        Click(d, "btnOK");
    });
    EXPECT_EQ(themes.Items().Items(1).BGImage, "");
    EXPECT_EQ(themes.Items().Items(3).BGImage, "gone.png");
    EXPECT_EQ(themes.Items().Items(3).LeftMargin, "20");
    EXPECT_FALSE(std::filesystem::exists(Backgrounds() + "broken.png"));
}

// A stored picture that cannot be decoded must not let the theme shown before lend it its
// picture, on screen or through Apply.
TEST_F(ThemeEditorTest, AnUndecodableStoredPictureKeepsItsOwnNameAndShowsNoOtherPicture) {
    folder.Write("Upload/backgrounds/torn.png", "not a picture");
    AddTheme("Torn", "torn.png", "10", RGB(9, 9, 9), RGB(200, 200, 200));
    auto editor = Open("Ocean");
    Run(*editor, [&](QDialog& d) {
        QListWidget& list = List(d);
        const auto clickEntry = [&list](int row) {
            list.scrollToItem(list.item(row));
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                              list.visualItemRect(list.item(row)).center());
        };
        clickEntry(4);
        ASSERT_EQ(editor->SelectedIndex(), 4);
        EXPECT_EQ(Child<QLineEdit>(d, "txtDescription").text(), "Torn");
        auto& picture = Child<QLabel>(d, "imgBG");
        EXPECT_EQ(picture.toolTip().toStdString(), Backgrounds() + "torn.png");
        EXPECT_TRUE(picture.pixmap().isNull());
        EXPECT_TRUE(picture.text().contains("torn.png"));
        Click(d, "btnEdit");
        Click(d, "btnApply");

        // Nor does a theme without a picture, shown before it.
        clickEntry(0);
        clickEntry(4);
        Click(d, "btnEdit");
        Retype(d, "txtDescription", "Torn Sail");
        Click(d, "btnApply");
        Click(d, "btnOK");
    });
    EXPECT_EQ(themes.Items().Items(4).ThemeName, "Torn Sail");
    EXPECT_EQ(themes.Items().Items(4).BGImage, "torn.png");
    EXPECT_EQ(themes.Items().Items(1).BGImage, "waves.png");
}

TEST_F(ThemeEditorTest, TheListDisabledInTheEditFaceStartsNoDrag) {
    auto editor = Open("Default");
    QDialog& d = *editor;
    d.show();
    Click(d, "btnEdit");
    QListWidget& list = List(d);
    list.doItemsLayout();
    const QPoint from = list.visualItemRect(list.item(0)).center();
    const QPoint away = from + QPoint(0, QApplication::startDragDistance() + 20);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(list.viewport(), away);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, away);
    EXPECT_EQ(ui.Drags(), 0);
    EXPECT_EQ(Names(themes), (QStringList{"Default", "Ocean", "Forest", "Sunset"}));
    d.hide();
}

TEST_F(ThemeEditorTest, DeleteAsksAndTheFileIsRewrittenWhateverTheAnswer) {
    auto editor = Open("Forest");
    Run(*editor, [&](QDialog& d) {
        ui.AnswerMessage(mbNo);
        Click(d, "btnRemove");
        EXPECT_EQ(List(d).count(), 4);
        ui.AnswerMessage(mbYes);
        Click(d, "btnRemove");
        EXPECT_EQ(editor->ThemeNames(), (QStringList{"Default", "Ocean", "Sunset"}));
        EXPECT_EQ(editor->SelectedIndex(), -1);
        EXPECT_TRUE(Child<QPushButton>(d, "btnRemove").isEnabled());
        Click(d, "btnRemove");  // nothing selected: no question
        Click(d, "btnCancel");
    });
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "Do you want to delete the selected Theme?");
    EXPECT_EQ(ui.Beeps(), 2);
    EXPECT_EQ(Names(themes), (QStringList{"Default", "Ocean", "Sunset"}));
    EXPECT_EQ(Names(*LoadThemes(folder.Path())), (QStringList{"Default", "Ocean", "Sunset"}));

    // Only the answer No: the file is still rewritten.
    std::filesystem::remove(folder.Path() + "Themes.dat");
    auto again = Open("Ocean");
    Run(*again, [&](QDialog& d) {
        ui.AnswerMessage(mbNo);
        Click(d, "btnRemove");
        Click(d, "btnOK");
    });
    EXPECT_TRUE(std::filesystem::exists(folder.Path() + "Themes.dat"));
}

TEST_F(ThemeEditorTest, DraggingReordersStoreAndListAlike) {
    auto editor = Open("Default");
    QDialog& d = *editor;
    d.show();
    // The first entry dragged with the mouse onto the third.
    QListWidget& list = List(d);
    list.doItemsLayout();
    const QPoint third = list.visualItemRect(list.item(2)).center();
    ui.AnswerDrag([&list, third](QDrag& drag) {
        return TScriptedUiServices::DeliverDrop(drag, *list.viewport(), third);
    });
    const QPoint from = list.visualItemRect(list.item(0)).center();
    const QPoint away = from + QPoint(QApplication::startDragDistance() + 4, 0);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(list.viewport(), away);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, away);
    EXPECT_EQ(ui.Drags(), 1);
    EXPECT_EQ(editor->ThemeNames(), (QStringList{"Ocean", "Forest", "Default", "Sunset"}));
    EXPECT_EQ(Names(themes), editor->ThemeNames());
    EXPECT_EQ(editor->SelectedIndex(), 2);
    EXPECT_TRUE(editor->StoreChanged());

    DropOnRow(d, 4);  // below the last entry
    EXPECT_EQ(Names(themes), (QStringList{"Ocean", "Forest", "Default", "Sunset"}));

    // A drag from elsewhere is refused.
    QMimeData foreign;
    foreign.setText("Forest");
    EXPECT_FALSE(SendDrag(List(d), List(d).visualItemRect(List(d).item(0)).center(), foreign));
    EXPECT_EQ(Names(themes), (QStringList{"Ocean", "Forest", "Default", "Sunset"}));
    d.hide();
}

TEST_F(ThemeEditorTest, AFailedSaveIsReportedAndKeptForTheNextClose) {
    // A folder in the file's place makes every write fail.
    std::filesystem::create_directories(folder.Path() + "Themes.dat/x");
    auto editor = Open("Ocean");
    Run(*editor, [&](QDialog& d) {
        ui.AnswerMessage(mbYes);
        Click(d, "btnRemove");
        ui.AnswerMessage(mbOK);
        Click(d, "btnOK");
    });
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].kind, TMsgKind::Error);
    EXPECT_TRUE(ui.Messages()[1].text.startsWith("Unable to save the page themes:\n"));
    EXPECT_GT(ui.Messages()[1].text.size(), QString("Unable to save the page themes:\n").size());
    EXPECT_TRUE(editor->SavePending());
    EXPECT_EQ(Names(themes), (QStringList{"Default", "Forest", "Sunset"}));

    // The next editor writes the changes although nothing changes in it.
    std::filesystem::remove_all(folder.Path() + "Themes.dat");
    TfrmTheme next(ui, folder.Path(), themes, editor->SavePending());
    Run(next, [](QDialog& d) { Click(d, "btnCancel"); });
    EXPECT_FALSE(next.SavePending());
    EXPECT_EQ(Names(*LoadThemes(folder.Path())), (QStringList{"Default", "Forest", "Sunset"}));

    // And an editor that changes nothing writes nothing.
    std::filesystem::remove(folder.Path() + "Themes.dat");
    auto idle = Open();
    Run(*idle, [](QDialog& d) { Click(d, "btnOK"); });
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "Themes.dat"));
}

TEST_F(ThemeEditorTest, TheButtonColumnHasItsOutline) {
    auto editor = Open();
    QDialog& d = *editor;
    d.resize(640, 400);
    d.show();
    const QImage shot = d.grab().toImage();
    const QRect add = Child<QWidget>(d, "btnAdd").geometry();
    const QRect edit = Child<QWidget>(d, "btnEdit").geometry();
    const int middle = (add.top() + edit.bottom()) / 2;
    const QRgb shadow = d.palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(shot.pixelColor(d.width() - 2, middle).rgb(), shadow);
    EXPECT_NE(shot.pixelColor(d.width() - 4, middle).rgb(), shadow);
    d.hide();
}

}  // namespace
}  // namespace tessel

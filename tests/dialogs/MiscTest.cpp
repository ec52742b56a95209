#include "dialogs/Misc.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWhatsThis>

#include "platform/gui/ChildControl.h"
#include "platform/gui/ScriptedUiServices.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

using testing::TTempFolder;

using testing::Child;

void Click(QWidget& dialog, const char* button) {
    QTest::mouseClick(&Child<QPushButton>(dialog, button), Qt::LeftButton);
}

void Choose(QComboBox& combo, const QString& text) {
    const int index = combo.findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

// --- Font face ------------------------------------------------------------------------

TEST(MiscFont, ShowsTheFontAndReturnsTheChangedOne) {
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Font");
        EXPECT_TRUE(Child<QWidget>(dialog, "pnlFont").isVisible());
        EXPECT_FALSE(Child<QWidget>(dialog, "pnlMeta").isVisible());
        EXPECT_FALSE(Child<QWidget>(dialog, "lstBookmarks").isVisible());
        auto& name = Child<QComboBox>(dialog, "cbName");
        auto& size = Child<QComboBox>(dialog, "cbSize");
        EXPECT_EQ(name.count(), 3);
        EXPECT_EQ(name.currentText(), "Arial");
        EXPECT_EQ(size.currentText(), "3");
        EXPECT_TRUE(Child<QPushButton>(dialog, "btnBold").isChecked());
        EXPECT_FALSE(Child<QPushButton>(dialog, "btnItalic").isChecked());
        auto& preview = Child<QLabel>(dialog, "lblPreview");
        EXPECT_EQ(preview.text(), "Sample Font");
        EXPECT_EQ(preview.font().pointSize(), 12);
        EXPECT_TRUE(preview.font().bold());
        EXPECT_EQ(preview.palette().color(QPalette::WindowText), QColor(0x11, 0x22, 0x33));

        Choose(name, "Courier New");
        Choose(size, "7");
        Click(dialog, "btnBold");
        Click(dialog, "btnItalic");
        Click(dialog, "btnUnderline");
        EXPECT_EQ(preview.font().pointSize(), 20);
        EXPECT_FALSE(preview.font().bold());
        EXPECT_TRUE(preview.font().italic());
        EXPECT_TRUE(preview.font().underline());
        Click(dialog, "btnOK");
    });
    const TFontValue font{"Arial", 12, RGB(0x11, 0x22, 0x33), true, false, false};
    const std::optional<TFontValue> chosen = ChooseFont(ui, "/nowhere/", font, nullptr);
    const TFontValue expected{"Courier New", 20, RGB(0x11, 0x22, 0x33), false, true, true};
    EXPECT_EQ(chosen, expected);
}

TEST(MiscFont, UnlistedNameAndSizeSelectNothingAndStayAsTheyAre) {
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(Child<QComboBox>(dialog, "cbName").currentIndex(), -1);
        EXPECT_EQ(Child<QComboBox>(dialog, "cbSize").currentIndex(), -1);
        EXPECT_EQ(Child<QLabel>(dialog, "lblPreview").font().pointSize(), 11);
        Click(dialog, "btnOK");
    });
    const TFontValue font{"No Such Face", 11, clBlack, false, true, false};
    EXPECT_EQ(ChooseFont(ui, "/nowhere/", font, nullptr), font);
}

TEST(MiscFont, NameIsFoundWithoutRegardToCase) {
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(Child<QComboBox>(dialog, "cbName").currentText(), "Times New Roman");
        Click(dialog, "btnCancel");
    });
    EXPECT_EQ(ChooseFont(ui, "/nowhere/", {"times new roman", 12, clBlack}, nullptr), std::nullopt);
}

TEST(MiscFont, OffersAndWritesFamilyNamesWithoutTheFoundry) {
    TScriptedUiServices ui;
    ui.SetFontFamilies(
        {"DejaVu Sans", "Nimbus Sans [urw]", "Nimbus Sans [other]", "Nimbus Mono [urw]"});
    ui.AnswerExec([](QDialog& dialog) {
        auto& name = Child<QComboBox>(dialog, "cbName");
        ASSERT_EQ(name.count(), 3);
        EXPECT_EQ(name.itemText(1), "Nimbus Sans");
        EXPECT_EQ(name.itemText(2), "Nimbus Mono");
        // A name with its foundry, as an older page holds it, selects its family.
        EXPECT_EQ(name.currentText(), "Nimbus Sans");
        Click(dialog, "btnOK");
    });
    const std::optional<TFontValue> kept =
        ChooseFont(ui, "/nowhere/", {"Nimbus Sans [urw]", 12, clBlack}, nullptr);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Name, "Nimbus Sans");

    ui.AnswerExec([](QDialog& dialog) {
        auto& name = Child<QComboBox>(dialog, "cbName");
        QTest::keyClick(&name, Qt::Key_End);
        EXPECT_EQ(name.currentText(), "Nimbus Mono");
        Click(dialog, "btnOK");
    });
    const std::optional<TFontValue> chosen =
        ChooseFont(ui, "/nowhere/", {"DejaVu Sans", 12, clBlack}, nullptr);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Name, "Nimbus Mono");
    EXPECT_EQ(FontToDescription(*chosen).substr(0, 13), "\"Nimbus Mono\"");
}

class MiscFontColorTest : public ::testing::Test {
  protected:
    MiscFontColorTest() { folder.Write("Palettes/Web Palette.pal", "10 20 30\n"); }

    TTempFolder folder;
    TScriptedUiServices ui;
};

TEST_F(MiscFontColorTest, ColourButtonRunsThePickerOnTheFontColour) {
    ui.AnswerExec([this](QDialog& dialog) {
        ui.AnswerExec([](QDialog& picker) {
            EXPECT_EQ(picker.objectName(), "TfrmColor");
            EXPECT_EQ(Child<QScrollBar>(picker, "hsbRed").value(), 0x11);
            QTest::mouseClick(&Child<QWidget>(picker, "pbPalette"), Qt::LeftButton, {},
                              QPoint(5, 5));
            Click(picker, "bntOK");
        });
        Click(dialog, "btnColor");
        EXPECT_EQ(Child<QLabel>(dialog, "lblPreview").palette().color(QPalette::WindowText),
                  QColor(10, 20, 30));
        Click(dialog, "btnOK");
    });
    const std::optional<TFontValue> chosen =
        ChooseFont(ui, folder.Path(), {"Arial", 12, RGB(0x11, 0x22, 0x33)}, nullptr);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Color, RGB(10, 20, 30));
    EXPECT_GT(ui.BusyPushes(), 0);
    // The hourglass covers preparing the picker, not the user's picking.
    EXPECT_EQ(ui.BusyDepthAtLastModal(), 0);
    EXPECT_EQ(ui.ExecutedDialogs(), (QStringList{"TfrmMisc", "TfrmColor"}));
}

TEST_F(MiscFontColorTest, CancelledPickerKeepsTheColour) {
    ui.AnswerExec([this](QDialog& dialog) {
        ui.AnswerExec([](QDialog& picker) {
            Child<QScrollBar>(picker, "hsbRed").setValue(0);
            Click(picker, "btnCancel");
        });
        Click(dialog, "btnColor");
        Click(dialog, "btnOK");
    });
    const std::optional<TFontValue> chosen =
        ChooseFont(ui, folder.Path(), {"Arial", 12, clNoFontColor}, nullptr);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Color, clNoFontColor);
}

// --- Meta face ------------------------------------------------------------------------

TEST(MiscMeta, OkNeedsContent) {
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Meta Tag");
        EXPECT_TRUE(Child<QWidget>(dialog, "pnlMeta").isVisible());
        EXPECT_FALSE(Child<QWidget>(dialog, "pnlFont").isVisible());
        auto& ok = Child<QPushButton>(dialog, "btnOK");
        auto& content = Child<QLineEdit>(dialog, "txtMetaContent");
        EXPECT_EQ(Child<QComboBox>(dialog, "cbMetaName").currentText(), "Description");
        EXPECT_FALSE(ok.isEnabled());
        QTest::keyClicks(&content, "A page");
        EXPECT_TRUE(ok.isEnabled());
        content.clear();
        EXPECT_FALSE(ok.isEnabled());
        QTest::keyClicks(&content, "web, pages");
        Choose(Child<QComboBox>(dialog, "cbMetaName"), "Keywords");
        Click(dialog, "btnOK");
    });
    EXPECT_EQ(EditMetaTag(ui, {kMetaNames[0], ""}, nullptr), (TMetaTag{"Keywords", "web, pages"}));
}

TEST(MiscMeta, EditingKeepsNamesOutsideTheList) {
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        auto& names = Child<QComboBox>(dialog, "cbMetaName");
        EXPECT_EQ(names.currentText(), "Author");
        EXPECT_EQ(names.count(), 6);
        EXPECT_TRUE(Child<QPushButton>(dialog, "btnOK").isEnabled());
        Click(dialog, "btnOK");
    });
    EXPECT_EQ(EditMetaTag(ui, SplitMetaLine("Author\tMe"), nullptr), (TMetaTag{"Author", "Me"}));

    // A line without a name selects none and stays without one.
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(Child<QComboBox>(dialog, "cbMetaName").currentIndex(), -1);
        Click(dialog, "btnOK");
    });
    EXPECT_EQ(EditMetaTag(ui, SplitMetaLine("just text"), nullptr), (TMetaTag{"", "just text"}));
}

TEST(MiscMeta, RightClickOnTheNameShowsTips) {
    TScriptedUiServices ui;
    TfrmMisc dialog(ui, mmMetaTag);
    dialog.show();
    auto tipShown = [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->inherits("QWhatsThat")) {
                return true;
            }
        }
        return false;
    };
    ASSERT_FALSE(tipShown());
    auto& label = Child<QLabel>(dialog, "lblMetaName");
    EXPECT_EQ(label.text(), "Meta &Name (Right-click here for Meta Tag Tips)");
    emit label.customContextMenuRequested(QPoint(2, 2));
    EXPECT_TRUE(tipShown());
    QWhatsThis::hideText();
}

TEST(MiscMeta, CancelReturnsNothing) {
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        QTest::keyClicks(&Child<QLineEdit>(dialog, "txtMetaContent"), "x");
        Click(dialog, "btnCancel");
    });
    EXPECT_EQ(EditMetaTag(ui, {"Expires", "soon"}, nullptr), std::nullopt);
}

// --- Bookmark face --------------------------------------------------------------------

const std::string kBookmarkList = "Software\\Netscape\\Netscape Navigator\\Bookmark List";

TRegistryReader FileLocation(const std::string& path) {
    return [path](const std::string& key, const std::string& name) {
        return key == kBookmarkList && name == "File Location" ? path : std::string();
    };
}

TEST(MiscBookmarks, ListsTheLinksOfTheBookmarkFile) {
    TTempFolder folder;
    const std::string path = folder.Write(
        "bookmarks.html",
        "<DT><A HREF=\"http://one.example/\">One</A>\n<dt><a href=\"http://two.example/\">2</a>\n");
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Netscape Bookmarks");
        auto& list = Child<QListWidget>(dialog, "lstBookmarks");
        EXPECT_TRUE(list.isVisible());
        ASSERT_EQ(list.count(), 2);
        EXPECT_EQ(list.currentRow(), 0);
        EXPECT_EQ(list.item(1)->text(), "http://two.example/");
        list.setCurrentRow(1);
        Click(dialog, "btnOK");
    });
    EXPECT_EQ(ChooseBookmark(ui, FileLocation(path), nullptr), "http://two.example/");
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_GT(ui.BusyPushes(), 0);
}

TEST(MiscBookmarks, DoubleClickChoosesTheLink) {
    TTempFolder folder;
    const std::string path = folder.Write("b.htm", "<A HREF=\"a\">a</A><A HREF=\"b\">b</A>");
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        auto& list = Child<QListWidget>(dialog, "lstBookmarks");
        list.setCurrentRow(1);
        emit list.itemDoubleClicked(list.item(1));
    });
    EXPECT_EQ(ChooseBookmark(ui, FileLocation(path), nullptr), "b");
}

TEST(MiscBookmarks, FileWithoutLinksOffersNothingToChoose) {
    TTempFolder folder;
    const std::string path = folder.Write("empty.htm", "<HTML><BODY>none</BODY></HTML>");
    TScriptedUiServices ui;
    ui.AnswerExec([](QDialog& dialog) {
        auto& list = Child<QListWidget>(dialog, "lstBookmarks");
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.item(0)->text(), "No Bookmarks found.");
        EXPECT_EQ(list.currentRow(), 0);
        Click(dialog, "btnOK");
    });
    EXPECT_EQ(ChooseBookmark(ui, FileLocation(path), nullptr), std::nullopt);
}

TEST(MiscBookmarks, WithoutSettingsTheUserMayFindTheFile) {
    TTempFolder folder;
    const std::string path = folder.Write("exported.html", "<A HREF=\"http://x.example/\">x</A>");
    TScriptedUiServices ui;
    ui.AnswerMessage(mbYes);
    ui.AnswerFileDialog(QString::fromStdString(path));
    ui.AnswerExec([](QDialog& dialog) { Click(dialog, "btnOK"); });
    EXPECT_EQ(ChooseBookmark(ui, TRegistryReader(), nullptr), "http://x.example/");

    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Information);
    EXPECT_EQ(ui.Messages()[0].text,
              "Unable to find Netscape Bookmarks. Would you like to find it yourself?");
    EXPECT_EQ(ui.Messages()[0].buttons, mbYes | mbNo);
    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].kind, TFileDialogKind::Open);
    EXPECT_EQ(ui.FileDialogs()[0].request.filter, "HTML Files (*.htm *.html)");
    EXPECT_TRUE(ui.FileDialogs()[0].request.fileName.isEmpty());
}

TEST(MiscBookmarks, SettingsNamingAMissingFileAskAsWell) {
    TScriptedUiServices ui;
    ui.AnswerMessage(mbYes);
    ui.AnswerFileDialog(std::nullopt);
    EXPECT_EQ(ChooseBookmark(ui, FileLocation("/no/such/bookmarks.html"), nullptr), std::nullopt);
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.ExecutedDialogs().isEmpty());
}

TEST(MiscBookmarks, NoClosesWithCancelWithoutShowing) {
    TScriptedUiServices ui;
    TfrmMisc dialog(ui, mmBookmarks);
    ui.AnswerMessage(mbNo);
    EXPECT_EQ(dialog.Run(), QDialog::Rejected);
    EXPECT_TRUE(ui.ExecutedDialogs().isEmpty());
    auto& list = Child<QListWidget>(dialog, "lstBookmarks");
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0)->text(), "No Bookmarks found.");
    EXPECT_EQ(dialog.SelectedBookmark(), std::nullopt);
}

}  // namespace
}  // namespace tessel

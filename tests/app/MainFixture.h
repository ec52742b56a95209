#pragma once

// A main window on a throwaway program folder, with a throwaway settings store and scripted UI
// services, for the window tests.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "app/Main.h"
#include "dialogs/Misc.h"
#include "document/Pagelette.h"
#include "pagerules/ProgramPaths.h"
#include "platform/RegistryStore.h"
#include "platform/gui/HelpKey.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/ScriptedUiServices.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

namespace tessel {

// The settings store on a throwaway file, read through the program's settings key.
class TTestSettings {
  public:
    explicit TTestSettings(const std::string& path) : store(path) {}

    static std::string Key(const std::string& subkey) {
        return subkey.empty() ? std::string(kSettingsKey)
                              : std::string(kSettingsKey) + "\\" + subkey;
    }
    void Set(const std::string& subkey, const std::string& name, const std::string& value) {
        store.WriteString(Key(subkey), name, value);
    }
    std::string Get(const std::string& subkey, const std::string& name) const {
        return store.Read(Key(subkey), name).value_or("<absent>");
    }

    TRegistryStore store;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        home = home_.path().toStdString() + "/";
        for (const char* folder :
             {"TesselFiles", "Templates", "Upload/images", "Upload/backgrounds"}) {
            std::filesystem::create_directories(home + folder);
        }
        TWebTheme themes;
        TThemeItem& plain = themes.Items().Add();
        plain.ThemeName = "Default";
        TThemeItem& ocean = themes.Items().Add();
        ocean.ThemeName = "Ocean";
        ocean.BGColor = RGB(0, 0, 128);
        SaveThemes(home, themes);
        settings.Set("", "TipDay", "0");
    }

    // Builds the window; `arguments` stand for the command line.
    TfrmMain& Open(QStringList arguments = {}) {
        TMainEnvironment environment;
        environment.programFolder = home;
        environment.arguments = std::move(arguments);
        environment.settings = &settings.store;
        environment.registerFileTypes = [this] { ++registrations; };
        environment.randomBelow = [](int) { return 0; };
        environment.help = help;
        environment.recoveryFolder = recoveryFolder;
        environment.now = now;
        environment.undoByteCap = undoByteCap;
        window = std::make_unique<TfrmMain>(ui, std::move(environment));
        return *window;
    }

    // Builds the window and shows it active, so keys and shortcuts reach it as a user's would.
    TfrmMain& OpenShown(QStringList arguments = {}) {
        Open(std::move(arguments));
        window->show();
        Activate();
        return *window;
    }
    // Makes the window the active one again, as after a dialog closed.
    void Activate() {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    Ui::TfrmMain& F() { return window->Form(); }
    TPageCollection& Page() { return window->Document().Page(); }

    void WriteFile(const std::string& path, const std::string& content) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A left click where a user makes it: on a check box's square or a radio button's circle,
    // elsewhere in the middle.
    static void Click(QWidget* control) {
        if (qobject_cast<QCheckBox*>(control) != nullptr ||
            qobject_cast<QRadioButton*>(control) != nullptr) {
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
        } else {
            QTest::mouseClick(control, Qt::LeftButton);
        }
    }
    // A double click on a list's entry: press, release, and the second press that the
    // system reports as a double click.
    static void DoubleClickEntry(QListWidget* list, int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }
    // A left click on a list's entry, as the user makes it.
    static void ClickEntry(QListWidget* list, int row) {
        const QRect entry = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    }
    // Runs one of the window's actions (a menu item) by its object name.
    void Trigger(const char* name) {
        QAction* action = window->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }

    // The next font or meta tag dialog answers as the user: its font face gets `font`, its
    // meta face `tag`, then OK.
    void AnswerFont(TFontValue font) {
        ui.AnswerExec([font](QDialog& dialog) {
            dynamic_cast<TfrmMisc&>(dialog).SetFontValue(font);
            dialog.accept();
        });
    }
    void AnswerMeta(TMetaTag tag) {
        ui.AnswerExec([tag](QDialog& dialog) {
            dynamic_cast<TfrmMisc&>(dialog).SetMetaTag(tag);
            dialog.accept();
        });
    }

    // Drops a palette entry on the block list at `target`.
    void DropFromPalette(TBlockType kind, int target) {
        F().lstPalette->setCurrentRow(kind - btHeading);
        window->lstBlocksDragDrop(TDragSource::Palette, target);
    }

    QTemporaryDir home_;
    std::string home;
    TTestSettings settings{home_.path().toStdString() + "/registry"};
    TScriptedUiServices ui;
    int registrations = 0;
    THelpViewer* help = nullptr;
    std::string recoveryFolder;  // empty: the window keeps no recovery copies
    std::function<std::int64_t()> now;
    std::size_t undoByteCap = kUndoByteCap;
    std::unique_ptr<TfrmMain> window;
};

}  // namespace tessel

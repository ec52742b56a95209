#pragma once

// A main window on a throwaway program folder, with a throwaway settings store and scripted UI
// services, for the window tests.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "app/Main.h"
#include "app/core/ProgramPaths.h"
#include "document/Pagelette.h"
#include "platform/RegistryStore.h"
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
        window = std::make_unique<TfrmMain>(ui, std::move(environment));
        return *window;
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
    std::unique_ptr<TfrmMain> window;
};

}  // namespace tessel

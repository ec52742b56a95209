#pragma once

// The real main window (headless) on a throwaway program folder: a theme file, settings
// without the tip of the day, and a page of `blocks` blocks opened from the command line.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "BenchDocuments.h"
#include "app/Main.h"
#include "document/Stream.h"
#include "pagerules/ProgramPaths.h"
#include "platform/RegistryStore.h"
#include "platform/gui/QtUiServices.h"
#include "themes/core/WebTheme.h"

namespace tessel {

struct TBenchWindow {
    // `themes` holds the theme file's entries; by default one named "Default". With
    // `keepRecovery` the window keeps recovery copies, as the program does.
    explicit TBenchWindow(int blocks, TWebTheme* themes = nullptr, bool keepRecovery = false)
        : ui(QString::fromLatin1(kApplicationTitle)),
          registry(folder.path().toStdString() + "/registry") {
        const std::string home = folder.path().toStdString() + "/";
        TWebTheme defaultThemes;
        if (themes == nullptr) {
            defaultThemes.Items().Add().ThemeName = "Default";
            themes = &defaultThemes;
        }
        SaveThemes(home, *themes);
        registry.WriteString(kSettingsKey, "TipDay", "0");
        const std::string page = home + "bench.pgx";
        WriteDocumentFile(page, *MakeBenchDocument(blocks));
        TMainEnvironment environment;
        environment.programFolder = home;
        environment.arguments = {QString::fromStdString(page)};
        environment.settings = &registry;
        if (keepRecovery)
            environment.recoveryFolder = home + "Recovery/";
        window = std::make_unique<TfrmMain>(ui, std::move(environment));
        window->resize(1000, 700);
    }

    QTemporaryDir folder;
    TQtUiServices ui;
    TRegistryStore registry;
    std::unique_ptr<TfrmMain> window;
};

// The main() of a window benchmark: headless unless a display is asked for, with the
// application object the windows need.
inline int RunWindowBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tessel

// A click on the block list of a 1,000-block page: the open panel is stored and the clicked
// block shown. It must stay well under 50 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include "BenchDocuments.h"
#include "app/Main.h"
#include "app/core/ProgramPaths.h"
#include "document/Stream.h"
#include "platform/RegistryStore.h"
#include "platform/gui/QtUiServices.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

namespace tessel {
namespace {

// A program folder with a theme file, settings without the tip of the day, and the window
// opened on a page of `blocks` blocks from the command line.
struct TBenchWindow {
    explicit TBenchWindow(int blocks)
        : ui(QString::fromLatin1(kApplicationTitle)),
          registry(folder.path().toStdString() + "/registry") {
        const std::string home = folder.path().toStdString() + "/";
        TWebTheme themes;
        themes.Items().Add().ThemeName = "Default";
        SaveThemes(home, themes);
        registry.WriteString(kSettingsKey, "TipDay", "0");
        const std::string page = home + "bench.pgx";
        WriteDocumentFile(page, *MakeBenchDocument(blocks));
        TMainEnvironment environment;
        environment.programFolder = home;
        environment.arguments = {QString::fromStdString(page)};
        environment.settings = &registry;
        window = std::make_unique<TfrmMain>(ui, std::move(environment));
        window->resize(1000, 700);
    }

    QTemporaryDir folder;
    TQtUiServices ui;
    TRegistryStore registry;
    std::unique_ptr<TfrmMain> window;
};

void BM_BlockListClick(benchmark::State& state) {
    TBenchWindow bench(static_cast<int>(state.range(0)));
    QListWidget* list = bench.window->Form().lstBlocks;
    const int count = list->count();
    int row = 1;
    for (auto _ : state) {
        // Every kind in turn, from one end of the list to the other.
        row = (row * 7 + 13) % (count - 1) + 1;
        list->setCurrentRow(row);
        benchmark::DoNotOptimize(bench.window->CurrentBlockIndex());
    }
    state.counters["blocks"] = count;
}
BENCHMARK(BM_BlockListClick)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

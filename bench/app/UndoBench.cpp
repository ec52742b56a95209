// One undo step on a large page as the user gets it, through the real main window
// (headless): the earlier document restored from the history, the block list and the panel
// refilled, the recovery copy written, and the list laid out. Iterations take the step back
// and do it again in turn; each is one step. The limits are 20 ms for 1,000 blocks and 200 ms
// for 10,000.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>

#include "app/BenchWindow.h"
#include "app/Main.h"
#include "ui_Main.h"

namespace tessel {
namespace {

enum TChange { kEditParagraph, kAddBlock, kMoveBlock };

// The row of the first paragraph from the middle of the page on.
int MiddleParagraph(TfrmMain& window) {
    const TPageCollection& page = window.Document().Page();
    for (int row = page.Count() / 2; row < page.Count(); ++row) {
        if (page.Items(row).BlockType == btText)
            return row;
    }
    return 1;
}

void MakeChange(TfrmMain& window, TChange change) {
    QListWidget* list = window.Form().lstBlocks;
    const int middle = MiddleParagraph(window);
    list->setCurrentRow(middle);
    switch (change) {
        case kEditParagraph:
            window.Form().txtText->appendPlainText(QStringLiteral("One more sentence."));
            list->setCurrentRow(middle + 1);
            break;
        case kAddBlock:
            window.Form().lstPalette->setCurrentRow(btHR - btHeading);
            window.lstBlocksDragDrop(TDragSource::Palette, middle + 1);
            break;
        case kMoveBlock:
            // From the top of the page to its end: every entry between changes.
            list->setCurrentRow(1);
            window.lstBlocksDragDrop(TDragSource::Blocks, list->count() - 1);
            break;
    }
}

void BM_UndoStep(benchmark::State& state) {
    TBenchWindow bench(static_cast<int>(state.range(0)), nullptr, true);
    TfrmMain& window = *bench.window;
    MakeChange(window, static_cast<TChange>(state.range(1)));
    if (window.UndoHistory().UndoCount() != 1) {
        state.SkipWithError("the change made no step");
        return;
    }
    bool back = true;
    for (auto _ : state) {
        back ? window.actUndoClick() : window.actRedoClick();
        QApplication::processEvents();  // the list's layout
        back = !back;
    }
    state.counters["blocks"] = window.Form().lstBlocks->count();
    state.counters["stream_kB"] = static_cast<double>(window.UndoHistory().Current().size()) / 1e3;
}
BENCHMARK(BM_UndoStep)
    ->ArgsProduct({{1000, 10000}, {kEditParagraph, kAddBlock, kMoveBlock}})
    ->ArgNames({"blocks", "change"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
    return tessel::RunWindowBenchmarks(argc, argv);
}

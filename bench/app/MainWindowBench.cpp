// A click on the block list of a 1,000-block page: the open panel is stored and the clicked
// block shown. It must stay well under 50 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include "app/BenchWindow.h"
#include "app/Main.h"
#include "ui_Main.h"

namespace tessel {
namespace {

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
    return tessel::RunWindowBenchmarks(argc, argv);
}

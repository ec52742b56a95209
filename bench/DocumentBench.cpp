// Page generation, document writing and document reading on pages of 100 to 100,000
// blocks. "per_block" is the time per block; bytes_per_second is the output (or input) rate.

#include <benchmark/benchmark.h>

#include "BenchDocuments.h"
#include "document/Stream.h"
#include "html/PageHtml.h"

namespace tessel {
namespace {

void SetCounters(benchmark::State& state, size_t bytes) {
    const auto blocks = static_cast<double>(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["per_block"] = benchmark::Counter(
        blocks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_GeneratePage(benchmark::State& state) {
    std::unique_ptr<TPagelette> document = MakeBenchDocument(static_cast<int>(state.range(0)));
    TGenerateOptions options;
    options.mode = omLocalCopy;
    size_t bytes = 0;
    for (auto _ : state) {
        std::vector<std::string> lines;
        GeneratePage(*document, lines, options);
        bytes = PageText(lines).size();
        benchmark::DoNotOptimize(lines.data());
    }
    SetCounters(state, bytes);
}

void BM_WriteDocument(benchmark::State& state) {
    std::unique_ptr<TPagelette> document = MakeBenchDocument(static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        std::string stream = WriteComponent(*document);
        bytes = stream.size();
        benchmark::DoNotOptimize(stream.data());
    }
    SetCounters(state, bytes);
}

void BM_ReadDocument(benchmark::State& state) {
    std::unique_ptr<TPagelette> document = MakeBenchDocument(static_cast<int>(state.range(0)));
    const std::string stream = WriteComponent(*document);
    for (auto _ : state) {
        std::unique_ptr<TComponent> root = ReadComponent(stream);
        benchmark::DoNotOptimize(root.get());
    }
    SetCounters(state, stream.size());
}

BENCHMARK(BM_GeneratePage)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDocument)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDocument)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel

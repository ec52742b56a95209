// Keeping the recovery copy of a page with unsaved changes: the stream written, compared
// with the last copy and written to disk (copy and record, each through a renamed temporary
// file, not synced). This runs on the window's thread after every block change.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "BenchDocuments.h"
#include "document/Stream.h"
#include "platform/RecoveryCopy.h"

namespace tessel {
namespace {

std::string BenchFolder() {
    return (std::filesystem::temp_directory_path() /
            ("tessel-bench-recovery-" + std::to_string(::getpid())))
               .string() +
           "/";
}

void BM_KeepRecoveryCopy(benchmark::State& state) {
    std::unique_ptr<TPagelette> document = MakeBenchDocument(static_cast<int>(state.range(0)));
    const std::string folder = BenchFolder();
    size_t bytes = 0;
    {
        TRecoveryCopy copy(folder);
        std::int64_t time = 0;
        for (auto _ : state) {
            // Another title each time, so every round writes.
            document->Page().Items(0).PagePropertiesBlock().PageTitle = std::to_string(++time);
            const std::string stream = WriteComponent(*document);
            bytes = stream.size();
            copy.Write(stream, {"/home/user/TesselFiles/Bench.pgx", time});
        }
        copy.Discard();
    }
    std::filesystem::remove_all(folder);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// The timer finding the page unchanged since the last copy: the stream is written and
// compared, nothing goes to disk.
void BM_UnchangedRecoveryCopy(benchmark::State& state) {
    std::unique_ptr<TPagelette> document = MakeBenchDocument(static_cast<int>(state.range(0)));
    const std::string folder = BenchFolder();
    {
        TRecoveryCopy copy(folder);
        copy.Write(WriteComponent(*document), {"", 1});
        for (auto _ : state)
            benchmark::DoNotOptimize(copy.Write(WriteComponent(*document), {"", 2}));
        copy.Discard();
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_KeepRecoveryCopy)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnchangedRecoveryCopy)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel

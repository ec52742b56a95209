// Choosing a camera photo wider than the page: reading it upright, then scaling and writing
// the lighter copy the image panel offers. The window waits for both.

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "BenchWindow.h"
#include "platform/gui/CameraPhoto.h"
#include "platform/gui/PictureCopies.h"

namespace tessel {
namespace {

// A photo of `range(0)` x `range(1)` stored pixels, turned by its tag, for a page without a
// margin table (1,200 pixels across).
void BM_LighterCopy(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = QString::fromStdString(WriteCameraPhoto(
        folder.path().toStdString() + "/photo.jpg",
        QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))));
    qint64 copyBytes = 0;
    for (auto _ : state) {
        QByteArray format;
        const QImage picture = ReadUprightPicture(path, &format);
        const std::optional<TPictureCopy> copy = LighterPictureCopy(path, picture, format, 1200);
        if (!copy) {
            state.SkipWithError("no copy was made");
            return;
        }
        copyBytes = copy->bytes.size();
    }
    state.counters["photo_KB"] = static_cast<double>(QFileInfo(path).size()) / 1024;
    state.counters["copy_KB"] = static_cast<double>(copyBytes) / 1024;
}
BENCHMARK(BM_LighterCopy)->Args({1800, 1300})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
    return tessel::RunWindowBenchmarks(argc, argv);
}

// "View Page" on a 1,000-block page (the page generated, mapped, loaded into the viewer and
// laid out in full) and a click on a theme while the preview shows it. Each must stay under
// 150 ms.

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <filesystem>

#include "app/BenchWindow.h"
#include "app/Main.h"
#include "platform/HtmlMapping.h"
#include "platform/PageCharset.h"
#include "platform/gui/HtmlView.h"
#include "ui_Main.h"

namespace tessel {
namespace {

// Two themes to click in turn; the second lays a picture under the page.
TWebTheme BenchThemes() {
    TWebTheme themes;
    TThemeItem& plain = themes.Items().Add();
    plain.ThemeName = "Default";
    plain.LeftMargin = "0";
    plain.BGColor = RGB(255, 255, 255);
    TThemeItem& paper = themes.Items().Add();
    paper.ThemeName = "Paper";
    paper.BGImage = "paper.png";
    paper.LeftMargin = "30";
    paper.BGColor = RGB(250, 240, 215);
    paper.TextColor = RGB(70, 40, 10);
    return themes;
}

// Every picture the page names exists, as it would on a user's machine.
void MakePictures(TBenchWindow& bench) {
    const std::string home = bench.folder.path().toStdString() + "/";
    std::filesystem::create_directories(home + "Upload/images");
    std::filesystem::create_directories(home + "Upload/backgrounds");
    QImage loaf(200, 150, QImage::Format_RGB32);
    loaf.fill(QColor(190, 140, 80));
    const TPageCollection& page = bench.window->Document().Page();
    for (int i = 0; i < page.Count(); ++i) {
        if (page.Items(i).BlockType == btImage) {
            loaf.save(QString::fromStdString(home + "Upload/images/" +
                                             page.Items(i).ImageBlock().FileName));
        }
    }
    QImage paper(64, 64, QImage::Format_RGB32);
    paper.fill(QColor(245, 232, 200));
    paper.save(QString::fromStdString(home + "Upload/backgrounds/paper.png"));
}

// Lays the whole page out, as scrolling to its end would; returns the page's height.
qreal LayOut(TfrmMain& window) {
    QTextDocument* page = window.Form().browser->document();
    return page->documentLayout()->blockBoundingRect(page->lastBlock()).bottom();
}

void BM_ViewPage(benchmark::State& state) {
    TWebTheme themes = BenchThemes();
    TBenchWindow bench(static_cast<int>(state.range(0)), &themes);
    MakePictures(bench);
    bench.window->show();
    Ui::TfrmMain& f = bench.window->Form();
    for (auto _ : state) {
        state.PauseTiming();
        f.btnCreate->click();
        state.ResumeTiming();
        f.btnPreview->click();
        state.counters["height"] = LayOut(*bench.window);
    }
    state.counters["blocks"] = bench.window->Document().Page().Count();
}
BENCHMARK(BM_ViewPage)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ThemeClick(benchmark::State& state) {
    TWebTheme themes = BenchThemes();
    TBenchWindow bench(static_cast<int>(state.range(0)), &themes);
    MakePictures(bench);
    bench.window->show();
    Ui::TfrmMain& f = bench.window->Form();
    f.btnPreview->click();
    int row = 0;
    for (auto _ : state) {
        row = 1 - row;
        f.lstThemes->setCurrentRow(row);
        state.counters["height"] = LayOut(*bench.window);
    }
    state.counters["blocks"] = bench.window->Document().Page().Count();
}
BENCHMARK(BM_ThemeClick)->Arg(1000)->Unit(benchmark::kMillisecond);

// The mapping pass alone, on the same page's HTML: decoding and rewriting.
void BM_MapPage(benchmark::State& state) {
    std::unique_ptr<TPagelette> document = MakeBenchDocument(static_cast<int>(state.range(0)));
    std::vector<std::string> lines;
    TGenerateOptions options;
    options.mode = omPreview;
    options.programFolder = "/home/user/tessel/";
    GeneratePage(*document, lines, options);
    const std::string page = PageText(lines);
    for (auto _ : state) {
        const TMappedPage mapped = MapPageHtml(DecodePage(page));
        benchmark::DoNotOptimize(mapped.html.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_MapPage)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
    return tessel::RunWindowBenchmarks(argc, argv);
}

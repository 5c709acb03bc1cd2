// The display list: what keeping it adds to plotting y = x^2 on -1000..1000 (4 million segments; the same
// plot with the list switched off is the baseline, in the same run), its size after that plot, and the time
// to export that canvas as SVG and as PDF. The naive baseline of an export is a plain SVG generator given
// every segment of the start-up plot, one drawLine each.

#include "benchmain.h"
#include "classroom/pictureexport.h"
#include "drawing/frame.h"
#include "naive.h"
#include "power/mainwindow.h"
#include "power/zuotu.h"

#include <QBuffer>
#include <QSvgGenerator>
#include <QTemporaryDir>

namespace {

const canvas::ViewRange kWide{-1000, 1000, -1000, 1000, 1, 1};
const canvas::ViewRange kStartUp{-10, 10, -10, 10, 1, 1};

void plotSquare(benchmark::State& state, bool list) {
    canvas::Surface surface(naive::kCanvas, quorvex::kCanvasBackColor, 0);
    surface.setDisplayListEnabled(list);
    surface.Scale(kWide.xmin, kWide.ymax, kWide.xmax, kWide.ymin);
    surface.setDrawWidth(2);
    for (auto _ : state) {
        surface.Cls();
        quorvex::zuotu1(surface, kWide, 2);
        benchmark::DoNotOptimize(surface.Image().constBits());
    }
}

// The canvas of Quorvex after y = x^2 on -1000..1000 with the frame as the window draws it.
void drawWideCanvas(canvas::Surface& surface) {
    canvas::zuobiao(surface, quorvex::kFrameStyle, kWide.xmin, kWide.xmax, kWide.ymin, kWide.ymax, kWide.xju1,
                    kWide.yju1);
    surface.setDrawWidth(2);
    quorvex::zuotu1(surface, kWide, 2);
}

void exportWide(benchmark::State& state, canvas::PictureFormat format, const char* name) {
    canvas::Surface surface(naive::kCanvas, quorvex::kCanvasBackColor, 0);
    drawWideCanvas(surface);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QString reason;
    for (auto _ : state)
        if (!canvas::writePicture(surface, path, format, &reason))
            state.SkipWithError(reason.toUtf8().constData());
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(path).size());
    state.counters["list_bytes"] = static_cast<double>(surface.displayList().memoryBytes());
    state.counters["items"] = static_cast<double>(surface.displayList().itemCount());
    state.counters["points"] = static_cast<double>(surface.displayList().pointCount());
}

void BM_PlotSquare1000WithoutList(benchmark::State& s) {
    plotSquare(s, false);
}
void BM_PlotSquare1000WithList(benchmark::State& s) {
    plotSquare(s, true);
}
void BM_ExportSvgSquare1000(benchmark::State& s) {
    exportWide(s, canvas::PictureFormat::Svg, "graph.svg");
}
void BM_ExportPdfSquare1000(benchmark::State& s) {
    exportWide(s, canvas::PictureFormat::Pdf, "graph.pdf");
}

void BM_NaiveSvgSquareStartUp(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(naive::kCanvas);
        {
            QPainter p(&svg);
            naive::setUp(p);
            naive::frame(p, kStartUp);
            naive::plot(p, kStartUp, 2);
        }
        bytes = buffer.size();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
void BM_ExportSvgSquareStartUp(benchmark::State& state) {
    canvas::Surface surface(naive::kCanvas, quorvex::kCanvasBackColor, 0);
    canvas::zuobiao(surface, quorvex::kFrameStyle, kStartUp.xmin, kStartUp.xmax, kStartUp.ymin, kStartUp.ymax,
                    kStartUp.xju1, kStartUp.yju1);
    surface.setDrawWidth(2);
    quorvex::zuotu1(surface, kStartUp, 2);
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = canvas::svgPicture(surface.displayList()).size();
    state.counters["file_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_PlotSquare1000WithoutList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotSquare1000WithList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSvgSquare1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPdfSquare1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveSvgSquareStartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSvgSquareStartUp)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

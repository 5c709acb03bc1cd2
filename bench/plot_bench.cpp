// Plotting power curves against a naive baseline: a plain QPainter with a 2-pixel pen drawing the same
// segments one drawLine each.

#include "canvas/fonts.h"
#include "canvas/runtime.h"
#include "power/zuotu.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

const QSize kCanvas(389, 373);

canvas::ViewRange square(double half) {
    return {-half, half, -half, half, 1, 1};
}

// The same samples and clamps as the integer plot of a positive exponent, mapped by hand.
void naivePlot(QPainter& p, const canvas::ViewRange& v, int n) {
    const double s = 1 / (v.xmax - v.xmin);
    const double sx = kCanvas.width() / (v.xmax - v.xmin);
    const double sy = kCanvas.height() / (v.ymin - v.ymax);
    auto map = [&](double x, double y) { return QPointF((x - v.xmin) * sx, (y - v.ymax) * sy); };
    for (double x = v.xmin; x <= v.xmax - s; x += s) {
        double y1 = std::pow(x, n), x2 = x + s, y2 = std::pow(x2, n);
        if (y1 > 10 * v.ymax)
            y1 = v.ymax + s;
        if (y2 > 10 * v.ymax)
            y2 = v.ymax + s;
        if (y1 < 10 * v.ymin)
            y1 = v.ymin - s;
        if (y2 < 10 * v.ymin)
            y2 = v.ymin - s;
        p.drawLine(map(x, y1), map(x2, y2));
    }
}

void runNaive(benchmark::State& state, const canvas::ViewRange& v, int n) {
    QImage image(kCanvas, QImage::Format_RGB32);
    QPainter p(&image);
    p.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
    for (auto _ : state) {
        naivePlot(p, v, n);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void runSurface(benchmark::State& state, const canvas::ViewRange& v, int n) {
    canvas::Surface surface(kCanvas, canvas::RGB(255, 255, 192), 0);
    surface.Scale(v.xmin, v.ymax, v.xmax, v.ymin);
    surface.setDrawWidth(2);
    for (auto _ : state) {
        quorvex::zuotu1(surface, v, static_cast<std::int16_t>(n));
        benchmark::DoNotOptimize(surface.Image().constBits());
    }
}

void BM_NaiveSquareStartUp(benchmark::State& s) {
    runNaive(s, square(10), 2);
}
void BM_SurfaceSquareStartUp(benchmark::State& s) {
    runSurface(s, square(10), 2);
}
void BM_NaiveCube40(benchmark::State& s) {
    runNaive(s, square(40), 3);
}
void BM_SurfaceCube40(benchmark::State& s) {
    runSurface(s, square(40), 3);
}
void BM_NaiveSquare1000(benchmark::State& s) {
    runNaive(s, square(1000), 2);
}
void BM_SurfaceSquare1000(benchmark::State& s) {
    runSurface(s, square(1000), 2);
}

BENCHMARK(BM_NaiveSquareStartUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SurfaceSquareStartUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveCube40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SurfaceCube40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveSquare1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceSquare1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    canvas::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

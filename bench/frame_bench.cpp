// The coordinate frame against a naive baseline: a plain QPainter on an image of the canvas size drawing the
// same segments one drawLine at a time and the same numbers one drawText each.

#include "canvas/fonts.h"
#include "canvas/frame.h"
#include "canvas/runtime.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr canvas::FrameStyle kStyle{0.001, 0.3, 1.0, false};
const QSize kCanvas(389, 373);

struct Range {
    double xmin, xmax, ymin, ymax, xju1, yju1;
};
const Range kDefault{-10, 10, -10, 10, 1, 1};
const Range kDense{-10, 10, -10, 10, 0.001, 0.001};

// The naive way: map each point by hand and call the painter once per line and once per number.
void naiveFrame(QPainter& p, const Range& r) {
    const double sx = kCanvas.width() / (r.xmax - r.xmin);
    const double sy = kCanvas.height() / (r.ymin - r.ymax);
    auto map = [&](double x, double y) { return QPointF((x - r.xmin) * sx, (y - r.ymax) * sy); };
    const double dx = (r.xmax - r.xmin) / 20, dy = (r.ymax - r.ymin) / 20;
    p.fillRect(QRect(QPoint(0, 0), kCanvas), QColor(255, 255, 192));
    p.setPen(Qt::black);
    p.drawLine(map(r.xmin, 0.001), map(r.xmax - 0.5 * dx, 0.001));
    p.drawLine(map(0.001, r.ymin), map(0.001, r.ymax - 0.5 * dy));
    auto tick = [&](QPointF a, QPointF b, QPointF text, double n) {
        p.drawLine(a, b);
        p.drawText(text + QPointF(0, 10), canvas::Str(n));
    };
    double n = 0;
    for (double i = 0; i <= r.xmax - 1.2 * r.xju1; i += r.xju1) {
        n += r.xju1;
        tick(map(i + r.xju1, 0), map(i + r.xju1, 0.2 * dy), map(n - 0.3 * dx, 0.05 * dy), n);
    }
    n = 0;
    for (double i = 0; i >= r.xmin; i -= r.xju1) {
        n -= r.xju1;
        tick(map(i - r.xju1, 0), map(i - r.xju1, 0.2 * dy), map(n - 0.3 * dx, 0.05 * dy), n);
    }
    n = 0;
    for (double j = 0; j <= r.ymax - r.yju1; j += r.yju1) {
        n += r.yju1;
        tick(map(0, j + r.yju1), map(0.2 * dx, j + r.yju1), map(-dx, n + 0.3 * dy), n);
    }
    n = 0;
    for (double j = 0; j >= r.ymin; j -= r.yju1) {
        n -= r.yju1;
        tick(map(0, j - r.yju1), map(0.2 * dx, j - r.yju1), map(-dx, n + 0.3 * dy), n);
    }
}

void runNaive(benchmark::State& state, const Range& r) {
    QImage image(kCanvas, QImage::Format_RGB32);
    QPainter p(&image);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(9);
    p.setFont(font);
    for (auto _ : state) {
        naiveFrame(p, r);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void runSurface(benchmark::State& state, const Range& r) {
    canvas::Surface surface(kCanvas, canvas::RGB(255, 255, 192), 0);
    for (auto _ : state) {
        canvas::zuobiao(surface, kStyle, r.xmin, r.xmax, r.ymin, r.ymax, r.xju1, r.yju1);
        benchmark::DoNotOptimize(surface.Image().constBits());
    }
}

void BM_NaiveFrameDefault(benchmark::State& s) {
    runNaive(s, kDefault);
}
void BM_SurfaceFrameDefault(benchmark::State& s) {
    runSurface(s, kDefault);
}
void BM_NaiveFrameDense(benchmark::State& s) {
    runNaive(s, kDense);
}
void BM_SurfaceFrameDense(benchmark::State& s) {
    runSurface(s, kDense);
}

BENCHMARK(BM_NaiveFrameDefault)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SurfaceFrameDefault)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveFrameDense)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceFrameDense)->Unit(benchmark::kMillisecond);

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

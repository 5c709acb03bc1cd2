// One tick of the main-curve trace (one segment and its repaint) and a whole trace of a = 2 tick by tick,
// through the real Zelmora window, against a plain QPainter drawing the same segment and repainting the
// whole canvas each tick.

#include "benchmain.h"
#include "expolog/family.h"
#include "naive.h"

#include "runtime/runtime.h"

#include <cmath>

namespace {

// The naive tick: one segment of y = 2^x traced along y, then the whole canvas copied to the "screen".
struct NaiveTrace {
    QImage canvas{naive::kCanvas, QImage::Format_RGB32};
    QImage screen{naive::kCanvas, QImage::Format_RGB32};
    double p = 0.1;
    bool tick() {
        // The last tick's drawing left the vector state dirty; the logarithms below must not pay for it.
        canvas::clearVectorState();
        QPainter painter(&canvas);
        painter.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
        p += 0.1;
        auto map = [](double x, double y) { return QPointF((x + 10) * 377 / 20, (10 - y) * 377 / 20); };
        painter.drawLine(map(std::log2(p), p), map(std::log2(p + 0.1), p + 0.1));
        painter.end();
        QPainter(&screen).drawImage(0, 0, canvas);
        return p <= 30;
    }
};

void BM_NaiveTick(benchmark::State& state) {
    NaiveTrace t;
    for (auto _ : state) {
        if (!t.tick())
            t.p = 0.1;
    }
}

void BM_NaiveWholeTrace(benchmark::State& state) {
    for (auto _ : state) {
        NaiveTrace t;
        while (t.tick()) {
        }
    }
}

struct Window {
    expolog::MainWindow form{expolog::kZelmora};
    Window() {
        form.show();
        form.parameterBox()->setText(QStringLiteral("2"));
        QCoreApplication::processEvents();
    }
    // One tick and the repaint it schedules.
    void tick() {
        form.onTraceTick();
        QCoreApplication::processEvents();
    }
};

void BM_WindowTick(benchmark::State& state) {
    Window w;
    w.form.onPlotClicked();
    for (auto _ : state) {
        if (!w.form.controls().traceTimer->isActive())
            w.form.onPlotClicked();
        w.tick();
    }
}

void BM_WindowWholeTrace(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        w.form.onPlotClicked();
        while (w.form.controls().traceTimer->isActive())
            w.tick();
    }
}

BENCHMARK(BM_NaiveTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveWholeTrace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowWholeTrace)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

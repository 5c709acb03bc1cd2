// Dragging the plane with y = x^2 plotted, through the real window's handler (range boxes written, frame and
// curve redrawn each step), against the naive baseline drawing the same frame and segments with a plain
// QPainter: 1,000 steps over the start-up view, 100 over -40..40 (the widest view zooming out reaches),
// single steps on -1000..1000 (4 million segments each), and 10 steps over the start-up view with ticks
// 0.001 apart (40,000 numbers in each frame); each at 100, 200 and 300 % (the argument), the baseline drawing
// at the same density. With 保留图象, a drag step on the start-up view with the nine power cases and one more
// kept on the canvas.

#include "benchmain.h"
#include "naive.h"
#include "power/mainwindow.h"

#include "runtime/messagebox.h"

#include <vector>

namespace {

constexpr int kSteps = 1000;

// The pointer wanders around the origin so the view stays near where it started.
float wobble(int i) {
    return 0.25f * static_cast<float>((i % 9) - 4);
}

// Steps a drag of `steps` moves, the pointer moving `scale` times the wobble, from the view `start`.
void runNaive(benchmark::State& state, canvas::ViewRange start, int steps, float scale) {
    QImage image = naive::canvasImage(static_cast<int>(state.range(0)));
    QPainter p(&image);
    naive::setUp(p);
    for (auto _ : state) {
        canvas::ViewRange v = start;
        for (int i = 0; i < steps; ++i) {
            v.xmin -= scale * wobble(i);
            v.xmax -= scale * wobble(i);
            v.ymin -= scale * wobble(i + 3);
            v.ymax -= scale * wobble(i + 3);
            naive::frame(p, v);
            naive::plot(p, v, 2);
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["steps/s"] = benchmark::Counter(steps, benchmark::Counter::kIsIterationInvariantRate);
}

// The window with the range typed into its boxes and applied, then y = x^2 plotted.
void runWindow(benchmark::State& state, double half, int steps, float scale, double spacing = 1,
               const std::vector<const char*>& kept = {}) {
    quorvex::MainWindow form;
    form.controls().canvas->surface().setDeviceRatio(static_cast<qreal>(state.range(0)) / 100);
    const QString low = QString::number(-half), high = QString::number(half);
    form.controls().xMinBox->setText(low);
    form.controls().xMaxBox->setText(high);
    form.controls().yMinBox->setText(low);
    form.controls().yMaxBox->setText(high);
    form.controls().xSpacingBox->setText(QString::number(spacing));
    form.controls().ySpacingBox->setText(QString::number(spacing));
    form.onApplyRangeClicked();
    form.controls().integerFormOption->click();
    if (!kept.empty())
        form.setKeepCurves(true);
    for (const char* m : kept) {
        form.controls().mBox->setText(QString::fromLatin1(m));
        form.onPlotClicked();
    }
    form.controls().mBox->setText(QStringLiteral("2"));
    form.onPlotClicked();
    int i = 0;
    for (auto _ : state) {
        form.onCanvasPressed({1, 0, 0, 0});
        for (int k = 0; k < steps; ++k, ++i)
            form.onCanvasPointerMoved({1, 0, scale * wobble(i), scale * wobble(i + 3)});
        form.panning().dragging = false;
        benchmark::DoNotOptimize(form.controls().canvas->surface().Image().constBits());
    }
    state.counters["steps/s"] = benchmark::Counter(steps, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_NaiveDrag(benchmark::State& state) {
    runNaive(state, {-10, 10, -10, 10, 1, 1}, kSteps, 1);
}
void BM_WindowDrag(benchmark::State& state) {
    runWindow(state, 10, kSteps, 1);
}
void BM_NaiveDragZoomedOut(benchmark::State& state) {
    runNaive(state, {-40, 40, -40, 40, 1, 1}, 100, 4);
}
void BM_WindowDragZoomedOut(benchmark::State& state) {
    runWindow(state, 40, 100, 4);
}
void BM_NaiveDragWide(benchmark::State& state) {
    runNaive(state, {-1000, 1000, -1000, 1000, 1, 1}, 1, 100);
}
void BM_WindowDragWide(benchmark::State& state) {
    runWindow(state, 1000, 1, 100);
}

// Ten powers kept on the canvas (nine before y = x^2), each drawn again by every step.
void BM_WindowDragKeptTen(benchmark::State& state) {
    runWindow(state, 10, kSteps / 10, 1, 1, {"1", "3", "-1", "-2", "4", "5", "-3", "6", "7"});
}
void BM_WindowDragKeptOne(benchmark::State& state) {
    runWindow(state, 10, kSteps / 10, 1);
}

void BM_NaiveDragDense(benchmark::State& state) {
    runNaive(state, {-10, 10, -10, 10, 0.001, 0.001}, 10, 1);
}
void BM_WindowDragDense(benchmark::State& state) {
    runWindow(state, 10, 10, 1, 0.001);
}

BENCHMARK(BM_NaiveDrag)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDrag)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveDragZoomedOut)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDragZoomedOut)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveDragWide)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDragWide)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveDragDense)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDragDense)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDragKeptTen)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDragKeptOne)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

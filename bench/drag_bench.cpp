// A drag of 1,000 steps over the start-up view with y = x^2 plotted, through the real window's handler
// (range boxes written, frame and curve redrawn each step), against the naive baseline drawing the same
// frame and segments with a plain QPainter.

#include "benchmain.h"
#include "naive.h"
#include "power/form1.h"

#include "canvas/messagebox.h"

namespace {

constexpr int kSteps = 1000;

// The pointer wanders around the origin so the view stays near the start-up one.
float wobble(int i) {
    return 0.25f * static_cast<float>((i % 9) - 4);
}

void BM_NaiveDrag(benchmark::State& state) {
    QImage image(naive::kCanvas, QImage::Format_RGB32);
    QPainter p(&image);
    naive::setUp(p);
    for (auto _ : state) {
        canvas::ViewRange v{-10, 10, -10, 10, 1, 1};
        for (int i = 0; i < kSteps; ++i) {
            v.xmin -= wobble(i);
            v.xmax -= wobble(i);
            v.ymin -= wobble(i + 3);
            v.ymax -= wobble(i + 3);
            naive::frame(p, v);
            naive::plot(p, v, 2);
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["steps/s"] = benchmark::Counter(kSteps, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_WindowDrag(benchmark::State& state) {
    quorvex::Form1 form;
    form.Option1->click();
    form.Text5->setText(QStringLiteral("2"));
    form.Command2_Click();
    for (auto _ : state) {
        form.Picture1_MouseDown({1, 0, 0, 0});
        for (int i = 0; i < kSteps; ++i)
            form.Picture1_MouseMove({1, 0, wobble(i), wobble(i + 3)});
        form.panning().dragFlag = 0;
        benchmark::DoNotOptimize(form.Picture1->surface().Image().constBits());
    }
    state.counters["steps/s"] = benchmark::Counter(kSteps, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_NaiveDrag)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDrag)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

// The coordinate frame against the naive baseline, at the start-up range and with ticks 0.001 apart
// (about 40,000 printed numbers), at 100, 200 and 300 % (the argument), the baseline at the same density.

#include "benchmain.h"
#include "drawing/frame.h"
#include "naive.h"

namespace {

constexpr canvas::FrameStyle kStyle{0.001, 0.3, 1.0, false};
const canvas::ViewRange kDefault{-10, 10, -10, 10, 1, 1};
const canvas::ViewRange kDense{-10, 10, -10, 10, 0.001, 0.001};

void runNaive(benchmark::State& state, const canvas::ViewRange& r) {
    QImage image = naive::canvasImage(static_cast<int>(state.range(0)));
    QPainter p(&image);
    naive::setUp(p);
    for (auto _ : state) {
        naive::frame(p, r);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void runSurface(benchmark::State& state, const canvas::ViewRange& r) {
    canvas::Surface surface(naive::kCanvas, canvas::RGB(255, 255, 192), 0,
                            static_cast<qreal>(state.range(0)) / 100);
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

BENCHMARK(BM_NaiveFrameDefault)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SurfaceFrameDefault)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveFrameDense)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceFrameDense)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

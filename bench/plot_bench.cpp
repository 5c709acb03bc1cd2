// Plotting power curves against the naive baseline (a 2-pixel pen, one drawLine per segment): y = x^2 on
// the start-up view, y = x^3 on -40..40, and y = x^2 on -1000..1000 (4 million segments).

#include "benchmain.h"
#include "naive.h"
#include "power/zuotu.h"

namespace {

canvas::ViewRange square(double half) {
    return {-half, half, -half, half, 1, 1};
}

void runNaive(benchmark::State& state, const canvas::ViewRange& v, int n) {
    QImage image(naive::kCanvas, QImage::Format_RGB32);
    QPainter p(&image);
    for (auto _ : state) {
        naive::plot(p, v, n);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void runSurface(benchmark::State& state, const canvas::ViewRange& v, int n) {
    canvas::Surface surface(naive::kCanvas, canvas::RGB(255, 255, 192), 0);
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

EXPLORERS_BENCHMARK_MAIN()

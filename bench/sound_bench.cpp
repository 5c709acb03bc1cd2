// Rendering the 3-second sound of y = x^2 at the start-up view, against a naive renderer in the same run:
// one tone sample at a time appended to a byte array, every pan and pitch computed afresh. Playback starts
// once the sound is rendered, so it must take a small part of its own duration (the goal: 5 %).

#include "benchmain.h"
#include "curves/curvesound.h"

#include <QByteArray>
#include <QtEndian>

#include <cmath>

namespace {

const canvas::ViewRange kView{-10, 10, -10, 10, 1, 1};
constexpr double kSeconds = 3;

QByteArray naiveSound(double seconds) {
    QByteArray out;
    const int frames = static_cast<int>(seconds * canvas::kSoundRate);
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / (frames - 1);
        const double y = std::pow(kView.xmin + t * (kView.xmax - kView.xmin), 2);
        const double share = std::fmin(1, std::fmax(0, (y - kView.ymin) / (kView.ymax - kView.ymin)));
        phase += 2 * M_PI * 220 * std::pow(8, share) / canvas::kSoundRate;
        const double v = 0.45 * std::sin(phase);
        for (double gain : {std::cos(t * M_PI / 2), std::sin(t * M_PI / 2)}) {
            uchar b[2];
            qToLittleEndian(static_cast<qint16>(std::lround(v * gain * 32767)), b);
            out.append(reinterpret_cast<const char*>(b), 2);
        }
    }
    return out;
}

void BM_NaiveSound3s(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(naiveSound(kSeconds));
}

void BM_CurveSound3s(benchmark::State& state) {
    const canvas::CurveRecord square = canvas::powerCurve(2, 1, QStringLiteral("y = x^2"));
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas::renderCurveSound(square, kView, kSeconds).pcm());
}

BENCHMARK(BM_NaiveSound3s)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurveSound3s)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

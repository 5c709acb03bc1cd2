// One frame of 参数动画 in Zelmora: the frame and y = a^x drawn whole for a new base, through the base box's
// Up and Down keys (the same redraw the sweep makes), at the start-up view and with ticks 0.001 apart, at
// 100, 200 and 300 % (the argument).

#include "benchmain.h"
#include "expolog/family.h"
#include "expolog/mainwindow.h"

#include <QTest>

namespace {

void runFrames(benchmark::State& state, double spacing) {
    expolog::MainWindow form(expolog::kZelmora);
    form.controls().canvas->surface().setDeviceRatio(static_cast<qreal>(state.range(0)) / 100);
    form.controls().xSpacingBox->setText(QString::number(spacing));
    form.controls().ySpacingBox->setText(QString::number(spacing));
    form.onApplyRangeClicked();
    form.parameterBox()->setText(QStringLiteral("2"));
    form.onPlotClicked();
    for (int i = 0; i < 100000 && form.controls().traceTimer->isActive(); ++i)
        form.onTraceTick();
    int i = 0;
    for (auto _ : state) {
        QTest::keyClick(form.parameterBox(), (i++ % 2) ? Qt::Key_Down : Qt::Key_Up);
        benchmark::DoNotOptimize(form.controls().canvas->surface().Image().constBits());
    }
}

void BM_AnimationFrame(benchmark::State& state) {
    runFrames(state, 1);
}
void BM_AnimationFrameDense(benchmark::State& state) {
    runFrames(state, 0.001);
}

BENCHMARK(BM_AnimationFrame)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimationFrameDense)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace

EXPLORERS_BENCHMARK_MAIN()

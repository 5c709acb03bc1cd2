#pragma once

// A Zelmora or Tavrinth window for tests: shown, with messages recorded, the canvas operations recorded,
// and the timers driven by plain calls.

#include "expolog/family.h"
#include "messagerecorder.h"

#include <QTest>

#include <vector>

namespace testsupport {

struct ExpLogWindow {
    MessageRecorder messages;
    expolog::MainWindow form;
    explicit ExpLogWindow(const expolog::Family& family) : form(family) {
        form.show();
        form.controls().canvas->surface().setRecording(true);
    }
    void setBase(const QString& base) { form.parameterBox()->setText(base); }
    /// Types a base and presses 作图.
    void plot(const QString& base) {
        setBase(base);
        QTest::mouseClick(form.controls().plotButton, Qt::LeftButton);
    }
    /// Ticks the main trace until it stops (or a bound, for traces that never do); returns the ticks run.
    int runTrace(int bound = 100000) {
        return run(
            form.controls().traceTimer, [this] { form.onTraceTick(); }, bound);
    }
    /// The same for the inverse trace.
    int runInverse(int bound = 100000) {
        return run(
            form.controls().inverseTraceTimer, [this] { form.onInverseTraceTick(); }, bound);
    }
    /// Recorded operations of a kind in a colour.
    std::vector<canvas::SurfaceOp> ops(canvas::SurfaceOp::Kind kind, canvas::Colour colour) const {
        std::vector<canvas::SurfaceOp> out;
        for (const canvas::SurfaceOp& op : form.controls().canvas->surface().operations())
            if (op.kind == kind && op.colour == colour)
                out.push_back(op);
        return out;
    }
    std::vector<canvas::SurfaceOp> segments(canvas::Colour colour) const {
        return ops(canvas::SurfaceOp::Kind::Line, colour);
    }
    /// Segments in the current curve colour.
    std::vector<canvas::SurfaceOp> curve() const { return segments(form.curveColour()); }

private:
    template <class Tick> int run(QTimer* timer, Tick tick, int bound) {
        int ticks = 0;
        for (; ticks < bound && timer->isActive(); ++ticks)
            tick();
        return ticks;
    }
};

} // namespace testsupport

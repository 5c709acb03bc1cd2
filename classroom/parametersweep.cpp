#include "classroom/parametersweep.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace canvas {

ParameterSweep ParameterSweep::linear(double from, double to, double milliseconds) {
    ParameterSweep s;
    s.from_ = from;
    s.to_ = to;
    s.duration_ = milliseconds;
    return s;
}

ParameterSweep ParameterSweep::steps(std::vector<double> values, double millisecondsEach) {
    ParameterSweep s;
    s.steps_ = std::move(values);
    s.each_ = millisecondsEach;
    s.duration_ = millisecondsEach * static_cast<double>(s.steps_.size());
    return s;
}

double ParameterSweep::valueAt(double elapsed) const {
    const double t = std::clamp(elapsed, 0.0, duration_);
    if (!steps_.empty()) {
        const auto i = static_cast<std::size_t>(std::floor(t / each_));
        return steps_[std::min(i, steps_.size() - 1)];
    }
    return duration_ > 0 ? from_ + (to_ - from_) * (t / duration_) : to_;
}

SweepClock& sweepClock() {
    static QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    static SweepClock clock = [] { return static_cast<double>(started.nsecsElapsed()) / 1e6; };
    return clock;
}

} // namespace canvas

#pragma once

// 参数动画: the parameter of the newest curve swept from one value to another, the curve following at the
// display's frame rate. The sweep is a function of the time since it began, read from a clock the tests
// replace, so the values a frame shows do not depend on how fast frames come.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace canvas {

class ParameterSweep {
public:
    /// Evenly from `from` to `to` in `milliseconds`.
    static ParameterSweep linear(double from, double to, double milliseconds);
    /// Through `values` one after another, each held for `millisecondsEach`.
    static ParameterSweep steps(std::vector<double> values, double millisecondsEach);

    /// The value `elapsed` milliseconds after the start.
    double valueAt(double elapsed) const;
    /// The length of the whole sweep.
    double duration() const { return duration_; }
    double endValue() const { return valueAt(duration_); }

private:
    double from_ = 0, to_ = 0, duration_ = 0;
    std::vector<double> steps_;
    double each_ = 0;
};

/// The clock sweeps run on, in milliseconds; tests install their own (nothing restores the real one).
using SweepClock = std::function<double()>;
SweepClock& sweepClock();

} // namespace canvas

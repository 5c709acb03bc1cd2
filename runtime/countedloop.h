#pragma once

// The counted loop every tick, grid and sampling run uses: start, end and step are taken once, the loop runs
// while the value has not passed the end, and the value advances by repeated addition of the step.

#include <cmath>
#include <cstdint>

namespace canvas {

/// Most passes a loop whose bounds come from what the user typed may make. It is two and a half times the
/// densest frame a lesson needs (ticks 0.001 apart across -10..10: 10,000 on each half axis), and keeps a
/// pathological range from freezing the window: past it the remaining ticks would only pile more numbers
/// onto the same pixels.
constexpr long kMaxLoopPasses = 25000;

/// Runs body(value) for value = start, start + step, ... while value <= end (>= end for a negative step).
/// A zero step runs nothing, and so does a step too small to change the value any more: both would never
/// end. Exceptions from the body pass through and end the loop.
template <class Body>
void countedLoop(double start, double end, double step, Body&& body, long maxPasses = kMaxLoopPasses) {
    if (!(step > 0) && !(step < 0))
        return;
    double value = start;
    for (long pass = 0; pass < maxPasses; ++pass) {
        if (step > 0 ? !(value <= end) : !(value >= end))
            return;
        body(value);
        const double next = value + step;
        if (next == value)
            return;
        value = next;
    }
}

/// How many of the additions that follow value (value + step, then the step added to that, ...) each add the
/// same whole number of units in the last place, d: then the k-th of them is exactly value + k * d. That
/// holds while the sums stay inside value's binade, a unit away from its edges, and the step is no tie
/// between two multiples of the unit (ties round to even, and the spacing would alternate). 0 where none
/// is known that way: near zero, for huge steps, or a step of less than half a unit. d is set otherwise.
inline long evenAdditions(double value, double step, double& d) {
    if (!std::isnormal(value) || !std::isfinite(step))
        return 0;
    const int e = std::ilogb(value);
    if (e - 52 < -1022)
        return 0; // the unit would be subnormal
    const double unit = std::ldexp(1.0, e - 52);
    const double q = step / unit; // exact: a power of two
    if (!(std::fabs(q) < 0x1p51) || std::fabs(q - std::trunc(q)) == 0.5)
        return 0;
    const double units = std::nearbyint(q);
    if (units == 0)
        return 0;
    // Magnitudes in units: value's lies in [2^52, 2^53); each sum's must stay in [2^52 + 1, 2^53 - 1].
    const auto magnitude = static_cast<std::int64_t>(std::fabs(value) / unit);
    const auto change = static_cast<std::int64_t>(value > 0 ? units : -units);
    constexpr std::int64_t kLow = (std::int64_t{1} << 52) + 1, kHigh = (std::int64_t{1} << 53) - 1;
    const std::int64_t room = change > 0 ? (kHigh - magnitude) / change : (magnitude - kLow) / -change;
    if (room <= 0)
        return 0;
    d = units * unit;
    return room > 0x7fffffff ? 0x7fffffff : static_cast<long>(room);
}

/// The values countedLoop(start, end, step, ...) runs through, in the same order, handed over as stretches
/// of equal spacing: stretch(first, spacing, count) stands for first + i * spacing, i = 0 .. count - 1,
/// each exactly the double the repeated addition gives. A wide plot asks something of millions of samples
/// and can pass over most of them this way.
template <class Stretch>
void countedStretches(double start, double end, double step, Stretch&& stretch,
                      long maxPasses = kMaxLoopPasses) {
    if (!(step > 0) && !(step < 0))
        return;
    double value = start;
    long passes = 0;
    while (passes < maxPasses) {
        if (step > 0 ? !(value <= end) : !(value >= end))
            return;
        double d = 0;
        long count = evenAdditions(value, step, d);
        if (count == 0) {
            stretch(value, step, 1L);
            ++passes;
            const double next = value + step;
            if (next == value)
                return;
            value = next;
            continue;
        }
        // value + k * d for k < count, cut where the end or the passes stop the loop.
        count = count < maxPasses - passes ? count : maxPasses - passes;
        const double span = (end - value) / d;
        long inside = span < static_cast<double>(count) ? static_cast<long>(span) + 1 : count;
        auto within = [&](long k) {
            const double v = value + static_cast<double>(k) * d;
            return step > 0 ? v <= end : v >= end;
        };
        while (inside > 0 && !within(inside - 1))
            --inside;
        while (inside < count && within(inside))
            ++inside;
        stretch(value, d, inside);
        passes += inside;
        if (inside < count)
            return;
        value += static_cast<double>(count) * d;
    }
}

} // namespace canvas

#pragma once

// The counted loop every tick, grid and sampling run uses: start, end and step are taken once, the loop runs
// while the value has not passed the end, and the value advances by repeated addition of the step.

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

} // namespace canvas

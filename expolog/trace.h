#pragma once

// The timer-driven traces of the exponential and logarithmic explorer. A trace walks a sample position in
// equal steps along one axis and draws one short segment of the curve per timer tick. Which walk a trace
// takes, where it starts and when it stops depend on the program and on the base; those choices are data
// (TraceRules), read by the one step routine below.

#include "drawing/surface.h"
#include "runtime/viewrange.h"

namespace expolog {

/// The trace state of a window, shared by both timers and the symmetry axis.
struct TraceState {
    double baseA = 0;
    double lnBase = 0;
    double tracePos = 0;
    double traceLog = 0;
    double stepX = 0;
    double stepY = 0;
    double xSpan = 0;
};

/// How the sample position walks, and which segment each step draws (log_a p = ln p / lnBase):
enum class Walk {
    None,       ///< the tick does nothing at all
    AlongX,     ///< p += h; segment (p, log_a p) - (p + h, log_a (p + h)): y = log_a x
    UpAlongY,   ///< p += h; segment (log_a p, p) - (log_a (p + h), p + h): y = a^x, upwards
    DownAlongY, ///< p -= h; segment (log_a p, p) - (log_a (p - h), p - h): y = a^x, downwards
};

/// When a trace stops, tested after each drawn segment.
enum class Stop { PastThreeXmax, PastXmax, PastXmaxPlusStep, BelowTwoSteps, BelowThreeSteps };

/// Where a trace starts.
enum class Start { OneStep, TwoSteps, OneAndAHalfWidestEdge, Xmax, Unchanged };

/// One case of a trace: its walk, stop and start.
struct TraceCase {
    Walk walk = Walk::None;
    Stop stop = Stop::PastXmax;
    Start start = Start::Unchanged;
};

/// The cases of a trace by the base: above 1, between 0 and 1, exactly 1, and not above 0.
struct TraceRules {
    TraceCase aboveOne;
    TraceCase belowOne;
    TraceCase one;
    TraceCase notPositive;

    const TraceCase& forBase(double a) const;
};

/// Sets the start position of a trace for the current base (the step is already set).
void startTrace(const TraceRules& rules, TraceState& state, const canvas::ViewRange& view);

/// What a tick did.
enum class TickResult {
    Idle,    ///< nothing to do for this base
    Drawn,   ///< one segment drawn; the trace goes on
    Stopped, ///< one segment drawn and the stop bound passed: the timer should stop
    Failed,  ///< a logarithm or a coordinate could not be computed: nothing drawn, the trace goes on
};

/// One tick of a trace: advance the position, draw the segment in the colour at the canvas's pen width.
TickResult traceTick(const TraceRules& rules, TraceState& state, const canvas::ViewRange& view,
                     canvas::Surface& surface, canvas::Colour colour);

/// The ticks of a trace, one after another at once, until it stops: the whole curve as the timer would
/// have drawn it. A trace that would not stop ends after kMaxWholeTicks segments.
void traceWhole(const TraceRules& rules, TraceState& state, const canvas::ViewRange& view,
                canvas::Surface& surface, canvas::Colour colour);
inline constexpr long kMaxWholeTicks = 1000000;

/// Draws the dotted diagonal y = x from xmin to xmax, points 0.05 apart, with the label "y=x". The loop
/// runs on the shared tracePos, as the traces do.
void symmetryAxis(TraceState& state, const canvas::ViewRange& view, canvas::Surface& surface);

} // namespace expolog

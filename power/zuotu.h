#pragma once

// The two plot routines of the power explorer. They draw y = x^n or y = x^(n/m) as a chain of short
// segments over the frame already on the canvas, in a new random colour, in the canvas's current user
// coordinates. They know nothing of the window: the caller empties and focuses the number boxes when a
// routine reports that it rejected its input.

#include "drawing/surface.h"
#include "runtime/viewrange.h"

#include <QString>

#include <cstdint>

namespace quorvex {

/// What became of a plot.
enum class PlotOutcome {
    Drawn,    ///< sampled (possibly ended early by an overflow, keeping what was drawn)
    Rejected, ///< a zero exponent part: the message was shown, nothing drawn
};

/// Most samples one run of a plot takes with the exact step. The sampling step is the reciprocal of the
/// view's width, so the number of segments grows with the square of the width: -1000..1000 takes 4 million
/// and is drawn exactly.
constexpr double kMaxSamplesPerRun = 4.5e6;

/// Samples of a run in a view wider than that (about 2100 units, typed by hand or dragged far out): spread
/// evenly over the run, still hundreds per pixel column, so the whole curve appears at once and quickly.
constexpr double kWideViewSamples = 2.0e5;

/// The curve of zuotu1 as a screen reader reads it: "y = x^2", "y = x^(-1)".
QString formula1(std::int16_t n);
/// The curve of zuotu2: "y = x^(1/3)", "y = x^(-2/3)".
QString formula2(std::int16_t n, std::int16_t m);

/// y = x^n for a whole n; a zero n is refused with "m不能为零或空！".
PlotOutcome zuotu1(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n);

/// y = x^(numerator/denominator) for whole numbers, the numerator typed into the m box and the denominator
/// into the n box; a zero one is refused with "m, n不能为零或空！".
PlotOutcome zuotu2(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t numerator,
                   std::int16_t denominator);

} // namespace quorvex

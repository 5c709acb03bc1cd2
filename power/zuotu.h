#pragma once

// The two plot routines of the power explorer. They draw y = x^n or y = x^(n/m) as a chain of short
// segments over the frame already on the canvas, in a new random colour, in the canvas's current user
// coordinates. They know nothing of the window and open no dialog: when a routine reports that it refused
// its input, the caller tells the pupil (power/plotmessage.h) and empties and focuses the number boxes.

#include "drawing/surface.h"
#include "runtime/viewrange.h"

#include <QString>

#include <cstdint>

namespace quorvex {

/// What became of a plot.
enum class PlotOutcome {
    Drawn,               ///< sampled (possibly ended early by an overflow, keeping what was drawn)
    RefusedZeroExponent, ///< zuotu1 with a zero exponent: nothing drawn
    RefusedZeroPart,     ///< zuotu2 with a zero numerator or denominator: nothing drawn
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

/// The colour of a new plot: the next three numbers of the generator as red, green and blue, taken before
/// anything else (in high contrast too, where the palette's colour takes their place).
canvas::Colour nextCurveColour();

/// y = x^n for a whole n, in a new colour; a zero n is refused.
PlotOutcome zuotu1(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n);
/// The same in a given colour (a curve of the lesson drawn again).
PlotOutcome zuotu1(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n,
                   canvas::Colour colour);

/// y = x^(numerator/denominator) for whole numbers, the numerator typed into the m box and the denominator
/// into the n box; a zero one is refused.
PlotOutcome zuotu2(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t numerator,
                   std::int16_t denominator);
PlotOutcome zuotu2(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t numerator,
                   std::int16_t denominator, canvas::Colour colour);

} // namespace quorvex

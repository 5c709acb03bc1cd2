#pragma once

// What the pupil is told when a plot refused its exponent. The plot routines only report what became of
// a plot; the window says it, then empties the number boxes.

#include "power/zuotu.h"

namespace quorvex {

/// Tells the pupil why a plot was refused: "m不能为零或空！" for a zero whole exponent, "m, n不能为零或空！"
/// for a fraction with a zero part; says nothing of a plot that was drawn.
void tellPlotOutcome(PlotOutcome outcome);

} // namespace quorvex

#pragma once

// The points of a curve worth finding without seeing it, and the words a screen reader says for a point.
// Both are pure functions of a curve record and the view: the keyboard exploration, the ticks of the
// curve's sound and any test reach them without a window.

#include "curves/curverecord.h"
#include "runtime/viewrange.h"

#include <QString>

#include <vector>

namespace canvas {

/// What makes a point of a curve a landmark; a point may be several at once (the origin of y = x^3).
enum class LandmarkKind {
    XAxisCrossing,
    YAxisCrossing,
    DomainEnd,
    Asymptote,
    EntersFromAbove,
    EntersFromBelow,
    LeavesUpwards,
    LeavesDownwards,
    SharedPoint, ///< the point every curve of the family passes through
};

struct Landmark {
    double x = 0;
    std::vector<LandmarkKind> kinds;
};

/// True for a view whose limits and sizes are finite numbers, each maximum above its minimum.
bool usableView(const ViewRange& view);

/// The landmarks of a curve inside the view, left to right, from the function itself; `columns` is the
/// canvas width in pixels, the finest step at which the view's edges are sought. Empty for a view that is
/// not a usable range.
std::vector<Landmark> landmarks(const CurveRecord& curve, const ViewRange& view, int columns);

/// True where the curve passes from one side of the x axis to the other at x; false where it only reaches
/// the axis and turns back (y = x^2 at 0) or begins there (y = x^(1/2) at 0).
bool crossesXAxis(const CurveRecord& curve, const ViewRange& view, double x);

/// A point in words for the ear: "x 等于 1.5, y 等于 2.25", "x 等于 负 1, 无定义", and, beyond the view,
/// "x 等于 4, y 等于 16, 在视图上方" (or 下方). x is said as a read-out rounds it (readOutDigits) and y is
/// the value at that x, so "x 等于 负 9.95" is followed by "y 等于 99", the square of what was said.
QString pointReadOut(const CurveRecord& curve, const ViewRange& view, double x);

/// A landmark as announced: "与 x 轴的交点、与 y 轴的交点, x 等于 0, y 等于 0"; x gets the digits that keep
/// the landmark's value inside the view: "从上方进入视图, x 等于 负 3.162, y 等于 10".
QString landmarkReadOut(const CurveRecord& curve, const ViewRange& view, const Landmark& landmark);

} // namespace canvas

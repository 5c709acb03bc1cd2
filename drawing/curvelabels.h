#pragma once

// The names of the curves on the canvas: each curve's formula written beside it in its colour, where the
// curve is inside the view nearest its right edge (near where it leaves the view). No name covers another
// name, a number of the axes or an arrow: a name that would is moved along its curve, and where the curve
// offers no free place the names stack down the right edge of the canvas.

#include "curves/curverecord.h"
#include "drawing/surface.h"
#include "runtime/viewrange.h"

#include <QRectF>
#include <QSizeF>

#include <optional>
#include <vector>

namespace canvas {

/// Where a name of `size` goes for `curve` in `view` on a canvas of `canvasSize` (logical pixels), clear of
/// every box in `taken`; nothing when the canvas has no free place for it.
std::optional<QRectF> placeLabel(const CurveRecord& curve, const ViewRange& view, QSizeF canvasSize,
                                 QSizeF size, const std::vector<QRectF>& taken);

/// What a name must not cover on the surface: its texts so far (numbers, axis names, names already
/// written) and the arrows at the ends of the axes.
std::vector<QRectF> labelObstacles(const Surface& surface, const ViewRange& view);

/// Writes the curve's formula in its colour where placeLabel puts it; false when there was no room.
bool writeCurveLabel(Surface& surface, const ViewRange& view, const CurveRecord& curve, Colour colour);

} // namespace canvas

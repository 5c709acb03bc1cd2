#pragma once

// The grid: light grey lines across the whole window at every multiple of the tick spacings. Only the
// drawing: the buttons that lay it over the plane and take it away again are controls, in the widgets.

#include "drawing/surface.h"
#include "runtime/viewrange.h"

namespace canvas {

/// The grid colour, light grey.
inline const Colour kGridColour = RGB(192, 192, 192);

/// Draws the grid lines of the stored range (none at 0, none for an axis whose spacing is not positive).
/// A range the canvas cannot take ends the drawing quietly; returns false then.
bool drawGrid(Surface& surface, const ViewRange& view);

} // namespace canvas

#pragma once

// The grid: light grey lines across the whole window at every multiple of the tick spacings, and the two
// buttons that lay it over the plane and take it away again. The grid keeps no state: removing it redraws
// the frame and plots the graph again.

#include "drawing/surface.h"
#include "runtime/viewrange.h"

#include <functional>

namespace canvas {

/// The grid colour, light grey.
inline const Colour kGridColour = RGB(192, 192, 192);

/// Draws the grid lines of the stored range (none at 0, none for an axis whose spacing is not positive).
/// A range the canvas cannot take ends the drawing quietly; returns false then.
bool drawGrid(Surface& surface, const ViewRange& view);

/// How a program's grid buttons behave, and what of the window they use.
struct GridButtons {
    /// Whether "画网格" plots the graph again on top of the new grid lines.
    bool replotsAfterDrawing;
    /// Whether a graph was last drawn (and not cleared), so the buttons should bring it back.
    std::function<bool()> graphWanted;
    /// The apply action of the range panel.
    std::function<void()> apply;
    /// The plot action.
    std::function<void()> plot;

    /// "画网格". False when the range left no grid to draw.
    bool draw(Surface& surface, const ViewRange& view) const;
    /// "消网格": apply the range panel (redrawing the bare frame), then plot again if a graph was wanted.
    void remove() const;
};

} // namespace canvas

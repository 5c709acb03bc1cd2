#pragma once

// The two grid buttons: "画网格" lays the grid over the plane and "消网格" takes it away again. The grid
// keeps no state: removing it redraws the frame and plots the graph again.

#include "drawing/surface.h"
#include "runtime/viewrange.h"

#include <functional>

namespace canvas {

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

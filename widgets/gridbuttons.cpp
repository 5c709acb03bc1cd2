#include "widgets/gridbuttons.h"

#include "drawing/grid.h"

namespace canvas {

bool GridButtons::draw(Surface& surface, const ViewRange& view) const {
    if (!drawGrid(surface, view))
        return false;
    if (replotsAfterDrawing && graphWanted())
        plot();
    return true;
}

void GridButtons::remove() const {
    apply();
    if (graphWanted())
        plot();
}

} // namespace canvas

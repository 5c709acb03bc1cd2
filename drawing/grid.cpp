#include "drawing/grid.h"

#include "runtime/countedloop.h"

namespace canvas {

bool drawGrid(Surface& surface, const ViewRange& v) {
    surface.setDrawWidth(1);
    try {
        countedLoop(0, v.xmax, v.xju1, [&](double i) {
            if (i != 0)
                surface.Line(i, v.ymax, i, v.ymin, kGridColour);
        });
        countedLoop(0, v.xmin, -v.xju1, [&](double i) {
            if (i != 0)
                surface.Line(i, v.ymax, i, v.ymin, kGridColour);
        });
        countedLoop(0, v.ymax, v.yju1, [&](double j) {
            if (j != 0)
                surface.Line(v.xmax, j, v.xmin, j, kGridColour);
        });
        countedLoop(0, v.ymin, -v.yju1, [&](double j) {
            if (j != 0)
                surface.Line(v.xmax, j, v.xmin, j, kGridColour);
        });
    } catch (const RuntimeError&) {
        return false;
    }
    return true;
}

} // namespace canvas

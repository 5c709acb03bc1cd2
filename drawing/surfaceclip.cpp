#include "drawing/surface.h"

#include <algorithm>
#include <cmath>

namespace canvas {

bool clipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
                 double bottom) {
    // Liang-Barsky on the parametric form, all in double. An end point that is clipped is put exactly on
    // the boundary that clipped it and its other coordinate is interpolated from the nearer end, so a
    // segment from far away (1e30 pixels, say) still lands where it should instead of losing every digit.
    // A segment wholly inside stays as it is; most of a curve's segments are such.
    if (x1 >= left && x1 <= right && x2 >= left && x2 <= right && y1 >= top && y1 <= bottom && y2 >= top &&
        y2 <= bottom)
        return true;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return false;
    double t0 = 0.0;
    double t1 = 1.0;
    int enter = -1;
    int leave = -1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1)
                return false;
            if (r > t0) {
                t0 = r;
                enter = i;
            }
        } else {
            if (r < t0)
                return false;
            if (r < t1) {
                t1 = r;
                leave = i;
            }
        }
    }
    const double bounds[4] = {left, right, top, bottom};
    auto pointAt = [&](double t, int boundary, double& ox, double& oy) {
        if (t <= 0.5) {
            ox = x1 + t * dx;
            oy = y1 + t * dy;
        } else {
            ox = x2 - (1 - t) * dx;
            oy = y2 - (1 - t) * dy;
        }
        if (boundary == 0 || boundary == 1)
            ox = bounds[boundary];
        else if (boundary >= 2)
            oy = bounds[boundary];
    };
    double nx1 = x1, ny1 = y1, nx2 = x2, ny2 = y2;
    if (enter >= 0)
        pointAt(t0, enter, nx1, ny1);
    if (leave >= 0)
        pointAt(t1, leave, nx2, ny2);
    // Rounding can put an interpolated coordinate just outside, and an end point far outside can pass the
    // test above when its ratio rounds to exactly 0 or 1 (a segment 1e38 pixels long, say, that ends 1e21
    // pixels out): either is on the boundary within rounding, and the rasteriser needs every end point
    // within the rectangle.
    x1 = std::clamp(nx1, left, right);
    y1 = std::clamp(ny1, top, bottom);
    x2 = std::clamp(nx2, left, right);
    y2 = std::clamp(ny2, top, bottom);
    return true;
}

} // namespace canvas

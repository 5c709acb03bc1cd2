#include "drawing/curvestyle.h"

namespace canvas {

CurveStyle& CurveStyle::instance() {
    static CurveStyle style;
    return style;
}

Colour CurveStyle::next(Colour picked) {
    if (!highContrast_)
        return picked;
    const Rgb c = kHighContrastColours[next_];
    next_ = (next_ + 1) % kHighContrastColours.size();
    return RGB(c.red, c.green, c.blue);
}

} // namespace canvas

#pragma once

namespace canvas {

/// The visible window of the plane and the tick spacings, in the order the frame routine takes them.
struct ViewRange {
    double xmin = 0;
    double xmax = 0;
    double ymin = 0;
    double ymax = 0;
    double xju1 = 0;
    double yju1 = 0;
};

} // namespace canvas

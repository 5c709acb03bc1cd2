#pragma once

// The coordinate frame: axes with arrow heads, a numbered tick at every multiple of the spacing, and the
// letters x, y and O. One routine serves all three programs; their small differences are a FrameStyle.

#include "drawing/surface.h"

namespace canvas {

/// How a program's frame differs from the others'.
struct FrameStyle {
    /// Height of the x axis and abscissa of the y axis (slightly off zero in the power explorer).
    double axisOffset;
    /// How far a number sits left of (x ticks) or above (y ticks) its tick, as a fraction of dx or dy.
    double labelOffset;
    /// The positive y ticks run up to ymax - k * yju1.
    double positiveYEndFactor;
    /// Whether the frame copies the spacings into the window's stepX and stepY.
    bool copiesSpacings;
};

/// Where a frame that copies its spacings puts them (the window's stepX and stepY).
struct FrameSteps {
    double* stepX = nullptr;
    double* stepY = nullptr;
};

/// What became of a frame.
enum class FrameOutcome {
    Drawn,        ///< the whole frame is on the canvas
    RefusedRange, ///< the canvas cannot map the range: the drawing stopped, the pupil is to complete the data
};

/// Clears the canvas, maps it to the range and draws the frame. A range the canvas cannot map (beyond
/// single precision, or empty) stops the drawing; what was drawn until then stays. It opens no dialog: the
/// window that asked for the frame tells the pupil.
FrameOutcome zuobiao(Surface& surface, const FrameStyle& style, double xmin, double xmax, double ymin,
                     double ymax, double xju1, double yju1, FrameSteps steps = {});

/// The frame drawn last on one canvas, kept once the same frame is drawn twice running and put back for as
/// long as it is asked for again: a parameter stepped or swept redraws the plane dozens of times a second
/// while the view stands still. Pixels, vectors and state come back exactly as drawing gives them.
class FrameMemory {
private:
    struct Key {
        const Surface* surface = nullptr;
        double style[3] = {0, 0, 0};
        bool copiesSpacings = false;
        double view[6] = {0, 0, 0, 0, 0, 0};
        bool operator==(const Key& other) const;
    };
    Key last_;
    bool hasLast_ = false;
    std::shared_ptr<const Surface::KeptDrawing> kept_;

    friend FrameOutcome zuobiao(Surface&, FrameMemory&, const FrameStyle&, double, double, double, double,
                                double, double, FrameSteps);
};

/// zuobiao, putting back the frame kept in `memory` when it is the same frame on the same canvas.
FrameOutcome zuobiao(Surface& surface, FrameMemory& memory, const FrameStyle& style, double xmin, double xmax,
                     double ymin, double ymax, double xju1, double yju1, FrameSteps steps = {});

} // namespace canvas

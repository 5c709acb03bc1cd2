#pragma once

// Dragging the plane with the pointer, and the pointer read-out. While a button pressed on the canvas is
// held, every pointer move shifts the view so that the origin sits under the pointer, writes the range
// boxes, redraws the frame and plots the graph again. The programs differ in data: whether a press hides
// the read-out, whether hovering shows it, and whether the release repeats the last step.

#include "runtime/viewrange.h"
#include "widgets/canvaswidget.h"

#include <cstdint>
#include <functional>

namespace canvas {

/// How a program's canvas reacts to the pointer.
struct PanningStyle {
    /// Hovering over the canvas shows the guide lines and the coordinates (and a press hides them).
    bool readOut;
    /// The release repeats the last drag step with the stored values, redrawing once more.
    bool releaseRepeatsStep;
};

/// The read-out objects on the canvas: the horizontal and vertical guide lines and the coordinate label.
struct ReadOut {
    CanvasLine* horizontalGuide = nullptr;
    CanvasLine* verticalGuide = nullptr;
    CanvasLabel* coordinateLabel = nullptr;
};

/// What a drag step does to the window besides moving the range.
struct PanningActions {
    /// Writes the four range boxes (xmax, xmin, ymax, ymin, in this order).
    std::function<void()> writeBoxes;
    /// Redraws the frame of the current range.
    std::function<void()> frame;
    /// Brings the graph back, where the program wants one.
    std::function<void()> replot;
};

class Panning {
public:
    Panning(ViewRange& view, PanningStyle style, PanningActions actions, ReadOut readOut = {});

    void MouseDown(const PointerEvent& e);
    void MouseMove(const PointerEvent& e);
    void MouseUp(const PointerEvent& e);
    /// A drag that ends without its release (a finger held still, or joined by a second): no last step.
    void cancelDrag() { dragFlag = 0; }
    /// The canvas lost the focus: hide the read-out.
    void LostFocus();
    /// An arrow key on the canvas: one drag step that moves the plane by one tick spacing in the key's
    /// direction (five with Shift). Ignored while the spacing or the moved range is not a usable number.
    void KeyDown(int keyCode, int shift);

    /// 1 from a press on the canvas until the release.
    std::int16_t dragFlag = 0;
    /// xmin, xmax, ymin, ymax at the press and at the start of every drag step.
    double dragBase[4] = {0, 0, 0, 0};
    /// The pointer at the press and at every drag step.
    float dragPoint[2] = {0, 0};

private:
    /// Records the range and the pointer at a press or at the start of a drag step.
    void takeBase(const PointerEvent& e);
    void shiftAndRedraw();
    void shiftAndRedraw(double x, double y);
    void showReadOut(float x, float y);

    ViewRange& view_;
    PanningStyle style_;
    PanningActions actions_;
    ReadOut readOut_;
};

} // namespace canvas

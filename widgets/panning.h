#pragma once

// Dragging the plane with the pointer, and the pointer read-out. While a button pressed on the canvas is
// held, every pointer move shifts the view so that the origin sits under the pointer, writes the range
// boxes, redraws the frame and plots the graph again. The programs differ in data: whether a press hides
// the read-out, whether hovering shows it, and whether the release repeats the last step.

#include "runtime/viewrange.h"
#include "widgets/canvaswidget.h"

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

    /// A button pressed on the canvas: the drag starts here, and the read-out hides where the program has
    /// one.
    void press(const PointerEvent& e);
    /// The pointer moved over the canvas: a drag step while a button is held, otherwise the read-out.
    void pointerMoved(const PointerEvent& e);
    /// The button is let go: the drag ends, after one more step where the program repeats it.
    void release(const PointerEvent& e);
    /// A drag that ends without its release (a finger held still, or joined by a second): no last step.
    void cancelDrag() { dragging = false; }
    /// Hides the guide lines and the coordinates: when the canvas loses the focus, and when the plane is
    /// drawn again, since they mark a point of the plane that was there before.
    void hideReadOut();
    /// An arrow key on the canvas: one drag step that moves the plane by one tick spacing in the key's
    /// direction (five with Shift). Ignored while the spacing or the moved range is not a usable number.
    void arrowKey(int keyCode, int shift);

    /// True from a press on the canvas until the release.
    bool dragging = false;
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

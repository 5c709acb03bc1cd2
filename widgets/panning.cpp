#include "widgets/panning.h"

#include "runtime/runtime.h"

#include <QtGlobal>

#include <cmath>

namespace canvas {

Panning::Panning(ViewRange& view, PanningStyle style, PanningActions actions, ReadOut readOut)
    : view_(view), style_(style), actions_(std::move(actions)), readOut_(readOut) {}

void Panning::takeBase(const PointerEvent& e) {
    dragBase[0] = view_.xmin;
    dragBase[1] = view_.xmax;
    dragBase[2] = view_.ymin;
    dragBase[3] = view_.ymax;
    dragPoint[0] = e.x;
    dragPoint[1] = e.y;
}

void Panning::press(const PointerEvent& e) {
    dragging = true;
    takeBase(e);
    hideReadOut();
}

void Panning::shiftAndRedraw() {
    shiftAndRedraw(dragPoint[0], dragPoint[1]);
}

void Panning::shiftAndRedraw(double x, double y) {
    // The plane moves by minus the pointer position: the point under the pointer becomes the origin.
    view_.xmin = dragBase[0] - x;
    view_.xmax = dragBase[1] - x;
    view_.ymin = dragBase[2] - y;
    view_.ymax = dragBase[3] - y;
    actions_.writeBoxes();
    actions_.frame();
    actions_.replot();
}

void Panning::pointerMoved(const PointerEvent& e) {
    // A modal message box raised by a drag step takes the release with it. A move with no button held
    // means the button is up: the drag is over, rather than every later hover dragging the plane and
    // bringing the message back.
    if (dragging && e.button == 0)
        dragging = false;
    if (dragging) {
        takeBase(e);
        shiftAndRedraw();
        return;
    }
    if (style_.readOut)
        showReadOut(e.x, e.y);
}

void Panning::showReadOut(float x, float y) {
    // Either coordinate strictly inside its range is enough, measured against the stored range (which may
    // differ from the canvas while a range box is being edited).
    const bool inside = (view_.xmin < x && x < view_.xmax) || (view_.ymin < y && y < view_.ymax);
    if (!inside) {
        readOut_.horizontalGuide->setVisible(false);
        readOut_.verticalGuide->setVisible(false);
        return;
    }
    readOut_.horizontalGuide->setVisible(true);
    readOut_.verticalGuide->setVisible(true);
    readOut_.horizontalGuide->setPoints(0, y, x, y);
    readOut_.verticalGuide->setPoints(x, 0, x, y);
    readOut_.coordinateLabel->setVisible(true);
    readOut_.coordinateLabel->move(x + 0.5f, y - 0.5f);
    readOut_.coordinateLabel->setCaption(QStringLiteral("(") + formatPattern(x) + QStringLiteral(",") +
                                         formatPattern(y) + QStringLiteral(")"));
}

void Panning::release(const PointerEvent&) {
    if (style_.releaseRepeatsStep)
        shiftAndRedraw();
    dragging = false;
}

void Panning::arrowKey(int keyCode, int shift) {
    const double ticks = (shift & 1) ? 5 : 1;
    double x = 0;
    double y = 0;
    switch (keyCode) {
    case Qt::Key_Left:
        x = -ticks * view_.xju1;
        break;
    case Qt::Key_Right:
        x = ticks * view_.xju1;
        break;
    case Qt::Key_Down:
        y = -ticks * view_.yju1;
        break;
    case Qt::Key_Up:
        y = ticks * view_.yju1;
        break;
    default:
        return;
    }
    // A step is a drag to the point one step away from the origin: that point becomes the origin. After a
    // refused spacing the stored one may be zero or negative, and a huge one may overflow; such a key does
    // nothing rather than put an infinity into the range. The step keeps its double precision (a pointer
    // position is single), so 0.1 moves the boxes by exactly 0.1.
    const double spacing = keyCode == Qt::Key_Left || keyCode == Qt::Key_Right ? view_.xju1 : view_.yju1;
    if (!(spacing > 0) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(view_.xmin - x) ||
        !std::isfinite(view_.xmax - x) || !std::isfinite(view_.ymin - y) || !std::isfinite(view_.ymax - y))
        return;
    takeBase(PointerEvent{0, shift, static_cast<float>(x), static_cast<float>(y)});
    shiftAndRedraw(x, y);
}

void Panning::hideReadOut() {
    if (!style_.readOut)
        return;
    readOut_.coordinateLabel->setVisible(false);
    readOut_.horizontalGuide->setVisible(false);
    readOut_.verticalGuide->setVisible(false);
}

} // namespace canvas

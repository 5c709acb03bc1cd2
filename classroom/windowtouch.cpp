// A finger held still on the window's free area opens the menu there, as a right-click does.

#include "classroom/windowcommands.h"

#include "widgets/touchhold.h"

#include <QMouseEvent>
#include <QTouchEvent>

namespace canvas {

bool WindowCommands::touchOnWindow(QTouchEvent* event) {
    // Touches reach the window from its free area and from controls that leave fingers to the mouse;
    // these it passes on untaken, so they become the mouse clicks the controls expect.
    const auto& points = event->points();
    if (event->type() == QEvent::TouchBegin &&
        (points.size() != 1 || !isFreeArea(points[0].position().toPoint()))) {
        event->ignore();
        return true;
    }
    event->accept();
    const QPointF pos = points.isEmpty() ? QPointF() : points[0].position() / factor();
    if (event->type() == QEvent::TouchBegin)
        hold_->start(pos);
    else if (event->type() == QEvent::TouchUpdate && points.size() == 1)
        hold_->move(pos);
    else
        hold_->stop();
    return true;
}

void WindowCommands::fingerOnFreeArea(QMouseEvent* event) {
    // Pictures and texts keep fingers from reaching the window, as they keep the mouse; Qt turns such a
    // finger into the mouse, which the picture may need for a click of its own. The hold follows that
    // pointer, so holding a picture or a text opens the menu as holding the bare window does.
    if (event->device()->type() != QInputDevice::DeviceType::TouchScreen)
        return;
    const QPointF pos = window_->mapFromGlobal(event->globalPosition()) / factor();
    if (event->type() == QEvent::MouseButtonPress)
        hold_->start(pos);
    else if (event->type() == QEvent::MouseMove)
        hold_->move(pos);
    else
        hold_->stop();
}

} // namespace canvas

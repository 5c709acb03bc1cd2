#include "widgets/canvasgestures.h"

#include "widgets/canvaswidget.h"

#include <QLineF>
#include <QTouchEvent>
#include <QWheelEvent>

namespace canvas {

CanvasGestures::CanvasGestures(CanvasWidget* canvas)
    : QObject(canvas), canvas_(canvas), hold_(new TouchHold(this, [this](QPointF pos) { held(pos); })) {}

QPointF CanvasGestures::logical(QPointF widgetPos) const {
    return widgetPos / canvas_->scale();
}

void CanvasGestures::touch(QTouchEvent* event) {
    event->accept();
    const auto& points = event->points();
    switch (event->type()) {
    case QEvent::TouchBegin:
        if (points.size() == 1)
            begin(logical(points[0].position()));
        else if (points.size() >= 2)
            beginPinch(logical(points[0].position()), logical(points[1].position()));
        break;
    case QEvent::TouchUpdate:
        if (points.size() >= 2 && fingers_ != Fingers::Pinch)
            beginPinch(logical(points[0].position()), logical(points[1].position()));
        else if (points.size() >= 2)
            movePinch(logical(points[0].position()), logical(points[1].position()));
        else if (points.size() == 1)
            moveOne(logical(points[0].position()));
        break;
    case QEvent::TouchEnd:
        end();
        break;
    case QEvent::TouchCancel:
        // The system took the fingers away (a gesture of its own): whatever they were doing stops without
        // a release step.
        abandonFinger();
        fingers_ = Fingers::None;
        break;
    default:
        break;
    }
}

void CanvasGestures::begin(QPointF pos) {
    canvas_->setFocus(Qt::MouseFocusReason);
    fingers_ = Fingers::One;
    last_ = pos;
    hold_->start(pos);
    emit canvas_->mouseDown(canvas_->pointerAt(pos, 1));
}

void CanvasGestures::moveOne(QPointF pos) {
    // Only a position that changed is a move, as with the mouse: a drag step per move.
    if (pos == last_)
        return;
    last_ = pos;
    switch (fingers_) {
    case Fingers::One:
        hold_->move(pos);
        emit canvas_->mouseMoved(canvas_->pointerAt(pos, 1));
        break;
    case Fingers::Held:
        emit canvas_->mouseMoved(canvas_->pointerAt(pos, 0));
        break;
    default:
        // The finger left of a pinch does nothing until all are up.
        break;
    }
}

void CanvasGestures::held(QPointF pos) {
    if (fingers_ != Fingers::One)
        return;
    // The press becomes a hover: the drag it began ends without a step, and the pointer, its button up,
    // shows where the finger is.
    fingers_ = Fingers::Held;
    emit canvas_->dragCancelled();
    emit canvas_->mouseMoved(canvas_->pointerAt(pos, 0));
}

void CanvasGestures::abandonFinger() {
    if (fingers_ == Fingers::One)
        emit canvas_->dragCancelled();
    else if (fingers_ == Fingers::Held)
        emit canvas_->pointerLeft();
    hold_->stop();
}

void CanvasGestures::beginPinch(QPointF a, QPointF b) {
    // A finger that joins a drag ends it where it is: no release step, so the plane does not jump.
    abandonFinger();
    fingers_ = Fingers::Pinch;
    pinchStart_ = QLineF(a, b).length();
    zoomedIn_ = false;
    zoomedOut_ = false;
}

void CanvasGestures::movePinch(QPointF a, QPointF b) {
    const qreal distance = QLineF(a, b).length();
    // Two fingers that landed on one spot have no ratio yet: their first distance is the first one apart.
    if (pinchStart_ < 1) {
        pinchStart_ = distance;
        return;
    }
    const qreal ratio = distance / pinchStart_;
    if (ratio >= kPinchIn && !zoomedIn_) {
        zoomedIn_ = true;
        emit canvas_->zoomStep(1);
    } else if (ratio <= kPinchOut && !zoomedOut_) {
        zoomedOut_ = true;
        emit canvas_->zoomStep(-1);
    }
}

void CanvasGestures::end() {
    hold_->stop();
    const Fingers was = fingers_;
    fingers_ = Fingers::None;
    if (was == Fingers::One)
        emit canvas_->mouseUp(canvas_->pointerAt(last_, 1));
    else if (was == Fingers::Held)
        emit canvas_->pointerLeft();
}

bool CanvasGestures::wheel(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    event->accept();
    // Fine-grained wheels send parts of a notch: a step once a whole notch has turned.
    wheelAngle_ += event->angleDelta().y();
    while (wheelAngle_ >= kWheelNotch) {
        wheelAngle_ -= kWheelNotch;
        emit canvas_->zoomStep(1);
    }
    while (wheelAngle_ <= -kWheelNotch) {
        wheelAngle_ += kWheelNotch;
        emit canvas_->zoomStep(-1);
    }
    return true;
}

} // namespace canvas

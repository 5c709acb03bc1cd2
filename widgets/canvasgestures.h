#pragma once

// Fingers and the wheel on the canvas, turned into the steps the mouse and the buttons already take. One
// finger is the pointer with its button held: a tap is a click, a drag is the drag. A finger held still
// turns into a hovering pointer. Two fingers pinch: spreading them to 1.25 times their first distance is
// one step of zooming in, closing them to 0.8 times one step out, each at most once a pinch; a finger that
// joins a drag ends it where it stands. Ctrl with the wheel zooms a step per notch.

#include "widgets/touchhold.h"

#include <QObject>
#include <QPointF>

class QTouchEvent;
class QWheelEvent;

namespace canvas {

class CanvasWidget;

/// Spreading the fingers to this ratio of their first distance zooms in one step.
inline constexpr qreal kPinchIn = 1.25;
/// Closing them to this ratio zooms out one step.
inline constexpr qreal kPinchOut = 0.8;
/// The wheel's angle of one notch, in eighths of a degree.
inline constexpr int kWheelNotch = 120;

class CanvasGestures : public QObject {
    Q_OBJECT
public:
    explicit CanvasGestures(CanvasWidget* canvas);

    /// Takes a touch event of the canvas (begin, update, end, cancel).
    void touch(QTouchEvent* event);
    /// Takes a wheel event; true when it was a zoom (Ctrl held).
    bool wheel(QWheelEvent* event);

    /// The hold of a single finger.
    TouchHold& hold() { return *hold_; }

private:
    enum class Fingers { None, One, Held, Pinch };

    QPointF logical(QPointF widgetPos) const;
    void begin(QPointF pos);
    void moveOne(QPointF pos);
    void beginPinch(QPointF a, QPointF b);
    void movePinch(QPointF a, QPointF b);
    void end();
    void held(QPointF pos);
    /// Ends what a single finger was doing, without the release a lift would give.
    void abandonFinger();

    CanvasWidget* canvas_;
    TouchHold* hold_;
    Fingers fingers_ = Fingers::None;
    QPointF last_;
    qreal pinchStart_ = 0;
    bool zoomedIn_ = false;
    bool zoomedOut_ = false;
    int wheelAngle_ = 0;
};

} // namespace canvas

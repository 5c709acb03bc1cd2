#pragma once

// Press and hold: a finger that stays still for 0.7 s asks for what a right-click or a hovering pointer
// would give. A finger that moves further than a small slack, or lifts, is no hold.

#include <QObject>
#include <QPointF>
#include <QTimer>

#include <functional>

namespace canvas {

/// How long a finger stays still before it is a hold, in milliseconds.
inline constexpr int kHoldMs = 700;
/// How far a still finger may wander (a finger is never quite still), in pixels at 100 %.
inline constexpr qreal kHoldSlack = 8;

class TouchHold : public QObject {
    Q_OBJECT
public:
    /// `held` runs with the finger's position when the hold is complete.
    TouchHold(QObject* parent, std::function<void(QPointF)> held);

    /// A finger came down at `pos` (in pixels at 100 %): the hold starts counting.
    void start(QPointF pos);
    /// The finger is at `pos`: beyond the slack it is no longer a hold.
    void move(QPointF pos);
    /// The finger lifted, or another joined: no hold.
    void stop();
    /// True while a finger is down and still, before the hold is complete.
    bool isArmed() const { return armed_; }

    /// The 0.7 s timer; its tick is onHoldTimeout.
    QTimer* holdTimer;
    /// The finger has been still long enough: the hold is complete.
    void onHoldTimeout();

private:
    std::function<void(QPointF)> held_;
    QPointF start_;
    QPointF last_;
    bool armed_ = false;
};

} // namespace canvas

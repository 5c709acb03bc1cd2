#include "widgets/touchhold.h"

#include <QLineF>

namespace canvas {

TouchHold::TouchHold(QObject* parent, std::function<void(QPointF)> held)
    : QObject(parent), holdTimer(new QTimer(this)), held_(std::move(held)) {
    holdTimer->setSingleShot(true);
    holdTimer->setInterval(kHoldMs);
    connect(holdTimer, &QTimer::timeout, this, &TouchHold::onHoldTimeout);
}

void TouchHold::start(QPointF pos) {
    start_ = pos;
    last_ = pos;
    armed_ = true;
    holdTimer->start();
}

void TouchHold::move(QPointF pos) {
    last_ = pos;
    if (QLineF(start_, pos).length() > kHoldSlack)
        stop();
}

void TouchHold::stop() {
    armed_ = false;
    holdTimer->stop();
}

void TouchHold::onHoldTimeout() {
    // A tick that arrives after the finger has moved or lifted (already queued) is no hold.
    if (!armed_)
        return;
    stop();
    held_(last_);
}

} // namespace canvas

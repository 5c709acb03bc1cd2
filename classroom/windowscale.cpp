// The display scale and full screen: the steps the window is shown at, its size and place on the screen,
// and its background picture at the scale.

#include "classroom/windowcommands.h"

#include "widgets/displayscale.h"
#include "widgets/imagecontrol.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace canvas {

int WindowCommands::largestFittingStep() const {
    const QScreen* screen = window_->screen();
    if (!screen)
        return kScaleSteps.back();
    const QSize frame =
        window_->isVisible() ? window_->frameGeometry().size() - window_->size() : QSize(0, 0);
    return canvas::largestFittingStep(logicalSize_.toSize(), frame, screen->availableGeometry().size());
}

void WindowCommands::setScalePercent(int percent) {
    if (fullScreen_)
        toggleFullScreen();
    applyStep(std::clamp(percent, kScaleSteps.front(), largestFittingStep()));
    storeScale(program_, percent_);
}

void WindowCommands::fitToScreen() {
    if (!fullScreen_)
        applyStep(std::min(percent_, largestFittingStep()));
}

void WindowCommands::scaleUp() {
    setScalePercent(stepUp(percent_, largestFittingStep()));
}

void WindowCommands::scaleDown() {
    setScalePercent(stepDown(percent_));
}

void WindowCommands::resetScale() {
    setScalePercent(kScaleSteps.front());
}

void WindowCommands::applyStep(int percent) {
    percent_ = percent;
    const qreal f = percent / 100.0;
    origin_ = QPoint();
    layout_.apply(f);
    setWindowSize(QSize(static_cast<int>(std::lround(logicalSize_.width() * f)),
                        static_cast<int>(std::lround(logicalSize_.height() * f))));
    DisplayScale::instance().setFactor(f);
    keepOnScreen();
    updateTabChain();
    window_->update();
}

void WindowCommands::growContent(QSize logical) {
    logicalSize_ = logicalSize_.expandedTo(QSizeF(logical));
    if (fullScreen_)
        fitFullScreen();
    else
        applyStep(percent_);
}

void WindowCommands::keepOnScreen() {
    const QScreen* screen = window_->screen();
    if (!screen || !window_->isVisible())
        return;
    // A window grown past the screen's edge comes back inside it, title bar first.
    const QRect area = screen->availableGeometry();
    const QRect frame = window_->frameGeometry();
    const QPoint inside(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
                        std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        window_->move(inside);
}

void WindowCommands::setWindowSize(QSize size) {
    setSize_ = size;
    if (fixedSize_)
        window_->setFixedSize(size);
    else
        window_->resize(size);
}

void WindowCommands::toggleFullScreen() {
    if (!fullScreen_) {
        fullScreen_ = true;
        normalGeometry_ = window_->geometry();
        if (fixedSize_) {
            window_->setMinimumSize(0, 0);
            window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        window_->showFullScreen();
        fitFullScreen();
        return;
    }
    fullScreen_ = false;
    window_->showNormal();
    applyStep(percent_);
    window_->move(normalGeometry_.topLeft());
}

void WindowCommands::fitFullScreen() {
    const QSize area = window_->size();
    const qreal f = std::min(area.width() / logicalSize_.width(), area.height() / logicalSize_.height());
    if (!std::isfinite(f) || f <= 0)
        return;
    origin_ = QPoint(static_cast<int>(std::lround((area.width() - logicalSize_.width() * f) / 2)),
                     static_cast<int>(std::lround((area.height() - logicalSize_.height() * f) / 2)));
    layout_.apply(f, origin_);
    DisplayScale::instance().setFactor(f);
    updateTabChain();
    window_->update();
}

bool WindowCommands::escapeFullScreen(const QKeyEvent* event) {
    // Only keys no control took arrive here: a text box that uses Esc keeps it.
    if (!fullScreen_ || event->key() != Qt::Key_Escape)
        return false;
    toggleFullScreen();
    return true;
}

void WindowCommands::windowResized() {
    if (fullScreen_)
        fitFullScreen();
    else if (!fixedSize_ && window_->size() != setSize_)
        // Enlarged by hand (the inverse panel below the first view): that is the window's content now.
        logicalSize_ = QSizeF(window_->size()) / layout_.factor();
    updateTabChain();
}

void WindowCommands::paintBackground(QPainter& p, const QString& source, QSize size, bool tiled) {
    const qreal f = layout_.factor();
    const qreal ratio = window_->devicePixelRatioF() * f;
    if (background_.isNull() || background_.devicePixelRatio() != ratio || backgroundSource_ != source) {
        background_ = renderPicture(source, size, ratio);
        backgroundSource_ = source;
    }
    if (!tiled) {
        p.save();
        p.translate(origin_);
        p.scale(f, f);
        p.drawPixmap(0, 0, background_);
        p.restore();
        return;
    }
    if (f == 1.0 && origin_.isNull()) {
        p.drawTiledPixmap(window_->rect(), background_);
        return;
    }
    // The tiles line up with the content wherever it sits in the window.
    p.save();
    p.translate(origin_);
    p.scale(f, f);
    const QRectF area(-origin_.x() / f, -origin_.y() / f, window_->width() / f, window_->height() / f);
    const QPointF start(std::fmod(std::fmod(area.x(), size.width()) + size.width(), size.width()),
                        std::fmod(std::fmod(area.y(), size.height()) + size.height(), size.height()));
    p.drawTiledPixmap(area, background_, start);
    p.restore();
}

} // namespace canvas

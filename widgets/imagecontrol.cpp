#include "widgets/imagecontrol.h"

#include "widgets/accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QSvgRenderer>

namespace canvas {

QPixmap renderPicture(const QString& source, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(source);
    if (renderer.isValid()) {
        QPainter p(&pixmap);
        renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return pixmap;
}

QIcon programIcon(const QString& source) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(renderPicture(source, QSize(size, size), 1.0));
    return icon;
}

ImageControl::ImageControl(const QString& source, QWidget* parent) : QWidget(parent), source_(source) {
    setAttribute(Qt::WA_NoMousePropagation);
    setMouseTracking(true);
    installAccessibility();
}

void ImageControl::setWords(const QString& words) {
    setAccessibleName(words);
    if (role_ != PictureRole::Button)
        role_ = words.isEmpty() ? PictureRole::Decoration : PictureRole::Text;
}

void ImageControl::makeButton() {
    role_ = PictureRole::Button;
    setFocusPolicy(Qt::TabFocus);
}

void ImageControl::activate() {
    if (role_ == PictureRole::Button)
        emit activated();
}

void ImageControl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (role_ == PictureRole::Button &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        activate();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ImageControl::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (cache_.isNull() || cache_.deviceIndependentSize().toSize() != size() ||
        cache_.devicePixelRatio() != ratio)
        cache_ = renderPicture(source_, size(), ratio);
    QPainter p(this);
    p.drawPixmap(0, 0, cache_);
    // Only a button picture takes the focus, and only from the keyboard: the picture stays as drawn
    // until a key brings the focus here.
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ImageControl::mouseMoveEvent(QMouseEvent*) {
    emit mouseMoved();
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace canvas

#include "classroom/curvemarker.h"

#include "drawing/curvestyle.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace canvas {

namespace {

// The canvas border, outside the picture, in pixels at 100 %.
constexpr double kBorder = 2;
// Between the ring and the label, in pixels at 100 %.
constexpr double kLabelGap = 4;
// The label's text grows beyond the canvas font by this much, so that it reads from the back of a room.
constexpr double kLabelGrowth = 1.5;
constexpr double kLabelPadding = 3;
// The strokes, and the pale halo that keeps them visible over any curve or grid line, in pixels at 100 %.
constexpr double kStroke = 3;
constexpr double kHighContrastStroke = 4;
constexpr double kHalo = 3;

struct MarkerColours {
    QColor ink;
    QColor halo;
    QColor text;
    QColor paper;
    QColor frame;
};

MarkerColours colours() {
    if (CurveStyle::instance().highContrast())
        return {Qt::black, Qt::white, Qt::black, Qt::white, Qt::black};
    return {QColor(190, 0, 0), QColor(255, 255, 255, 220), QColor(40, 40, 40), QColor(255, 255, 240),
            QColor(190, 0, 0)};
}

} // namespace

CurveMarker::CurveMarker(CanvasWidget* canvas) : QObject(canvas), canvas_(canvas) {
    canvas_->installEventFilter(this);
}

void CurveMarker::show(double x, double y, const QString& caption) {
    // In single precision, as the canvas places its objects: a point on the edge of the view then maps
    // onto the edge of the picture, not a rounding beyond it.
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    if (visible_ && fx == x_ && fy == y_ && caption == caption_)
        return;
    const QRect before = visible_ ? area() : QRect();
    visible_ = true;
    x_ = fx;
    y_ = fy;
    caption_ = caption;
    canvas_->update(before | area());
}

void CurveMarker::hide() {
    if (!visible_)
        return;
    visible_ = false;
    canvas_->update(area());
}

QRect CurveMarker::area() const {
    const double margin = kHighContrastStroke + 2 * kHalo + 2;
    const QRectF logical = (crossBox() | labelBox()).adjusted(-margin, -margin, margin, margin);
    const qreal scale = canvas_->scale();
    return QRectF(logical.topLeft() * scale, logical.size() * scale).toAlignedRect();
}

QRectF CurveMarker::crossBox() const {
    const QPointF at = canvas_->widgetPosition(x_, y_);
    return QRectF(at - QPointF(kMarkerReach, kMarkerReach), QSizeF(2 * kMarkerReach, 2 * kMarkerReach));
}

QFont CurveMarker::labelFont() const {
    QFont font = canvas_->font();
    if (font.pixelSize() > 0)
        font.setPixelSize(static_cast<int>(font.pixelSize() * kLabelGrowth));
    else
        font.setPointSizeF(font.pointSizeF() * kLabelGrowth);
    font.setBold(true);
    return font;
}

QRectF CurveMarker::labelBox() const {
    const QFontMetricsF metrics(labelFont(), canvas_);
    const QSizeF size(metrics.horizontalAdvance(caption_) + 2 * kLabelPadding,
                      metrics.height() + 2 * kLabelPadding);
    const QPointF at = canvas_->widgetPosition(x_, y_);
    const QRectF picture(QPointF(kBorder, kBorder), QSizeF(canvas_->surface().size()));
    // Above and to the right of the point, unless that leaves the picture: then to the left, or below.
    const double reach = kMarkerRingDiameter / 2 + kLabelGap;
    QRectF box(QPointF(at.x() + reach, at.y() - reach - size.height()), size);
    if (box.right() > picture.right())
        box.moveRight(at.x() - reach);
    if (box.top() < picture.top())
        box.moveTop(at.y() + reach);
    return box;
}

bool CurveMarker::eventFilter(QObject* watched, QEvent* event) {
    // The canvas draws itself first, then the marker goes over it, inside the same paint event.
    if (watched == canvas_ && event->type() == QEvent::Paint && visible_) {
        static_cast<QObject*>(canvas_)->event(event);
        paint();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CurveMarker::paint() {
    const MarkerColours c = colours();
    QPainter p(canvas_);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(canvas_->scale(), canvas_->scale());
    p.setClipRect(QRectF(QPointF(kBorder, kBorder), QSizeF(canvas_->surface().size())));
    const QPointF at = canvas_->widgetPosition(x_, y_);
    const double radius = kMarkerRingDiameter / 2;
    QPainterPath mark;
    mark.addEllipse(at, radius, radius);
    for (const QPointF direction : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
        mark.moveTo(at + direction * radius);
        mark.lineTo(at + direction * kMarkerReach);
    }
    const double stroke = CurveStyle::instance().highContrast() ? kHighContrastStroke : kStroke;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c.halo, stroke + 2 * kHalo, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(mark);
    p.setPen(QPen(c.ink, stroke, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(mark);
    if (caption_.isEmpty())
        return;
    const QRectF box = labelBox();
    p.setPen(QPen(c.frame, CurveStyle::instance().highContrast() ? 2 : 1));
    p.setBrush(c.paper);
    p.drawRect(box);
    p.setFont(labelFont());
    p.setPen(c.text);
    p.drawText(box, Qt::AlignCenter, caption_);
}

} // namespace canvas

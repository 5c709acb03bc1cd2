#include "drawing/surface.h"

#include "drawing/fastlines.h"
#include "drawing/surface_private.h"

#include <QFontInfo>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace canvas {

using surfaceinternal::makeOp;
using surfaceinternal::toQColor;

namespace {

// The canvas font at one logical pixel per unit, for the display list.
QFont logicalFont(QFont font, qreal ratio) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() / ratio))));
    return font;
}

QString number(float v) {
    return QString::number(static_cast<double>(v), 'g', 7);
}

QSize deviceSize(QSize logical, qreal ratio) {
    return {static_cast<int>(std::lround(logical.width() * ratio)),
            static_cast<int>(std::lround(logical.height() * ratio))};
}

} // namespace

QString SurfaceOp::toString() const {
    switch (kind) {
    case Kind::Cls:
        return QStringLiteral("Cls");
    case Kind::Scale:
        return QStringLiteral("Scale(%1,%2,%3,%4)").arg(number(a), number(b), number(c), number(d));
    case Kind::Line:
        return QStringLiteral("Line(%1,%2,%3,%4)").arg(number(a), number(b), number(c), number(d));
    case Kind::PSet:
        return QStringLiteral("PSet(%1,%2)").arg(number(a), number(b));
    case Kind::CurrentX:
        return QStringLiteral("CurrentX(%1)").arg(number(a));
    case Kind::CurrentY:
        return QStringLiteral("CurrentY(%1)").arg(number(a));
    case Kind::Print:
        return QStringLiteral("Print(%1)").arg(text);
    case Kind::DrawWidth:
        return QStringLiteral("DrawWidth(%1)").arg(width);
    case Kind::FontItalic:
        return QStringLiteral("FontItalic(%1)").arg(width);
    }
    return {};
}

Surface::Surface(QSize size, Colour backColor, Colour foreColor, qreal deviceRatio)
    : size_(size), ratio_(deviceRatio > 0 ? deviceRatio : 1.0),
      image_(deviceSize(size, ratio_), QImage::Format_RGB32), backColor_(backColor), foreColor_(foreColor),
      font_(QStringLiteral("Times New Roman")), list_(size, backColor, QFont()) {
    // The glyphs are drawn at the device's density: 9 points on the logical canvas.
    font_.setPointSizeF(9.0 * ratio_);
    list_ = DisplayList(size, backColor, logicalFont(font_, ratio_));
    image_.fill(toQColor(backColor_));
    imageChanged();
    clearVectorState();
    // Until the first Scale, one unit is one logical pixel.
    scaleX2_ = static_cast<float>(size.width());
    scaleY2_ = static_cast<float>(size.height());
    pxPerUnitX_ = ratio_;
    pxPerUnitY_ = ratio_;
}

Surface::~Surface() {
    if (painter_)
        painter_->end();
}

void Surface::setDeviceRatio(qreal ratio) {
    if (!std::isfinite(ratio) || ratio <= 0 || ratio == ratio_)
        return;
    Image(); // lines still batched reach the old picture (and the list) first
    ratio_ = ratio;
    font_.setPointSizeF(9.0 * ratio_);
    forgetGlyphs();
    // Everything since the last Cls is drawn again at the new density from the display list, so what is
    // already on the canvas is as sharp as what follows. Aliased like the canvas's own lines.
    image_ = QImage(deviceSize(size_, ratio_), QImage::Format_RGB32);
    imageChanged();
    {
        QPainter p(&image_);
        p.scale(ratio_, ratio_);
        list_.replay(p, DisplayList::Edges::Aliased);
    }
    clearVectorState();
    remap();
    // The picture has new pixels throughout: the next Cls must clear them all, and the record of drawn
    // rows must fit the new height.
    marks_ = {};
    drawnSpans_.assign(static_cast<std::size_t>(image_.height()), {0, image_.width() - 1});
    dirtyRect_ = QRect();
    markChanged(image_.rect());
}

void Surface::imageChanged() {
    imageWidth_ = image_.width();
    imageHeight_ = image_.height();
    imageStride_ = image_.bytesPerLine();
    solidWords_ = static_cast<std::size_t>(imageWidth_ + 63) / 64 + 2;
    solidPixels_.assign(solidWords_ * static_cast<std::size_t>(imageHeight_), 0);
    solidRowStamps_.assign(static_cast<std::size_t>(imageHeight_), 0);
    solidStamp_ = 1;
}

int Surface::devicePen() const {
    if (ratio_ == 1.0)
        return drawWidth_;
    return std::max(1, static_cast<int>(std::lround(drawWidth_ * ratio_)));
}

QImage Surface::picture() {
    const QImage& device = Image();
    if (device.size() == size_)
        return device;
    return device.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPainter& Surface::painter() {
    if (!painter_) {
        // Own the pixels before painting, so that text blended straight into them and the painter's
        // lines land in the same buffer even when someone kept a copy of the last picture.
        image_.bits();
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    return *painter_;
}

void Surface::record(SurfaceOp op) {
    if (recording_)
        ops_.push_back(std::move(op));
}

void Surface::remap() {
    pxPerUnitX_ = image_.width() / static_cast<double>(toSingle(static_cast<double>(scaleX2_) - scaleX1_));
    pxPerUnitY_ = image_.height() / static_cast<double>(toSingle(static_cast<double>(scaleY2_) - scaleY1_));
}

const QImage& Surface::Image() {
    flushLines();
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
    return image_;
}

void Surface::Cls() {
    record(makeOp(SurfaceOp::Kind::Cls));
    pendingLines_.clear();
    forgetBlends();
    list_.clear();
    if (rasterising_) {
        // Only the pixels drawn since the last fill can differ from the back colour: a frame redrawn at every
        // drag step touches a few rows across and a few columns down, not the whole canvas.
        painter();
        takeMarks();
        uchar* bits = image_.bits();
        const QRgb back = qRgb(redOf(backColor_), greenOf(backColor_), blueOf(backColor_));
        for (std::size_t y = 0; y < drawnSpans_.size(); ++y) {
            const auto [left, right] = drawnSpans_[y];
            if (left <= right)
                fillPixels(reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * image_.bytesPerLine()) +
                               left,
                           right - left + 1, back);
        }
    }
    currentX_ = 0;
    currentY_ = 0;
    markChanged(image_.rect());
    takeMarks();
    drawnSpans_.clear();
}

void Surface::Scale(double x1, double y1, double x2, double y2) {
    const float fx1 = toSingle(x1), fy1 = toSingle(y1), fx2 = toSingle(x2), fy2 = toSingle(y2);
    SurfaceOp op = makeOp(SurfaceOp::Kind::Scale, fx1, fy1, fx2, fy2);
    record(op);
    // The width and height of the mapping are single-precision values too; an empty one maps nothing.
    const float width = toSingle(static_cast<double>(fx2) - fx1);
    const float height = toSingle(static_cast<double>(fy2) - fy1);
    if (width == 0 || height == 0)
        throw RuntimeError(RuntimeErrorKind::InvalidCall, "empty scale");
    scaleX1_ = fx1;
    scaleY1_ = fy1;
    scaleX2_ = fx2;
    scaleY2_ = fy2;
    pxPerUnitX_ = image_.width() / static_cast<double>(width);
    pxPerUnitY_ = image_.height() / static_cast<double>(height);
}

QPointF Surface::toUser(QPointF pixel) const {
    // Pointer positions are single precision. Far outside a canvas mapped to a huge range they would not
    // fit; they stop at the largest single value instead of becoming infinite.
    auto single = [](double v) {
        const double limit = static_cast<double>(FLT_MAX);
        return static_cast<double>(static_cast<float>(std::clamp(v, -limit, limit)));
    };
    return {single(scaleX1_ + pixel.x() / pxPerUnitX_), single(scaleY1_ + pixel.y() / pxPerUnitY_)};
}

void Surface::PSet(double x, double y) {
    const float fx = toSingle(x), fy = toSingle(y);
    if (recording_)
        record(makeOp(SurfaceOp::Kind::PSet, fx, fy, 0, 0, foreColor_, drawWidth_));
    if (!rasterising_)
        return;
    const QPointF p = toPixel(fx, fy);
    const int pen = devicePen();
    const double half = pen / 2.0;
    if (!(p.x() + half >= 0 && p.y() + half >= 0 && p.x() - half < image_.width() &&
          p.y() - half < image_.height()))
        return;
    flushLines();
    if (listEnabled_)
        list_.addDot(logical(p.x(), p.y()), foreColor_, drawWidth_);
    const int left = static_cast<int>(std::lround(p.x() - half));
    const int top = static_cast<int>(std::lround(p.y() - half));
    keepUnchangedBlendsFor(foreColor_);
    painter().fillRect(left, top, pen, pen, toQColor(foreColor_));
    clearVectorState();
    markChanged(QRect(left, top, pen, pen));
}

void Surface::setCurrentX(double x) {
    currentX_ = toSingle(x);
    if (recording_)
        record(makeOp(SurfaceOp::Kind::CurrentX, currentX_));
}

void Surface::setCurrentY(double y) {
    currentY_ = toSingle(y);
    if (recording_)
        record(makeOp(SurfaceOp::Kind::CurrentY, currentY_));
}

void Surface::setDrawWidth(int width) {
    drawWidth_ = width < 1 ? 1 : width;
    SurfaceOp op = makeOp(SurfaceOp::Kind::DrawWidth);
    op.width = drawWidth_;
    record(op);
}

void Surface::setFontItalic(bool italic) {
    fontItalic_ = italic;
    SurfaceOp op = makeOp(SurfaceOp::Kind::FontItalic);
    op.width = italic ? 1 : 0;
    record(op);
}

} // namespace canvas

#include "drawing/surface.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPen>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace canvas {

namespace {

// The canvas font at one logical pixel per unit, for the display list.
QFont logicalFont(QFont font, qreal ratio) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() / ratio))));
    return font;
}

QColor toQColor(Colour c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QString number(float v) {
    return QString::number(static_cast<double>(v), 'g', 7);
}

// Lines handed to the painter at once.
constexpr std::size_t kLineBatch = 4096;

// A curve sampled finely is a run of segments shorter than a pixel. Once in whole pixels, a segment that
// repeats the last one, is a dot on its end, or continues it straight along a row or column, covers no pixel
// the run does not already cover with an opaque, aliased pen: fold it into the run instead of drawing it.
bool joinRun(QLine& last, const QLine& next) {
    if (next == last)
        return true;
    if (next.p1() != last.p2())
        return false;
    if (next.p1() == next.p2())
        return true;
    if (last.p1() == last.p2()) {
        last = next;
        return true;
    }
    const bool sameRow = last.dy() == 0 && next.dy() == 0 && (last.dx() > 0) == (next.dx() > 0);
    const bool sameColumn = last.dx() == 0 && next.dx() == 0 && (last.dy() > 0) == (next.dy() > 0);
    if (sameRow || sameColumn) {
        last.setP2(next.p2());
        return true;
    }
    return false;
}

// std::lround for the clipped coordinates (within a few pixels of the canvas), without the library call:
// the fraction is exact, so halves go away from zero just as there.
inline long roundHalfAway(double v) {
    const long whole = static_cast<long>(v); // towards zero, as std::trunc
    const double fraction = v - static_cast<double>(whole);
    // Comparisons as numbers, not branches: tick positions have fractions no predictor can guess.
    return whole + static_cast<long>(fraction >= 0.5) - static_cast<long>(fraction <= -0.5);
}

// Whether a segment (device pixels) touches the canvas of w x h pixels, edges included: only those go into
// the display list. Clamped curves run by the million just outside an edge and cost no more than this test.
inline bool touchesCanvas(double ax, double ay, double bx, double by, int w, int h) {
    return std::max(ax, bx) >= 0 && std::min(ax, bx) <= w && std::max(ay, by) >= 0 && std::min(ay, by) <= h;
}

// Sets n pixels to one value, four at a time where the processor can: a plain loop over 32-bit values
// stays one store per pixel, and clearing a canvas fills thousands.
void fillPixels(QRgb* p, int n, QRgb value) {
#ifdef __SSE2__
    const __m128i four = _mm_set1_epi32(static_cast<int>(value));
    for (; n >= 4; n -= 4, p += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), four);
#endif
    std::fill_n(p, n, value);
}

// The pixel column (or row) of a device coordinate: the nearest one, except that a point on the right (or
// bottom) edge of the view, or within half a pixel inside it, lies on the last visible column rather than on
// the one just past the canvas. Lines at x = xmax or y = ymin (the start-up grid's edges, the tip of the x
// arrow) show that way. Only the rasterising moves; the mapping itself is untouched.
int pixelOf(double coordinate, int extent) {
    const long nearest = roundHalfAway(coordinate);
    if (nearest == extent && coordinate <= extent)
        return extent - 1;
    return static_cast<int>(nearest);
}

// Blends n pixels towards the colour (r, g, b) by their coverage (0..255): each channel becomes
// (c * a + d * (255 - a)) / 255, rounded exactly. The first and the last pixel that changed (first > last:
// none).
//
// The three channels are worked on at once, each in a 16-bit lane of one 64-bit number: blue in bits 0-15,
// red in 16-31, green in 32-47. No lane overflows (c * a + d * (255 - a) <= 255 * 255, and the rounding adds
// less than 256 more), so every lane gets exactly the result of its own channel, with one multiplication
// for the three instead of three.
inline std::uint64_t spreadLanes(QRgb c) {
    return (std::uint64_t{c} & 0xFF00FFu) | (std::uint64_t{c} & 0xFF00u) << 24;
}

// `solid` is the colour (r, g, b) as a pixel, `fore` the same spread over the lanes (spreadLanes).
std::pair<int, int> blendSpan(QRgb* row, const std::uint8_t* coverage, int n, QRgb solid,
                              std::uint64_t fore) {
    constexpr std::uint64_t kLow = 0x000000FF00FF00FFull; // the low byte of each lane
    int first = n, last = -1;
    for (int i = 0; i < n; ++i) {
        const unsigned a = coverage[i];
        if (a == 0)
            continue;
        const QRgb d = row[i];
        // Dense labels overlap: a pixel already in the text colour stays so, whatever the coverage.
        if (d == solid)
            continue;
        QRgb blended = solid;
        if (a != 255) {
            // Exact rounding of x / 255 for 0 <= x <= 255 * 255 in each lane, without a division.
            const std::uint64_t x = fore * a + spreadLanes(d) * (255 - a) + 0x0000008000800080ull;
            const std::uint64_t q = ((x + ((x >> 8) & kLow)) >> 8) & kLow;
            blended = 0xFF000000u | static_cast<QRgb>(q & 0xFF00FFu) | static_cast<QRgb>((q >> 24) & 0xFF00u);
        }
        if (blended != d) {
            first = std::min(first, i);
            last = i;
            row[i] = blended;
        }
    }
    return {first, last};
}

// Margin around the canvas for clipping, in pixels: wide enough that a clipped end point never shows.
constexpr double kClipMargin = 8.0;

SurfaceOp makeOp(SurfaceOp::Kind kind, float a = 0, float b = 0, float c = 0, float d = 0, Colour colour = 0,
                 int width = 1) {
    SurfaceOp op;
    op.kind = kind;
    op.a = a;
    op.b = b;
    op.c = c;
    op.d = d;
    op.colour = colour;
    op.width = width;
    return op;
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

bool clipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
                 double bottom) {
    // Liang-Barsky on the parametric form, all in double. An end point that is clipped is put exactly on
    // the boundary that clipped it and its other coordinate is interpolated from the nearer end, so a
    // segment from far away (1e30 pixels, say) still lands where it should instead of losing every digit.
    // A segment wholly inside stays as it is; most of a curve's segments are such.
    if (x1 >= left && x1 <= right && x2 >= left && x2 <= right && y1 >= top && y1 <= bottom && y2 >= top &&
        y2 <= bottom)
        return true;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return false;
    double t0 = 0.0;
    double t1 = 1.0;
    int enter = -1;
    int leave = -1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1)
                return false;
            if (r > t0) {
                t0 = r;
                enter = i;
            }
        } else {
            if (r < t0)
                return false;
            if (r < t1) {
                t1 = r;
                leave = i;
            }
        }
    }
    const double bounds[4] = {left, right, top, bottom};
    auto pointAt = [&](double t, int boundary, double& ox, double& oy) {
        if (t <= 0.5) {
            ox = x1 + t * dx;
            oy = y1 + t * dy;
        } else {
            ox = x2 - (1 - t) * dx;
            oy = y2 - (1 - t) * dy;
        }
        if (boundary == 0 || boundary == 1)
            ox = bounds[boundary];
        else if (boundary >= 2)
            oy = bounds[boundary];
    };
    double nx1 = x1, ny1 = y1, nx2 = x2, ny2 = y2;
    if (enter >= 0)
        pointAt(t0, enter, nx1, ny1);
    if (leave >= 0)
        pointAt(t1, leave, nx2, ny2);
    // Rounding can put an interpolated coordinate just outside, and an end point far outside can pass the
    // test above when its ratio rounds to exactly 0 or 1 (a segment 1e38 pixels long, say, that ends 1e21
    // pixels out): either is on the boundary within rounding, and the rasteriser needs every end point
    // within the rectangle.
    x1 = std::clamp(nx1, left, right);
    y1 = std::clamp(ny1, top, bottom);
    x2 = std::clamp(nx2, left, right);
    y2 = std::clamp(ny2, top, bottom);
    return true;
}

namespace {
QSize deviceSize(QSize logical, qreal ratio) {
    return {static_cast<int>(std::lround(logical.width() * ratio)),
            static_cast<int>(std::lround(logical.height() * ratio))};
}
} // namespace

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
    glyphsUpright_.clear();
    glyphsItalic_.clear();
    unchangedBlends_.fill(BlendMemo{});
    asciiUpright_.fill(nullptr);
    asciiItalic_.fill(nullptr);
    lineHeight_ = 0;
    lineHeightItalic_ = 0;
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

void Surface::markChanged(const QRect& pixels) {
    const Mark inside{std::max(pixels.left(), 0), std::max(pixels.top(), 0),
                      std::min(pixels.right(), imageWidth_ - 1), std::min(pixels.bottom(), imageHeight_ - 1)};
    if (inside.left <= inside.right && inside.top <= inside.bottom) {
        // The areas of a frame's tick numbers along the x axis share their rows, and so do those of their
        // tick lines: the union of areas on the same rows is exactly the one from the leftmost column to
        // the rightmost, so a run of them is merged before the record of drawn rows takes it.
        auto sameRows = [&](const Mark& m) { return m.top == inside.top && m.bottom == inside.bottom; };
        Mark* slot = sameRows(marks_[0]) ? &marks_[0] : sameRows(marks_[1]) ? &marks_[1] : nullptr;
        if (slot) {
            slot->left = std::min(slot->left, inside.left);
            slot->right = std::max(slot->right, inside.right);
        } else {
            takeMark(marks_[1]);
            marks_[1] = marks_[0];
            marks_[0] = inside;
        }
    }
    if (!dirty_) {
        dirty_ = true;
        if (changed_)
            changed_();
    }
}

void Surface::takeMark(Mark& mark) {
    if (mark.left > mark.right)
        return;
    dirtyRect_ |= QRect(QPoint(mark.left, mark.top), QPoint(mark.right, mark.bottom));
    if (drawnSpans_.empty())
        drawnSpans_.assign(static_cast<std::size_t>(imageHeight_), {imageWidth_, -1});
    for (int y = mark.top; y <= mark.bottom; ++y) {
        auto& span = drawnSpans_[static_cast<std::size_t>(y)];
        span.first = std::min(span.first, mark.left);
        span.second = std::max(span.second, mark.right);
    }
    mark = Mark{};
}

void Surface::takeMarks() {
    takeMark(marks_[1]);
    takeMark(marks_[0]);
}

QRect Surface::takeDirtyRect() {
    takeMarks();
    dirty_ = false;
    return std::exchange(dirtyRect_, QRect());
}

void Surface::record(SurfaceOp op) {
    if (recording_)
        ops_.push_back(std::move(op));
}

void Surface::remap() {
    pxPerUnitX_ = image_.width() / static_cast<double>(toSingle(static_cast<double>(scaleX2_) - scaleX1_));
    pxPerUnitY_ = image_.height() / static_cast<double>(toSingle(static_cast<double>(scaleY2_) - scaleY1_));
}

void Surface::flushLines() {
    if (pendingLines_.empty())
        return;
    keepUnchangedBlendsFor(pendingColour_);
    QPainter& p = painter();
    if (pendingWidth_ == 1)
        setThinRowAndColumnLines();
    else if (pendingWidth_ == 2)
        setShortWideLines();
    if (!pendingLines_.empty()) {
        QPen pen(toQColor(pendingColour_));
        pen.setWidth(pendingWidth_);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.drawLines(pendingLines_.data(), static_cast<int>(pendingLines_.size()));
        pendingLines_.clear();
    }
    clearVectorState();
}

void Surface::setShortWideLines() {
    // A curve is a run of short segments two pixels wide, and the painter's set-up for each costs far more
    // than its few pixels. Its pixels are those whose centre lies nearer than one pixel to the segment:
    // that is the painter's rule for such a line with round caps, checked pixel for pixel against it for
    // every segment up to kShortReach pixels across. Dots and longer segments, and any that reach the
    // canvas's edge, stay for the painter. The test is exact, in whole numbers of half pixels.
    constexpr int kShortReach = 9;
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const QRgb colour = qRgb(redOf(pendingColour_), greenOf(pendingColour_), blueOf(pendingColour_));
    const int w = image_.width(), h = image_.height();
    auto kept = pendingLines_.begin();
    for (const QLine& line : pendingLines_) {
        const long dx = line.dx(), dy = line.dy();
        const int left = std::min(line.x1(), line.x2()) - 1, right = std::max(line.x1(), line.x2());
        const int top = std::min(line.y1(), line.y2()) - 1, bottom = std::max(line.y1(), line.y2());
        const bool isShort = std::max(std::labs(dx), std::labs(dy)) <= kShortReach && (dx != 0 || dy != 0);
        if (!isShort || left < 0 || top < 0 || right >= w || bottom >= h) {
            *kept++ = line;
            continue;
        }
        const long length2 = dx * dx + dy * dy;
        for (int y = top; y <= bottom; ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
            const long v = 2L * (y - line.y1()) + 1; // from the first end to the pixel's centre, in halves
            for (int x = left; x <= right; ++x) {
                const long u = 2L * (x - line.x1()) + 1;
                const long along = u * dx + v * dy;
                bool near;
                if (along <= 0) {
                    near = u * u + v * v < 4;
                } else if (along >= 2 * length2) {
                    const long eu = u - 2 * dx, ev = v - 2 * dy;
                    near = eu * eu + ev * ev < 4;
                } else {
                    const long across = u * dy - v * dx;
                    near = across * across < 4 * length2;
                }
                if (near)
                    row[x] = colour;
            }
        }
    }
    pendingLines_.erase(kept, pendingLines_.end());
}

void Surface::setThinRowAndColumnLines() {
    // A one-pixel aliased line along a row or a column is every pixel from one end to the other, both
    // included: the frame's axes and ticks and the grid are such lines, and setting their pixels directly
    // saves the painter's set-up for each. The lines are opaque and of one colour, so the order in which
    // they reach the pixels does not matter. The rest stay for the painter.
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const QRgb colour = qRgb(redOf(pendingColour_), greenOf(pendingColour_), blueOf(pendingColour_));
    const int w = image_.width(), h = image_.height();
    auto kept = pendingLines_.begin();
    for (const QLine& line : pendingLines_) {
        if (line.y1() == line.y2()) {
            const int y = line.y1();
            const int left = std::max(0, std::min(line.x1(), line.x2()));
            const int right = std::min(w - 1, std::max(line.x1(), line.x2()));
            if (y >= 0 && y < h && left <= right)
                fillPixels(reinterpret_cast<QRgb*>(bits + y * stride) + left, right - left + 1, colour);
        } else if (line.x1() == line.x2()) {
            const int x = line.x1();
            const int top = std::max(0, std::min(line.y1(), line.y2()));
            const int bottom = std::min(h - 1, std::max(line.y1(), line.y2()));
            if (x >= 0 && x < w)
                for (int y = top; y <= bottom; ++y)
                    reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
        } else {
            *kept++ = line;
        }
    }
    pendingLines_.erase(kept, pendingLines_.end());
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
    unchangedBlends_.fill(BlendMemo{});
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

Surface::ClipBox Surface::clipBox() const {
    const int pen = devicePen();
    return {imageWidth_, imageHeight_, kClipMargin + pen, pen};
}

inline Surface::PixelPoint Surface::pixelPoint(float x, float y, const ClipBox& box) const {
    const QPointF p = toPixel(x, y);
    const double m = box.margin;
    // Only a point inside the clipping rectangle is rounded here: one far away would not fit an int.
    if (p.x() >= -m && p.x() <= box.width + m && p.y() >= -m && p.y() <= box.height + m)
        return {p.x(), p.y(), PixelPoint::pack(pixelOf(p.x(), box.width), pixelOf(p.y(), box.height)), true};
    return {p.x(), p.y(), 0, false};
}

void Surface::Line(double x1, double y1, double x2, double y2, Colour colour) {
    const float fx1 = toSingle(x1), fy1 = toSingle(y1), fx2 = toSingle(x2), fy2 = toSingle(y2);
    if (recording_)
        record(makeOp(SurfaceOp::Kind::Line, fx1, fy1, fx2, fy2, colour, drawWidth_));
    if (!rasterising_)
        return;
    const ClipBox box = clipBox();
    rasterSegment(pixelPoint(fx1, fy1, box), pixelPoint(fx2, fy2, box), colour, box);
}

void Surface::Polyline(const float* x, const float* y, std::size_t count, Colour colour) {
    if (count < 2)
        return;
    if (recording_ || !rasterising_) {
        for (std::size_t i = 0; i + 1 < count; ++i)
            Line(x[i], y[i], x[i + 1], y[i + 1], colour);
        return;
    }
    // Each point is mapped and rounded once, not once for each of its two segments. Thousands of
    // segments of a finely sampled curve fall in one pixel column; most of them begin and end in the very
    // pixel where the run being batched ends, or lie wholly beyond one edge of the clipping rectangle.
    // Neither adds a pixel, so they cost only the test (and the display list its vectors).
    const ClipBox box = clipBox();
    const double m = box.margin;
    // The pixel where the batched run ends, when the next segment could fold into it (same colour and
    // pen).
    bool canStand = false;
    std::uint64_t standing = 0;
    auto lookAtRun = [&] {
        canStand = !pendingLines_.empty() && pendingColour_ == colour && pendingWidth_ == box.pen;
        if (canStand)
            standing = PixelPoint::pack(pendingLines_.back().x2(), pendingLines_.back().y2());
    };
    lookAtRun();
    // The previous point in plain values rather than a PixelPoint: copying one through memory every
    // sample stalls the processor on its own stores.
    PixelPoint first = pixelPoint(x[0], y[0], box);
    double fromX = first.x, fromY = first.y;
    std::uint64_t fromPixel = first.pixel;
    bool fromInside = first.inside;
    // Clamped curves run along one row just beyond the canvas for most of a wide view. A point inside such
    // a run, between its neighbours on the same row, adds nothing to the segment joining them: the run's
    // segments merge into one along the row, and the display list takes none of them.
    float offRowY = y[0];
    bool offRow = rowBeyondCanvas(y[0]);
    auto beyondCanvas = [&](float rowY) {
        if (rowY != offRowY) {
            offRowY = rowY;
            offRow = rowBeyondCanvas(rowY);
        }
        return offRow;
    };
    for (std::size_t i = 1; i < count; ++i) {
        if (i + 1 < count && y[i] == y[i - 1] && y[i + 1] == y[i] &&
            ((x[i - 1] <= x[i] && x[i] <= x[i + 1]) || (x[i - 1] >= x[i] && x[i] >= x[i + 1])) &&
            beyondCanvas(y[i]))
            continue;
        const PixelPoint to = pixelPoint(x[i], y[i], box);
        if (fromInside && to.inside && canStand && to.pixel == fromPixel && to.pixel == standing) {
            if (listEnabled_ && touchesCanvas(fromX, fromY, to.x, to.y, box.width, box.height))
                listSegment(fromX, fromY, to.x, to.y, colour, box);
        } else if (!((fromX < -m && to.x < -m) || (fromX > box.width + m && to.x > box.width + m) ||
                     (fromY < -m && to.y < -m) || (fromY > box.height + m && to.y > box.height + m))) {
            rasterSegment({fromX, fromY, fromPixel, fromInside}, to, colour, box);
            lookAtRun();
        }
        fromX = to.x;
        fromY = to.y;
        fromPixel = to.pixel;
        fromInside = to.inside;
    }
}

void Surface::listSegment(double ax, double ay, double bx, double by, Colour colour, const ClipBox& box) {
    const int w = box.width, h = box.height;
    // The rasteriser puts an odd-width aliased line half a pixel right of and below its end points (the
    // spare pixel goes that way), and a line on the right or bottom edge is drawn on the last pixel; the
    // vectors follow both so that the two pictures agree.
    const double o = box.pen % 2 == 1 ? 0.5 : 0.0;
    auto vector = [o](double c, int extent) {
        return pixelOf(c, extent) != roundHalfAway(c) ? extent - 1 + o : c + o;
    };
    // Clipped to the canvas itself, so that a vector file holds nothing beyond its page.
    double vx1 = vector(ax, w), vy1 = vector(ay, h), vx2 = vector(bx, w), vy2 = vector(by, h);
    if (clipSegment(vx1, vy1, vx2, vy2, 0, 0, w, h))
        list_.addLine(logical(vx1, vy1), logical(vx2, vy2), colour, drawWidth_);
}

void Surface::rasterSegment(const PixelPoint& from, const PixelPoint& to, Colour colour, const ClipBox& box) {
    double ax = from.x, ay = from.y, bx = to.x, by = to.y;
    const double m = box.margin;
    const int w = box.width, h = box.height, pen = box.pen;
    const bool inside = from.inside && to.inside;
    if (!inside && !clipSegment(ax, ay, bx, by, -m, -m, w + m, h + m))
        return;
    if (listEnabled_ && touchesCanvas(ax, ay, bx, by, w, h))
        listSegment(ax, ay, bx, by, colour, box);
    // Unclipped end points keep the pixels they were rounded to once.
    const QLine segment = inside ? QLine(from.point(), to.point())
                                 : QLine(pixelOf(ax, w), pixelOf(ay, h), pixelOf(bx, w), pixelOf(by, h));
    // A finely sampled curve stands still within one pixel for thousands of segments, and the tick lines
    // of a dense frame fall on one pixel column by the dozen: a dot on the end of the run being batched, or
    // a line on the very pixels of its last line, adds no pixel and no changed area, so it is done with here.
    if (!pendingLines_.empty() && pendingColour_ == colour && pendingWidth_ == pen &&
        ((segment.p1() == segment.p2() && segment.p1() == pendingLines_.back().p2()) ||
         segment == pendingLines_.back()))
        return;
    if (!pendingLines_.empty() && (pendingColour_ != colour || pendingWidth_ != pen))
        flushLines();
    const int reach = pen + 1;
    markChanged(QRect(segment.p1(), segment.p2()).normalized().adjusted(-reach, -reach, reach, reach));
    if (!pendingLines_.empty() && joinRun(pendingLines_.back(), segment))
        return;
    if (pendingLines_.size() >= kLineBatch)
        flushLines();
    pendingColour_ = colour;
    pendingWidth_ = pen;
    pendingLines_.push_back(segment);
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

const Surface::Glyph& Surface::glyphNotIndexed(QChar c) {
    auto& ascii = fontItalic_ ? asciiItalic_ : asciiUpright_;
    const bool isAscii = c.unicode() < ascii.size();
    auto& cache = fontItalic_ ? glyphsItalic_ : glyphsUpright_;
    const auto found = cache.find(c.unicode());
    if (found != cache.end())
        return found->second;
    QFont font = font_;
    font.setItalic(fontItalic_);
    const QFontMetrics metrics(font);
    Glyph g;
    g.advance = metrics.horizontalAdvance(c);
    // Italic letters lean past their advance; render with room on both sides, then keep the ink box.
    const int pad = metrics.height() / 2 + 2;
    QImage picture(g.advance + 2 * pad, metrics.height(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(pad, metrics.ascent(), QString(c));
    p.end();
    int x0 = picture.width(), y0 = picture.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(row[x]) != 0) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    if (x1 >= 0) {
        g.left = x0 - pad;
        g.top = y0;
        g.width = x1 - x0 + 1;
        g.height = y1 - y0 + 1;
        g.coverage.reserve(static_cast<std::size_t>(g.width * g.height));
        for (int y = y0; y <= y1; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            int first = g.width, end = 0;
            for (int x = x0; x <= x1; ++x) {
                const int a = qAlpha(row[x]);
                g.coverage.push_back(static_cast<std::uint8_t>(a));
                if (a != 0) {
                    first = std::min(first, x - x0);
                    end = x - x0 + 1;
                }
            }
            g.inkColumns.emplace_back(std::min(first, end), end);
        }
    }
    (fontItalic_ ? lineHeightItalic_ : lineHeight_) = metrics.height();
    clearVectorState();
    const Glyph& stored = cache.emplace(c.unicode(), std::move(g)).first->second;
    if (isAscii)
        ascii[c.unicode()] = &stored; // nodes of the map stay where they are
    return stored;
}

void Surface::blendGlyph(const Glyph& g, int x, int y, uchar* bits, BlendBox& box) {
    const int left = x + g.left;
    const int top = y + g.top;
    const int xFrom = std::max(std::max(0, -left), int{box.x0}),
              xTo = std::min(std::min(g.width, imageWidth_ - left), box.x1 + 1);
    const int yFrom = std::max(std::max(0, -top), int{box.y0}),
              yTo = std::min(std::min(g.height, imageHeight_ - top), box.y1 + 1);
    box = BlendBox{};
    if (xFrom >= xTo || yFrom >= yTo)
        return;
    const QRgb solid = qRgb(redOf(foreColor_), greenOf(foreColor_), blueOf(foreColor_));
    const std::uint64_t fore = spreadLanes(solid);
    const qsizetype stride = imageStride_;
    int x0 = g.width, x1 = -1, y0 = g.height, y1 = -1;
    uchar* rowBits = bits + (top + yFrom) * stride + left * qsizetype{sizeof(QRgb)};
    const std::uint8_t* cov = g.coverage.data() + yFrom * g.width;
    const std::pair<int, int>* ink = g.inkColumns.data() + yFrom;
    for (int gy = yFrom; gy < yTo; ++gy, rowBits += stride, cov += g.width, ++ink) {
        auto* row = reinterpret_cast<QRgb*>(rowBits);
        // Dense labels blend tens of thousands of glyphs: only the columns of each row that carry ink.
        const int from = std::max(xFrom, ink->first), to = std::min(xTo, ink->second);
        if (from >= to)
            continue;
        const auto [first, last] = blendSpan(row + from, cov + from, to - from, solid, fore);
        if (first <= last) {
            x0 = std::min(x0, from + first);
            x1 = std::max(x1, from + last);
            y0 = std::min(y0, gy);
            y1 = gy;
        }
    }
    if (x0 <= x1)
        box = BlendBox{static_cast<std::int16_t>(x0), static_cast<std::int16_t>(y0),
                       static_cast<std::int16_t>(x1), static_cast<std::int16_t>(y1)};
}

void Surface::keepUnchangedBlendsFor(Colour colour) {
    if (colour != unchangedColour_) {
        unchangedBlends_.fill(BlendMemo{});
        unchangedColour_ = colour;
    }
}

int Surface::drawText(QStringView text, int left, int top) {
    // Number labels come by the thousand: each character is blended from cached coverage instead of
    // laying the text out afresh every time.
    // The painter (when open) draws into this same buffer: it was made exclusive when the painter began.
    keepUnchangedBlendsFor(foreColor_);
    uchar* bits = image_.bits();
    constexpr int kReach = 1 << 19; // places a key holds
    constexpr std::int16_t kWhole = INT16_MAX;
    int x = left;
    for (const QChar c : text) {
        const Glyph& g = glyph(c);
        if (std::abs(x) < kReach && std::abs(top) < kReach) {
            const std::uint64_t key = (std::uint64_t{1} << 63) | (std::uint64_t{fontItalic_} << 62) |
                                      (std::uint64_t{c.unicode()} << 40) |
                                      (static_cast<std::uint64_t>(x + kReach) << 20) |
                                      static_cast<std::uint64_t>(top + kReach);
            BlendMemo& slot = unchangedBlends_[(key * 0x9E3779B97F4A7C15ull) >> 52];
            if (slot.key != key)
                slot = BlendMemo{key, BlendBox{0, 0, kWhole, kWhole}};
            if (!slot.changed.empty())
                blendGlyph(g, x, top, bits, slot.changed);
        } else {
            BlendBox whole{0, 0, kWhole, kWhole};
            blendGlyph(g, x, top, bits, whole);
        }
        x += g.advance;
    }
    return x;
}

void Surface::Print(const QString& text) {
    if (recording_) {
        SurfaceOp op = makeOp(SurfaceOp::Kind::Print);
        op.text = text;
        record(std::move(op));
    }
    printText(text);
}

void Surface::Print(double number) {
    if (recording_) {
        Print(labelText(number));
        return;
    }
    // Tick numbers come by the ten thousand: formatted on the stack, never as a string of their own.
    char latin[kNumberTextCapacity];
    const int n = labelChars(number, latin);
    char16_t text[kNumberTextCapacity];
    std::copy(latin, latin + n, text);
    printText(QStringView(text, n));
}

void Surface::printText(QStringView text) {
    if (rasterising_) {
        // Text is blended straight into the pixels, so lines waiting in the batch must be drawn first,
        // unless they are in the text's colour: a pixel an opaque line covers ends in that colour in either
        // order (text blended onto it keeps it), and every other pixel sees only the text. The tick numbers
        // of a frame then leave their tick lines batched instead of drawing them one by one.
        if (pendingColour_ != foreColor_)
            flushLines();
        painter();
    }
    if (lineHeight_ == 0 || lineHeightItalic_ == 0) {
        QFont font = font_;
        lineHeight_ = QFontMetrics(font).height();
        font.setItalic(true);
        lineHeightItalic_ = QFontMetrics(font).height();
    }
    const int lineHeight = fontItalic_ ? lineHeightItalic_ : lineHeight_;
    const QPointF p = toPixel(currentX_, currentY_);
    const double w = imageWidth_, h = imageHeight_;
    // Text far off the canvas cannot show; skip the layout but keep the current position rule.
    if (rasterising_ && p.x() > -8 * w && p.x() < 2 * w && p.y() > -2 * h && p.y() < 2 * h &&
        !text.isEmpty()) {
        const int left = static_cast<int>(std::floor(p.x()));
        const int top = static_cast<int>(std::floor(p.y()));
        const int right = drawText(text, left, top);
        if (listEnabled_ && right > left && lineHeight > 0 && left < imageWidth_ && right > 0 &&
            top < imageHeight_ && top + lineHeight > 0)
            list_.addText(logical(left, top), text, foreColor_, fontItalic_);
        markChanged(
            QRect(QPoint(left - lineHeight, top - 2), QPoint(right + lineHeight, top + lineHeight + 2)));
    }
    // Like a line of output: the next Print starts at the left edge, one text line lower.
    currentX_ = scaleX1_;
    const double nextY = currentY_ + lineHeight / pxPerUnitY_;
    if (std::fabs(nextY) <= static_cast<double>(FLT_MAX))
        currentY_ = static_cast<float>(nextY);
}

} // namespace canvas

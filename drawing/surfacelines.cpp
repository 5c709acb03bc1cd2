#include "drawing/surface.h"

#include "drawing/fastlines.h"
#include "drawing/surface_private.h"

#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace canvas {

using surfaceinternal::makeOp;
using surfaceinternal::toQColor;

namespace {

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

// Margin around the canvas for clipping, in pixels: wide enough that a clipped end point never shows.
constexpr double kClipMargin = 8.0;

} // namespace

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

void Surface::flushLines() {
    if (pendingLines_.empty())
        return;
    keepUnchangedBlendsFor(pendingColour_);
    QPainter& p = painter();
    const QRgb colour = qRgb(redOf(pendingColour_), greenOf(pendingColour_), blueOf(pendingColour_));
    if (pendingWidth_ == 1)
        setThinRowAndColumnLines(image_, pendingLines_, colour);
    else if (pendingWidth_ == 2)
        setShortWideLines(image_, pendingLines_, colour);
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

} // namespace canvas

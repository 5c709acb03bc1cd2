#include "drawing/displaylist.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {

// How far (in logical pixels) a dropped point may lie from the polyline that replaces it: a sixteenth of a
// pixel is below what a 4x image, a printer at 600 dpi or a projector can show.
constexpr double kTolerance = 1.0 / 16.0;

double cross(QPointF a, QPointF b) {
    return a.x() * b.y() - a.y() * b.x();
}

double length(QPointF v) {
    // No overflow to guard against (points lie on the canvas), so the plain root is enough and much faster
    // than hypot.
    return std::sqrt(v.x() * v.x() + v.y() * v.y());
}

QPointF rotated(QPointF v, double sine, double cosine) {
    return {v.x() * cosine - v.y() * sine, v.x() * sine + v.y() * cosine};
}

QColor toQColor(Colour c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

} // namespace

DisplayList::DisplayList(QSize size, Colour backColor, const QFont& font)
    : size_(size), backColor_(backColor), font_(font) {}

void DisplayList::clear() {
    items_.clear();
    points_.clear();
    textChars_.clear();
    textEnds_.clear();
    coneOpen_ = false;
    coneReach_ = 0;
}

QFont DisplayList::font(bool italic) const {
    QFont f = font_;
    f.setItalic(italic);
    return f;
}

void DisplayList::startCone() {
    coneOpen_ = false;
    coneReach_ = 0;
}

bool DisplayList::foldsIntoLast(QPointF next) {
    const QPointF anchor = points_[points_.size() - 2];
    const QPointF last = points_.back();
    const QPointF toLast = last - anchor;
    const QPointF toNext = next - anchor;
    const double lastReach = length(toLast);
    const double reach = std::max(coneReach_, lastReach);
    // Going back along the line would hide the turning point: only points that move on may replace it.
    if (length(toNext) < reach - kTolerance)
        return false;
    bool open = coneOpen_;
    QPointF low = coneLow_, high = coneHigh_;
    if (lastReach > kTolerance) {
        // Directions from the anchor whose line passes within the tolerance of the last point.
        const double sine = kTolerance / lastReach;
        const double cosine = std::sqrt(1 - sine * sine);
        const QPointF lastLow = rotated(toLast, -sine, cosine);
        const QPointF lastHigh = rotated(toLast, sine, cosine);
        if (!open) {
            low = lastLow;
            high = lastHigh;
            open = true;
        } else {
            if (cross(low, lastLow) > 0)
                low = lastLow;
            if (cross(high, lastHigh) < 0)
                high = lastHigh;
            if (cross(low, high) < 0)
                return false;
        }
    }
    if (open && (cross(low, toNext) < 0 || cross(toNext, high) < 0 ||
                 toNext.x() * low.x() + toNext.y() * low.y() <= 0))
        return false;
    coneOpen_ = open;
    coneLow_ = low;
    coneHigh_ = high;
    coneReach_ = reach;
    points_.back() = next;
    return true;
}

void DisplayList::addLine(QPointF from, QPointF to, Colour colour, int width) {
    const auto w = static_cast<std::uint16_t>(std::clamp(width, 1, 0xFFFF));
    if (!items_.empty()) {
        Item& open = items_.back();
        // A segment that starts within the tolerance of the run's end goes on from that end. A plot of a view
        // so wide that hundreds of samples share a pixel column draws each sample as a dash far shorter than
        // a pixel, a few thousandths of a pixel from the next: kept apart, each dash was an item of its own,
        // hundreds of thousands for one curve, and every export drew them one by one.
        if (open.kind == Kind::Polyline && open.colour == colour && open.width == w &&
            length(from - points_.back()) <= kTolerance) {
            if (to == points_.back() || foldsIntoLast(to))
                return;
            points_.push_back(to);
            ++open.count;
            startCone();
            return;
        }
    }
    items_.push_back(Item{Kind::Polyline, false, w, colour, static_cast<std::uint32_t>(points_.size()), 2});
    points_.push_back(from);
    points_.push_back(to);
    startCone();
}

void DisplayList::addDot(QPointF centre, Colour colour, int width) {
    const auto w = static_cast<std::uint16_t>(std::clamp(width, 1, 0xFFFF));
    items_.push_back(Item{Kind::Dot, false, w, colour, static_cast<std::uint32_t>(points_.size()), 1});
    points_.push_back(centre);
}

void DisplayList::addText(QPointF topLeft, QStringView text, Colour colour, bool italic) {
    items_.push_back(Item{Kind::Text, italic, 1, colour, static_cast<std::uint32_t>(points_.size()),
                          static_cast<std::uint32_t>(textEnds_.size())});
    points_.push_back(topLeft);
    textChars_.insert(textChars_.end(), text.utf16(), text.utf16() + text.size());
    textEnds_.push_back(static_cast<std::uint32_t>(textChars_.size()));
}

QString DisplayList::textOf(const Item& item) const {
    const std::uint32_t begin = item.count == 0 ? 0 : textEnds_[item.count - 1];
    return QString(reinterpret_cast<const QChar*>(textChars_.data() + begin),
                   static_cast<qsizetype>(textEnds_[item.count] - begin));
}

std::vector<QRectF> DisplayList::textBoxes() const {
    std::vector<QRectF> out;
    const QFontMetricsF upright(font(false)), italic(font(true));
    for (const Item& item : items_)
        if (item.kind == Kind::Text) {
            const QFontMetricsF& m = item.italic ? italic : upright;
            out.emplace_back(points_[item.first], QSizeF(m.horizontalAdvance(textOf(item)), m.height()));
        }
    return out;
}

std::vector<QPolygonF> DisplayList::polylines() const {
    std::vector<QPolygonF> out;
    for (const Item& item : items_)
        if (item.kind == Kind::Polyline)
            out.emplace_back(
                QList<QPointF>(points_.begin() + item.first, points_.begin() + item.first + item.count));
    return out;
}

std::size_t DisplayList::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + items_.capacity() * sizeof(Item) +
                        points_.capacity() * sizeof(QPointF) + textChars_.capacity() * sizeof(char16_t) +
                        textEnds_.capacity() * sizeof(std::uint32_t);
    return bytes;
}

void DisplayList::replay(QPainter& painter, Edges edges, Background background) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, edges == Edges::Smooth);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF canvas(QPointF(0, 0), QSizeF(size_));
    painter.setClipRect(canvas, Qt::IntersectClip);
    painter.fillRect(canvas, background == Background::White ? QColor(Qt::white) : toQColor(backColor_));
    const QFont fonts[2] = {font(false), font(true)};
    const double ascents[2] = {QFontMetricsF(fonts[0]).ascent(), QFontMetricsF(fonts[1]).ascent()};
    // Lines and texts share one pen (a text only needs its colour) and the font changes only with the
    // italic style, so a vector file does not repeat its drawing state for every tick and number.
    // Aliased, a width covers whole device pixels, as the canvas's own pen does: so many logical pixels
    // wide, rounded to device pixels, never under one.
    const double density = painter.transform().m11();
    auto widthOf = [&](double width) {
        if (edges == Edges::Smooth || density <= 0)
            return width;
        return std::max(1.0, std::round(width * density)) / density;
    };
    QPen pen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    int fontStyle = -1;
    for (const Item& item : items_) {
        const QColor colour = toQColor(item.colour);
        if (item.kind != Kind::Dot &&
            (pen.color() != colour || (item.kind == Kind::Polyline && pen.widthF() != widthOf(item.width)))) {
            pen.setColor(colour);
            if (item.kind == Kind::Polyline)
                pen.setWidthF(widthOf(item.width));
            painter.setPen(pen);
        }
        switch (item.kind) {
        case Kind::Polyline:
            painter.drawPolyline(points_.data() + item.first, static_cast<int>(item.count));
            break;
        case Kind::Dot: {
            const double width = widthOf(item.width);
            const QPointF c = points_[item.first];
            painter.fillRect(QRectF(c.x() - width / 2, c.y() - width / 2, width, width), colour);
            break;
        }
        case Kind::Text: {
            const int style = item.italic ? 1 : 0;
            if (style != fontStyle) {
                painter.setFont(fonts[style]);
                fontStyle = style;
            }
            const QPointF at = points_[item.first];
            painter.drawText(QPointF(at.x(), at.y() + ascents[style]), textOf(item));
            break;
        }
        }
    }
    painter.restore();
}

} // namespace canvas

#pragma once

// What has been drawn on a canvas since its last Cls, kept as vectors so that the picture can leave the
// program sharp at any size: polylines, dots and texts in drawing order, in logical canvas pixels. Segments
// of one colour and width that join end to end grow one polyline, and a point that moves the polyline by
// less than 1/16 of a pixel (below anything a printer or a 4x image can show) replaces the last point
// instead of adding one, so a curve sampled in millions of segments stays a few hundred points long.
// One replay routine draws the list into any painter: an SVG generator, a PDF writer, a printer, an image.

#include "runtime/runtime.h"

#include <QFont>
#include <QPointF>
#include <QPolygonF>
#include <QSize>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;

namespace canvas {

class DisplayList {
public:
    /// A list for a canvas of `size` logical pixels on the back colour `backColor`, its texts in `font`.
    DisplayList(QSize size, Colour backColor, const QFont& font);

    /// Forgets everything: the canvas is bare again.
    void clear();
    /// A segment between two points in logical pixels (already clipped near the canvas).
    void addLine(QPointF from, QPointF to, Colour colour, int width);
    /// A square dot of `width` pixels centred on `centre`.
    void addDot(QPointF centre, Colour colour, int width);
    /// A text with its top-left corner at `topLeft`.
    void addText(QPointF topLeft, QStringView text, Colour colour, bool italic);
    void addText(QPointF topLeft, const QString& text, Colour colour, bool italic) {
        addText(topLeft, QStringView(text), colour, italic);
    }

    /// How lines and dots meet the pixels: smoothed for vector files, prints and large pictures; aliased
    /// (whole pixels, as the canvas draws them) when the canvas itself is drawn again at a new density.
    enum class Edges { Smooth, Aliased };

    /// What lies under the drawing: the canvas's own colour, as on screen, or white, for a file or a page
    /// that is to be printed on white paper.
    enum class Background { Canvas, White };

    /// Draws the canvas (background, then every item in order) into `painter`, one unit being one logical
    /// pixel, clipped to the canvas.
    void replay(QPainter& painter, Edges edges = Edges::Smooth,
                Background background = Background::Canvas) const;

    QSize size() const { return size_; }
    /// The points of each polyline, in drawing order.
    std::vector<QPolygonF> polylines() const;
    /// Where each text lies, in logical pixels, in drawing order.
    std::vector<QRectF> textBoxes() const;
    /// The canvas font at one logical pixel per unit, upright or italic.
    QFont font(bool italic) const;
    /// Number of items (polylines, dots and texts) and of polyline points held.
    std::size_t itemCount() const { return items_.size(); }
    /// The colour and pen width of item `i` (i < itemCount()), as every output draws it; a text is 1 wide.
    Colour itemColour(std::size_t i) const { return items_[i].colour; }
    int itemWidth(std::size_t i) const { return items_[i].width; }
    std::size_t pointCount() const { return points_.size(); }
    /// Bytes the list occupies, allocations included.
    std::size_t memoryBytes() const;

private:
    enum class Kind : std::uint8_t { Polyline, Dot, Text };
    struct Item {
        Kind kind;
        bool italic;
        std::uint16_t width;
        Colour colour;
        // Polyline: its points in points_[first, first + count); dot: its centre at points_[first]; text:
        // its top-left corner at points_[first] and its text the count-th in textChars_.
        std::uint32_t first;
        std::uint32_t count;
    };

    /// Whether `next` may replace the polyline's last point, every dropped point staying within the
    /// tolerance of the new last segment.
    bool foldsIntoLast(QPointF next);
    QString textOf(const Item& item) const;
    void startCone();

    QSize size_;
    Colour backColor_;
    QFont font_;
    std::vector<Item> items_;
    std::vector<QPointF> points_;
    // The texts one after another (a frame prints tens of thousands of numbers: one buffer, not a string
    // each), and where each ends.
    std::vector<char16_t> textChars_;
    std::vector<std::uint32_t> textEnds_;

    // The open polyline's simplification state: the directions from its second-to-last point within which
    // the last segment may still turn without leaving any dropped point more than the tolerance away.
    bool coneOpen_ = false;
    QPointF coneLow_, coneHigh_;
    double coneReach_ = 0;
};

} // namespace canvas

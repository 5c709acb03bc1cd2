#pragma once

// The drawing surface behind every canvas: a picture that keeps what is drawn on it until the next Cls, user
// coordinates set by Scale, and the handful of operations the windows draw with. Coordinates arrive in double
// precision and are taken in single precision, as the canvas has always worked; a coordinate that does not
// fit is a RuntimeError. Segments are clipped in floating point before they reach the rasteriser, so any
// finite coordinate is safe and far-away segments cost nothing. Every operation can be recorded for tests.

#include "drawing/displaylist.h"
#include "runtime/runtime.h"

#include <QFont>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace canvas {

/// One operation as the surface received it (coordinates in single precision, as passed).
struct SurfaceOp {
    enum class Kind { Cls, Scale, Line, PSet, CurrentX, CurrentY, Print, DrawWidth, FontItalic };
    Kind kind = Kind::Cls;
    float a = 0, b = 0, c = 0, d = 0;
    Colour colour = 0;
    int width = 1;
    QString text;

    /// A readable form for tests, such as "Line(-10,0.001,9.75,0.001)" or "Print(0.3)".
    QString toString() const;
};

class Surface {
public:
    /// A canvas of the given size in (logical) pixels, filled with the back colour. On a high-density
    /// screen `deviceRatio` device pixels make one logical pixel: the picture is drawn at the device's
    /// density (crisp lines and text), while sizes, pen widths and the saved picture stay logical.
    Surface(QSize size, Colour backColor, Colour foreColor, qreal deviceRatio = 1.0);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    /// Fills the canvas with the back colour and puts the current position at the origin.
    void Cls();
    /// Maps the canvas: (x1, y1) is the upper-left corner, (x2, y2) the lower-right one.
    void Scale(double x1, double y1, double x2, double y2);
    /// A straight segment in the given colour, DrawWidth pixels wide.
    void Line(double x1, double y1, double x2, double y2, Colour colour);
    /// The segments from each point to the next, (x[i], y[i]) to (x[i + 1], y[i + 1]), in single precision:
    /// the picture, the display list and the record of count - 1 calls of Line, drawn faster (a curve's
    /// millions of samples come this way).
    void Polyline(const float* x, const float* y, std::size_t count, Colour colour);
    /// Whether plot routines hand their runs of samples over as polylines (on, as in the programs). Off,
    /// and while recording, they call Line for every segment: tests compare the two pictures.
    void setPolylinesEnabled(bool on) { polylinesEnabled_ = on; }
    bool takesPolylines() const { return polylinesEnabled_ && !recording_ && rasterising_; }
    /// Whether the row of a polyline point at height y lies above the canvas's top edge or below its
    /// bottom one. A point between two neighbours on such a row, in order along it, adds nothing to the
    /// picture or the display list: Polyline passes over it, and a plot may leave it out.
    bool rowBeyondCanvas(float y) const {
        const double py = toPixel(0, y).y();
        return py < 0 || py > imageHeight_;
    }
    /// A dot of DrawWidth pixels in the fore colour.
    void PSet(double x, double y);
    /// Text with its top-left corner at the current position, transparent background, upright.
    void Print(const QString& text);
    /// A number in the general decimal form.
    void Print(double number);

    void setCurrentX(double x);
    void setCurrentY(double y);
    float CurrentX() const { return currentX_; }
    float CurrentY() const { return currentY_; }
    void setDrawWidth(int width);
    int DrawWidth() const { return drawWidth_; }
    void setFontItalic(bool italic);
    bool FontItalic() const { return fontItalic_; }

    Colour BackColor() const { return backColor_; }
    Colour ForeColor() const { return foreColor_; }
    /// The colour the next texts are written in.
    void setForeColor(Colour colour) { foreColor_ = colour; }
    /// The width and height in logical pixels of a text as Print writes it in the current font.
    QSizeF textSize(const QString& text) const;
    /// Size in logical pixels.
    QSize size() const { return size_; }
    qreal deviceRatio() const { return ratio_; }
    /// Changes the device pixels per logical pixel (the window's scale changed). The mapping, sizes and
    /// everything else logical stay; what was drawn since the last Cls is drawn again at the new density
    /// (resampled instead when it is too much to keep).
    void setDeviceRatio(qreal ratio);

    /// The picture as it stands now (everything drawn so far), in device pixels.
    const QImage& Image();
    /// The picture at its logical size, as it is saved or copied.
    QImage picture();

    /// Device-pixel position (fractional) of a point in user units, under the current mapping.
    QPointF toPixel(double x, double y) const {
        return {(x - scaleX1_) * pxPerUnitX_, (y - scaleY1_) * pxPerUnitY_};
    }
    /// User coordinates of a device-pixel position, in single precision, as pointer events report them.
    QPointF toUser(QPointF pixel) const;
    float scaleLeft() const { return scaleX1_; }
    float scaleTop() const { return scaleY1_; }
    float scaleRight() const { return scaleX2_; }
    float scaleBottom() const { return scaleY2_; }

    /// What was drawn since the last Cls, as it stands: its pixels, its vectors and the drawing state
    /// after it (position, mapping, pen, slant, lines still batched).
    struct KeptDrawing {
        QSize size;
        qreal ratio = 1;
        Colour backColor = 0, foreColor = 0;
        std::vector<std::pair<int, int>> spans; ///< per row, the columns drawn on (first > last: none)
        std::vector<QRgb> pixels;               ///< those columns' pixels, row after row
        DisplayList list{QSize(), 0, QFont()};
        std::vector<QLine> pendingLines;
        Colour pendingColour = 0;
        int pendingWidth = 1;
        float currentX = 0, currentY = 0;
        float scale[4] = {0, 0, 0, 0};
        int drawWidth = 1;
        bool fontItalic = false;
    };
    /// Keeps what was drawn since the last Cls, to be put back later instead of drawn again; nothing while
    /// operations are recorded or nothing is rasterised (the record and the fuzzing want every operation).
    std::shared_ptr<const KeptDrawing> keepDrawing();
    /// Clears the canvas and puts back a drawing kept from it, exactly as it was drawn. False, and nothing
    /// done, when the canvas has since changed its size, density or colours, or keeps no pictures now.
    bool putBack(const KeptDrawing& kept);

    /// Everything drawn since the last Cls, as vectors: the source of every export, print and vector copy.
    const DisplayList& displayList() const { return list_; }
    /// Keeping the display list is always on in the programs; the benchmarks switch it off to measure
    /// what it costs.
    void setDisplayListEnabled(bool on) { listEnabled_ = on; }

    /// Recording of operations, for tests.
    void setRecording(bool on) { recording_ = on; }
    /// With rasterising off, operations are checked (single precision, mapping), recorded and move the
    /// current position as always, but leave the picture and the display list untouched: fuzzing the
    /// drawing logic then costs no pixel work.
    void setRasterising(bool on) { rasterising_ = on; }
    const std::vector<SurfaceOp>& operations() const { return ops_; }
    void clearOperations() { ops_.clear(); }

    /// Called once when the picture changes after the last takeDirtyRect(), so a widget can schedule one
    /// repaint however many operations follow.
    void setChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
    /// The pixels changed since the last call (a bounding rectangle), and starts collecting afresh.
    QRect takeDirtyRect();

private:
    // A character as coverage values (0..255) of its ink box, ready to blend in the fore colour.
    struct Glyph {
        std::vector<std::uint8_t> coverage;
        /// Per row of the ink box, the first column with ink and one past the last (equal: none).
        std::vector<std::pair<int, int>> inkColumns;
        int left = 0; ///< ink box relative to the pen position
        int top = 0;
        int width = 0;
        int height = 0;
        int advance = 0;
        /// Per row of the ink box, a bit for each column with ink, in `inkWords` words.
        std::vector<std::uint64_t> inkBits;
        int inkWords = 0;
    };

    // A part of a glyph's ink box, inclusive; empty when x0 > x1.
    struct BlendBox {
        std::int16_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        bool empty() const { return x0 > x1; }
    };
    // A glyph blended at a place (the key: character, slant and place) and the box of the pixels that blend
    // changed.
    struct BlendMemo {
        std::uint64_t key = 0;
        BlendBox changed;
    };

    // A point in device pixels and, when it lies inside the clipping rectangle, the pixel it rounds to:
    // column and row packed in one number, so that a curve's samples compare their pixels at once.
    struct PixelPoint {
        double x, y;
        std::uint64_t pixel;
        bool inside;
        static std::uint64_t pack(int column, int row) {
            return static_cast<std::uint32_t>(column) |
                   static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32;
        }
        QPoint point() const {
            return {static_cast<int>(static_cast<std::uint32_t>(pixel)), static_cast<int>(pixel >> 32)};
        }
    };

    // The picture's size, the pen in device pixels and the margin segments are clipped to beyond the edges.
    struct ClipBox {
        int width, height;
        double margin;
        int pen;
    };

    QPainter& painter();
    ClipBox clipBox() const;
    PixelPoint pixelPoint(float x, float y, const ClipBox& box) const;
    /// Adds the segment (device pixels, clipped near the canvas) to the display list when it touches the
    /// canvas.
    void listSegment(double ax, double ay, double bx, double by, Colour colour, const ClipBox& box);
    void rasterSegment(const PixelPoint& from, const PixelPoint& to, Colour colour, const ClipBox& box);
    void flushLines();
    void markChanged(const QRect& pixels);
    /// An area of changed pixels, inclusive (left > right: none).
    struct Mark {
        int left = 1, top = 0, right = 0, bottom = -1;
    };
    /// Adds the area to the dirty rectangle and the record of drawn rows, and empties it.
    void takeMark(Mark& mark);
    /// Takes both areas still being merged; done before either record is read.
    void takeMarks();
    /// Keeps the picture's size and row length at hand after the picture is made.
    void imageChanged();
    void record(SurfaceOp op);
    /// The glyph of `c` in the current slant. Numbers are ASCII: their glyphs are found by index, without
    /// hashing or a call, tens of thousands of times a frame.
    const Glyph& glyph(QChar c) {
        const auto& ascii = fontItalic_ ? asciiItalic_ : asciiUpright_;
        const Glyph* indexed = c.unicode() < ascii.size() ? ascii[c.unicode()] : nullptr;
        return indexed ? *indexed : glyphNotIndexed(c);
    }
    /// Finds or renders the glyph, and indexes it when it is ASCII.
    const Glyph& glyphNotIndexed(QChar c);
    /// Draws the text; returns the pen position after it.
    int drawText(QStringView text, int left, int top);
    /// Print's drawing: the text at the current position, then the position one text line lower.
    void printText(QStringView text);
    /// Blends the part of the glyph inside `box` (ink-box coordinates, inclusive) with its pen position at
    /// (x, y); `box` becomes the smallest box holding every pixel the blend changed (empty when none).
    void blendGlyph(const Glyph& g, int x, int y, uchar* bits, BlendBox& box);
    /// Where a glyph lands: its ink box's top-left pixel and the part of the box to blend ([from, to)).
    struct Reach {
        int left, top, xFrom, xTo, yFrom, yTo;
    };
    /// blendGlyph's two ways: every inked pixel of each row, or only the inked pixels not known to be in
    /// the text colour (which it learns as it goes). The same pixels either way; each returns what changed.
    BlendBox blendEveryInkedPixel(const Glyph& g, const Reach& r, uchar* bits, QRgb solid,
                                  std::uint64_t fore);
    BlendBox blendPixelsNotInTheColour(const Glyph& g, const Reach& r, uchar* bits, QRgb solid,
                                       std::uint64_t fore);
    static BlendBox boxOf(int x0, int y0, int x1, int y1);
    /// Forgets the blends known to change nothing, unless what is drawn next is in their colour.
    void keepUnchangedBlendsFor(Colour colour);
    /// Forgets the blends known to change nothing and the pixels known to be in their colour.
    void forgetBlends();
    /// Forgets every glyph rendered and every blend remembered: the font's size changed.
    void forgetGlyphs();

    int devicePen() const;
    QPointF logical(double x, double y) const {
        // At 100 % the same numbers, without two divisions for every line and text the display list takes.
        return ratio_ == 1 ? QPointF(x, y) : QPointF(x / ratio_, y / ratio_);
    }
    /// Pixels per user unit from the mapping and the picture's size.
    void remap();

    QSize size_;
    qreal ratio_;
    QImage image_;
    int imageWidth_ = 0, imageHeight_ = 0;
    qsizetype imageStride_ = 0;
    std::unique_ptr<QPainter> painter_;
    Colour backColor_;
    Colour foreColor_;
    QFont font_;
    DisplayList list_;
    bool listEnabled_ = true;
    bool polylinesEnabled_ = true;
    int drawWidth_ = 1;
    bool fontItalic_ = false;
    float currentX_ = 0, currentY_ = 0;
    float scaleX1_ = 0, scaleY1_ = 0, scaleX2_ = 0, scaleY2_ = 0;
    double pxPerUnitX_ = 1, pxPerUnitY_ = 1;

    std::vector<QLine> pendingLines_;
    Colour pendingColour_ = 0;
    int pendingWidth_ = 1;

    std::unordered_map<char16_t, Glyph> glyphsUpright_;
    std::unordered_map<char16_t, Glyph> glyphsItalic_;
    std::array<const Glyph*, 128> asciiUpright_{};
    std::array<const Glyph*, 128> asciiItalic_{};
    int lineHeight_ = 0;
    int lineHeightItalic_ = 0;
    // Glyphs blended at a place, by character, slant and place, with the box of the pixels that blend
    // changed. Blending in one colour only moves a pixel towards it, and a pixel left alone by a glyph's
    // coverage stays alone however much nearer that colour it comes: as long as everything drawn is in
    // `unchangedColour_` (text, or opaque lines setting pixels to it), blending that glyph there again can
    // change only pixels inside the box, and nothing at all when the box is empty. Dense tick numbers repeat
    // their first digits at one place dozens of times, and only a few faint edge pixels of each still move.
    std::array<BlendMemo, 4096> unchangedBlends_{};
    Colour unchangedColour_ = 0;
    // For the same reason a pixel in `unchangedColour_` stays in it: one bit per pixel of those known to be,
    // each row of the picture in `solidWords_` words, column c at bit c + 64 (a word to spare at each end).
    // A row's bits count only while its stamp is the current one, so forgetting them all is one increment.
    std::vector<std::uint64_t> solidPixels_;
    std::size_t solidWords_ = 0;
    std::vector<std::uint32_t> solidRowStamps_;
    std::uint32_t solidStamp_ = 1;
    // The rows of a glyph that have pixels to blend, and those pixels' bits, while a glyph is blended.
    std::vector<std::pair<int, std::uint64_t>> blendRows_;

    bool recording_ = false;
    bool rasterising_ = true;
    std::vector<SurfaceOp> ops_;
    bool dirty_ = false;
    QRect dirtyRect_;
    // Per pixel row, the first and last column drawn on since the canvas was last filled (first > last:
    // none); empty when nothing has been drawn. Cls fills only these.
    std::vector<std::pair<int, int>> drawnSpans_;
    // The newest two areas of changed pixels, each a union of areas on the same rows not yet recorded.
    std::array<Mark, 2> marks_{};
    std::function<void()> changed_;
};

/// Clips the segment (x1, y1)-(x2, y2) to the rectangle [left, right] x [top, bottom]; false when nothing
/// of it is inside. Works on any finite doubles.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
                 double bottom);

} // namespace canvas

#include "drawing/surface.h"

#include "drawing/surface_private.h"

#include <QFontMetrics>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <utility>

namespace canvas {

using surfaceinternal::makeOp;

namespace {

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

// One pixel towards the colour spread over the lanes (spreadLanes) by its coverage `a`. The sums are exact:
// no coverage leaves the pixel as it was, and full coverage, or a pixel already in the colour, gives the
// colour itself.
inline QRgb blendPixel(QRgb d, unsigned a, std::uint64_t fore) {
    constexpr std::uint64_t kLow = 0x000000FF00FF00FFull; // the low byte of each lane
    // Exact rounding of x / 255 for 0 <= x <= 255 * 255 in each lane, without a division.
    const std::uint64_t x = fore * a + spreadLanes(d) * (255 - a) + 0x0000008000800080ull;
    const std::uint64_t q = ((x + ((x >> 8) & kLow)) >> 8) & kLow;
    return 0xFF000000u | static_cast<QRgb>(q & 0xFF00FFu) | static_cast<QRgb>((q >> 24) & 0xFF00u);
}

// Blends n pixels towards `solid` by their coverage; the first and the last pixel that changed (first > last:
// none).
std::pair<int, int> blendSpan(QRgb* row, const std::uint8_t* coverage, int n, QRgb solid,
                              std::uint64_t fore) {
    int first = n, last = -1;
    for (int i = 0; i < n; ++i) {
        const unsigned a = coverage[i];
        if (a == 0)
            continue;
        const QRgb d = row[i];
        // Dense labels overlap: a pixel already in the text colour stays so, whatever the coverage.
        if (d == solid)
            continue;
        const QRgb blended = a == 255 ? solid : blendPixel(d, a, fore);
        if (blended != d) {
            first = std::min(first, i);
            last = i;
            row[i] = blended;
        }
    }
    return {first, last};
}

// The 64 bits of a row of bits that start at bit `at` (0 <= at), from the word it is in and the next.
inline std::uint64_t bitsAt(const std::uint64_t* row, int at) {
    const int word = at >> 6, shift = at & 63;
    return (row[word] >> shift) | ((row[word + 1] << 1) << (63 - shift));
}

} // namespace

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
        g.inkWords = (g.width + 63) / 64;
        g.inkBits.assign(static_cast<std::size_t>(g.inkWords * g.height), 0);
        for (int y = y0; y <= y1; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            std::uint64_t* inkRow = g.inkBits.data() + (y - y0) * g.inkWords;
            int first = g.width, end = 0;
            for (int x = x0; x <= x1; ++x) {
                const int a = qAlpha(row[x]);
                g.coverage.push_back(static_cast<std::uint8_t>(a));
                if (a != 0) {
                    first = std::min(first, x - x0);
                    end = x - x0 + 1;
                    inkRow[(x - x0) / 64] |= std::uint64_t{1} << ((x - x0) % 64);
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
    const Reach reach{left, top, xFrom, xTo, yFrom, yTo};
    // At 100 % a glyph is a few pixels across and its rows are blended faster one pixel after another; at a
    // projector's scale it has nine times the pixels, most of them in the text colour already where dense
    // labels pile up.
    constexpr int kFewPixels = 40;
    box = (xTo - xFrom) * (yTo - yFrom) < kFewPixels ? blendEveryInkedPixel(g, reach, bits, solid, fore)
                                                     : blendPixelsNotInTheColour(g, reach, bits, solid, fore);
}

Surface::BlendBox Surface::blendEveryInkedPixel(const Glyph& g, const Reach& r, uchar* bits, QRgb solid,
                                                std::uint64_t fore) {
    const qsizetype stride = imageStride_;
    int x0 = g.width, x1 = -1, y0 = g.height, y1 = -1;
    uchar* rowBits = bits + (r.top + r.yFrom) * stride + r.left * qsizetype{sizeof(QRgb)};
    const std::uint8_t* cov = g.coverage.data() + r.yFrom * g.width;
    const std::pair<int, int>* ink = g.inkColumns.data() + r.yFrom;
    for (int gy = r.yFrom; gy < r.yTo; ++gy, rowBits += stride, cov += g.width, ++ink) {
        auto* row = reinterpret_cast<QRgb*>(rowBits);
        // Dense labels blend tens of thousands of glyphs: only the columns of each row that carry ink.
        const int from = std::max(r.xFrom, ink->first), to = std::min(r.xTo, ink->second);
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
    return boxOf(x0, y0, x1, y1);
}

Surface::BlendBox Surface::blendPixelsNotInTheColour(const Glyph& g, const Reach& r, uchar* bits, QRgb solid,
                                                     std::uint64_t fore) {
    const qsizetype stride = imageStride_;
    const std::size_t words = solidWords_;
    if (blendRows_.size() < static_cast<std::size_t>(g.height))
        blendRows_.resize(static_cast<std::size_t>(g.height));
    int x0 = g.width, x1 = -1, y0 = g.height, y1 = -1;
    // The glyph's columns 64 at a time: one word of its ink bits, the whole glyph but at large sizes.
    for (int w = r.xFrom / 64; w <= (r.xTo - 1) / 64; ++w) {
        const int base = 64 * w;
        std::uint64_t columns = ~std::uint64_t{0};
        if (r.xFrom > base)
            columns &= ~std::uint64_t{0} << (r.xFrom - base);
        if (r.xTo - base < 64)
            columns &= (std::uint64_t{1} << (r.xTo - base)) - 1;
        // The bit of the picture's column left + base (bits start one word before the first column).
        const int at = r.left + base + 64;
        // First the rows with inked pixels not known to be in the text colour, without a branch per row.
        int pending = 0;
        for (int gy = r.yFrom; gy < r.yTo; ++gy) {
            const std::size_t iy = static_cast<std::size_t>(r.top + gy);
            const std::uint64_t current = solidRowStamps_[iy] == solidStamp_ ? ~std::uint64_t{0} : 0;
            const std::uint64_t known = bitsAt(solidPixels_.data() + iy * words, at) & current;
            const std::uint64_t todo =
                g.inkBits[static_cast<std::size_t>(gy * g.inkWords + w)] & columns & ~known;
            blendRows_[static_cast<std::size_t>(pending)] = {gy, todo};
            pending += todo != 0;
        }
        for (int k = 0; k < pending; ++k) {
            const auto [gy, inked] = blendRows_[static_cast<std::size_t>(k)];
            const std::size_t iy = static_cast<std::size_t>(r.top + gy);
            std::uint64_t* solidRow = solidPixels_.data() + iy * words;
            if (solidRowStamps_[iy] != solidStamp_) {
                std::fill(solidRow, solidRow + words, 0);
                solidRowStamps_[iy] = solidStamp_;
            }
            auto* row = reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(iy) * stride) + r.left;
            const std::uint8_t* cov = g.coverage.data() + gy * g.width;
            int first = g.width, last = -1;
            for (std::uint64_t todo = inked; todo != 0; todo &= todo - 1) {
                const int gx = base + __builtin_ctzll(todo);
                // Without a branch: the sums give the text colour itself for full coverage and for a pixel
                // already in it, and an unchanged pixel is written back as it was.
                const QRgb d = row[gx];
                const QRgb blended = blendPixel(d, cov[gx], fore);
                row[gx] = blended;
                const int bit = r.left + gx + 64;
                solidRow[bit >> 6] |= std::uint64_t{blended == solid} << (bit & 63);
                const bool changed = blended != d;
                first = changed && gx < first ? gx : first;
                last = changed ? gx : last;
            }
            if (first <= last) {
                x0 = std::min(x0, first);
                x1 = std::max(x1, last);
                y0 = std::min(y0, gy);
                y1 = std::max(y1, gy);
            }
        }
    }
    return boxOf(x0, y0, x1, y1);
}

Surface::BlendBox Surface::boxOf(int x0, int y0, int x1, int y1) {
    if (x0 > x1)
        return BlendBox{};
    return BlendBox{static_cast<std::int16_t>(x0), static_cast<std::int16_t>(y0),
                    static_cast<std::int16_t>(x1), static_cast<std::int16_t>(y1)};
}

void Surface::forgetBlends() {
    unchangedBlends_.fill(BlendMemo{});
    if (++solidStamp_ == 0) {
        std::fill(solidRowStamps_.begin(), solidRowStamps_.end(), 0);
        solidStamp_ = 1;
    }
}

void Surface::keepUnchangedBlendsFor(Colour colour) {
    if (colour != unchangedColour_) {
        forgetBlends();
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

QSizeF Surface::textSize(const QString& text) const {
    QFont font = font_;
    font.setItalic(fontItalic_);
    const QFontMetricsF metrics(font);
    return QSizeF(metrics.horizontalAdvance(text), metrics.height()) / ratio_;
}

void Surface::forgetGlyphs() {
    glyphsUpright_.clear();
    glyphsItalic_.clear();
    forgetBlends();
    asciiUpright_.fill(nullptr);
    asciiItalic_.fill(nullptr);
    lineHeight_ = 0;
    lineHeightItalic_ = 0;
}

} // namespace canvas

#pragma once

// Fast paths for the lines a canvas draws most: a frame's axes, ticks and grid (one pixel wide, along a row
// or a column) and a curve's short segments two pixels wide. Handing each of these to QPainter costs far
// more in set-up than the few pixels it sets, so their pixels are set directly. The painter's own lines are
// the rule they follow: the tests draw every length and direction both ways, near the edges and partly
// outside, and compare the pictures pixel for pixel, so QPainter stays the oracle for both. Any line these
// paths do not take stays for the painter.

#include <QImage>
#include <QLine>

#include <algorithm>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace canvas {

/// Fast path for one-pixel aliased lines: sets the pixels of every line of `lines` that runs along a row or
/// a column (its two ends included, clipped to the picture) to `colour`, and removes it from `lines`; the
/// other lines stay, in their order, for the painter.
void setThinRowAndColumnLines(QImage& image, std::vector<QLine>& lines, QRgb colour);

/// Fast path for two-pixel aliased lines with round caps: sets the pixels of every short line (up to nine
/// pixels across, not a dot, clear of the picture's edges) exactly as the painter would, and removes it
/// from `lines`; the other lines stay, in their order, for the painter.
void setShortWideLines(QImage& image, std::vector<QLine>& lines, QRgb colour);

/// Sets n pixels to one value, four at a time where the processor can: a plain loop over 32-bit values
/// stays one store per pixel, and clearing a canvas fills thousands.
inline void fillPixels(QRgb* p, int n, QRgb value) {
#ifdef __SSE2__
    const __m128i four = _mm_set1_epi32(static_cast<int>(value));
    for (; n >= 4; n -= 4, p += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), four);
#endif
    std::fill_n(p, n, value);
}

} // namespace canvas

#include "drawing/fastlines.h"

#include <algorithm>
#include <cstdlib>

namespace canvas {

void setThinRowAndColumnLines(QImage& image, std::vector<QLine>& lines, QRgb colour) {
    // A one-pixel aliased line along a row or a column is every pixel from one end to the other, both
    // included: the frame's axes and ticks and the grid are such lines, and setting their pixels directly
    // saves the painter's set-up for each. The lines are opaque and of one colour, so the order in which
    // they reach the pixels does not matter. The rest stay for the painter.
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int w = image.width(), h = image.height();
    auto kept = lines.begin();
    for (const QLine& line : lines) {
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
    lines.erase(kept, lines.end());
}

void setShortWideLines(QImage& image, std::vector<QLine>& lines, QRgb colour) {
    // A curve is a run of short segments two pixels wide, and the painter's set-up for each costs far more
    // than its few pixels. Its pixels are those whose centre lies nearer than one pixel to the segment:
    // that is the painter's rule for such a line with round caps, checked pixel for pixel against it for
    // every segment up to kShortReach pixels across. Dots and longer segments, and any that reach the
    // canvas's edge, stay for the painter. The test is exact, in whole numbers of half pixels.
    constexpr int kShortReach = 9;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int w = image.width(), h = image.height();
    auto kept = lines.begin();
    for (const QLine& line : lines) {
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
    lines.erase(kept, lines.end());
}

} // namespace canvas

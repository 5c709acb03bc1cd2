#pragma once

// Whether two pictures of the canvas show the same drawing, when one of them is drawn another way (a vector
// picture drawn back, a canvas drawn again at a new density).

#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace testsupport {

// How far two pictures of the canvas differ, as the share of pixels where they differ visibly once both
// are blurred over 3 x 3 pixels. The canvas is drawn aliased with end points rounded to whole pixels, the
// vector picture anti-aliased at exact positions: the same line then lies up to half a pixel apart and is
// spread over two pixels instead of one. After the blur such a line differs by at most a sixth of its
// contrast (about 43 of 255 for black on the canvas colour), while a line that is missing, in another colour
// or a pixel or more away differs by a third or more (85 and up). A pixel counts as different above 48,
// and a few glyph edges may, so the pictures match when under 0.5 % of the pixels differ; one curve
// missing already differs in several per cent.
inline double difference(const QImage& first, const QImage& second) {
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size())
        return 1.0;
    auto blurred = [](const QImage& image, int x, int y, int shift) {
        int sum = 0, n = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int px = std::clamp(x + dx, 0, image.width() - 1);
                const int py = std::clamp(y + dy, 0, image.height() - 1);
                sum += static_cast<int>((image.pixel(px, py) >> shift) & 0xFF);
                ++n;
            }
        return sum / n;
    };
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const int shift : {0, 8, 16})
                if (std::abs(blurred(a, x, y, shift) - blurred(b, x, y, shift)) > 48) {
                    ++differing;
                    break;
                }
    return static_cast<double>(differing) / (a.width() * a.height());
}

inline constexpr double kSamePicture = 0.005;

} // namespace testsupport

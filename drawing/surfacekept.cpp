#include "drawing/surface.h"

#include <algorithm>

namespace canvas {

std::shared_ptr<const Surface::KeptDrawing> Surface::keepDrawing() {
    if (recording_ || !rasterising_)
        return nullptr;
    takeMarks();
    auto kept = std::make_shared<KeptDrawing>();
    kept->size = size_;
    kept->ratio = ratio_;
    kept->backColor = backColor_;
    kept->foreColor = foreColor_;
    // Outside the rows' drawn columns every pixel is in the back colour, as Cls relies on: only those
    // columns are kept. A frame draws along its two axes, a small part of the canvas.
    kept->spans = drawnSpans_;
    const uchar* bits = image_.constBits();
    for (std::size_t y = 0; y < drawnSpans_.size(); ++y) {
        const auto [left, right] = drawnSpans_[y];
        if (left <= right) {
            const auto* row = reinterpret_cast<const QRgb*>(bits + static_cast<qsizetype>(y) * imageStride_);
            kept->pixels.insert(kept->pixels.end(), row + left, row + right + 1);
        }
    }
    kept->list = list_;
    kept->pendingLines = pendingLines_;
    kept->pendingColour = pendingColour_;
    kept->pendingWidth = pendingWidth_;
    kept->currentX = currentX_;
    kept->currentY = currentY_;
    kept->scale[0] = scaleX1_;
    kept->scale[1] = scaleY1_;
    kept->scale[2] = scaleX2_;
    kept->scale[3] = scaleY2_;
    kept->drawWidth = drawWidth_;
    kept->fontItalic = fontItalic_;
    return kept;
}

bool Surface::putBack(const KeptDrawing& kept) {
    if (recording_ || !rasterising_ || kept.size != size_ || kept.ratio != ratio_ ||
        kept.backColor != backColor_ || kept.foreColor != foreColor_ ||
        kept.spans.size() != static_cast<std::size_t>(imageHeight_))
        return false;
    Cls();
    uchar* bits = image_.bits();
    const QRgb* from = kept.pixels.data();
    for (std::size_t y = 0; y < kept.spans.size(); ++y) {
        const auto [left, right] = kept.spans[y];
        if (left <= right) {
            auto* row = reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * imageStride_);
            const int n = right - left + 1;
            std::copy(from, from + n, row + left);
            from += n;
        }
    }
    drawnSpans_ = kept.spans;
    list_ = kept.list;
    pendingLines_ = kept.pendingLines;
    pendingColour_ = kept.pendingColour;
    pendingWidth_ = kept.pendingWidth;
    currentX_ = kept.currentX;
    currentY_ = kept.currentY;
    scaleX1_ = kept.scale[0];
    scaleY1_ = kept.scale[1];
    scaleX2_ = kept.scale[2];
    scaleY2_ = kept.scale[3];
    remap();
    drawWidth_ = kept.drawWidth;
    fontItalic_ = kept.fontItalic;
    return true;
}

} // namespace canvas

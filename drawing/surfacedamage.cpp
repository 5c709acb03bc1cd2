#include "drawing/surface.h"

#include <algorithm>
#include <utility>

namespace canvas {

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

} // namespace canvas

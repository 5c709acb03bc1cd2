#include "drawing/curvelabels.h"

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {

// Places tried along a curve, from the right edge of the view leftwards.
constexpr int kPlaces = 48;
// The gap in logical pixels between a name and its curve, and between names.
constexpr double kGap = 2;

// The boxes a name must stay clear of, sorted into bands of rows: a dense frame has thousands of numbers,
// and a name asks only about the few in its own rows.
class TakenSpace {
public:
    TakenSpace(const std::vector<QRectF>& taken, QSizeF canvasSize) : height_(canvasSize.height()) {
        bands_.resize(kBands);
        for (const QRectF& t : taken)
            for (int b = band(t.top()); b <= band(t.bottom()); ++b)
                bands_[static_cast<std::size_t>(b)].push_back(t);
    }
    bool clear(const QRectF& box, QSizeF canvasSize) const {
        if (box.left() < 0 || box.top() < 0 || box.right() > canvasSize.width() ||
            box.bottom() > canvasSize.height())
            return false;
        const QRectF padded = box.adjusted(-1, -1, 1, 1);
        for (int b = band(padded.top()); b <= band(padded.bottom()); ++b)
            for (const QRectF& t : bands_[static_cast<std::size_t>(b)])
                if (padded.intersects(t))
                    return false;
        return true;
    }

private:
    static constexpr int kBands = 64;
    int band(double y) const {
        const double b = std::floor(y / height_ * kBands);
        return static_cast<int>(std::clamp(b, 0.0, static_cast<double>(kBands - 1)));
    }
    double height_;
    std::vector<std::vector<QRectF>> bands_;
};

} // namespace

std::optional<QRectF> placeLabel(const CurveRecord& curve, const ViewRange& view, QSizeF canvasSize,
                                 QSizeF size, const std::vector<QRectF>& taken) {
    const double width = view.xmax - view.xmin, height = view.ymax - view.ymin;
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height) ||
        !(canvasSize.height() > 0))
        return std::nullopt;
    const TakenSpace space(taken, canvasSize);
    for (int k = 0; k < kPlaces; ++k) {
        const double x = view.xmax - (k + 0.5) * width / kPlaces;
        const std::optional<double> y = curveValue(curve, x);
        if (!y || *y < view.ymin || *y > view.ymax)
            continue;
        const QPointF at((x - view.xmin) / width * canvasSize.width(),
                         (view.ymax - *y) / height * canvasSize.height());
        // To the left of the point on the side the curve leaves free: above a rising curve, below a
        // falling one; then the other side, then to the right below.
        const std::optional<double> left = curveValue(curve, x - width / kPlaces);
        const bool falling = left && *left > *y;
        const QPointF above(at.x() - size.width() - kGap, at.y() - size.height() - kGap);
        const QPointF below(at.x() - size.width() - kGap, at.y() + kGap);
        for (const QPointF corner :
             {falling ? below : above, falling ? above : below, QPointF(at.x() + kGap, at.y() + kGap)}) {
            const QRectF box(corner, size);
            if (space.clear(box, canvasSize))
                return box;
        }
    }
    for (double top = kGap; top + size.height() <= canvasSize.height(); top += size.height() / 2) {
        const QRectF box(QPointF(canvasSize.width() - size.width() - kGap, top), size);
        if (space.clear(box, canvasSize))
            return box;
    }
    return std::nullopt;
}

std::vector<QRectF> labelObstacles(const Surface& surface, const ViewRange& view) {
    std::vector<QRectF> taken = surface.displayList().textBoxes();
    const QSizeF canvasSize = surface.size();
    const double width = view.xmax - view.xmin, height = view.ymax - view.ymin;
    if (width > 0 && height > 0 && std::isfinite(width) && std::isfinite(height)) {
        // The arrows are half a twentieth of the canvas long and about a third of that wide.
        const double along = canvasSize.width() / 40, across = canvasSize.height() / 40;
        const double axisY = view.ymax / height * canvasSize.height();
        const double axisX = -view.xmin / width * canvasSize.width();
        taken.emplace_back(canvasSize.width() - along, axisY - across, along, 2 * across);
        taken.emplace_back(axisX - across, 0, 2 * across, canvasSize.height() / 40);
    }
    return taken;
}

bool writeCurveLabel(Surface& surface, const ViewRange& view, const CurveRecord& curve, Colour colour) {
    const bool italic = surface.FontItalic();
    surface.setFontItalic(false);
    const std::optional<QRectF> box = placeLabel(curve, view, surface.size(), surface.textSize(curve.formula),
                                                 labelObstacles(surface, view));
    if (box) {
        const Colour before = surface.ForeColor();
        const qreal ratio = surface.deviceRatio();
        const QPointF user = surface.toUser(box->topLeft() * ratio);
        surface.setCurrentX(user.x());
        surface.setCurrentY(user.y());
        surface.setForeColor(colour);
        surface.Print(curve.formula);
        surface.setForeColor(before);
    }
    surface.setFontItalic(italic);
    return box.has_value();
}

} // namespace canvas

#include "drawing/landmark.h"

#include "runtime/runtime.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {

const char* kindName(LandmarkKind kind) {
    switch (kind) {
    case LandmarkKind::XAxisCrossing:
        return "与 x 轴的交点";
    case LandmarkKind::YAxisCrossing:
        return "与 y 轴的交点";
    case LandmarkKind::DomainEnd:
        return "定义域的端点";
    case LandmarkKind::Asymptote:
        return "垂直渐近线";
    case LandmarkKind::EntersFromAbove:
        return "从上方进入视图";
    case LandmarkKind::EntersFromBelow:
        return "从下方进入视图";
    case LandmarkKind::LeavesUpwards:
        return "从上方离开视图";
    case LandmarkKind::LeavesDownwards:
        return "从下方离开视图";
    case LandmarkKind::SharedPoint:
        return "各图象的公共点";
    }
    return "";
}

// Below the view, inside it, above it.
int zone(double y, const ViewRange& v) {
    return y < v.ymin ? -1 : y > v.ymax ? 1 : 0;
}

// Where the curve passes the top (edge 1) or bottom (edge -1) edge of the view between a and b, one of
// them beyond that edge and the other not, halving the interval on the function's own values: the two
// ends of the last interval, a's side first. A value on the edge is inside the view, at the top as at the
// bottom: a sample exactly on the top edge is where the curve leaves, not a step later above the view.
std::pair<double, double> crossing(const CurveRecord& c, double a, double b, int edge, const ViewRange& v) {
    auto beyond = [&](double y) { return edge > 0 ? y > v.ymax : y < v.ymin; };
    const bool aBeyond = beyond(*curveValue(c, a));
    for (int i = 0; i < 80 && a != b; ++i) {
        const double m = a + (b - a) / 2;
        if (m == a || m == b)
            break;
        const std::optional<double> y = curveValue(c, m);
        if (!y)
            break;
        if (beyond(*y) == aBeyond)
            a = m;
        else
            b = m;
    }
    return {a, b};
}

// The sample positions of one piece of the x range that the curve crosses without a break: evenly spaced,
// and ever closer to an end where the curve breaks, since a pole or a domain end may send it out of the
// view within less than a pixel of the end.
std::vector<double> samplePositions(double from, double to, int columns, bool breakAtFrom, bool breakAtTo) {
    std::vector<double> xs;
    const int n = 2 * columns;
    const double step = (to - from) / n;
    // With ends far apart in magnitude (-4e307 to -4e71) from + step * i rounds by more than |to|, past
    // the end of the piece and out of the view: no position passes `to`, and the last is `to` itself.
    for (int i = 0; i < n; ++i)
        xs.push_back(std::min(from + step * i, to));
    xs.push_back(to);
    constexpr int kApproach = 200;
    for (int k = 1; k <= kApproach; ++k) {
        const double d = step * std::ldexp(1.0, -k);
        if (breakAtFrom && from + d > from)
            xs.push_back(from + d);
        if (breakAtTo && to - d < to)
            xs.push_back(to - d);
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

void add(std::vector<Landmark>& out, double x, LandmarkKind kind) {
    for (Landmark& l : out)
        if (l.x == x) {
            l.kinds.push_back(kind);
            return;
        }
    out.push_back(Landmark{x, {kind}});
}

// Where the curve passes the top and bottom edges of the view, going left to right.
void viewEdges(const CurveRecord& c, const ViewRange& v, int columns, std::vector<Landmark>& out) {
    const bool split = breaksAtZero(c) && v.xmin <= 0 && 0 <= v.xmax;
    std::vector<std::pair<double, double>> pieces;
    if (!split)
        pieces.emplace_back(v.xmin, v.xmax);
    if (split && v.xmin < 0)
        pieces.emplace_back(v.xmin, 0.0);
    if (split && v.xmax > 0)
        pieces.emplace_back(0.0, v.xmax);
    for (const auto& [from, to] : pieces) {
        const std::vector<double> xs =
            samplePositions(from, to, columns, split && from == 0, split && to == 0);
        bool havePrevious = false;
        double px = 0;
        double py = 0;
        for (double x : xs) {
            const std::optional<double> y = curveValue(c, x);
            if (!y || (split && x == 0)) {
                havePrevious = false;
                continue;
            }
            if (havePrevious && zone(py, v) != zone(*y, v)) {
                const int a = zone(py, v);
                const int b = zone(*y, v);
                // A step may jump over the whole view: in through one edge, out through the other. Each point
                // is taken on the inside of its edge, so it reads as a point of the view.
                if (a != 0)
                    add(out, crossing(c, px, x, a, v).second,
                        a > 0 ? LandmarkKind::EntersFromAbove : LandmarkKind::EntersFromBelow);
                if (b != 0)
                    add(out, crossing(c, px, x, b, v).first,
                        b > 0 ? LandmarkKind::LeavesUpwards : LandmarkKind::LeavesDownwards);
            }
            havePrevious = true;
            px = x;
            py = *y;
        }
    }
}

// The landmarks a formula gives: axis crossings, domain end, pole, and the family's shared point.
void knownPoints(const CurveRecord& c, std::vector<Landmark>& out) {
    switch (c.kind) {
    case CurveKind::Power: {
        const bool positive = (c.numerator > 0) == (c.denominator > 0);
        if (positive) {
            add(out, 0, LandmarkKind::XAxisCrossing);
            add(out, 0, LandmarkKind::YAxisCrossing);
        }
        if (c.denominator % 2 == 0)
            add(out, 0, LandmarkKind::DomainEnd);
        if (!positive)
            add(out, 0, LandmarkKind::Asymptote);
        add(out, 1, LandmarkKind::SharedPoint);
        break;
    }
    case CurveKind::Exponential:
        add(out, 0, LandmarkKind::YAxisCrossing);
        add(out, 0, LandmarkKind::SharedPoint);
        break;
    case CurveKind::Logarithm:
        add(out, 0, LandmarkKind::DomainEnd);
        add(out, 0, LandmarkKind::Asymptote);
        add(out, 1, LandmarkKind::XAxisCrossing);
        add(out, 1, LandmarkKind::SharedPoint);
        break;
    case CurveKind::Identity:
        add(out, 0, LandmarkKind::XAxisCrossing);
        add(out, 0, LandmarkKind::YAxisCrossing);
        break;
    }
}

} // namespace

bool usableView(const ViewRange& v) {
    return std::isfinite(v.xmin) && std::isfinite(v.xmax) && std::isfinite(v.ymin) && std::isfinite(v.ymax) &&
           v.xmin < v.xmax && v.ymin < v.ymax && std::isfinite(v.xmax - v.xmin) &&
           std::isfinite(v.ymax - v.ymin);
}

std::vector<Landmark> landmarks(const CurveRecord& curve, const ViewRange& view, int columns) {
    std::vector<Landmark> out;
    // A curve that has no value even at x = 1 is a record of refused numbers: it has no points at all.
    if (!usableView(view) || !curveValue(curve, 1))
        return out;
    std::vector<Landmark> known;
    knownPoints(curve, known);
    for (const Landmark& l : known)
        if (view.xmin <= l.x && l.x <= view.xmax)
            out.push_back(l);
    viewEdges(curve, view, std::clamp(columns, 2, 10000), out);
    std::stable_sort(out.begin(), out.end(), [](const Landmark& a, const Landmark& b) { return a.x < b.x; });
    return out;
}

bool crossesXAxis(const CurveRecord& curve, const ViewRange& view, double x) {
    // A step far below a pixel to either side. The signs are read from the sign bits: a high odd power so
    // close to the axis rounds to a zero that still keeps the side it lies on.
    constexpr double kSide = 1e-4;
    const double d = kSide * (view.xmax - view.xmin);
    const std::optional<double> left = curveValue(curve, x - d);
    const std::optional<double> right = curveValue(curve, x + d);
    return left && right && std::signbit(*left) != std::signbit(*right);
}

QString pointReadOut(const CurveRecord& curve, const ViewRange& view, double x) {
    const QString at = QStringLiteral("x = ") + formatPattern(x);
    const std::optional<double> y = curveValue(curve, x);
    if (!y)
        return at + QStringLiteral(", 无定义");
    QString text = at + QStringLiteral(", y = ") + formatPattern(*y);
    if (*y > view.ymax)
        text += QStringLiteral(", 在视图上方");
    else if (*y < view.ymin)
        text += QStringLiteral(", 在视图下方");
    return text;
}

QString landmarkReadOut(const CurveRecord& curve, const ViewRange& view, const Landmark& landmark) {
    QStringList names;
    for (LandmarkKind kind : landmark.kinds)
        names << QString::fromUtf8(kindName(kind));
    return names.join(QStringLiteral(", ")) + QStringLiteral(": ") + pointReadOut(curve, view, landmark.x);
}

} // namespace canvas

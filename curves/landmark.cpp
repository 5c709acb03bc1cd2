#include "curves/landmark.h"

#include "curves/spokentext.h"

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

namespace {

// Enough extra digits for any double to be said exactly.
constexpr int kMostExtraDigits = 17;
// Points this share of the view apart (about a pixel column of the canvas, or row) read differently: a
// zoomed view gets the digits for that, so each step of the exploration is heard to move.
constexpr double kReadOutParts = 500;

// The extra digits a read-out needs in the view: for x across it, for y up it. A value beyond the view
// keeps its own digits: it is not in the picture whose pixels the resolution follows.
int digitsAcross(double x, const ViewRange& view) {
    return view.xmin <= x && x <= view.xmax ? extraDigitsFor(x, (view.xmax - view.xmin) / kReadOutParts) : 0;
}
int digitsUp(double y, const ViewRange& view) {
    return view.ymin <= y && y <= view.ymax ? extraDigitsFor(y, (view.ymax - view.ymin) / kReadOutParts) : 0;
}

// A point as a read-out says it: the digits of x, and those of the curve's value at the x so said, not at
// the unrounded one, so that what is said is true as said.
struct SaidPoint {
    QString x;
    std::optional<QString> y;
};

// A value's digits, with as many more as keep it on the side of the view's edges that the value is on: a
// value just inside the top edge is never said as a number above it.
QString valueDigits(double y, const ViewRange& view) {
    int extra = digitsUp(y, view);
    QString digits = readOutDigits(y, extra);
    while (extra < kMostExtraDigits && zone(digitsValue(digits), view) != zone(y, view))
        digits = readOutDigits(y, ++extra);
    return digits;
}

// x said to `extraDigits` more than a read-out's own digits.
SaidPoint sayPoint(const CurveRecord& curve, const ViewRange& view, double x, int extraDigits) {
    SaidPoint said{readOutDigits(x, extraDigits), std::nullopt};
    // A point that is not a number has no value, though its digits read 0.
    const std::optional<double> y = std::isfinite(x) ? curveValue(curve, digitsValue(said.x)) : std::nullopt;
    if (y)
        said.y = valueDigits(*y, view);
    return said;
}

QString words(const SaidPoint& point, const ViewRange& view) {
    const QString at = QStringLiteral("x 等于 ") + spokenNumber(point.x);
    if (!point.y)
        return at + QStringLiteral(", 无定义");
    QString text = at + QStringLiteral(", y 等于 ") + spokenNumber(*point.y);
    const int side = zone(digitsValue(*point.y), view);
    if (side > 0)
        text += QStringLiteral(", 在视图上方");
    else if (side < 0)
        text += QStringLiteral(", 在视图下方");
    return text;
}

} // namespace

QString pointReadOut(const CurveRecord& curve, const ViewRange& view, double x) {
    return words(sayPoint(curve, view, x, digitsAcross(x, view)), view);
}

QString landmarkReadOut(const CurveRecord& curve, const ViewRange& view, const Landmark& landmark) {
    QStringList names;
    for (LandmarkKind kind : landmark.kinds)
        names << QString::fromUtf8(kindName(kind));
    // What makes the point a landmark is its value (the edge it crosses, the 0 it reaches): x is said to
    // as many digits as keep the value at the said x the landmark's own as said, so the point entering the
    // view at y = 10 never reads 9.99, nor the one beside an asymptote at x = 0 reads x = 0.
    const std::optional<double> value = curveValue(curve, landmark.x);
    const std::optional<QString> wanted =
        value ? std::optional<QString>(valueDigits(*value, view)) : std::nullopt;
    int extra = digitsAcross(landmark.x, view);
    SaidPoint point = sayPoint(curve, view, landmark.x, extra);
    while (extra < kMostExtraDigits && point.y != wanted)
        point = sayPoint(curve, view, landmark.x, ++extra);
    return names.join(QStringLiteral("、")) + QStringLiteral(", ") + words(point, view);
}

} // namespace canvas

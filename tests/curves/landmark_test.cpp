// Landmarks and read-outs of a curve, from the function itself: what a pupil who cannot see the canvas
// hears when jumping along a curve.

#include "curves/landmark.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

using namespace canvas;

namespace {

const ViewRange kView{-10, 10, -10, 10, 1, 1};

QStringList readOuts(const CurveRecord& curve, const ViewRange& view, int columns = 389) {
    QStringList texts;
    for (const Landmark& l : landmarks(curve, view, columns))
        texts << landmarkReadOut(curve, view, l);
    return texts;
}

} // namespace

TEST(Landmark, EachFamilyListsItsCrossingsDomainAsymptoteAndSharedPoint) {
    struct Case {
        CurveRecord curve;
        QStringList expected;
    };
    // An edge is met where the curve's value, at the x said, reads as the edge's and lies inside the view:
    // x gets the digits for that (2^3.322 is above 10, 2^3.3219 not). Beside an asymptote at x = 0 the
    // curve enters at 2^-10, which is not said as 0.
    const Case cases[] = {
        {powerCurve(2, 1, "y = x^2"),
         {"从上方进入视图, x 等于 负 3.162, y 等于 10", "与 x 轴的交点、与 y 轴的交点, x 等于 0, y 等于 0",
          "各图象的公共点, x 等于 1, y 等于 1", "从上方离开视图, x 等于 3.162, y 等于 10"}},
        {powerCurve(-1, 1, "y = x^(-1)"),
         {"从下方离开视图, x 等于 负 0.1, y 等于 负 10", "垂直渐近线, x 等于 0, 无定义",
          "从上方进入视图, x 等于 0.1, y 等于 10", "各图象的公共点, x 等于 1, y 等于 1"}},
        {powerCurve(1, 2, "y = x^(1/2)"),
         {"与 x 轴的交点、与 y 轴的交点、定义域的端点, x 等于 0, y 等于 0",
          "各图象的公共点, x 等于 1, y 等于 1"}},
        {baseCurve(CurveKind::Exponential, 2, "y = 2^x"),
         {"与 y 轴的交点、各图象的公共点, x 等于 0, y 等于 1", "从上方离开视图, x 等于 3.3219, y 等于 10"}},
        {baseCurve(CurveKind::Logarithm, 2, "y = log_2 x"),
         {"定义域的端点、垂直渐近线, x 等于 0, 无定义", "从下方进入视图, x 等于 0.000977, y 等于 负 10",
          "与 x 轴的交点、各图象的公共点, x 等于 1, y 等于 0"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readOuts(c.curve, kView).join(" | ").toStdString(), c.expected.join(" | ").toStdString());
}

TEST(Landmark, EdgesAreFoundOnTheFunctionNotOnPixels) {
    // log_2 x enters the view at 2^-10, far inside the first pixel column right of the asymptote.
    const auto found = landmarks(baseCurve(CurveKind::Logarithm, 2, "y = log_2 x"), kView, 389);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_DOUBLE_EQ(found[1].x, std::ldexp(1.0, -10));
    // A step that jumps over the whole view leaves two landmarks in order: in from below, out at the top.
    const auto steep = landmarks(identityCurve(), ViewRange{1, 10, 5, 5.0001, 1, 1}, 2);
    ASSERT_EQ(steep.size(), 2u);
    EXPECT_EQ(steep[0].kinds, std::vector<LandmarkKind>{LandmarkKind::EntersFromBelow});
    EXPECT_EQ(steep[1].kinds, std::vector<LandmarkKind>{LandmarkKind::LeavesUpwards});
    // A sample exactly on an edge is a point of the view, at the top as at the bottom: y = x^2 on
    // -3..3 sampled every 0.5 enters and leaves where it reaches y = 4, not half a unit later above it;
    // y = x reaches y = 4 between samples and leaves through the last double not above it.
    const ViewRange edges{-3, 3, -4, 4, 1, 1};
    EXPECT_EQ(readOuts(powerCurve(2, 1, "y = x^2"), edges, 6).join(" | ").toStdString(),
              "从上方进入视图, x 等于 负 2, y 等于 4 | 与 x 轴的交点、与 y 轴的交点, x 等于 0, y 等于 0 | "
              "各图象的公共点, x 等于 1, y 等于 1 | 从上方离开视图, x 等于 2, y 等于 4");
    const auto line = landmarks(identityCurve(), ViewRange{-10, 10, -1, 4, 1, 1}, 389);
    EXPECT_EQ(line.back().x, 4.0);
}

TEST(Landmark, StayInsideTheViewHoweverFarApartItsLimits) {
    // The evenly spaced samples of -4e307..-4e71 round past the right edge, up to x = 0 and beyond.
    const ViewRange v{-4.3268006334186373e307, -4.2525583699827984e71, -4.2525583765009148e71, 1e-77, 1, 1};
    const auto found = landmarks(identityCurve(), v, 389);
    ASSERT_FALSE(found.empty());
    for (const Landmark& l : found)
        EXPECT_TRUE(v.xmin <= l.x && l.x <= v.xmax) << l.x;
}

TEST(Landmark, ReadOutsAndValuesFollowTheFunction) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        CurveRecord curve;
        double x;
        QString text;
    };
    const Case cases[] = {
        {powerCurve(2, 1, "y = x^2"), 1.5, "x 等于 1.5, y 等于 2.25"},
        {powerCurve(2, 1, "y = x^2"), 4, "x 等于 4, y 等于 16, 在视图上方"},
        {powerCurve(3, 1, "y = x^3"), -4, "x 等于 负 4, y 等于 负 64, 在视图下方"},
        {powerCurve(2, 3, "y = x^(2/3)"), -8, "x 等于 负 8, y 等于 4"},
        {powerCurve(1, 3, "y = x^(1/3)"), -8, "x 等于 负 8, y 等于 负 2"},
        // y is the value at the x said, not at the unrounded one: (-9.95)^2 is 99.0025.
        {powerCurve(2, 1, "y = x^2"), -10 + 20.0 / 389, "x 等于 负 9.95, y 等于 99, 在视图上方"},
        // A value that is not 0 is never said as 0.
        {powerCurve(2, 1, "y = x^2"), 0.05, "x 等于 0.05, y 等于 0.0025"},
        {baseCurve(CurveKind::Exponential, 2, "y = 2^x"), -10, "x 等于 负 10, y 等于 0.00098"},
        {baseCurve(CurveKind::Exponential, 10, "y = 10^x"), -7, "x 等于 负 7, y 等于 1 乘 10 的 负 7 次方"},
        {powerCurve(1, 1, "y = x^1"), 1e-5, "x 等于 1 乘 10 的 负 5 次方, y 等于 1 乘 10 的 负 5 次方"},
        // At the edge as said is inside the view.
        {powerCurve(2, 1, "y = x^2"), 3.1623, "x 等于 3.16, y 等于 9.99"},
        {identityCurve(), 10.001, "x 等于 10, y 等于 10"},
        // The denominator as typed: 2/4 leaves x < 0 undefined, as the plot does.
        {powerCurve(2, 4, "y = x^(2/4)"), -1, "x 等于 负 1, 无定义"},
        {powerCurve(-1, 1, "y = x^(-1)"), 0, "x 等于 0, 无定义"},
        {baseCurve(CurveKind::Logarithm, 1, "y = log_1 x"), 2, "x 等于 2, 无定义"},
        {powerCurve(1, 0, "y = x^(1/0)"), 2, "x 等于 2, 无定义"},
        {powerCurve(2, 1, "y = x^2"), nan, "x 等于 0, 无定义"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointReadOut(c.curve, kView, c.x).toStdString(), c.text.toStdString());
    // A value inside the view is never said as a number beyond its edge: 1.41^2 = 1.9881 is not "1.99"
    // under a top edge of 1.9885, and a value beyond the largest double's digits is above every view.
    EXPECT_EQ(
        pointReadOut(powerCurve(2, 1, "y = x^2"), ViewRange{-10, 10, -10, 1.9885, 1, 1}, 1.41).toStdString(),
        "x 等于 1.41, y 等于 1.988");
    EXPECT_EQ(pointReadOut(baseCurve(CurveKind::Exponential, 10, "y = 10^x"), kView, 400).toStdString(),
              "x 等于 400, y 等于 1.8 乘 10 的 308 次方, 在视图上方");
    // Zoomed in, x and y get the digits that tell neighbouring pixel columns apart.
    const ViewRange zoomed{0.99, 1.01, 0.99, 1.01, 0.01, 0.01};
    EXPECT_EQ(pointReadOut(identityCurve(), zoomed, 1.00005).toStdString(), "x 等于 1.00005, y 等于 1.00005");
    EXPECT_NE(pointReadOut(identityCurve(), zoomed, 1),
              pointReadOut(identityCurve(), zoomed, 1 + 0.02 / 389));
    // Overflow keeps a finite value of its sign.
    EXPECT_EQ(curveValue(baseCurve(CurveKind::Exponential, 10, "y = 10^x"), 400),
              std::numeric_limits<double>::max());
}

TEST(Landmark, UnusableViewsHaveNone) {
    const double inf = std::numeric_limits<double>::infinity();
    for (const ViewRange& v : {ViewRange{10, -10, -10, 10, 1, 1}, ViewRange{-inf, 10, -10, 10, 1, 1},
                               ViewRange{-1e308, 1e308, -10, 10, 1, 1}, ViewRange{-10, 10, 5, 5, 1, 1}})
        EXPECT_TRUE(landmarks(powerCurve(2, 1, "y = x^2"), v, 389).empty());
}

// The crossing tick of the curve's sound is for a curve that goes over to the other side of the x axis;
// one that reaches the axis and turns back, or begins on it, only touches it (the landmark keeps its name).
TEST(Landmark, CrossingTheXAxisIsToldFromOnlyReachingIt) {
    struct Case {
        CurveRecord curve;
        double x;
        bool crosses;
    };
    const Case cases[] = {
        {powerCurve(3, 1, "y = x^3"), 0, true},
        {powerCurve(1, 3, "y = x^(1/3)"), 0, true},
        {baseCurve(CurveKind::Logarithm, 2, "y = log_2 x"), 1, true},
        {powerCurve(2, 1, "y = x^2"), 0, false},
        {powerCurve(2, 3, "y = x^(2/3)"), 0, false},
        {powerCurve(1, 2, "y = x^(1/2)"), 0, false},
        // So close to the axis a high power rounds to zero, on its own side.
        {powerCurve(201, 1, "y = x^201"), 0, true},
        {powerCurve(200, 1, "y = x^200"), 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(crossesXAxis(c.curve, kView, c.x), c.crosses) << c.curve.formula.toStdString();
}

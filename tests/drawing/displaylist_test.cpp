// The display list: segments that join grow one polyline, points below a sixteenth of a pixel are folded
// away without moving the drawing by more than that, and anything that breaks a run starts a new item.

#include "drawing/displaylist.h"
#include "drawing/surface.h"

#include <QPolygonF>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using canvas::DisplayList;

namespace {

constexpr double kTolerance = 1.0 / 16.0;

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double len2 = ab.x() * ab.x() + ab.y() * ab.y();
    double t = len2 > 0 ? ((p - a).x() * ab.x() + (p - a).y() * ab.y()) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + t * ab;
    return std::hypot(p.x() - q.x(), p.y() - q.y());
}

std::vector<QPolygonF> polylines(const DisplayList& list) {
    return list.polylines();
}

// The farthest any input point lies from the kept polyline, the points reached in order.
double farthest(const std::vector<QPointF>& input, const QPolygonF& kept) {
    double worst = 0;
    std::size_t segment = 0;
    for (const QPointF& p : input) {
        double best = 1e9;
        std::size_t bestSegment = segment;
        for (std::size_t s = segment; s + 1 < static_cast<std::size_t>(kept.size()) && s < segment + 3; ++s) {
            const double d = distanceToSegment(p, kept[static_cast<int>(s)], kept[static_cast<int>(s) + 1]);
            if (d < best) {
                best = d;
                bestSegment = s;
            }
        }
        segment = bestSegment;
        worst = std::max(worst, best);
    }
    return worst;
}

struct CurveCase {
    const char* name;
    std::function<QPointF(double)> at; // t in [0, 1]
    int samples;
    std::size_t maxPoints;
};

} // namespace

TEST(DisplayList, FinelySampledCurvesStayWithinASixteenthOfAPixelInFewPoints) {
    const CurveCase cases[] = {
        {"parabola",
         [](double t) {
             const double x = -20 + 40 * t;
             return QPointF(200 + x * 5, 10 + x * x);
         },
         200000, 400},
        {"straight line", [](double t) { return QPointF(10 + 300 * t, 20 + 200 * t); }, 100000, 2},
        {"circle",
         [](double t) { return QPointF(200 + 150 * std::cos(6.283 * t), 200 + 150 * std::sin(6.283 * t)); },
         100000, 300},
        {"there and back", [](double t) { return QPointF(10 + 300 * (t < 0.5 ? 2 * t : 2 - 2 * t), 50); },
         10000, 3},
        {"zigzag below the tolerance",
         [](double t) { return QPointF(10 + 300 * t, 50 + ((static_cast<int>(t * 10000) % 2) ? 0.03 : 0)); },
         10000, 2},
    };
    for (const CurveCase& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayList list(QSize(400, 400), 0xFFFFFF, QFont());
        std::vector<QPointF> input;
        for (int i = 0; i <= c.samples; ++i)
            input.push_back(c.at(static_cast<double>(i) / c.samples));
        for (std::size_t i = 1; i < input.size(); ++i)
            list.addLine(input[i - 1], input[i], 0xFF, 2);
        const auto lines = polylines(list);
        ASSERT_EQ(lines.size(), 1u);
        const QPolygonF& kept = lines.front();
        EXPECT_LE(static_cast<std::size_t>(kept.size()), c.maxPoints);
        EXPECT_EQ(kept.front(), input.front());
        EXPECT_EQ(kept.back(), input.back());
        EXPECT_LE(farthest(input, kept), kTolerance + 1e-9);
    }
}

// A plot of a very wide view draws each of its samples as a dash far shorter than a pixel, the dashes a
// few thousandths of a pixel apart (the widest run: x^-1 over 26817 units): one line of few points, as
// near the dashes as a joined curve is to its samples.
TEST(DisplayList, DashesCloserThanTheToleranceMakeOneLine) {
    DisplayList list(QSize(400, 400), 0xFFFFFF, QFont());
    std::vector<QPointF> input;
    const int dashes = 200000;
    for (int i = 0; i < dashes; ++i) {
        const double x = 10 + 380.0 * i / dashes;
        const QPointF from(x, 200 + 50 * std::sin(x / 40));
        const QPointF to(x + 2e-6, from.y());
        list.addLine(from, to, 0xFF, 4);
        input.push_back(from);
        input.push_back(to);
    }
    const auto lines = polylines(list);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(lines.front().size(), 200);
    EXPECT_LE(farthest(input, lines.front()), 2 * kTolerance);
}

TEST(DisplayList, ARunBreaksOnColourWidthAGapOrAnotherItem) {
    struct Case {
        const char* name;
        std::function<void(DisplayList&)> draw;
        std::size_t items;
    };
    const Case cases[] = {
        {"joined, same pen",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addLine({10, 0}, {10, 10}, 1, 1);
         },
         1},
        {"another colour",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addLine({10, 0}, {10, 10}, 2, 1);
         },
         2},
        {"another width",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addLine({10, 0}, {10, 10}, 1, 2);
         },
         2},
        {"a gap",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addLine({11, 0}, {20, 0}, 1, 1);
         },
         2},
        {"a gap just past the tolerance",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addLine({10.1, 0}, {20, 0}, 1, 1);
         },
         2},
        {"a gap below the tolerance",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addLine({10.05, 0}, {20, 5}, 1, 1);
         },
         1},
        {"a dot between",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addDot({5, 5}, 1, 1);
             l.addLine({10, 0}, {20, 0}, 1, 1);
         },
         3},
        {"a text between",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.addText({5, 5}, "1", 1, false);
             l.addLine({10, 0}, {20, 0}, 1, 1);
         },
         3},
        {"cleared",
         [](DisplayList& l) {
             l.addLine({0, 0}, {10, 0}, 1, 1);
             l.clear();
             l.addLine({10, 0}, {20, 0}, 1, 1);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayList list(QSize(100, 100), 0xFFFFFF, QFont());
        c.draw(list);
        EXPECT_EQ(list.itemCount(), c.items);
    }
}

TEST(DisplayList, TheSurfaceKeepsWhatItDrewSinceTheLastClsInLogicalPixels) {
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        canvas::Surface s(QSize(200, 100), 0xFFFFFF, 0, ratio);
        s.Line(0, 0, 50, 50, 0xFF);
        s.Cls();
        s.Scale(-10, 10, 10, -10);
        s.setDrawWidth(2);
        s.Line(-10, 0, 10, 0, 0xFF);       // the full width
        s.Line(-1e30, 5, 1e30, 5, 0xFF00); // clipped near the canvas
        s.Line(-10, 1e30, 10, 1e30, 0xFF); // far off: nothing
        s.PSet(0, 0);
        s.setCurrentX(0);
        s.setCurrentY(0);
        s.Print("12");
        s.setCurrentX(15); // right of the canvas: nothing of it shows, nothing is kept
        s.Print("34");
        s.Line(10.5, -10, 10.5, 10, 0xFF); // just beside the right edge
        EXPECT_EQ(s.displayList().itemCount(), 4u);
        const auto lines = polylines(s.displayList());
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].front(), QPointF(0, 50));
        // Like the canvas, the right edge is drawn on the last device pixel.
        EXPECT_EQ(lines[0].back(), QPointF(200 - 1 / ratio, 50));
        EXPECT_GT(lines[1].front().x(), -20);
        EXPECT_LT(lines[1].back().x(), 220);
        EXPECT_DOUBLE_EQ(lines[1].front().y(), 25);
    }
}

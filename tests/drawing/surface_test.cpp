#include "drawing/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

using namespace canvas;

namespace {
const QColor kBack(255, 255, 192);
}

TEST(Surface, MapsUserUnitsLinearlyWithYGrowingUpward) {
    Surface s(QSize(200, 100), RGB(255, 255, 192), 0);
    s.Scale(-10, 5, 10, -5);
    EXPECT_EQ(s.toPixel(-10, 5), QPointF(0, 0));
    EXPECT_EQ(s.toPixel(0, 0), QPointF(100, 50));
    EXPECT_EQ(s.toUser(QPointF(150, 25)), QPointF(5, 2.5));
}

TEST(Surface, LineDrawsInItsColourAndWidth) {
    Surface s(QSize(200, 100), RGB(255, 255, 192), 0);
    s.Scale(0, 100, 200, 0);
    s.setDrawWidth(2);
    s.Line(10, 50, 190, 50, RGB(255, 0, 0));
    const QImage& image = s.Image();
    EXPECT_EQ(image.pixelColor(100, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(100, 40), kBack);
}

TEST(Surface, HugeCoordinatesAreClippedNotOverflowed) {
    Surface s(QSize(200, 100), RGB(255, 255, 192), 0);
    s.Scale(-10, 10, 10, -10);
    // A steep segment to a far point still crosses the canvas where it should.
    s.Line(0, 0, 0, 3e38, 0);
    s.Line(-FLT_MAX, -1, FLT_MAX, -1, 0);
    s.Line(1e30, 1e30, 2e30, 2e30, 0); // wholly outside: nothing
    const QImage& image = s.Image();
    EXPECT_EQ(image.pixelColor(100, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 55), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(150, 20), kBack);
    EXPECT_THROW(s.Line(0, 0, 1e39, 0, 0), RuntimeError);
}

TEST(Surface, ClsForgetsThePictureAndPSetUsesTheForeColour) {
    Surface s(QSize(50, 50), RGB(255, 255, 192), RGB(0, 0, 255));
    s.Scale(0, 50, 50, 0);
    s.PSet(25, 25);
    EXPECT_EQ(s.Image().pixelColor(25, 25), QColor(0, 0, 255));
    s.Cls();
    EXPECT_EQ(s.Image().pixelColor(25, 25), kBack);
}

TEST(Surface, PrintPutsTheTopLeftCornerAtTheCurrentPosition) {
    Surface s(QSize(200, 100), RGB(255, 255, 192), 0);
    s.Scale(0, 100, 200, 0); // y grows upward: text must still be upright, hanging down from the point
    s.setCurrentX(50);
    s.setCurrentY(80);
    s.Print(QStringLiteral("8888"));
    const QImage& image = s.Image();
    int top = -1, left = -1;
    for (int y = 0; y < 100 && top < 0; ++y)
        for (int x = 0; x < 200; ++x)
            if (image.pixelColor(x, y) != kBack) {
                top = y;
                break;
            }
    for (int x = 0; x < 200 && left < 0; ++x)
        for (int y = 0; y < 100; ++y)
            if (image.pixelColor(x, y) != kBack) {
                left = x;
                break;
            }
    EXPECT_GE(top, 20);
    EXPECT_LE(top, 25);
    EXPECT_GE(left, 50);
    EXPECT_LE(left, 53);
    // The next Print starts at the left edge, one text line lower.
    EXPECT_EQ(s.CurrentX(), 0);
    EXPECT_LT(s.CurrentY(), 80);
}

TEST(Surface, PrintsNumbersInTheGeneralForm) {
    Surface s(QSize(50, 50), RGB(255, 255, 192), 0);
    s.setRecording(true);
    s.Print(0.1 + 0.1 + 0.1);
    s.Print(-2.5);
    ASSERT_EQ(s.operations().size(), 2u);
    EXPECT_EQ(s.operations()[0].toString(), "Print(0.3)");
    EXPECT_EQ(s.operations()[1].toString(), "Print(-2.5)");
}

TEST(Surface, ScaleRefusesAnEmptyOrUnrepresentableMapping) {
    Surface s(QSize(50, 50), RGB(255, 255, 192), 0);
    EXPECT_THROW(s.Scale(1, 1, 1, 0), RuntimeError);
    EXPECT_THROW(s.Scale(0, 1, 1, 1), RuntimeError);
    EXPECT_THROW(s.Scale(-3e38, 1, 3e38, 0), RuntimeError);
    EXPECT_NO_THROW(s.Scale(-1e38, 1, 1e38, 0));
}

TEST(ClipSegment, KeepsThePartInsideTheRectangle) {
    double x1 = -100, y1 = 5, x2 = 100, y2 = 5;
    ASSERT_TRUE(clipSegment(x1, y1, x2, y2, 0, 0, 10, 10));
    EXPECT_DOUBLE_EQ(x1, 0);
    EXPECT_DOUBLE_EQ(x2, 10);
    double a = 20, b = 20, c = 30, d = 30;
    EXPECT_FALSE(clipSegment(a, b, c, d, 0, 0, 10, 10));
    double e = -1e300, f = -1e300, g = 1e300, h = 1e300;
    ASSERT_TRUE(clipSegment(e, f, g, h, 0, 0, 10, 10));
    EXPECT_NEAR(e, 0, 1e-9);
    EXPECT_NEAR(g, 10, 1e-9);
    // Found by fuzzing: the far end's ratio rounds to exactly 1, so no boundary clips it, yet it lies
    // 1e21 beyond the right edge.
    double i = -6.321912601129199e37, j = -6.321912601129199e37, k = 3.6890344072272544e21, l = 0;
    if (clipSegment(i, j, k, l, -9, -9, 22, 35)) {
        for (const double x : {i, k})
            EXPECT_TRUE(x >= -9 && x <= 22) << x;
        for (const double y : {j, l})
            EXPECT_TRUE(y >= -9 && y <= 35) << y;
    }
}

TEST(Surface, PointerPositionsStayFiniteFarOutsideAHugeMapping) {
    // Found by the exerciser: a pointer held far outside a canvas mapped to +-1e38 read as infinity.
    Surface s(QSize(389, 373), RGB(255, 255, 192), 0);
    s.Scale(-1.5e38, 1.5e38, 1.5e38, -1.5e38);
    const QPointF far = s.toUser(QPointF(-2000, 5000));
    EXPECT_TRUE(std::isfinite(far.x()));
    EXPECT_TRUE(std::isfinite(far.y()));
    EXPECT_EQ(far.x(), -static_cast<double>(FLT_MAX));
}

TEST(Surface, WithoutRasterisingOperationsAreRecordedAndCheckedButDrawNothing) {
    // The same drawing on two surfaces: one draws the pixels, the other only records.
    auto draw = [](Surface& s) {
        s.Cls();
        s.Scale(-10, 10, 10, -10);
        s.setDrawWidth(2);
        s.Line(-10, 0, 10, 0, RGB(255, 0, 0));
        s.PSet(1, 1);
        s.setCurrentX(2);
        s.setCurrentY(3);
        s.Print(0.5);
        s.Print(QStringLiteral("y=x"));
        EXPECT_THROW(s.Line(0, 0, 1e39, 0, 0), RuntimeError);
    };
    Surface drawn(QSize(200, 100), RGB(255, 255, 192), 0);
    Surface counted(QSize(200, 100), RGB(255, 255, 192), 0);
    const QImage blank = counted.Image().copy();
    drawn.setRecording(true);
    counted.setRecording(true);
    counted.setRasterising(false);
    draw(drawn);
    draw(counted);

    EXPECT_EQ(counted.Image(), blank);
    EXPECT_NE(drawn.Image(), blank);
    ASSERT_EQ(counted.operations().size(), drawn.operations().size());
    for (std::size_t i = 0; i < drawn.operations().size(); ++i)
        EXPECT_EQ(counted.operations()[i].toString(), drawn.operations()[i].toString());
    EXPECT_EQ(counted.CurrentX(), drawn.CurrentX());
    EXPECT_EQ(counted.CurrentY(), drawn.CurrentY());
}

// Lines wait in a batch while text is blended straight into the pixels. Whatever the order in which they
// finally reach the picture, it must be the one of drawing each at once: lines in the text's colour under
// and over numbers, thick and thin, and lines of another colour.
TEST(Surface, BatchedLinesAndTextGiveThePictureOfDrawingEachAtOnce) {
    struct Step {
        enum { Line, Width, Text } kind;
        double x1, y1, x2, y2;
        canvas::Colour colour;
    };
    const canvas::Colour red = canvas::RGB(200, 30, 30);
    const std::vector<std::vector<Step>> scripts = {
        {{Step::Line, -5, 0.1, 5, 0.1, 0}, {Step::Text, -4, 0.4, 0, 0, 0}, {Step::Line, -3, 1, -3, -1, 0}},
        {{Step::Text, -4, 0.4, 0, 0, 0}, {Step::Width, 2, 0, 0, 0, 0}, {Step::Line, -5, 0.2, 5, 0.1, 0}},
        {{Step::Line, -5, 0.1, 5, 0.1, red}, {Step::Text, -4, 0.4, 0, 0, 0}, {Step::Line, -4, 0.3, 4, 0, 0}},
        {{Step::Width, 2, 0, 0, 0, 0},
         {Step::Line, -4, 0.3, 4, 0, red},
         {Step::Text, -4, 0.4, 0, 0, 0},
         {Step::Line, -4.1, -0.2, 4, 0.5, 0},
         {Step::Text, -3.9, 0.35, 0, 0, 0}},
    };
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        canvas::Surface batched(QSize(120, 60), canvas::RGB(255, 255, 192), 0);
        canvas::Surface eager(QSize(120, 60), canvas::RGB(255, 255, 192), 0);
        for (canvas::Surface* s : {&batched, &eager}) {
            s->Scale(-5, 1, 5, -1);
            for (const Step& step : scripts[i]) {
                if (step.kind == Step::Line)
                    s->Line(step.x1, step.y1, step.x2, step.y2, step.colour);
                else if (step.kind == Step::Width)
                    s->setDrawWidth(static_cast<int>(step.x1));
                else {
                    s->setCurrentX(step.x1);
                    s->setCurrentY(step.y1);
                    s->Print(QStringLiteral("-0.0123"));
                }
                if (s == &eager)
                    s->Image(); // draws what waits at once
            }
        }
        EXPECT_EQ(batched.Image(), eager.Image()) << "script " << i;
    }
}

// Numbers printed again and again at one place leave it alone once it no longer changes; a line of another
// colour drawn across it in between, or a Cls, must bring the blending back: the number over the red
// line shows its edges on the red, and after a Cls it is printed at all.
TEST(Surface, RepeatedTextAtOnePlaceIsBlendedAgainOverWhatChangedSince) {
    canvas::Surface s(QSize(60, 30), canvas::RGB(255, 255, 192), 0);
    s.Scale(0, 0, 60, 30);
    auto print = [&](int times) {
        for (int i = 0; i < times; ++i) {
            s.setCurrentX(10);
            s.setCurrentY(5);
            s.Print(QStringLiteral("88"));
        }
    };
    auto countWhere = [&](auto test) {
        const QImage& image = s.Image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 10; x < 30; ++x)
                n += test(QColor(image.pixel(x, y)));
        return n;
    };
    auto red = [](QColor c) { return c == QColor(200, 30, 30); };
    auto blendedRed = [](QColor c) { return c.red() > c.green() + 40 && c != QColor(200, 30, 30); };
    print(200); // the faintest edges take over a hundred blends to settle
    for (int y = 0; y < 30; ++y)
        s.Line(0, y + 0.5, 60, y + 0.5, canvas::RGB(200, 30, 30));
    ASSERT_EQ(countWhere(blendedRed), 0);
    print(1);
    EXPECT_GT(countWhere(blendedRed), 0) << "the edges of the numbers over the red";
    EXPECT_GT(countWhere(red), 0);
    s.Cls();
    print(1);
    EXPECT_GT(countWhere([](QColor c) { return c.red() < 100; }), 0) << "the numbers after a Cls";
}

namespace {

// One line in the colour (10, 20, 30) drawn by a plain painter with the surface's pen, on its back colour.
QImage paintersLine(QSize size, const QLine& line, int width) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(255, 255, 192));
    QPainter p(&image);
    QPen pen(QColor(10, 20, 30));
    pen.setWidth(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(line);
    return image;
}

} // namespace

// Thin lines along a row or a column are set straight into the pixels rather than through the painter;
// the pixels must be the painter's own, for every length and direction, at the edges and partly outside.
TEST(Surface, ThinRowAndColumnLinesAreThePaintersPixels) {
    const QSize size(40, 30);
    std::vector<QLine> lines;
    for (int length = 0; length <= 12; ++length)
        for (const QPoint start :
             {QPoint(5, 5), QPoint(0, 0), QPoint(39, 29), QPoint(-3, 10), QPoint(36, 27)})
            for (const QPoint direction : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                lines.emplace_back(start, start + length * direction);
    lines.emplace_back(QPoint(-9, 3), QPoint(48, 3));
    lines.emplace_back(QPoint(20, -9), QPoint(20, 38));
    for (const QLine& line : lines) {
        canvas::Surface surface(size, canvas::RGB(255, 255, 192), 0);
        surface.Scale(0, 0, size.width(), size.height());
        surface.Line(line.x1(), line.y1(), line.x2(), line.y2(), canvas::RGB(10, 20, 30));
        EXPECT_EQ(surface.Image(), paintersLine(size, line, 1))
            << line.x1() << "," << line.y1() << " to " << line.x2() << "," << line.y2();
    }
}

// Short two-pixel segments (the steps of every curve) are also set straight into the pixels: they must be
// the painter's pixels for every direction and length on both sides of the limit where the painter takes
// over, at several places on the canvas and at its edges.
TEST(Surface, ShortWideSegmentsAreThePaintersPixels) {
    const QSize size(48, 40);
    for (const QPoint start : {QPoint(20, 20), QPoint(17, 23), QPoint(1, 1), QPoint(46, 38), QPoint(0, 20)})
        for (int dx = -12; dx <= 12; ++dx)
            for (int dy = -12; dy <= 12; ++dy) {
                const QLine line(start, start + QPoint(dx, dy));
                // An end on the far edge is moved onto the last pixel, unlike the painter's.
                if (line.x2() == size.width() || line.y2() == size.height())
                    continue;
                canvas::Surface surface(size, canvas::RGB(255, 255, 192), 0);
                surface.Scale(0, 0, size.width(), size.height());
                surface.setDrawWidth(2);
                surface.Line(line.x1(), line.y1(), line.x2(), line.y2(), canvas::RGB(10, 20, 30));
                ASSERT_EQ(surface.Image(), paintersLine(size, line, 2))
                    << start.x() << "," << start.y() << " by " << dx << "," << dy;
            }
}

// A polyline is drawn as its segments would be, one Line each: the same pixels and the same display list,
// for flat and steep exponential and logarithmic curves sampled from a few to thousands of times per pixel
// column, running off the canvas and far beyond it, in two colours and both pen widths.
TEST(Surface, PolylinesDrawWhatTheirSegmentsDraw) {
    struct Curve {
        bool logarithm;
        double base;
    };
    const Curve curves[] = {{false, 2}, {false, 0.5}, {false, 10}, {false, 1.01}, {true, 2}, {true, 0.1}};
    const double halfWidths[] = {2.5, 10, 40, 1000};
    for (const Curve& curve : curves)
        for (const double half : halfWidths)
            for (const int width : {1, 2}) {
                const double step = std::max(1 / (2 * half), 0.005);
                std::vector<float> xs, ys;
                for (double x = curve.logarithm ? step : -half; x <= half; x += step) {
                    const double y =
                        curve.logarithm ? std::log(x) / std::log(curve.base) : std::pow(curve.base, x);
                    xs.push_back(static_cast<float>(x));
                    ys.push_back(static_cast<float>(std::min(y, 1e30)));
                }
                QImage pictures[2];
                std::vector<QPolygonF> lists[2];
                for (const bool together : {false, true}) {
                    Surface s(QSize(389, 373), RGB(255, 255, 192), 0);
                    s.Scale(-half, half, half, -half);
                    s.setDrawWidth(width);
                    const std::size_t middle = xs.size() / 2;
                    const Colour colours[] = {RGB(200, 30, 30), RGB(10, 120, 40)};
                    for (int part = 0; part < 2; ++part) {
                        const std::size_t from = part == 0 ? 0 : middle,
                                          to = part == 0 ? middle + 1 : xs.size();
                        if (together)
                            s.Polyline(xs.data() + from, ys.data() + from, to - from, colours[part]);
                        else
                            for (std::size_t i = from; i + 1 < to; ++i)
                                s.Line(xs[i], ys[i], xs[i + 1], ys[i + 1], colours[part]);
                    }
                    pictures[together] = s.Image();
                    lists[together] = s.displayList().polylines();
                }
                long differing = 0;
                for (int y = 0; y < pictures[0].height(); ++y)
                    for (int x = 0; x < pictures[0].width(); ++x)
                        differing += pictures[0].pixel(x, y) != pictures[1].pixel(x, y);
                EXPECT_EQ(differing, 0) << (curve.logarithm ? "log" : "exp") << curve.base << " on " << half
                                        << " width " << width;
                EXPECT_EQ(lists[0], lists[1]) << curve.base << " on " << half;
            }
}

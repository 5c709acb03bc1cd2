#include "power/zuotu.h"

#include "drawing/frame.h"
#include "power/mainwindow.h"
#include "power/plotmessage.h"

#include "../support/messagerecorder.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace quorvex;
using canvas::SurfaceOp;
using canvas::ViewRange;

namespace {

const ViewRange kStartUp{-10, 10, -10, 10, 1, 1};

struct Plot {
    canvas::Surface surface{QSize(389, 373), canvas::RGB(255, 255, 192), 0};
    explicit Plot(const ViewRange& v = kStartUp) {
        surface.Scale(v.xmin, v.ymax, v.xmax, v.ymin);
        surface.setRecording(true);
    }
    std::vector<SurfaceOp> lines() const {
        std::vector<SurfaceOp> out;
        for (const SurfaceOp& op : surface.operations())
            if (op.kind == SurfaceOp::Kind::Line)
                out.push_back(op);
        return out;
    }
};

} // namespace

TEST(IntegerPower, SquareOnTheStartUpViewTakes399Segments) {
    Plot p;
    EXPECT_EQ(zuotu1(p.surface, kStartUp, 2), PlotOutcome::Drawn);
    const auto lines = p.lines();
    ASSERT_EQ(lines.size(), 399u);
    EXPECT_EQ(lines.front().toString(), "Line(-10,100,-9.95,99.0025)");
    EXPECT_NEAR(lines.back().a, 9.9, 1e-5);
    EXPECT_NEAR(lines.back().c, 9.95, 1e-5);
    for (const SurfaceOp& op : lines) {
        EXPECT_LE(op.b, 100.0f); // nothing clamped: no value exceeds 10 * ymax
        EXPECT_EQ(op.colour, lines.front().colour);
    }
}

TEST(IntegerPower, CubeIsClampedJustBeyondTheEdge) {
    Plot p;
    zuotu1(p.surface, kStartUp, 3);
    const auto lines = p.lines();
    EXPECT_FLOAT_EQ(lines.front().b, -10.05f);
    EXPECT_FLOAT_EQ(lines.back().d, 10.05f);
}

TEST(IntegerPower, NegativeExponentLeavesThePoleStripEmpty) {
    Plot p;
    zuotu1(p.surface, kStartUp, -1);
    const auto lines = p.lines();
    ASSERT_EQ(lines.size(), 396u);
    EXPECT_NEAR(lines[197].a, -0.15, 1e-5);
    EXPECT_NEAR(lines[197].c, -0.1, 1e-5);
    EXPECT_NEAR(lines[198].a, 0.05, 1e-6);
    EXPECT_NEAR(lines.back().c, 9.95, 1e-5);
    for (const SurfaceOp& op : lines)
        EXPECT_FALSE(op.a < 0 && op.c > 0) << op.toString().toStdString();
}

TEST(IntegerPower, NarrowViewDrawsNothing) {
    const ViewRange narrow{-0.25, 0.25, -1, 1, 1, 1};
    Plot p(narrow);
    zuotu1(p.surface, narrow, 2);
    EXPECT_TRUE(p.lines().empty());
}

TEST(IntegerPower, ViewsAwayFromTheAxisKeepVisibleSamplesWhereTheyAre) {
    // A view wholly above the x axis: 10 * ymin lies inside it, so that limit would move visible points.
    const ViewRange above{-5, 5, 2, 30, 1, 1};
    Plot p(above);
    zuotu1(p.surface, above, 2);
    for (const SurfaceOp& op : p.lines()) {
        EXPECT_NEAR(op.b, std::min(op.a * op.a, 1e9f), 1e-3) << op.toString().toStdString();
    }
    const ViewRange below{-5, 5, -30, -2, 1, 1};
    Plot q(below);
    zuotu1(q.surface, below, 3);
    for (const SurfaceOp& op : q.lines()) {
        if (op.a < -1.26 && op.a > -3.1) { // where x^3 is inside the view
            EXPECT_NEAR(op.b, op.a * op.a * op.a, 1e-3) << op.toString().toStdString();
        }
    }
}

TEST(IntegerPower, OverflowEndsThePlotQuietlyKeepingWhatWasDrawn) {
    const ViewRange wide{-1000, 1000, -1000, 1000, 1, 1};
    testsupport::MessageRecorder messages;
    Plot p(wide);
    // 1000^-300 underflows harmlessly; 1000^300 overflows at the very first sample.
    zuotu1(p.surface, wide, 300);
    EXPECT_TRUE(p.lines().empty());
    Plot q;
    zuotu1(q.surface, kStartUp, 300); // 10^300 is finite: clamped, drawn
    EXPECT_EQ(q.lines().size(), 399u);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(IntegerPower, ZeroIsRefusedAfterTheColourIsDrawn) {
    testsupport::MessageRecorder messages;
    canvas::resetRnd();
    for (int i = 0; i < 3; ++i)
        canvas::Rnd();
    const int red = static_cast<int>(canvas::Rnd() * 255.0f);
    canvas::resetRnd();
    Plot p;
    const PlotOutcome outcome = zuotu1(p.surface, kStartUp, 0);
    EXPECT_EQ(outcome, PlotOutcome::RefusedZeroExponent);
    EXPECT_TRUE(p.lines().empty());
    // The routine opens no dialog; the window tells the pupil.
    EXPECT_TRUE(messages.messages().empty());
    tellPlotOutcome(outcome);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, QStringLiteral("m不能为零或空！"));
    EXPECT_EQ(messages.messages()[0].title, QStringLiteral("警告"));
    EXPECT_EQ(messages.messages()[0].icon, canvas::MessageIcon::Exclamation);
    // The next plot takes the fourth to sixth numbers of the generator.
    zuotu1(p.surface, kStartUp, 2);
    EXPECT_EQ(canvas::redOf(p.lines().front().colour), red);
}

TEST(IntegerPower, EmptyOrReversedViews) {
    testsupport::MessageRecorder messages;
    const ViewRange empty{0, 0, 0, 0, 1, 1};
    Plot p;
    EXPECT_EQ(zuotu1(p.surface, empty, 2), PlotOutcome::Drawn);
    EXPECT_TRUE(p.lines().empty());
    EXPECT_EQ(zuotu1(p.surface, empty, 0), PlotOutcome::RefusedZeroExponent);
    const ViewRange reversed{10, -10, -10, 10, 1, 1};
    zuotu1(p.surface, reversed, 2);
    const auto lines = p.lines();
    ASSERT_EQ(lines.size(), 399u); // right to left
    EXPECT_FLOAT_EQ(lines.front().a, 10.0f);
}

TEST(FractionalPower, HalvesAndSymmetriesFollowTheParities) {
    struct Case {
        int n, m;
        bool bothHalves;
        int mirrorYSign; // mirror segment's y relative to the right-hand one: -1 through the origin
        float firstX;
    };
    const Case cases[] = {
        {1, 3, true, -1, 0.0f}, {2, 3, true, 1, 0.0f},    {-2, 3, true, 1, 0.05f},  {1, 2, false, 0, 0.0f},
        {2, 2, false, 0, 0.0f}, {-1, 2, false, 0, 0.05f}, {3, -1, true, -1, 0.05f},
    };
    for (const Case& c : cases) {
        Plot p;
        zuotu2(p.surface, kStartUp, static_cast<std::int16_t>(c.n), static_cast<std::int16_t>(c.m));
        const auto lines = p.lines();
        ASSERT_FALSE(lines.empty()) << c.n << "/" << c.m;
        EXPECT_NEAR(lines.front().a, c.firstX, 1e-6) << c.n << "/" << c.m;
        if (c.bothHalves) {
            ASSERT_EQ(lines.size() % 2, 0u);
            for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
                EXPECT_FLOAT_EQ(lines[i + 1].a, -lines[i].a);
                EXPECT_FLOAT_EQ(lines[i + 1].b, c.mirrorYSign * lines[i].b);
            }
        } else {
            for (const SurfaceOp& op : lines)
                EXPECT_GE(op.a, 0.0f);
        }
    }
}

TEST(FractionalPower, PositiveOddDenominatorClampsOntoTheEdge) {
    // y = x^(3/1) sampled to L = 10: values above 100000 never occur, but 1000 stays as it is (no clamp
    // at 10 * ymax in the fractional form) and the mirror goes through the origin.
    Plot p;
    zuotu2(p.surface, kStartUp, 3, 1);
    const auto lines = p.lines();
    EXPECT_NEAR(lines[lines.size() - 2].d, 985.07f, 0.1f); // 9.95^3
    const ViewRange wide{-100, 100, -10, 10, 1, 1};
    Plot q(wide);
    zuotu2(q.surface, wide, 3, 1);
    const auto far = q.lines();
    EXPECT_FLOAT_EQ(far[far.size() - 2].d, 10.0f);  // 100^3 > 100000: onto ymax
    EXPECT_FLOAT_EQ(far[far.size() - 1].d, -10.0f); // its mirror through the origin
}

TEST(FractionalPower, ZeroPartsAreRefused) {
    for (const auto& [n, m] : {std::pair<int, int>{0, 3}, {2, 0}, {0, 0}}) {
        testsupport::MessageRecorder messages;
        Plot p;
        const PlotOutcome outcome =
            zuotu2(p.surface, kStartUp, static_cast<std::int16_t>(n), static_cast<std::int16_t>(m));
        EXPECT_EQ(outcome, PlotOutcome::RefusedZeroPart);
        EXPECT_TRUE(messages.messages().empty());
        tellPlotOutcome(outcome);
        ASSERT_EQ(messages.texts(), std::vector<QString>{QStringLiteral("m, n不能为零或空！")});
        EXPECT_EQ(messages.messages()[0].title, QStringLiteral("警告"));
        EXPECT_EQ(messages.messages()[0].icon, canvas::MessageIcon::Exclamation);
        EXPECT_TRUE(p.lines().empty());
    }
}

TEST(Sampling, HugeViewsStayBounded) {
    const ViewRange huge{-100000, 100000, -100000, 100000, 1, 1};
    Plot p(huge);
    // 4 * 10^10 segments at the usual step; each of the two runs (left and right of the y axis) is spread
    // over the bounded number of samples instead.
    zuotu1(p.surface, huge, 2);
    const std::size_t segments = p.lines().size();
    EXPECT_GT(segments, 0u);
    EXPECT_LE(segments, 2 * (static_cast<std::size_t>(quorvex::kWideViewSamples) + 2));
}

// In a view so wide that hundreds of samples share a pixel column each sample is a dash far shorter than
// a pixel. The display list, the source of every export, keeps such a curve in a few hundred items where
// the dashes are visibly apart (a steep part), not one item for each of the 200 000 samples of a run.
TEST(Sampling, AVeryWideViewKeepsTheCurveShortInTheDisplayList) {
    const ViewRange wide{-12339.96, 14477.04, -24.24, 15.76, 1, 1};
    for (const std::int16_t n : {-1, -2, 1}) {
        Plot p(wide);
        p.surface.setRecording(false);
        zuotu1(p.surface, wide, n);
        EXPECT_LE(p.surface.displayList().itemCount(), 1000u) << n;
    }
}

TEST(PlotFormula, ReadsAsTypedWithTheSignInFront) {
    const struct {
        std::int16_t n, m;
        const char* fractional;
    } cases[] = {{1, 3, "y = x^(1/3)"},
                 {-2, 3, "y = x^(-2/3)"},
                 {2, -3, "y = x^(-2/3)"},
                 {-1, -2, "y = x^(1/2)"},
                 {-32768, 7, "y = x^(-32768/7)"}};
    for (const auto& c : cases)
        EXPECT_EQ(quorvex::formula2(c.n, c.m), QString::fromUtf8(c.fractional)) << c.fractional;
    EXPECT_EQ(quorvex::formula1(3), "y = x^3");
    EXPECT_EQ(quorvex::formula1(-1), "y = x^(-1)");
}

namespace {

// FNV-1a over the bit patterns of every segment's end points, in order: any change to a sample x, a clamp
// or where a run breaks changes it.
std::uint64_t segmentChecksum(const std::vector<SurfaceOp>& lines) {
    std::uint64_t h = 14695981039346656037ull;
    for (const SurfaceOp& op : lines)
        for (const float v : {op.a, op.b, op.c, op.d}) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int i = 0; i < 4; ++i) {
                h ^= (bits >> (8 * i)) & 0xFF;
                h *= 1099511628211ull;
            }
        }
    return h;
}

struct SampledView {
    const char* name;
    ViewRange view;
    std::int16_t n;
    std::int16_t m; ///< 0: the integer form y = x^n
    std::size_t segments;
    std::uint64_t checksum;
};

// Recorded from the plot routines as they sample today; faster drawing must reach the same segments.
const SampledView kSampledViews[] = {
    {"square, start-up", kStartUp, 2, 0, 399, 0x67989cd383b5a539ull},
    {"cube, start-up", kStartUp, 3, 0, 399, 0xb7e9233a758f99f0ull},
    {"x^-1, start-up", kStartUp, -1, 0, 396, 0x962ff34d406f6a37ull},
    {"x^-2, start-up", kStartUp, -2, 0, 396, 0x505be55301899b76ull},
    {"x^7, zoomed in", {-2.5, 2.5, -2.5, 2.5, 0.5, 0.5}, 7, 0, 24, 0x126a33c628b90450ull},
    {"cube, -40..40", {-40, 40, -40, 40, 1, 1}, 3, 0, 6399, 0x4c34f0fd014d896cull},
    {"square, dragged", {-3.75, 16.25, -12.5, 7.5, 1, 1}, 2, 0, 399, 0xcd4d6edbfa0acbc0ull},
    {"x^-3, dragged", {-13.25, 6.75, -2.5, 17.5, 1, 1}, -3, 0, 397, 0x1d6d7c91619db8ffull},
    {"cube, above the axis", {-10, 10, 20, 40, 1, 1}, 3, 0, 399, 0xfa1061209f3b0a05ull},
    {"square, -100..100", {-100, 100, -100, 100, 10, 10}, 2, 0, 40000, 0x82f259b14c899e39ull},
    {"x^5, wide view", {-2500, 2500, -2500, 2500, 100, 100}, 5, 0, 200000, 0xdb7d77ec61df32f0ull},
    {"x^(1/2)", kStartUp, 1, 2, 199, 0x05a21357818a8f38ull},
    {"x^(2/3)", kStartUp, 2, 3, 398, 0xfdf8dd9f914c7361ull},
    {"x^(3/5), -40..40", {-40, 40, -40, 40, 1, 1}, 3, 5, 6398, 0x1165efa0c08b1495ull},
    {"x^(-1/3)", kStartUp, -1, 3, 396, 0xe4b62f3e4105c731ull},
    {"x^(-2/1), dragged", {-3.75, 16.25, -12.5, 7.5, 1, 1}, -2, 1, 646, 0xe82c3592c5e35e99ull},
};

} // namespace

TEST(Sampling, SegmentsStayBitForBit) {
    for (const SampledView& c : kSampledViews) {
        Plot p(c.view);
        if (c.m == 0)
            zuotu1(p.surface, c.view, c.n);
        else
            zuotu2(p.surface, c.view, c.n, c.m);
        const auto lines = p.lines();
        EXPECT_EQ(lines.size(), c.segments) << c.name;
        EXPECT_EQ(segmentChecksum(lines), c.checksum) << c.name;
    }
}

namespace {

std::uint64_t pictureChecksum(canvas::Surface& surface) {
    const QImage& image = surface.Image();
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            h ^= row[x] & 0xFFFFFFu;
            h *= 1099511628211ull;
        }
    }
    return h;
}

} // namespace

// However segments reach the pixels, the picture of a plot is the same: a plain 2-pixel curve on the
// canvas, for the same views (and the wide one the samples come in their thousands per pixel).
TEST(Sampling, PicturesStayPixelForPixel) {
    struct Case {
        const char* name;
        ViewRange view;
        std::int16_t n;
        std::int16_t m;
        std::uint64_t checksum;
    };
    const Case cases[] = {
        {"square, start-up", kStartUp, 2, 0, 0xa77f27b4a4c11d1full},
        {"x^-1, start-up", kStartUp, -1, 0, 0x85cfed49409f3f16ull},
        {"cube, -40..40", {-40, 40, -40, 40, 1, 1}, 3, 0, 0x96427c00c5132883ull},
        {"x^-3, dragged", {-13.25, 6.75, -2.5, 17.5, 1, 1}, -3, 0, 0x6efde830f66381b9ull},
        {"square, -300..300", {-300, 300, -300, 300, 10, 10}, 2, 0, 0xa434c340e7563536ull},
        {"x^5, wide view", {-2500, 2500, -2500, 2500, 100, 100}, 5, 0, 0x84d1952f5a64e481ull},
        {"x^(2/3)", kStartUp, 2, 3, 0x2d483e3cf861ef1aull},
        {"x^(3/5), -40..40", {-40, 40, -40, 40, 1, 1}, 3, 5, 0x020ca561449aed7bull},
    };
    for (const Case& c : cases) {
        canvas::resetRnd();
        canvas::Surface surface(QSize(389, 373), canvas::RGB(255, 255, 192), 0);
        surface.Scale(c.view.xmin, c.view.ymax, c.view.xmax, c.view.ymin);
        surface.setDrawWidth(2);
        if (c.m == 0)
            zuotu1(surface, c.view, c.n);
        else
            zuotu2(surface, c.view, c.n, c.m);
        EXPECT_EQ(pictureChecksum(surface), c.checksum) << c.name;
    }
}

namespace {

// Pixels where two pictures differ.
long differingPixels(const QImage& a, const QImage& b) {
    long n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

// The plot hands its runs to the surface as polylines, with powers taken in blocks: the picture and the
// display list must be those of the same plot drawn segment by segment over the frame, for every sign and
// parity of the exponent, zoomed in, at start-up, with ticks 0.001 apart, zoomed out, dragged off the
// origin and so wide that thousands of samples share each pixel column.
TEST(Sampling, PolylinesDrawWhatSegmentsDraw) {
    const ViewRange views[] = {
        {-2.5, 2.5, -2.5, 2.5, 0.5, 0.5}, kStartUp,
        {-10, 10, -10, 10, 0.001, 0.001}, {-40, 40, -40, 40, 1, 1},
        {-13.25, 6.75, -2.5, 17.5, 1, 1}, {-10, 10, 20, 40, 1, 1},
        {-1000, 1000, -1000, 1000, 1, 1},
    };
    for (const ViewRange& view : views)
        for (const std::int16_t n : {1, 2, 3, 4, 7, -1, -2, -3, 300}) {
            if (view.xmax == 1000 && n != 2 && n != -3)
                continue; // four million segments each way: two exponents are enough
            QImage pictures[2];
            std::vector<QPolygonF> lists[2];
            for (const bool polylines : {false, true}) {
                canvas::resetRnd();
                canvas::Surface surface(QSize(389, 373), canvas::RGB(255, 255, 192), 0);
                surface.setPolylinesEnabled(polylines);
                canvas::zuobiao(surface, kFrameStyle, view.xmin, view.xmax, view.ymin, view.ymax, view.xju1,
                                view.yju1);
                surface.setDrawWidth(2);
                zuotu1(surface, view, n);
                pictures[polylines] = surface.Image();
                lists[polylines] = surface.displayList().polylines();
            }
            EXPECT_EQ(differingPixels(pictures[0], pictures[1]), 0) << "x^" << n << " on " << view.xmin;
            EXPECT_EQ(lists[0], lists[1]) << "x^" << n << " on " << view.xmin;
        }
}

#include "drawing/frame.h"
#include "drawing/grid.h"

#include "../support/messagerecorder.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace canvas;

namespace {

constexpr FrameStyle kPower{0.001, 0.3, 1.0, false};
constexpr FrameStyle kExpLog{0.0, 0.5, 1.2, true};

struct Frame {
    Surface surface{QSize(389, 373), RGB(255, 255, 192), 0};
    Frame() { surface.setRecording(true); }

    FrameOutcome draw(const FrameStyle& style, double xmin, double xmax, double ymin, double ymax,
                      double xju1, double yju1, FrameSteps steps = {}) {
        surface.clearOperations();
        return zuobiao(surface, style, xmin, xmax, ymin, ymax, xju1, yju1, steps);
    }

    // The numbers printed beside the ticks of one half axis, identified by the tick line before them.
    QStringList printed() const {
        QStringList out;
        for (const SurfaceOp& op : surface.operations())
            if (op.kind == SurfaceOp::Kind::Print)
                out << op.text;
        return out;
    }
    int count(SurfaceOp::Kind kind) const {
        int n = 0;
        for (const SurfaceOp& op : surface.operations())
            n += op.kind == kind;
        return n;
    }
};

QStringList numbers(int from, int to, int step = 1) {
    QStringList out;
    for (int i = from; step > 0 ? i <= to : i >= to; i += step)
        out << QString::number(i);
    return out;
}

// The colours of every pixel, row by row, folded into one number (FNV-1a).
std::uint64_t pixelChecksum(const QImage& image) {
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            h ^= image.pixel(x, y) & 0xFFFFFFu;
            h *= 1099511628211ull;
        }
    return h;
}

} // namespace

TEST(Frame, StartUpRangeNumbersEachHalfAxis) {
    struct Case {
        const char* name;
        FrameStyle style;
        int lastPositiveY;
    };
    for (const Case& c : {Case{"power", kPower, 10}, Case{"exp/log", kExpLog, 9}}) {
        Frame f;
        testsupport::MessageRecorder messages;
        ASSERT_EQ(f.draw(c.style, -10, 10, -10, 10, 1, 1), FrameOutcome::Drawn) << c.name;
        const QStringList expected = numbers(1, 9) + numbers(-1, -11, -1) + numbers(1, c.lastPositiveY) +
                                     numbers(-1, -11, -1) + QStringList{"x", "  y", "O"};
        EXPECT_EQ(f.printed(), expected) << c.name;
        EXPECT_TRUE(messages.messages().empty());
    }
}

TEST(Frame, DrawsInTheDocumentedOrderAndLeavesItalicOn) {
    Frame f;
    f.draw(kPower, -10, 10, -10, 10, 1, 1);
    const auto& ops = f.surface.operations();
    ASSERT_GE(ops.size(), 6u);
    EXPECT_EQ(ops[0].toString(), "Cls");
    EXPECT_EQ(ops[1].toString(), "FontItalic(0)");
    EXPECT_EQ(ops[2].toString(), "DrawWidth(1)");
    EXPECT_EQ(ops[3].toString(), "Scale(-10,10,10,-10)");
    EXPECT_EQ(ops[4].toString(), "Line(-10,0.001,9.5,0.001)");
    EXPECT_EQ(ops[5].toString(), "Line(0.001,-10,0.001,9.5)");
    // First positive x tick: the line, then the number 0.3 dx to the left of it, 0.05 dy up.
    EXPECT_EQ(ops[6].toString(), "Line(1,0,1,0.2)");
    EXPECT_EQ(ops[7].toString(), "CurrentX(0.7)");
    EXPECT_EQ(ops[8].toString(), "CurrentY(0.05)");
    EXPECT_EQ(ops[9].toString(), "Print(1)");
    EXPECT_TRUE(f.surface.FontItalic());
    EXPECT_EQ(f.surface.DrawWidth(), 1);
    EXPECT_EQ(ops.back().toString(), "Print(O)");
}

TEST(Frame, SpacingsAddUpWithoutBinaryTails) {
    Frame f;
    f.draw(kPower, -1, 1, -1, 1, 0.1, 0.1);
    const QStringList printed = f.printed();
    ASSERT_GE(printed.size(), 3);
    EXPECT_EQ(printed.mid(0, 3), (QStringList{"0.1", "0.2", "0.3"}));
    for (const QString& text : printed)
        EXPECT_LE(text.size(), 4) << text.toStdString();
}

TEST(Frame, TickNumbersOfAnOffCentreRangeReadCleanly) {
    struct Case {
        double xmin, xmax, spacing;
        QStringList first;
    };
    const Case cases[] = {
        {5.5, 6.5, 0.1, {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1", "1.1"}},
        {-10, 10, 0.001, {"0.001", "0.002", "0.003"}},
        {-1e6, 1e6, 40, {"40", "80", "120"}},
    };
    for (const Case& c : cases) {
        Frame f;
        f.draw(kPower, c.xmin, c.xmax, -1, 1, c.spacing, 1);
        const QStringList printed = f.printed();
        ASSERT_GE(printed.size(), c.first.size());
        EXPECT_EQ(printed.mid(0, static_cast<int>(c.first.size())), c.first);
        // Each number has at most as many decimals as the spacing: no binary tails anywhere.
        const int decimals = c.spacing < 0.01 ? 3 : c.spacing < 1 ? 1 : 0;
        for (const QString& text : printed) {
            const auto point = text.indexOf(u'.');
            ASSERT_TRUE(point < 0 || text.size() - point - 1 <= decimals) << text.toStdString();
        }
    }
}

TEST(Frame, HalfAxesThatCannotStartDrawNothing) {
    Frame f;
    f.draw(kPower, 2, 10, -10, 10, 1, 1);
    const QStringList printed = f.printed();
    // x: 1..9 (the loop runs while its value is at most 10 - 1.2), no negative x numbers; then y.
    EXPECT_EQ(printed.mid(0, 9), numbers(1, 9));
    EXPECT_EQ(printed.at(9), "1");
}

TEST(Frame, NegativeOrZeroSpacingGivesAxesWithoutTicks) {
    for (const double spacing : {-1.0, 0.0}) {
        Frame f;
        testsupport::MessageRecorder messages;
        EXPECT_EQ(f.draw(kPower, -10, 10, -10, 10, spacing, 1), FrameOutcome::Drawn) << spacing;
        const QStringList expected = numbers(1, 10) + numbers(-1, -11, -1) + QStringList{"x", "  y", "O"};
        EXPECT_EQ(f.printed(), expected);
        EXPECT_EQ(f.count(SurfaceOp::Kind::Line), 2 + 21 + 6);
        EXPECT_TRUE(messages.messages().empty());
    }
}

TEST(Frame, DrawingTwiceGivesTheSamePicture) {
    Frame f;
    f.draw(kPower, -3, 7, -2, 5, 0.5, 1);
    const QImage once = f.surface.Image().copy();
    f.draw(kPower, -3, 7, -2, 5, 0.5, 1);
    EXPECT_EQ(f.surface.Image(), once);
}

TEST(Frame, CopiesSpacingsOnlyWhereTheStyleSaysSo) {
    double stepX = 0.1, stepY = 0.1;
    Frame f;
    f.draw(kExpLog, -10, 10, -10, 10, 2, 5, {&stepX, &stepY});
    EXPECT_EQ(stepX, 2);
    EXPECT_EQ(stepY, 5);
    f.draw(kPower, -10, 10, -10, 10, 3, 4, {&stepX, &stepY});
    EXPECT_EQ(stepX, 2);
}

TEST(Frame, UnmappableRangesTakeTheFailurePath) {
    struct Case {
        double xmin, xmax, ymin, ymax, xju1, yju1;
    };
    const Case cases[] = {
        {-10, 1e39, -10, 10, 1, 1},   // beyond single precision
        {0, 0, 0, 0, 1, 1},           // emptied boxes
        {5, 5, -10, 10, 1, 1},        // zero width
        {-3e38, 3e38, -10, 10, 1, 1}, // width beyond single precision
        {-10, 10, -10, 10, 1e39, 1},  // a tick beyond single precision
    };
    for (const Case& c : cases) {
        Frame f;
        testsupport::MessageRecorder messages;
        EXPECT_EQ(f.draw(kPower, c.xmin, c.xmax, c.ymin, c.ymax, c.xju1, c.yju1), FrameOutcome::RefusedRange);
        // The window tells the pupil; the frame itself opens no dialog.
        EXPECT_TRUE(messages.messages().empty());
    }
}

TEST(Frame, DenseAndDegenerateSpacingsEndInBoundedTime) {
    Frame f;
    // 0.001 on -10..10: every one of the ~20,000 ticks of each half axis is drawn.
    f.draw(kPower, -10, 10, -10, 10, 0.001, 0.001);
    EXPECT_GT(f.count(SurfaceOp::Kind::Print), 4 * 9990);
    // Spacings too fine to ever reach the end stop at the pass bound instead of freezing the window.
    f.surface.setRecording(false);
    testsupport::MessageRecorder messages;
    EXPECT_EQ(f.draw(kPower, -10, 10, -10, 10, 1e-17, 1e-300), FrameOutcome::Drawn);
    EXPECT_EQ(f.draw(kPower, -1e30, 1e30, -1e30, 1e30, 1, 1), FrameOutcome::Drawn);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(Frame, AxesAreBlackAtTheMappedPixels) {
    Frame f;
    f.draw(kExpLog, -10, 10, -10, 10, 1, 1);
    const QImage& image = f.surface.Image();
    const QPointF origin = f.surface.toPixel(0, 0);
    const int axisRow = static_cast<int>(std::lround(origin.y()));
    const int axisColumn = static_cast<int>(std::lround(origin.x()));
    EXPECT_EQ(image.pixelColor(50, axisRow), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(axisColumn, 300), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(50, axisRow - 10), QColor(255, 255, 192));
}

// Lines on the right and bottom edges of the view (the start-up grid's x = 10 and y = -10, the tip of the x
// arrow) map one pixel past the canvas; they show on its last column or row instead.
TEST(Frame, GridAndArrowCloseOnTheRightAndBottomEdges) {
    for (const QSize size : {QSize(389, 373), QSize(373, 373)}) {
        Surface s(size, RGB(255, 255, 192), 0);
        const ViewRange v{-10, 10, -10, 10, 1, 1};
        ASSERT_EQ(zuobiao(s, kPower, v.xmin, v.xmax, v.ymin, v.ymax, v.xju1, v.yju1), FrameOutcome::Drawn);
        {
            // The arrow's tip reaches the last column, on the x axis (before the grid covers that column).
            const QImage& frame = s.Image();
            const int axisRow = static_cast<int>(std::lround(s.toPixel(0, 0).y()));
            bool tip = false;
            for (int y = axisRow - 1; y <= axisRow + 1; ++y)
                tip = tip || frame.pixelColor(frame.width() - 1, y) == QColor(Qt::black);
            EXPECT_TRUE(tip) << size.width();
        }
        ASSERT_TRUE(drawGrid(s, v));
        const QImage& image = s.Image();
        const QColor grey(192, 192, 192);
        int columns = 0, rows = 0;
        for (int x = 0; x < image.width(); ++x)
            columns += image.pixelColor(x, 5) == grey;
        for (int y = 0; y < image.height(); ++y)
            rows += image.pixelColor(5, y) == grey;
        EXPECT_EQ(columns, 20) << size.width();
        EXPECT_EQ(rows, 20) << size.width();
        EXPECT_EQ(image.pixelColor(image.width() - 1, 5), grey);
        EXPECT_EQ(image.pixelColor(5, image.height() - 1), grey);
    }
}

// Clearing restores only what was drawn since the last clear; nothing of an earlier picture may remain.
// Each view is drawn over the one before (frame, grid, dots and a thick line, as a drag redraws them)
// and must equal the same view drawn on a fresh canvas.
TEST(Frame, RedrawingLeavesNoTraceOfThePictureBefore) {
    const ViewRange views[] = {{-10, 10, -10, 10, 1, 1},         {-10, 10, -10, 10, 0.001, 0.001},
                               {5.5, 6.5, -1, 1, 0.1, 0.1},      {-3.3, 16.7, -12, 8, 0.5, 2},
                               {-1000, 1000, -1000, 1000, 1, 1}, {-10, 10, -10, 10, 1, 1}};
    auto draw = [](Surface& s, const ViewRange& v) {
        zuobiao(s, kPower, v.xmin, v.xmax, v.ymin, v.ymax, v.xju1, v.yju1);
        drawGrid(s, v);
        s.setDrawWidth(3);
        s.Line(v.xmin, v.ymin, v.xmax, (v.ymin + v.ymax) / 2, RGB(200, 30, 30));
        s.PSet(v.xmax - (v.xmax - v.xmin) / 7, v.ymax - (v.ymax - v.ymin) / 9);
    };
    Surface reused(QSize(389, 373), RGB(255, 255, 192), 0);
    for (const ViewRange& v : views) {
        draw(reused, v);
        Surface fresh(QSize(389, 373), RGB(255, 255, 192), 0);
        draw(fresh, v);
        EXPECT_EQ(reused.Image(), fresh.Image()) << v.xmin << ".." << v.xmax << " by " << v.xju1;
    }
}

// Numbers pile up by the thousand where the ticks are dense, and blending skips what cannot change: the
// pictures must stay those of blending every glyph pixel, at every density of ticks, in both styles.
TEST(Frame, DenseNumbersKeepTheirPixels) {
    struct Case {
        double half, spacing;
        const FrameStyle* style;
        std::uint64_t checksum;
    };
    const Case cases[] = {
        {10, 1, &kPower, 0x0c30b950e3aed775ull},      {10, 0.1, &kExpLog, 0x9c8739fab66ef841ull},
        {10, 0.01, &kPower, 0xe94050485ddf2f35ull},   {10, 0.001, &kPower, 0xc0dd8846591dbe6eull},
        {10, 0.001, &kExpLog, 0x4c73155afc22cff1ull}, {1000, 1, &kPower, 0x9f22f5bae32c8b52ull},
    };
    for (const Case& c : cases) {
        Surface surface(QSize(389, 373), RGB(255, 255, 192), 0);
        zuobiao(surface, *c.style, -c.half, c.half, -c.half, c.half, c.spacing, c.spacing);
        EXPECT_EQ(pixelChecksum(surface.Image()), c.checksum) << c.half << " by " << c.spacing;
    }
}

// A projector's scale blends several times the pixels of every glyph, by other code than a single pixel:
// the same exact sums, and these pictures, at every scale.
TEST(Frame, DenseNumbersKeepTheirPixelsAtProjectorScales) {
    struct Case {
        double ratio, half, spacing;
        const FrameStyle* style;
        std::uint64_t checksum;
    };
    const Case cases[] = {
        {2, 10, 1, &kPower, 0x7abb6e4caa2849f1ull},        {2, 10, 0.001, &kPower, 0xe0e815570b8bb453ull},
        {3, 10, 0.01, &kExpLog, 0xbc61b49b25d6cc02ull},    {3, 10, 0.001, &kPower, 0x9402e17c84a7fc61ull},
        {1.5, 10, 0.001, &kExpLog, 0x778467fef58c0491ull},
    };
    for (const Case& c : cases) {
        Surface surface(QSize(389, 373), RGB(255, 255, 192), 0, c.ratio);
        zuobiao(surface, *c.style, -c.half, c.half, -c.half, c.half, c.spacing, c.spacing);
        EXPECT_EQ(pixelChecksum(surface.Image()), c.checksum)
            << c.ratio << ": " << c.half << " by " << c.spacing;
    }
}

// The frame put back while the view stands still is the frame drawn: the same pixels, the same vectors and
// the same state for what is drawn after it, whatever stood on the canvas before.
TEST(Frame, AFramePutBackIsTheFrameDrawnAgain) {
    struct Case {
        double ratio, spacing;
        const FrameStyle* style;
    };
    for (const Case& c : {Case{1, 1, &kPower}, Case{3, 0.01, &kExpLog}, Case{2, 0.001, &kPower}}) {
        Surface kept(QSize(389, 373), RGB(255, 255, 192), 0, c.ratio),
            fresh(QSize(389, 373), RGB(255, 255, 192), 0, c.ratio);
        FrameMemory memory;
        double steps[2] = {0, 0};
        auto after = [](Surface& s) {
            s.setDrawWidth(2);
            s.Line(-3, -2, 4, 5, RGB(200, 30, 30));
            s.Print(QStringLiteral("y=x"));
        };
        for (int i = 0; i < 4; ++i) {
            steps[0] = steps[1] = 0;
            EXPECT_EQ(zuobiao(kept, memory, *c.style, -10, 10, -10, 10, c.spacing, c.spacing,
                              {&steps[0], &steps[1]}),
                      FrameOutcome::Drawn);
            after(kept);
        }
        zuobiao(fresh, *c.style, -10, 10, -10, 10, c.spacing, c.spacing);
        after(fresh);
        EXPECT_EQ(kept.Image(), fresh.Image()) << c.ratio << " by " << c.spacing;
        EXPECT_EQ(kept.displayList().itemCount(), fresh.displayList().itemCount());
        EXPECT_EQ(kept.displayList().polylines(), fresh.displayList().polylines());
        EXPECT_EQ(steps[0], c.style->copiesSpacings ? c.spacing : 0);
    }
}

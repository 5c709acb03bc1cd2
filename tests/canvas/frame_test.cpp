#include "canvas/frame.h"

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

    bool draw(const FrameStyle& style, double xmin, double xmax, double ymin, double ymax, double xju1,
              double yju1, FrameSteps steps = {}) {
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
        ASSERT_TRUE(f.draw(c.style, -10, 10, -10, 10, 1, 1)) << c.name;
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
        EXPECT_TRUE(f.draw(kPower, -10, 10, -10, 10, spacing, 1)) << spacing;
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
        EXPECT_FALSE(f.draw(kPower, c.xmin, c.xmax, c.ymin, c.ymax, c.xju1, c.yju1));
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, QStringLiteral("请输入完整的数据！"));
        EXPECT_EQ(messages.messages()[0].title, QStringLiteral("警告"));
        EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Exclamation);
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
    EXPECT_TRUE(f.draw(kPower, -10, 10, -10, 10, 1e-17, 1e-300));
    EXPECT_TRUE(f.draw(kPower, -1e30, 1e30, -1e30, 1e30, 1, 1));
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

// The canvas described in words: range, spacing, grid and the curves since the last frame.

#include "curves/canvasdescription.h"

#include <QStringList>

#include <gtest/gtest.h>

using canvas::CanvasDescription;
using canvas::CurveKind;
using canvas::ViewRange;

TEST(CanvasDescription, SaysTheRangeGridAndCurvesOnce) {
    QStringList announced;
    CanvasDescription d([&announced](const QString& text) { announced << text; });
    EXPECT_EQ(d.text(), "空白");
    d.frame(ViewRange{-2.5, 7, -1e-05, 1e15, 0.5, 0.5});
    // Every digit of the range, as typed, in words: the sign as 负, the exponent form spelt out.
    const char* range = "x 从 负 2.5 到 7, y 从 负 1 乘 10 的 负 5 次方 到 1 乘 10 的 15 次方, 单位长度 0.5";
    EXPECT_EQ(d.text(), range);
    d.curve(canvas::powerCurve(2, 1, "y = x^2"));
    d.grid();
    d.curve(canvas::powerCurve(1, 3, "y = x^(1/3)"));
    d.curve(canvas::powerCurve(2, 1, "y = x^2"));
    EXPECT_EQ(d.text().toStdString(),
              std::string(range) + ", 网格, 图象 y 等于 x 的 2 次方、y 等于 x 的三分之一次方");
    EXPECT_EQ(d.curves().size(), 2u);
    // Every change is announced; a curve already listed is not a change.
    EXPECT_EQ(announced.size(), 4);
    EXPECT_EQ(announced.back(), d.text());
    d.frame(ViewRange{-10, 10, -10, 10, 1, 2});
    EXPECT_EQ(d.text(), "x 从 负 10 到 10, y 从 负 10 到 10, 单位长度 x 1, y 2");
    d.curve(canvas::baseCurve(CurveKind::Exponential, 2, "y = 2^x"));
    d.cleared();
    EXPECT_EQ(d.text(), "空白");
}

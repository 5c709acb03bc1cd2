// The canvas described in words: range, spacing, grid and the curves since the last frame.

#include "drawing/canvasdescription.h"

#include <QStringList>

#include <gtest/gtest.h>

using canvas::CanvasDescription;
using canvas::ViewRange;

TEST(CanvasDescription, SaysTheRangeGridAndCurvesOnce) {
    QStringList announced;
    CanvasDescription d([&announced](const QString& text) { announced << text; });
    EXPECT_EQ(d.text(), "空白");
    d.frame(ViewRange{-2.5, 7, -1e-05, 1e15, 0.5, 0.5});
    EXPECT_EQ(d.text(), "x 从 -2.5 到 7, y 从 -1E-05 到 1E+15, 单位长度 0.5");
    d.curve("y = x^2");
    d.grid();
    d.curve("y = x^(1/3)");
    d.curve("y = x^2");
    EXPECT_EQ(d.text(),
              "x 从 -2.5 到 7, y 从 -1E-05 到 1E+15, 单位长度 0.5, 网格; 图象: y = x^2, y = x^(1/3)");
    // Every change is announced; a curve already listed is not a change.
    EXPECT_EQ(announced.size(), 4);
    EXPECT_EQ(announced.back(), d.text());
    d.frame(ViewRange{-10, 10, -10, 10, 1, 2});
    EXPECT_EQ(d.text(), "x 从 -10 到 10, y 从 -10 到 10, 单位长度 x 1, y 2");
    d.curve("y = 2^x");
    d.cleared();
    EXPECT_EQ(d.text(), "空白");
}

#include "runtime/numericfunctions.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

using namespace canvas;

TEST(CInt, RoundsHalvesToEven) {
    const std::pair<double, int> cases[] = {{2.5, 2},   {3.5, 4},         {0.4, 0},           {-2.5, -2},
                                            {-3.5, -4}, {32767.4, 32767}, {-32768.4, -32768}, {1.5, 2}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(CInt(value), expected) << value;
}

TEST(CInt, FailsOutsideSixteenBits) {
    for (const double v :
         {32767.5, 32768.0, -32769.0, -32768.6, 1e300, std::numeric_limits<double>::infinity()})
        EXPECT_THROW(CInt(v), RuntimeError) << v;
}

TEST(Colours, AreLaidOutBlueGreenRed) {
    EXPECT_EQ(RGB(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(RGB(0, 255, 0), 0x00FF00u);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
    EXPECT_EQ(redOf(RGB(10, 20, 30)), 10);
    EXPECT_EQ(greenOf(RGB(10, 20, 30)), 20);
    EXPECT_EQ(blueOf(RGB(10, 20, 30)), 30);
}

TEST(Rnd, IsUniformInUnitIntervalAndTheSameEveryRun) {
    resetRnd();
    std::vector<float> first;
    double sum = 0;
    for (int i = 0; i < 10000; ++i) {
        const float u = Rnd();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        if (i < 5)
            first.push_back(u);
        sum += u;
    }
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
    resetRnd();
    for (const float u : first)
        EXPECT_EQ(Rnd(), u);
}

#include "runtime/checkedmath.h"
#include "runtime/numericfunctions.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using namespace canvas;

TEST(CheckedMaths, RaisesRunTimeErrorsInsteadOfNonFiniteValues) {
    EXPECT_DOUBLE_EQ(checkedPow(-2, 3), -8);
    EXPECT_DOUBLE_EQ(checkedPow(4, 0.5), 2);
    EXPECT_THROW(checkedPow(-8, 1.0 / 3), RuntimeError);
    EXPECT_THROW(checkedPow(0, -1), RuntimeError);
    EXPECT_THROW(checkedPow(10, 400), RuntimeError);
    EXPECT_THROW(checkedLog(0), RuntimeError);
    EXPECT_THROW(checkedLog(-1), RuntimeError);
    EXPECT_DOUBLE_EQ(checkedLog(1), 0);
    EXPECT_THROW(checkedDiv(1, 0), RuntimeError);
    EXPECT_THROW(checkedDiv(DBL_MAX, 0.5), RuntimeError);
    EXPECT_THROW(toSingle(1e39), RuntimeError);
    EXPECT_THROW(toSingle(std::nan("")), RuntimeError);
    EXPECT_EQ(toSingle(-3.5), -3.5f);
    EXPECT_EQ(Int(-2.5), -3);
    EXPECT_EQ(Int(2.9), 2);
}

// Whole powers by multiplication must be the very doubles pow gives, on the sample sequences plots walk
// (repeated addition of 1/width from the left edge) and on bases of every size; and the product must be
// taken often enough to be worth having.
TEST(MultipliedPower, IsTheDoublePowGives) {
    struct Run {
        double start;
        double step;
        int samples;
    };
    const Run runs[] = {{-10, 0.05, 400},         {-40, 1.0 / 80, 6400},     {-1000, 1.0 / 2000, 50000},
                        {-3.75, 0.05, 400},       {999.0, 1.0 / 2000, 2000}, {-2500, 0.025, 50000},
                        {1e-120, 1.7e-121, 1000}, {3e90, 7.1e89, 1000}};
    const int exponents[] = {1, 2, 3, 4, 5, 7, 12, 33, 64, -1, -2, -3, -6, -64, 65, 0};
    std::mt19937_64 random(20261208);
    std::vector<double> bases;
    for (const Run& r : runs) {
        double x = r.start;
        for (int i = 0; i < r.samples; ++i, x += r.step)
            bases.push_back(x);
    }
    for (int i = 0; i < 50000; ++i) {
        // Any sign and any size: a random bit pattern of a finite double.
        double x;
        const std::uint64_t bits = random();
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x))
            bases.push_back(x);
    }
    bases.insert(bases.end(), {0.0, -0.0, 1.0, -1.0, 2.0, 0.5, 3.0, DBL_MIN, DBL_MAX, DBL_TRUE_MIN});
    for (const int n : exponents) {
        long taken = 0, typical = 0;
        for (const double x : bases) {
            const auto product = multipliedPower(x, n);
            const double size = std::fabs(std::pow(x, n));
            if (std::fabs(x) > 1e-100 && std::fabs(x) < 1e100 && size > 1e-100 && size < 1e100)
                ++typical;
            if (!product)
                continue;
            ++taken;
            const double expected = std::pow(x, n);
            ASSERT_EQ(std::memcmp(&*product, &expected, sizeof expected), 0)
                << "x = " << x << ", n = " << n << ": " << *product << " instead of " << expected;
        }
        if (n == 0 || n > kMaxMultipliedExponent)
            EXPECT_EQ(taken, 0) << n;
        else
            EXPECT_GT(taken, typical * 4 / 5) << n;
    }
}

// Numbers and formulas written for the ear: the words a speech synthesiser reads as they stand.

#include "curves/spokentext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace canvas;

TEST(SpokenText, NumbersKeepTheirDigitsWithTheSignAndExponentInWords) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0"},
        {"2.5", "2.5"},
        {"-10", "负 10"},
        {"1E+15", "1 乘 10 的 15 次方"},
        {"-1E-05", "负 1 乘 10 的 负 5 次方"},
        {"9.77e-07", "9.77 乘 10 的 负 7 次方"},
    };
    for (const auto& [printed, words] : cases)
        EXPECT_EQ(spokenNumber(printed).toStdString(), words) << printed;
}

TEST(SpokenText, WholeNumbersInChineseNumeralsAsFractionsAreRead) {
    const std::pair<int, const char*> cases[] = {
        {0, "零"},         {3, "三"},
        {10, "十"},        {12, "十二"},
        {20, "二十"},      {105, "一百零五"},
        {110, "一百一十"}, {1010, "一千零一十"},
        {10000, "一万"},   {32768, "三万二千七百六十八"},
        {-7, "七"},
    };
    for (const auto& [n, words] : cases)
        EXPECT_EQ(chineseNumeral(n).toStdString(), words) << n;
}

TEST(SpokenText, FormulasInWords) {
    struct Case {
        CurveRecord curve;
        const char* words;
    };
    const Case cases[] = {
        {powerCurve(2, 1, "y = x^2"), "y 等于 x 的 2 次方"},
        {powerCurve(-1, 1, "y = x^(-1)"), "y 等于 x 的 负 1 次方"},
        {powerCurve(2, 3, "y = x^(2/3)"), "y 等于 x 的三分之二次方"},
        // The fraction as typed, not reduced, with the sign leading it.
        {powerCurve(2, 4, "y = x^(2/4)"), "y 等于 x 的四分之二次方"},
        {powerCurve(2, -3, "y = x^(-2/3)"), "y 等于 x 的负三分之二次方"},
        {powerCurve(-1, -2, "y = x^(1/2)"), "y 等于 x 的二分之一次方"},
        {baseCurve(CurveKind::Exponential, 2, "y = 2^x"), "y 等于 2 的 x 次方"},
        {baseCurve(CurveKind::Exponential, 0.5, "y = 0.5^x"), "y 等于 0.5 的 x 次方"},
        {baseCurve(CurveKind::Logarithm, 2, "y = log_2 x"), "y 等于以 2 为底 x 的对数"},
        {identityCurve(), "y 等于 x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(spokenFormula(c.curve).toStdString(), c.words) << c.curve.formula.toStdString();
        EXPECT_TRUE(readsAsWords(spokenFormula(c.curve)));
    }
}

TEST(SpokenText, ReadOutDigitsNeverRoundAValueToZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        int extra;
        const char* digits;
    };
    const Case cases[] = {
        {2.25, 0, "2.25"},
        {99.0025, 0, "99"},
        {-9.948586, 0, "-9.95"},
        {-9.948586, 2, "-9.9486"},
        {0.0009765625, 0, "0.00098"},
        {0.0025, 0, "0.0025"},
        {0.0001, 0, "0.0001"},
        {4.2e-7, 0, "4.2e-07"},
        {123456.789, 0, "123456.79"},
        {1048576, 0, "1.05e+06"},
        {std::numeric_limits<double>::max(), 0, "1.8e+308"},
        {std::numeric_limits<double>::denorm_min(), 0, "4.94e-324"},
        {0, 0, "0"},
        {nan, 0, "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readOutDigits(c.value, c.extra).toStdString(), c.digits) << c.value;
    // With every digit asked for, the digits give the value back exactly.
    for (const double v : {-9.948586, 0.1, 1.0 / 3, 4.2e-7, 6.02214076e23, 5e-324, 1.7976931348623157e308})
        EXPECT_EQ(digitsValue(readOutDigits(v, 17)), v) << v;
}

TEST(SpokenText, ExtraDigitsReachTheResolutionAsked) {
    const struct {
        double value;
        double resolution;
        int extra;
    } cases[] = {
        {-9.95, 0.04, 0},   // the default view's pixel columns: hundredths, a read-out's own
        {1, 0.00004, 3},    // zoomed to 0.99 .. 1.01
        {0.001, 0.0001, 0}, // two significant digits of 0.0010 already say ten-thousandths
        {2e6, 1000, 1},     // three digits of 2e+06 reach ten thousands, one more thousands
        {5, 0, 0},          {5, 1e-300, 17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(extraDigitsFor(c.value, c.resolution), c.extra) << c.value << " " << c.resolution;
}

TEST(SpokenText, SymbolsReadByNameAreFound) {
    EXPECT_TRUE(readsAsWords("x 等于 负 1.5, y 等于 2.25、在视图上方"));
    for (const char* text :
         {"y = x^2", "log_2 x", "x: 0", "a; b", "−1", "-1", "x^(1/3)", "1E+15", "图象：", "甲。", "a + b"})
        EXPECT_FALSE(readsAsWords(text)) << text;
}

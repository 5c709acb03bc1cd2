#include "runtime/countedloop.h"
#include "runtime/runtime.h"

#include "../support/chineselanguage.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace canvas;

namespace {

// Number conversion cases, in tables that also run under the programs' Chinese locale (at the end).
struct Reading {
    const char* text;
    double value;
};
struct Writing {
    double value;
    const char* text;
};

template <std::size_t N> void expectReadings(const Reading (&cases)[N]) {
    for (const Reading& c : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(c.text)), c.value) << c.text;
}

template <std::size_t N> void expectWritings(QString (*write)(double), const Writing (&cases)[N]) {
    for (const Writing& c : cases)
        EXPECT_EQ(write(c.value), QString::fromLatin1(c.text)) << c.value;
}

} // namespace

const Reading kLeadingNumbers[] = {
    {" 1 2", 12},     {"2abc", 2},
    {"-10", -10},     {"", 0},
    {"abc", 0},       {"  -  3.5", -3.5},
    {"1e3", 1000},    {"1E-2", 0.01},
    {"1d5", 100000},  {"2.5.6", 2.5},
    {".5", 0.5},      {"-.", 0},
    {"+7", 7},        {"1e", 1},
    {"1e+", 1},       {"&H7FFF", 32767},
    {"&HFFFF", -1},   {"&H10000", 65536},
    {"&O17", 15},     {"NaN", 0},
    {"Infinity", 0},  {"0.000000001", 1e-9},
    {"32768", 32768}, {"- 0", 0},
    {"1 e 2", 100},
};

TEST(Val, ReadsTheLeadingNumberOfATextBox) {
    expectReadings(kLeadingNumbers);
}

TEST(Val, NeverYieldsInfinityOrNaN) {
    EXPECT_EQ(Val("1e999"), DBL_MAX);
    EXPECT_EQ(Val("-1e999"), -DBL_MAX);
    EXPECT_EQ(Val("0.5e309"), DBL_MAX);
    EXPECT_EQ(Val("1e-999"), 0.0);
    EXPECT_EQ(Val("1e99999999999999999999"), DBL_MAX);
    EXPECT_GT(Val("1e-320"), 0.0);
    EXPECT_EQ(Val(QString(10000, u'9')), DBL_MAX);
    EXPECT_EQ(Val("0." + QString(10000, u'0') + "1"), 0.0);
    EXPECT_TRUE(std::isfinite(Val("1e308")));
    EXPECT_EQ(Val(QStringLiteral("中文")), 0.0);
    EXPECT_FALSE(std::signbit(Val("-0")));
}

const Writing kGeneralForms[] = {
    {0.1 + 0.1 + 0.1, "0.3"},
    {5, "5"},
    {-2.5, "-2.5"},
    {0, "0"},
    {-0.0, "0"},
    {1e15, "1E+15"},
    {1e14, "100000000000000"},
    {0.0001, "0.0001"},
    {0.00001, "1E-05"},
    {123456.789, "123456.789"},
    {-1.5e300, "-1.5E+300"},
    {1.0 / 3, "0.333333333333333"},
    {DBL_MAX, "1.79769313486232E+308"},
};

TEST(Str, GeneralDecimalForm) {
    expectWritings(Str, kGeneralForms);
}

TEST(Str, ReadsBackThroughVal) {
    for (const double v : {0.3, -13.0, 2.5e-7, 7.25, 1e100, -40.0, 0.001 * 7, 123456789012.5})
        EXPECT_NEAR(Val(Str(v)), v, std::fabs(v) * 1e-14) << v;
}

const Writing kPatterns[] = {{1.234, "1.23"}, {-0.5, "-0.5"}, {0.2, "0.2"},           {3, "3"},
                             {-0.001, "0"},   {0.999, "1"},   {-12.345678, "-12.35"}, {0, "0"}};

TEST(FormatPattern, AtMostTwoDecimals) {
    expectWritings(formatPattern, kPatterns);
}

TEST(FormatPattern, ExactTiesRoundAwayFromZero) {
    // Eighths are the binary values that lie exactly on a half of the second decimal; a decimal tie such
    // as 1.005 is a binary value just below it, and rounds down.
    const Writing ties[] = {{0.125, "0.13"},   {-0.125, "-0.13"}, {0.375, "0.38"}, {2.625, "2.63"},
                            {-1.875, "-1.88"}, {1.005, "1"},      {0.005, "0.01"}, {0.124, "0.12"}};
    expectWritings(formatPattern, ties);
}

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

const Reading kFullWidthNumbers[] = {
    {"１２", 12},     {"－３．５", -3.5},     {"＋７", 7},       {"１Ｅ３", 1000},        {"２ｅ－２", 0.02},
    {"１2．5", 12.5}, {"－ ０．２５", -0.25}, {"９９９ｘ", 999}, {"１ｅ９９９", DBL_MAX}, {"ａ１", 0},
    {"．５", 0.5},
};

TEST(Val, ReadsFullWidthNumbersAsTheirAsciiForms) {
    expectReadings(kFullWidthNumbers);
}

// A tick number is the spacing added up pass after pass from 0, up to the tick loops' 25,000 passes;
// whatever binary error the sums collect, the canvas prints the number a person would write for that tick.
TEST(LabelText, AbsorbsTheErrorOfRepeatedSpacingSums) {
    struct Case {
        double spacing;
        int decimals; // decimals of an exact tick value
    };
    const Case cases[] = {
        {0.1, 1},   {0.2, 1}, {0.25, 2},   {0.3, 1},   {0.01, 2}, {0.001, 3}, {0.5, 1},    {2.5, 1},  {40, 0},
        {0.072, 3}, {7.3, 1}, {0.0004, 4}, {12.34, 2}, {0.7, 1},  {39.99, 2}, {1.5e-7, 8}, {3e-5, 5},
    };
    for (const Case& c : cases)
        for (const double sign : {1.0, -1.0}) {
            const double unit = std::pow(10, c.decimals);
            double sum = 0;
            for (int k = 1; k <= 25000; ++k) {
                sum += sign * c.spacing;
                const double exact = std::round(sign * k * c.spacing * unit) / unit;
                ASSERT_EQ(labelText(sum), labelText(exact)) << "spacing " << c.spacing << " pass " << k;
                ASSERT_LE(labelText(sum).size(), Str(exact).size())
                    << "spacing " << c.spacing << " pass " << k;
            }
        }
}

// Thirds never end; they print at the canvas precision without any trace of the sums' error either.
TEST(LabelText, ThirdsReadAsTheirRoundedDecimals) {
    double sum = 0;
    for (int k = 1; k <= 25000; ++k) {
        sum += 1.0 / 3;
        EXPECT_EQ(labelText(sum), labelText(k / 3.0)) << k;
    }
}

// The digits of a printed number are the exact rounding of its binary value, as std::to_chars gives them,
// whether they are found by scaling or through to_chars: checked by value (two decimals of at most 15
// digits are the same number exactly when they read as the same double) on tick sums, numbers of every
// size, and numbers one step beside a half in the last printed digit, where the scaling must step aside.
TEST(NumberText, DigitsAreTheExactRoundingOfTheBinaryValue) {
    std::vector<double> values;
    for (const double spacing : {0.001, 0.1, 0.3, 1.0 / 3, 7.77, 2.5e-4, 123456.789}) {
        double sum = 0;
        for (int k = 0; k < 25000; ++k)
            values.push_back(sum += spacing);
    }
    std::mt19937_64 random(20261210);
    for (int k = 0; k < 200000; ++k)
        values.push_back(std::ldexp(std::uniform_real_distribution<double>(1, 2)(random),
                                    std::uniform_int_distribution<int>(-70, 70)(random)));
    for (const char* half :
         {"1.0000000005", "9.9999999995", "0.000099999999995", "99999.999995", "123456789.05",
          "1.00000000000005", "9.99999999999995", "999999999999999.5", "0.5", "2.5"}) {
        const double v = std::strtod(half, nullptr);
        for (double near = std::nextafter(std::nextafter(v, 0), 0), k = 0; k < 5;
             ++k, near = std::nextafter(near, 10))
            values.push_back(near);
    }
    const auto reference = [](double v, int digits) {
        char buffer[64];
        *std::to_chars(buffer, buffer + 63, v, std::chars_format::scientific, digits - 1).ptr = 0;
        return std::strtod(buffer, nullptr);
    };
    for (const double magnitude : values)
        for (const double v : {magnitude, -magnitude}) {
            ASSERT_EQ(std::strtod(labelText(v).toLatin1().constData(), nullptr), reference(v, kLabelDigits))
                << std::hexfloat << v;
            ASSERT_EQ(std::strtod(Str(v).toLatin1().constData(), nullptr), reference(v, 15))
                << std::hexfloat << v;
        }
}

const Writing kLabels[] = {
    {-11, "-11"},
    {1e15, "1E+15"},
    {0.00001, "1E-05"},
    {0, "0"},
    {-0.0, "0"},
    {0.1 + 0.1 + 0.1, "0.3"},
    {1.0 / 3, "0.3333333333"},
    {2.5, "2.5"},
    {-1.5e300, "-1.5E+300"},
    {999999.9, "999999.9"},
    {1e6, "1000000"},
    {123456789.5, "123456789.5"},
    {5.99999999999999, "6"},
    {6.09999999999999, "6.1"},
};

TEST(LabelText, KeepsTheGeneralFormOfPlainValues) {
    expectWritings(labelText, kLabels);
}

// The programs make Chinese (China) the default locale at start-up; text boxes, tick numbers and range
// boxes must read and write exactly as before, or a class would see other numbers than its worksheets.
TEST(NumberConversion, IsTheSameUnderTheProgramsChineseLocale) {
    const testsupport::ChineseLanguage chinese;
    ASSERT_EQ(QLocale().language(), QLocale::Chinese);
    expectReadings(kLeadingNumbers);
    expectReadings(kFullWidthNumbers);
    expectWritings(Str, kGeneralForms);
    expectWritings(formatPattern, kPatterns);
    expectWritings(labelText, kLabels);
}

TEST(ClearVectorState, IsSafeOnAnyProcessorAndLeavesResultsAlone) {
    const double before = std::pow(1.0001, 12345.6);
    for (int i = 0; i < 3; ++i)
        clearVectorState();
    EXPECT_EQ(std::pow(1.0001, 12345.6), before);
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

// Stretches of equal spacing stand for exactly the values repeated addition gives, in order and in number:
// a wide plot's four million samples across zero, steps that tie between two units (the spacing
// alternates), steps too small to move the value, values near zero and subnormal, runs cut by the passes
// or by an end that is infinite or not a number, and random ranges and steps of every size.
TEST(CountedStretches, GiveExactlyTheValuesOfRepeatedAddition) {
    struct Case {
        double start, end, step;
        long passes;
    };
    std::vector<Case> cases = {
        {-1000, 1000 - 0.0005, 0.0005, 4500002},
        {0.0125, 40 - 0.0125, 0.0125, 4500002},
        {-10, 10, 0.001, 25000},
        {10, -10, -0.001, 25000},
        {1, 2, 0x1.8p-52, 1000}, // a tie every time
        {1, 2, 0x1.8p-53, 1000}, // below half a unit after the first step
        {1e16, 2e16, 0.1, 1000}, // the value never moves
        {-1e-300, 1e-300, 3e-303, 4000},
        {-3e-310, 3e-310, 1e-312, 1000},
        {-5, 5, 0.3, 7},
        {0, HUGE_VAL, 0.25, 3000},
        {0, std::nan(""), 0.25, 3000},
        {-HUGE_VAL, 0, 1, 10},
        {1.5, 1.5, 0.5, 10},
        {0.9999999999999999, 1.0000000000000004, 0x1p-53, 100},
    };
    std::mt19937_64 random(20261209);
    for (int i = 0; i < 300; ++i) {
        const double start = std::ldexp(std::uniform_real_distribution<>(-1, 1)(random),
                                        std::uniform_int_distribution<>(-60, 60)(random));
        const double step = std::ldexp(std::uniform_real_distribution<>(-1, 1)(random),
                                       std::uniform_int_distribution<>(-70, 10)(random));
        cases.push_back(
            {start, start + step * 20000 * std::uniform_real_distribution<>(0, 1)(random), step, 30000});
    }
    for (const Case& c : cases) {
        std::vector<double> plain, stretched;
        long stretches = 0;
        canvas::countedLoop(
            c.start, c.end, c.step, [&](double v) { plain.push_back(v); }, c.passes);
        canvas::countedStretches(
            c.start, c.end, c.step,
            [&](double first, double spacing, long count) {
                ++stretches;
                for (long k = 0; k < count; ++k)
                    stretched.push_back(first + static_cast<double>(k) * spacing);
            },
            c.passes);
        ASSERT_EQ(plain.size(), stretched.size()) << c.start << " to " << c.end << " by " << c.step;
        for (std::size_t k = 0; k < plain.size(); ++k)
            ASSERT_EQ(std::memcmp(&plain[k], &stretched[k], sizeof(double)), 0)
                << "value " << k << " of " << c.start << " to " << c.end << " by " << c.step;
        if (&c == &cases.front()) {
            EXPECT_LT(stretches, 200) << "the wide plot's samples, in a few stretches";
        }
    }
}

#include "runtime/numbertext.h"

#include "../support/chineselanguage.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
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

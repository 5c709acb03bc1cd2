#include "runtime/countedloop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

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

#include "runtime/checkedmath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__x86_64__) || defined(__i386__)
#define EXPLORERS_X86 1
#endif

namespace canvas {

namespace {

// The maths library's pow returns a double within 0.54 of a unit in the last place of the true power (the
// worst case glibc states for its pow). A result accepted below lies within 0.44 units of the true value
// and is not a power of two, so its neighbours are at least 0.56 units away: pow cannot return them.
constexpr double kAcceptedUnits = 0.44;
// Bases and powers between these bounds keep every rounding error of the products a normal double, so the
// double-double value below carries about 100 significant bits.
constexpr double kSmallest = 0x1p-400;
constexpr double kLargest = 0x1p400;

#ifdef EXPLORERS_X86
// Chosen at run time below: with the fused multiply-add in hardware the two-product costs one instruction.
#define EXPLORERS_FMA __attribute__((target("fma")))
#else
#define EXPLORERS_FMA
#endif

// x^n by multiplication into c, and what c says of the double std::pow(x, n) returns.
EXPLORERS_FMA inline PowerKnown multipliedPowerInto(double x, int n, double& c) {
    const double ax = std::fabs(x);
    if (!(ax >= kSmallest && ax <= kLargest))
        return PowerKnown::No;
    // hi + lo is x^|n| with an error below 1e-28 of it: each product's rounding error is kept exactly.
    double hi = x, lo = 0;
    for (int i = std::abs(n); i > 1; --i) {
        const double p = hi * x;
        lo = std::fma(hi, x, -p) + lo * x;
        hi = p;
    }
    if (!(std::fabs(hi) >= kSmallest && std::fabs(hi) <= kLargest))
        return PowerKnown::No;
    if (n < 0) {
        const double q = 1 / hi;
        lo = (std::fma(-q, hi, 1.0) - q * lo) / hi;
        hi = q;
    }
    c = hi + lo;
    const double residual = std::fabs((hi - c) + lo);
    std::uint64_t bits;
    std::memcpy(&bits, &c, sizeof bits);
    const std::uint64_t exponent = (bits >> 52) & 0x7FF;
    if ((bits & 0xFFFFFFFFFFFFFull) == 0)
        return PowerKnown::No; // a power of two: its spacing differs on either side
    // One unit in the last place of c: 2^(exponent - 1023 - 52), exponent > 52 for every accepted c.
    const std::uint64_t unitBits = (exponent - 52) << 52;
    double unit;
    std::memcpy(&unit, &unitBits, sizeof unit);
    if (residual <= kAcceptedUnits * unit)
        return PowerKnown::Exactly;
    // c is the nearest double to the true power, which pow misses by at most 0.54 units: pow's double lies
    // within 1.04 units of c, so it is c or a neighbour.
    return PowerKnown::WithinOneUnit;
}

EXPLORERS_FMA std::optional<double> multipliedPowerWith(double x, int n) {
    double c = 0;
    if (multipliedPowerInto(x, n, c) == PowerKnown::Exactly)
        return c;
    return std::nullopt;
}

EXPLORERS_FMA void multipliedPowersWith(const double* x, std::size_t count, int n, double* value,
                                        PowerKnown* known) {
    // The square, by far the most plotted power, with its one product unrolled.
    if (n == 2)
        for (std::size_t i = 0; i < count; ++i)
            known[i] = multipliedPowerInto(x[i], 2, value[i]);
    else
        for (std::size_t i = 0; i < count; ++i)
            known[i] = multipliedPowerInto(x[i], n, value[i]);
}

bool hasFma() {
#ifdef EXPLORERS_X86
    static const bool has = __builtin_cpu_supports("fma");
    return has;
#else
    return true;
#endif
}

} // namespace

std::optional<double> multipliedPower(double x, int n) {
    if (n == 0 || std::abs(n) > kMaxMultipliedExponent || !hasFma())
        return std::nullopt;
    return multipliedPowerWith(x, n);
}

void multipliedPowers(const double* x, std::size_t count, int n, double* value, PowerKnown* known) {
    if (n == 0 || std::abs(n) > kMaxMultipliedExponent || !hasFma()) {
        std::fill_n(known, count, PowerKnown::No);
        return;
    }
    multipliedPowersWith(x, count, n, value, known);
}

double checkedPow(double x, double a) {
    if (x < 0 && a != std::trunc(a))
        throw RuntimeError(RuntimeErrorKind::InvalidCall, "negative base with a fractional exponent");
    if (x == 0 && a < 0)
        throw RuntimeError(RuntimeErrorKind::DivisionByZero, "division by zero");
    // Plots of whole powers take millions of these: a product is several times cheaper than pow.
    if (std::fabs(a) <= kMaxMultipliedExponent && a == std::trunc(a))
        if (const auto product = multipliedPower(x, static_cast<int>(a)))
            return *product;
    return checkFinite(std::pow(x, a));
}

double checkedLog(double x) {
    if (!(x > 0))
        throw RuntimeError(RuntimeErrorKind::InvalidCall, "logarithm of a number that is not positive");
    return checkFinite(std::log(x));
}

double checkedDiv(double a, double b) {
    if (b == 0)
        throw RuntimeError(RuntimeErrorKind::DivisionByZero, "division by zero");
    return checkFinite(a / b);
}

double checkFinite(double value) {
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    return value;
}

void throwOverflow() {
    throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
}

} // namespace canvas

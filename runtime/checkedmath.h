#pragma once

// Checked maths: the power, logarithm and quotient the curves are computed with, and the checks on
// finiteness and single precision, all raising a RuntimeError where the plain operation would give
// infinity or NaN. Whole powers are taken by multiplication where that is provably pow's own double.

#include "runtime/runtimeerror.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace canvas {

/// x raised to a, as the real power: a negative base needs a whole exponent. RuntimeError on overflow,
/// on 0 raised to a negative power and on a negative base with a fractional exponent.
double checkedPow(double x, double a);

/// Largest |n| that multipliedPower takes.
constexpr int kMaxMultipliedExponent = 64;

/// x^n for a whole n (0 < |n| <= kMaxMultipliedExponent) by multiplication, when the product is provably
/// the very double std::pow(x, n) returns; empty otherwise (then pow itself must be asked). Whole powers
/// plotted by the million cost a few multiplications each instead of a logarithm and an exponential.
std::optional<double> multipliedPower(double x, int n);

/// What a product tells of the double std::pow(x, n) returns.
enum class PowerKnown : std::uint8_t {
    Exactly,       ///< it is that double
    WithinOneUnit, ///< it is that double or one of its two neighbours
    No,            ///< nothing: pow itself must be asked
};

/// multipliedPower for a block of bases: value[i] and known[i] for x[i]. A plot takes its powers in blocks
/// of hundreds; where the product leaves pow's double open by one unit, a plot whose coordinates come out
/// the same for both neighbours need not ask pow either.
void multipliedPowers(const double* x, std::size_t count, int n, double* value, PowerKnown* known);

/// Natural logarithm; RuntimeError for a value that is not positive.
double checkedLog(double x);

/// a / b; RuntimeError when b is 0 or the quotient overflows.
double checkedDiv(double a, double b);

/// The value itself when it is finite; RuntimeError otherwise (a computation overflowed on the way).
double checkFinite(double value);

/// Raises the RuntimeError of an overflow.
[[noreturn]] void throwOverflow();

/// The value in single precision; RuntimeError when it does not fit (or is not finite). Inline: every
/// segment of a plot passes four coordinates through it.
inline float toSingle(double value) {
    // Also false for NaN.
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX)))
        throwOverflow();
    return static_cast<float>(value);
}

} // namespace canvas

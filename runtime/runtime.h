#pragma once

// Numeric and text services the windows rely on: reading a number from a text box, writing a number back as
// text, the "0.##" pattern, 16-bit rounding, the colour layout, the never-seeded random generator, and the
// checked maths that turns overflow and invalid operations into a RuntimeError instead of infinity or NaN.

#include <QString>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace canvas {

/// Kind of a run-time failure, as the handlers distinguish them (they mostly only care that one happened).
enum class RuntimeErrorKind { Overflow, DivisionByZero, InvalidCall };

/// A run-time failure inside drawing or tracing; a handler catches it where the failure ends its routine.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(RuntimeErrorKind kind, const char* what) : std::runtime_error(what), kind_(kind) {}
    RuntimeErrorKind kind() const { return kind_; }

private:
    RuntimeErrorKind kind_;
};

/// Colour as 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;

/// The numeric value at the start of a text box's text: blanks are skipped anywhere (also between digits),
/// full-width digits, signs, point and exponent letters read as their ASCII forms,
/// "1e3" and "1d3" are exponent forms, "&H" and "&O" prefixes read hexadecimal and octal. Text without a
/// leading number reads 0. Never fails: a value beyond double range reads as the largest finite double of
/// its sign, so no box ever yields infinity or NaN.
double Val(const QString& text);

/// The general decimal form of a number: at most 15 significant digits, no trailing zeros, exponent form
/// ("1E+15", "1E-05") outside 1e-4 <= |v| < 1e15. Reading it back with Val gives the value to 15 digits.
QString Str(double value);

/// Significant digits of a number printed on the canvas. A tick number is a sum of up to 25,000 spacings
/// (the tick loops' pass bound); each addition may be off by half a unit in the last binary place, so the
/// sum is within about 3e-12 of its size of the value a person would write. Ten digits round that error
/// away with a wide margin (half a unit in the tenth digit is at least 5e-11 of the value), while every
/// spacing of up to five significant digits still prints exactly.
constexpr int kLabelDigits = 10;

/// A number as the canvas prints it: the general decimal form of Str, rounded to kLabelDigits significant
/// digits, so 5.5 + 0.1 + 0.1 + ... reads "6.1" rather than "6.09999999999999". Range boxes keep Str: what
/// is written there is read back.
QString labelText(double value);
/// Room for the characters of any number in the general decimal form.
constexpr int kNumberTextCapacity = 64;
/// labelText's characters (ASCII, no terminator) written into `out`; returns how many. The canvas prints
/// tens of thousands of numbers a frame without making a string of each.
int labelChars(double value, char (&out)[kNumberTextCapacity]);

/// The "0.##" pattern: at least one digit before the point, at most two after it (halves rounded away from
/// zero), trailing zeros and a bare point dropped; a value that rounds to zero shows as "0".
QString formatPattern(double value);

/// Rounds to the nearest 16-bit integer, halves to the even neighbour; RuntimeError outside -32768..32767.
std::int16_t CInt(double value);

/// Integer part: the largest whole number not above the value.
double Int(double value);

/// Colour from components, each 0..255.
Colour RGB(int red, int green, int blue);

/// Red, green and blue of a colour.
inline int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
inline int greenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int blueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

/// Next number of the program's uniform generator in [0, 1), single precision. The generator is never
/// seeded, so every run of a program sees the same sequence.
float Rnd();

/// Puts the generator back to its state at program start (tests use it to replay colour sequences).
void resetRnd();

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

/// Clears the upper halves of the vector registers (vzeroupper), where the processor has AVX; does
/// nothing elsewhere. Qt's drawing and image routines use wide vector instructions and leave those halves
/// dirty; the maths library's older-encoded code then pays a state-transition penalty on every
/// instruction, making each std::pow about ten times slower. Call it where drawing hands over to numeric
/// work: after fills and batched lines, and at the start of sampling runs and trace ticks.
void clearVectorState();

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

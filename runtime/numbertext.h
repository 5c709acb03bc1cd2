#pragma once

// Numbers as text: reading the number a text box holds, the general decimal form a number is written back
// in, the canvas's shorter form of it for tick numbers, and the "0.##" pattern.

#include <QString>

namespace canvas {

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

} // namespace canvas

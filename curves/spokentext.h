#pragma once

// What the canvas says, written for the ear. A screen reader hands text to a speech synthesiser through a
// table of symbols: ";" and ":" come out as English words, "^" and "_" by their names, "-" before a digit
// is dropped by the synthesiser itself, and "=" is read in English. So every number, formula and point
// the canvas speaks is built here in words: "负 1.5", "y 等于 x 的三分之二次方", "1 乘 10 的 15 次方".
// The visible texts (the marker's label, the formulas on screen) are not made here and do not change.

#include "curves/curverecord.h"

#include <QString>

namespace canvas {

/// A number as it is printed ("-2.5", "1E+15", "-1E-05", "1.23e-07") in words for the ear: "负 2.5",
/// "1 乘 10 的 15 次方", "负 1 乘 10 的 负 5 次方". The digits themselves stay digits.
QString spokenNumber(const QString& printed);

/// A whole number from 0 to 99999 in Chinese numerals, as in a fraction read aloud: 3 "三", 12 "十二",
/// 105 "一百零五", 32768 "三万二千七百六十八". The sign is dropped; larger numbers stay digits.
QString chineseNumeral(int n);

/// The curve's formula in words: "y 等于 x 的 2 次方", "y 等于 x 的 负 1 次方", "y 等于 x 的三分之二次方",
/// "y 等于 2 的 x 次方", "y 等于以 2 为底 x 的对数", "y 等于 x".
QString spokenFormula(const CurveRecord& curve);

/// The digits a read-out says for a value: two decimals, or two significant digits where those reach
/// further (0.0009765625 is "0.00098"), so a value that is not 0 is never said as 0; beyond a million and
/// below 0.0001 three significant digits in exponent form ("1.05e+06"). `extraDigits` adds digits, up to
/// the seventeen that give the value back exactly.
QString readOutDigits(double value, int extraDigits = 0);

/// The extra digits readOutDigits needs for its last digit to stand for `resolution` or less: none for the
/// default view's hundredths, three for points 0.00004 apart.
int extraDigitsFor(double value, double resolution);

/// The value of digits in the form readOutDigits and Str give; 0 for text that is not such a number. Digits
/// beyond the largest double ("1.8e+308") read as the largest double of their sign.
double digitsValue(const QString& digits);

/// True when the text holds nothing a speech synthesiser reads by a symbol's name or in English: no
/// ";", ":", "^", "_", "-", "−", "=", "+", "/", "(", ")", none of the full-width "，", "；", "：", "。" that
/// are read by name, and no Latin letters but the coordinates' x and y.
bool readsAsWords(const QString& text);

} // namespace canvas

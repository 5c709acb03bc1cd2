#pragma once

// A curve drawn on the canvas as data: which function it is, with its parameters and its formula as the
// windows write it. Exploring a curve and hearing it work from this record and the view alone, never from
// the drawn pixels, so the values read out are the function's own; a screen reader hears the formula in
// words made from the parameters (spokentext.h).

#include <QString>

#include <optional>

namespace canvas {

/// The functions the programs draw.
enum class CurveKind {
    Power,       ///< y = x^(numerator/denominator), the fraction as typed
    Exponential, ///< y = base^x
    Logarithm,   ///< y = log_base x
    Identity,    ///< y = x, the symmetry axis
};

struct CurveRecord {
    CurveKind kind = CurveKind::Identity;
    /// The exponent of a power as typed: 2/4 keeps its even denominator, so x < 0 stays undefined, as
    /// the plot leaves it. The integer form is n/1.
    int numerator = 1;
    int denominator = 1;
    /// A power typed in the fraction form m/n, drawn by the fraction routine even when n is 1.
    bool fractionForm = false;
    /// The base of an exponential or a logarithm.
    double base = 0;
    /// "y = x^2", "y = log_2 x": the formula as written, never spoken.
    QString formula;
};

/// y = x^n, or x^(n/m) with m not 1.
CurveRecord powerCurve(int n, int m, const QString& formula);
/// y = a^x or y = log_a x, as `kind` says.
CurveRecord baseCurve(CurveKind kind, double a, const QString& formula);
/// y = x.
CurveRecord identityCurve();

/// The curve's value at x, or nothing where the function is undefined. A value too large for a double
/// comes back as the largest finite one of its sign, so no caller ever holds an infinity.
std::optional<double> curveValue(const CurveRecord& curve, double x);

/// True when x = 0 splits the curve: the end of its domain or a pole lies there.
bool breaksAtZero(const CurveRecord& curve);

} // namespace canvas

#include "curves/curverecord.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace canvas {

namespace {

double exponentOf(const CurveRecord& c) {
    return c.denominator == 0 ? 0 : static_cast<double>(c.numerator) / c.denominator;
}

// Overflow keeps its sign at the largest double; a value with no meaning is no value.
std::optional<double> finite(double y) {
    if (std::isnan(y))
        return std::nullopt;
    if (std::isinf(y))
        return std::copysign(std::numeric_limits<double>::max(), y);
    return y;
}

std::optional<double> powerValue(const CurveRecord& c, double x) {
    const double a = exponentOf(c);
    if (c.denominator == 0 || !std::isfinite(x))
        return std::nullopt;
    if (x == 0)
        return a > 0 ? std::optional<double>(0.0) : std::nullopt;
    if (x > 0)
        return finite(std::pow(x, a));
    // Left of zero only an odd denominator gives a real root; the numerator decides the mirror.
    if (c.denominator % 2 == 0)
        return std::nullopt;
    const double v = std::pow(-x, a);
    return finite(c.numerator % 2 != 0 ? -v : v);
}

} // namespace

CurveRecord powerCurve(int n, int m, const QString& formula) {
    CurveRecord c;
    c.kind = CurveKind::Power;
    c.numerator = n;
    c.denominator = m;
    c.formula = formula;
    return c;
}

CurveRecord baseCurve(CurveKind kind, double a, const QString& formula) {
    CurveRecord c;
    c.kind = kind;
    c.base = a;
    c.formula = formula;
    return c;
}

CurveRecord identityCurve() {
    CurveRecord c;
    c.formula = QStringLiteral("y = x");
    return c;
}

std::optional<double> curveValue(const CurveRecord& c, double x) {
    if (!std::isfinite(x))
        return std::nullopt;
    switch (c.kind) {
    case CurveKind::Power:
        return powerValue(c, x);
    case CurveKind::Exponential:
        if (!(c.base > 0) || !std::isfinite(c.base))
            return std::nullopt;
        return finite(std::pow(c.base, x));
    case CurveKind::Logarithm: {
        if (!(x > 0) || !(c.base > 0) || c.base == 1 || !std::isfinite(c.base))
            return std::nullopt;
        return finite(std::log(x) / std::log(c.base));
    }
    case CurveKind::Identity:
        return x;
    }
    return std::nullopt;
}

bool breaksAtZero(const CurveRecord& c) {
    switch (c.kind) {
    case CurveKind::Power:
        return exponentOf(c) < 0 || c.denominator % 2 == 0;
    case CurveKind::Logarithm:
        return true;
    case CurveKind::Exponential:
    case CurveKind::Identity:
        break;
    }
    return false;
}

} // namespace canvas

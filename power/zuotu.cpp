#include "power/zuotu.h"

#include "drawing/curvestyle.h"
#include "runtime/countedloop.h"
#include "runtime/messagebox.h"
#include "runtime/runtime.h"

#include <cmath>

namespace quorvex {

QString formula1(std::int16_t n) {
    return n < 0 ? QStringLiteral("y = x^(%1)").arg(n) : QStringLiteral("y = x^%1").arg(n);
}

QString formula2(std::int16_t n, std::int16_t m) {
    // The sign leads the fraction, whichever of the two numbers carries it.
    const bool negative = (n < 0) != (m < 0);
    return QStringLiteral("y = x^(%1%2/%3)")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(std::abs(static_cast<int>(n)))
        .arg(std::abs(static_cast<int>(m)));
}

using canvas::checkedPow;
using canvas::Colour;
using canvas::RuntimeError;

namespace {

// Each plot takes the next three numbers of the generator as red, green and blue, before anything else
// (in high contrast too, where the palette's colour takes their place).
Colour curveColour() {
    // The product is single precision, like the generator's numbers.
    const int r = static_cast<int>(canvas::Int(canvas::Rnd() * 255.0f));
    const int g = static_cast<int>(canvas::Int(canvas::Rnd() * 255.0f));
    const int b = static_cast<int>(canvas::Int(canvas::Rnd() * 255.0f));
    return canvas::CurveStyle::instance().next(canvas::RGB(r, g, b));
}

// The sampling step: the reciprocal of the view's width. It is also the margin by which clamped values lie
// beyond the edge. Zero when the width leaves it undefined (an empty or unrepresentable view).
double samplingStep(const canvas::ViewRange& view) {
    const double width = view.xmax - view.xmin;
    if (width == 0 || !std::isfinite(width))
        return 0;
    const double s = 1 / width;
    return std::isfinite(s) ? s : 0;
}

// Runs body(x) from start to end by repeated addition of s. Only a run too long to finish at once takes a
// wider step (see kWideViewSamples); every view a pupil reaches by zooming and panning keeps s itself.
template <class Body> void samplingRun(double start, double end, double s, Body&& body) {
    // The run is all maths-library powers; whatever Qt drew before must not slow every one of them.
    canvas::clearVectorState();
    double step = s;
    const double samples = (end - start) / s;
    if (samples > kMaxSamplesPerRun)
        step = (end - start) / kWideViewSamples;
    canvas::countedLoop(start, end, step, body, static_cast<long>(kMaxSamplesPerRun) + 2);
}

// Where the integer plot of a positive exponent moves values far outside the view: ten times the edge, as
// long as that lies outside the view; for a view wholly above or below the x axis, nine view heights beyond
// the edge instead, so no visible sample is ever moved.
struct ClampLimits {
    double high;
    double low;
};

ClampLimits positiveExponentLimits(const canvas::ViewRange& view) {
    const double height = view.ymax - view.ymin;
    return {view.ymax > 0 ? 10 * view.ymax : view.ymax + 9 * height,
            view.ymin < 0 ? 10 * view.ymin : view.ymin - 9 * height};
}

constexpr double kFixedLimit = 100000;

// checkedPow with the exponent fixed, remembering its last base. Within a run the next segment starts at
// the last one's end, x + s, the very same double: its power is the one just computed, so each sample is
// raised once instead of twice. A failure leaves nothing remembered and passes through as before.
class PowerOf {
public:
    explicit PowerOf(double exponent) : exponent_(exponent) {}
    double operator()(double x) {
        // The sign of a zero matters to odd powers: -0 and +0 are different bases.
        if (known_ && x == lastX_ && std::signbit(x) == std::signbit(lastX_))
            return lastY_;
        lastY_ = checkedPow(x, exponent_);
        lastX_ = x;
        known_ = true;
        return lastY_;
    }

private:
    double exponent_;
    bool known_ = false;
    double lastX_ = 0;
    double lastY_ = 0;
};

bool isOdd(int v) {
    return v % 2 != 0;
} // a negative odd number leaves -1: odd too

} // namespace

PlotOutcome zuotu1(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n) {
    const Colour colour = curveColour();
    const double s = samplingStep(view);
    if (n == 0) {
        canvas::MsgBox(QStringLiteral("m不能为零或空！"), canvas::kWarningTitle,
                       canvas::MessageIcon::Exclamation);
        return PlotOutcome::Rejected;
    }
    if (s == 0)
        return PlotOutcome::Drawn;
    // A run-time failure from here on (an overflowing power, a coordinate beyond single precision) ends the
    // plot quietly; the segments already drawn stay.
    try {
        PowerOf power(n);
        auto segment = [&](double x, double high, double highValue, double low, double lowValue) {
            double y1 = power(x);
            const double x2 = x + s;
            double y2 = power(x2);
            if (y1 > high)
                y1 = highValue;
            if (y2 > high)
                y2 = highValue;
            if (y1 < low)
                y1 = lowValue;
            if (y2 < low)
                y2 = lowValue;
            surface.Line(x, y1, x2, y2, colour);
        };
        if (n > 0) {
            const ClampLimits limits = positiveExponentLimits(view);
            samplingRun(view.xmin, view.xmax - s, s,
                        [&](double x) { segment(x, limits.high, view.ymax + s, limits.low, view.ymin - s); });
        } else {
            // The pole at 0: two runs that leave at least the strip from -s to s empty.
            auto pass = [&](double x) {
                segment(x, kFixedLimit, view.ymax + s, -kFixedLimit, view.ymin - s);
            };
            samplingRun(view.xmin, -2 * s, s, pass);
            samplingRun(s, view.xmax - s, s, pass);
        }
    } catch (const RuntimeError&) {
    }
    return PlotOutcome::Drawn;
}

PlotOutcome zuotu2(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n, std::int16_t m) {
    const Colour colour = curveColour();
    const double s = samplingStep(view);
    const double L =
        std::fabs(view.xmax) > std::fabs(view.xmin) ? std::fabs(view.xmax) : std::fabs(view.xmin);
    if (n == 0 || m == 0) {
        canvas::MsgBox(QStringLiteral("m, n不能为零或空！"), canvas::kWarningTitle,
                       canvas::MessageIcon::Exclamation);
        return PlotOutcome::Rejected;
    }
    if (s == 0)
        return PlotOutcome::Drawn;
    const double a = static_cast<double>(n) / m;
    // Whether the left half exists depends on the denominator as typed, not on the reduced fraction; the
    // kind of mirror on the numerator.
    const bool leftHalf = isOdd(m);
    const bool throughOrigin = isOdd(n);
    try {
        PowerOf power(a);
        auto mirror = [&](double x, double y1, double x2, double y2) {
            if (throughOrigin)
                surface.Line(-x, -y1, -x2, -y2, colour);
            else
                surface.Line(-x, y1, -x2, y2, colour);
        };
        if (a < 0) {
            samplingRun(s, L - s, s, [&](double x) {
                if (x == 0)
                    return;
                const double y1 = power(x);
                const double x2 = x + s;
                const double y2 = power(x2);
                surface.Line(x, y1, x2, y2, colour);
                if (leftHalf)
                    mirror(x, y1, x2, y2);
            });
        } else if (!leftHalf) {
            samplingRun(0, L - s, s, [&](double x) {
                const double y1 = power(x);
                const double x2 = x + s;
                surface.Line(x, y1, x2, power(x2), colour);
            });
        } else {
            samplingRun(0, L - s, s, [&](double x) {
                double y1 = power(x);
                const double x2 = x + s;
                double y2 = power(x2);
                if (y1 > kFixedLimit)
                    y1 = view.ymax;
                if (y2 > kFixedLimit)
                    y2 = view.ymax;
                if (y1 < -kFixedLimit)
                    y1 = view.ymin;
                if (y2 < -kFixedLimit)
                    y2 = view.ymin;
                surface.Line(x, y1, x2, y2, colour);
                mirror(x, y1, x2, y2);
            });
        }
    } catch (const RuntimeError&) {
    }
    return PlotOutcome::Drawn;
}

} // namespace quorvex

#include "power/zuotu.h"

#include "curves/lesson.h"
#include "drawing/curvestyle.h"
#include "runtime/countedloop.h"
#include "runtime/runtime.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <utility>

namespace quorvex {

QString formula1(std::int16_t n) {
    return canvas::writtenFormula(canvas::powerCurve(n, 1, {}));
}

QString formula2(std::int16_t n, std::int16_t m) {
    canvas::CurveRecord fraction = canvas::powerCurve(n, m, {});
    fraction.fractionForm = true;
    return canvas::writtenFormula(fraction);
}

using canvas::checkedPow;
using canvas::Colour;
using canvas::RuntimeError;

Colour nextCurveColour() {
    // The product is single precision, like the generator's numbers.
    const int r = static_cast<int>(canvas::Int(canvas::Rnd() * 255.0f));
    const int g = static_cast<int>(canvas::Int(canvas::Rnd() * 255.0f));
    const int b = static_cast<int>(canvas::Int(canvas::Rnd() * 255.0f));
    return canvas::CurveStyle::instance().next(canvas::RGB(r, g, b));
}

namespace {

// The sampling step: the reciprocal of the view's width. It is also the margin by which clamped values lie
// beyond the edge. Zero when the width leaves it undefined (an empty or unrepresentable view).
double samplingStep(const canvas::ViewRange& view) {
    const double width = view.xmax - view.xmin;
    if (width == 0 || !std::isfinite(width))
        return 0;
    const double s = 1 / width;
    return std::isfinite(s) ? s : 0;
}

// The step of a run from start to end: s itself, unless the run is too long to finish at once (see
// kWideViewSamples); every view a pupil reaches by zooming and panning keeps s.
double runStep(double start, double end, double s) {
    const double samples = (end - start) / s;
    return samples > kMaxSamplesPerRun ? (end - start) / kWideViewSamples : s;
}

// Runs body(x) from start to end by repeated addition of the run's step.
template <class Body> void samplingRun(double start, double end, double s, Body&& body) {
    // The run is all maths-library powers; whatever Qt drew before must not slow every one of them.
    canvas::clearVectorState();
    canvas::countedLoop(start, end, runStep(start, end, s), body, static_cast<long>(kMaxSamplesPerRun) + 2);
}

// Where the integer plot of a positive exponent moves values far outside the view: ten times the edge, as
// long as that lies outside the view; for a view wholly above or below the x axis, nine view heights beyond
// the edge instead, so no visible sample is ever moved.
struct ClampLimits {
    double high;
    double low;
};

// What the integer plot does to each end of a segment: a value above `high` becomes `highValue`, then a
// value below `low` becomes `lowValue`.
struct Clamp {
    double high, highValue, low, lowValue;
    double operator()(double y) const {
        if (y > high)
            y = highValue;
        if (y < low)
            y = lowValue;
        return y;
    }
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

// The samples of one run of zuotu1 in blocks, so that their powers come from multiplication in one go and
// the surface takes each block as a polyline.
constexpr std::size_t kBlock = 512;

// The single-precision coordinate Line would take for the clamped value, or false where it would raise
// its error.
bool singleOf(double v, float& out) {
    if (!(std::fabs(v) <= static_cast<double>(FLT_MAX)))
        return false;
    out = static_cast<float>(v);
    return true;
}

// Whether every double between the neighbours below and above c gives the same clamped single-precision
// coordinate: then it does not matter which of the three pow would return. out is that coordinate.
bool sameForNeighbours(double c, const Clamp& clamp, float& out) {
    std::uint64_t bits;
    std::memcpy(&bits, &c, sizeof bits);
    double below, above;
    const std::uint64_t belowBits = bits - 1, aboveBits = bits + 1;
    std::memcpy(&below, &belowBits, sizeof below);
    std::memcpy(&above, &aboveBits, sizeof above);
    if (below > above)
        std::swap(below, above);
    // Each step of the clamp compares with a fixed limit, so a double between the two decides as they do
    // when they agree; rounding to single precision keeps the order.
    const bool high = below > clamp.high;
    if (high != (above > clamp.high))
        return false;
    if (high)
        return singleOf(clamp(below), out);
    if ((below < clamp.low) != (above < clamp.low))
        return false;
    float low = 0, up = 0;
    if (!singleOf(clamp(below), low) || !singleOf(clamp(above), up) || low != up)
        return false;
    out = low;
    return true;
}

// x^n by plain products, within (|n| + 1) units in the last place of the true power for the exponents
// multiplication serves.
double roughPower(double x, int n) {
    double p = x;
    for (int i = std::abs(n); i > 1; --i)
        p *= x;
    return n < 0 ? 1 / p : p;
}

// Whether a power known only as roughly as roughPower is clamped whatever its last digits: far above the
// high limit, or far below the low one and not above the high one. Then pow's double, finite as well, ends
// as the clamp's value, and most samples of a wide view need no exact power at all. The bounds are taken
// once for a run: this is asked of every sample.
class ClampedRegardless {
public:
    explicit ClampedRegardless(const Clamp& clamp)
        : above_(clamp.high + std::fabs(clamp.high) * kSlack),
          below_(clamp.low - std::fabs(clamp.low) * kSlack),
          notAbove_(clamp.high - std::fabs(clamp.high) * kSlack), highValue_(clamp(HUGE_VAL)),
          lowValue_(clamp.lowValue) {}

    bool operator()(double rough, double& out) const { return side(rough, out) != 0; }

    /// 1 for a power clamped as above the high limit, -1 as below the low one, 0 where its digits matter.
    /// Along samples on one side of zero the rough power is monotonic, so each side holds one stretch of
    /// them.
    int side(double rough, double& out) const {
        if (!(std::fabs(rough) < kFar && std::fabs(rough) > kNear))
            return 0;
        if (rough > above_) {
            out = highValue_;
            return 1;
        }
        if (rough < below_ && rough < notAbove_) {
            out = lowValue_;
            return -1;
        }
        return 0;
    }

private:
    static constexpr double kSlack = 0x1p-40; // far more than the rough power's error
    static constexpr double kFar = 0x1p1000;  // well within the doubles: pow's double is finite too
    static constexpr double kNear = 0x1p-900; // far from underflow, where the products lose their precision
    double above_, below_, notAbove_;
    double highValue_, lowValue_; // what the clamp makes of a value above `high`, and of one below `low`
};

// What one block works in, set up once per run.
struct BlockBuffers {
    double product[kBlock + 1];
    canvas::PowerKnown known[kBlock + 1];
    float fx[kBlock + 1], fy[kBlock + 1];
    bool clamped[kBlock + 1];
    double rest[kBlock + 1];
    double restProduct[kBlock + 1];
    canvas::PowerKnown restKnown[kBlock + 1];
};

// Draws the points xs[0, count) of a run: the same powers, clamps and single-precision coordinates as
// segment by segment, then one polyline. A sample whose power or coordinate fails ends the run as it ends
// the segment one: the segments before it are drawn, then the error passes on.
void drawBlock(canvas::Surface& surface, const double* xs, std::size_t count, int n, const Clamp& clamp,
               Colour colour, PowerOf& power, BlockBuffers& b) {
    double* product = b.product;
    canvas::PowerKnown* known = b.known;
    float* fx = b.fx;
    float* fy = b.fy;
    bool* clamped = b.clamped;
    double* rest = b.rest;
    double* restProduct = b.restProduct;
    canvas::PowerKnown* restKnown = b.restKnown;
    // Samples clamped whatever their power's last digits first; the exact powers only for the others.
    std::size_t restCount = 0;
    const bool rough = std::abs(n) <= canvas::kMaxMultipliedExponent;
    const ClampedRegardless regardless(clamp);
    for (std::size_t i = 0; i < count; ++i) {
        clamped[i] = rough && regardless(roughPower(xs[i], n), product[i]);
        if (!clamped[i])
            rest[restCount++] = xs[i];
    }
    canvas::multipliedPowers(rest, restCount, n, restProduct, restKnown);
    for (std::size_t i = 0, r = 0; i < count; ++i)
        if (!clamped[i]) {
            product[i] = restProduct[r];
            known[i] = restKnown[r++];
        }
    std::size_t good = 0;
    for (; good < count; ++good) {
        if (!singleOf(xs[good], fx[good]))
            break;
        if (clamped[good]) {
            if (!singleOf(product[good], fy[good]))
                break;
        } else if (known[good] == canvas::PowerKnown::Exactly) {
            if (!singleOf(clamp(product[good]), fy[good]))
                break;
        } else if (known[good] == canvas::PowerKnown::No ||
                   !sameForNeighbours(product[good], clamp, fy[good])) {
            double y;
            try {
                y = clamp(power(xs[good]));
            } catch (const RuntimeError&) {
                surface.Polyline(fx, fy, good, colour);
                throw;
            }
            if (!singleOf(y, fy[good]))
                break;
        }
    }
    surface.Polyline(fx, fy, good, colour);
    if (good < count)
        canvas::throwOverflow();
}

// A run of zuotu1 by the step s itself, drawn in blocks of polylines: every sample the segment-by-segment
// run takes, in the same order, each block's last point starting the next.
//
// Most samples of a wide view are clamped onto a row beyond the canvas, whatever their power's last digits.
// A sample between two such neighbours on the same row is one the surface would pass over, so it never
// enters a block: the last point of the run along the row moves on to it instead (never a block's first
// point, which the block before has drawn). The samples come in stretches of equal spacing, each on one
// side of zero; there a run along a row ends where its side of the clamp does, found by halving, and the
// samples in between are never computed at all.
void polylineRun(canvas::Surface& surface, double start, double end, double s, int n, const Clamp& clamp,
                 Colour colour, PowerOf& power) {
    canvas::clearVectorState();
    double xs[kBlock + 1];
    BlockBuffers buffers{};
    std::size_t count = 0;
    const bool rough = std::abs(n) <= canvas::kMaxMultipliedExponent;
    const ClampedRegardless regardless(clamp);
    auto sideOf = [&](double x, double& y) { return rough ? regardless.side(roughPower(x, n), y) : 0; };
    // The trailing points of the block clamped regardless to `alongSide`, on a row beyond the canvas.
    std::size_t along = 0;
    int alongSide = 0;
    double beyondY = 0;
    bool beyond = false;
    auto stretch = [&](double first, double spacing, long samples) {
        auto at = [&](long k) { return first + static_cast<double>(k) * spacing; };
        for (long k = 0; k < samples; ++k) {
            const double x = at(k);
            double y;
            const int side = sideOf(x, y);
            if (side != 0) {
                if (along > 0 && side == alongSide) {
                    if (along >= 2 && count >= 2) {
                        // The last sample of this stretch still on that side: gallop, then halve.
                        long last = k, step = 1;
                        double ignored;
                        while (last + step < samples && sideOf(at(last + step), ignored) == side) {
                            last += step;
                            step *= 2;
                        }
                        for (long past = std::min(last + step, samples); past - last > 1;) {
                            const long middle = last + (past - last) / 2;
                            (sideOf(at(middle), ignored) == side ? last : past) = middle;
                        }
                        xs[count - 1] = at(last);
                        k = last;
                        continue;
                    }
                    ++along;
                } else {
                    if (y != beyondY || along == 0) {
                        beyondY = y;
                        beyond = surface.rowBeyondCanvas(static_cast<float>(y));
                    }
                    along = beyond ? 1 : 0;
                    alongSide = side;
                }
            } else {
                along = 0;
            }
            xs[count++] = x;
            if (count == kBlock) {
                drawBlock(surface, xs, count, n, clamp, colour, power, buffers);
                xs[0] = xs[count - 1];
                count = 1;
                along = std::min<std::size_t>(along, 1);
            }
        }
    };
    canvas::countedStretches(start, end, s, stretch, static_cast<long>(kMaxSamplesPerRun) + 2);
    if (count == 0)
        return;
    // The last segment ends one step after the last sample.
    xs[count] = xs[count - 1] + s;
    drawBlock(surface, xs, count + 1, n, clamp, colour, power, buffers);
}

bool isOdd(int v) {
    return v % 2 != 0;
} // a negative odd number leaves -1: odd too

} // namespace

PlotOutcome zuotu1(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n) {
    const Colour colour = nextCurveColour();
    return zuotu1(surface, view, n, colour);
}

PlotOutcome zuotu1(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t n, Colour colour) {
    const double s = samplingStep(view);
    if (n == 0) {
        return PlotOutcome::RefusedZeroExponent;
    }
    if (s == 0)
        return PlotOutcome::Drawn;
    // A run-time failure from here on (an overflowing power, a coordinate beyond single precision) ends the
    // plot quietly; the segments already drawn stay.
    try {
        PowerOf power(n);
        auto run = [&](double start, double end, const Clamp& clamp) {
            if (surface.takesPolylines() && runStep(start, end, s) == s) {
                polylineRun(surface, start, end, s, n, clamp, colour, power);
                return;
            }
            samplingRun(start, end, s, [&](double x) {
                const double y1 = clamp(power(x));
                const double x2 = x + s;
                surface.Line(x, y1, x2, clamp(power(x2)), colour);
            });
        };
        if (n > 0) {
            const ClampLimits limits = positiveExponentLimits(view);
            run(view.xmin, view.xmax - s, {limits.high, view.ymax + s, limits.low, view.ymin - s});
        } else {
            // The pole at 0: two runs that leave at least the strip from -s to s empty.
            const Clamp clamp{kFixedLimit, view.ymax + s, -kFixedLimit, view.ymin - s};
            run(view.xmin, -2 * s, clamp);
            run(s, view.xmax - s, clamp);
        }
    } catch (const RuntimeError&) {
        // An overflow or a power of a negative number ends the curve where it got to: what is drawn stays.
    }
    return PlotOutcome::Drawn;
}

PlotOutcome zuotu2(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t numerator,
                   std::int16_t denominator) {
    const Colour colour = nextCurveColour();
    return zuotu2(surface, view, numerator, denominator, colour);
}

PlotOutcome zuotu2(canvas::Surface& surface, const canvas::ViewRange& view, std::int16_t numerator,
                   std::int16_t denominator, Colour colour) {
    const double s = samplingStep(view);
    const double L =
        std::fabs(view.xmax) > std::fabs(view.xmin) ? std::fabs(view.xmax) : std::fabs(view.xmin);
    if (numerator == 0 || denominator == 0) {
        return PlotOutcome::RefusedZeroPart;
    }
    if (s == 0)
        return PlotOutcome::Drawn;
    const double a = static_cast<double>(numerator) / denominator;
    // Whether the left half exists depends on the denominator as typed, not on the reduced fraction; the
    // kind of mirror on the numerator.
    const bool leftHalf = isOdd(denominator);
    const bool throughOrigin = isOdd(numerator);
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
        // An overflow or a power of a negative number ends the curve where it got to: what is drawn stays.
    }
    return PlotOutcome::Drawn;
}

} // namespace quorvex

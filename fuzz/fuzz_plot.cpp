// The power plots on arbitrary views and exponents, on the recording surface (no pixels): no crash, no
// sanitizer report, bounded time. Properties: every coordinate is finite; no segment crosses x = 0 where
// the curve has its pole; clamped values lie within the view plus one sampling step (or inside the fixed
// limits that decide the clamping); the number of segments stays within the pass bounds.
//
// How an input gives its view: see fuzzsupport::ViewKind.

#include "fuzzsupport.h"
#include "power/zuotu.h"

#include <algorithm>

using canvas::SurfaceOp;
using fuzzsupport::check;

namespace {

FUZZ_UNTRACED bool crossesZero(const SurfaceOp& op) {
    return (op.a < 0 && op.c > 0) || (op.a > 0 && op.c < 0);
}

// Every y of the segments lies within [low, high] (single precision, as the surface keeps them).
FUZZ_UNTRACED void checkYWithin(const std::vector<SurfaceOp>& ops, double low, double high) {
    const float lo = static_cast<float>(std::max(low, -3.5e38));
    const float hi = static_cast<float>(std::min(high, 3.5e38));
    for (const SurfaceOp& op : ops)
        if (op.kind == SurfaceOp::Kind::Line)
            check(op.b >= lo && op.b <= hi && op.d >= lo && op.d <= hi);
}

// The least and the greatest of the values that are numbers: a view with a NaN limit gives a NaN edge, and
// a value clamped to it is refused by the surface, so it bounds nothing.
double least(double a, double b) {
    return std::isnan(a) ? b : std::isnan(b) ? a : std::min(a, b);
}
double greatest(double a, double b) {
    return std::isnan(a) ? b : std::isnan(b) ? a : std::max(a, b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    const fuzzsupport::ViewKind kind = fuzzsupport::viewKind(bytes.take<std::uint8_t>());
    const canvas::ViewRange v = fuzzsupport::readView(bytes, kind, false);
    const auto n = bytes.take<std::int16_t>();
    const auto m = bytes.take<std::int16_t>();
    canvas::Surface& surface = fuzzsupport::logicSurface();
    try {
        surface.Scale(v.xmin, v.ymax, v.xmax, v.ymin);
    } catch (const canvas::RuntimeError&) {
    }
    surface.setDrawWidth(2);
    surface.clearOperations();
    const double width = v.xmax - v.xmin;
    const double s = 1 / width;
    // Samples of a run: the width (or the wider half of the view) over the step; none without a step (an
    // empty, infinite or NaN width, or one so small that its reciprocal overflows).
    const double widest = std::max(std::fabs(v.xmin), std::fabs(v.xmax)) + std::fabs(width);
    const bool samples = std::isfinite(width) && width != 0 && std::isfinite(s);
    if (kind == fuzzsupport::ViewKind::Raw && samples &&
        !(std::fabs(widest * width) <= fuzzsupport::kWorkBudget))
        return 0;
    const long runBound = 2 * (static_cast<long>(quorvex::kMaxSamplesPerRun) + 2);

    quorvex::zuotu1(surface, v, n);
    const std::vector<SurfaceOp>& ops = surface.operations();
    check(fuzzsupport::allFinite(ops));
    check(static_cast<long>(ops.size()) <= runBound);
    if (n < 0) {
        check(std::none_of(ops.begin(), ops.end(), crossesZero));
        // Beyond the fixed limit a value is moved one step past the view's edge (the view may be upside
        // down: the edges are ymax + s and ymin - s either way).
        checkYWithin(ops, least(-100000.0, least(v.ymin - s, v.ymax + s)),
                     greatest(100000.0, greatest(v.ymin - s, v.ymax + s)));
    } else if (n > 0 && v.ymin < 0 && v.ymax > 0) {
        // A view whose x runs backwards has a negative step: the clamped values then lie a step inside
        // the edges, which in a view lower than one step is beyond the other edge.
        checkYWithin(ops, least(10 * v.ymin, least(v.ymin - s, v.ymax + s)),
                     greatest(10 * v.ymax, greatest(v.ymin - s, v.ymax + s)));
    }

    surface.clearOperations();
    quorvex::zuotu2(surface, v, n, m);
    check(fuzzsupport::allFinite(ops));
    check(static_cast<long>(ops.size()) <= runBound);
    if (n != 0 && m != 0 && static_cast<double>(n) / m < 0)
        check(std::none_of(ops.begin(), ops.end(), crossesZero));
    return 0;
}

// The timer-driven traces of both families (the main curve and the inverse) and the symmetry axis, on
// arbitrary bases, views and steps, on the recording surface (no pixels). Properties: every coordinate is
// finite; the trace state stays finite; a tick that reports a drawn segment drew exactly one; the symmetry
// axis stays within its pass bound.

#include "expolog/family.h"
#include "expolog/trace.h"
#include "fuzzsupport.h"
#include "runtime/countedloop.h"
#include "runtime/runtime.h"

using canvas::SurfaceOp;
using fuzzsupport::check;

namespace {

bool finite(const expolog::TraceState& s) {
    for (const double v : {s.baseA, s.lnBase, s.tracePos, s.traceLog, s.stepX, s.stepY, s.xSpan})
        if (!std::isfinite(v))
            return false;
    return true;
}

// Ticks a timer may take in one unbounded input: a trace at the window's step runs a few hundred.
constexpr int kMaxTicks = 4000;

// Failing ticks in a row that end an input. Such a trace has walked out of the curve's domain or beyond
// single precision (or its base has a zero logarithm) and nearly always fails on at every tick; each
// failure is a RuntimeError thrown and caught, which with the sanitizers costs as much as drawing dozens
// of segments.
constexpr int kMaxFailuresInARow = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    // The two lowest bits pick the family and the trace, the others how the view is given (see
    // fuzzsupport::ViewKind).
    const auto choice = bytes.take<std::uint8_t>();
    const expolog::Family& family = choice & 1 ? expolog::kTavrinth : expolog::kZelmora;
    const expolog::TraceRules& rules = choice & 2 ? family.inverseTrace : family.mainTrace;
    const fuzzsupport::ViewKind kind = fuzzsupport::viewKind(choice & 0xFC);
    const canvas::ViewRange v = fuzzsupport::readView(bytes, kind, true);
    for (const double x : {v.xmin, v.xmax, v.ymin, v.ymax})
        if (!std::isfinite(x))
            return 0; // the range panel never stores a value that is not finite
    expolog::TraceState state;
    state.baseA = bytes.take<double>();
    // The trace steps by the x tick spacing.
    state.stepX = v.xju1;
    if (!std::isfinite(state.baseA) || !std::isfinite(state.stepX))
        return 0;
    const bool unbounded = kind == fuzzsupport::ViewKind::RawUnbounded;
    const int ticks = unbounded ? kMaxTicks : static_cast<int>(fuzzsupport::kWorkBudget);

    canvas::Surface& surface = fuzzsupport::logicSurface();
    try {
        surface.Scale(v.xmin, v.ymax, v.xmax, v.ymin);
    } catch (const canvas::RuntimeError&) {
    }
    surface.clearOperations();
    try {
        state.lnBase = canvas::checkedLog(state.baseA);
        expolog::startTrace(rules, state, v);
    } catch (const canvas::RuntimeError&) {
        return 0; // the window refuses such a base before tracing
    }
    check(finite(state));
    const std::vector<SurfaceOp>& ops = surface.operations();
    int failures = 0;
    for (int tick = 0; tick < ticks && failures < kMaxFailuresInARow; ++tick) {
        const std::size_t before = ops.size();
        const expolog::TraceState last = state;
        const expolog::TickResult r = expolog::traceTick(rules, state, v, surface, canvas::RGB(255, 0, 0));
        check(finite(state));
        const bool drew = r == expolog::TickResult::Drawn || r == expolog::TickResult::Stopped;
        check(ops.size() == before + (drew ? 1 : 0));
        if (r == expolog::TickResult::Stopped || r == expolog::TickResult::Idle)
            break;
        failures = r == expolog::TickResult::Failed ? failures + 1 : 0;
        // A tick depends on the state alone: one that left it as it was (a zero step, or one too small to
        // move the position) repeats itself at every later tick, and a failing one throws each time.
        if (std::memcmp(&last, &state, sizeof state) == 0)
            break;
    }
    check(fuzzsupport::allFinite(ops));

    // The symmetry axis puts a dot every 0.05 across the view, up to the pass bound.
    if (!unbounded && !((v.xmax - v.xmin) / 0.05 <= fuzzsupport::kWorkBudget))
        return 0;
    surface.clearOperations();
    expolog::symmetryAxis(state, v, surface);
    check(finite(state));
    check(fuzzsupport::allFinite(ops));
    check(fuzzsupport::countOf(ops, SurfaceOp::Kind::PSet) <= canvas::kMaxLoopPasses + 1);
    return 0;
}

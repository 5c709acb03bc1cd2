// The timer-driven traces of both families (the main curve and the inverse) and the symmetry axis, on
// arbitrary bases, views and steps, on the recording surface (no pixels). Properties: every coordinate is
// finite; the trace state stays finite; a tick that reports a drawn segment drew exactly one; the symmetry
// axis stays within its pass bound.

#include "canvas/countedloop.h"
#include "canvas/runtime.h"
#include "expolog/family.h"
#include "expolog/trace.h"
#include "fuzzsupport.h"

using canvas::SurfaceOp;
using fuzzsupport::check;

namespace {

bool finite(const expolog::TraceState& s) {
    for (const double v : {s.baseA, s.lnBase, s.tracePos, s.traceLog, s.stepX, s.stepY, s.xSpan})
        if (!std::isfinite(v))
            return false;
    return true;
}

// Ticks a timer may take in one input: a trace at the window's step runs a few hundred.
constexpr int kTicks = 2000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    const auto choice = bytes.take<std::uint8_t>();
    const expolog::Family& family = choice & 1 ? expolog::kTavrinth : expolog::kZelmora;
    const expolog::TraceRules& rules = choice & 2 ? family.inverseTrace : family.mainTrace;
    canvas::ViewRange v;
    v.xmin = bytes.take<double>();
    v.xmax = bytes.take<double>();
    v.ymin = bytes.take<double>();
    v.ymax = bytes.take<double>();
    for (const double x : {v.xmin, v.xmax, v.ymin, v.ymax})
        if (!std::isfinite(x))
            return 0; // the range panel never stores a value that is not finite
    expolog::TraceState state;
    state.baseA = bytes.take<double>();
    state.stepX = bytes.take<double>();
    if (!std::isfinite(state.baseA) || !std::isfinite(state.stepX))
        return 0;

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
    for (int tick = 0; tick < kTicks; ++tick) {
        const std::size_t before = ops.size();
        const expolog::TickResult r = expolog::traceTick(rules, state, v, surface, canvas::RGB(255, 0, 0));
        check(finite(state));
        const bool drew = r == expolog::TickResult::Drawn || r == expolog::TickResult::Stopped;
        check(ops.size() == before + (drew ? 1 : 0));
        if (r == expolog::TickResult::Stopped || r == expolog::TickResult::Idle)
            break;
    }
    check(fuzzsupport::allFinite(ops));

    surface.clearOperations();
    expolog::symmetryAxis(state, v, surface);
    check(finite(state));
    check(fuzzsupport::allFinite(ops));
    check(fuzzsupport::countOf(ops, SurfaceOp::Kind::PSet) <= canvas::kMaxLoopPasses + 1);
    return 0;
}

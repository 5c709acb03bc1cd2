#include "expolog/trace.h"

#include "runtime/countedloop.h"
#include "runtime/runtime.h"

#include <cmath>

namespace expolog {

using canvas::checkedDiv;
using canvas::checkedLog;
using canvas::checkFinite;
using canvas::RuntimeError;

const TraceCase& TraceRules::forBase(double a) const {
    if (a > 1)
        return aboveOne;
    if (a > 0 && a < 1)
        return belowOne;
    if (a == 1)
        return one;
    return notPositive;
}

void startTrace(const TraceRules& rules, TraceState& s, const canvas::ViewRange& view) {
    switch (rules.forBase(s.baseA).start) {
    case Start::OneStep:
        s.tracePos = s.stepX;
        break;
    case Start::TwoSteps:
        s.tracePos = checkFinite(2 * s.stepX);
        break;
    case Start::OneAndAHalfWidestEdge: {
        // One and a half times the larger distance of a vertical window edge from the y axis.
        const double edge =
            std::fabs(view.xmax) > std::fabs(view.xmin) ? std::fabs(view.xmax) : std::fabs(view.xmin);
        s.tracePos = checkFinite(1.5 * edge);
        break;
    }
    case Start::Xmax:
        s.tracePos = view.xmax;
        break;
    case Start::Unchanged:
        break;
    }
}

namespace {

double logA(double t, double lnBase) {
    return checkedDiv(checkedLog(t), lnBase);
}

bool stopped(Stop stop, double p, double h, const canvas::ViewRange& view) {
    switch (stop) {
    case Stop::PastThreeXmax:
        return p > 3 * view.xmax;
    case Stop::PastXmax:
        return p > view.xmax;
    case Stop::PastXmaxPlusStep:
        return p > view.xmax + h;
    case Stop::BelowTwoSteps:
        return p < 2 * h;
    case Stop::BelowThreeSteps:
        return p < 3 * h;
    }
    return false;
}

} // namespace

TickResult traceTick(const TraceRules& rules, TraceState& s, const canvas::ViewRange& view,
                     canvas::Surface& surface, canvas::Colour colour) {
    const TraceCase& c = rules.forBase(s.baseA);
    if (c.walk == Walk::None)
        return TickResult::Idle;
    // A tick follows the repaint of the last one; its logarithms must not pay for Qt's vector state.
    canvas::clearVectorState();
    // The step is read afresh at every tick: a frame drawn meanwhile has made it the x tick spacing.
    const double h = s.stepX;
    const double moved = c.walk == Walk::DownAlongY ? s.tracePos - h : s.tracePos + h;
    if (!std::isfinite(moved))
        return TickResult::Failed;
    s.tracePos = moved;
    const double p = s.tracePos;
    const double next = c.walk == Walk::DownAlongY ? p - h : p + h;
    try {
        s.traceLog = logA(p, s.lnBase);
        const double nextLog = logA(next, s.lnBase);
        if (c.walk == Walk::AlongX)
            surface.Line(p, s.traceLog, next, nextLog, colour);
        else
            surface.Line(s.traceLog, p, nextLog, next, colour);
    } catch (const RuntimeError&) {
        return TickResult::Failed;
    }
    return stopped(c.stop, p, h, view) ? TickResult::Stopped : TickResult::Drawn;
}

void traceWhole(const TraceRules& rules, TraceState& state, const canvas::ViewRange& view,
                canvas::Surface& surface, canvas::Colour colour) {
    for (long tick = 0; tick < kMaxWholeTicks; ++tick) {
        const TickResult result = traceTick(rules, state, view, surface, colour);
        if (result == TickResult::Stopped || result == TickResult::Idle)
            return;
    }
}

void symmetryAxis(TraceState& s, const canvas::ViewRange& view, canvas::Surface& surface) {
    // A width beyond double range (typed limits near 1e308) is a run-time failure: nothing is drawn.
    const double span = view.xmax - view.xmin;
    if (!std::isfinite(span))
        return;
    s.xSpan = span;
    surface.setDrawWidth(1);
    // Dots 0.05 apart; a view so wide that this would take more than the loop bound allows gets dots
    // spread evenly over it instead (they are far closer than a pixel either way).
    double step = 0.05;
    if (s.xSpan / step > canvas::kMaxLoopPasses)
        step = s.xSpan / canvas::kMaxLoopPasses;
    try {
        s.tracePos = view.xmin;
        for (long pass = 0; pass <= canvas::kMaxLoopPasses && s.tracePos <= view.xmax; ++pass) {
            s.traceLog = s.tracePos;
            surface.PSet(s.tracePos, s.traceLog);
            const double next = s.tracePos + step;
            if (next == s.tracePos)
                break;
            s.tracePos = next;
        }
        surface.setCurrentX(checkedDiv(5 * view.xmax, s.xSpan));
        surface.setCurrentY(checkedDiv(5 * (view.ymax - view.ymin) * view.xmax, s.xSpan * s.xSpan));
        surface.setFontItalic(true);
        surface.Print(QStringLiteral("y=x"));
    } catch (const RuntimeError&) {
        // A view whose label position overflows or divides by zero ends the axis where it got to.
    }
}

} // namespace expolog

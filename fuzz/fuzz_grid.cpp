// The grid on arbitrary ranges and spacings, on the recording surface (no pixels). Properties: every
// coordinate is finite; no line lies on an axis; vertical lines run from ymax to ymin and horizontal ones
// from xmax to xmin; the four loops stay within their pass bounds; a zero spacing draws no line across
// its axis.

#include "drawing/grid.h"
#include "fuzzsupport.h"
#include "runtime/countedloop.h"

#include <cfloat>

using canvas::SurfaceOp;
using fuzzsupport::check;

namespace {

// Checks that every line is a grid line across the view, off the axes; gives their number.
FUZZ_UNTRACED long gridLines(const std::vector<SurfaceOp>& ops, const canvas::ViewRange& v) {
    const bool xSteps = v.xju1 > 0 || v.xju1 < 0;
    const bool ySteps = v.yju1 > 0 || v.yju1 < 0;
    long lines = 0;
    for (const SurfaceOp& op : ops) {
        if (op.kind != SurfaceOp::Kind::Line)
            continue;
        ++lines;
        check(op.colour == canvas::kGridColour);
        // A line off an axis lands on it only when the spacing is below single precision's finest step.
        const bool vertical = xSteps && op.a == op.c && op.b == static_cast<float>(v.ymax) &&
                              op.d == static_cast<float>(v.ymin) &&
                              (op.a != 0 || std::fabs(v.xju1) < FLT_TRUE_MIN);
        const bool horizontal = ySteps && op.b == op.d && op.a == static_cast<float>(v.xmax) &&
                                op.c == static_cast<float>(v.xmin) &&
                                (op.b != 0 || std::fabs(v.yju1) < FLT_TRUE_MIN);
        check(vertical || horizontal);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    canvas::Surface& surface = fuzzsupport::logicSurface();
    const fuzzsupport::ViewKind kind = fuzzsupport::viewKind(bytes.take<std::uint8_t>());
    const canvas::ViewRange v = fuzzsupport::readView(bytes, kind, true);
    if (kind == fuzzsupport::ViewKind::Raw && !fuzzsupport::loopsWithinBudget(v))
        return 0;
    try {
        surface.Scale(v.xmin, v.ymax, v.xmax, v.ymin);
    } catch (const canvas::RuntimeError&) {
    }
    surface.clearOperations();
    canvas::drawGrid(surface, v);

    const std::vector<SurfaceOp>& ops = surface.operations();
    check(fuzzsupport::allFinite(ops));
    check(gridLines(ops, v) <= 4 * canvas::kMaxLoopPasses);
    return 0;
}

// The coordinate frame on arbitrary ranges and spacings, on the recording surface (no pixels): no crash, no
// sanitizer report, bounded time whatever the numbers. Properties: every coordinate the frame hands to the
// canvas is finite; each of the four tick loops stays within its pass bound; a frame that copies its
// spacings copies them exactly once the range is mapped.

#include "drawing/frame.h"
#include "fuzzsupport.h"
#include "runtime/countedloop.h"
#include "runtime/viewrange.h"

using canvas::SurfaceOp;
using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    canvas::Surface& surface = fuzzsupport::logicSurface();
    // The lowest bit picks the style, the others how the view is given (see fuzzsupport::ViewKind).
    const auto selector = bytes.take<std::uint8_t>();
    const bool expLog = selector & 1;
    const canvas::FrameStyle style =
        expLog ? canvas::FrameStyle{0.0, 0.5, 1.2, true} : canvas::FrameStyle{0.001, 0.3, 1.0, false};
    const fuzzsupport::ViewKind kind = fuzzsupport::viewKind(selector & 0xFE);
    const canvas::ViewRange v = fuzzsupport::readView(bytes, kind, true);
    if (kind == fuzzsupport::ViewKind::Raw && !fuzzsupport::loopsWithinBudget(v))
        return 0;
    double stepX = 0, stepY = 0;
    const bool drawn = canvas::zuobiao(surface, style, v.xmin, v.xmax, v.ymin, v.ymax, v.xju1, v.yju1,
                                       {&stepX, &stepY}) == canvas::FrameOutcome::Drawn;

    const std::vector<SurfaceOp>& ops = surface.operations();
    check(fuzzsupport::allFinite(ops));
    // One number per tick: four loops, each at most the pass bound, plus the letters x, y and O.
    check(fuzzsupport::countOf(ops, SurfaceOp::Kind::Print) <= 4 * canvas::kMaxLoopPasses + 3);
    // Two axes, one line per tick, six for the arrow heads.
    const long lines = fuzzsupport::countOf(ops, SurfaceOp::Kind::Line);
    check(lines <= 4 * canvas::kMaxLoopPasses + 8);
    const bool mapped = lines > 0;
    if (style.copiesSpacings && mapped) {
        check(stepX == v.xju1 || (std::isnan(stepX) && std::isnan(v.xju1)));
        check(stepY == v.yju1 || (std::isnan(stepY) && std::isnan(v.yju1)));
    }
    if (drawn) {
        check(ops.back().kind == SurfaceOp::Kind::Print && ops.back().text == QStringLiteral("O"));
    }
    return 0;
}

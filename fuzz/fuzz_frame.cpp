// The coordinate frame and the grid on arbitrary ranges and spacings: no crash, no sanitizer report, and
// bounded time whatever the numbers (the fuzzer's -timeout is the budget per input).

#include "canvas/frame.h"
#include "canvas/grid.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    static canvas::Surface surface(QSize(389, 373), canvas::RGB(255, 255, 192), 0);
    const bool expLog = bytes.take<std::uint8_t>() & 1;
    const canvas::FrameStyle style =
        expLog ? canvas::FrameStyle{0.0, 0.5, 1.2, true} : canvas::FrameStyle{0.001, 0.3, 1.0, false};
    canvas::ViewRange v;
    v.xmin = bytes.take<double>();
    v.xmax = bytes.take<double>();
    v.ymin = bytes.take<double>();
    v.ymax = bytes.take<double>();
    v.xju1 = bytes.take<double>();
    v.yju1 = bytes.take<double>();
    double stepX = 0, stepY = 0;
    canvas::zuobiao(surface, style, v.xmin, v.xmax, v.ymin, v.ymax, v.xju1, v.yju1, {&stepX, &stepY});
    canvas::drawGrid(surface, v);
    return 0;
}

// The power plots on arbitrary views and exponents through the recording-free surface: no crash, no
// sanitizer report, bounded time.

#include "fuzzsupport.h"
#include "power/zuotu.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    static canvas::Surface surface(QSize(389, 373), canvas::RGB(255, 255, 192), 0);
    canvas::ViewRange v;
    v.xmin = bytes.take<double>();
    v.xmax = bytes.take<double>();
    v.ymin = bytes.take<double>();
    v.ymax = bytes.take<double>();
    const auto n = bytes.take<std::int16_t>();
    const auto m = bytes.take<std::int16_t>();
    try {
        surface.Scale(v.xmin, v.ymax, v.xmax, v.ymin);
    } catch (const canvas::RuntimeError&) {
    }
    surface.setDrawWidth(2);
    quorvex::zuotu1(surface, v, n);
    quorvex::zuotu2(surface, v, n, m);
    return 0;
}

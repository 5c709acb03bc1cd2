// The text services: reading a number from a box, number to text, the "0.##" pattern and the 16-bit
// conversion. Properties: reading never yields infinity or NaN; a number written as text reads back as the
// same number to 15 significant digits, and writing that again gives the same text; the pattern keeps at
// most two decimals of the value; the conversion either fails cleanly or lands within a half.

#include "fuzzsupport.h"
#include "runtime/runtime.h"

#include <cmath>
#include <cstdlib>

namespace {
using fuzzsupport::check;

void roundTrip(double v) {
    if (!std::isfinite(v))
        return;
    const QString text = canvas::Str(v);
    const double back = canvas::Val(text);
    check(std::isfinite(back));
    check(std::fabs(back - v) <= std::fabs(v) * 1e-14 || (std::fabs(v) < 1e-300 && std::fabs(back) < 1e-300));
    check(canvas::Str(back) == text);
    const QString pattern = canvas::formatPattern(v);
    check(!pattern.isEmpty());
    if (std::fabs(v) < 1e15)
        check(std::fabs(canvas::Val(pattern) - v) <= 0.005 + std::fabs(v) * 1e-15);
    try {
        const int r = canvas::CInt(v);
        check(std::fabs(r - v) <= 0.5);
    } catch (const canvas::RuntimeError&) {
        check(!(v > -32768.5 && v < 32767.5));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double v = canvas::Val(text);
    check(std::isfinite(v));
    roundTrip(v);
    fuzzsupport::Bytes bytes(data, size);
    roundTrip(bytes.take<double>());
    return 0;
}

#include "runtime/numericfunctions.h"

#include <cmath>
#include <cstdint>

namespace canvas {

std::int16_t CInt(double value) {
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    return static_cast<std::int16_t>(rounded);
}

double Int(double value) {
    return std::floor(value);
}

Colour RGB(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | (static_cast<Colour>(green & 0xFF) << 8) |
           (static_cast<Colour>(blue & 0xFF) << 16);
}

namespace {
// A 24-bit linear congruential generator: cheap, portable and the same in every run.
constexpr std::uint32_t kRndStart = 0x50000;
std::uint32_t rndState = kRndStart;
} // namespace

float Rnd() {
    rndState = (rndState * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<float>(rndState) / 16777216.0f;
}

void resetRnd() {
    rndState = kRndStart;
}

} // namespace canvas

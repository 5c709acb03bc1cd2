#pragma once

// The small numeric functions the plot routines are written with: 16-bit rounding, the integer part, the
// colour layout and the never-seeded random generator.

#include "runtime/runtimeerror.h"

#include <cstdint>

namespace canvas {

/// Colour as 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;

/// Rounds to the nearest 16-bit integer, halves to the even neighbour; RuntimeError outside -32768..32767.
std::int16_t CInt(double value);

/// Integer part: the largest whole number not above the value.
double Int(double value);

/// Colour from components, each 0..255.
Colour RGB(int red, int green, int blue);

/// Red, green and blue of a colour.
inline int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
inline int greenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int blueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

/// Next number of the program's uniform generator in [0, 1), single precision. The generator is never
/// seeded, so every run of a program sees the same sequence.
float Rnd();

/// Puts the generator back to its state at program start (tests use it to replay colour sequences).
void resetRnd();

} // namespace canvas

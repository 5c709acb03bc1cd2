#pragma once

// How curves are coloured. Normally each curve takes the random colour its program picks, some of them
// pale; in high contrast, for a projector at the back of a room, each takes the next of a few distinct dark
// colours instead (the same order every run) and is drawn twice as wide. The random numbers are drawn all
// the same, so switching the mode never changes which colours later come up.

#include "runtime/runtime.h"

#include <array>
#include <cstddef>

namespace canvas {

/// A colour by its parts.
struct Rgb {
    int red;
    int green;
    int blue;
};

/// The high-contrast colours, in the order curves take them: dark enough on the pale canvases to keep a
/// contrast ratio of at least 4.5 to 1, and far enough apart in hue to tell apart.
inline constexpr std::array<Rgb, 7> kHighContrastColours{{
    {0, 0, 180},   // blue
    {190, 0, 0},   // red
    {0, 110, 0},   // green
    {110, 0, 170}, // purple
    {150, 70, 0},  // brown
    {0, 100, 120}, // teal
    {170, 0, 110}, // magenta
}};

class CurveStyle {
public:
    /// The program's one curve style.
    static CurveStyle& instance();

    /// Off by default.
    bool highContrast() const { return highContrast_; }
    void setHighContrast(bool on) { highContrast_ = on; }

    /// The colour of a new curve whose program picked `picked`: that colour, or in high contrast the next
    /// of the palette.
    Colour next(Colour picked);
    /// The pen width of a curve drawn `normal` pixels wide.
    int width(int normal) const { return highContrast_ ? 2 * normal : normal; }

private:
    bool highContrast_ = false;
    std::size_t next_ = 0;
};

} // namespace canvas

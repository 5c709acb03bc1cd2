#pragma once

namespace canvas {

/// Maps the font names the windows were designed with (宋体, 楷体_GB2312, Times New Roman) to installed
/// fonts that look the same, so every control asks for its font by its original name.
void installFontSubstitutions();

} // namespace canvas

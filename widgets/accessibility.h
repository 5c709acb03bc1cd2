#pragma once

// How the shared controls present themselves to screen readers: a picture as words, a button or nothing
// (ImageControl), the canvas as a named canvas whose description says what it shows (CanvasWidget).

namespace canvas {

/// Registers the accessibility interfaces of the shared controls with Qt (once; later calls do nothing).
void installAccessibility();

} // namespace canvas

#pragma once

// The processor state numeric work needs after drawing: the one place that knows about the upper halves
// of the vector registers.

namespace canvas {

/// Clears the upper halves of the vector registers (vzeroupper), where the processor has AVX; does
/// nothing elsewhere. Qt's drawing and image routines use wide vector instructions and leave those halves
/// dirty; the maths library's older-encoded code then pays a state-transition penalty on every
/// instruction, making each std::pow about ten times slower. Call it where drawing hands over to numeric
/// work: after fills and batched lines, and at the start of sampling runs and trace ticks.
void clearVectorState();

} // namespace canvas

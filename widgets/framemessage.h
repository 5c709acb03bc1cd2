#pragma once

// What the pupil is told when a frame could not be drawn. The frame routine only reports what became of
// it; the window that asked for the frame says it, so drawing never opens a dialog.

#include "drawing/frame.h"

namespace canvas {

/// Tells the pupil why the frame stopped: "请输入完整的数据！" for a range the canvas cannot map; says
/// nothing of a frame that was drawn.
void tellFrameOutcome(FrameOutcome outcome);

} // namespace canvas

// The exerciser's checks after every action.

#pragma once

#include "runtime/runtime.h"

namespace exerciser {

/// True when `c` is one of the high-contrast colours.
bool inPalette(canvas::Colour c);

} // namespace exerciser

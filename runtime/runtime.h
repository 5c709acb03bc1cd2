#pragma once

// Numeric and text services the windows rely on, in one include: reading a number from a text box, writing
// a number back as text, the "0.##" pattern (numbertext.h); 16-bit rounding, the colour layout, the
// never-seeded random generator (numericfunctions.h); the checked maths that turns overflow and invalid
// operations into a RuntimeError instead of infinity or NaN (checkedmath.h, runtimeerror.h); and clearing
// the processor's vector state between drawing and numbers (processorstate.h).

#include "runtime/checkedmath.h"
#include "runtime/numbertext.h"
#include "runtime/numericfunctions.h"
#include "runtime/processorstate.h"
#include "runtime/runtimeerror.h"

#pragma once

// What the pieces of the surface share, and nothing else includes. The surface is one class in several
// files, one concern each: surface.cpp (the mapping, the state, the record of operations, Cls and PSet, the
// picture and drawing it again at a new density), surfacelines.cpp (segments from user units to the batch
// of pixel lines and the display list's vectors), surfaceclip.cpp (clipping a segment in floating point),
// fastlines.cpp (the direct rasterisers for the commonest lines), surfacetext.cpp (the glyph cache and
// blending text into the pixels), surfacedamage.cpp (what changed since the last repaint and since the
// last Cls) and surfacekept.cpp (a drawing kept and put back as it stood).

#include "drawing/surface.h"

#include <QColor>

namespace canvas::surfaceinternal {

inline QColor toQColor(Colour c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

inline SurfaceOp makeOp(SurfaceOp::Kind kind, float a = 0, float b = 0, float c = 0, float d = 0,
                        Colour colour = 0, int width = 1) {
    SurfaceOp op;
    op.kind = kind;
    op.a = a;
    op.b = b;
    op.c = c;
    op.d = d;
    op.colour = colour;
    op.width = width;
    return op;
}

} // namespace canvas::surfaceinternal

#pragma once

// The naive baseline every benchmark runs beside the real routine: a plain QPainter on an image of the
// canvas size, one drawLine per segment and one drawText per number, points mapped by hand.

#include "runtime/viewrange.h"

#include <QPainter>
#include <QSize>

namespace naive {

inline const QSize kCanvas(389, 373);

/// The coordinate frame of the power explorer for a range.
void frame(QPainter& p, const canvas::ViewRange& r);

/// The integer plot y = x^n (n > 0) with its clamps, the same samples as the real routine.
void plot(QPainter& p, const canvas::ViewRange& v, int n);

/// An image for the canvas at a display scale in per cent, the painter's units its logical pixels, as the
/// canvas draws at the projector's density.
QImage canvasImage(int percent);

/// A painter set up like the canvas: Times New Roman 9 pt, a 2-pixel round-capped pen for curves.
void setUp(QPainter& p);

} // namespace naive

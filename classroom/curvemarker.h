#pragma once

// The marker of the exploration and of a playing sound: a ring round the point with four short strokes, and
// beside it a label (the coordinates, or a notice). It is drawn over the canvas after the canvas has drawn
// itself, never into the canvas picture, so no saved, exported, printed or copied picture holds it. It is
// made to be seen from the back of a classroom: the ring is about 3 mm across on a 96 dpi screen at 100 %
// and grows with the display scale like everything else on the canvas; with 高对比度 it is black on a white
// halo and its label black on white.

#include "widgets/canvaswidget.h"

#include <QObject>
#include <QRectF>
#include <QString>

namespace canvas {

/// The ring's diameter and the strokes' reach from the point, in canvas pixels at 100 %.
constexpr double kMarkerRingDiameter = 12;
constexpr double kMarkerReach = 11;

class CurveMarker : public QObject {
    Q_OBJECT
public:
    /// A hidden marker over `canvas`.
    explicit CurveMarker(CanvasWidget* canvas);

    /// Shows the marker at a point in user units, with its label.
    void show(double x, double y, const QString& caption);
    void hide();
    bool isVisible() const { return visible_; }
    double x() const { return x_; }
    double y() const { return y_; }
    QString caption() const { return caption_; }

    /// Where the marker's ring and strokes, and its label, lie: widget pixels at 100 %.
    QRectF crossBox() const;
    QRectF labelBox() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paint();
    QFont labelFont() const;
    /// What the marker covers, in the canvas widget's own pixels: what a change of it repaints.
    QRect area() const;

    CanvasWidget* canvas_;
    bool visible_ = false;
    float x_ = 0;
    float y_ = 0;
    QString caption_;
};

} // namespace canvas

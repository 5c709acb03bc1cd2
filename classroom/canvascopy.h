#pragma once

// Ctrl+C copies the canvas to the clipboard, so a teacher can paste a graph into slides or a worksheet: the
// picture, and beside it the same canvas as SVG for programs that take vectors. Where a text box holds
// selected text, Ctrl+C copies that text instead, as everywhere else.

#include "widgets/canvaswidget.h"

#include <QObject>

namespace canvas {

class CanvasCopy : public QObject {
    Q_OBJECT
public:
    /// Copies the canvas of `window`; the window's copy command calls copyPicture().
    CanvasCopy(QWidget* window, CanvasWidget* canvas);

    /// Puts the canvas picture (at its logical size) and its SVG on the clipboard.
    void copyPicture();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CanvasWidget* canvas_;
};

} // namespace canvas

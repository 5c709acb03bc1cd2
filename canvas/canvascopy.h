#pragma once

// Ctrl+C copies the canvas picture to the clipboard, so a teacher can paste a graph into slides or a
// worksheet. Where a text box holds selected text, Ctrl+C copies that text instead, as everywhere else.

#include "canvaswidget.h"

#include <QObject>

namespace canvas {

class CanvasCopy : public QObject {
    Q_OBJECT
public:
    /// Installs the shortcut on the window, copying the picture of `canvas`.
    CanvasCopy(QWidget* window, CanvasWidget* canvas);

    /// Puts the canvas picture (at its logical size) on the clipboard.
    void copyPicture();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CanvasWidget* canvas_;
};

} // namespace canvas

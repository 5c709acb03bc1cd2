#include "classroom/canvascopy.h"

#include "classroom/pictureexport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

namespace canvas {

CanvasCopy::CanvasCopy(QWidget* window, CanvasWidget* canvas) : QObject(window), canvas_(canvas) {
    // A text box claims Ctrl+C for itself even with nothing selected; let it only when it has a selection.
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(this);
}

void CanvasCopy::copyPicture() {
    Surface& surface = canvas_->surface();
    auto* data = new QMimeData;
    data->setImageData(surface.picture());
    data->setData(QStringLiteral("image/svg+xml"), svgPicture(surface.displayList()));
    QGuiApplication::clipboard()->setMimeData(data);
}

bool CanvasCopy::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box && key->matches(QKeySequence::Copy) && !box->hasSelectedText())
            return true; // not claimed: the window's shortcut copies the picture
    }
    return QObject::eventFilter(watched, event);
}

} // namespace canvas

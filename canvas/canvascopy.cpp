#include "canvascopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace canvas {

CanvasCopy::CanvasCopy(QWidget* window, CanvasWidget* canvas) : QObject(window), canvas_(canvas) {
    auto* shortcut = new QShortcut(QKeySequence::Copy, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &CanvasCopy::copyPicture);
    // A text box claims Ctrl+C for itself even with nothing selected; let it only when it has a selection.
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(this);
}

void CanvasCopy::copyPicture() {
    QGuiApplication::clipboard()->setImage(canvas_->surface().picture());
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

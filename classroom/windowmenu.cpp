// The right-click menu of the window's free area and the keyboard's way to it, the Tab chain kept to what
// shows, and the focus that leaves a control as it is disabled.

#include "classroom/windowcommands.h"

#include "widgets/canvaswidget.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QCoreApplication>

namespace canvas {

void WindowCommands::updateTabChain() {
    // Tab must not take the focus where nothing shows (the inverse panel below the first view of a window
    // that can be enlarged). The chain keeps its order: a control only stops taking the focus by Tab
    // until it shows.
    const QRect visible = window_->rect();
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        if (w->isWindow())
            continue;
        const bool shows = visible.intersects(QRect(w->mapTo(window_, QPoint(0, 0)), w->size()));
        const auto left = outOfView_.constFind(w);
        if (left == outOfView_.cend()) {
            if (!shows && (w->focusPolicy() & Qt::TabFocus)) {
                outOfView_.insert(w, w->focusPolicy());
                w->setFocusPolicy(Qt::FocusPolicy(w->focusPolicy() & ~Qt::TabFocus));
            }
        } else if (shows) {
            w->setFocusPolicy(*left);
            outOfView_.erase(left);
        }
    }
}

bool WindowCommands::isPassive(const QWidget* w) const {
    // Controls take the focus; what does not, and lies on nothing that does, is decoration.
    for (; w && w != window_; w = w->parentWidget())
        if (w->focusPolicy() != Qt::NoFocus)
            return false;
    return true;
}

bool WindowCommands::isFreeArea(QPoint pos) const {
    return window_->rect().contains(pos) && isPassive(window_->childAt(pos));
}

void WindowCommands::showMenu(QPoint globalPos) {
    menu_->setFont(window_->font());
    menu_->popup(globalPos);
}

void WindowCommands::openMenuFromKeyboard() {
    QWidget* target = window_->focusWidget() ? window_->focusWidget() : window_;
    // Where Qt places a menu opened from the keyboard: a text box's cursor, the middle of anything else.
    const QPoint pos = target->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, target->mapToGlobal(pos));
    QCoreApplication::sendEvent(target, &event);
    // A control without a menu of its own leaves the event unaccepted, and keeps it from the window.
    if (!event.isAccepted())
        showMenu(event.globalPos());
}

bool WindowCommands::focusCanvasForDisabled() {
    QWidget* focused = window_->focusWidget();
    auto* canvas = window_->findChild<CanvasWidget*>();
    if (!focused || focused->isEnabled() || !canvas || !canvas->isVisible() || !canvas->isEnabled())
        return false;
    // Told while the control still has the focus, which is where a screen reader listens.
    QAccessible::State disabled;
    disabled.disabled = true;
    QAccessibleStateChangeEvent event(focused, disabled);
    QAccessible::updateAccessibility(&event);
    canvas->setFocus(Qt::OtherFocusReason);
    return true;
}

bool WindowCommands::menuOnFreeArea(const QContextMenuEvent* event) {
    if (!isFreeArea(window_->mapFromGlobal(event->globalPos())))
        return false;
    showMenu(event->globalPos());
    return true;
}

} // namespace canvas

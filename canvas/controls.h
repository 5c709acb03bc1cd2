#pragma once

// Building windows from their control tables: positions in twips (15 to a pixel), fonts by their design
// names, and the tab order by index.

#include <QFont>
#include <QRect>
#include <QWidget>

#include <exception>
#include <utility>
#include <vector>

namespace canvas {

/// A rectangle given in twips, in pixels.
QRect twips(int left, int top, int width, int height);

/// A font by its design name and point size.
QFont designFont(const QString& family, double pointSize, bool bold = false);

/// Chains the focus order of the widgets by their tab index (lowest first); unfocusable ones are skipped.
void setTabOrderByIndex(std::vector<std::pair<int, QWidget*>> widgets);

/// A slot that runs a window's handler and lets no exception out of it: a handler ends where its own
/// failures end it, and anything unforeseen must not take the window down with it.
template <class Window, class... Args> auto handler(Window* window, void (Window::*method)(Args...)) {
    return [window, method](Args... args) {
        try {
            (window->*method)(args...);
        } catch (const std::exception&) {
        }
    };
}

/// Cuts every connection from the window's controls to the window itself. A window calls it first thing in
/// its destructor: its handlers use state that is gone before Qt destroys the controls (and a control that
/// loses the focus on the way out would still call them).
void disconnectControls(QWidget* window);

/// Marks a control as covering the window: pointer moves over it are its own, not the window's.
void coverWindow(QWidget* control);

} // namespace canvas

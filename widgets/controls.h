#pragma once

// Building windows from their control tables: positions in twips (15 to a pixel), fonts by their design
// names, and the tab order by index. Positions and fonts take the window's display scale (1 at 100 %).

#include "runtime/runtime.h"
#include "runtime/unexpectedfailure.h"

#include <QFont>
#include <QRect>
#include <QWidget>

#include <exception>
#include <utility>
#include <vector>

namespace canvas {

/// A rectangle given in twips, in pixels, at a display scale.
QRect twips(int left, int top, int width, int height, qreal factor = 1.0);

/// A rectangle in pixels at 100 %, at a display scale: each edge is scaled and rounded once, so controls
/// that touch or line up at 100 % still do.
QRect scaledRect(const QRect& rect, qreal factor);

/// A font by its design name and point size, at a display scale.
QFont designFont(const QString& family, double pointSize, bool bold = false, qreal factor = 1.0);

/// A font of a control at 100 %, at a display scale.
QFont scaledFont(const QFont& font, qreal factor);

/// Chains the focus order of the widgets in the order given; unfocusable ones are skipped.
void setTabChain(const std::vector<QWidget*>& widgets);

/// A slot that runs a window's handler and lets no exception out of it. A run-time error (an overflow, the
/// logarithm of a number that is not positive, ...) ends the handler quietly where it got to, as the
/// windows rely on; anything else is a fault, which must not take the window down with it either but is
/// reported (standard error, and a count the exerciser fails on).
template <class Window, class... Args> auto handler(Window* window, void (Window::*method)(Args...)) {
    return [window, method](Args... args) {
        try {
            (window->*method)(args...);
        } catch (const RuntimeError&) {
        } catch (const std::exception& failure) {
            reportUnexpectedFailure(window->metaObject()->className(), failure);
        } catch (...) {
            reportUnexpectedFailure(window->metaObject()->className());
        }
    };
}

/// Cuts every connection from the window's controls to the window itself. A window calls it first thing in
/// its destructor: its handlers use state that is gone before Qt destroys the controls (and a control that
/// loses the focus on the way out would still call them).
void disconnectControls(QWidget* window);

/// Marks a control as covering the window: pointer moves over it are its own, not the window's.
void coverWindow(QWidget* control);

/// Return and Enter press the window's push buttons exactly as Space does: down on the key, clicked on its
/// release.
void enterPressesButtons(QWidget* window);

} // namespace canvas

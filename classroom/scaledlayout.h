#pragma once

// A window's controls at any display scale: their rectangles and fonts at 100 % are taken once, when the
// window is complete, and every change of scale places them anew from those (nothing is rebuilt, so no
// text, picture or state is lost).

#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <optional>
#include <vector>

namespace canvas {

class ScaledLayout {
public:
    /// Takes the 100 % layout of every control of `window` (the window must be built and at 100 %).
    explicit ScaledLayout(QWidget* window);

    /// Places and sizes every control at `factor`, the whole layout moved by `origin` (the margin of a
    /// full-screen window around its content). The window's own size is left to the caller.
    void apply(qreal factor, QPoint origin = {});

    qreal factor() const { return factor_; }

private:
    struct Control {
        QPointer<QWidget> widget;
        QRect rect;
        std::optional<QFont> font;
        bool topLevel;
    };

    QWidget* window_;
    QFont windowFont_;
    std::vector<Control> controls_;
    qreal factor_ = 1.0;
};

/// Keeps a secondary window (a dialog) at the program's display scale: its controls, fonts and fixed size
/// follow every change.
void followDisplayScale(QWidget* window);

} // namespace canvas

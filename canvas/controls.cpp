#include "controls.h"

#include <algorithm>
#include <cmath>

namespace canvas {

QRect twips(int left, int top, int width, int height) {
    auto px = [](int t) { return static_cast<int>(std::lround(t / 15.0)); };
    return {px(left), px(top), px(width), px(height)};
}

QFont designFont(const QString& family, double pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void setTabOrderByIndex(std::vector<std::pair<int, QWidget*>> widgets) {
    std::stable_sort(widgets.begin(), widgets.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QWidget* previous = nullptr;
    for (const auto& [index, widget] : widgets) {
        (void)index;
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void disconnectControls(QWidget* window) {
    for (QObject* child : window->findChildren<QObject*>())
        QObject::disconnect(child, nullptr, window, nullptr);
}

void coverWindow(QWidget* control) {
    control->setAttribute(Qt::WA_NoMousePropagation);
}

} // namespace canvas

#include "widgets/controls.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {

// Qt presses a push button with Space only (Return and Enter click just a default button, and the windows
// have none): each of the two keys goes to the button as Space, press and release alike.
class EnterAsSpace : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        QKeyEvent space(key->type(), Qt::Key_Space, key->modifiers() & ~Qt::KeypadModifier,
                        QStringLiteral(" "), key->isAutoRepeat(), key->count());
        QCoreApplication::sendEvent(watched, &space);
        event->setAccepted(space.isAccepted());
        return true;
    }
};

} // namespace

QRect twips(int left, int top, int width, int height, qreal factor) {
    auto px = [](int t) { return static_cast<int>(std::lround(t / 15.0)); };
    return scaledRect(QRect(px(left), px(top), px(width), px(height)), factor);
}

QRect scaledRect(const QRect& rect, qreal factor) {
    if (factor == 1.0)
        return rect;
    auto edge = [factor](int v) { return static_cast<int>(std::lround(v * factor)); };
    const int left = edge(rect.x());
    const int top = edge(rect.y());
    return {left, top, edge(rect.x() + rect.width()) - left, edge(rect.y() + rect.height()) - top};
}

QFont designFont(const QString& family, double pointSize, bool bold, qreal factor) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return scaledFont(font, factor);
}

QFont scaledFont(const QFont& font, qreal factor) {
    if (factor == 1.0 || font.pointSizeF() <= 0)
        return font;
    QFont scaled = font;
    scaled.setPointSizeF(font.pointSizeF() * factor);
    return scaled;
}

void setTabChain(const std::vector<QWidget*>& widgets) {
    std::vector<QWidget*> chain;
    for (QWidget* widget : widgets) {
        if (widget->focusPolicy() != Qt::NoFocus)
            chain.push_back(widget);
    }
    // Each goes right after the first, the last one first, so the chain reads in the order given. Chaining
    // each to the one before it is not enough: Qt leaves a widget where it is when Tab already reaches it
    // next, wrapping round the window, so a control that sat ahead of the first one would stay at the head of
    // the chain and take the focus when the window opens.
    for (std::size_t i = chain.size(); i > 1; --i)
        QWidget::setTabOrder(chain.front(), chain[i - 1]);
}

void disconnectControls(QWidget* window) {
    for (QObject* child : window->findChildren<QObject*>())
        QObject::disconnect(child, nullptr, window, nullptr);
}

void coverWindow(QWidget* control) {
    control->setAttribute(Qt::WA_NoMousePropagation);
}

void enterPressesButtons(QWidget* window) {
    auto* filter = new EnterAsSpace(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(filter);
}

} // namespace canvas

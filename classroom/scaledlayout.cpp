#include "classroom/scaledlayout.h"

#include "widgets/canvaswidget.h"
#include "widgets/controls.h"
#include "widgets/displayscale.h"

#include <functional>

namespace canvas {

ScaledLayout::ScaledLayout(QWidget* window) : window_(window), windowFont_(window->font()) {
    std::function<void(QWidget*)> take = [&](QWidget* parent) {
        for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isWindow())
                continue;
            // The canvas draws its own content at the scale; its font is that of its logical pixels.
            const bool ownFont = w->testAttribute(Qt::WA_SetFont) && !qobject_cast<CanvasWidget*>(w);
            controls_.push_back({w, w->geometry(), ownFont ? std::optional<QFont>(w->font()) : std::nullopt,
                                 parent == window_});
            // Controls lay out their own parts; only what is placed on the canvas is placed here too.
            if (qobject_cast<CanvasWidget*>(w))
                take(w);
        }
    };
    take(window_);
}

void ScaledLayout::apply(qreal factor, QPoint origin) {
    factor_ = factor;
    window_->setFont(scaledFont(windowFont_, factor));
    for (const Control& c : controls_) {
        if (!c.widget)
            continue;
        if (auto* canvas = qobject_cast<CanvasWidget*>(c.widget.data()))
            canvas->setScale(factor);
        if (c.font)
            c.widget->setFont(scaledFont(*c.font, factor));
        const QRect rect = scaledRect(c.rect, factor);
        c.widget->setGeometry(c.topLevel ? rect.translated(origin) : rect);
    }
}

namespace {
// Owned by the dialog, so the connection ends with it.
class ScaleFollower : public QObject {
public:
    explicit ScaleFollower(QWidget* window)
        : QObject(window), window_(window), layout_(window), size_(window->size()),
          fixed_(window->minimumSize() == window->maximumSize()) {
        connect(&DisplayScale::instance(), &DisplayScale::changed, this, [this](qreal f) { apply(f); });
        apply(DisplayScale::instance().factor());
    }

private:
    void apply(qreal factor) {
        layout_.apply(factor);
        const QSize size = scaledRect(QRect(QPoint(), size_), factor).size();
        if (fixed_)
            window_->setFixedSize(size);
        else
            window_->resize(size);
    }

    QWidget* window_;
    ScaledLayout layout_;
    QSize size_;
    bool fixed_;
};
} // namespace

void followDisplayScale(QWidget* window) {
    new ScaleFollower(window);
}

} // namespace canvas

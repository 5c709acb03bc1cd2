#include "widgets/accessibility.h"

#include "widgets/canvaswidget.h"
#include "widgets/imagecontrol.h"

#include <QAccessibleWidget>

namespace canvas {

namespace {

class AccessiblePicture : public QAccessibleWidget {
public:
    explicit AccessiblePicture(ImageControl* picture) : QAccessibleWidget(picture) {}

    QAccessible::Role role() const override {
        switch (picture()->pictureRole()) {
        case PictureRole::Button:
            return QAccessible::Button;
        case PictureRole::Text:
            return QAccessible::StaticText;
        case PictureRole::Decoration:
            break;
        }
        return QAccessible::Graphic;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        // Decoration has nothing to say; screen readers skip what is not showing.
        if (picture()->pictureRole() == PictureRole::Decoration)
            state.invisible = true;
        return state;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (picture()->pictureRole() == PictureRole::Button)
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& actionName) override {
        if (actionName != pressAction() || picture()->pictureRole() != PictureRole::Button) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        // Pressed after the assistive tool's request has been answered: the press may end the program.
        ImageControl* target = picture();
        QMetaObject::invokeMethod(
            target, [target] { target->activate(); }, Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override {
        if (actionName == pressAction() && picture()->pictureRole() == PictureRole::Button)
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    ImageControl* picture() const { return static_cast<ImageControl*>(widget()); }
};

QAccessibleInterface* sharedControls(const QString& className, QObject* object) {
    if (className == QLatin1String(ImageControl::staticMetaObject.className()))
        return new AccessiblePicture(static_cast<ImageControl*>(object));
    if (className == QLatin1String(CanvasWidget::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Canvas);
    // The programs' windows are plain widgets, which Qt would present as an anonymous pane: a screen reader
    // should find a window, named by its title.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->isWindow() && className == QLatin1String(object->metaObject()->className()) &&
        object->metaObject()->superClass() == &QWidget::staticMetaObject)
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(sharedControls);
        return true;
    }();
    (void)installed;
}

} // namespace canvas

#include "widgets/accessibility.h"

#include "widgets/accessiblelineedit.h"
#include "widgets/canvaswidget.h"
#include "widgets/imagecontrol.h"
#include "widgets/messagebar.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>

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

class AccessibleCanvas : public QAccessibleWidget {
public:
    explicit AccessibleCanvas(CanvasWidget* canvas) : QAccessibleWidget(canvas, QAccessible::Canvas) {}

    QString text(QAccessible::Text t) const override {
        // What the canvas shows now, even inside a handler that is still drawing; the change is announced
        // once that handler is done.
        if (t == QAccessible::Description)
            return static_cast<CanvasWidget*>(widget())->spokenText();
        return QAccessibleWidget::text(t);
    }
};

// The programs' windows: what a window holds, and the menu it has open. Qt leaves a popup menu out of every
// list of children, so a screen reader walking down from the window would never meet it.
class AccessibleWindow : public QAccessibleWidget {
public:
    explicit AccessibleWindow(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(openMenus().size());
    }

    QAccessibleInterface* child(int index) const override {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        const QList<QMenu*> menus = openMenus();
        return index - own < menus.size() ? QAccessible::queryAccessibleInterface(menus[index - own])
                                          : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const int menu = child ? openMenus().indexOf(qobject_cast<QMenu*>(child->object())) : -1;
        return menu >= 0 ? QAccessibleWidget::childCount() + menu : QAccessibleWidget::indexOfChild(child);
    }

private:
    QList<QMenu*> openMenus() const {
        QList<QMenu*> menus;
        for (QMenu* menu : widget()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
            if (menu->isVisible())
                menus << menu;
        return menus;
    }
};

// A combo box of our own: Qt on Unix reads a combo box by its current item and leaves its name to a label
// beside it, which the drive list has not. One given a name is read by that name, with the current item
// as its value, and its list opens as Qt's own combo box's does.
class AccessibleNamedComboBox : public QAccessibleWidget {
public:
    explicit AccessibleNamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value || (t == QAccessible::Name && box()->accessibleName().isEmpty()))
            return box()->isEditable() ? box()->lineEdit()->text() : box()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& actionName) override {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

bool isComboBoxOfOurs(const QString& className, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    // Qt's own dialogs are QDialogs with plain or private combo boxes; ours are our own classes in plain
    // windows. Asked while the box is being made: its name comes later.
    return box && className == QLatin1String(object->metaObject()->className()) &&
           object->metaObject() != &QComboBox::staticMetaObject && !qobject_cast<QDialog*>(box->window());
}

QAccessibleInterface* sharedControls(const QString& className, QObject* object) {
    // A window's messages: notifications in a status bar, spoken as they appear.
    if (className == QLatin1String(MessageBar::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StatusBar);
    if (className == QLatin1String(Message::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    if (className == QLatin1String(ImageControl::staticMetaObject.className()))
        return new AccessiblePicture(static_cast<ImageControl*>(object));
    if (className == QLatin1String(CanvasWidget::staticMetaObject.className()))
        return new AccessibleCanvas(static_cast<CanvasWidget*>(object));
    // The programs' windows are plain widgets, which Qt would present as an anonymous pane: a screen reader
    // should find a window, named by its title. Only a window: a popup menu, also made right on QWidget,
    // stays the menu Qt presents.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->windowType() == Qt::Window &&
        className == QLatin1String(object->metaObject()->className()) &&
        object->metaObject()->superClass() == &QWidget::staticMetaObject)
        return new AccessibleWindow(widget);
    // Every text box, Qt's dialogs' too: read whole.
    if (className == QLatin1String(QLineEdit::staticMetaObject.className()) && qobject_cast<QLineEdit*>(object))
        return new AccessibleLineEdit(static_cast<QLineEdit*>(object));
    if (isComboBoxOfOurs(className, object))
        return new AccessibleNamedComboBox(static_cast<QComboBox*>(object));
    return nullptr;
}

// Qt tells screen readers of a text box's caret and selection before it tells them that the box has taken
// the focus. Orca takes the caret's move for the focus arriving, reads the text at the caret (nothing at
// all in an empty box) and then ignores the focus event as old news: Tab into an empty box says nothing.
// Every accessibility event passes through here on its way to the platform, and a caret or selection of
// a focused widget not yet told to have the focus is preceded by that focus (the late one then goes).
QAccessible::UpdateHandler platformUpdate = nullptr;
QPointer<QObject> toldFocus;
QPointer<QObject> focusToldEarly;

void orderedUpdate(QAccessibleEvent* event);

void forward(QAccessibleEvent* event) {
    QAccessible::installUpdateHandler(platformUpdate);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(orderedUpdate);
}

void orderedUpdate(QAccessibleEvent* event) {
    QObject* object = event->object();
    const QAccessible::Event type = event->type();
    if (type == QAccessible::Focus) {
        const bool toldAlready = object && object == focusToldEarly;
        focusToldEarly = nullptr;
        toldFocus = object;
        if (toldAlready)
            return;
    } else if ((type == QAccessible::TextCaretMoved || type == QAccessible::TextSelectionChanged) && object &&
               object != toldFocus) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget && widget->hasFocus()) {
            QAccessibleEvent focus(widget, QAccessible::Focus);
            forward(&focus);
            toldFocus = widget;
            focusToldEarly = widget;
        }
    }
    forward(event);
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(sharedControls);
        platformUpdate = QAccessible::installUpdateHandler(orderedUpdate);
        return true;
    }();
    (void)installed;
}

void announce(QWidget* speaker, const QString& text) {
    speaker->setAccessibleDescription(text);
}

} // namespace canvas

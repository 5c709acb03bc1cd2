#include "widgets/accessibility.h"

#include "widgets/accessiblelineedit.h"
#include "widgets/canvaswidget.h"
#include "widgets/imagecontrol.h"
#include "widgets/messagebar.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>

namespace canvas {

namespace {

// A command pressed through an assistive tool is only triggered, and Qt would leave its menu open: the menu
// closes as after a click. Made so when the menu opens, or when a tool finds it in its window.
void closesOnCommand(QMenu* menu) {
    QObject::connect(menu, &QMenu::triggered, menu, &QMenu::close, Qt::UniqueConnection);
}

// A command's words as a menu shows them, without its key ("\tCtrl+X") or the letter that picks it
// ("(&T)", "&").
QString spokenCommand(const QAction* action) {
    static const QRegularExpression pickingLetter(QStringLiteral("\\(&.\\)|&(?=.)"));
    return action->text().section(u'\t', 0, 0).remove(pickingLetter).trimmed();
}

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

// The programs' windows: what a window holds, and the menus it has open (its command menu, a text box's edit
// menu). Qt leaves a popup menu out of every list of children, so a screen reader walking down from the
// window would never meet it.
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
        if (index - own >= menus.size())
            return nullptr;
        closesOnCommand(menus[index - own]);
        return QAccessible::queryAccessibleInterface(menus[index - own]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const int menu = child ? openMenus().indexOf(qobject_cast<QMenu*>(child->object())) : -1;
        return menu >= 0 ? QAccessibleWidget::childCount() + menu : QAccessibleWidget::indexOfChild(child);
    }

private:
    // A text box's edit menu belongs to the box, but is a window of its own that Qt lists under no control:
    // it is listed with the window's menus, where a screen reader walking down from the window meets it.
    QList<QMenu*> openMenus() const {
        QList<QMenu*> menus;
        for (QMenu* menu : widget()->findChildren<QMenu*>())
            if (menu->isVisible() && menu->parentWidget() && menu->parentWidget()->window() == widget())
                menus << menu;
        return menus;
    }
};

// A command that is on or off (高对比度) in a menu. Qt 6.4 tells the bus that it is checked, never that it
// can be, so Orca says "已勾选" while it is on and nothing while it is off. Its menu finds only menu items
// among its children, so it stays one; while off, its name says so in Orca's own words.
class AccessibleCheckableCommand : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleCheckableCommand(QAction* action, QMenu* menu) : action_(action), menu_(menu) {}

    bool isValid() const override { return action_ && menu_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return menu_ ? menu_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return action_->isChecked() ? spokenCommand(action_)
                                        : spokenCommand(action_) + QStringLiteral("，未勾选");
        case QAccessible::Accelerator:
            return action_->shortcut().toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect area = menu_->actionGeometry(action_);
        return QRect(menu_->mapToGlobal(area.topLeft()), area.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.checkable = true;
        s.checked = action_->isChecked();
        s.focusable = true;
        s.focused = menu_->isVisible() && menu_->activeAction() == action_;
        s.disabled = !action_->isEnabled();
        s.invisible = !menu_->isVisible() || !action_->isVisible();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction(), pressAction()}; }
    void doAction(const QString& actionName) override {
        if (isValid() && action_->isEnabled() && actionNames().contains(actionName))
            action_->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override {
        const QString keys = text(QAccessible::Accelerator);
        return keys.isEmpty() ? QStringList() : QStringList{keys};
    }

private:
    QPointer<QAction> action_;
    QPointer<QMenu> menu_;
};

// Orca reads an alert as its role, then its name, then its text: a message box, an alert in Qt, came out
// "警告 警告" for a warning and "警告 提示" for a hint. As a dialog it is read by its title, its role and
// its description, which is the message: "警告 对话框 数据输入有误！".
class AccessibleMessageBox : public QAccessibleWidget {
public:
    explicit AccessibleMessageBox(QMessageBox* box) : QAccessibleWidget(box, QAccessible::Dialog) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return static_cast<QMessageBox*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QMenu* menuListing(QAction* action) {
    for (QObject* shown : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(shown))
            return menu;
    return nullptr;
}

// Qt's classes are named with a Q and no namespace; ours live in namespaces.
const QMetaObject* firstQtClass(const QObject* object) {
    const QMetaObject* meta = object->metaObject();
    while (meta && QByteArray(meta->className()).contains("::"))
        meta = meta->superClass();
    return meta;
}

QAccessibleInterface* sharedControls(const QString& className, QObject* object) {
    // Asked when a menu lists its commands, by then shown in it.
    if (auto* action = qobject_cast<QAction*>(object);
        action && className == QLatin1String(QAction::staticMetaObject.className()) &&
        action->isCheckable()) {
        if (QMenu* menu = menuListing(action))
            return new AccessibleCheckableCommand(action, menu);
    }
    if (className == QLatin1String(QMessageBox::staticMetaObject.className()))
        return new AccessibleMessageBox(static_cast<QMessageBox*>(object));
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
    // Our own classes may stand between the window and QWidget (a window base), so the first of Qt's
    // classes up its line is what counts.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->windowType() == Qt::Window &&
        className == QLatin1String(object->metaObject()->className()) &&
        firstQtClass(object) == &QWidget::staticMetaObject)
        return new AccessibleWindow(widget);
    // Every text box, Qt's dialogs' too: read whole.
    if (className == QLatin1String(QLineEdit::staticMetaObject.className()) &&
        qobject_cast<QLineEdit*>(object))
        return new AccessibleLineEdit(static_cast<QLineEdit*>(object));
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

// Qt tells the bus that a menu opens, and Orca 43 says nothing of it: it speaks a menu once one of its
// items takes the focus, and Qt gives none the focus until an arrow key is pressed. The window says that
// the menu is open and what its first command is (the one Down reaches). Qt's own dialogs keep their menus
// as Qt made them.
void menuOpened(QMenu* menu) {
    closesOnCommand(menu);
    QWidget* owner = menu->parentWidget();
    if (!owner || qobject_cast<QDialog*>(owner->window()) || qobject_cast<QMenu*>(owner->window()))
        return;
    QString words = QStringLiteral("菜单");
    for (const QAction* action : menu->actions()) {
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
            words += QStringLiteral("，") + spokenCommand(action);
            break;
        }
    }
    speak(owner, words);
}

void forward(QAccessibleEvent* event) {
    QAccessible::installUpdateHandler(platformUpdate);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(orderedUpdate);
}

void orderedUpdate(QAccessibleEvent* event) {
    QObject* object = event->object();
    const QAccessible::Event type = event->type();
    if (type == QAccessible::PopupMenuStart)
        if (auto* menu = qobject_cast<QMenu*>(object))
            menuOpened(menu);
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

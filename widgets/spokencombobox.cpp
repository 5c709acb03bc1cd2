#include "widgets/spokencombobox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeySequence>

namespace canvas {

namespace {

const char* const kSpokenProperty = "spokenComboBox";

class SpokenComboBox : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit SpokenComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The popup list is the one child, as in Qt's own combo box.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == box()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return box()->accessibleName().isEmpty() ? box()->currentText() : box()->accessibleName();
        case QAccessible::Value:
            return box()->currentText();
        case QAccessible::Accelerator:
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        return s;
    }

    // Qt's own actions of a combo box, and the focus, which an assistive client can then move here.
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The chosen entry as read-only text, one run of attributes over all of it: an empty run makes
    // Orca 43 drop the last character.
    QString text(int startOffset, int endOffset) const override {
        return entry().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(entry().size()); }
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
    QString entry() const { return box()->currentText(); }
};

QAccessibleInterface* spokenComboBoxFactory(const QString&, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    if (!box || !box->property(kSpokenProperty).toBool() || box->isEditable())
        return nullptr;
    return new SpokenComboBox(box);
}

} // namespace

void makeComboBoxSpoken(QComboBox* box) {
    if (box->isEditable() || box->property(kSpokenProperty).toBool())
        return;
    QAccessible::installFactory(spokenComboBoxFactory);
    box->setProperty(kSpokenProperty, true);
    // An interface Qt made before (for an event while the box was filled) is replaced by ours.
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(box);
    if (current && !dynamic_cast<SpokenComboBox*>(current)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
        QAccessible::queryAccessibleInterface(box);
    }
}

} // namespace canvas

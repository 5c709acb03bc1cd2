#include "accessiblewindow.h"

#include <QAccessible>
#include <QSet>

#include <gtest/gtest.h>

namespace testsupport {

QString accessibleName(QObject* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

QString accessibleDescription(QObject* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description);
}

void expectUniqueNames(QWidget* window) {
    QSet<QString> names;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        const QString name = accessibleName(control);
        EXPECT_FALSE(name.isEmpty()) << control->metaObject()->className();
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
    }
}

QWidget* nextByTab(QWidget* control) {
    QWidget* next = control->nextInFocusChain();
    while (next != control && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

} // namespace testsupport

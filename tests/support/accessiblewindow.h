#pragma once

// What a screen reader and a keyboard user meet in a window, for the accessibility tests of both program
// families.

#include <QString>
#include <QWidget>

namespace testsupport {

/// The accessible name and description of a control, as Qt's accessibility interface gives them.
QString accessibleName(QObject* control);
QString accessibleDescription(QObject* control);

/// Expects every control of the window that takes the focus to have a name, unique in the window.
void expectUniqueNames(QWidget* window);

/// Where Tab goes from a control (or from the window itself: the control that opens with the focus).
QWidget* nextByTab(QWidget* control);

} // namespace testsupport

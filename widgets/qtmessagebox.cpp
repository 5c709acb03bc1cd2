#include "widgets/qtmessagebox.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"

#include <QApplication>
#include <QMessageBox>

namespace canvas {

void QtMessageBoxService::show(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information, title,
                    text, QMessageBox::Ok, QApplication::activeWindow());
    const qreal factor = DisplayScale::instance().factor();
    if (factor != 1.0)
        box.setFont(scaledFont(box.font(), factor));
    box.exec();
}

} // namespace canvas

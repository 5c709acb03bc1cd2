#include "qtmessagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace canvas {

void QtMessageBoxService::show(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information, title,
                    text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace canvas

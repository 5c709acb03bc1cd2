#include "widgets/qtmessagebox.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyle>

namespace canvas {

void fitToDisplayScale(QMessageBox& box) {
    const qreal factor = DisplayScale::instance().factor();
    if (factor == 1.0)
        return;
    box.setFont(scaledFont(box.font(), factor));
    // The box shows its icon as at 100 % (the style's icons may come no larger); the same icon is painted
    // afresh into a square that much larger.
    const QStyle::StandardPixmap standard =
        box.icon() == QMessageBox::Warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation;
    const int side = qRound(box.iconPixmap().deviceIndependentSize().width() * factor);
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap picture(QSize(side, side) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    box.style()->standardIcon(standard, nullptr, &box).paint(&p, QRect(0, 0, side, side));
    p.end();
    box.setIconPixmap(picture);
}

void QtMessageBoxService::show(const QString& text, const QString& title, MessageIcon icon) {
    QPointer<QWidget> owner = QApplication::activeWindow();
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information, title,
                    text, QMessageBox::Ok, owner);
    fitToDisplayScale(box);
    box.exec();
    // A full-screen window at a fractional scale can keep a sliver of the box's shadow along the edges of
    // what it covered; the whole window is painted again.
    if (owner)
        owner->update();
}

} // namespace canvas

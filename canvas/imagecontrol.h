#pragma once

// A picture control: shows one picture from the resources, sized to the control, and reports clicks and
// pointer moves over it.

#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace canvas {

class ImageControl : public QWidget {
    Q_OBJECT
public:
    /// A control showing the picture at resource path `source` (an SVG, drawn at the control's size).
    explicit ImageControl(const QString& source, QWidget* parent = nullptr);
    QString source() const { return source_; }

signals:
    void clicked();
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString source_;
    QPixmap cache_;
};

/// A window icon from the picture at a resource path, rendered at the usual icon sizes.
QIcon programIcon(const QString& source);

/// The picture at a resource path drawn at the given logical size and device pixel ratio.
QPixmap renderPicture(const QString& source, QSize size, qreal devicePixelRatio);

} // namespace canvas

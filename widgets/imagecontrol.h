#pragma once

// A picture control: shows one picture from the resources, sized to the control, and reports clicks and
// pointer moves over it. To a screen reader it is what its picture is: words to read, a button to press, or
// decoration that is left out.

#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace canvas {

/// What a picture is to a screen reader.
enum class PictureRole {
    Decoration, ///< nothing to read: hidden from the accessibility tree
    Text,       ///< carries words: read as its accessible name
    Button,     ///< pressed by Space, Enter or the accessibility press action
};

class ImageControl : public QWidget {
    Q_OBJECT
public:
    /// A control showing the picture at resource path `source` (an SVG, drawn at the control's size).
    explicit ImageControl(const QString& source, QWidget* parent = nullptr);
    QString source() const { return source_; }

    /// Words become the accessible name (a Text picture); no words leave it Decoration.
    void setWords(const QString& words);
    PictureRole pictureRole() const { return role_; }
    /// Makes the picture a push button: reachable by Tab, pressed by Space or Enter.
    void makeButton();
    /// Presses a button picture.
    void activate();

signals:
    void clicked();
    void mouseMoved();
    /// A button picture was pressed from the keyboard or by an assistive tool.
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString source_;
    PictureRole role_ = PictureRole::Decoration;
    QPixmap cache_;
};

/// A window icon from the picture at a resource path, rendered at the usual icon sizes.
QIcon programIcon(const QString& source);

/// The picture at a resource path drawn at the given logical size and device pixel ratio.
QPixmap renderPicture(const QString& source, QSize size, qreal devicePixelRatio);

} // namespace canvas

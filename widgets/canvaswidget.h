#pragma once

// The canvas control: shows the drawing surface inside a sunken border, with the cross-hair
// pointer, and reports pointer events in the user units of the surface's current mapping, and the arrow
// keys, fingers (see CanvasGestures) and Ctrl+wheel. To a screen reader it is the canvas "坐标平面",
// described by what the window has drawn on it. Once the keyboard is in use, a mark round the picture shows
// when the canvas has the focus.

#include "curves/canvasdescription.h"
#include "drawing/surface.h"

#include <QFrame>

#include <memory>
#include <vector>

namespace canvas {

/// Which mouse buttons and modifier keys an event carries, as the handlers receive them.
struct PointerEvent {
    int button = 0; ///< 1 left, 2 right, 4 middle
    int shift = 0;  ///< 1 Shift, 2 Ctrl, 4 Alt
    float x = 0;    ///< user units
    float y = 0;
};

class CanvasWidget;
class CanvasGestures;

/// A line object on the canvas (the read-out's guide lines): drawn above the canvas picture, in user units,
/// so showing, moving or hiding it never changes the picture itself.
class CanvasLine {
public:
    explicit CanvasLine(CanvasWidget* canvas) : canvas_(canvas) {}
    void setVisible(bool visible);
    bool isVisible() const { return visible_; }
    void setPoints(float x1, float y1, float x2, float y2);
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }

private:
    CanvasWidget* canvas_;
    bool visible_ = true;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

/// A label object on the canvas (the read-out's coordinates), above the picture like CanvasLine; it grows
/// to fit its caption.
class CanvasLabel {
public:
    explicit CanvasLabel(CanvasWidget* canvas) : canvas_(canvas) {}
    void setVisible(bool visible);
    bool isVisible() const { return visible_; }
    void move(float left, float top);
    float Left() const { return left_; }
    float Top() const { return top_; }
    void setCaption(const QString& caption);
    QString Caption() const { return caption_; }

private:
    CanvasWidget* canvas_;
    bool visible_ = true;
    float left_ = 0, top_ = 0;
    QString caption_;
};

class CanvasWidget : public QFrame {
    Q_OBJECT
public:
    /// A canvas whose outer size (border included) is the given one.
    CanvasWidget(QSize outerSize, Colour backColor, QWidget* parent = nullptr);
    ~CanvasWidget() override;

    Surface& surface() { return *surface_; }
    /// What the canvas shows, in words: the window reports what it draws, the canvas announces the change.
    CanvasDescription& description() { return description_; }
    /// What a screen reader hears from the canvas now: the words last announced (a point being explored)
    /// until what the canvas holds changes, else the description.
    QString spokenText() const;
    /// Words screen readers hear right after the canvas's next change is spoken (what a finished trace has
    /// filled in beside the canvas), or alone when the change brings nothing new.
    void sayAfterChange(const QString& words);

    /// Adds a line or label object above the picture; the canvas owns it.
    CanvasLine* addLine();
    CanvasLabel* addLabel();

    /// The pointer position of a widget-relative pixel at 100 %, in user units.
    QPointF userPosition(QPointF widgetPos) const;
    /// The widget-relative pixel at 100 % of a user position (for tests and overlays).
    QPointF widgetPosition(double x, double y) const;

    /// Shows the canvas at a display scale: the widget is `factor` times its size at 100 % (its owner sizes
    /// it), the picture is drawn that much finer, and pointer positions are divided by it, so the handlers
    /// see the same canvas at every scale.
    void setScale(qreal factor);
    qreal scale() const { return scale_; }

    /// The pointer event of a widget-relative pixel at 100 % with the given buttons held.
    PointerEvent pointerAt(QPointF logicalPos, int button, int shift = 0) const;
    /// Fingers and Ctrl+wheel on the canvas.
    CanvasGestures& gestures() { return *gestures_; }

signals:
    void mouseDown(const canvas::PointerEvent& e);
    void mouseMoved(const canvas::PointerEvent& e);
    void mouseUp(const canvas::PointerEvent& e);
    void focusLost();
    /// An arrow key (Qt::Key_Left ... Qt::Key_Down) pressed while the canvas has the focus.
    void keyDown(int keyCode, int shift);
    /// The canvas told screen readers its new description: once after the handler that changed it.
    void described(const QString& text);
    /// What the canvas holds changed (a frame, the grid, a curve, or it was wiped): at once, inside the
    /// handler that changed it, as often as it changes.
    void contentsChanged();
    /// A pinch or a Ctrl+wheel notch: +1 asks for one step of zooming in, -1 for one step out.
    void zoomStep(int direction);
    /// A drag a finger began is over without a release: a finger held still or a second one joined.
    void dragCancelled();
    /// A finger that hovered after a hold lifted: the pointer has left the canvas.
    void pointerLeft();

protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PointerEvent toPointerEvent(QMouseEvent* event, bool changedButtonOnly) const;
    /// The rectangle inside the border, in pixels at 100 %.
    QRect logicalContents() const;
    /// A rectangle in pixels at 100 %, in the widget's own pixels at the scale.
    QRect toWidget(const QRect& logical) const;
    void paintScaledFrame();
    void describeLater(const QString& words);
    /// Once the handler is done: the description on the bus, and what screen readers are to hear.
    void tellLater();
    /// Says the canvas's words to screen readers: an announcement always, new contents once.
    void speakLater(bool announcement);
    /// The plane is being dragged (a button or finger is down on the canvas), or no longer.
    void pointerHeld(bool held);

    qreal scale_;
    qreal density_;

    std::unique_ptr<Surface> surface_;
    std::vector<std::unique_ptr<CanvasLine>> lines_;
    std::vector<std::unique_ptr<CanvasLabel>> labels_;
    CanvasDescription description_;
    bool describing_ = false;
    QString announcement_;
    /// Words were announced since the description was last told, so they are spoken even if repeated.
    bool announcing_ = false;
    /// What the canvas held when screen readers were last told by speech, and whether a drag holds back
    /// the next.
    CanvasDescription::State spokenState_;
    QString followingWords_;
    bool dragging_ = false;
    bool spokenAfterDrag_ = false;
    /// The window's last key or button press was a key: the focus mark shows while the canvas has the
    /// focus.
    bool keyboardInUse_ = false;
    CanvasGestures* gestures_;
};

/// The canvas pointer: a 32 x 32 cross-hair of two 19-pixel strokes with its hot spot at the crossing
/// (15, 15). Where the windowing system can invert the pixels beneath (Windows) the strokes invert them;
/// elsewhere they are black with a thin white outline.
QCursor crossHairCursor();

} // namespace canvas

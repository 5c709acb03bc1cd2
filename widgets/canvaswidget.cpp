#include "widgets/canvaswidget.h"

#include "widgets/accessibility.h"
#include "widgets/canvasgestures.h"
#include "widgets/displayscale.h"
#include "widgets/messagebar.h"

#include <QApplication>
#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTouchEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace canvas {

namespace {
constexpr int kBorder = 2;

int buttonsOf(Qt::MouseButtons buttons) {
    int b = 0;
    if (buttons & Qt::LeftButton)
        b |= 1;
    if (buttons & Qt::RightButton)
        b |= 2;
    if (buttons & Qt::MiddleButton)
        b |= 4;
    return b;
}

int shiftOf(Qt::KeyboardModifiers modifiers) {
    int s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= 1;
    if (modifiers & Qt::ControlModifier)
        s |= 2;
    if (modifiers & Qt::AltModifier)
        s |= 4;
    return s;
}
// The window is not on a screen yet when its canvas is made; take the density of the densest screen.
qreal initialDeviceRatio(QWidget* parent) {
    const qreal own = parent ? parent->devicePixelRatioF() : 1.0;
    return std::max(own, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}
} // namespace

QCursor crossHairCursor() {
    if (QGuiApplication::platformName() == QLatin1String("windows")) {
        // A set bit with a clear mask bit inverts the screen beneath: the cross shows on any colour.
        QBitmap bits(32, 32);
        QBitmap mask(32, 32);
        bits.fill(Qt::color0);
        mask.fill(Qt::color0);
        QPainter p(&bits);
        p.setPen(Qt::color1);
        p.drawLine(6, 15, 24, 15);
        p.drawLine(15, 6, 15, 24);
        p.end();
        return QCursor(bits, mask, 15, 15);
    }
    // Other windowing systems cannot invert (X11 shows such a cursor as nothing at all): the same cross in
    // black with a one-pixel white outline, visible on the pale canvas and on any curve.
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.fillRect(5, 14, 21, 3, Qt::white);
    p.fillRect(14, 5, 3, 21, Qt::white);
    p.fillRect(6, 15, 19, 1, Qt::black);
    p.fillRect(15, 6, 1, 19, Qt::black);
    p.end();
    return QCursor(picture, 15, 15);
}

CanvasWidget::CanvasWidget(QSize outerSize, Colour backColor, QWidget* parent)
    : QFrame(parent), scale_(DisplayScale::instance().factor()), density_(initialDeviceRatio(parent)),
      surface_(std::make_unique<Surface>(outerSize - QSize(2 * kBorder, 2 * kBorder), backColor, RGB(0, 0, 0),
                                         density_ * scale_)),
      description_([this](const QString& words) { describeLater(words); }),
      gestures_(new CanvasGestures(this)) {
    installAccessibility();
    setAccessibleName(QStringLiteral("坐标平面"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    resize(outerSize);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(crossHairCursor());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoMousePropagation);
    // Mouse and fingers reach the handlers through these signals alike.
    connect(this, &CanvasWidget::mouseDown, this, [this](const PointerEvent& e) {
        if (e.button & 1)
            pointerHeld(true);
    });
    connect(this, &CanvasWidget::mouseUp, this, [this] { pointerHeld(false); });
    connect(this, &CanvasWidget::dragCancelled, this, [this] { pointerHeld(false); });
    // Every key and button press in the window tells whether the keyboard is in use.
    qApp->installEventFilter(this);
    // Fingers are taken as they are, not as a synthesized mouse, so that a second one can join.
    setAttribute(Qt::WA_AcceptTouchEvents);
    // However many operations a handler draws, the canvas repaints once afterwards, and only the part
    // that changed (a trace tick touches a few pixels).
    surface_->setChangedCallback([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                const QRect changed = surface_->takeDirtyRect();
                if (changed.isEmpty())
                    return;
                // Device pixels to logical ones, rounded outwards.
                const qreal r = surface_->deviceRatio();
                const QRectF logical(changed.x() / r, changed.y() / r, changed.width() / r,
                                     changed.height() / r);
                update(toWidget(logical.toAlignedRect().adjusted(-1, -1, 1, 1).translated(kBorder, kBorder)));
            },
            Qt::QueuedConnection);
    });
}

CanvasWidget::~CanvasWidget() = default;

QString CanvasWidget::spokenText() const {
    return announcement_.isEmpty() ? description_.text() : announcement_;
}

void CanvasWidget::describeLater(const QString& words) {
    // Words other than the description are an announcement, what the canvas says until its contents
    // change. A handler may change the description several times (a drag step draws the bare frame, then
    // the curve again): screen readers hear the text it ends with, once. The description on the bus changes
    // only when its text does; what is spoken is the new contents when they differ from those last spoken,
    // and every announcement, also one equal to the last: its key was pressed again.
    const bool contents = words == description_.text();
    announcement_ = contents ? QString() : words;
    if (contents)
        emit contentsChanged();
    else
        announcing_ = true;
    tellLater();
}

void CanvasWidget::tellLater() {
    if (describing_)
        return;
    describing_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            describing_ = false;
            const QString text = spokenText();
            speakLater(std::exchange(announcing_, false));
            if (text == accessibleDescription())
                return;
            announce(this, text);
            emit described(text);
        },
        Qt::QueuedConnection);
}

void CanvasWidget::speakLater(bool announcement) {
    // While a finger or the mouse drags the plane, each step redraws it: the range it ends at is spoken
    // when it is let go, not every range on the way.
    if (!announcement && dragging_) {
        spokenAfterDrag_ = true;
        return;
    }
    if (announcement) {
        speak(this, spokenText());
        return;
    }
    // Contents are spoken as what changed since they were last spoken: a plot says its curve, a pan its
    // range. The description told again after an exploration ends is no news.
    QString change = description_.changeSince(spokenState_);
    const CanvasDescription::State now = description_.state();
    // Curves that went with a new frame come back with the redraw (a trace may take a while): when they
    // do, they are no news either.
    const QStringList kept = spokenState_.curves;
    spokenState_ = now;
    if (now.framed && now.curves.isEmpty())
        spokenState_.curves = kept;
    if (!followingWords_.isEmpty())
        change += (change.isEmpty() ? QString() : QStringLiteral(", ")) + std::exchange(followingWords_, {});
    speak(this, change);
}

void CanvasWidget::sayAfterChange(const QString& words) {
    followingWords_ = words;
    // Said when the handler is done, with the change it makes or alone.
    tellLater();
}

void CanvasWidget::setScale(qreal factor) {
    if (!std::isfinite(factor) || factor <= 0 || factor == scale_)
        return;
    scale_ = factor;
    surface_->setDeviceRatio(density_ * scale_);
    update();
}

QRect CanvasWidget::logicalContents() const {
    return QRect(QPoint(kBorder, kBorder), surface_->size());
}

QRect CanvasWidget::toWidget(const QRect& logical) const {
    if (scale_ == 1.0)
        return logical;
    return QRectF(logical.x() * scale_, logical.y() * scale_, logical.width() * scale_,
                  logical.height() * scale_)
        .toAlignedRect();
}

void CanvasWidget::paintScaledFrame() {
    // The sunken border of 100 %, drawn at the scale like the rest of the canvas.
    QPainter p(this);
    p.scale(scale_, scale_);
    QStyleOptionFrame option;
    initStyleOption(&option);
    option.rect = logicalContents().adjusted(-kBorder, -kBorder, kBorder, kBorder);
    style()->drawControl(QStyle::CE_ShapedFrame, &option, &p, this);
}

QPointF CanvasWidget::userPosition(QPointF widgetPos) const {
    return surface_->toUser((widgetPos - QPointF(kBorder, kBorder)) * surface_->deviceRatio());
}

QPointF CanvasWidget::widgetPosition(double x, double y) const {
    return surface_->toPixel(x, y) / surface_->deviceRatio() + QPointF(kBorder, kBorder);
}

void CanvasLine::setVisible(bool visible) {
    visible_ = visible;
    canvas_->update();
}

void CanvasLine::setPoints(float x1, float y1, float x2, float y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    canvas_->update();
}

void CanvasLabel::setVisible(bool visible) {
    visible_ = visible;
    canvas_->update();
}

void CanvasLabel::move(float left, float top) {
    left_ = left;
    top_ = top;
    canvas_->update();
}

void CanvasLabel::setCaption(const QString& caption) {
    caption_ = caption;
    canvas_->update();
}

CanvasLine* CanvasWidget::addLine() {
    lines_.push_back(std::make_unique<CanvasLine>(this));
    return lines_.back().get();
}

CanvasLabel* CanvasWidget::addLabel() {
    labels_.push_back(std::make_unique<CanvasLabel>(this));
    return labels_.back().get();
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    if (scale_ == 1.0)
        QFrame::paintEvent(event);
    else
        paintScaledFrame();
    // Everything below is drawn in pixels at 100 %; the painter takes them to the scale.
    QPainter p(this);
    p.scale(scale_, scale_);
    const QRect contents = logicalContents();
    const QRect exposed = scale_ == 1.0
                              ? event->rect()
                              : QRectF(event->rect().x() / scale_, event->rect().y() / scale_,
                                       event->rect().width() / scale_, event->rect().height() / scale_)
                                    .toAlignedRect();
    const QRect target = exposed.intersected(contents);
    const qreal r = surface_->deviceRatio();
    const QRectF source = QRectF(target.translated(-kBorder, -kBorder));
    p.drawImage(QRectF(target), surface_->Image(),
                QRectF(source.x() * r, source.y() * r, source.width() * r, source.height() * r));
    p.setClipRect(contents);
    // Objects on the canvas are placed in user units; far-away ones are clipped in floating point first.
    const QRectF inner = QRectF(contents).adjusted(-4, -4, 4, 4);
    for (const auto& line : lines_) {
        if (!line->isVisible())
            continue;
        const QPointF a = widgetPosition(line->X1(), line->Y1());
        const QPointF b = widgetPosition(line->X2(), line->Y2());
        double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
        if (!clipSegment(ax, ay, bx, by, inner.left(), inner.top(), inner.right(), inner.bottom()))
            continue;
        p.setPen(QPen(palette().color(QPalette::WindowText), 2));
        p.drawLine(QPointF(ax, ay), QPointF(bx, by));
    }
    for (const auto& label : labels_) {
        if (!label->isVisible())
            continue;
        const QPointF topLeft = widgetPosition(label->Left(), label->Top());
        if (!inner.adjusted(-2000, -2000, 0, 0).contains(topLeft))
            continue;
        const QFontMetrics metrics(font());
        const QRect box(topLeft.toPoint(),
                        QSize(metrics.horizontalAdvance(label->Caption()) + 4, metrics.height() + 2));
        p.fillRect(box, palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(box, Qt::AlignCenter, label->Caption());
    }
    // The focus mark: drawn over the picture, never into it, so what is saved, exported or copied is the
    // canvas alone; the pointer's user never sees it.
    if (hasFocus() && keyboardInUse_) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(contents).adjusted(1, 1, -1, -1));
    }
}

bool CanvasWidget::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
        const auto* w = qobject_cast<QWidget*>(watched);
        const bool byKey = type == QEvent::KeyPress;
        if (w && w->window() == window() && keyboardInUse_ != byKey) {
            keyboardInUse_ = byKey;
            if (hasFocus())
                update();
        }
    }
    return QFrame::eventFilter(watched, event);
}

PointerEvent CanvasWidget::pointerAt(QPointF logicalPos, int button, int shift) const {
    PointerEvent e;
    e.button = button;
    e.shift = shift;
    const QPointF user = userPosition(logicalPos);
    e.x = static_cast<float>(user.x());
    e.y = static_cast<float>(user.y());
    return e;
}

PointerEvent CanvasWidget::toPointerEvent(QMouseEvent* event, bool changedButtonOnly) const {
    return pointerAt(event->position() / scale_,
                     buttonsOf(changedButtonOnly ? Qt::MouseButtons(event->button()) : event->buttons()),
                     shiftOf(event->modifiers()));
}

bool CanvasWidget::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        gestures_->touch(static_cast<QTouchEvent*>(event));
        return true;
    default:
        return QFrame::event(event);
    }
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
    if (!gestures_->wheel(event))
        QFrame::wheelEvent(event);
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    emit mouseDown(toPointerEvent(event, true));
}

void CanvasWidget::pointerHeld(bool held) {
    dragging_ = held;
    // Once the window's own release handler is done too: it may take one more step.
    if (!held && std::exchange(spokenAfterDrag_, false))
        tellLater();
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(toPointerEvent(event, false));
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(toPointerEvent(event, true));
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit keyDown(event->key(), shiftOf(event->modifiers()));
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void CanvasWidget::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    emit focusLost();
}

} // namespace canvas

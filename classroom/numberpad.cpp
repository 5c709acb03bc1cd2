#include "classroom/numberpad.h"

#include "widgets/controls.h"
#include "widgets/displayscale.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTouchEvent>

#include <algorithm>

namespace canvas {

namespace {

const QString kDelete = QStringLiteral("删除");
const QString kOk = QStringLiteral("确定");
const QString kCancel = QStringLiteral("取消");

// The keys row by row, as on a calculator; a caption that repeats its left neighbour widens it.
const char* const kKeys[4][4] = {
    {"7", "8", "9", "删除"},
    {"4", "5", "6", "-"},
    {"1", "2", "3", "."},
    {"0", "0", "取消", "确定"},
};

// A key at 100 %: large enough for a fingertip.
constexpr int kKeyWidth = 48;
constexpr int kKeyHeight = 40;
constexpr int kGap = 4;

} // namespace

NumberPad::NumberPad(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("numberPad"));
    for (QLineEdit* box : window_->findChildren<QLineEdit*>()) {
        // The box takes fingers itself, so that a tap is a tap of a finger, not a click to it.
        box->setAttribute(Qt::WA_AcceptTouchEvents);
        box->installEventFilter(this);
    }
}

NumberPad* NumberPad::of(QWidget* window) {
    return window->findChild<NumberPad*>(QStringLiteral("numberPad"), Qt::FindDirectChildrenOnly);
}

bool NumberPad::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchCancel:
        event->accept();
        return true;
    case QEvent::TouchEnd:
        event->accept();
        open(static_cast<QLineEdit*>(watched));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void NumberPad::open(QLineEdit* box) {
    if (!box->isEnabled() || box->isReadOnly() || !box->isVisible())
        return;
    delete pad_.data();
    box_ = box;
    build(DisplayScale::instance().factor());
    display_->setText(box->text());
    place(box);
    pad_->show();
}

void NumberPad::build(qreal factor) {
    pad_ = new QFrame(window_, Qt::Popup);
    pad_->setAttribute(Qt::WA_DeleteOnClose);
    pad_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pad_->setAccessibleName(QStringLiteral("数字键盘"));
    const QFont font = designFont(QStringLiteral("宋体"), 12, false, factor);
    auto* grid = new QGridLayout(pad_);
    grid->setSpacing(static_cast<int>(kGap * factor));
    grid->setContentsMargins(QMargins() + static_cast<int>(kGap * factor));
    display_ = new QLineEdit(pad_);
    display_->setReadOnly(true);
    display_->setFocusPolicy(Qt::NoFocus);
    display_->setFont(font);
    display_->setMinimumHeight(static_cast<int>(kKeyHeight * factor));
    grid->addWidget(display_, 0, 0, 1, 4);
    const QSize keySize(static_cast<int>(kKeyWidth * factor), static_cast<int>(kKeyHeight * factor));
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const QString caption = QString::fromUtf8(kKeys[row][column]);
            if (column > 0 && caption == QString::fromUtf8(kKeys[row][column - 1]))
                continue;
            int span = 1;
            while (column + span < 4 && caption == QString::fromUtf8(kKeys[row][column + span]))
                ++span;
            auto* key = new QPushButton(caption, pad_);
            key->setObjectName(caption);
            key->setFont(font);
            key->setMinimumSize(
                QSize(keySize.width() * span + grid->spacing() * (span - 1), keySize.height()));
            key->setFocusPolicy(Qt::NoFocus);
            key->setAutoDefault(false);
            connect(key, &QPushButton::clicked, this, [this, caption] { press(caption); });
            grid->addWidget(key, row + 1, column, 1, span);
        }
    pad_->adjustSize();
}

void NumberPad::place(const QLineEdit* box) {
    // Beside the box, on the right where the screen has room, else on the left; never off the screen.
    const int gap = static_cast<int>(kGap * DisplayScale::instance().factor());
    const QSize size = pad_->size();
    QPoint at = box->mapToGlobal(QPoint(box->width() + gap, 0));
    if (const QScreen* screen = box->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.x() + size.width() > area.right() + 1)
            at.setX(box->mapToGlobal(QPoint(-gap - size.width(), 0)).x());
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    pad_->move(at);
}

QPushButton* NumberPad::key(const QString& caption) const {
    return pad_ ? pad_->findChild<QPushButton*>(caption) : nullptr;
}

void NumberPad::press(const QString& caption) {
    if (caption == kCancel) {
        pad_->close();
        return;
    }
    if (caption == kOk) {
        QPointer<QLineEdit> box = box_;
        const QString text = display_->text();
        pad_->close();
        if (!box)
            return;
        // As typed: the box has the focus and its whole text is replaced by the composed one, through the
        // box's own editing (its limits and change handlers apply).
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        box->insert(text);
        return;
    }
    if (caption == kDelete) {
        display_->backspace();
        return;
    }
    display_->insert(caption);
}

} // namespace canvas

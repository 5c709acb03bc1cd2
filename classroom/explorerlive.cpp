// The parameter of the newest curve changed live: Up and Down (or the wheel) on its box, and 参数动画, which
// sweeps it. The curve is drawn whole for each value, in its own colour, in place of itself.

#include "classroom/explorerwindow.h"
#include "classroom/windowcommands.h"
#include "widgets/controls.h"
#include "widgets/messagebar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace canvas {

namespace {

// The frames of a sweep: as often as a display shows them.
constexpr int kFrameMs = 16;

// Up, Down and the wheel on a parameter box, as steps of its value.
class ParameterKeys : public QObject {
public:
    ParameterKeys(QLineEdit* box, std::function<void(int, Qt::KeyboardModifiers)> step)
        : QObject(box), step_(std::move(step)) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                step_(key->key() == Qt::Key_Up ? 1 : -1, key->modifiers() & ~Qt::KeypadModifier);
                return true;
            }
        }
        if (event->type() == QEvent::Wheel) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            if (const int dy = wheel->angleDelta().y(); dy != 0) {
                step_(dy > 0 ? 1 : -1, wheel->modifiers());
                return true;
            }
        }
        return false;
    }

private:
    std::function<void(int, Qt::KeyboardModifiers)> step_;
};

// While a sweep runs, the first key, click or touch anywhere in the program stops it, and does nothing else.
class SweepStopper : public QObject {
public:
    explicit SweepStopper(ExplorerWindow* window) : QObject(window), window_(window) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::TouchBegin:
            if (!window_->isAnimating())
                return false;
            window_->stopAnimation();
            return true;
        default:
            return false;
        }
    }

private:
    ExplorerWindow* window_;
};

} // namespace

void ExplorerWindow::addLiveCommands() {
    note_ = canvas_->addLabel();
    note_->setVisible(false);
    animationTimer_ = new QTimer(this);
    animationTimer_->setInterval(kFrameMs);
    animationTimer_->setTimerType(Qt::PreciseTimer);
    connect(animationTimer_, &QTimer::timeout, this, handler(this, &ExplorerWindow::onAnimationFrame));
    auto* animate = new QAction(QStringLiteral("参数动画"), this);
    connect(animate, &QAction::triggered, this, handler(this, &ExplorerWindow::onAnimateClicked));
    commands_->addCommand(animate);
    // On the canvas the key A starts it too; elsewhere A is a letter typed.
    auto* onCanvas = new QAction(canvas_);
    onCanvas->setShortcut(QKeySequence(Qt::Key_A));
    onCanvas->setShortcutContext(Qt::WidgetShortcut);
    canvas_->addAction(onCanvas);
    connect(onCanvas, &QAction::triggered, this, handler(this, &ExplorerWindow::onAnimateClicked));
}

void ExplorerWindow::watchParameterBox(QLineEdit* box, std::function<void(int, Qt::KeyboardModifiers)> step) {
    new ParameterKeys(box, [this, step = std::move(step)](int direction, Qt::KeyboardModifiers keys) {
        // A value stepped by hand ends a sweep where it is.
        stopAnimation();
        step(direction, keys);
    });
}

std::optional<LessonCurve> ExplorerWindow::liveCurve(CurveKind kind) {
    if (!live_) {
        const std::vector<LessonCurve>& curves = lesson_.curves;
        for (std::size_t i = curves.size(); i-- > 0;)
            if (curves[i].record.kind == kind) {
                live_ = Live{i, curves[i], true};
                break;
            }
    }
    if (!live_)
        return std::nullopt;
    return live_->curve;
}

void ExplorerWindow::showLiveCurve(const std::optional<CurveRecord>& record, const QString& why) {
    if (!live_)
        return;
    stopDrawing();
    std::vector<LessonCurve>& curves = lesson_.curves;
    const auto at = curves.begin() + static_cast<std::ptrdiff_t>(std::min(live_->index, curves.size()));
    if (live_->shown && at != curves.end())
        curves.erase(at);
    live_->shown = false;
    if (record) {
        live_->curve.record = *record;
        curves.insert(curves.begin() + static_cast<std::ptrdiff_t>(std::min(live_->index, curves.size())),
                      live_->curve);
        live_->shown = true;
        hideNote();
    }
    redrawLesson();
    if (!record)
        showNote(why);
}

void ExplorerWindow::showNote(const QString& why) {
    // At the lower left of the plane, where no curve's name goes.
    const double w = view_.xmax - view_.xmin, h = view_.ymax - view_.ymin;
    note_->move(static_cast<float>(view_.xmin + 0.02 * w), static_cast<float>(view_.ymin + 0.08 * h));
    note_->setCaption(why);
    note_->setVisible(true);
    // Heard once: the next steps that are refused for the same reason say nothing more.
    if (why != lastNote_)
        speak(this, why);
    lastNote_ = why;
}

void ExplorerWindow::hideNote() {
    if (note_ && note_->isVisible())
        note_->setVisible(false);
    lastNote_.clear();
}

QString ExplorerWindow::liveNote() const {
    return note_ && note_->isVisible() ? note_->Caption() : QString();
}

bool ExplorerWindow::isAnimating() const {
    return animationTimer_ && animationTimer_->isActive();
}

void ExplorerWindow::onAnimateClicked() {
    if (isAnimating()) {
        stopAnimation();
        return;
    }
    sweep_ = parameterSweep();
    if (!sweep_) {
        speak(this, QStringLiteral("请先作图，再播放参数动画"));
        return;
    }
    sweepStart_ = sweepClock()();
    swept_ = sweep_->valueAt(0);
    sweepTo(swept_);
    sweepStopper_ = new SweepStopper(this);
    animationTimer_->start();
    speak(this, QStringLiteral("参数动画开始"));
}

void ExplorerWindow::onAnimationFrame() {
    if (!sweep_ || !isAnimating())
        return;
    const double elapsed = sweepClock()() - sweepStart_;
    const double value = sweep_->valueAt(elapsed);
    if (value != swept_) {
        const QString moment = sweepMoment(swept_, value);
        sweepTo(value);
        if (!moment.isEmpty())
            speak(this, moment);
        swept_ = value;
    }
    if (elapsed >= sweep_->duration()) {
        stopAnimation();
        speak(this, QStringLiteral("参数动画结束"));
    }
}

void ExplorerWindow::stopAnimation() {
    if (animationTimer_)
        animationTimer_->stop();
    // It may be the stopper itself that is asking, from inside its filter.
    if (sweepStopper_)
        sweepStopper_->deleteLater();
    sweepStopper_ = nullptr;
}

} // namespace canvas

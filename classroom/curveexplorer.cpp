#include "classroom/curveexplorer.h"

#include "classroom/soundoutput.h"
#include "curves/curvesound.h"
#include "curves/landmark.h"
#include "curves/spokentext.h"
#include "runtime/runtime.h"
#include "runtime/unexpectedfailure.h"

#include <QKeyEvent>

#include <algorithm>
#include <cmath>
#include <exception>

namespace canvas {

namespace {

const QString kNoCurve = QStringLiteral("没有图象");
const QString kNoSound = QStringLiteral("没有可用的声音输出");
// The sound's start and end, told in words, so a pupil knows that the silence that follows is its end.
const QString kSoundStarts = QStringLiteral("声音开始");
const QString kSoundEnds = QStringLiteral("声音结束");
const QString kSoundStopped = QStringLiteral("声音停止");
// A point this close to a landmark, in view widths, is at it: the next jump goes on to the one after.
constexpr double kSamePlace = 1e-9;
// The keys that mean something only while exploring; every other key goes on to the canvas and the window.
constexpr int kExploringKeys[] = {Qt::Key_Escape, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                                  Qt::Key_End,    Qt::Key_Up,   Qt::Key_Down};

} // namespace

CurveExplorer::CurveExplorer(CanvasWidget* canvas)
    : QObject(canvas), canvas_(canvas), marker_(new CurveMarker(canvas)) {
    setObjectName(QStringLiteral("curveExplorer"));
    canvas_->installEventFilter(this);
    soundTimer_.setInterval(kSoundMarkerIntervalMs);
    connect(&soundTimer_, &QTimer::timeout, this, &CurveExplorer::soundTick);
    noticeTimer_.setSingleShot(true);
    noticeTimer_.setInterval(kNoSoundNoticeMs);
    connect(&noticeTimer_, &QTimer::timeout, this, &CurveExplorer::endNotice);
    connect(canvas_, &CanvasWidget::contentsChanged, this, &CurveExplorer::contentsChanged);
}

CurveExplorer::~CurveExplorer() {
    if (sounding_)
        soundOutput().stop();
}

CurveExplorer* CurveExplorer::of(CanvasWidget* canvas) {
    return canvas->findChild<CurveExplorer*>(QStringLiteral("curveExplorer"), Qt::FindDirectChildrenOnly);
}

std::optional<CurveRecord> CurveExplorer::chosenCurve() const {
    // A canvas wiped while a trace went on can end with a curve recorded on it, yet it says it is blank and
    // has no frame to read a point against: there is no curve to explore or hear.
    const std::vector<CurveRecord>& curves = canvas_->description().curves();
    if (curves.empty() || !canvas_->description().isFramed())
        return std::nullopt;
    if (!exploring_)
        return curves.back();
    return curves[static_cast<std::size_t>(std::clamp(curve_, 0, static_cast<int>(curves.size()) - 1))];
}

bool CurveExplorer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        // A key handler: nothing it meets may leave it. A run-time error ends the key quietly; anything
        // else (a sound too large for the memory left, say) is reported.
        try {
            return key(e->key(),
                       e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
        } catch (const RuntimeError&) {
            return true;
        } catch (const std::exception& failure) {
            reportUnexpectedFailure("the exploration keys", failure);
            return true;
        }
    }
    if (watched == canvas_ && event->type() == QEvent::FocusOut) {
        // Switching to another window keeps the place; moving to another control ends the exploration, and
        // the canvas says again what it shows rather than the last point.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            exploring_ = false;
            if (!sounding_ && !isShowingNotice())
                hideMarker();
            if (canvas_->accessibleDescription() != canvas_->description().text())
                announce(canvas_->description().text());
        }
    }
    return QObject::eventFilter(watched, event);
}

bool CurveExplorer::key(int key, Qt::KeyboardModifiers modifiers) {
    const bool plain = modifiers == Qt::NoModifier;
    if (key == Qt::Key_T && plain) {
        exploring_ ? leave() : enter();
        return true;
    }
    if (key == Qt::Key_H && (plain || modifiers == Qt::ShiftModifier)) {
        toggleSound(plain ? kSoundSeconds : kSlowSoundSeconds);
        return true;
    }
    if (key == Qt::Key_Space && plain && sounding_) {
        stopSound();
        announce(kSoundStopped);
        return true;
    }
    if (!exploring_ ||
        std::find(std::begin(kExploringKeys), std::end(kExploringKeys), key) == std::end(kExploringKeys))
        return false;
    if (!chosenCurve() || !usableView(canvas_->description().view())) {
        // The curves were cleared, or the range became unusable, while exploring.
        leave();
        return true;
    }
    const ViewRange& view = canvas_->description().view();
    const int direction = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1;
    switch (key) {
    case Qt::Key_Escape:
        leave();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (plain)
            step(x_ + direction * (view.xmax - view.xmin) / columns());
        else if (modifiers == Qt::ShiftModifier)
            stepByTick(direction);
        else if (modifiers == Qt::ControlModifier)
            stepToLandmark(direction);
        return true;
    case Qt::Key_Home:
        step(view.xmin);
        return true;
    case Qt::Key_End:
        step(view.xmax);
        return true;
    default: // Up, Down
        chooseCurve(direction);
        return true;
    }
}

void CurveExplorer::enter() {
    const std::optional<CurveRecord> curve = chosenCurve();
    const ViewRange& view = canvas_->description().view();
    if (!curve || !usableView(view)) {
        announce(kNoCurve);
        return;
    }
    exploring_ = true;
    curve_ = static_cast<int>(canvas_->description().curves().size()) - 1;
    x_ = view.xmin;
    showMarker(x_);
    announce(QStringLiteral("探索 ") + spokenFormula(*curve));
}

void CurveExplorer::leave() {
    exploring_ = false;
    if (!sounding_ && !isShowingNotice())
        hideMarker();
    announce(QStringLiteral("结束探索"));
}

void CurveExplorer::step(double x) {
    const ViewRange& view = canvas_->description().view();
    x_ = std::clamp(x, view.xmin, view.xmax);
    showMarker(x_);
    announce(pointReadOut(*chosenCurve(), view, x_));
}

void CurveExplorer::stepByTick(int direction) {
    const ViewRange& view = canvas_->description().view();
    if (!(view.xju1 > 0) || !std::isfinite(view.xju1)) {
        step(x_);
        return;
    }
    // To the next tick on the side of the key: from between two ticks, the nearer one in that direction.
    const double ticks = x_ / view.xju1;
    double next = direction > 0 ? std::floor(ticks + kSamePlace) + 1 : std::ceil(ticks - kSamePlace) - 1;
    step(next * view.xju1);
}

void CurveExplorer::stepToLandmark(int direction) {
    const ViewRange& view = canvas_->description().view();
    const CurveRecord curve = *chosenCurve();
    const std::vector<Landmark> all = landmarks(curve, view, canvas_->surface().size().width());
    const double near = kSamePlace * (view.xmax - view.xmin);
    const Landmark* found = nullptr;
    for (const Landmark& l : all)
        if (direction > 0 ? l.x > x_ + near && !found : l.x < x_ - near)
            found = &l;
    if (!found) {
        announce(direction > 0 ? QStringLiteral("右边没有特征点") : QStringLiteral("左边没有特征点"));
        return;
    }
    x_ = found->x;
    showMarker(x_);
    announce(landmarkReadOut(curve, view, *found));
}

void CurveExplorer::chooseCurve(int direction) {
    const int count = static_cast<int>(canvas_->description().curves().size());
    curve_ = std::clamp(curve_ + direction, 0, count - 1);
    const CurveRecord curve = *chosenCurve();
    showMarker(x_);
    announce(spokenFormula(curve) + QStringLiteral(", ") +
             pointReadOut(curve, canvas_->description().view(), x_));
}

void CurveExplorer::toggleSound(double seconds) {
    if (sounding_) {
        stopSound();
        announce(kSoundStopped);
        return;
    }
    const std::optional<CurveRecord> curve = chosenCurve();
    const ViewRange& view = canvas_->description().view();
    if (!curve || !usableView(view)) {
        announce(kNoCurve);
        return;
    }
    if (!soundOutput().play(renderCurveSound(*curve, view, seconds).pcm())) {
        announce(kNoSound);
        showNoSoundNotice(exploring_ ? x_ : view.xmin);
        return;
    }
    sounding_ = true;
    soundSeconds_ = seconds;
    soundView_ = view;
    soundTimer_.start();
    announce(kSoundStarts);
    // The marker runs with the sound from its start, in place of any notice that there was no sound.
    showMarker(view.xmin);
}

void CurveExplorer::stopSound() {
    soundOutput().stop();
    sounding_ = false;
    soundTimer_.stop();
    if (exploring_)
        showMarker(x_);
    else
        hideMarker();
}

void CurveExplorer::contentsChanged() {
    // The plane moved or zoomed from the canvas itself (a drag, a pinch, Ctrl+wheel), which keeps the
    // focus and so the exploration. A sound plays the view it was made for, which the canvas no longer
    // shows: it stops. The explored point stays where it still shows, else moves to the nearest edge of
    // the new view, and the marker follows, so it never marks a place the new view puts elsewhere.
    const CanvasDescription& canvas = canvas_->description();
    const ViewRange& view = canvas.view();
    if (sounding_ && !(canvas.isFramed() && view.xmin == soundView_.xmin && view.xmax == soundView_.xmax &&
                       view.ymin == soundView_.ymin && view.ymax == soundView_.ymax))
        stopSound();
    // The notice stood beside a point of the old view.
    if (isShowingNotice())
        endNotice();
    if (!exploring_ || sounding_)
        return;
    if (!chosenCurve() || !usableView(view)) {
        // The curves went with the old frame (a drag draws the bare frame, then the curve again), or the
        // range is no longer usable: the marker waits for the curve, or the next key ends the exploration.
        hideMarker();
        return;
    }
    x_ = std::clamp(x_, view.xmin, view.xmax);
    showMarker(x_);
}

void CurveExplorer::soundTick() {
    if (!sounding_)
        return;
    // The sound is over when the output has played it out. What it has handed over runs ahead of what
    // was heard by all that the server and the device hold, and stopping there would cut off the end.
    if (!soundOutput().isPlaying()) {
        // A device that failed while playing is told as one that is not there.
        const bool failed = soundOutput().failed();
        const double heard = soundOutput().playedSeconds();
        stopSound();
        if (!failed)
            announce(kSoundEnds);
        if (failed) {
            announce(kNoSound);
            const double share = std::clamp(heard / soundSeconds_, 0.0, 1.0);
            if (chosenCurve() && usableView(canvas_->description().view()))
                showNoSoundNotice(soundView_.xmin + share * (soundView_.xmax - soundView_.xmin));
        }
        return;
    }
    const double share = std::clamp(soundOutput().playedSeconds() / soundSeconds_, 0.0, 1.0);
    showMarker(soundView_.xmin + share * (soundView_.xmax - soundView_.xmin));
}

void CurveExplorer::endNotice() {
    noticeTimer_.stop();
    if (sounding_)
        return;
    if (exploring_ && chosenCurve() && usableView(canvas_->description().view()))
        showMarker(x_);
    else
        hideMarker();
}

void CurveExplorer::announce(const QString& words) {
    canvas_->description().announce(words);
}

double CurveExplorer::columns() const {
    return std::max(1, canvas_->surface().size().width());
}

double CurveExplorer::rows() const {
    return std::max(1, canvas_->surface().size().height());
}

void CurveExplorer::showMarker(double x) {
    const ViewRange& view = canvas_->description().view();
    const std::optional<CurveRecord> curve = chosenCurve();
    if (!curve || !usableView(view))
        return;
    noticeTimer_.stop();
    const std::optional<double> value = curveValue(*curve, x);
    // Beyond the view the marker waits at its edge; where there is no value, on the x axis.
    const double y = std::clamp(value.value_or(0.0), view.ymin, view.ymax);
    marker_->show(x, y,
                  QStringLiteral("(") + formatPattern(x) + QStringLiteral(",") +
                      (value ? formatPattern(*value) : QStringLiteral("无定义")) + QStringLiteral(")"));
}

void CurveExplorer::showNoSoundNotice(double x) {
    showMarker(x);
    if (!marker_->isVisible())
        return;
    marker_->show(marker_->x(), marker_->y(), kNoSound);
    noticeTimer_.start();
}

void CurveExplorer::hideMarker() {
    noticeTimer_.stop();
    marker_->hide();
}

} // namespace canvas

// A randomized exerciser: creates the real main window of a program headless and performs a long random
// sequence of user actions on it (clicks, hostile typing, presses and drags far outside the canvas, hovers,
// timer ticks, zooms, grids, saves), and the classroom ways in (the exploration keys, the curve's sound
// with and without a sound device, fingers, the number pad, high contrast, the command menu, the export
// and sound dialogs), checking after every action that the window is still sound. Message boxes are
// answered by a counter that keeps only the last few, so memory stays bounded however long the run; the
// sound device and the file dialogs are fakes that answer at once. A failure names the seed and the action
// number, so it can be replayed; a run that passes ends with a summary (actions, messages answered, peak
// memory, the ten slowest actions with their seeds and positions).
//
//   exerciser --program=Quorvex --seed=123 --actions=20000 [--time-limit-ms=1000]

#include "expolog/family.h"
#include "power/mainwindow.h"

#include "classroom/curveexplorer.h"
#include "classroom/numberpad.h"
#include "classroom/pictureexport.h"
#include "classroom/soundoutput.h"
#include "classroom/windowcommands.h"
#include "curves/curvesound.h"
#include "curves/landmark.h"
#include "curves/spokentext.h"
#include "drawing/curvestyle.h"
#include "drawing/fonts.h"
#include "runtime/messagebox.h"
#include "runtime/unexpectedfailure.h"
#include "widgets/canvasgestures.h"
#include "widgets/controls.h"
#include "widgets/exitbutton.h"

#include "../support/fakeexportdialogs.h"
#include "../support/fingers.h"
#include "../support/scratchsettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>

#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <stdexcept>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

// The generator of a run: a seed of up to 32 bits seeds it as it always has, so an old seed replays the
// same run; a larger one is used whole, both its halves.
QRandomGenerator seededGenerator(std::uint64_t seed) {
    if (seed <= std::numeric_limits<quint32>::max())
        return QRandomGenerator(static_cast<quint32>(seed));
    const quint32 halves[] = {static_cast<quint32>(seed), static_cast<quint32>(seed >> 32)};
    return QRandomGenerator(halves, 2);
}

// Answers every message box at once. A long run shows hundreds of thousands of warnings, so it keeps a
// count and the last few texts (for a failure report), never the whole log.
class MessageCounter : public canvas::MessageBoxService {
public:
    void show(const QString& text, const QString&, canvas::MessageIcon) override {
        ++count;
        last.push_back(text);
        if (last.size() > kKept)
            last.pop_front();
    }
    static constexpr std::size_t kKept = 8;
    long long count = 0;
    std::deque<QString> last;
};

// The sound output of a machine with or without a sound device: plays nothing. The exerciser says whether
// there is a device, how far a sound has got, and when it ends or the device fails. Every sound handed over
// must be complete: the 3 or 6 seconds of a curve, whether or not a device takes it.
class FakeSound : public canvas::SoundOutput {
public:
    bool play(const QByteArray& pcm) override {
        const double frames = pcm.size() / 4.0;
        if (pcm.size() % 4 != 0 || (std::abs(frames - canvas::kSoundSeconds * canvas::kSoundRate) > 1 &&
                                    std::abs(frames - canvas::kSlowSoundSeconds * canvas::kSoundRate) > 1))
            wrongLength = pcm.size();
        playing = available;
        broken = false;
        seconds = 0;
        length = frames / canvas::kSoundRate;
        return available;
    }
    void stop() override { playing = false; }
    // A device plays a sound out once it has been heard to its end.
    bool isPlaying() const override { return playing && seconds < length; }
    double playedSeconds() const override { return seconds; }
    // What was handed over runs ahead of what was heard, as a real server's buffer makes it.
    double processedSeconds() const override { return seconds + 0.1; }
    bool failed() const override { return broken; }

    bool available = true;
    bool playing = false;
    bool broken = false;
    double seconds = 0;
    double length = 0;
    /// The byte count of a sound that was not a whole curve's, once one was handed over.
    qsizetype wrongLength = 0;
};

// One action as the summary lists it: how long its slowest event took, and where to replay it.
struct TimedAction {
    double ms = 0;
    std::string program;
    std::uint64_t seed = 0;
    long action = 0;
    std::string what;
};

// The slowest actions of the whole run, slowest first, kept to a fixed number.
class Slowest {
public:
    void add(TimedAction a) {
        if (list_.size() == kKept && a.ms <= list_.back().ms)
            return;
        list_.insert(std::upper_bound(list_.begin(), list_.end(), a,
                                      [](const TimedAction& x, const TimedAction& y) { return x.ms > y.ms; }),
                     std::move(a));
        if (list_.size() > kKept)
            list_.pop_back();
    }
    const std::vector<TimedAction>& list() const { return list_; }
    static constexpr std::size_t kKept = 10;

private:
    std::vector<TimedAction> list_;
};

// Texts pupils (and cats on keyboards) type.
QStringList hostileTexts() {
    QStringList texts = {
        "",     " ",           "   ",   "1e999",  "-1e999", "1e-320", "NaN",   "Infinity", "&H7FFF", "&HFFFF",
        "1d5",  "0.000000001", "1e308", "-1e308", "32768",  "-32769", "32767", "-32768",   "2.5",    "-2.5",
        "0",    "1",           "-1",    "2",      "3",      "0.5",    "10",    "-10",      "1e-17",  "1e9",
        "-0",   ".",           "-",     "e5",     "1e",     "2abc",   "中文",  "幂函数",   "1 2 3",  "0.1",
        "1000", "-1000",       "1e38",  "3.4e38", "1e39",   "\t",     "\n",    "\x01\x02", "1e-300"};
    texts << QString(10000, u'9') << QStringLiteral("0.") + QString(5000, u'0') + QStringLiteral("1")
          << QString(300, u'-');
    return texts;
}

// What the exerciser needs to know of a window: its controls and its state.
struct Target {
    QWidget* window = nullptr;
    canvas::CanvasWidget* canvas = nullptr;
    std::vector<QAbstractButton*> buttons;
    std::vector<QLineEdit*> boxes;
    std::vector<QAbstractButton*> zoomButtons;
    QWidget* exitNormal = nullptr;
    /// The exit button's pictures: a finger never taps them, or the program would end.
    std::vector<QWidget*> exitPictures;
    canvas::WindowCommands* commands = nullptr;
    canvas::CurveExplorer* explorer = nullptr;
    /// The 高对比度 command.
    QAction* contrast = nullptr;
    /// The colour the window draws its current curve in, where it keeps one.
    std::function<canvas::Colour()> curveColour;
    /// The range panel's boxes (xmin, xmax, ymin, ymax, then the two spacings) and its 确定.
    std::vector<QLineEdit*> rangeBoxes;
    QAbstractButton* applyRange = nullptr;
    /// What clears a lesson's curve and its numbers (清除图象, 清除数据), and the range panel's 清除数据.
    std::vector<QAbstractButton*> clearCurve;
    QAbstractButton* clearRange = nullptr;
    /// Types one of a lesson's parameters (`choice`, any number) and presses 作图; `tracing` is true while
    /// the curve is still being traced by the timer.
    std::function<void(int choice)> plotCurve;
    std::function<bool()> tracing = [] { return false; };
    std::function<void()> tick1;
    std::function<void()> tick2;
    std::function<void(const canvas::PointerEvent&)> down, move, up;
    std::function<std::vector<double>()> state;
    std::function<canvas::ViewRange()> view;
    std::function<void(QRandomGenerator&)> save;
};

QTemporaryDir& saveFolder() {
    static QTemporaryDir dir;
    return dir;
}

// One action in this many comes in a classroom way; the rest work the windows' own controls, which reach
// the drawing routines hardest. A classroom action goes through Qt's whole delivery (touch points, popups,
// the repaints of the event loop) and costs ten to twenty times an action on the controls, and some leave
// a lesson's range or curve for the controls to work harder in: at one in sixteen the controls keep most
// of the run's time.
constexpr int kClassroomShare = 16;

// The fakes every window of the run shares.
struct Fakes {
    FakeSound& sound;
    testsupport::FakeExportDialogs::Answers& dialogs;
};

bool inPalette(canvas::Colour c) {
    return std::any_of(canvas::kHighContrastColours.begin(), canvas::kHighContrastColours.end(),
                       [c](const canvas::Rgb& p) { return c == canvas::RGB(p.red, p.green, p.blue); });
}

class Exerciser {
public:
    Exerciser(Target target, Fakes fakes, std::uint64_t seed, double timeLimitMs, Slowest& slowest)
        : t_(std::move(target)), fakes_(fakes), random_(seededGenerator(seed)), timeLimitMs_(timeLimitMs),
          texts_(hostileTexts()), slowestActions_(slowest), canvasSize_(t_.canvas->surface().size()) {}

    void run(long actions, const std::string& program, std::uint64_t seed) {
        for (long i = 0; i < actions; ++i) {
            action_ = i;
            const canvas::ViewRange before = t_.view();
            const Contrast contrastBefore{canvas::CurveStyle::instance().highContrast(),
                                          t_.curveColour ? t_.curveColour() : 0};
            slowest_ = 0;
            bool spacingsMayChange = false;
            const long unexpectedBefore = canvas::unexpectedFailureCount();
            try {
                spacingsMayChange = act();
            } catch (const std::exception& e) {
                fail(program, seed, std::string("an exception escaped a handler: ") + e.what());
            }
            // A handler keeps every exception in, and reports one that is not a run-time error.
            if (canvas::unexpectedFailureCount() != unexpectedBefore)
                fail(program, seed, "an unexpected exception ended a handler in " + last_);
            if (slowest_ > timeLimitMs_) {
                const canvas::ViewRange v = t_.view();
                fail(program, seed,
                     "one event took " + std::to_string(slowest_) + " ms (" + last_ + ", view " +
                         std::to_string(v.xmin) + ".." + std::to_string(v.xmax) + " x " +
                         std::to_string(v.ymin) + ".." + std::to_string(v.ymax) + ", spacings " +
                         std::to_string(v.xju1) + ", " + std::to_string(v.yju1) + ")");
            }
            check(program, seed, before, spacingsMayChange);
            checkClassroom(program, seed, contrastBefore);
            slowestActions_.add({slowest_, program, seed, i, last_});
        }
    }

private:
    // Runs one event and keeps the longest time any single event took in this action. A drag of a
    // thousand steps is a thousand events: each must return promptly, not the drag as a whole.
    template <class F> bool timed(F&& f) {
        QElapsedTimer clock;
        clock.start();
        f();
        slowest_ = std::max(slowest_, clock.nsecsElapsed() / 1e6);
        return false;
    }

    int pick(int n) { return static_cast<int>(random_.bounded(n)); }
    float coordinate() {
        switch (pick(4)) {
        case 0:
            return static_cast<float>(random_.bounded(40.0) - 20);
        case 1:
            return static_cast<float>(random_.bounded(2e6) - 1e6);
        case 2:
            return static_cast<float>((random_.bounded(2.0) - 1) * 3e38);
        default:
            return static_cast<float>(random_.bounded(2.0) - 1);
        }
    }
    QPoint canvasPixel() {
        // Mostly on the canvas, sometimes far outside it (a drag keeps the pointer grabbed).
        if (pick(5) == 0)
            return {pick(4000) - 2000, pick(4000) - 2000};
        return {pick(t_.canvas->width()), pick(t_.canvas->height())};
    }

    // Performs one random action; returns true when it may legitimately change the tick spacings.
    bool act() {
        if (pick(kClassroomShare) != 0)
            return actOnControls();
        switch (pick(16)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
            return exploreWithKeys();
        case 5:
        case 6:
            return playSound();
        case 7:
        case 8:
        case 9:
            return touch();
        case 10:
        case 11:
            return typeOnNumberPad();
        case 12:
            return switchContrast();
        case 13:
        case 14:
            return useMenuFromKeyboard();
        default:
            return openFileDialog();
        }
    }

    bool actOnControls() {
        switch (pick(12)) {
        case 0:
        case 1: {
            QAbstractButton* b =
                t_.buttons[static_cast<std::size_t>(pick(static_cast<int>(t_.buttons.size())))];
            last_ = "click " + b->text().toStdString();
            timed([b] {
                if (b->isVisible() && b->isEnabled())
                    QTest::mouseClick(b, Qt::LeftButton);
                else
                    b->click();
            });
            return true;
        }
        case 2:
        case 3: {
            QLineEdit* box = t_.boxes[static_cast<std::size_t>(pick(static_cast<int>(t_.boxes.size())))];
            QString text = pick(4) == 0 ? randomText() : texts_[pick(static_cast<int>(texts_.size()))];
            last_ = "type into a box";
            timed([&] {
                const bool typeable = std::all_of(text.begin(), text.end(), [](QChar c) {
                    return c.unicode() >= 0x20 && c.unicode() < 0x7F;
                });
                if (text.size() < 40 && typeable && box->isVisible()) {
                    box->clear();
                    QTest::keyClicks(box, text);
                } else {
                    box->setText(text);
                }
            });
            return false;
        }
        case 4: {
            last_ = "drag";
            const int steps = pick(10) == 0 ? 2000 : pick(30);
            timed([&] { t_.down({1 << pick(3), 0, coordinate(), coordinate()}); });
            for (int s = 0; s < steps; ++s)
                timed([&] { t_.move({1, 0, coordinate(), coordinate()}); });
            timed([&] { t_.up({1, 0, coordinate(), coordinate()}); });
            return false;
        }
        case 5: {
            last_ = "real pointer drag";
            timed([&] { QTest::mousePress(t_.canvas, Qt::LeftButton, {}, canvasPixel()); });
            for (int s = pick(10); s > 0; --s) {
                const QPoint p = canvasPixel();
                QMouseEvent move(QEvent::MouseMove, p, t_.canvas->mapToGlobal(p), Qt::NoButton,
                                 Qt::LeftButton, Qt::NoModifier);
                timed([&] { QApplication::sendEvent(t_.canvas, &move); });
            }
            timed([&] { QTest::mouseRelease(t_.canvas, Qt::LeftButton, {}, canvasPixel()); });
            return false;
        }
        case 6:
            last_ = "hover";
            timed([&] { QTest::mouseMove(t_.canvas, canvasPixel()); });
            timed([&] { t_.move({0, 0, coordinate(), coordinate()}); });
            return false;
        case 7:
            last_ = "exit hover";
            if (t_.exitNormal->isVisible())
                QTest::mouseMove(t_.exitNormal, QPoint(5, 5));
            QTest::mouseMove(t_.window, QPoint(3, 3));
            return false;
        case 8:
        case 9: {
            last_ = "timer ticks";
            for (int n = pick(200); n > 0; --n)
                timed(pick(2) ? t_.tick1 : t_.tick2);
            return false;
        }
        case 10: {
            last_ = "zoom";
            if (!t_.zoomButtons.empty()) {
                QAbstractButton* b = t_.zoomButtons[static_cast<std::size_t>(pick(2))];
                for (int n = 1 + pick(4); n > 0; --n)
                    timed([b] { b->click(); });
            }
            return false;
        }
        default:
            last_ = "save";
            if (t_.save)
                timed([&] { t_.save(random_); });
            return false;
        }
    }

    // The window in front and its canvas focused, as Tab to "坐标平面" leaves it: the keys below go where
    // a pupil's would. Only a window not yet in front is brought there (Zelmora focuses its base box then).
    void activate() {
        if (QApplication::activeWindow() != t_.window)
            QApplication::setActiveWindow(t_.window);
    }
    void focusCanvas() {
        activate();
        if (!t_.canvas->hasFocus())
            t_.canvas->setFocus(Qt::TabFocusReason);
    }
    void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        timed([&] { QTest::keyClick(w, k, modifiers); });
    }
    // Where the window's keys arrive: the focused control, else the window.
    QWidget* focused() const {
        QWidget* w = QApplication::focusWidget();
        return w && w->window() == t_.window ? w : t_.window;
    }

    // What the random controls leave on the canvas is mostly no curve, or a range no curve can be explored
    // in: half the time the pupil first applies the lesson's range and plots one of its curves, as a pupil
    // would before exploring or hearing one. True when the range was applied (its spacings with it).
    bool maybePlotFirst() {
        plottedFirst_ = false;
        const canvas::CanvasDescription& canvas = t_.canvas->description();
        const bool usable = canvas.isFramed() && canvas::usableView(canvas.view());
        if ((usable && !canvas.curves().empty()) || pick(2) == 0)
            return false;
        last_ += " after plotting";
        if (!usable) {
            static const char* const spacings[] = {"1", "2", "5"};
            const char* const spacing = spacings[pick(3)];
            const char* const lesson[] = {"-10", "10", "-10", "10", spacing, spacing};
            for (std::size_t i = 0; i < t_.rangeBoxes.size(); ++i)
                timed([&] {
                    t_.rangeBoxes[i]->clear();
                    QTest::keyClicks(t_.rangeBoxes[i], lesson[i]);
                });
            timed([&] { QTest::mouseClick(t_.applyRange, Qt::LeftButton); });
        }
        timed([&] { t_.plotCurve(pick(1000)); });
        for (int n = 0; n < 5000 && t_.tracing(); ++n)
            timed(t_.tick1);
        plottedFirst_ = true;
        rangedFirst_ = !usable;
        return !usable;
    }

    // Mostly the pupil clears what was plotted for the exploration once done: the picture (清除图象) and a
    // range applied for it (清除数据 and 确定, which leaves the canvas blank). A lesson's curve and range
    // left behind make every later drag and zoom draw a full frame and plot the curve again, and would take
    // most of the run's time from the random controls. The rest stay, for the controls to meet an
    // exploration or a sound under way.
    void maybeClearAfterwards() {
        if (plottedFirst_ && pick(8) != 0) {
            for (QAbstractButton* b : t_.clearCurve)
                timed([&] { QTest::mouseClick(b, Qt::LeftButton); });
            if (rangedFirst_) {
                timed([&] { QTest::mouseClick(t_.clearRange, Qt::LeftButton); });
                timed([&] { QTest::mouseClick(t_.applyRange, Qt::LeftButton); });
            }
        }
        plottedFirst_ = false;
        rangedFirst_ = false;
    }

    bool exploreWithKeys() {
        struct Key {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
        };
        static const Key keys[] = {
            {Qt::Key_T, Qt::NoModifier},          {Qt::Key_T, Qt::NoModifier},
            {Qt::Key_Left, Qt::NoModifier},       {Qt::Key_Right, Qt::NoModifier},
            {Qt::Key_Right, Qt::NoModifier},      {Qt::Key_Left, Qt::ShiftModifier},
            {Qt::Key_Right, Qt::ShiftModifier},   {Qt::Key_Home, Qt::NoModifier},
            {Qt::Key_End, Qt::NoModifier},        {Qt::Key_Up, Qt::NoModifier},
            {Qt::Key_Down, Qt::NoModifier},       {Qt::Key_Left, Qt::ControlModifier},
            {Qt::Key_Right, Qt::ControlModifier}, {Qt::Key_Right, Qt::ControlModifier},
            {Qt::Key_Escape, Qt::NoModifier},
        };
        last_ = "exploration keys";
        const bool ranged = maybePlotFirst();
        focusCanvas();
        for (int n = 1 + pick(12); n > 0; --n) {
            const Key& k = keys[pick(static_cast<int>(std::size(keys)))];
            key(t_.canvas, k.key, k.modifiers);
        }
        maybeClearAfterwards();
        return ranged;
    }

    // H or Shift+H, then the marker's timer ticks while the sound plays on, until it is over, the device
    // fails, or H or Space stops it; some sounds are left playing into the next actions.
    bool playSound() {
        last_ = "sound";
        FakeSound& sound = fakes_.sound;
        const bool ranged = maybePlotFirst();
        focusCanvas();
        sound.available = pick(4) != 0;
        key(t_.canvas, Qt::Key_H, pick(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        for (int n = pick(20); n > 0 && t_.explorer->isSounding(); --n) {
            sound.seconds += random_.bounded(0.6);
            if (pick(25) == 0) {
                sound.playing = false;
                sound.broken = pick(2) == 0;
            }
            timed([&] { t_.explorer->soundTick(); });
        }
        const int end = pick(4);
        if (end < 2)
            key(t_.canvas, end == 0 ? Qt::Key_H : Qt::Key_Space);
        // The few seconds of a notice that there is no sound output run out, or outlast this action.
        if (t_.explorer->isShowingNotice() && pick(2) == 0)
            timed([&] { t_.explorer->endNotice(); });
        maybeClearAfterwards();
        return ranged;
    }

    QPoint onCanvas() { return {pick(t_.canvas->width()), pick(t_.canvas->height())}; }
    QPoint anywhere() {
        // Mostly on the canvas, sometimes far beyond it: a finger keeps the widget it came down on.
        if (pick(6) == 0)
            return {pick(4000) - 2000, pick(4000) - 2000};
        return onCanvas();
    }
    QPoint onWindow() { return {pick(t_.window->width()), pick(t_.window->height())}; }
    QPointingDevice* screen() const { return testsupport::touchScreen(); }

    // Fingers through Qt's touch delivery: taps, drags, pinches and holds on the canvas, taps and holds
    // anywhere on the window (a control takes a tap as a click, a text box opens the number pad).
    bool touch() {
        testsupport::Fingers fingers;
        QWidget* c = t_.canvas;
        switch (pick(6)) {
        case 0: {
            last_ = "tap";
            const QPoint p = onCanvas();
            timed([&] { fingers.down(c, p); });
            timed([&] { fingers.up(c, p); });
            return false;
        }
        case 1: {
            last_ = "finger drag";
            timed([&] { fingers.down(c, onCanvas()); });
            for (int s = pick(10) == 0 ? 60 + pick(60) : pick(15); s > 0; --s)
                timed([&] { fingers.move(c, anywhere()); });
            timed([&] { fingers.up(c, anywhere()); });
            return false;
        }
        case 2:
            last_ = "pinch";
            pinch();
            return true;
        case 3: {
            last_ = "hold on the canvas";
            timed([&] { fingers.down(c, onCanvas()); });
            if (pick(4) != 0)
                timed([&] { t_.canvas->gestures().hold().onHoldTimeout(); });
            for (int s = pick(20); s > 0; --s)
                timed([&] { fingers.move(c, anywhere()); });
            timed([&] { fingers.up(c, anywhere()); });
            return false;
        }
        case 4: {
            last_ = "tap on the window";
            const QPoint p = onWindow();
            if (isExitPicture(p))
                return false;
            timed([&] { fingers.tap(t_.window, p); });
            usePad();
            return true;
        }
        default:
            last_ = "hold on the free area";
            holdOnFreeArea();
            return false;
        }
    }

    bool isExitPicture(QPoint windowPos) const {
        const QWidget* w = t_.window->childAt(windowPos);
        return std::find(t_.exitPictures.begin(), t_.exitPictures.end(), w) != t_.exitPictures.end();
    }

    // Two fingers spread or closed about a point, at any angle, within the canvas (a finger that lands
    // beyond it touches something else); sometimes the second joins a finger that is already dragging.
    void pinch() {
        QWidget* c = t_.canvas;
        const QPoint centre = onCanvas();
        const double angle = random_.bounded(2 * M_PI);
        auto at = [&](int spread, int side) {
            const QPoint p = centre + QPoint(static_cast<int>(side * spread / 2 * std::cos(angle)),
                                             static_cast<int>(side * spread / 2 * std::sin(angle)));
            return QPoint(std::clamp(p.x(), 4, c->width() - 5), std::clamp(p.y(), 4, c->height() - 5));
        };
        int spread = pick(300);
        if (pick(4) == 0) {
            timed([&] { QTest::touchEvent(c, screen()).press(0, at(spread, -1), c); });
            for (int s = pick(5); s > 0; --s)
                timed([&] { QTest::touchEvent(c, screen()).move(0, anywhere(), c); });
            timed([&] {
                QTest::touchEvent(c, screen()).move(0, at(spread, -1), c).press(1, at(spread, 1), c);
            });
        } else {
            timed([&] {
                QTest::touchEvent(c, screen()).press(0, at(spread, -1), c).press(1, at(spread, 1), c);
            });
        }
        for (int s = 1 + pick(8); s > 0; --s) {
            spread = std::max(0, static_cast<int>(spread * (0.5 + random_.bounded(1.2))) + pick(21) - 10);
            timed(
                [&] { QTest::touchEvent(c, screen()).move(0, at(spread, -1), c).move(1, at(spread, 1), c); });
        }
        if (pick(3) == 0) {
            // One finger lifts first; the other may move on alone before it lifts too.
            timed([&] { QTest::touchEvent(c, screen()).release(1, at(spread, 1), c).stationary(0); });
            for (int s = pick(4); s > 0; --s)
                timed([&] { QTest::touchEvent(c, screen()).move(0, anywhere(), c); });
            timed([&] { QTest::touchEvent(c, screen()).release(0, at(spread, -1), c); });
        } else {
            timed([&] {
                QTest::touchEvent(c, screen()).release(0, at(spread, -1), c).release(1, at(spread, 1), c);
            });
        }
    }

    // A finger held still on the window's free area opens the command menu there; the pupil picks an entry
    // or closes it, then lifts the finger.
    void holdOnFreeArea() {
        testsupport::Fingers fingers;
        QPoint p = onWindow();
        for (int tries = 0; tries < 20 && !t_.commands->isFreeArea(p); ++tries)
            p = onWindow();
        if (!t_.commands->isFreeArea(p))
            return;
        timed([&] { fingers.down(t_.window, p); });
        timed([&] { t_.commands->touchHold().onHoldTimeout(); });
        finishMenu();
        timed([&] { fingers.up(t_.window, p); });
    }

    static constexpr QPoint kTapped{5, 5};

    // A finger taps a text box, which opens the number pad beside it; the box may already hold anything
    // typing left there.
    bool typeOnNumberPad() {
        last_ = "number pad";
        std::vector<QLineEdit*> shown;
        // A finger reaches only what the window shows (Tavrinth's inverse panel lies below its first view).
        for (QLineEdit* box : t_.boxes)
            if (box->isVisible() && box->isEnabled() &&
                t_.window->rect().contains(box->mapTo(t_.window, kTapped)))
                shown.push_back(box);
        if (shown.empty())
            return false;
        QLineEdit* box = shown[static_cast<std::size_t>(pick(static_cast<int>(shown.size())))];
        if (pick(3) == 0)
            box->setText(texts_[pick(static_cast<int>(texts_.size()))]);
        testsupport::Fingers fingers;
        timed([&] { fingers.tap(box, kTapped); });
        usePad();
        return false;
    }

    // Composes a number on the open pad, sometimes a long or malformed one, and ends with 确定, 取消 or a
    // tap beside the pad.
    void usePad() {
        canvas::NumberPad* pad = canvas::NumberPad::of(t_.window);
        if (!pad || !pad->pad())
            return;
        static const QStringList captions = {"0", "1", "2", "3", "4", "5",   "6",
                                             "7", "8", "9", ".", "-", "删除"};
        for (int n = pick(10) == 0 ? 100 + pick(400) : pick(12); n > 0; --n) {
            QPushButton* k = pad->key(captions[pick(static_cast<int>(captions.size()))]);
            timed([&] { QTest::mouseClick(k, Qt::LeftButton); });
        }
        switch (pick(3)) {
        case 0:
            timed([&] { QTest::mouseClick(pad->key(QStringLiteral("确定")), Qt::LeftButton); });
            break;
        case 1:
            timed([&] { QTest::mouseClick(pad->key(QStringLiteral("取消")), Qt::LeftButton); });
            break;
        default: {
            QPoint beside = onWindow();
            const QRect padArea(t_.window->mapFromGlobal(pad->pad()->pos()), pad->pad()->size());
            for (int tries = 0; tries < 20 && (padArea.contains(beside) || isExitPicture(beside)); ++tries)
                beside = onWindow();
            testsupport::Fingers fingers;
            timed([&] { fingers.tap(t_.window, beside); });
            break;
        }
        }
    }

    // 高对比度 from the menu of the window's free area, opened by a right-click there or from the keyboard.
    bool switchContrast() {
        last_ = "high contrast";
        activate();
        if (pick(2) == 0) {
            QPoint p = onWindow();
            for (int tries = 0; tries < 20 && !t_.commands->isFreeArea(p); ++tries)
                p = onWindow();
            if (!t_.commands->isFreeArea(p))
                return false;
            timed([&] { QTest::mouseClick(t_.window->windowHandle(), Qt::RightButton, {}, p); });
        } else {
            focusCanvas();
            key(t_.canvas, Qt::Key_F10, Qt::ShiftModifier);
        }
        QMenu* menu = t_.commands->menu();
        if (menu->isVisible())
            timed([&] {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(t_.contrast).center());
            });
        closePopups();
        return false;
    }

    // Shift+F10 or the Menu key wherever the focus is: the window's menu, or a text box's own.
    bool useMenuFromKeyboard() {
        last_ = "menu key";
        activate();
        answerDialogs();
        if (pick(2) == 0)
            key(focused(), Qt::Key_F10, Qt::ShiftModifier);
        else
            key(focused(), Qt::Key_Menu);
        finishMenu();
        return false;
    }

    // Closes the open menu with Esc or picks one of its entries, by the pointer or by the arrow keys and
    // Enter. Every entry is safe to pick: the dialogs some open are the fakes.
    void finishMenu() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && pick(3) != 0) {
            std::vector<QAction*> entries;
            for (QAction* a : menu->actions())
                if (a->isVisible() && a->isEnabled() && !a->isSeparator() && !a->menu())
                    entries.push_back(a);
            if (!entries.empty() && pick(2) == 0) {
                QAction* a = entries[static_cast<std::size_t>(pick(static_cast<int>(entries.size())))];
                last_ += std::string(", ") + a->text().toStdString();
                timed([&] { QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center()); });
            } else {
                for (int n = pick(12); n > 0; --n)
                    key(menu, pick(4) == 0 ? Qt::Key_Up : Qt::Key_Down);
                key(menu, Qt::Key_Return);
            }
        }
        closePopups();
        fakes_.dialogs.name.clear();
    }

    // Esc to whatever popup is still open (a submenu, then its menu); a pupil closes them all.
    void closePopups() {
        for (int n = 0; n < 4 && QApplication::activePopupWidget(); ++n)
            key(QApplication::activePopupWidget(), Qt::Key_Escape);
    }

    // How the fake dialogs answer: mostly cancelled, sometimes a name in the scratch folder, with or
    // without an extension, which may replace an earlier file.
    void answerDialogs() {
        testsupport::FakeExportDialogs::Answers& a = fakes_.dialogs;
        a.name.clear();
        a.filter.clear();
        a.printFile.clear();
        a.replace = pick(2) == 0;
        a.asked = 0;
        a.replaceAsked.clear();
        if (pick(4) != 0)
            return;
        static const QStringList names = {"picture",     "picture.svg", "picture.pdf", "picture.png",
                                          "picture.bmp", "picture.txt", "sound.wav",   "sound"};
        a.name = QDir(saveFolder().path()).filePath(names[pick(static_cast<int>(names.size()))]);
        if (pick(2) == 0)
            a.filter = canvas::exportFilters()[pick(static_cast<int>(canvas::exportFilters().size()))];
    }

    // 导出图像… (Ctrl+Shift+S) and 打印… (Ctrl+P) wherever the focus is, 保存声音… from the menu.
    bool openFileDialog() {
        activate();
        answerDialogs();
        bool ranged = false;
        switch (pick(3)) {
        case 0:
            last_ = "export dialog";
            key(focused(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        case 1:
            last_ = "print dialog";
            key(focused(), Qt::Key_P, Qt::ControlModifier);
            break;
        default: {
            last_ = "sound dialog";
            ranged = maybePlotFirst();
            focusCanvas();
            key(t_.canvas, Qt::Key_F10, Qt::ShiftModifier);
            QMenu* menu = t_.commands->menu();
            const QList<QAction*> entries = menu->actions();
            const auto sound = std::find_if(entries.begin(), entries.end(), [](QAction* a) {
                return a->text() == QStringLiteral("保存声音…");
            });
            if (menu->isVisible() && sound != entries.end())
                timed([&] {
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*sound).center());
                });
            closePopups();
            maybeClearAfterwards();
            break;
        }
        }
        fakes_.dialogs.name.clear();
        return ranged;
    }

    QString randomText() {
        QString s;
        const QString alphabet = QStringLiteral("0123456789.-+eEdD &Hh x中 \t");
        for (int n = pick(12); n > 0; --n)
            s += alphabet[pick(static_cast<int>(alphabet.size()))];
        return s;
    }

    void check(const std::string& program, std::uint64_t seed, const canvas::ViewRange& before,
               bool spacingsMayChange) {
        for (const double v : t_.state())
            if (!std::isfinite(v))
                fail(program, seed, "a state value is not finite after " + last_);
        const canvas::ViewRange v = t_.view();
        if (!spacingsMayChange && (v.xju1 != before.xju1 || v.yju1 != before.yju1))
            fail(program, seed, "the tick spacings changed in " + last_);
        // The picture keeps its logical size at every scale; the control is that size, border included,
        // at the scale.
        const QSizeF outer = QSizeF(canvasSize_ + QSize(4, 4)) * t_.canvas->scale();
        if (t_.canvas->surface().size() != canvasSize_ || std::abs(t_.canvas->width() - outer.width()) > 1 ||
            std::abs(t_.canvas->height() - outer.height()) > 1)
            fail(program, seed, "the canvas picture changed its size in " + last_);
        if (canvas::modalDepth() != 0 || QApplication::activeModalWidget() != nullptr)
            fail(program, seed, "a modal box was left open");
    }

    struct Contrast {
        bool on;
        canvas::Colour curve;
    };

    // What the classroom pieces hold after the action: no menu or pad left open, the explored point and
    // its marker on the canvas, whole sounds, and curve colours from the set of the contrast in force.
    void checkClassroom(const std::string& program, std::uint64_t seed, const Contrast& before) {
        if (QWidget* popup = QApplication::activePopupWidget())
            fail(program, seed,
                 std::string("a ") + popup->metaObject()->className() + " was left open after " + last_);
        if (fakes_.sound.wrongLength != 0)
            fail(program, seed,
                 "a sound of " + std::to_string(fakes_.sound.wrongLength) +
                     " bytes, not a whole curve's, in " + last_);
        const canvas::CurveExplorer& e = *t_.explorer;
        if (e.isExploring() && !std::isfinite(e.x()))
            fail(program, seed, "the explored point is not finite after " + last_);
        const canvas::CurveMarker& marker = e.marker();
        if (marker.isVisible()) {
            if (!e.isExploring() && !e.isSounding() && !e.isShowingNotice())
                fail(program, seed, "the marker stayed after exploring and the sound ended, in " + last_);
            const QPointF at = t_.canvas->widgetPosition(marker.x(), marker.y());
            const QRectF picture = QRectF(QPointF(2, 2), QSizeF(canvasSize_)).adjusted(-1, -1, 1, 1);
            if (!picture.contains(at))
                fail(program, seed,
                     "the marker lies off the canvas, at pixel " + std::to_string(at.x()) + ", " +
                         std::to_string(at.y()) + ", after " + last_ + " (" +
                         (e.isExploring() ? "exploring" : "sounding") +
                         ", the canvas says: " + t_.canvas->description().text().toStdString() + ")");
            const QString caption = marker.caption();
            const bool notice = e.isShowingNotice() && caption == QStringLiteral("没有可用的声音输出");
            const bool coordinates = caption.startsWith(u'(') && caption.endsWith(u')');
            if ((!notice && !coordinates) || caption.contains(QStringLiteral("inf"), Qt::CaseInsensitive) ||
                caption.contains(QStringLiteral("nan"), Qt::CaseInsensitive))
                fail(program, seed, "the marker reads " + caption.toStdString() + " after " + last_);
        }
        // What the canvas says of itself is written for the ear, whatever range and curves the controls left.
        const QString description = t_.canvas->description().text();
        if (!canvas::readsAsWords(description))
            fail(program, seed,
                 "the canvas says \"" + description.toStdString() + "\", with a symbol read by name, after " +
                     last_);
        const bool on = canvas::CurveStyle::instance().highContrast();
        if (t_.contrast->isChecked() != on)
            fail(program, seed,
                 "高对比度 is shown " + std::string(t_.contrast->isChecked() ? "on" : "off") +
                     " while the curves are drawn otherwise, after " + last_);
        // Only high contrast draws a curve twice as wide (both programs draw curves 2 pixels wide), and
        // always in one of its colours. The items new since the last action are looked at, and all of them
        // now and then: a picture wiped and drawn again within one action may have grown past the count.
        constexpr int kWideCurve = 2 * 2;
        const canvas::DisplayList& list = t_.canvas->surface().displayList();
        if (t_.curveColour)
            checkedItems_ = list.itemCount();
        else if (list.itemCount() < checkedItems_ || action_ % 64 == 0)
            checkedItems_ = 0;
        for (; checkedItems_ < list.itemCount(); ++checkedItems_)
            if (list.itemWidth(checkedItems_) == kWideCurve && !inPalette(list.itemColour(checkedItems_)))
                fail(program, seed,
                     "a curve drawn twice as wide is not in a high-contrast colour (" +
                         QString::number(list.itemColour(checkedItems_), 16).toStdString() + "), after " +
                         last_);
        if (t_.curveColour && t_.curveColour() != before.curve && on == before.on) {
            const canvas::Colour c = t_.curveColour();
            const bool picked = canvas::redOf(c) < 255 && canvas::greenOf(c) < 255 && canvas::blueOf(c) < 255;
            if (on ? !inPalette(c) : !picked)
                fail(program, seed,
                     "a new curve's colour is not of the " + std::string(on ? "high-contrast" : "usual") +
                         " set, after " + last_);
        }
    }

    [[noreturn]] void fail(const std::string& program, std::uint64_t seed, const std::string& what) {
        std::fprintf(stderr, "FAILED: %s seed %llu action %ld: %s\n", program.c_str(),
                     static_cast<unsigned long long>(seed), action_, what.c_str());
        std::exit(1);
    }

    Target t_;
    Fakes fakes_;
    QRandomGenerator random_;
    double timeLimitMs_;
    QStringList texts_;
    long action_ = 0;
    double slowest_ = 0;
    std::string last_;
    Slowest& slowestActions_;
    QSize canvasSize_;
    std::size_t checkedItems_ = 0;
    bool plottedFirst_ = false;
    bool rangedFirst_ = false;
};

// The classroom pieces every window has.
void addClassroom(Target& t) {
    t.commands = canvas::WindowCommands::of(t.window);
    t.explorer = canvas::CurveExplorer::of(t.canvas);
    for (QAction* a : t.commands->menu()->actions())
        if (a->text() == QStringLiteral("高对比度"))
            t.contrast = a;
}

Target quorvexTarget(quorvex::MainWindow& f) {
    Target t;
    t.window = &f;
    t.canvas = f.controls().canvas;
    addClassroom(t);
    t.exitPictures = {f.controls().exitPicture, f.controls().exitHighlight};
    t.rangeBoxes = {f.controls().xMinBox, f.controls().xMaxBox,     f.controls().yMinBox,
                    f.controls().yMaxBox, f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.applyRange = f.controls().applyRangeButton;
    t.clearCurve = {f.controls().clearGraphButton, f.controls().clearExponentButton};
    t.clearRange = f.controls().clearRangeButton;
    t.plotCurve = [&f](int choice) {
        // The integer form, or the fractional one with a second number.
        static const char* const exponents[][2] = {{"2", ""}, {"3", ""}, {"-1", ""}, {"-2", ""}, {"1", "2"}};
        const auto& e = exponents[choice % std::size(exponents)];
        QTest::mouseClick(*e[1] ? f.controls().fractionFormOption : f.controls().integerFormOption,
                          Qt::LeftButton);
        f.controls().mBox->clear();
        QTest::keyClicks(f.controls().mBox, e[0]);
        if (*e[1]) {
            f.controls().nBox->clear();
            QTest::keyClicks(f.controls().nBox, e[1]);
        }
        QTest::mouseClick(f.controls().plotButton, Qt::LeftButton);
    };
    t.buttons = {
        f.controls().applyRangeButton,    f.controls().plotButton,        f.controls().clearGraphButton,
        f.controls().clearExponentButton, f.controls().clearRangeButton,  f.controls().drawGridButton,
        f.controls().removeGridButton,    f.controls().zoomInButton,      f.controls().zoomOutButton,
        f.controls().integerFormOption,   f.controls().fractionFormOption};
    t.boxes = {f.controls().xMaxBox,     f.controls().xMinBox,    f.controls().yMaxBox,
               f.controls().yMinBox,     f.controls().mBox,       f.controls().nBox,
               f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.zoomButtons = {f.controls().zoomInButton, f.controls().zoomOutButton};
    t.exitNormal = f.controls().exitPicture;
    t.tick1 = [] {};
    t.tick2 = [] {};
    t.down = [&f](const canvas::PointerEvent& e) { f.onCanvasPressed(e); };
    t.move = [&f](const canvas::PointerEvent& e) { f.onCanvasPointerMoved(e); };
    t.up = [&f](const canvas::PointerEvent& e) { f.onCanvasReleased(e); };
    t.view = [&f] { return f.view(); };
    t.state = [&f] {
        return std::vector<double>{f.view().xmin, f.view().xmax, f.view().ymin,
                                   f.view().ymax, f.view().xju1, f.view().yju1};
    };
    t.save = [&f](QRandomGenerator& random) {
        f.onSaveClicked();
        quorvex::SaveDialog* dialog = f.saveDialog();
        if (!dialog)
            return;
        dialog->controls().folderList->setPath(saveFolder().path());
        const QStringList names = {"graph", "", "a/b", "..", "../x", "graph.bmp", "中文", QString(300, u'n')};
        dialog->controls().nameBox->setText(
            names[static_cast<int>(random.bounded(static_cast<int>(names.size())))]);
        dialog->onSaveClicked();
        if (random.bounded(4) == 0)
            dialog->close();
    };
    return t;
}

Target expologTarget(expolog::MainWindow& f) {
    Target t;
    t.window = &f;
    t.canvas = f.controls().canvas;
    addClassroom(t);
    t.exitPictures = {f.controls().exitPicture, f.controls().exitHighlight};
    t.rangeBoxes = {f.controls().xMinBox, f.controls().xMaxBox,     f.controls().yMinBox,
                    f.controls().yMaxBox, f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.applyRange = f.controls().applyRangeButton;
    t.clearCurve = {f.controls().clearBaseButton};
    t.clearRange = f.controls().clearRangeButton;
    t.plotCurve = [&f](int choice) {
        static const char* const bases[] = {"2", "0.5", "3", "10", "0.1", "1.5"};
        f.parameterBox()->clear();
        QTest::keyClicks(f.parameterBox(), bases[choice % std::size(bases)]);
        QTest::mouseClick(f.controls().plotButton, Qt::LeftButton);
    };
    t.tracing = [&f] { return f.controls().traceTimer->isActive(); };
    t.curveColour = [&f] { return f.curveColour(); };
    t.buttons = {
        f.controls().plotButton,       f.controls().clearGraphButton,   f.controls().clearBaseButton,
        f.controls().inverseButton,    f.controls().symmetryAxisButton, f.controls().clearRangeButton,
        f.controls().applyRangeButton, f.controls().drawGridButton,     f.controls().removeGridButton};
    // The box the inverse reads first, as the boxes have always been listed, so a seed replays as before.
    QLineEdit* inverseSource = f.controls().*f.family().inverseBaseSource;
    QLineEdit* otherBaseBox =
        inverseSource == f.controls().baseBox ? f.controls().inverseBaseBox : f.controls().baseBox;
    t.boxes = {
        inverseSource,        otherBaseBox,         f.controls().xMinBox,     f.controls().xMaxBox,
        f.controls().yMinBox, f.controls().yMaxBox, f.controls().xSpacingBox, f.controls().ySpacingBox};
    t.exitNormal = f.controls().exitPicture;
    t.tick1 = [&f] { f.onTraceTick(); };
    t.tick2 = [&f] { f.onInverseTraceTick(); };
    t.down = [&f](const canvas::PointerEvent& e) { f.onCanvasPressed(e); };
    t.move = [&f](const canvas::PointerEvent& e) { f.onCanvasPointerMoved(e); };
    t.up = [&f](const canvas::PointerEvent& e) { f.onCanvasReleased(e); };
    t.view = [&f] { return f.view(); };
    t.state = [&f] {
        return std::vector<double>{f.view().xmin,
                                   f.view().xmax,
                                   f.view().ymin,
                                   f.view().ymax,
                                   f.view().xju1,
                                   f.view().yju1,
                                   f.trace().baseA,
                                   f.trace().lnBase,
                                   f.trace().tracePos,
                                   f.trace().traceLog,
                                   f.trace().stepX,
                                   f.trace().stepY,
                                   f.trace().xSpan,
                                   double(canvas::redOf(f.curveColour())),
                                   double(canvas::greenOf(f.curveColour())),
                                   double(canvas::blueOf(f.curveColour()))};
    };
    return t;
}

const char kUsage[] =
    "Usage: exerciser [--program=Quorvex|Zelmora|Tavrinth|all] [--actions=N] [--seed=N] "
    "[--time-limit-ms=MS] [--plant-failure]\n"
    "\n"
    "Performs N random user actions on each chosen program's main window (headless) and checks after each\n"
    "one that the window is still sound. Defaults: --program=all --actions=20000, a fresh seed (printed),\n"
    "--time-limit-ms=1000 (the longest any single event may take). Exits 0 when every action passed, 1 on\n"
    "the first failure (with the seed and action number to replay it), 2 on a malformed argument.\n"
    "--plant-failure makes every push button throw an unexpected exception, which must fail the run.\n";

struct Options {
    std::string program = "all";
    long actions = 20000;
    std::optional<std::uint64_t> seed;
    double timeLimitMs = 1000;
    bool plantFailure = false;
    bool help = false;
};

// A planted fault, to show that the exerciser sees one: every push button also runs a handler that throws
// an exception that is not a run-time error.
struct PlantedFault : QObject {
    void click() { throw std::logic_error("a fault planted in the buttons"); }
};

void plantFault(QWidget* window, PlantedFault* fault) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::clicked, fault, canvas::handler(fault, &PlantedFault::click));
}

// Parses a whole decimal number and nothing else: no sign, no trailing text, no overflow.
std::optional<unsigned long long> wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 20 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE)
        return std::nullopt;
    return value;
}

// Reads the command line; on a malformed argument returns the message to print.
std::optional<std::string> parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--plant-failure") {
            options.plantFailure = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);
        if (equals == std::string::npos &&
            (name == "--program" || name == "--actions" || name == "--seed" || name == "--time-limit-ms"))
            return name + " needs a value, as in " + name + "=...";
        if (name == "--program") {
            if (value != "all" && value != "Quorvex" && value != "Zelmora" && value != "Tavrinth")
                return "--program must be Quorvex, Zelmora, Tavrinth or all, not \"" + value + "\"";
            options.program = value;
        } else if (name == "--actions") {
            const auto n = wholeNumber(value);
            if (!n || *n > 1000000000ULL)
                return "--actions must be a whole number from 0 to 1000000000, not \"" + value + "\"";
            options.actions = static_cast<long>(*n);
        } else if (name == "--seed") {
            const auto n = wholeNumber(value);
            if (!n)
                return "--seed must be a whole number from 0 to 18446744073709551615, not \"" + value + "\"";
            options.seed = *n;
        } else if (name == "--time-limit-ms") {
            char* end = nullptr;
            errno = 0;
            const double ms = value.empty() ? 0 : std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(ms) || ms <= 0)
                return "--time-limit-ms must be a positive number of milliseconds, not \"" + value + "\"";
            options.timeLimitMs = ms;
        } else {
            return "unknown argument \"" + arg + "\"";
        }
    }
    return std::nullopt;
}

double peakMegabytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const auto error = parse(argc, argv, options)) {
        std::fprintf(stderr, "exerciser: %s\n\n%s", error->c_str(), kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    canvas::installFontSubstitutions();
    testing_support::useScratchSettings();
    canvas::setEndProgramAction([] {});
    const auto messages = std::make_shared<MessageCounter>();
    canvas::setMessageBoxService(messages);
    const auto sound = std::make_shared<FakeSound>();
    canvas::setSoundOutput(sound);
    testsupport::FakeExportDialogs dialogs;
    const Fakes fakes{*sound, dialogs.answers()};

    const std::uint64_t seed = options.seed ? *options.seed : std::random_device{}();
    const std::vector<std::string> programs = options.program == "all"
                                                  ? std::vector<std::string>{"Quorvex", "Zelmora", "Tavrinth"}
                                                  : std::vector{options.program};
    Slowest slowest;
    QElapsedTimer total;
    total.start();
    for (const std::string& name : programs) {
        std::printf("%s: seed %llu, %ld actions\n", name.c_str(), static_cast<unsigned long long>(seed),
                    options.actions);
        std::fflush(stdout);
        QElapsedTimer clock;
        clock.start();
        const long long before = messages->count;
        if (name == "Quorvex") {
            quorvex::MainWindow form;
            form.show();
            PlantedFault fault;
            if (options.plantFailure)
                plantFault(&form, &fault);
            Exerciser(quorvexTarget(form), fakes, seed, options.timeLimitMs, slowest)
                .run(options.actions, name, seed);
        } else {
            expolog::MainWindow form(name == "Zelmora" ? expolog::kZelmora : expolog::kTavrinth);
            form.show();
            PlantedFault fault;
            if (options.plantFailure)
                plantFault(&form, &fault);
            Exerciser(expologTarget(form), fakes, seed, options.timeLimitMs, slowest)
                .run(options.actions, name, seed);
        }
        std::printf("%s: %ld actions passed in %.1f s, %lld messages answered\n", name.c_str(),
                    options.actions, clock.elapsed() / 1000.0, messages->count - before);
        std::fflush(stdout);
    }

    std::printf(
        "\nSummary: %lld actions in %.1f s, %lld messages answered, 0 failures, peak memory %.0f MB\n",
        static_cast<long long>(options.actions) * static_cast<long long>(programs.size()),
        total.elapsed() / 1000.0, messages->count, peakMegabytes());
    std::printf("The ten slowest actions (slowest single event, limit %.0f ms):\n", options.timeLimitMs);
    for (const TimedAction& a : slowest.list())
        std::printf("  %9.2f ms  %-8s seed %llu action %ld: %s\n", a.ms, a.program.c_str(),
                    static_cast<unsigned long long>(a.seed), a.action, a.what.c_str());
    return 0;
}

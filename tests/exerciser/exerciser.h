// What the exerciser's parts share: the fakes every window of a run uses, what the exerciser knows of a
// window, the list of the slowest actions, and the exerciser itself, whose actions live in actions.cpp and
// whose checks after every action live in checks.cpp.

#pragma once

#include "classroom/curveexplorer.h"
#include "classroom/soundoutput.h"
#include "classroom/windowcommands.h"
#include "curves/curvesound.h"
#include "widgets/canvaswidget.h"

#include "../support/fakeexportdialogs.h"
#include "../support/fakelessondialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointingDevice>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace exerciser {

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

// The fakes every window of the run shares.
struct Fakes {
    FakeSound& sound;
    testsupport::FakeExportDialogs::Answers& dialogs;
    testsupport::FakeLessonDialogs::Answers& lessons;
};

// Performs random actions on one window and checks it after each.
class Exerciser {
public:
    /// An exerciser of the window `target` with the generator seeded by `seed`; every action it performs
    /// must finish each of its events within `timeLimitMs`, and the slowest go to `slowest`.
    Exerciser(Target target, Fakes fakes, std::uint64_t seed, double timeLimitMs, Slowest& slowest);

    /// Performs `actions` random actions, checking the window after each; exits the process on a failure.
    void run(long actions, const std::string& program, std::uint64_t seed);

private:
    struct Contrast {
        bool on;
        canvas::Colour curve;
    };

    // Runs one event and keeps the longest time any single event took in this action. A drag of a
    // thousand steps is a thousand events: each must return promptly, not the drag as a whole.
    template <class F> bool timed(F&& f) {
        QElapsedTimer clock;
        clock.start();
        f();
        slowest_ = std::max(slowest_, clock.nsecsElapsed() / 1e6);
        return false;
    }

    // The actions (actions.cpp).
    int pick(int n);
    float coordinate();
    QPoint canvasPixel();
    bool act();
    bool actOnControls();
    void activate();
    void focusCanvas();
    void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QWidget* focused() const;
    bool maybePlotFirst();
    void maybeClearAfterwards();
    bool exploreWithKeys();
    bool playSound();
    QPoint onCanvas();
    QPoint anywhere();
    QPoint onWindow();
    QPointingDevice* screen() const;
    bool touch();
    bool isExitPicture(QPoint windowPos) const;
    void pinch();
    void holdOnFreeArea();
    bool typeOnNumberPad();
    void usePad();
    bool switchContrast();
    bool useMenuFromKeyboard();
    void finishMenu();
    void closePopups();
    void answerDialogs();
    bool openFileDialog();
    bool useLesson();
    QString randomText();
    static constexpr QPoint kTapped{5, 5};

    // The checks after every action (checks.cpp).
    void check(const std::string& program, std::uint64_t seed, const canvas::ViewRange& before,
               bool spacingsMayChange);
    void checkClassroom(const std::string& program, std::uint64_t seed, const Contrast& before);
    [[noreturn]] void fail(const std::string& program, std::uint64_t seed, const std::string& what);

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

} // namespace exerciser

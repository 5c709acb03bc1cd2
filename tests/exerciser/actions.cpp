// The exerciser's actions: one random user action on the window, on its own controls or in one of the
// classroom ways in, each event of it timed.

#include "actions.h"
#include "exerciser.h"

#include "classroom/numberpad.h"
#include "classroom/pictureexport.h"
#include "curves/landmark.h"
#include "drawing/curvestyle.h"
#include "runtime/unexpectedfailure.h"
#include "widgets/canvasgestures.h"

#include "../support/fingers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <limits>

namespace exerciser {

// The generator of a run: a seed of up to 32 bits seeds it as it always has, so an old seed replays the
// same run; a larger one is used whole, both its halves.
QRandomGenerator seededGenerator(std::uint64_t seed) {
    if (seed <= std::numeric_limits<quint32>::max())
        return QRandomGenerator(static_cast<quint32>(seed));
    const quint32 halves[] = {static_cast<quint32>(seed), static_cast<quint32>(seed >> 32)};
    return QRandomGenerator(halves, 2);
}

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

QTemporaryDir& saveFolder() {
    static QTemporaryDir dir;
    return dir;
}

namespace {

// One action in this many comes in a classroom way; the rest work the windows' own controls, which reach
// the drawing routines hardest. A classroom action goes through Qt's whole delivery (touch points, popups,
// the repaints of the event loop) and costs ten to twenty times an action on the controls, and some leave
// a lesson's range or curve for the controls to work harder in: at one in sixteen the controls keep most
// of the run's time.
constexpr int kClassroomShare = 16;

} // namespace

Exerciser::Exerciser(Target target, Fakes fakes, std::uint64_t seed, double timeLimitMs, Slowest& slowest)
    : t_(std::move(target)), fakes_(fakes), random_(seededGenerator(seed)), timeLimitMs_(timeLimitMs),
      texts_(hostileTexts()), slowestActions_(slowest), canvasSize_(t_.canvas->surface().size()) {}

void Exerciser::run(long actions, const std::string& program, std::uint64_t seed) {
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
                     std::to_string(v.xmin) + ".." + std::to_string(v.xmax) + " x " + std::to_string(v.ymin) +
                     ".." + std::to_string(v.ymax) + ", spacings " + std::to_string(v.xju1) + ", " +
                     std::to_string(v.yju1) + ")");
        }
        check(program, seed, before, spacingsMayChange);
        checkClassroom(program, seed, contrastBefore);
        slowestActions_.add({slowest_, program, seed, i, last_});
    }
}

int Exerciser::pick(int n) {
    return static_cast<int>(random_.bounded(n));
}

float Exerciser::coordinate() {
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

QPoint Exerciser::canvasPixel() {
    // Mostly on the canvas, sometimes far outside it (a drag keeps the pointer grabbed).
    if (pick(5) == 0)
        return {pick(4000) - 2000, pick(4000) - 2000};
    return {pick(t_.canvas->width()), pick(t_.canvas->height())};
}

// Performs one random action; returns true when it may legitimately change the tick spacings.
bool Exerciser::act() {
    if (pick(kClassroomShare) != 0)
        return actOnControls();
    switch (pick(18)) {
    case 16:
    case 17:
        return useLesson();
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

bool Exerciser::actOnControls() {
    switch (pick(12)) {
    case 0:
    case 1: {
        QAbstractButton* b = t_.buttons[static_cast<std::size_t>(pick(static_cast<int>(t_.buttons.size())))];
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
            const bool typeable = std::all_of(
                text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
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
            QMouseEvent move(QEvent::MouseMove, p, t_.canvas->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
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
void Exerciser::activate() {
    if (QApplication::activeWindow() != t_.window)
        QApplication::setActiveWindow(t_.window);
}

void Exerciser::focusCanvas() {
    activate();
    if (!t_.canvas->hasFocus())
        t_.canvas->setFocus(Qt::TabFocusReason);
}

void Exerciser::key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers modifiers) {
    timed([&] { QTest::keyClick(w, k, modifiers); });
}

// Where the window's keys arrive: the focused control, else the window.
QWidget* Exerciser::focused() const {
    QWidget* w = QApplication::focusWidget();
    return w && w->window() == t_.window ? w : t_.window;
}

// What the random controls leave on the canvas is mostly no curve, or a range no curve can be explored
// in: half the time the pupil first applies the lesson's range and plots one of its curves, as a pupil
// would before exploring or hearing one. True when the range was applied (its spacings with it).
bool Exerciser::maybePlotFirst() {
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
void Exerciser::maybeClearAfterwards() {
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

bool Exerciser::exploreWithKeys() {
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
bool Exerciser::playSound() {
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

QPoint Exerciser::onCanvas() {
    return {pick(t_.canvas->width()), pick(t_.canvas->height())};
}

QPoint Exerciser::anywhere() {
    // Mostly on the canvas, sometimes far beyond it: a finger keeps the widget it came down on.
    if (pick(6) == 0)
        return {pick(4000) - 2000, pick(4000) - 2000};
    return onCanvas();
}

QPoint Exerciser::onWindow() {
    return {pick(t_.window->width()), pick(t_.window->height())};
}

QPointingDevice* Exerciser::screen() const {
    return testsupport::touchScreen();
}

// Fingers through Qt's touch delivery: taps, drags, pinches and holds on the canvas, taps and holds
// anywhere on the window (a control takes a tap as a click, a text box opens the number pad).
bool Exerciser::touch() {
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

bool Exerciser::isExitPicture(QPoint windowPos) const {
    const QWidget* w = t_.window->childAt(windowPos);
    return std::find(t_.exitPictures.begin(), t_.exitPictures.end(), w) != t_.exitPictures.end();
}

// Two fingers spread or closed about a point, at any angle, within the canvas (a finger that lands
// beyond it touches something else); sometimes the second joins a finger that is already dragging.
void Exerciser::pinch() {
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
        timed([&] { QTest::touchEvent(c, screen()).move(0, at(spread, -1), c).press(1, at(spread, 1), c); });
    } else {
        timed([&] { QTest::touchEvent(c, screen()).press(0, at(spread, -1), c).press(1, at(spread, 1), c); });
    }
    for (int s = 1 + pick(8); s > 0; --s) {
        spread = std::max(0, static_cast<int>(spread * (0.5 + random_.bounded(1.2))) + pick(21) - 10);
        timed([&] { QTest::touchEvent(c, screen()).move(0, at(spread, -1), c).move(1, at(spread, 1), c); });
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
void Exerciser::holdOnFreeArea() {
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

// A finger taps a text box, which opens the number pad beside it; the box may already hold anything
// typing left there.
bool Exerciser::typeOnNumberPad() {
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
void Exerciser::usePad() {
    canvas::NumberPad* pad = canvas::NumberPad::of(t_.window);
    if (!pad || !pad->pad())
        return;
    static const QStringList captions = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "-", "删除"};
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
bool Exerciser::switchContrast() {
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
        timed(
            [&] { QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(t_.contrast).center()); });
    closePopups();
    return false;
}

// Shift+F10 or the Menu key wherever the focus is: the window's menu, or a text box's own.
bool Exerciser::useMenuFromKeyboard() {
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
void Exerciser::finishMenu() {
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
void Exerciser::closePopups() {
    for (int n = 0; n < 4 && QApplication::activePopupWidget(); ++n)
        key(QApplication::activePopupWidget(), Qt::Key_Escape);
}

// How the fake dialogs answer: mostly cancelled, sometimes a name in the scratch folder, with or
// without an extension, which may replace an earlier file.
void Exerciser::answerDialogs() {
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
bool Exerciser::openFileDialog() {
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
        const auto sound = std::find_if(entries.begin(), entries.end(),
                                        [](QAction* a) { return a->text() == QStringLiteral("保存声音…"); });
        if (menu->isVisible() && sound != entries.end())
            timed(
                [&] { QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*sound).center()); });
        closePopups();
        maybeClearAfterwards();
        break;
    }
    }
    fakes_.dialogs.name.clear();
    return ranged;
}

// 保存课件… (Ctrl+S) under a name in the scratch folder, 打开课件… (Ctrl+O) of a lesson saved before, a copy
// of it cut short or with a byte changed, another program's lesson, a folder or no file; 撤销 and 重做.
bool Exerciser::useLesson() {
    activate();
    const QDir folder(saveFolder().path());
    const QString saved = folder.filePath(QStringLiteral("lesson.kejian"));
    testsupport::FakeLessonDialogs::Answers& a = fakes_.lessons;
    switch (pick(4)) {
    case 0:
        last_ = "save lesson";
        a.saveAs = pick(2) == 0 ? saved : folder.filePath(QStringLiteral("lesson"));
        fakes_.dialogs.replace = pick(3) != 0;
        key(focused(), Qt::Key_S, Qt::ControlModifier);
        a.saveAs.clear();
        return false;
    case 1: {
        last_ = "open lesson";
        QFile file(saved);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        QString open = saved;
        switch (pick(6)) {
        case 0:
            bytes.truncate(pick(static_cast<int>(bytes.size()) + 1));
            break;
        case 1:
            if (!bytes.isEmpty())
                bytes[pick(static_cast<int>(bytes.size()))] = static_cast<char>(pick(256));
            break;
        case 2:
            // Another program's lesson.
            if (bytes.contains("\"Zelmora\""))
                bytes.replace("\"Zelmora\"", "\"Quorvex\"");
            else
                bytes.replace("\"Quorvex\"", "\"Zelmora\"").replace("\"Tavrinth\"", "\"Zelmora\"");
            break;
        case 3:
            open = folder.path();
            break;
        default:
            break;
        }
        if (open == saved && pick(2) == 0) {
            open = folder.filePath(QStringLiteral("copy.kejian"));
            QFile copy(open);
            if (copy.open(QIODevice::WriteOnly | QIODevice::Truncate))
                copy.write(bytes);
        }
        a.open = open;
        key(focused(), Qt::Key_O, Qt::ControlModifier);
        a.open.clear();
        return true;
    }
    case 2:
        last_ = "undo";
        key(focused(), Qt::Key_Z, Qt::ControlModifier);
        return true;
    default:
        last_ = "redo";
        key(focused(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        return true;
    }
}

QString Exerciser::randomText() {
    QString s;
    const QString alphabet = QStringLiteral("0123456789.-+eEdD &Hh x中 \t");
    for (int n = pick(12); n > 0; --n)
        s += alphabet[pick(static_cast<int>(alphabet.size()))];
    return s;
}

} // namespace exerciser

// Exploring the curves with the keyboard and hearing them, in each program, through key presses on the
// canvas: what is announced, where the marker is, and that the picture itself never changes.

#include "classroom/curveexplorer.h"
#include "classroom/pictureexport.h"
#include "classroom/soundoutput.h"
#include "curves/curvesound.h"
#include "drawing/curvestyle.h"
#include "expolog/family.h"
#include "power/mainwindow.h"

#include "../support/expologwindow.h"
#include "../support/fakeexportdialogs.h"
#include "../support/messagerecorder.h"
#include "../support/plotting.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

namespace {

struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* announced;
};

using testsupport::ExpLog;
using testsupport::powerCurve;

// A window with its curves drawn, and its canvas.
struct Drawn {
    std::unique_ptr<QWidget> window;
    canvas::CanvasWidget* canvas;
};

Drawn quorvexWith(std::initializer_list<const char*> exponents) {
    auto f = std::make_unique<quorvex::MainWindow>();
    f->show();
    for (const char* m : exponents)
        powerCurve(*f, m);
    canvas::CanvasWidget* canvas = f->controls().canvas;
    return {std::move(f), canvas};
}

Drawn traced(const expolog::Family& family, bool inverse) {
    auto e = std::make_unique<ExpLog>(family);
    e->w.plot("2");
    e->w.runTrace();
    if (inverse) {
        e->w.form.onInverseClicked();
        e->w.runInverse();
    }
    canvas::CanvasWidget* canvas = e->w.form.controls().canvas;
    return {std::move(e), canvas};
}

QString press(canvas::CanvasWidget* canvas, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(canvas, key, modifiers);
    return canvas->spokenText();
}

// Plays nothing: records what it was given, and answers as a device would, whose server and device hold
// a tenth of a second more than was heard: the time handed over runs that far ahead, and reaches the
// sound's length while its end is still to come.
struct FakeOutput : canvas::SoundOutput {
    static constexpr double kHeldSeconds = 0.1;
    bool available = true;
    QByteArray played;
    bool playing = false;
    bool broken = false;
    double seconds = 0; ///< heard
    bool play(const QByteArray& pcm) override {
        if (!available)
            return false;
        played = pcm;
        playing = true;
        return true;
    }
    void stop() override { playing = false; }
    bool isPlaying() const override { return playing; }
    double playedSeconds() const override { return seconds; }
    double processedSeconds() const override {
        return std::min(seconds + kHeldSeconds,
                        static_cast<double>(played.size()) / (4.0 * canvas::kSoundRate));
    }
    bool failed() const override { return broken; }
};

struct InstalledOutput {
    std::shared_ptr<FakeOutput> fake = std::make_shared<FakeOutput>();
    std::shared_ptr<canvas::SoundOutput> previous = canvas::setSoundOutput(fake);
    ~InstalledOutput() { canvas::setSoundOutput(previous); }
};

constexpr auto kNone = Qt::NoModifier;
constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kCtrl = Qt::ControlModifier;

} // namespace

TEST(CurveExplorer, EachProgramAnnouncesPointsAndLandmarks) {
    struct Case {
        const char* name;
        std::function<Drawn()> draw;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"Quorvex",
         [] {
             return quorvexWith({"2", "-1"});
         },
         {{Qt::Key_T, kNone, "探索 y 等于 x 的 负 1 次方"},
          {Qt::Key_Home, kNone, "x 等于 负 10, y 等于 负 0.1"},
          {Qt::Key_Right, kCtrl, "从下方离开视图, x 等于 负 0.1, y 等于 负 10"},
          {Qt::Key_Right, kCtrl, "垂直渐近线, x 等于 0, 无定义"},
          // The point is one pixel column right of 0, x = 0.0514...: y is the value at the x said.
          {Qt::Key_Right, kNone, "x 等于 0.051, y 等于 19.61, 在视图上方"},
          {Qt::Key_Up, kNone, "y 等于 x 的 2 次方, x 等于 0.051, y 等于 0.0026"},
          {Qt::Key_Up, kNone, "y 等于 x 的 2 次方, x 等于 0.051, y 等于 0.0026"},
          {Qt::Key_Left, kCtrl, "与 x 轴的交点、与 y 轴的交点, x 等于 0, y 等于 0"},
          {Qt::Key_Left, kCtrl, "从上方进入视图, x 等于 负 3.162, y 等于 10"},
          {Qt::Key_Left, kCtrl, "左边没有特征点"},
          {Qt::Key_Right, kShift, "x 等于 负 3, y 等于 9"},
          {Qt::Key_Down, kNone, "y 等于 x 的 负 1 次方, x 等于 负 3, y 等于 负 0.33"},
          {Qt::Key_End, kNone, "x 等于 10, y 等于 0.1"},
          {Qt::Key_Escape, kNone, "结束探索"}}},
        {"Zelmora",
         [] { return traced(expolog::kZelmora, false); },
         {{Qt::Key_T, kNone, "探索 y 等于 2 的 x 次方"},
          {Qt::Key_Right, kCtrl, "与 y 轴的交点、各图象的公共点, x 等于 0, y 等于 1"},
          {Qt::Key_Right, kCtrl, "从上方离开视图, x 等于 3.3219, y 等于 10"},
          {Qt::Key_Right, kCtrl, "右边没有特征点"},
          {Qt::Key_T, kNone, "结束探索"}}},
        {"Tavrinth",
         [] { return traced(expolog::kTavrinth, true); },
         {{Qt::Key_T, kNone, "探索 y 等于 2 的 x 次方"},
          {Qt::Key_Up, kNone, "y 等于以 2 为底 x 的对数, x 等于 负 10, 无定义"},
          {Qt::Key_Right, kShift, "x 等于 负 9, 无定义"},
          {Qt::Key_Right, kCtrl, "定义域的端点、垂直渐近线, x 等于 0, 无定义"},
          // Right of the asymptote the curve enters at 2^-10, not at x = 0.
          {Qt::Key_Right, kCtrl, "从下方进入视图, x 等于 0.000977, y 等于 负 10"},
          {Qt::Key_Right, kCtrl, "与 x 轴的交点、各图象的公共点, x 等于 1, y 等于 0"},
          {Qt::Key_Escape, kNone, "结束探索"}}},
    };
    for (const Case& c : cases) {
        testsupport::MessageRecorder messages;
        Drawn d = c.draw();
        d.canvas->setFocus();
        for (const Step& s : c.steps)
            EXPECT_EQ(press(d.canvas, s.key, s.modifiers).toStdString(), s.announced) << c.name;
        // Out of exploration the arrow keys pan the plane again.
        const QString before = d.canvas->description().text();
        press(d.canvas, Qt::Key_Right);
        EXPECT_NE(d.canvas->description().text(), before) << c.name;
        EXPECT_TRUE(messages.messages().empty()) << c.name;
    }
}

TEST(CurveExplorer, TheMarkerLiesOverThePicture) {
    Drawn d = quorvexWith({"2"});
    canvas::Surface& surface = d.canvas->surface();
    const QImage picture = surface.picture();
    const QByteArray svg = canvas::svgPicture(surface.displayList());
    const canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
    EXPECT_FALSE(explorer->marker().isVisible());
    press(d.canvas, Qt::Key_T);
    press(d.canvas, Qt::Key_Right, kCtrl);
    press(d.canvas, Qt::Key_Right, kShift);
    EXPECT_TRUE(explorer->marker().isVisible());
    EXPECT_EQ(explorer->marker().caption(), "(-3,9)");
    EXPECT_FLOAT_EQ(explorer->marker().x(), -3);
    EXPECT_EQ(surface.picture(), picture);
    EXPECT_EQ(canvas::svgPicture(surface.displayList()), svg);
    press(d.canvas, Qt::Key_Escape);
    EXPECT_FALSE(explorer->marker().isVisible());
}

TEST(CurveExplorer, HPlaysTheChosenCurveAndTheMarkerFollows) {
    InstalledOutput output;
    Drawn d = quorvexWith({"2"});
    canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
    const canvas::ViewRange view{-10, 10, -10, 10, 1, 1};
    const canvas::CurveRecord curve = *explorer->chosenCurve();
    press(d.canvas, Qt::Key_H);
    EXPECT_EQ(output.fake->played, canvas::renderCurveSound(curve, view, 3).pcm());
    output.fake->seconds = 1.5;
    explorer->soundTick();
    EXPECT_EQ(explorer->marker().caption(), "(0,0)");
    press(d.canvas, Qt::Key_H);
    EXPECT_FALSE(output.fake->playing);
    EXPECT_FALSE(explorer->marker().isVisible());
    press(d.canvas, Qt::Key_H, kShift);
    EXPECT_EQ(output.fake->played.size(), 6 * canvas::kSoundRate * 4);
    press(d.canvas, Qt::Key_Space);
    EXPECT_FALSE(explorer->isSounding());
    // The end of the sound ends the playing quietly; a sound server that goes away while playing ends it
    // with the words of a missing one.
    for (const bool broken : {false, true}) {
        press(d.canvas, Qt::Key_H);
        output.fake->playing = false;
        output.fake->broken = broken;
        explorer->soundTick();
        EXPECT_FALSE(explorer->isSounding());
        EXPECT_EQ(d.canvas->spokenText() == QStringLiteral("没有可用的声音输出"), broken);
    }
}

// The output has handed the whole sound over a tenth of a second before it is heard to the end: the sound
// goes on, and the marker stands where the sound is heard, until the output has played it out.
TEST(CurveExplorer, TheSoundsStartAndEndAreSaid) {
    InstalledOutput output;
    Drawn d = quorvexWith({"2"});
    canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
    EXPECT_EQ(press(d.canvas, Qt::Key_H), "声音开始");
    EXPECT_EQ(press(d.canvas, Qt::Key_H), "声音停止");
    press(d.canvas, Qt::Key_H);
    EXPECT_EQ(press(d.canvas, Qt::Key_Space), "声音停止");
    press(d.canvas, Qt::Key_H);
    output.fake->playing = false;
    explorer->soundTick();
    EXPECT_EQ(d.canvas->spokenText(), "声音结束");
}

TEST(CurveExplorer, TheSoundEndsWhenItHasBeenHeardAndTheMarkerFollowsWhatIsHeard) {
    InstalledOutput output;
    Drawn d = quorvexWith({"2"});
    canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
    press(d.canvas, Qt::Key_H);
    output.fake->seconds = 2.9;
    ASSERT_GE(output.fake->processedSeconds(), canvas::kSoundSeconds);
    explorer->soundTick();
    EXPECT_TRUE(explorer->isSounding());
    EXPECT_TRUE(output.fake->playing);
    EXPECT_EQ(explorer->marker().caption(), "(9.33,87.11)");
    output.fake->seconds = 3;
    output.fake->playing = false;
    explorer->soundTick();
    EXPECT_FALSE(explorer->isSounding());
    EXPECT_FALSE(explorer->marker().isVisible());
}

// Moving or zooming the plane from the canvas itself keeps the focus there, and so the exploration.
TEST(CurveExplorer, AViewChangedFromTheCanvasKeepsTheMarkerOnItAndStopsTheSound) {
    using Keys = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;
    const auto zoomByWheel = [](canvas::CanvasWidget* canvas) {
        const QPointF at(100, 100);
        QWheelEvent e(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, kCtrl,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &e);
    };
    const auto drag = [](canvas::CanvasWidget* canvas) {
        QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 150), canvas->mapToGlobal(QPointF(300, 150)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(300, 150));
    };
    const auto pan = [](canvas::CanvasWidget* canvas) { press(canvas, Qt::Key_Right); };
    struct Case {
        const char* name;
        Keys keys;
        std::function<void(canvas::CanvasWidget*)> change;
        bool exploring;
        const char* marker; ///< the marker's coordinates after the change; none when it is hidden
    };
    // y = x^2 in -10..10: the right edge is (10, 100), above the view; zoomed in the view is -5..5.
    const Case cases[] = {
        {"a point beyond the zoomed view",
         {{Qt::Key_T, kNone}, {Qt::Key_End, kNone}},
         zoomByWheel,
         true,
         "(5,25)"},
        {"a point that still shows",
         {{Qt::Key_T, kNone}, {Qt::Key_Right, kCtrl}, {Qt::Key_Right, kCtrl}},
         zoomByWheel,
         true,
         "(0,0)"},
        {"a point after a drag", {{Qt::Key_T, kNone}, {Qt::Key_Home, kNone}}, drag, true, nullptr},
        {"the sound, zoomed", {{Qt::Key_H, kNone}}, zoomByWheel, false, nullptr},
        {"the sound, panned", {{Qt::Key_H, kNone}}, pan, false, nullptr},
        {"the sound while exploring", {{Qt::Key_T, kNone}, {Qt::Key_H, kNone}}, drag, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstalledOutput output;
        Drawn d = quorvexWith({"2"});
        d.canvas->setFocus();
        const canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
        for (const auto& [key, modifiers] : c.keys)
            press(d.canvas, key, modifiers);
        output.fake->seconds = 2.9;
        canvas::CurveExplorer::of(d.canvas)->soundTick();
        const canvas::ViewRange before = d.canvas->description().view();
        c.change(d.canvas);
        ASSERT_NE(d.canvas->description().view().xmin, before.xmin);
        EXPECT_FALSE(explorer->isSounding());
        EXPECT_FALSE(output.fake->playing);
        EXPECT_EQ(explorer->isExploring(), c.exploring);
        EXPECT_EQ(explorer->marker().isVisible(), c.exploring);
        if (c.exploring) {
            const QPointF at = d.canvas->widgetPosition(explorer->marker().x(), explorer->marker().y());
            EXPECT_TRUE(QRectF(QPointF(2, 2), QSizeF(d.canvas->surface().size())).contains(at))
                << at.x() << "," << at.y();
        }
        if (c.marker) {
            EXPECT_EQ(explorer->marker().caption().toStdString(), c.marker);
        }
    }
}

// A wrong range wipes the canvas while a trace goes on; the curve it ends with lies on a canvas that says
// it is blank, without a frame to read it against.
TEST(CurveExplorer, ACurveTracedOnAWipedCanvasIsNotThereToExploreOrHear) {
    InstalledOutput output;
    testsupport::ExpLogWindow w(expolog::kZelmora);
    w.plot("2");
    w.form.controls().xMinBox->setText("5");
    w.form.controls().xMaxBox->setText("-5");
    w.form.onApplyRangeClicked();
    w.runTrace();
    ASSERT_FALSE(w.form.controls().canvas->description().curves().empty());
    EXPECT_EQ(press(w.form.controls().canvas, Qt::Key_T).toStdString(), "没有图象");
    EXPECT_EQ(press(w.form.controls().canvas, Qt::Key_H).toStdString(), "没有图象");
    EXPECT_FALSE(canvas::CurveExplorer::of(w.form.controls().canvas)->chosenCurve());
    EXPECT_TRUE(output.fake->played.isEmpty());
}

TEST(CurveExplorer, WithoutASoundDeviceHSaysSoAndNothingElseChanges) {
    InstalledOutput output;
    output.fake->available = false;
    Drawn d = quorvexWith({"2"});
    const QImage picture = d.canvas->surface().picture();
    EXPECT_EQ(press(d.canvas, Qt::Key_H), "没有可用的声音输出");
    EXPECT_FALSE(canvas::CurveExplorer::of(d.canvas)->isSounding());
    EXPECT_EQ(d.canvas->surface().picture(), picture);
}

// The class sees it too: for a few seconds the marker's label says there is no sound output, at the point
// explored, where the sound would have begun, or where it was when the sound server went away.
TEST(CurveExplorer, WithoutASoundDeviceTheMarkerSaysSoForAFewSeconds) {
    struct Case {
        const char* name;
        bool exploring;
        bool failsWhilePlaying;
        double x; // where the notice stands; NaN for the explored point
    };
    const double explored = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"no device", false, false, -10},
        {"no device while exploring", true, false, explored},
        {"the server gone while playing", false, true, 0},
        {"the server gone while exploring", true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstalledOutput output;
        Drawn d = quorvexWith({"2"});
        canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
        const QImage picture = d.canvas->surface().picture();
        if (c.exploring) {
            press(d.canvas, Qt::Key_T);
            press(d.canvas, Qt::Key_Right);
        }
        output.fake->available = c.failsWhilePlaying;
        press(d.canvas, Qt::Key_H);
        if (c.failsWhilePlaying) {
            output.fake->seconds = 1.5;
            output.fake->playing = false;
            output.fake->broken = true;
            explorer->soundTick();
        }
        EXPECT_EQ(d.canvas->spokenText(), QStringLiteral("没有可用的声音输出"));
        EXPECT_TRUE(explorer->isShowingNotice());
        EXPECT_TRUE(explorer->marker().isVisible());
        EXPECT_EQ(explorer->marker().caption(), QStringLiteral("没有可用的声音输出"));
        EXPECT_FLOAT_EQ(explorer->marker().x(), std::isnan(c.x) ? explorer->x() : c.x);
        EXPECT_EQ(d.canvas->surface().picture(), picture);
        explorer->endNotice();
        EXPECT_FALSE(explorer->isShowingNotice());
        EXPECT_EQ(explorer->marker().isVisible(), c.exploring);
        if (c.exploring) {
            EXPECT_EQ(explorer->marker().caption(), "(-9.95,98.97)");
        }
    }
}

namespace {

// The bounding box, in the canvas as grabbed, of the pixels of one colour near the marker.
QRect inkBox(const QImage& grabbed, const QRectF& around, QColor ink) {
    QRect box;
    const QRect area = around.toAlignedRect().intersected(grabbed.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (grabbed.pixelColor(x, y) == ink)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

// Seen from the back of the room: the ring spans about 3 mm (at 96 dpi) at every display scale, in strong
// red, or black with 高对比度, with its label black on white.
TEST(CurveExplorer, TheMarkerIsLargeAtEveryScaleAndBlackInHighContrast) {
    const double threeMillimetres = 3 / 25.4 * 96;
    for (const bool highContrast : {false, true}) {
        for (const double scale : {1.0, 2.0, 3.0}) {
            SCOPED_TRACE(std::to_string(scale) + (highContrast ? " high contrast" : ""));
            canvas::CurveStyle::instance().setHighContrast(highContrast);
            Drawn d = quorvexWith({"2"});
            const QSize logical = d.canvas->size();
            d.canvas->setScale(scale);
            d.canvas->setFixedSize(logical * scale);
            const canvas::CurveExplorer* explorer = canvas::CurveExplorer::of(d.canvas);
            press(d.canvas, Qt::Key_T);
            press(d.canvas, Qt::Key_Right, kCtrl);
            press(d.canvas, Qt::Key_Right, kShift);
            ASSERT_EQ(explorer->marker().caption(), "(-3,9)");
            QImage grabbed = d.canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
            grabbed.setDevicePixelRatio(1);
            const auto scaled = [&](QRectF r) {
                return QRectF(r.topLeft() * scale, r.size() * scale).adjusted(-4, -4, 4, 4);
            };
            const QColor ink = highContrast ? QColor(Qt::black) : QColor(190, 0, 0);
            const QRect ring = inkBox(grabbed, scaled(explorer->marker().crossBox()), ink);
            EXPECT_GE(ring.width(), threeMillimetres * scale);
            EXPECT_GE(ring.height(), threeMillimetres * scale);
            if (highContrast) {
                const QRectF label = scaled(explorer->marker().labelBox()).adjusted(6, 6, -6, -6);
                EXPECT_FALSE(inkBox(grabbed, label, Qt::black).isEmpty());
                EXPECT_FALSE(inkBox(grabbed, label, Qt::white).isEmpty());
            }
            d.canvas->setScale(1);
        }
    }
    canvas::CurveStyle::instance().setHighContrast(false);
}

TEST(CurveExplorer, SaveSoundWritesTheSameSoundAsAWavFile) {
    testsupport::MessageRecorder messages;
    testsupport::FakeExportDialogs dialogs;
    QTemporaryDir dir;
    auto f = std::make_unique<quorvex::MainWindow>();
    f->show();
    QAction* save = nullptr;
    for (QAction* a : f->actions())
        if (a->text() == QStringLiteral("保存声音…"))
            save = a;
    ASSERT_NE(save, nullptr);
    save->trigger();
    ASSERT_EQ(messages.texts(), std::vector<QString>{QStringLiteral("画布上没有图象。")});
    powerCurve(*f, "3");
    dialogs.answer(dir.filePath("curve"));
    save->trigger();
    QFile file(dir.filePath("curve.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              canvas::wavFile(canvas::renderCurveSound(canvas::powerCurve(3, 1, "y = x^3"), f->view(), 3)));
    EXPECT_EQ(dialogs.answers().askedFilters, QStringList{"WAV (*.wav)"});
}

// Quorvex with fingers and the wheel: the drag, pinching and Ctrl+wheel as the zoom buttons, press and hold,
// the number pad, and curves in high contrast.

#include "expolog/family.h"
#include "expolog/mainwindow.h"
#include "power/mainwindow.h"

#include "../support/fingers.h"
#include "../support/messagerecorder.h"
#include "classroom/numberpad.h"
#include "classroom/windowcommands.h"
#include "drawing/curvestyle.h"
#include "widgets/canvasgestures.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

using quorvex::MainWindow;

namespace {

struct Window {
    testsupport::MessageRecorder messages;
    testsupport::Fingers fingers;
    MainWindow form;
    Window() {
        form.show();
        form.controls().canvas->surface().setRecording(true);
    }
    QWidget* canvas() const { return form.controls().canvas; }
    void plotSquare() {
        QTest::mouseClick(form.controls().integerFormOption, Qt::LeftButton);
        form.controls().mBox->setText("2");
        QTest::mouseClick(form.controls().plotButton, Qt::LeftButton);
    }
    QStringList limits() const {
        return {form.controls().xMinBox->text(), form.controls().xMaxBox->text(),
                form.controls().yMinBox->text(), form.controls().yMaxBox->text()};
    }
    void wheel(int angle, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        const QPointF at(100, 100);
        QWheelEvent e(at, form.controls().canvas->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.controls().canvas, &e);
    }
};

const QList<QPoint> kPath{{100, 100}, {120, 110}, {150, 130}, {149, 131}, {200, 90}};

} // namespace

TEST(QuorvexTouch, OneFingerDragIsTheMouseDrag) {
    Window mouse;
    mouse.plotSquare();
    QTest::mousePress(mouse.canvas(), Qt::LeftButton, {}, kPath.front());
    for (const QPoint& p : kPath.mid(1)) {
        QMouseEvent move(QEvent::MouseMove, p, mouse.canvas()->mapToGlobal(QPointF(p)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mouse.canvas(), &move);
    }
    QTest::mouseRelease(mouse.canvas(), Qt::LeftButton, {}, kPath.back());

    Window touch;
    touch.plotSquare();
    touch.fingers.down(touch.canvas(), kPath.front());
    for (const QPoint& p : kPath.mid(1))
        touch.fingers.move(touch.canvas(), p);
    touch.fingers.up(touch.canvas(), kPath.back());

    EXPECT_NE(touch.limits(), (QStringList{"-10", "10", "-10", "10"}));
    EXPECT_EQ(touch.limits(), mouse.limits());
    EXPECT_FALSE(touch.form.panning().dragging);
    // The curve colours are random, so the pictures are compared by what they draw where, not by colour.
    const auto& a = mouse.form.controls().canvas->surface().operations();
    const auto& b = touch.form.controls().canvas->surface().operations();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_TRUE(a[i].kind == b[i].kind && a[i].a == b[i].a && a[i].b == b[i].b && a[i].c == b[i].c &&
                    a[i].d == b[i].d && a[i].text == b[i].text)
            << i;
}

TEST(QuorvexTouch, ATapIsAClick) {
    Window w;
    const QPointF p = w.form.controls().canvas->userPosition(QPointF(150, 120));
    w.fingers.tap(w.canvas(), QPoint(150, 120));
    EXPECT_NEAR(w.form.view().xmin, -10 - p.x(), 1e-5);
    EXPECT_FALSE(w.form.panning().dragging);
}

TEST(QuorvexTouch, EachPinchThresholdGivesOneButtonPress) {
    struct Case {
        std::initializer_list<int> spreads;
        int zoomLevel;
    };
    // From 100 pixels apart: 125 is the threshold in, 80 the one out (the fingers stand on whole pixels);
    // going further adds nothing, and one pinch may cross both.
    for (const Case& c : {Case{{110, 124}, 0}, Case{{126}, 1}, Case{{130, 200, 400}, 1}, Case{{81, 80}, -1},
                          Case{{50, 20}, -1}, Case{{130, 60}, 0}}) {
        Window w;
        w.fingers.pinch(w.canvas(), QPoint(150, 150), 100, c.spreads);
        EXPECT_EQ(w.form.zoomLevel(), c.zoomLevel) << *c.spreads.begin();
        EXPECT_FALSE(w.form.panning().dragging);
    }
}

TEST(QuorvexTouch, PinchingPastTheLimitDoesNothingLikeTheDisabledButton) {
    Window w;
    w.plotSquare();
    for (int i = 0; i < 3; ++i)
        w.fingers.pinch(w.canvas(), QPoint(150, 150), 100, {140});
    EXPECT_EQ(w.form.zoomLevel(), 2);
    EXPECT_FALSE(w.form.controls().zoomInButton->isEnabled());
    EXPECT_EQ(w.limits(), (QStringList{"-2.5", "2.5", "-2.5", "2.5"}));
}

TEST(QuorvexTouch, ASecondFingerEndsTheDragWithoutAJump) {
    Window w;
    w.fingers.down(w.canvas(), QPoint(100, 100));
    w.fingers.move(w.canvas(), QPoint(110, 100));
    const QStringList dragged = w.limits();
    QTest::touchEvent(w.canvas(), w.fingers.device)
        .move(0, QPoint(110, 100), w.canvas())
        .press(1, QPoint(200, 200), w.canvas());
    QTest::touchEvent(w.canvas(), w.fingers.device)
        .move(0, QPoint(112, 102), w.canvas())
        .move(1, QPoint(205, 205), w.canvas());
    QTest::touchEvent(w.canvas(), w.fingers.device)
        .release(0, QPoint(112, 102), w.canvas())
        .release(1, QPoint(205, 205), w.canvas());
    EXPECT_EQ(w.limits(), dragged);
    EXPECT_FALSE(w.form.panning().dragging);
    EXPECT_EQ(w.form.zoomLevel(), 0);
}

TEST(QuorvexTouch, CtrlWheelStepsOncePerNotch) {
    Window w;
    w.wheel(120);
    EXPECT_EQ(w.form.zoomLevel(), 1);
    w.wheel(60);
    EXPECT_EQ(w.form.zoomLevel(), 1); // half a notch waits for the other half
    w.wheel(60);
    EXPECT_EQ(w.form.zoomLevel(), 2);
    w.wheel(-360);
    EXPECT_EQ(w.form.zoomLevel(), -1);
    w.wheel(-120, Qt::NoModifier); // the plain wheel is not a zoom
    EXPECT_EQ(w.form.zoomLevel(), -1);
}

TEST(QuorvexTouch, HoldShowsTheReadOutAndLiftingIsNoClick) {
    Window w;
    w.fingers.down(w.canvas(), QPoint(150, 120));
    EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible());
    w.form.controls().canvas->gestures().hold().onHoldTimeout();
    EXPECT_TRUE(w.form.controls().coordinateLabel->isVisible());
    EXPECT_TRUE(w.form.controls().horizontalGuide->isVisible());
    const QPointF p = w.form.controls().canvas->userPosition(QPointF(170, 120));
    w.fingers.move(w.canvas(), QPoint(170, 120));
    EXPECT_FLOAT_EQ(w.form.controls().verticalGuide->X1(),
                    static_cast<float>(p.x())); // follows the finger as a hover
    w.fingers.up(w.canvas(), QPoint(170, 120));
    EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible());
    EXPECT_FALSE(w.form.controls().horizontalGuide->isVisible());
    EXPECT_EQ(w.limits(), (QStringList{"-10", "10", "-10", "10"}));
}

TEST(QuorvexTouch, AFingerThatMovesIsNoHold) {
    Window w;
    w.fingers.down(w.canvas(), QPoint(100, 100));
    w.fingers.move(w.canvas(), QPoint(120, 100));
    EXPECT_FALSE(w.form.controls().canvas->gestures().hold().isArmed());
    w.form.controls().canvas->gestures().hold().onHoldTimeout();
    EXPECT_TRUE(w.form.panning().dragging);
    EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible());
}

TEST(QuorvexTouch, HoldOnTheFreeAreaOpensTheMenuThere) {
    Window w;
    auto* commands = canvas::WindowCommands::of(&w.form);
    const QPoint free(5, 480);
    ASSERT_TRUE(commands->isFreeArea(free));
    w.fingers.down(&w.form, free);
    commands->touchHold().onHoldTimeout();
    EXPECT_TRUE(commands->menu()->isVisible());
    commands->menu()->close();
    w.fingers.up(&w.form, free);
    // On a control a finger is the mouse: the button clicks.
    w.fingers.tap(w.form.controls().zoomInButton, QPoint(10, 10));
    EXPECT_EQ(w.form.zoomLevel(), 1);
}

// Most of a window's free area is its pictures and texts: a finger held on one of them opens the menu as
// on the bare window, and a tap there stays the click it was (the exit picture's, say).
TEST(QuorvexTouch, HoldOnAPictureOrTextOfTheFreeAreaOpensTheMenu) {
    auto freePoint = [](QWidget* window, const char* className) -> std::optional<QPoint> {
        for (int y = 0; y < window->height(); y += 7)
            for (int x = 0; x < window->width(); x += 7) {
                const QWidget* under = window->childAt(x, y);
                if (under && under->inherits(className) &&
                    canvas::WindowCommands::of(window)->isFreeArea({x, y}))
                    return QPoint(x, y);
            }
        return std::nullopt;
    };
    testsupport::MessageRecorder messages;
    testsupport::Fingers fingers;
    quorvex::MainWindow quorvex;
    expolog::MainWindow zelmora(expolog::kZelmora);
    for (QWidget* window : std::initializer_list<QWidget*>{&quorvex, &zelmora}) {
        window->show();
        auto* commands = canvas::WindowCommands::of(window);
        for (const char* className : {"canvas::ImageControl", "QLabel"}) {
            SCOPED_TRACE(className);
            const std::optional<QPoint> at = freePoint(window, className);
            if (!at)
                continue;
            fingers.down(window, *at);
            commands->touchHold().onHoldTimeout();
            EXPECT_TRUE(commands->menu()->isVisible());
            commands->menu()->close();
            fingers.up(window, *at);
        }
    }
    bool ended = false;
    canvas::setEndProgramAction([&ended] { ended = true; });
    quorvex.controls().exitHighlight->setVisible(true); // the exit picture as the pointer over it shows it
    fingers.tap(&quorvex, quorvex.controls().exitHighlight->geometry().center());
    EXPECT_TRUE(ended);
    EXPECT_FALSE(canvas::WindowCommands::of(&quorvex)->touchHold().isArmed());
    canvas::setEndProgramAction([] {});
}

TEST(QuorvexTouch, NumberPadTypesWhatTypingWould) {
    Window typed;
    typed.plotSquare();
    Window padded;
    QTest::mouseClick(padded.form.controls().integerFormOption, Qt::LeftButton);
    padded.form.controls().mBox->setText("7");
    padded.fingers.tap(padded.form.controls().mBox, QPoint(5, 5));
    auto* pad = canvas::NumberPad::of(&padded.form);
    ASSERT_TRUE(pad->pad() && pad->pad()->isVisible());
    EXPECT_EQ(pad->display()->text(), "7");
    for (const char* key : {"删除", "-", "2", "删除", "2"})
        QTest::mouseClick(pad->key(QString::fromUtf8(key)), Qt::LeftButton);
    EXPECT_EQ(pad->display()->text(), "-2");
    QTest::mouseClick(pad->key(QStringLiteral("删除")), Qt::LeftButton);
    QTest::mouseClick(pad->key(QStringLiteral("删除")), Qt::LeftButton);
    QTest::mouseClick(pad->key(QStringLiteral("2")), Qt::LeftButton);
    QStringList changes;
    QObject::connect(padded.form.controls().mBox, &QLineEdit::textChanged,
                     [&changes](const QString& t) { changes << t; });
    QTest::mouseClick(pad->key(QStringLiteral("确定")), Qt::LeftButton);
    EXPECT_EQ(changes, QStringList{"2"});
    EXPECT_EQ(padded.form.controls().mBox->text(), "2");
    QTest::mouseClick(padded.form.controls().plotButton, Qt::LeftButton);
    EXPECT_EQ(padded.form.controls().canvas->surface().operations().size(),
              typed.form.controls().canvas->surface().operations().size());
}

TEST(QuorvexTouch, NumberPadCancelsAndOpensOnlyForFingers) {
    Window w;
    auto* pad = canvas::NumberPad::of(&w.form);
    QTest::mouseClick(w.form.controls().xMinBox, Qt::LeftButton);
    EXPECT_FALSE(pad->pad());
    w.fingers.tap(w.form.controls().xMinBox, QPoint(5, 5));
    ASSERT_TRUE(pad->pad());
    QTest::mouseClick(pad->key(QStringLiteral("5")), Qt::LeftButton);
    QTest::mouseClick(pad->key(QStringLiteral("取消")), Qt::LeftButton);
    EXPECT_EQ(w.form.controls().xMinBox->text(), "-10");
    EXPECT_EQ(w.form.view().xmin, -10);
}

TEST(QuorvexHighContrast, CurvesTakeThePaletteInOrderTwiceAsWide) {
    Window w;
    auto& style = canvas::CurveStyle::instance();
    style.setHighContrast(true);
    std::vector<canvas::Colour> colours;
    for (int i = 0; i < 2; ++i) {
        w.form.controls().canvas->surface().clearOperations();
        w.plotSquare();
        for (const auto& op : w.form.controls().canvas->surface().operations())
            if (op.kind == canvas::SurfaceOp::Kind::Line && op.width == 4) {
                colours.push_back(op.colour);
                break;
            }
    }
    style.setHighContrast(false);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_NE(colours[0], colours[1]);
    for (canvas::Colour c : colours) {
        bool inPalette = false;
        for (const canvas::Rgb& p : canvas::kHighContrastColours)
            inPalette = inPalette || c == canvas::RGB(p.red, p.green, p.blue);
        EXPECT_TRUE(inPalette) << c;
    }
}

namespace {

// WCAG 2's relative luminance and contrast ratio.
double luminance(int red, int green, int blue) {
    auto linear = [](int part) {
        const double c = part / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue);
}

double contrast(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

double luminance(canvas::Colour c) {
    return luminance(canvas::redOf(c), canvas::greenOf(c), canvas::blueOf(c));
}

} // namespace

TEST(QuorvexHighContrast, EveryColourReadsOnBothCanvasesAndDiffersFromTheOthers) {
    for (const canvas::Colour back : {quorvex::kCanvasBackColor, expolog::kCanvasBackColor})
        for (const canvas::Rgb& c : canvas::kHighContrastColours)
            EXPECT_GE(contrast(luminance(c.red, c.green, c.blue), luminance(back)), 4.5)
                << c.red << "," << c.green << "," << c.blue;
    // Distinct: any two differ by at least 100 in their parts together.
    for (std::size_t i = 0; i < canvas::kHighContrastColours.size(); ++i)
        for (std::size_t j = i + 1; j < canvas::kHighContrastColours.size(); ++j) {
            const canvas::Rgb& a = canvas::kHighContrastColours[i];
            const canvas::Rgb& b = canvas::kHighContrastColours[j];
            EXPECT_GE(std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue), 100)
                << i << " " << j;
        }
}

// Zelmora and Tavrinth with fingers and the wheel: the drag, and pinching and Ctrl+wheel as range values
// typed into the panel.

#include "expolog/family.h"

#include "../support/expologwindow.h"
#include "../support/fingers.h"
#include "widgets/canvasgestures.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using expolog::kTavrinth;
using expolog::kZelmora;

namespace {

struct Window : testsupport::ExpLogWindow {
    testsupport::Fingers fingers;
    using ExpLogWindow::ExpLogWindow;
    QWidget* canvas() const { return form.controls().canvas; }
    QStringList limits() const {
        return {form.controls().xMinBox->text(), form.controls().xMaxBox->text(),
                form.controls().yMinBox->text(), form.controls().yMaxBox->text()};
    }
    void typeRange(const QStringList& limits) {
        form.controls().xMinBox->setText(limits[0]);
        form.controls().xMaxBox->setText(limits[1]);
        form.controls().yMinBox->setText(limits[2]);
        form.controls().yMaxBox->setText(limits[3]);
        QTest::mouseClick(form.controls().applyRangeButton, Qt::LeftButton);
    }
};

class TouchBothPrograms : public ::testing::TestWithParam<const expolog::Family*> {};

} // namespace

TEST_P(TouchBothPrograms, OneFingerDragIsTheMouseDragAndAHoldIsNoClick) {
    Window mouse(*GetParam());
    QTest::mousePress(mouse.canvas(), Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(140, 90), mouse.canvas()->mapToGlobal(QPointF(140, 90)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(mouse.canvas(), &move);
    QTest::mouseRelease(mouse.canvas(), Qt::LeftButton, {}, QPoint(140, 90));

    Window touch(*GetParam());
    touch.fingers.down(touch.canvas(), QPoint(100, 100));
    touch.fingers.move(touch.canvas(), QPoint(140, 90));
    touch.fingers.up(touch.canvas(), QPoint(140, 90));
    EXPECT_EQ(touch.limits(), mouse.limits());
    EXPECT_NE(touch.limits(), (QStringList{"-10", "10", "-10", "10"}));

    Window held(*GetParam());
    held.fingers.down(held.canvas(), QPoint(100, 100));
    held.form.controls().canvas->gestures().hold().onHoldTimeout();
    held.fingers.move(held.canvas(), QPoint(140, 90));
    held.fingers.up(held.canvas(), QPoint(140, 90));
    EXPECT_EQ(held.limits(), (QStringList{"-10", "10", "-10", "10"}));
}

TEST_P(TouchBothPrograms, PinchAndCtrlWheelTypeTheScaledRangeAndApplyIt) {
    Window w(*GetParam());
    w.fingers.pinch(w.canvas(), QPoint(150, 150), 100, {130, 300});
    EXPECT_EQ(w.limits(), (QStringList{"-5", "5", "-5", "5"}));
    EXPECT_EQ(w.form.view().xmax, 5);
    EXPECT_EQ(w.form.controls().canvas->surface().scaleLeft(), -5.0f);
    w.fingers.pinch(w.canvas(), QPoint(150, 150), 100, {70});
    w.fingers.pinch(w.canvas(), QPoint(150, 150), 100, {70});
    EXPECT_EQ(w.limits(), (QStringList{"-20", "20", "-20", "20"}));
    QWheelEvent notch(QPointF(50, 50), w.canvas()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.canvas(), &notch);
    EXPECT_EQ(w.limits(), (QStringList{"-10", "10", "-10", "10"}));
    EXPECT_TRUE(w.messages.messages().empty());
}

TEST_P(TouchBothPrograms, PinchNeverReachesARangeThePanelWouldRefuse) {
    struct Case {
        QStringList range;
        const char* spacing;
        int spread;
    };
    for (const Case& c : {Case{{"-1e308", "1e308", "-1", "1"}, "1", 70},    // would overflow
                          Case{{"-5e-324", "5e-324", "-1", "1"}, "1", 130}, // would be empty
                          Case{{"-10", "10", "-10", "10"}, "0", 130}}) {    // a refused spacing
        Window w(*GetParam());
        w.typeRange(c.range);
        w.form.controls().xSpacingBox->setText(QString::fromUtf8(c.spacing));
        w.messages.clear();
        const QStringList before = w.limits();
        w.fingers.pinch(w.canvas(), QPoint(150, 150), 100, {c.spread});
        EXPECT_EQ(w.limits(), before) << c.range.join(' ').toStdString();
        EXPECT_TRUE(w.messages.messages().empty());
        EXPECT_TRUE(std::isfinite(w.form.view().xmax) && std::isfinite(w.form.view().xmin));
    }
}

INSTANTIATE_TEST_SUITE_P(ExpLogTouch, TouchBothPrograms, ::testing::Values(&kZelmora, &kTavrinth),
                         [](const auto& info) { return info.param == &kZelmora ? "Zelmora" : "Tavrinth"; });

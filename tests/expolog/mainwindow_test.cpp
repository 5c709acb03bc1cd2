#include "expolog/family.h"

#include "../support/expologwindow.h"
#include "runtime/runtime.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using canvas::SurfaceOp;
using expolog::kTavrinth;
using expolog::kZelmora;
using expolog::MainWindow;

namespace {

const QString kBaseMessage = QStringLiteral("无意义的参数,请重新输入合适的参数。");

using Window = testsupport::ExpLogWindow;

class BothPrograms : public ::testing::TestWithParam<const expolog::Family*> {};

} // namespace

TEST_P(BothPrograms, StartUpState) {
    Window w(*GetParam());
    MainWindow& f = w.form;
    EXPECT_EQ(f.windowTitle(), GetParam()->caption);
    EXPECT_EQ(f.controls().xMinBox->text(), "-10");
    EXPECT_EQ(f.controls().xMaxBox->text(), "10");
    EXPECT_EQ(f.controls().yMinBox->text(), "-10");
    EXPECT_EQ(f.controls().yMaxBox->text(), "10");
    EXPECT_EQ(f.controls().xSpacingBox->text(), "1");
    EXPECT_EQ(f.controls().ySpacingBox->text(), "1");
    EXPECT_TRUE(f.parameterBox()->text().isEmpty());
    EXPECT_EQ(f.view().xmin, -10);
    EXPECT_EQ(f.view().ymax, 10);
    EXPECT_EQ(f.trace().stepX, 1);
    EXPECT_EQ(f.trace().stepY, 1);
    EXPECT_FALSE(f.curveWanted());
    EXPECT_FALSE(f.controls().traceTimer->isActive());
    EXPECT_FALSE(f.controls().inverseTraceTimer->isActive());
    EXPECT_EQ(f.controls().traceTimer->interval(), 5);
    EXPECT_EQ(f.controls().traceTimer->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(f.controls().propertiesPicture->isVisible());
    EXPECT_FALSE(f.controls().valueAtZeroPicture->isVisible());
    EXPECT_FALSE(f.controls().growingValuesPicture->isVisible());
    EXPECT_FALSE(f.controls().fallingValuesPicture->isVisible());
    EXPECT_TRUE(f.controls().answerLabel->text().isEmpty());
    EXPECT_TRUE(f.controls().exitPicture->isVisible());
    EXPECT_EQ(f.controls().canvas->size(), QSize(377, 377));
    // The inverse-function panel lies below the initial client area.
    EXPECT_GT(f.controls().inversePanelPicture->geometry().top(), f.height());
    QApplication::setActiveWindow(&f);
    EXPECT_EQ(f.focusWidget(), f.parameterBox());
}

TEST(ExpLogStartUp, ProgramDifferences) {
    Window z(kZelmora);
    EXPECT_EQ(z.form.size(), QSize(769, 510));
    EXPECT_TRUE(z.form.controls().exitHighlight->isVisible());
    EXPECT_FALSE(z.form.controls().inverseButton->isVisible());
    EXPECT_FALSE(z.form.controls().symmetryAxisButton->isVisible());
    EXPECT_FALSE(z.form.controls().inverseBaseBox->isVisible());
    EXPECT_FALSE(z.form.controls().logarithmFormulaPicture->isVisible());
    EXPECT_EQ(z.form.parameterBox(), z.form.controls().baseBox);
    Window t(kTavrinth);
    EXPECT_EQ(t.form.size(), QSize(770, 510));
    EXPECT_FALSE(t.form.controls().exitHighlight->isVisible());
    EXPECT_TRUE(t.form.controls().inverseButton->isVisible());
    EXPECT_EQ(t.form.parameterBox(), t.form.controls().baseBox);
}

TEST(ExpLogRangePanel, OnlyZelmorasLimitBoxesStoreAtEveryChange) {
    struct Case {
        const expolog::Family* family;
        double storedXmax;
        double xminAfterClear;
        std::vector<QString> messagesAfterClearGraph;
    };
    // After emptying the boxes, 清除图象 brings Zelmora's frame an empty range; Tavrinth redraws the last
    // applied one.
    const Case cases[] = {{&kZelmora, 7, 0, {QStringLiteral("请输入完整的数据！")}},
                          {&kTavrinth, 10, -10, {}}};
    for (const Case& c : cases) {
        Window w(*c.family);
        w.form.controls().xMaxBox->setText("7");
        EXPECT_EQ(w.form.view().xmax, c.storedXmax);
        QTest::mouseClick(w.form.controls().clearRangeButton, Qt::LeftButton);
        EXPECT_TRUE(w.form.controls().xMinBox->text().isEmpty());
        EXPECT_TRUE(w.form.controls().yMaxBox->text().isEmpty());
        EXPECT_EQ(w.form.controls().xSpacingBox->text(), "1"); // spacings are left alone
        EXPECT_EQ(w.form.controls().ySpacingBox->text(), "1");
        EXPECT_EQ(w.form.view().xmin, c.xminAfterClear);
        QTest::mouseClick(w.form.controls().clearGraphButton, Qt::LeftButton);
        EXPECT_EQ(w.messages.texts(), c.messagesAfterClearGraph);
    }
}

TEST(ZelmoraTrace, BaseTwoRunsUpFromPointTwoPastThirty) {
    Window w(kZelmora);
    w.plot("2");
    EXPECT_TRUE(w.form.controls().traceTimer->isActive());
    EXPECT_TRUE(w.form.curveWanted());
    w.runTrace();
    const auto curve = w.curve();
    ASSERT_FALSE(curve.empty());
    EXPECT_NEAR(curve.front().b, 0.2, 1e-6);
    EXPECT_NEAR(curve.front().a, std::log2(0.2), 1e-5);
    EXPECT_NEAR(curve.front().d, 0.3, 1e-6);
    EXPECT_EQ(curve.size(), 299u); // y = 0.2 ... 30.0: the step that passes 30 is the last
    EXPECT_GT(w.form.trace().tracePos, 30);
    EXPECT_LE(w.form.trace().tracePos - 0.1, 30);
    EXPECT_TRUE(w.form.controls().valueAtZeroPicture->isVisible());
    EXPECT_TRUE(w.form.controls().growingValuesPicture->isVisible());
    EXPECT_FALSE(w.form.controls().fallingValuesPicture->isVisible());
    EXPECT_EQ(w.form.controls().answerLabel->text(), QStringLiteral("增"));
}

TEST(ZelmoraTrace, BaseHalfRunsDownFromFifteen) {
    Window w(kZelmora);
    w.plot("0.5");
    EXPECT_EQ(w.form.trace().tracePos, 15);
    w.runTrace();
    const auto curve = w.curve();
    ASSERT_GT(curve.size(), 2u);
    EXPECT_NEAR(curve.front().b, 14.9, 1e-5);
    EXPECT_NEAR(curve.front().d, 14.8, 1e-5);
    EXPECT_GT(curve.back().c, 10.0f); // the last segment ends far to the right
    EXPECT_TRUE(w.form.controls().fallingValuesPicture->isVisible());
    EXPECT_FALSE(w.form.controls().growingValuesPicture->isVisible());
    EXPECT_EQ(w.form.controls().answerLabel->text(), QStringLiteral("减"));
}

TEST(TavrinthTrace, RunsAlongXFromPointTwoPastTenForAnyBase) {
    for (const char* base : {"2", "0.5", "10"}) {
        Window w(kTavrinth);
        w.plot(base);
        w.runTrace();
        const auto curve = w.curve();
        ASSERT_FALSE(curve.empty()) << base;
        EXPECT_NEAR(curve.front().a, 0.2, 1e-6);
        EXPECT_GT(w.form.trace().tracePos, 10);
        EXPECT_LE(w.form.trace().tracePos - 0.1, 10);
        EXPECT_EQ(w.form.controls().answerLabel->text(),
                  std::strtod(base, nullptr) > 1 ? QStringLiteral("增") : QStringLiteral("减"));
    }
}

TEST_P(BothPrograms, ColoursRepeatFromRunToRun) {
    auto colours = [] {
        canvas::resetRnd();
        Window w(*GetParam());
        std::vector<canvas::Colour> out;
        for (const char* base : {"2", "3", "0.5"}) {
            w.plot(base);
            out.push_back(w.form.curveColour());
        }
        return out;
    };
    const auto first = colours();
    EXPECT_NE(first[0], first[1]);
    EXPECT_NE(first[1], first[2]);
    EXPECT_EQ(colours(), first);
}

TEST_P(BothPrograms, MeaninglessBasesAreRefused) {
    for (const char* text : {"0", "1", "-2", "abc", "", "NaN", "-0", "&H1"}) {
        Window w(*GetParam());
        w.plot(QString::fromUtf8(text));
        ASSERT_EQ(w.messages.messages().size(), 1u) << text;
        EXPECT_EQ(w.messages.messages()[0].text, kBaseMessage);
        EXPECT_EQ(w.messages.messages()[0].title, QStringLiteral("提示"));
        EXPECT_EQ(w.messages.messages()[0].icon, canvas::MessageIcon::Information);
        EXPECT_TRUE(w.form.parameterBox()->text().isEmpty());
        EXPECT_EQ(w.form.focusWidget(), w.form.parameterBox());
        EXPECT_FALSE(w.form.controls().traceTimer->isActive());
        EXPECT_TRUE(w.form.curveWanted()); // the steps before the check stay done
    }
}

TEST_P(BothPrograms, OddButMeaningfulBasesAreTracedWithFiniteState) {
    for (const QString& text : {QStringLiteral("0.999"), QStringLiteral("1.001"), QStringLiteral("2abc"),
                                QStringLiteral("1e999"), QString(10000, u'7')}) {
        Window w(*GetParam());
        w.plot(text);
        EXPECT_TRUE(w.messages.messages().empty()) << text.left(10).toStdString();
        EXPECT_TRUE(w.form.controls().traceTimer->isActive());
        w.runTrace(5000);
        for (const double v :
             {w.form.trace().baseA, w.form.trace().lnBase, w.form.trace().tracePos, w.form.trace().traceLog})
            EXPECT_TRUE(std::isfinite(v)) << text.left(10).toStdString();
    }
}

TEST_P(BothPrograms, PlottingAgainAbandonsTheRunningTrace) {
    Window w(*GetParam());
    w.plot("2");
    for (int i = 0; i < 20; ++i)
        w.form.onTraceTick();
    const canvas::Colour first = w.curve().front().colour;
    w.plot("3");
    EXPECT_NEAR(w.form.trace().tracePos, 0.1, 1e-12);
    w.runTrace();
    EXPECT_EQ(w.segments(first).size(), 20u); // the old partial curve stays as it was
}

TEST_P(BothPrograms, ClearingTheGraphDuringATraceCoarsensItToTheTickSpacing) {
    Window w(*GetParam());
    w.plot("2");
    for (int i = 0; i < 5; ++i)
        w.form.onTraceTick();
    QTest::mouseClick(w.form.controls().clearGraphButton, Qt::LeftButton);
    EXPECT_TRUE(w.form.controls().traceTimer->isActive());
    EXPECT_EQ(w.form.trace().stepX, 1);
    EXPECT_TRUE(w.form.canvasCleared());
    w.form.controls().canvas->surface().clearOperations();
    w.form.onTraceTick();
    const auto next = w.curve();
    ASSERT_EQ(next.size(), 1u);
    const bool alongY = GetParam() == &kZelmora;
    EXPECT_NEAR(alongY ? next[0].d - next[0].b : next[0].c - next[0].a, 1.0, 1e-5);
    EXPECT_EQ(w.form.curveWanted(), GetParam() != &kTavrinth);
}

TEST_P(BothPrograms, ClearingTheDataEmptiesBothBoxesAndThePanel) {
    Window w(*GetParam());
    w.plot("2");
    w.runTrace();
    w.form.controls().traceTimer->start();
    QTest::mouseClick(w.form.controls().clearBaseButton, Qt::LeftButton);
    EXPECT_TRUE(w.form.controls().baseBox->text().isEmpty());
    EXPECT_TRUE(w.form.controls().inverseBaseBox->text().isEmpty());
    EXPECT_FALSE(w.form.controls().valueAtZeroPicture->isVisible());
    EXPECT_FALSE(w.form.controls().growingValuesPicture->isVisible());
    EXPECT_TRUE(w.form.controls().answerLabel->text().isEmpty());
    EXPECT_TRUE(w.form.controls().traceTimer->isActive()); // a running trace is left running
}

TEST_P(BothPrograms, TheMirrorBoxFollowsTyping) {
    Window w(*GetParam());
    w.form.parameterBox()->setFocus();
    QTest::keyClicks(w.form.parameterBox(), "0.7");
    EXPECT_EQ(w.form.mirrorBox()->text(), "0.7");
    QTest::keyClick(w.form.parameterBox(), Qt::Key_Backspace);
    EXPECT_EQ(w.form.mirrorBox()->text(), "0.");
    EXPECT_TRUE(w.curve().empty());
}

TEST_P(BothPrograms, NoTickRunsWhileAMessageBoxWaits) {
    Window w(*GetParam());
    w.plot("2");
    int drawnDuringBox = -1;
    w.messages.onShow([&](const testsupport::RecordedMessage&) {
        const std::size_t before = w.curve().size();
        w.form.onTraceTick();
        drawnDuringBox = static_cast<int>(w.curve().size() - before);
    });
    QTest::mouseClick(w.form.controls().inverseButton,
                      Qt::LeftButton); // no message: the box the inverse reads holds the base or is hidden
    w.form.parameterBox()->setText("1");
    QTest::mouseClick(w.form.controls().plotButton, Qt::LeftButton);
    EXPECT_EQ(drawnDuringBox, 0);
}

TEST_P(BothPrograms, AHugeRangeKeepsEveryButtonWorkingDuringItsTrace) {
    Window w(*GetParam());
    w.form.controls().xMaxBox->setText("1e9");
    QTest::mouseClick(w.form.controls().applyRangeButton, Qt::LeftButton);
    w.plot("2");
    w.runTrace(2000);
    EXPECT_TRUE(w.form.controls().traceTimer->isActive());
    QTest::mouseClick(w.form.controls().clearBaseButton, Qt::LeftButton);
    EXPECT_TRUE(w.form.parameterBox()->text().isEmpty());
}

TEST_P(BothPrograms, FullWidthBaseReadsAsItsAsciiForm) {
    Window ascii(*GetParam());
    ascii.plot("2");
    ascii.runTrace();
    Window wide(*GetParam());
    wide.plot(QStringLiteral("２"));
    wide.runTrace();
    EXPECT_TRUE(wide.messages.messages().empty());
    ASSERT_FALSE(wide.curve().empty());
    EXPECT_EQ(wide.curve().size(), ascii.curve().size());
    EXPECT_EQ(wide.curve().back().toString(), ascii.curve().back().toString());
}

// A message box raised by a drag step takes the release with it; a later move with no button held ends the
// drag, so the message does not come back at every hover.
TEST_P(BothPrograms, AMoveWithNoButtonEndsADragWhoseReleaseWasSwallowed) {
    Window w(*GetParam());
    w.plot("2");
    w.runTrace();
    w.setBase("");
    w.form.onCanvasPressed({1, 0, 0, 0});
    w.form.onCanvasPointerMoved({1, 0, 1, 1});
    ASSERT_EQ(w.messages.messages().size(), 1u);
    EXPECT_EQ(w.messages.messages()[0].title, QStringLiteral("提示"));
    const double xmin = w.form.view().xmin;
    for (int i = 0; i < 3; ++i)
        w.form.onCanvasPointerMoved({0, 0, 2.0f + i, -1});
    EXPECT_EQ(w.messages.messages().size(), 1u);
    EXPECT_EQ(w.form.view().xmin, xmin);
}

INSTANTIATE_TEST_SUITE_P(ExpLog, BothPrograms, ::testing::Values(&kZelmora, &kTavrinth),
                         [](const auto& info) { return info.param->caption.toStdString(); });

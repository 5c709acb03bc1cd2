// Zelmora and Tavrinth as a screen reader meets them (through Qt's accessibility interfaces, headless), and
// panning by the arrow keys.

#include "../support/accessiblewindow.h"
#include "../support/expologwindow.h"
#include "widgets/messagebar.h"

#include <QAction>
#include <QCoreApplication>

#include <gtest/gtest.h>

using testsupport::accessibleDescription;
using testsupport::accessibleName;
using testsupport::ExpLogWindow;
using testsupport::nextByTab;

namespace {

const QString kStart = QStringLiteral("x 从 负 10 到 10, y 从 负 10 到 10, 单位长度 1");
// Said last: the inverse panel lies where only an enlarged window shows it.
const QString kHint = QStringLiteral(", 反函数图象面板在窗口菜单里");

struct FamilyCase {
    const expolog::Family* family;
    /// The traced curves as the canvas says them.
    const char* curve;
    const char* inverse;
    const char* valueRow;
    const char* increasingRow;
    const char* table;
    const char* increasingTable;
};

const FamilyCase kFamilies[] = {
    {&expolog::kZelmora, "y 等于 2 的 x 次方", "y 等于以 2 为底 x 的对数", "2 当 x = 0 时, y = 1.",
     "3 当 x > 0 时, y > 1. 当 x < 0 时, 0 < y < 1.",
     "函数性质: 1 定义域 R; 值域 (0, +∞). 4 在 (−∞, +∞) 上是( )函数",
     "函数性质: 1 定义域 R; 值域 (0, +∞). 4 在 (−∞, +∞) 上是增函数"},
    {&expolog::kTavrinth, "y 等于以 2 为底 x 的对数", "y 等于 2 的 x 次方", "2 当 x = 1 时, y = 0.",
     "3 当 x > 1 时, y > 0. 当 0 < x < 1 时, y < 0.",
     "函数性质: 1 定义域 (0, +∞); 值域 R. 4 在 (0, +∞) 上是( )函数.",
     "函数性质: 1 定义域 (0, +∞); 值域 R. 4 在 (0, +∞) 上是增函数."},
};

} // namespace

TEST(ExpLogAccessibility, EveryFocusableControlHasAUniqueName) {
    for (const FamilyCase& c : kFamilies) {
        ExpLogWindow w(*c.family);
        testsupport::expectUniqueNames(&w.form);
        EXPECT_EQ(accessibleName(w.form.parameterBox()), "底数 a");
        EXPECT_EQ(accessibleName(w.form.mirrorBox()), "反函数 底数 a");
        EXPECT_EQ(accessibleName(w.form.controls().xMinBox), "x轴 最小值");
        EXPECT_EQ(accessibleName(w.form.controls().ySpacingBox), "y轴 单位长度");
        EXPECT_EQ(accessibleName(w.form.controls().clearBaseButton), "清除数据（底数）");
        EXPECT_EQ(accessibleName(w.form.controls().clearRangeButton), "清除数据（坐标系）");
        EXPECT_EQ(accessibleName(w.form.controls().exitPicture), "退出");
        // The exit picture follows the last control of the window's own tab order.
        EXPECT_EQ(nextByTab(w.form.controls().removeGridButton), w.form.controls().exitPicture);
        EXPECT_EQ(nextByTab(w.form.controls().exitPicture), w.form.controls().canvas);
    }
}

TEST(ExpLogAccessibility, PropertiesRowsShowWithTheirWordsAfterATrace) {
    for (const FamilyCase& c : kFamilies) {
        ExpLogWindow w(*c.family);
        w.plot("2");
        // The curve is named once it is on the canvas, with the table's answer in its sentence.
        EXPECT_EQ(accessibleDescription(w.form.controls().canvas), kStart + kHint);
        EXPECT_EQ(accessibleName(w.form.controls().propertiesPicture), QString::fromUtf8(c.table));
        EXPECT_FALSE(w.form.controls().valueAtZeroPicture->isVisible());
        w.runTrace();
        EXPECT_EQ(accessibleDescription(w.form.controls().canvas), kStart + ", 图象 " + c.curve + kHint);
        EXPECT_TRUE(w.form.controls().valueAtZeroPicture->isVisible());
        EXPECT_TRUE(w.form.controls().growingValuesPicture->isVisible());
        EXPECT_EQ(accessibleName(w.form.controls().valueAtZeroPicture), QString::fromUtf8(c.valueRow));
        EXPECT_EQ(accessibleName(w.form.controls().growingValuesPicture), QString::fromUtf8(c.increasingRow));
        EXPECT_EQ(accessibleName(w.form.controls().answerLabel), "增");
        EXPECT_EQ(accessibleName(w.form.controls().propertiesPicture), QString::fromUtf8(c.increasingTable));
        w.form.onClearBaseClicked();
        EXPECT_EQ(accessibleName(w.form.controls().propertiesPicture), QString::fromUtf8(c.table));
    }
}

TEST(ExpLogAccessibility, CanvasListsTheInverseAndTheAxisUntilCleared) {
    for (const FamilyCase& c : kFamilies) {
        ExpLogWindow w(*c.family);
        w.plot("2");
        w.runTrace();
        w.form.onInverseClicked();
        w.runInverse();
        w.form.onSymmetryAxisClicked();
        EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
                  kStart + ", 图象 " + c.curve + "、" + c.inverse + "、y 等于 x" + kHint);
        w.form.onClearGraphClicked();
        EXPECT_EQ(accessibleDescription(w.form.controls().canvas), kStart + kHint);
        // A refused base draws nothing.
        w.plot("1");
        EXPECT_EQ(accessibleDescription(w.form.controls().canvas), kStart + kHint);
    }
}

TEST(ExpLogArrowKeys, StepRedrawsAndRetracesLikeTheSameDragStep) {
    for (const FamilyCase& c : kFamilies) {
        ExpLogWindow keys(*c.family);
        ExpLogWindow drag(*c.family);
        for (ExpLogWindow* w : {&keys, &drag}) {
            w->plot("0.5");
            w->runTrace();
            w->form.controls().canvas->surface().clearOperations();
        }
        QTest::keyClick(keys.form.controls().canvas, Qt::Key_Left);
        drag.form.onCanvasPressed({1, 0, -1, 0});
        drag.form.onCanvasPointerMoved({1, 0, -1, 0});
        keys.runTrace();
        drag.runTrace();
        QStringList keyOps, dragOps;
        for (const auto& op : keys.form.controls().canvas->surface().operations())
            keyOps << op.toString();
        for (const auto& op : drag.form.controls().canvas->surface().operations())
            dragOps << op.toString();
        EXPECT_FALSE(keyOps.isEmpty());
        EXPECT_EQ(keyOps, dragOps);
        EXPECT_EQ(keys.form.controls().xMinBox->text(), "-9");
        EXPECT_EQ(keys.form.controls().xMaxBox->text(), "11");
        EXPECT_EQ(accessibleDescription(keys.form.controls().canvas),
                  QStringLiteral("x 从 负 9 到 11, y 从 负 10 到 10, 单位长度 1, 图象 ") +
                      QString(c.curve).replace("2", "0.5") + kHint);
    }
}

TEST(ExpLogTabChain, SkipsTheInversePanelUntilTheWindowShowsIt) {
    ExpLogWindow w(expolog::kTavrinth);
    EXPECT_EQ(nextByTab(w.form.controls().canvas), w.form.controls().plotButton);
    EXPECT_EQ(nextByTab(w.form.controls().baseBox), w.form.controls().yMaxBox);
    w.form.resize(w.form.width(), w.form.controls().inverseButton->geometry().bottom() + 20);
    EXPECT_EQ(nextByTab(w.form.controls().canvas), w.form.controls().inverseBaseBox);
    EXPECT_EQ(nextByTab(w.form.controls().baseBox), w.form.controls().inverseButton);
    EXPECT_EQ(nextByTab(w.form.controls().inverseButton), w.form.controls().symmetryAxisButton);
}

TEST(ExpLogSpeech, APlottedTraceIsSpokenWithItsPropertiesAndARetraceOnlyWithItsRange) {
    const struct {
        const expolog::Family* family;
        const char* base;
        const char* curve;
        const char* properties;
    } cases[] = {
        {&expolog::kZelmora, "2", "y 等于 2 的 x 次方", expolog::kZelmora.growingWords},
        {&expolog::kZelmora, "0.5", "y 等于 0.5 的 x 次方", expolog::kZelmora.fallingWords},
        {&expolog::kTavrinth, "2", "y 等于以 2 为底 x 的对数", expolog::kTavrinth.growingWords},
        {&expolog::kTavrinth, "0.5", "y 等于以 0.5 为底 x 的对数", expolog::kTavrinth.fallingWords},
    };
    for (const auto& c : cases) {
        ExpLogWindow w(*c.family);
        canvas::MessageBar* bar = canvas::MessageBar::of(&w.form);
        QCoreApplication::processEvents();
        w.plot(c.base);
        w.runTrace();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->lastMessage().toStdString(),
                  (QStringLiteral("图象 ") + c.curve + ", " + QString::fromUtf8(c.properties)).toStdString());
        QTest::keyClick(w.form.controls().canvas, Qt::Key_Left);
        w.runTrace();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->lastMessage().toStdString(), "x 从 负 9 到 11, y 从 负 10 到 10, 单位长度 1")
            << c.base;
    }
}

TEST(ExpLogTabChain, TheMenuShowsTheInversePanelAsEnlargingTheWindowDoes) {
    for (const FamilyCase& c : kFamilies) {
        ExpLogWindow w(*c.family);
        EXPECT_FALSE(w.form.rect().contains(w.form.controls().inversePanelPicture->geometry()));
        QAction* panel = nullptr;
        for (QAction* action : w.form.actions())
            if (action->text() == "反函数图象面板")
                panel = action;
        ASSERT_NE(panel, nullptr);
        panel->trigger();
        EXPECT_TRUE(w.form.rect().contains(w.form.controls().inversePanelPicture->geometry()));
        if (c.family == &expolog::kTavrinth) {
            EXPECT_EQ(nextByTab(w.form.controls().baseBox), w.form.controls().inverseButton);
        }
    }
}

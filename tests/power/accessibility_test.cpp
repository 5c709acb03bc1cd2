// Quorvex as a screen reader meets it (through Qt's accessibility interfaces, headless), and panning by the
// arrow keys.

#include "power/mainwindow.h"

#include "../support/accessiblewindow.h"
#include "../support/expologwindow.h"
#include "../support/messagerecorder.h"
#include "widgets/exitbutton.h"
#include "widgets/messagebar.h"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>

using quorvex::MainWindow;
using testsupport::accessibleDescription;
using testsupport::accessibleName;
using testsupport::nextByTab;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

struct Window {
    testsupport::MessageRecorder messages;
    MainWindow form;
    Window() { form.show(); }
    void plot(const QString& m, const QString& n = {}) {
        QTest::mouseClick(n.isEmpty() ? form.controls().integerFormOption
                                      : form.controls().fractionFormOption,
                          Qt::LeftButton);
        form.controls().mBox->setText(m);
        form.controls().nBox->setText(n);
        QTest::mouseClick(form.controls().plotButton, Qt::LeftButton);
    }
    QStringList operations() const {
        QStringList out;
        for (const auto& op : form.controls().canvas->surface().operations())
            out << op.toString();
        return out;
    }
};

const QString kStart = QStringLiteral("x 从 负 10 到 10, y 从 负 10 到 10, 单位长度 1");

} // namespace

TEST(QuorvexAccessibility, EveryFocusableControlHasAUniqueName) {
    Window w;
    testsupport::expectUniqueNames(&w.form);
    const struct {
        QWidget* control;
        const char* name;
    } cases[] = {
        {w.form.controls().mBox, "m"},
        {w.form.controls().nBox, "n"},
        {w.form.controls().xMinBox, "x轴 最小值"},
        {w.form.controls().xMaxBox, "x轴 最大值"},
        {w.form.controls().xSpacingBox, "x轴 单位长度"},
        {w.form.controls().yMinBox, "y轴 最小值"},
        {w.form.controls().yMaxBox, "y轴 最大值"},
        {w.form.controls().ySpacingBox, "y轴 单位长度"},
        {w.form.controls().plotButton, "作图"},
        {w.form.controls().clearExponentButton, "清除数据（m、n）"},
        {w.form.controls().clearRangeButton, "清除数据（坐标系）"},
        {w.form.controls().canvas, "坐标平面"},
        {w.form.controls().exitPicture, "退出"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(accessibleName(c.control), QString::fromUtf8(c.name)) << c.name;
}

TEST(QuorvexAccessibility, PicturesReadTheirWordsAndDecorationIsHidden) {
    Window w;
    const struct {
        canvas::ImageControl* picture;
        QAccessible::Role role;
        const char* name;
    } cases[] = {
        {w.form.controls().integerFormulaPicture, QAccessible::StaticText,
         "y = x^m (m为非零整数, x为自变量)"},
        {w.form.controls().generalFormulaPicture, QAccessible::StaticText, "y = x^α (α为常数, x为自变量)"},
        {w.form.controls().rangePanelPicture, QAccessible::StaticText, "设置坐标系"},
        {w.form.controls().titlePicture, QAccessible::Graphic, ""},
        {w.form.controls().emblemPicture, QAccessible::Graphic, ""},
        {w.form.controls().exitHighlight, QAccessible::Graphic, ""},
        {w.form.controls().exitPicture, QAccessible::Button, "退出"},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* picture = accessible(c.picture);
        EXPECT_EQ(picture->role(), c.role) << c.name;
        EXPECT_EQ(picture->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(picture->state().invisible, c.role == QAccessible::Graphic || !c.picture->isVisible())
            << c.name;
    }
    EXPECT_EQ(accessible(&w.form)->role(), QAccessible::Window);
    EXPECT_EQ(accessible(w.form.controls().canvas)->role(), QAccessible::Canvas);
}

TEST(QuorvexAccessibility, ExitPictureIsAButtonLastInTheTabChain) {
    Window w;
    EXPECT_EQ(nextByTab(w.form.controls().zoomOutButton), w.form.controls().exitPicture);
    // The window still opens with the focus on the canvas, not on the exit.
    EXPECT_EQ(nextByTab(&w.form), w.form.controls().canvas);
    bool ended = false;
    canvas::setEndProgramAction([&ended] { ended = true; });
    // The press action answers the assistive tool first and ends the program afterwards.
    QAccessibleActionInterface* action = accessible(w.form.controls().exitPicture)->actionInterface();
    ASSERT_NE(action, nullptr);
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(ended);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ended);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        ended = false;
        QTest::keyClick(w.form.controls().exitPicture, key);
        EXPECT_TRUE(ended) << key;
    }
    // Other keys, and the highlighted picture, do nothing of the kind.
    ended = false;
    QTest::keyClick(w.form.controls().exitPicture, Qt::Key_A);
    QTest::keyClick(w.form.controls().exitHighlight, Qt::Key_Space);
    EXPECT_FALSE(ended);
    canvas::setEndProgramAction([] {});
}

TEST(QuorvexAccessibility, CanvasDescribesTheViewGridAndCurves) {
    Window w;
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas), kStart);
    w.plot("2");
    w.plot("-1");
    w.plot("2");
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
              kStart + ", 图象 y 等于 x 的 2 次方、y 等于 x 的 负 1 次方");
    QTest::mouseClick(w.form.controls().drawGridButton, Qt::LeftButton);
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
              kStart + ", 网格, 图象 y 等于 x 的 2 次方、y 等于 x 的 负 1 次方");
    // Zooming redraws the frame and only the curve of the boxes comes back.
    QTest::mouseClick(w.form.controls().zoomInButton, Qt::LeftButton);
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
              "x 从 负 5 到 5, y 从 负 5 到 5, 单位长度 1, 图象 y 等于 x 的 2 次方");
    QTest::mouseClick(w.form.controls().clearGraphButton, Qt::LeftButton);
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas), "x 从 负 5 到 5, y 从 负 5 到 5, 单位长度 1");
    w.plot("1", "3");
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
              "x 从 负 5 到 5, y 从 负 5 到 5, 单位长度 1, 图象 y 等于 x 的三分之一次方");
    // A refused exponent adds nothing; a refused range leaves the canvas blank.
    w.plot("0");
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
              "x 从 负 5 到 5, y 从 负 5 到 5, 单位长度 1, 图象 y 等于 x 的三分之一次方");
    w.form.controls().xMinBox->setText("20");
    QTest::mouseClick(w.form.controls().applyRangeButton, Qt::LeftButton);
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas), "空白");
    w.form.controls().xMinBox->setText("-10");
    w.form.controls().xSpacingBox->setText("2");
    QTest::mouseClick(w.form.controls().applyRangeButton, Qt::LeftButton);
    EXPECT_EQ(accessibleDescription(w.form.controls().canvas),
              "x 从 负 10 到 5, y 从 负 5 到 5, 单位长度 x 2, y 1");
}

TEST(QuorvexArrowKeys, MoveThePlaneByTicksLikeADragStep) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* xmin;
        const char* xmax;
        const char* ymin;
        const char* ymax;
    } cases[] = {
        {Qt::Key_Right, Qt::NoModifier, "-11", "9", "-10", "10"},
        {Qt::Key_Left, Qt::NoModifier, "-9", "11", "-10", "10"},
        {Qt::Key_Up, Qt::NoModifier, "-10", "10", "-11", "9"},
        {Qt::Key_Down, Qt::ShiftModifier, "-10", "10", "-5", "15"},
        {Qt::Key_Right, Qt::ShiftModifier, "-15", "5", "-10", "10"},
    };
    for (const auto& c : cases) {
        Window w;
        QTest::keyClick(w.form.controls().canvas, c.key, c.modifiers);
        EXPECT_EQ(w.form.controls().xMinBox->text(), c.xmin) << c.key;
        EXPECT_EQ(w.form.controls().xMaxBox->text(), c.xmax) << c.key;
        EXPECT_EQ(w.form.controls().yMinBox->text(), c.ymin) << c.key;
        EXPECT_EQ(w.form.controls().yMaxBox->text(), c.ymax) << c.key;
    }
}

TEST(QuorvexArrowKeys, StepDrawsExactlyWhatTheSameDragStepDraws) {
    Window keys;
    Window drag;
    for (Window* w : {&keys, &drag}) {
        w->plot("3");
        w->form.controls().canvas->surface().setRecording(true);
    }
    QTest::keyClick(keys.form.controls().canvas, Qt::Key_Up, Qt::ShiftModifier);
    drag.form.onCanvasPressed({1, 0, 0, 5});
    drag.form.onCanvasPointerMoved({1, 0, 0, 5});
    EXPECT_EQ(keys.operations(), drag.operations());
    EXPECT_EQ(keys.form.view().ymin, drag.form.view().ymin);
    EXPECT_EQ(accessibleDescription(keys.form.controls().canvas),
              "x 从 负 10 到 10, y 从 负 15 到 5, 单位长度 1, 图象 y 等于 x 的 3 次方");
}

TEST(QuorvexArrowKeys, SpacingKeepsItsDecimalsAndUnusableStepsDoNothing) {
    Window w;
    w.form.controls().xSpacingBox->setText("0.1");
    QTest::mouseClick(w.form.controls().applyRangeButton, Qt::LeftButton);
    QTest::keyClick(w.form.controls().canvas, Qt::Key_Left);
    EXPECT_EQ(w.form.controls().xMinBox->text(), "-9.9");
    EXPECT_EQ(w.form.controls().xMaxBox->text(), "10.1");

    // A refused spacing stays stored as typed; a step of it, or one past the largest double, is ignored.
    w.form.controls().canvas->surface().setRecording(true);
    for (const double spacing : {0.0, -1.0, std::numeric_limits<double>::max()}) {
        w.form.view().xju1 = spacing;
        w.form.view().xmin = -std::numeric_limits<double>::max();
        QTest::keyClick(w.form.controls().canvas, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_EQ(w.form.view().xmin, -std::numeric_limits<double>::max()) << spacing;
    }
    EXPECT_TRUE(w.form.controls().canvas->surface().operations().empty());
}

TEST(QuorvexAccessibility, EachChangeIsAnnouncedOnceWithTheTextItEndsWith) {
    Window w;
    w.plot("2");
    QCoreApplication::processEvents();
    QStringList announced;
    QObject::connect(w.form.controls().canvas, &canvas::CanvasWidget::described,
                     [&announced](const QString& text) { announced << text; });
    // A step draws the bare frame and then the curve again: one announcement, of the curve in the new view.
    QTest::keyClick(w.form.controls().canvas, Qt::Key_Right);
    QCoreApplication::processEvents();
    EXPECT_EQ(announced,
              QStringList{"x 从 负 11 到 9, y 从 负 10 到 10, 单位长度 1, 图象 y 等于 x 的 2 次方"});
    // The same curve plotted again changes nothing: nothing is announced.
    QTest::mouseClick(w.form.controls().plotButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(announced.size(), 1);
}

TEST(ButtonKeys, ReturnAndEnterPressAButtonAsSpaceDoes) {
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        const Qt::KeyboardModifiers keypad = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        Window q;
        QTest::mouseClick(q.form.controls().integerFormOption, Qt::LeftButton);
        q.form.controls().mBox->setText("2");
        QTest::keyClick(q.form.controls().plotButton, key, keypad);
        EXPECT_EQ(accessibleDescription(q.form.controls().canvas), kStart + ", 图象 y 等于 x 的 2 次方")
            << key;

        testsupport::ExpLogWindow z(expolog::kZelmora);
        z.setBase("2");
        QTest::keyClick(z.form.controls().plotButton, key, keypad);
        EXPECT_TRUE(z.form.controls().traceTimer->isActive()) << key;

        q.form.onSaveClicked();
        quorvex::SaveDialog* dialog = q.form.saveDialog();
        dialog->controls().nameBox->setText("graph");
        QTest::keyClick(dialog->controls().cancelButton, key, keypad);
        EXPECT_TRUE(dialog->controls().nameBox->text().isEmpty()) << key;
    }
}

TEST(QuorvexZoomKeys, AtALimitTheFocusGoesToTheCanvasNotToTheOtherButton) {
    const struct {
        QPushButton* quorvex::Controls::*button;
        Qt::Key key;
        const char* xmin;
    } cases[] = {
        {&quorvex::Controls::zoomInButton, Qt::Key_Space, "-2.5"},
        {&quorvex::Controls::zoomOutButton, Qt::Key_Return, "-40"},
    };
    for (const auto& c : cases) {
        Window w;
        QApplication::setActiveWindow(&w.form);
        QPushButton* button = w.form.controls().*c.button;
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, c.key);
        QTest::keyClick(button, c.key);
        EXPECT_FALSE(button->isEnabled()) << c.xmin;
        EXPECT_EQ(QApplication::focusWidget(), w.form.controls().canvas) << c.xmin;
        // A further press lands on the canvas, which does nothing with it.
        QTest::keyClick(QApplication::focusWidget(), c.key);
        EXPECT_EQ(w.form.controls().xMinBox->text(), c.xmin);
    }
}

// What a screen reader speaks, whatever holds the focus: each change once, as what changed, and every key's
// words again when the key is pressed again. A drag speaks where it ends, not every step on the way.
TEST(QuorvexSpeech, WhatChangedIsSpokenOnceAndEveryKeyAgain) {
    Window w;
    canvas::MessageBar* bar = canvas::MessageBar::of(&w.form);
    QCoreApplication::processEvents();
    auto said = [bar] {
        QCoreApplication::processEvents();
        return bar->lastMessage().toStdString();
    };
    w.plot("2");
    EXPECT_EQ(said(), "图象 y 等于 x 的 2 次方");
    QTest::keyClick(w.form.controls().canvas, Qt::Key_Right);
    EXPECT_EQ(said(), "x 从 负 11 到 9, y 从 负 10 到 10, 单位长度 1");
    int count = bar->count();
    QTest::mouseClick(w.form.controls().plotButton, Qt::LeftButton);
    said();
    EXPECT_EQ(bar->count(), count);

    const QPoint centre = w.form.controls().canvas->rect().center();
    QTest::mousePress(w.form.controls().canvas, Qt::LeftButton, Qt::NoModifier, centre);
    for (int step = 1; step <= 3; ++step) {
        QTest::mouseMove(w.form.controls().canvas, centre + QPoint(20 * step, 0));
        said();
    }
    EXPECT_EQ(bar->count(), count);
    QTest::mouseRelease(w.form.controls().canvas, Qt::LeftButton, Qt::NoModifier, centre + QPoint(60, 0));
    EXPECT_EQ(said().rfind("x 从 ", 0), 0u);
    EXPECT_EQ(bar->count(), count + 1);

    QTest::keyClick(w.form.controls().canvas, Qt::Key_T);
    EXPECT_EQ(said(), "探索 y 等于 x 的 2 次方");
    for (int i = 0; i < 8 && said() != "右边没有特征点"; ++i)
        QTest::keyClick(w.form.controls().canvas, Qt::Key_Right, Qt::ControlModifier);
    count = bar->count();
    QTest::keyClick(w.form.controls().canvas, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(said(), "右边没有特征点");
    EXPECT_EQ(bar->count(), count + 1);
}

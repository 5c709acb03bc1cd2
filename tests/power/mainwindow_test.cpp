#include "power/mainwindow.h"

#include "../support/messagerecorder.h"

#include "runtime/runtime.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using quorvex::MainWindow;

TEST(QuorvexStartUp, FillsTheRangeBoxesAndDrawsTheFrame) {
    testsupport::MessageRecorder messages;
    MainWindow form;
    EXPECT_EQ(form.controls().xMaxBox->text(), "10");
    EXPECT_EQ(form.controls().xMinBox->text(), "-10");
    EXPECT_EQ(form.controls().yMaxBox->text(), "10");
    EXPECT_EQ(form.controls().yMinBox->text(), "-10");
    EXPECT_EQ(form.controls().xSpacingBox->text(), "1");
    EXPECT_EQ(form.controls().ySpacingBox->text(), "1");
    EXPECT_EQ(form.view().xmin, -10);
    EXPECT_EQ(form.view().xmax, 10);
    EXPECT_EQ(form.view().ymin, -10);
    EXPECT_EQ(form.view().ymax, 10);
    EXPECT_EQ(form.view().xju1, 1);
    EXPECT_EQ(form.view().yju1, 1);
    EXPECT_FALSE(form.curveWanted());
    EXPECT_EQ(form.exponentForm(), quorvex::ExponentForm::None);
    EXPECT_EQ(form.plotState(), quorvex::PlotState::None);
    EXPECT_EQ(form.zoomLevel(), 0);
    EXPECT_TRUE(messages.messages().empty());

    // Canvas: light yellow with black axes where the mapping puts them.
    const QImage image = form.controls().canvas->surface().Image();
    EXPECT_EQ(image.size(), QSize(389, 373));
    const QPointF axis = form.controls().canvas->surface().toPixel(0.001, 0.001);
    EXPECT_EQ(image.pixelColor(30, static_cast<int>(std::lround(axis.y()))), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(static_cast<int>(std::lround(axis.x())), 330), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(30, 30), QColor(255, 255, 192));
}

TEST(QuorvexStartUp, ShowsTheFirstLookOfTheExponentPanel) {
    MainWindow form;
    form.show();
    EXPECT_FALSE(form.controls().mBox->isVisible());
    EXPECT_FALSE(form.controls().nBox->isVisible());
    EXPECT_TRUE(form.controls().mLabel->isVisible());
    EXPECT_TRUE(form.controls().nLabel->isVisible());
    EXPECT_TRUE(form.controls().generalFormulaPicture->isVisible());
    EXPECT_FALSE(form.controls().integerFormulaPicture->isVisible());
    EXPECT_FALSE(form.controls().fractionFormulaPicture->isVisible());
    EXPECT_TRUE(form.controls().exitPicture->isVisible());
    EXPECT_FALSE(form.controls().exitHighlight->isVisible());
    EXPECT_FALSE(form.controls().horizontalGuide->isVisible());
    EXPECT_FALSE(form.controls().verticalGuide->isVisible());
    EXPECT_FALSE(form.controls().coordinateLabel->isVisible());
    EXPECT_FALSE(form.controls().integerFormOption->isChecked());
    EXPECT_FALSE(form.controls().fractionFormOption->isChecked());
    EXPECT_TRUE(form.controls().zoomInButton->isEnabled());
    EXPECT_TRUE(form.controls().zoomOutButton->isEnabled());
}

TEST(QuorvexLayout, PlacesControlsAtTheirTwipPositions) {
    MainWindow form;
    EXPECT_EQ(form.size(), QSize(740, 494));
    EXPECT_EQ(form.windowTitle(), "Quorvex");
    EXPECT_EQ(form.controls().canvas->geometry(), QRect(160, 32, 393, 377));
    EXPECT_EQ(form.controls().plotButton->geometry(), QRect(16, 248, 57, 25));
    EXPECT_EQ(form.controls().exitPicture->geometry(), form.controls().exitHighlight->geometry());
    EXPECT_EQ(form.controls().xMaxBox->geometry().topLeft(), QPoint(640, 120));
    EXPECT_EQ(form.controls().fractionFormOption->text(), QStringLiteral("分数指数"));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(QuorvexLayout, TabOrderFollowsTheTabIndexes) {
    MainWindow form;
    QWidget* expected[] = {form.controls().canvas,
                           form.controls().mBox,
                           form.controls().nBox,
                           form.controls().plotButton,
                           form.controls().clearGraphButton,
                           form.controls().clearExponentButton,
                           form.controls().xMinBox,
                           form.controls().xMaxBox,
                           form.controls().yMinBox,
                           form.controls().yMaxBox,
                           form.controls().applyRangeButton,
                           form.controls().integerFormOption,
                           form.controls().fractionFormOption,
                           form.controls().clearRangeButton,
                           form.controls().xSpacingBox,
                           form.controls().ySpacingBox,
                           form.controls().drawGridButton,
                           form.controls().removeGridButton,
                           form.controls().saveButton,
                           form.controls().zoomInButton,
                           form.controls().zoomOutButton};
    auto nextFocusable = [](QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus);
        return w;
    };
    for (std::size_t i = 0; i + 1 < std::size(expected); ++i)
        EXPECT_EQ(nextFocusable(expected[i]), expected[i + 1]) << i;
}

namespace {

// A Quorvex window with messages recorded and the canvas operations recorded from now on.
struct Window {
    testsupport::MessageRecorder messages;
    MainWindow form;
    Window() {
        form.show();
        form.controls().canvas->surface().setRecording(true);
    }
    canvas::Surface& surface() { return form.controls().canvas->surface(); }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    std::vector<canvas::SurfaceOp> ops(canvas::SurfaceOp::Kind kind) const {
        std::vector<canvas::SurfaceOp> out;
        for (const auto& op : form.controls().canvas->surface().operations())
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }
    std::set<canvas::Colour> curveColours() const {
        std::set<canvas::Colour> out;
        for (const auto& op : ops(canvas::SurfaceOp::Kind::Line))
            if (op.width == 2)
                out.insert(op.colour);
        return out;
    }
    QStringList texts() const {
        return {form.controls().xMaxBox->text(), form.controls().xMinBox->text(),
                form.controls().yMaxBox->text(), form.controls().yMinBox->text()};
    }
};

} // namespace

TEST(QuorvexExponentPanel, OptionsSwitchTheFormulaAndTheBoxes) {
    Window w;
    w.click(w.form.controls().integerFormOption);
    EXPECT_EQ(w.form.exponentForm(), quorvex::ExponentForm::Integer);
    EXPECT_TRUE(w.form.controls().integerFormulaPicture->isVisible());
    EXPECT_FALSE(w.form.controls().generalFormulaPicture->isVisible());
    EXPECT_FALSE(w.form.controls().fractionFormulaPicture->isVisible());
    EXPECT_TRUE(w.form.controls().mBox->isVisible());
    EXPECT_FALSE(w.form.controls().nBox->isVisible());
    w.click(w.form.controls().fractionFormOption);
    EXPECT_EQ(w.form.exponentForm(), quorvex::ExponentForm::Fraction);
    EXPECT_TRUE(w.form.controls().fractionFormulaPicture->isVisible());
    EXPECT_FALSE(w.form.controls().integerFormulaPicture->isVisible());
    EXPECT_TRUE(w.form.controls().nBox->isVisible());
    EXPECT_TRUE(w.surface().operations().empty()); // the canvas is untouched
}

TEST(QuorvexExponentPanel, TypedNumbersRoundHalvesToEven) {
    struct Case {
        const char* text;
        int segments;
        std::size_t messages;
    };
    const Case cases[] = {{"2.5", 399, 0}, {"2", 399, 0},   {"0.4", 0, 1}, {"", 0, 1},
                          {"abc", 0, 1},   {"40000", 0, 1}, {"-1", 396, 0}};
    for (const Case& c : cases) {
        Window w;
        w.click(w.form.controls().integerFormOption);
        w.type(w.form.controls().mBox, QString::fromUtf8(c.text));
        w.click(w.form.controls().plotButton);
        EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Line).size(), static_cast<std::size_t>(c.segments))
            << c.text;
        ASSERT_EQ(w.messages.messages().size(), c.messages) << c.text;
        if (c.messages) {
            EXPECT_EQ(w.messages.messages()[0].text, QStringLiteral("m不能为零或空！"));
            EXPECT_TRUE(w.form.controls().mBox->text().isEmpty());
            EXPECT_EQ(w.form.focusWidget(), w.form.controls().mBox);
        }
        // Step 4 of the plot runs whatever happened.
        EXPECT_EQ(w.form.plotState(), quorvex::PlotState::Plotted);
        EXPECT_TRUE(w.form.curveWanted());
    }
}

TEST(QuorvexExponentPanel, FractionalRefusalEmptiesBothBoxesFocusEndingOnN) {
    Window w;
    w.click(w.form.controls().fractionFormOption);
    w.type(w.form.controls().mBox, "3");
    w.type(w.form.controls().nBox, "0");
    w.click(w.form.controls().plotButton);
    ASSERT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("m, n不能为零或空！")});
    EXPECT_EQ(w.messages.messages()[0].title, QStringLiteral("警告"));
    EXPECT_TRUE(w.form.controls().mBox->text().isEmpty());
    EXPECT_TRUE(w.form.controls().nBox->text().isEmpty());
    EXPECT_EQ(w.form.focusWidget(), w.form.controls().nBox);
}

TEST(QuorvexExponentPanel, PlotBeforeChoosingAFormDrawsNothingButWantsAGraph) {
    Window w;
    w.click(w.form.controls().plotButton);
    EXPECT_TRUE(w.ops(canvas::SurfaceOp::Kind::Line).empty());
    EXPECT_EQ(w.form.plotState(), quorvex::PlotState::Plotted);
    EXPECT_TRUE(w.form.curveWanted());
}

TEST(QuorvexExponentPanel, CurvesAccumulateUntilAZoomLeavesOne) {
    Window w;
    w.click(w.form.controls().integerFormOption);
    w.type(w.form.controls().mBox, "2");
    w.click(w.form.controls().plotButton);
    w.type(w.form.controls().mBox, "3");
    w.click(w.form.controls().plotButton);
    EXPECT_EQ(w.curveColours().size(), 2u);
    w.surface().clearOperations();
    w.click(w.form.controls().zoomInButton);
    EXPECT_EQ(w.curveColours().size(), 1u);
    EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Cls).size(), 1u);
}

TEST(QuorvexExponentPanel, ClearingTheGraphOrTheNumbersStopsTheReplots) {
    Window w;
    w.click(w.form.controls().integerFormOption);
    w.type(w.form.controls().mBox, "2");
    w.click(w.form.controls().plotButton);
    w.click(w.form.controls().clearGraphButton);
    EXPECT_EQ(w.form.plotState(), quorvex::PlotState::Cleared);
    EXPECT_FALSE(w.form.curveWanted());
    w.click(w.form.controls().plotButton);
    w.click(w.form.controls().clearExponentButton);
    EXPECT_FALSE(w.form.curveWanted());
    EXPECT_TRUE(w.form.controls().mBox->text().isEmpty());
    EXPECT_EQ(w.form.exponentForm(), quorvex::ExponentForm::Integer);
    w.surface().clearOperations();
    w.click(w.form.controls().zoomInButton);
    EXPECT_TRUE(w.curveColours().empty());
}

TEST(QuorvexRangePanel, ChecksInOrderAndStoresBeforeChecking) {
    struct Case {
        const char *xmin, *xmax, *ymin, *ymax, *xju1, *yju1;
        const char* message;
        bool framed;
    };
    const Case cases[] = {
        {"-10", "abc", "-10", "10", "1", "1", nullptr, true}, // xmax reads 0
        {"5", "5", "-10", "10", "1", "1", "数据输入有误！", false},
        {"-10", "10", "3", "-3", "1", "1", "数据输入有误！", false},
        {"-10", "10", "-10", "10", "1", "", "单位长度必须大于零！", false},
        {"-10", "10", "-10", "10", "-2", "1", "单位长度必须大于零！", false},
        {"10", "-10", "-10", "10", "1", "0", "数据输入有误！", false}, // only the first failure
        {"-1", "1", "-1", "1", "0.5", "0.5", nullptr, true},
    };
    for (const Case& c : cases) {
        Window w;
        w.type(w.form.controls().xMinBox, c.xmin);
        w.type(w.form.controls().xMaxBox, c.xmax);
        w.type(w.form.controls().yMinBox, c.ymin);
        w.type(w.form.controls().yMaxBox, c.ymax);
        w.type(w.form.controls().xSpacingBox, c.xju1);
        w.type(w.form.controls().ySpacingBox, c.yju1);
        w.surface().clearOperations();
        w.click(w.form.controls().applyRangeButton);
        if (c.message) {
            ASSERT_EQ(w.messages.texts(), std::vector<QString>{QString::fromUtf8(c.message)}) << c.xju1;
            EXPECT_EQ(w.messages.messages()[0].icon, canvas::MessageIcon::Exclamation);
        } else {
            EXPECT_TRUE(w.messages.messages().empty());
        }
        EXPECT_EQ(!w.ops(canvas::SurfaceOp::Kind::Scale).empty(), c.framed);
        EXPECT_EQ(w.form.view().xju1, canvas::Val(c.xju1));
        EXPECT_EQ(w.form.view().yju1, canvas::Val(c.yju1));
    }
}

TEST(QuorvexRangePanel, RefusedSpacingShowsOneButKeepsTheTypedValue) {
    Window w;
    w.type(w.form.controls().ySpacingBox, "");
    w.click(w.form.controls().applyRangeButton);
    EXPECT_EQ(w.form.controls().ySpacingBox->text(), "1");
    EXPECT_EQ(w.form.view().yju1, 0);
    EXPECT_TRUE(w.ops(canvas::SurfaceOp::Kind::Cls).empty()); // canvas unchanged
}

TEST(QuorvexRangePanel, RefusedRangeLeavesAnEmptyCanvas) {
    Window w;
    w.type(w.form.controls().xMinBox, "5");
    w.type(w.form.controls().xMaxBox, "5");
    w.click(w.form.controls().applyRangeButton);
    const QImage& image = w.surface().Image();
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            ASSERT_EQ(image.pixelColor(x, y), QColor(255, 255, 192));
}

TEST(QuorvexRangePanel, LimitBoxesStoreAtEveryChangeAndClearEmptiesAllSix) {
    Window w;
    w.type(w.form.controls().xMaxBox, "7");
    EXPECT_EQ(w.form.view().xmax, 7);
    w.type(w.form.controls().xSpacingBox, "3");
    EXPECT_EQ(w.form.view().xju1, 1); // spacings store only through apply
    w.click(w.form.controls().clearRangeButton);
    for (QLineEdit* box :
         {w.form.controls().xMaxBox, w.form.controls().xMinBox, w.form.controls().yMaxBox,
          w.form.controls().yMinBox, w.form.controls().xSpacingBox, w.form.controls().ySpacingBox})
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(w.form.view().xmin, 0);
    EXPECT_EQ(w.form.view().ymax, 0);
    EXPECT_TRUE(w.ops(canvas::SurfaceOp::Kind::Cls).empty());
    // Then "清除图象": the degenerate range takes the frame's failure path.
    w.click(w.form.controls().clearGraphButton);
    EXPECT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("请输入完整的数据！")});
}

TEST(QuorvexZoom, SweepsBetweenTheTwoLimits) {
    Window w;
    w.click(w.form.controls().zoomInButton);
    EXPECT_EQ(w.texts(), (QStringList{"5", "-5", "5", "-5"}));
    EXPECT_TRUE(w.curveColours().empty());
    w.click(w.form.controls().integerFormOption);
    w.type(w.form.controls().mBox, "2");
    w.click(w.form.controls().plotButton);
    w.surface().clearOperations();
    w.click(w.form.controls().zoomInButton);
    EXPECT_EQ(w.texts(), (QStringList{"2.5", "-2.5", "2.5", "-2.5"}));
    EXPECT_FALSE(w.form.controls().zoomInButton->isEnabled());
    const auto lines = w.ops(canvas::SurfaceOp::Kind::Line);
    EXPECT_NEAR(lines.back().c - lines.back().a, 0.2f, 1e-5); // sampling step 1/5
    w.click(w.form.controls().zoomOutButton);
    EXPECT_EQ(w.texts(), (QStringList{"5", "-5", "5", "-5"}));
    EXPECT_FALSE(w.form.controls().zoomInButton->isEnabled());
    for (int i = 0; i < 3; ++i)
        w.click(w.form.controls().zoomOutButton);
    EXPECT_EQ(w.texts(), (QStringList{"40", "-40", "40", "-40"}));
    EXPECT_EQ(w.form.zoomLevel(), -2);
    EXPECT_FALSE(w.form.controls().zoomOutButton->isEnabled());
    EXPECT_TRUE(w.form.controls().zoomInButton->isEnabled());
    EXPECT_EQ(w.form.view().xju1, 1);
    EXPECT_EQ(w.form.view().yju1, 1);
}

TEST(QuorvexZoom, ScalesTowardsTheOriginNotTheMiddle) {
    Window w;
    w.type(w.form.controls().xMinBox, "2");
    w.click(w.form.controls().zoomInButton);
    EXPECT_EQ(w.form.view().xmin, 1);
    EXPECT_EQ(w.form.view().xmax, 5);
    EXPECT_EQ(w.form.controls().xMinBox->text(), "1");
}

TEST(QuorvexZoom, HugeTypedRangesNeverBecomeInfinite) {
    Window w;
    w.type(w.form.controls().xMaxBox, "1e308");
    w.type(w.form.controls().xMinBox, "-1e999");
    w.click(w.form.controls().zoomOutButton);
    EXPECT_TRUE(std::isfinite(w.form.view().xmax));
    EXPECT_TRUE(std::isfinite(w.form.view().xmin));
    EXPECT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("请输入完整的数据！")});
}

TEST(QuorvexGrid, StartUpViewGetsTwentyLinesEachWayNoneAtZero) {
    Window w;
    w.click(w.form.controls().drawGridButton);
    int vertical = 0, horizontal = 0;
    for (const auto& op : w.ops(canvas::SurfaceOp::Kind::Line)) {
        EXPECT_EQ(op.colour, canvas::RGB(192, 192, 192));
        if (op.a == op.c) {
            ++vertical;
            EXPECT_NE(op.a, 0.0f);
            EXPECT_EQ(op.b, 10.0f);
            EXPECT_EQ(op.d, -10.0f);
        } else {
            ++horizontal;
            EXPECT_NE(op.b, 0.0f);
        }
    }
    EXPECT_EQ(vertical, 20);
    EXPECT_EQ(horizontal, 20);
}

TEST(QuorvexGrid, UsesTypedLimitsAndSkipsAZeroSpacing) {
    Window w;
    w.type(w.form.controls().xMaxBox, "5"); // stored at once, not applied
    w.type(w.form.controls().xSpacingBox, "0");
    w.click(w.form.controls().applyRangeButton); // refused: spacing 0 stays stored
    w.surface().clearOperations();
    w.click(w.form.controls().drawGridButton);
    for (const auto& op : w.ops(canvas::SurfaceOp::Kind::Line))
        EXPECT_EQ(op.a, 5.0f); // only horizontal lines, from the typed maximum
    EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Line).size(), 20u);
}

TEST(QuorvexGrid, RemovalReplotsUnlessTheGraphWasCleared) {
    struct Case {
        bool clearGraph;
        bool curveBack;
    };
    for (const Case& c : {Case{false, true}, Case{true, false}}) {
        Window w;
        w.click(w.form.controls().integerFormOption);
        w.type(w.form.controls().mBox, "2");
        w.click(w.form.controls().plotButton);
        if (c.clearGraph)
            w.click(w.form.controls().clearGraphButton);
        w.click(w.form.controls().drawGridButton);
        w.surface().clearOperations();
        w.click(w.form.controls().removeGridButton);
        EXPECT_EQ(!w.curveColours().empty(), c.curveBack);
        EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Cls).size(), 1u);
    }
}

TEST(QuorvexGrid, RemovalRightAfterStartUpPlotsWhateverTheBoxesHold) {
    Window w;
    w.click(w.form.controls().removeGridButton);
    EXPECT_EQ(w.form.plotState(),
              quorvex::PlotState::Plotted); // the plot action ran (with no form chosen it draws nothing)
}

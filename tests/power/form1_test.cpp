#include "power/form1.h"

#include "../support/messagerecorder.h"

#include "runtime/runtime.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using quorvex::Form1;

TEST(QuorvexStartUp, FillsTheRangeBoxesAndDrawsTheFrame) {
    testsupport::MessageRecorder messages;
    Form1 form;
    EXPECT_EQ(form.Text1->text(), "10");
    EXPECT_EQ(form.Text2->text(), "-10");
    EXPECT_EQ(form.Text3->text(), "10");
    EXPECT_EQ(form.Text4->text(), "-10");
    EXPECT_EQ(form.Text7->text(), "1");
    EXPECT_EQ(form.Text8->text(), "1");
    EXPECT_EQ(form.view.xmin, -10);
    EXPECT_EQ(form.view.xmax, 10);
    EXPECT_EQ(form.view.ymin, -10);
    EXPECT_EQ(form.view.ymax, 10);
    EXPECT_EQ(form.view.xju1, 1);
    EXPECT_EQ(form.view.yju1, 1);
    EXPECT_EQ(form.noGraphFlag, 1);
    EXPECT_EQ(form.exponentForm, 0);
    EXPECT_EQ(form.plotState, 0);
    EXPECT_EQ(form.zoomLevel, 0);
    EXPECT_TRUE(messages.messages().empty());

    // Canvas: light yellow with black axes where the mapping puts them.
    const QImage image = form.Picture1->surface().Image();
    EXPECT_EQ(image.size(), QSize(389, 373));
    const QPointF axis = form.Picture1->surface().toPixel(0.001, 0.001);
    EXPECT_EQ(image.pixelColor(30, static_cast<int>(std::lround(axis.y()))), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(static_cast<int>(std::lround(axis.x())), 330), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(30, 30), QColor(255, 255, 192));
}

TEST(QuorvexStartUp, ShowsTheFirstLookOfTheExponentPanel) {
    Form1 form;
    form.show();
    EXPECT_FALSE(form.Text5->isVisible());
    EXPECT_FALSE(form.Text6->isVisible());
    EXPECT_TRUE(form.Label8->isVisible());
    EXPECT_TRUE(form.Label9->isVisible());
    EXPECT_TRUE(form.Image6->isVisible());
    EXPECT_FALSE(form.Image5->isVisible());
    EXPECT_FALSE(form.Image1->isVisible());
    EXPECT_TRUE(form.Image7->isVisible());
    EXPECT_FALSE(form.Image8->isVisible());
    EXPECT_FALSE(form.Line1->isVisible());
    EXPECT_FALSE(form.Line2->isVisible());
    EXPECT_FALSE(form.Label1->isVisible());
    EXPECT_FALSE(form.Option1->isChecked());
    EXPECT_FALSE(form.Option2->isChecked());
    EXPECT_TRUE(form.Command9->isEnabled());
    EXPECT_TRUE(form.Command10->isEnabled());
}

TEST(QuorvexLayout, PlacesControlsAtTheirTwipPositions) {
    Form1 form;
    EXPECT_EQ(form.size(), QSize(740, 494));
    EXPECT_EQ(form.windowTitle(), "Quorvex");
    EXPECT_EQ(form.Picture1->geometry(), QRect(160, 32, 393, 377));
    EXPECT_EQ(form.Command2->geometry(), QRect(16, 248, 57, 25));
    EXPECT_EQ(form.Image7->geometry(), form.Image8->geometry());
    EXPECT_EQ(form.Text1->geometry().topLeft(), QPoint(640, 120));
    EXPECT_EQ(form.Option2->text(), QStringLiteral("分数指数"));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(QuorvexLayout, TabOrderFollowsTheTabIndexes) {
    Form1 form;
    QWidget* expected[] = {form.Picture1, form.Text5,    form.Text6,    form.Command2, form.Command3,
                           form.Command4, form.Text2,    form.Text1,    form.Text4,    form.Text3,
                           form.Command1, form.Option1,  form.Option2,  form.Command5, form.Text7,
                           form.Text8,    form.Command6, form.Command7, form.Command8, form.Command9,
                           form.Command10};
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
    Form1 form;
    Window() {
        form.show();
        form.Picture1->surface().setRecording(true);
    }
    canvas::Surface& surface() { return form.Picture1->surface(); }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    std::vector<canvas::SurfaceOp> ops(canvas::SurfaceOp::Kind kind) const {
        std::vector<canvas::SurfaceOp> out;
        for (const auto& op : form.Picture1->surface().operations())
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
        return {form.Text1->text(), form.Text2->text(), form.Text3->text(), form.Text4->text()};
    }
};

} // namespace

TEST(QuorvexExponentPanel, OptionsSwitchTheFormulaAndTheBoxes) {
    Window w;
    w.click(w.form.Option1);
    EXPECT_EQ(w.form.exponentForm, 1);
    EXPECT_TRUE(w.form.Image5->isVisible());
    EXPECT_FALSE(w.form.Image6->isVisible());
    EXPECT_FALSE(w.form.Image1->isVisible());
    EXPECT_TRUE(w.form.Text5->isVisible());
    EXPECT_FALSE(w.form.Text6->isVisible());
    w.click(w.form.Option2);
    EXPECT_EQ(w.form.exponentForm, 2);
    EXPECT_TRUE(w.form.Image1->isVisible());
    EXPECT_FALSE(w.form.Image5->isVisible());
    EXPECT_TRUE(w.form.Text6->isVisible());
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
        w.click(w.form.Option1);
        w.type(w.form.Text5, QString::fromUtf8(c.text));
        w.click(w.form.Command2);
        EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Line).size(), static_cast<std::size_t>(c.segments))
            << c.text;
        ASSERT_EQ(w.messages.messages().size(), c.messages) << c.text;
        if (c.messages) {
            EXPECT_EQ(w.messages.messages()[0].text, QStringLiteral("m不能为零或空！"));
            EXPECT_TRUE(w.form.Text5->text().isEmpty());
            EXPECT_EQ(w.form.focusWidget(), w.form.Text5);
        }
        // Step 4 of the plot runs whatever happened.
        EXPECT_EQ(w.form.plotState, 1);
        EXPECT_EQ(w.form.noGraphFlag, 0);
    }
}

TEST(QuorvexExponentPanel, FractionalRefusalEmptiesBothBoxesFocusEndingOnN) {
    Window w;
    w.click(w.form.Option2);
    w.type(w.form.Text5, "3");
    w.type(w.form.Text6, "0");
    w.click(w.form.Command2);
    ASSERT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("m, n不能为零或空！")});
    EXPECT_EQ(w.messages.messages()[0].title, QStringLiteral("警告"));
    EXPECT_TRUE(w.form.Text5->text().isEmpty());
    EXPECT_TRUE(w.form.Text6->text().isEmpty());
    EXPECT_EQ(w.form.focusWidget(), w.form.Text6);
}

TEST(QuorvexExponentPanel, PlotBeforeChoosingAFormDrawsNothingButWantsAGraph) {
    Window w;
    w.click(w.form.Command2);
    EXPECT_TRUE(w.ops(canvas::SurfaceOp::Kind::Line).empty());
    EXPECT_EQ(w.form.plotState, 1);
    EXPECT_EQ(w.form.noGraphFlag, 0);
}

TEST(QuorvexExponentPanel, CurvesAccumulateUntilAZoomLeavesOne) {
    Window w;
    w.click(w.form.Option1);
    w.type(w.form.Text5, "2");
    w.click(w.form.Command2);
    w.type(w.form.Text5, "3");
    w.click(w.form.Command2);
    EXPECT_EQ(w.curveColours().size(), 2u);
    w.surface().clearOperations();
    w.click(w.form.Command9);
    EXPECT_EQ(w.curveColours().size(), 1u);
    EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Cls).size(), 1u);
}

TEST(QuorvexExponentPanel, ClearingTheGraphOrTheNumbersStopsTheReplots) {
    Window w;
    w.click(w.form.Option1);
    w.type(w.form.Text5, "2");
    w.click(w.form.Command2);
    w.click(w.form.Command3);
    EXPECT_EQ(w.form.plotState, 3);
    EXPECT_EQ(w.form.noGraphFlag, 1);
    w.click(w.form.Command2);
    w.click(w.form.Command4);
    EXPECT_EQ(w.form.noGraphFlag, 1);
    EXPECT_TRUE(w.form.Text5->text().isEmpty());
    EXPECT_EQ(w.form.exponentForm, 1);
    w.surface().clearOperations();
    w.click(w.form.Command9);
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
        w.type(w.form.Text2, c.xmin);
        w.type(w.form.Text1, c.xmax);
        w.type(w.form.Text4, c.ymin);
        w.type(w.form.Text3, c.ymax);
        w.type(w.form.Text7, c.xju1);
        w.type(w.form.Text8, c.yju1);
        w.surface().clearOperations();
        w.click(w.form.Command1);
        if (c.message) {
            ASSERT_EQ(w.messages.texts(), std::vector<QString>{QString::fromUtf8(c.message)}) << c.xju1;
            EXPECT_EQ(w.messages.messages()[0].icon, canvas::MessageIcon::Exclamation);
        } else {
            EXPECT_TRUE(w.messages.messages().empty());
        }
        EXPECT_EQ(!w.ops(canvas::SurfaceOp::Kind::Scale).empty(), c.framed);
        EXPECT_EQ(w.form.view.xju1, canvas::Val(c.xju1));
        EXPECT_EQ(w.form.view.yju1, canvas::Val(c.yju1));
    }
}

TEST(QuorvexRangePanel, RefusedSpacingShowsOneButKeepsTheTypedValue) {
    Window w;
    w.type(w.form.Text8, "");
    w.click(w.form.Command1);
    EXPECT_EQ(w.form.Text8->text(), "1");
    EXPECT_EQ(w.form.view.yju1, 0);
    EXPECT_TRUE(w.ops(canvas::SurfaceOp::Kind::Cls).empty()); // canvas unchanged
}

TEST(QuorvexRangePanel, RefusedRangeLeavesAnEmptyCanvas) {
    Window w;
    w.type(w.form.Text2, "5");
    w.type(w.form.Text1, "5");
    w.click(w.form.Command1);
    const QImage& image = w.surface().Image();
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            ASSERT_EQ(image.pixelColor(x, y), QColor(255, 255, 192));
}

TEST(QuorvexRangePanel, LimitBoxesStoreAtEveryChangeAndClearEmptiesAllSix) {
    Window w;
    w.type(w.form.Text1, "7");
    EXPECT_EQ(w.form.view.xmax, 7);
    w.type(w.form.Text7, "3");
    EXPECT_EQ(w.form.view.xju1, 1); // spacings store only through apply
    w.click(w.form.Command5);
    for (QLineEdit* box :
         {w.form.Text1, w.form.Text2, w.form.Text3, w.form.Text4, w.form.Text7, w.form.Text8})
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(w.form.view.xmin, 0);
    EXPECT_EQ(w.form.view.ymax, 0);
    EXPECT_TRUE(w.ops(canvas::SurfaceOp::Kind::Cls).empty());
    // Then "清除图象": the degenerate range takes the frame's failure path.
    w.click(w.form.Command3);
    EXPECT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("请输入完整的数据！")});
}

TEST(QuorvexZoom, SweepsBetweenTheTwoLimits) {
    Window w;
    w.click(w.form.Command9);
    EXPECT_EQ(w.texts(), (QStringList{"5", "-5", "5", "-5"}));
    EXPECT_TRUE(w.curveColours().empty());
    w.click(w.form.Option1);
    w.type(w.form.Text5, "2");
    w.click(w.form.Command2);
    w.surface().clearOperations();
    w.click(w.form.Command9);
    EXPECT_EQ(w.texts(), (QStringList{"2.5", "-2.5", "2.5", "-2.5"}));
    EXPECT_FALSE(w.form.Command9->isEnabled());
    const auto lines = w.ops(canvas::SurfaceOp::Kind::Line);
    EXPECT_NEAR(lines.back().c - lines.back().a, 0.2f, 1e-5); // sampling step 1/5
    w.click(w.form.Command10);
    EXPECT_EQ(w.texts(), (QStringList{"5", "-5", "5", "-5"}));
    EXPECT_FALSE(w.form.Command9->isEnabled());
    for (int i = 0; i < 3; ++i)
        w.click(w.form.Command10);
    EXPECT_EQ(w.texts(), (QStringList{"40", "-40", "40", "-40"}));
    EXPECT_EQ(w.form.zoomLevel, -2);
    EXPECT_FALSE(w.form.Command10->isEnabled());
    EXPECT_TRUE(w.form.Command9->isEnabled());
    EXPECT_EQ(w.form.view.xju1, 1);
    EXPECT_EQ(w.form.view.yju1, 1);
}

TEST(QuorvexZoom, ScalesTowardsTheOriginNotTheMiddle) {
    Window w;
    w.type(w.form.Text2, "2");
    w.click(w.form.Command9);
    EXPECT_EQ(w.form.view.xmin, 1);
    EXPECT_EQ(w.form.view.xmax, 5);
    EXPECT_EQ(w.form.Text2->text(), "1");
}

TEST(QuorvexZoom, HugeTypedRangesNeverBecomeInfinite) {
    Window w;
    w.type(w.form.Text1, "1e308");
    w.type(w.form.Text2, "-1e999");
    w.click(w.form.Command10);
    EXPECT_TRUE(std::isfinite(w.form.view.xmax));
    EXPECT_TRUE(std::isfinite(w.form.view.xmin));
    EXPECT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("请输入完整的数据！")});
}

TEST(QuorvexGrid, StartUpViewGetsTwentyLinesEachWayNoneAtZero) {
    Window w;
    w.click(w.form.Command6);
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
    w.type(w.form.Text1, "5"); // stored at once, not applied
    w.type(w.form.Text7, "0");
    w.click(w.form.Command1); // refused: spacing 0 stays stored
    w.surface().clearOperations();
    w.click(w.form.Command6);
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
        w.click(w.form.Option1);
        w.type(w.form.Text5, "2");
        w.click(w.form.Command2);
        if (c.clearGraph)
            w.click(w.form.Command3);
        w.click(w.form.Command6);
        w.surface().clearOperations();
        w.click(w.form.Command7);
        EXPECT_EQ(!w.curveColours().empty(), c.curveBack);
        EXPECT_EQ(w.ops(canvas::SurfaceOp::Kind::Cls).size(), 1u);
    }
}

TEST(QuorvexGrid, RemovalRightAfterStartUpPlotsWhateverTheBoxesHold) {
    Window w;
    w.click(w.form.Command7);
    EXPECT_EQ(w.form.plotState, 1); // the plot action ran (with no form chosen it draws nothing)
}

#include "power/form1.h"

#include "../support/messagerecorder.h"

#include <gtest/gtest.h>

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
    QWidget* expected[] = {form.Picture1, form.Text5, form.Text6, form.Command2, form.Command3, form.Command4,
                           form.Text2, form.Text1, form.Text4, form.Text3, form.Command1, form.Option1,
                           form.Option2, form.Command5, form.Text7, form.Text8, form.Command6, form.Command7,
                           form.Command8, form.Command9, form.Command10};
    auto nextFocusable = [](QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus);
        return w;
    };
    for (std::size_t i = 0; i + 1 < std::size(expected); ++i)
        EXPECT_EQ(nextFocusable(expected[i]), expected[i + 1]) << i;
}

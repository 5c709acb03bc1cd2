#include "widgets/canvaswidget.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

using namespace canvas;

// The pointer over the canvas must show on every platform; off Windows it is a picture that cannot rely on
// inverting, so it has to carry visible pixels of its own: on the cross, and nowhere far from it.
TEST(CrossHairCursor, IsAVisibleCrossWithItsHotSpotAtTheCrossing) {
    ASSERT_NE(QGuiApplication::platformName(), QStringLiteral("windows"));
    const QCursor cursor = crossHairCursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(15, 15));
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    auto dark = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.alpha() == 255 && c.lightness() < 64;
    };
    for (const QPoint p : {QPoint(15, 15), QPoint(6, 15), QPoint(24, 15), QPoint(15, 6), QPoint(15, 24)})
        EXPECT_TRUE(dark(p.x(), p.y())) << p.x() << "," << p.y();
    // A light outline beside each stroke keeps it visible on dark curves.
    for (const QPoint p : {QPoint(10, 14), QPoint(10, 16), QPoint(14, 10), QPoint(16, 10)})
        EXPECT_GT(image.pixelColor(p).lightness(), 192) << p.x() << "," << p.y();
    int visibleFar = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (std::abs(x - 15) > 1 && std::abs(y - 15) > 1)
                visibleFar += image.pixelColor(x, y).alpha() != 0;
    EXPECT_EQ(visibleFar, 0);
}

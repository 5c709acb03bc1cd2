// The canvas on a high-density screen (run with QT_SCALE_FACTOR=2): drawn at the device's pixel density,
// the layout in logical pixels as before, and the saved picture at the canvas's logical size.

#include "power/mainwindow.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(HighDensity, CanvasIsDrawnAtTheDevicePixelDensity) {
    quorvex::MainWindow form;
    form.show();
    const qreal ratio = form.devicePixelRatioF();
    ASSERT_EQ(ratio, 2.0) << "run with QT_SCALE_FACTOR=2";
    EXPECT_EQ(form.size(), QSize(740, 494));
    EXPECT_EQ(form.controls().canvas->geometry(), QRect(160, 32, 393, 377));
    canvas::Surface& surface = form.controls().canvas->surface();
    EXPECT_EQ(surface.size(), QSize(389, 373));
    EXPECT_EQ(surface.Image().size(), QSize(778, 746));

    // The x axis is a crisp line two device pixels thick, not a blurred, scaled-up one.
    const QImage& image = surface.Image();
    const int row = static_cast<int>(std::lround(surface.toPixel(0, 0.001).y()));
    int black = 0;
    for (int y = row - 4; y <= row + 4; ++y) {
        const QColor c = image.pixelColor(60, y);
        if (c == QColor(Qt::black))
            ++black;
        else
            EXPECT_EQ(c, QColor(255, 255, 192)) << y;
    }
    EXPECT_EQ(black, 2);

    // Pointer positions still arrive in user units.
    const QPointF user = form.controls().canvas->userPosition(form.controls().canvas->widgetPosition(3, -2));
    EXPECT_NEAR(user.x(), 3, 0.06);
    EXPECT_NEAR(user.y(), -2, 0.06);

    // The saved picture has the canvas's logical size.
    QTemporaryDir dir;
    EXPECT_TRUE(quorvex::SavePicture(surface.picture(), QDir(dir.path()).filePath("g.BMP")));
    EXPECT_EQ(QImage(QDir(dir.path()).filePath("g.BMP")).size(), QSize(389, 373));
}

#include "naive.h"

#include "runtime/runtime.h"

#include <QFont>

#include <cmath>

namespace naive {

namespace {
struct Mapping {
    const canvas::ViewRange& v;
    QPointF operator()(double x, double y) const {
        return {(x - v.xmin) * kCanvas.width() / (v.xmax - v.xmin),
                (y - v.ymax) * kCanvas.height() / (v.ymin - v.ymax)};
    }
};
} // namespace

QImage canvasImage(int percent) {
    const qreal ratio = percent / 100.0;
    QImage image((QSizeF(kCanvas) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

void setUp(QPainter& p) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(9);
    p.setFont(font);
}

void frame(QPainter& p, const canvas::ViewRange& r) {
    const Mapping map{r};
    const double dx = (r.xmax - r.xmin) / 20, dy = (r.ymax - r.ymin) / 20;
    p.fillRect(QRect(QPoint(0, 0), kCanvas), QColor(255, 255, 192));
    // As on a processor without the vector-state penalty: the numbers below must not pay for the fill.
    canvas::clearVectorState();
    p.setPen(Qt::black);
    p.drawLine(map(r.xmin, 0.001), map(r.xmax - 0.5 * dx, 0.001));
    p.drawLine(map(0.001, r.ymin), map(0.001, r.ymax - 0.5 * dy));
    auto tick = [&](QPointF a, QPointF b, QPointF text, double n) {
        p.drawLine(a, b);
        p.drawText(text + QPointF(0, 10), canvas::Str(n));
        canvas::clearVectorState();
    };
    double n = 0;
    for (double i = 0; i <= r.xmax - 1.2 * r.xju1; i += r.xju1) {
        n += r.xju1;
        tick(map(i + r.xju1, 0), map(i + r.xju1, 0.2 * dy), map(n - 0.3 * dx, 0.05 * dy), n);
    }
    n = 0;
    for (double i = 0; i >= r.xmin; i -= r.xju1) {
        n -= r.xju1;
        tick(map(i - r.xju1, 0), map(i - r.xju1, 0.2 * dy), map(n - 0.3 * dx, 0.05 * dy), n);
    }
    n = 0;
    for (double j = 0; j <= r.ymax - r.yju1; j += r.yju1) {
        n += r.yju1;
        tick(map(0, j + r.yju1), map(0.2 * dx, j + r.yju1), map(-dx, n + 0.3 * dy), n);
    }
    n = 0;
    for (double j = 0; j >= r.ymin; j -= r.yju1) {
        n -= r.yju1;
        tick(map(0, j - r.yju1), map(0.2 * dx, j - r.yju1), map(-dx, n + 0.3 * dy), n);
    }
}

void plot(QPainter& p, const canvas::ViewRange& v, int n) {
    const Mapping map{v};
    p.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
    const double s = 1 / (v.xmax - v.xmin);
    for (double x = v.xmin; x <= v.xmax - s; x += s) {
        double y1 = std::pow(x, n), x2 = x + s, y2 = std::pow(x2, n);
        if (y1 > 10 * v.ymax)
            y1 = v.ymax + s;
        if (y2 > 10 * v.ymax)
            y2 = v.ymax + s;
        if (y1 < 10 * v.ymin)
            y1 = v.ymin - s;
        if (y2 < 10 * v.ymin)
            y2 = v.ymin - s;
        p.drawLine(map(x, y1), map(x2, y2));
        // The next powers come straight after Qt's drawing: clear the state it leaves, as the real routine
        // does, so the baseline measures drawing and not the penalty.
        canvas::clearVectorState();
    }
}

} // namespace naive

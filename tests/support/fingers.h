#pragma once

// Fingers on a touch screen for tests: presses, moves and lifts through Qt's real touch delivery, in the
// pixels of the widget touched.

#include <QPointingDevice>
#include <QTest>
#include <QWidget>

namespace testsupport {

/// The one touch screen of the test run: Qt keeps a device registered until the application ends, so a
/// new one for every test would only pile up.
inline QPointingDevice* touchScreen() {
    static QPointingDevice* const device = QTest::createTouchDevice();
    return device;
}

struct Fingers {
    QPointingDevice* device = touchScreen();

    void down(QWidget* w, QPoint p) { QTest::touchEvent(w, device).press(0, p, w); }
    void move(QWidget* w, QPoint p) { QTest::touchEvent(w, device).move(0, p, w); }
    void up(QWidget* w, QPoint p) { QTest::touchEvent(w, device).release(0, p, w); }
    void tap(QWidget* w, QPoint p) {
        down(w, p);
        up(w, p);
    }
    /// Two fingers at `from` pixels apart about `centre`, moved apart to each distance of `spreads` in turn,
    /// then lifted.
    void pinch(QWidget* w, QPoint centre, int from, std::initializer_list<int> spreads) {
        auto at = [centre](int spread, int side) { return centre + QPoint(side * spread / 2, 0); };
        QTest::touchEvent(w, device).press(0, at(from, -1), w).press(1, at(from, 1), w);
        int last = from;
        for (const int spread : spreads) {
            QTest::touchEvent(w, device).move(0, at(spread, -1), w).move(1, at(spread, 1), w);
            last = spread;
        }
        QTest::touchEvent(w, device).release(0, at(last, -1), w).release(1, at(last, 1), w);
    }
};

} // namespace testsupport

#pragma once

// Windows with curves on them, for the tests that work on what a window has drawn.

#include "expologwindow.h"
#include "power/mainwindow.h"

#include <QWidget>

namespace testsupport {

/// Plots y = x^m in the integer form.
inline void powerCurve(quorvex::MainWindow& f, const char* m) {
    f.controls().integerFormOption->click();
    f.controls().mBox->setText(m);
    f.onPlotClicked();
}

/// A Zelmora or Tavrinth test window that can be held as a widget beside a Quorvex window.
struct ExpLog : QWidget {
    ExpLogWindow w;
    explicit ExpLog(const expolog::Family& family) : w(family) {}
};

} // namespace testsupport

#pragma once

// Windows with curves on them, for the tests that work on what a window has drawn.

#include "expologwindow.h"
#include "power/form1.h"

#include <QWidget>

namespace testsupport {

/// Plots y = x^m in the integer form.
inline void powerCurve(quorvex::Form1& f, const char* m) {
    f.Option1->click();
    f.Text5->setText(m);
    f.Command2_Click();
}

/// A Zelmora or Tavrinth test window that can be held as a widget beside a Quorvex window.
struct ExpLog : QWidget {
    ExpLogWindow w;
    explicit ExpLog(const expolog::Family& family) : w(family) {}
};

} // namespace testsupport

// Runs the tests inside a Qt application on the off-screen platform, with the design fonts mapped and no
// real message box ever shown.

#include "drawing/fonts.h"
#include "scratchsettings.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    canvas::installFontSubstitutions();
    testing_support::useScratchSettings();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#pragma once
// Settings a test run stores (a scale, high contrast) go to a folder of the run's own, removed at its end:
// never to the user's file, where a program started beside the run would pick them up.

#include <QSettings>
#include <QTemporaryDir>

namespace testing_support {

inline void useScratchSettings() {
    static const QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
}

} // namespace testing_support

// Remembering a setting never holds up the window: a burst of changes is written once, later, and a
// settings file too large to read at once is neither read nor written.

#include "runtime/storedsettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kProgram = QStringLiteral("SettingsTest");

struct ScratchSettings {
    QTemporaryDir dir;
    ScratchSettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    QString file() const { return QDir(dir.path()).filePath("function-explorers/" + kProgram + ".conf"); }
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(StoredSettings, ABurstOfChangesTakesEffectAtOnceAndIsWrittenOnceLater) {
    ScratchSettings s;
    const int before = canvas::storedSettingsWrites();
    for (int percent = 100; percent <= 300; percent += 25)
        canvas::storeValue(kProgram, "display/scale", percent);
    EXPECT_EQ(canvas::storedSettingsWrites(), before);
    EXPECT_EQ(canvas::storedValue(kProgram, "display/scale").toInt(), 300);
    canvas::writeStoredSettings();
    EXPECT_EQ(canvas::storedSettingsWrites(), before + 1);
    EXPECT_EQ(QSettings("function-explorers", kProgram).value("display/scale").toInt(), 300);
}

TEST(StoredSettings, AFileTooLargeToReadIsNeitherReadNorWritten) {
    ScratchSettings s;
    QDir(s.dir.path()).mkpath("function-explorers");
    {
        QFile file(s.file());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[display]\nscale=200\n[unknown]\n");
        for (int i = 0; file.size() <= canvas::kLargestSettingsFile; ++i)
            file.write("key" + QByteArray::number(i) + "=value\n");
    }
    const QByteArray large = contents(s.file());
    EXPECT_FALSE(canvas::storedValue(kProgram, "display/scale").isValid());
    canvas::storeValue(kProgram, "display/scale", 150);
    canvas::writeStoredSettings();
    EXPECT_EQ(contents(s.file()), large);
}

#include "runtime/storedsettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QSettings>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#include <map>
#include <set>
#include <utility>

namespace canvas {

namespace {

const QString kOrganization = QStringLiteral("function-explorers");
// A burst of changes (a scale key held down) ends in one write this long after its last change.
constexpr int kWriteDelayMs = 500;

using Values = std::map<QString, std::map<QString, QVariant>>; // program -> key -> value

struct Pending {
    Values values;
    bool scheduled = false;
    bool atExit = false;
};

Pending& pending() {
    static Pending p;
    return p;
}

// Writes run one at a time, in the order they were handed over.
QMutex& writing() {
    static QMutex mutex;
    return mutex;
}

QAtomicInt& writes() {
    static QAtomicInt count;
    return count;
}

// The program's file, found without reading it: QSettings reads its whole file when it is made.
QString settingsPath(const QString& program) {
    const QSettings folder(QSettings::NativeFormat, QSettings::UserScope, kOrganization);
    QString path = folder.fileName();
    path.chop(QStringLiteral(".conf").size());
    return path + QLatin1Char('/') + program + QStringLiteral(".conf");
}

// A file over the limit is never parsed; the first time it is met, one line says so.
bool tooLarge(const QString& program) {
    static std::set<QString> told;
    const QFileInfo file(settingsPath(program));
    if (!file.exists() || file.size() <= kLargestSettingsFile)
        return false;
    if (told.insert(program).second)
        std::fprintf(stderr,
                     "%s: the settings file %s is over %lld bytes; it is left as it is and the program "
                     "starts with its defaults\n",
                     qPrintable(program), qPrintable(file.filePath()), kLargestSettingsFile);
    return true;
}

void write(const Values& values) {
    const QMutexLocker lock(&writing());
    for (const auto& [program, keys] : values) {
        if (tooLarge(program))
            continue;
        QSettings settings(kOrganization, program);
        for (const auto& [key, value] : keys)
            settings.setValue(key, value);
        settings.sync();
        writes().fetchAndAddRelaxed(1);
    }
}

// Hands what is pending to a thread of the pool, so a slow disk holds up no key press.
void writeSoon() {
    Values values = std::exchange(pending().values, {});
    pending().scheduled = false;
    QThreadPool::globalInstance()->start([values = std::move(values)] { write(values); });
}

} // namespace

QVariant storedValue(const QString& program, const QString& key) {
    const auto stored = pending().values.find(program);
    if (stored != pending().values.end()) {
        const auto value = stored->second.find(key);
        if (value != stored->second.end())
            return value->second;
    }
    const QMutexLocker lock(&writing());
    if (tooLarge(program))
        return {};
    return QSettings(kOrganization, program).value(key);
}

void storeValue(const QString& program, const QString& key, const QVariant& value) {
    Pending& p = pending();
    p.values[program][key] = value;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        writeStoredSettings();
        return;
    }
    if (!p.atExit) {
        p.atExit = true;
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, &writeStoredSettings);
    }
    if (!p.scheduled) {
        p.scheduled = true;
        QTimer::singleShot(kWriteDelayMs, app, [] {
            if (pending().scheduled)
                writeSoon();
        });
    }
}

void writeStoredSettings() {
    Values values = std::exchange(pending().values, {});
    pending().scheduled = false;
    QThreadPool::globalInstance()->waitForDone();
    write(values);
}

int storedSettingsWrites() {
    return writes().loadRelaxed();
}

} // namespace canvas

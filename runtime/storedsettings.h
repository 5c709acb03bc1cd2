#pragma once

// What a program remembers between runs (its display scale, say), in its settings file. Storing never
// blocks the window: a value takes effect at once and is written later, off the window's thread, one write
// for a burst of changes, and the last one when the program ends. A settings file too large to read at
// once is neither read nor written: the program starts with its defaults and says so once.

#include <QString>
#include <QVariant>

namespace canvas {

/// Settings files above this size are left alone.
inline constexpr qint64 kLargestSettingsFile = 1 << 20;

/// The value stored for `program` under `key`: the one stored in this run if it is not written yet, else
/// the one in the file; an invalid value when there is none or the file is left alone.
QVariant storedValue(const QString& program, const QString& key);

/// Remembers the value for the program's next run; the file is written soon after, not now.
void storeValue(const QString& program, const QString& key, const QVariant& value);

/// Writes what is stored and not written yet, and returns once it is on disk (at the end of the program).
void writeStoredSettings();

/// How many times a settings file has been written in this run; for tests.
int storedSettingsWrites();

} // namespace canvas

#pragma once

// The lesson as a file: UTF-8 JSON that names its format version and the program it belongs to, then the
// view, the grid, the two switches and the curves in the order they were drawn. Nothing of the machine it
// was made on (scale, full screen) is in it. Reading checks everything before anything is used: a file
// that is not a good lesson of this program is refused with the reason, and nothing of it is kept.

#include "curves/lesson.h"

#include <QByteArray>
#include <QString>

#include <variant>

namespace canvas {

/// The format version this program writes, and the newest it reads.
constexpr int kLessonFormat = 1;
/// The largest file and the most curves a lesson may hold.
constexpr qint64 kLessonMaxBytes = 1024 * 1024;
constexpr std::size_t kLessonMaxCurves = 1000;
/// The extension of lesson files, for all three programs.
inline const QString kLessonExtension = QStringLiteral("kejian");

/// Why a file was not taken as a lesson.
enum class LessonRefusal {
    NotLesson,  ///< not JSON, or cut short
    WrongShape, ///< a field missing or of the wrong type
    BadNumber,  ///< a value that is not finite, out of range, or a curve that cannot be drawn
    BadView,    ///< a range the range panel would refuse
    TooManyCurves,
    TooLarge,
    NewerFormat,
    OtherProgram, ///< a good lesson of another of the programs
    Folder,
    Unreadable,
};

/// A lesson refused, with the program it belongs to when it is another's.
struct LessonRefused {
    LessonRefusal reason;
    QString program;
};

/// The file's bytes for a lesson of `program`. The same lesson always gives the same bytes.
QByteArray writeLesson(const Lesson& lesson, const QString& program);

/// The lesson in `bytes`, when it is a good one of `program`.
std::variant<Lesson, LessonRefused> readLesson(const QByteArray& bytes, const QString& program);

/// The lesson in the file at `path`: a folder, an unreadable or too large file is refused as such.
std::variant<Lesson, LessonRefused> readLessonFile(const QString& path, const QString& program);

/// The warning for a refused file, in Chinese: why it is not opened.
QString refusalText(const LessonRefused& refused);

} // namespace canvas

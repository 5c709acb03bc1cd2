#pragma once

// Writing the canvas picture to a BMP file so that the user's files are respected: an older file of the
// same name is replaced only by a complete new one and keeps its permissions, a read-only file is never
// replaced (not even by an administrator), and a failure comes back with its reason so it can be told.

#include <QImage>
#include <QString>

namespace quorvex {

/// How a save ended.
enum class SaveOutcome {
    Saved,
    FolderMissing,
    NameNotAllowed,
    ReadOnlyFile,
    FolderNotWritable,
    DiskFull,
    WriteFailed
};

/// Writes the picture as a BMP file at the path and says how it went; on any failure the file system is
/// left as it was.
SaveOutcome writePictureFile(const QImage& picture, const QString& path);

/// The reason of a failed save in plain words, for the warning shown to the pupil.
QString saveFailureText(SaveOutcome outcome);

} // namespace quorvex

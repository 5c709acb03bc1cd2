#pragma once

// Writing a file the user asked for (a picture, a sound) so that the user's files are respected: the whole
// content is written to a temporary file beside the target, every write, the sync, the close and the rename
// are checked, and only a complete file replaces an older one of that name, keeping its permissions. A
// read-only file is never replaced, not even by an administrator. Any failure leaves the older file byte for
// byte as it was and no new file behind, and comes back with its reason so it can be told.

#include <QByteArray>
#include <QString>

namespace canvas {

/// How a save ended.
enum class SaveOutcome {
    Saved,
    FolderMissing,
    NameNotAllowed,
    NameIsFolder,
    ReadOnlyFile,
    FolderNotWritable,
    DiskFull,
    WriteFailed
};

/// Writes `bytes` as the file at `path` and says how it went; on any failure the file system is left as it
/// was.
SaveOutcome saveFile(const QString& path, const QByteArray& bytes);

/// Writes as on a file system without anonymous temporary files (a USB stick), where a save's temporary
/// file has a name until it replaces the target; for tests.
void setAnonymousTemporaryFiles(bool allowed);

/// The reason of a failed save as one Chinese sentence ("磁盘已满。"), for the warnings shown to the pupil;
/// empty for a save that succeeded.
QString saveFailureReason(SaveOutcome outcome);

} // namespace canvas

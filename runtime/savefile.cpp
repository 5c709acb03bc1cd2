#include "runtime/savefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <climits>

#include <sys/statvfs.h>
#include <unistd.h>

namespace canvas {

namespace {

bool writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

qint64 freeBytes(const QString& folder) {
    struct statvfs info {};
    if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
}

// What the system said when a step of the write failed, in the words of the outcomes.
SaveOutcome failureOf(int error, const QString& folder, qint64 needed) {
    if (error == EROFS || error == EACCES || error == EPERM)
        return SaveOutcome::FolderNotWritable;
    if (error == ENAMETOOLONG || error == EINVAL || error == EILSEQ)
        return SaveOutcome::NameNotAllowed;
    if (error == ENOENT || error == ENOTDIR)
        return SaveOutcome::FolderMissing;
    // The partial file is gone by now, so the space left is what the folder really offers.
    const qint64 space = freeBytes(folder);
    if (error == ENOSPC || error == EDQUOT || (space >= 0 && space < needed))
        return SaveOutcome::DiskFull;
    return SaveOutcome::WriteFailed;
}

} // namespace

SaveOutcome saveFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return SaveOutcome::FolderMissing;
    if (target.fileName().isEmpty() || QFile::encodeName(target.fileName()).size() > NAME_MAX)
        return SaveOutcome::NameNotAllowed;
    if (target.isDir())
        return SaveOutcome::NameIsFolder;

    // A file without write permission for its owner is read-only: the pupil or the teacher protected it
    // on purpose. The system administrator could replace it, but a save must not silently undo that
    // protection, so it is refused for everyone alike.
    const bool replacing = target.exists();
    const QFileDevice::Permissions keep = replacing ? target.permissions() : QFileDevice::Permissions();
    if (!writable(folder))
        return SaveOutcome::FolderNotWritable;
    if (replacing && (!(keep & QFileDevice::WriteOwner) || !writable(path)))
        return SaveOutcome::ReadOnlyFile;

    // Each step is checked on its own. The file buffers what it is given, so a small file reaches the disk
    // only at the flush; the rename at commit does not look at whether that flush went through, and would
    // put an empty file in place of the older one on a full disk.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failureOf(errno, folder, bytes.size());
    errno = 0;
    bool written = file.write(bytes) == bytes.size() && file.flush();
    if (written && ::fsync(file.handle()) != 0 && errno != EINVAL)
        written = false; // a file system that cannot sync (EINVAL) has nothing left to write
    const int error = errno;
    if (!written) {
        file.cancelWriting();
        return failureOf(error, folder, bytes.size());
    }
    if (replacing && !file.setPermissions(keep)) {
        file.cancelWriting();
        return SaveOutcome::WriteFailed;
    }
    errno = 0;
    if (!file.commit())
        return failureOf(errno, folder, bytes.size());
    return SaveOutcome::Saved;
}

QString saveFailureReason(SaveOutcome outcome) {
    switch (outcome) {
    case SaveOutcome::Saved:
        return {};
    case SaveOutcome::FolderMissing:
        return QStringLiteral("这个文件夹不存在。");
    case SaveOutcome::NameNotAllowed:
        return QStringLiteral("这个文件名不能用，请换一个名字。");
    case SaveOutcome::NameIsFolder:
        return QStringLiteral("这个名字已经是一个文件夹的名字，请换一个名字。");
    case SaveOutcome::ReadOnlyFile:
        return QStringLiteral("同名的文件是只读的，不能覆盖。");
    case SaveOutcome::FolderNotWritable:
        return QStringLiteral("这个文件夹不允许写入。");
    case SaveOutcome::DiskFull:
        return QStringLiteral("磁盘已满。");
    case SaveOutcome::WriteFailed:
        break;
    }
    return QStringLiteral("写入文件时出错。");
}

} // namespace canvas

#include "picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <climits>

#include <sys/statvfs.h>
#include <unistd.h>

namespace quorvex {

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

} // namespace

SaveOutcome writePictureFile(const QImage& picture, const QString& path) {
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return SaveOutcome::FolderMissing;
    if (target.fileName().isEmpty() || QFile::encodeName(target.fileName()).size() > NAME_MAX ||
        target.isDir())
        return SaveOutcome::NameNotAllowed;

    // A file without write permission for its owner is read-only: the pupil or the teacher protected it
    // on purpose. The system administrator could replace it, but a save must not silently undo that
    // protection, so it is refused for everyone alike.
    const bool replacing = target.exists();
    const QFileDevice::Permissions keep = replacing ? target.permissions() : QFileDevice::Permissions();
    if (!writable(folder))
        return SaveOutcome::FolderNotWritable;
    if (replacing && (!(keep & QFileDevice::WriteOwner) || !writable(path)))
        return SaveOutcome::ReadOnlyFile;

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP"))
        return SaveOutcome::WriteFailed;

    // Written to a temporary file beside the target and renamed over it only when complete, so a full disk
    // or a vanished folder never costs the pupil a picture saved earlier under the same name.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return SaveOutcome::WriteFailed;
    int writeError = 0;
    if (file.write(bytes) != bytes.size()) {
        writeError = errno;
        file.cancelWriting();
    } else if (replacing && !file.setPermissions(keep)) {
        file.cancelWriting();
        return SaveOutcome::WriteFailed;
    }
    if (writeError == 0 && file.commit())
        return SaveOutcome::Saved;
    if (writeError == 0)
        writeError = errno;
    // The partial file is gone by now, so the space left is what the folder really offers.
    const qint64 space = freeBytes(folder);
    if (writeError == ENOSPC || writeError == EDQUOT || (space >= 0 && space < bytes.size()))
        return SaveOutcome::DiskFull;
    return SaveOutcome::WriteFailed;
}

QString saveFailureText(SaveOutcome outcome) {
    switch (outcome) {
    case SaveOutcome::Saved:
        return {};
    case SaveOutcome::FolderMissing:
        return QStringLiteral("图象没有保存：这个文件夹不存在。");
    case SaveOutcome::NameNotAllowed:
        return QStringLiteral("图象没有保存：这个文件名不能用，请换一个名字。");
    case SaveOutcome::ReadOnlyFile:
        return QStringLiteral("图象没有保存：同名的文件是只读的，不能覆盖。");
    case SaveOutcome::FolderNotWritable:
        return QStringLiteral("图象没有保存：这个文件夹不允许写入。");
    case SaveOutcome::DiskFull:
        return QStringLiteral("图象没有保存：磁盘已满。");
    case SaveOutcome::WriteFailed:
        break;
    }
    return QStringLiteral("图象没有保存：写入文件时出错。");
}

} // namespace quorvex

#include "runtime/savefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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
    const qint64 space = freeBytes(folder);
    if (error == ENOSPC || error == EDQUOT || (space >= 0 && space < needed))
        return SaveOutcome::DiskFull;
    return SaveOutcome::WriteFailed;
}

} // namespace

namespace {

bool anonymousTemporaries = true;

// A temporary file of a save is ".graph.png.1234.explorer-tmp": hidden, named after its target and the
// process writing it. Where the file system offers no anonymous files (a USB stick), a save that is killed
// half way leaves one behind; the next save of the same target knows it as its own and removes it.
constexpr char kTemporaryMark[] = ".explorer-tmp";
constexpr int kMarkLength = sizeof kTemporaryMark - 1;
constexpr int kPidDigits = 10;

QByteArray temporaryPrefix(const QByteArray& name) {
    return '.' + name.left(NAME_MAX - 2 - kPidDigits - kMarkLength) + '.';
}

QByteArray temporaryName(const QByteArray& prefix) {
    return prefix + QByteArray::number(static_cast<qint64>(::getpid())) + kTemporaryMark;
}

// Removes what an earlier save of the same target left when it was killed: only files of exactly the
// temporary pattern whose process is gone (or is this one: saves do not overlap within a program).
void removeStaleTemporaries(const QByteArray& folder, const QByteArray& prefix) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(kTemporaryMark))
            continue;
        const QByteArray digits = name.mid(prefix.size(), name.size() - prefix.size() - kMarkLength);
        bool number = false;
        const qint64 pid = digits.toLongLong(&number);
        if (!number || pid <= 0 || QByteArray::number(pid) != digits)
            continue;
        if (pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM))
            continue; // another running program is saving this very file
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// One save in progress: the open temporary file, and its name once it has one. Whatever is not renamed
// over the target in the end is removed.
class TemporaryFile {
public:
    TemporaryFile(const QByteArray& folder, const QByteArray& prefix) : folder_(folder), prefix_(prefix) {
        if (anonymousTemporaries)
            fd_ = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            name_ = folder + '/' + temporaryName(prefix);
            fd_ = ::open(name_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0)
                name_.clear();
        }
    }
    ~TemporaryFile() { discard(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }

    /// Closes and removes the file, keeping errno as the failure left it.
    void discard() {
        const int error = errno;
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
        if (!name_.isEmpty())
            ::unlink(std::exchange(name_, QByteArray()).constData());
        errno = error;
    }

    /// Gives an anonymous file its temporary name, closes it and renames it over `target`.
    bool replace(const QByteArray& target) {
        if (name_.isEmpty()) {
            const QByteArray name = folder_ + '/' + temporaryName(prefix_);
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) != 0)
                return false;
            name_ = name;
        }
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 || ::rename(name_.constData(), target.constData()) != 0)
            return false;
        name_.clear();
        // The rename itself reaches the disk with the folder; a folder that cannot sync has no more to do.
        const int folder = ::open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return true;
    }

private:
    QByteArray folder_;
    QByteArray prefix_;
    QByteArray name_;
    int fd_ = -1;
};

} // namespace

void setAnonymousTemporaryFiles(bool allowed) {
    anonymousTemporaries = allowed;
}

SaveOutcome saveFile(const QString& path, const QByteArray& bytes) {
    QFileInfo target(path);
    // A link is followed, so that the file it names is replaced and the link stays.
    if (target.isSymLink() && QFileInfo::exists(target.symLinkTarget()))
        target = QFileInfo(target.symLinkTarget());
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
    const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());
    struct stat older {};
    const bool replacing = ::stat(targetPath.constData(), &older) == 0;
    if (!writable(folder))
        return SaveOutcome::FolderNotWritable;
    if (replacing && (!(older.st_mode & S_IWUSR) || !writable(target.absoluteFilePath())))
        return SaveOutcome::ReadOnlyFile;

    // Each step is checked on its own: every write, the sync, the close and the rename. Only a file that
    // is complete on the disk takes the place of the older one.
    const QByteArray folderPath = QFile::encodeName(folder);
    const QByteArray prefix = temporaryPrefix(QFile::encodeName(target.fileName()));
    removeStaleTemporaries(folderPath, prefix);
    TemporaryFile file(folderPath, prefix);
    // The failure is read once the temporary file is gone, so the space left is what the folder offers.
    const auto failed = [&] {
        file.discard();
        return failureOf(errno, folder, bytes.size());
    };
    if (file.fd() < 0)
        return failed();
    if (!writeAll(file.fd(), bytes))
        return failed();
    // A file system that cannot sync (EINVAL) has nothing left to write.
    if (::fsync(file.fd()) != 0 && errno != EINVAL)
        return failed();
    if (replacing && ::fchmod(file.fd(), older.st_mode & 07777) != 0)
        return failed();
    if (!file.replace(targetPath))
        return failed();
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

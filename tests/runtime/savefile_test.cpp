// Where the file system has no anonymous temporary files, a save that was killed half way leaves its named
// temporary file beside the target; the next save of that target removes it, and nothing that another
// save in progress or the user made.

#include "runtime/savefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The number of a process that has ended.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(SaveFile, WithoutAnonymousFilesTheNextSaveRemovesOnlyItsOwnStaleTemporary) {
    canvas::setAnonymousTemporaryFiles(false);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString ended = QString::number(endedProcess());
    const QStringList kept{
        ".graph.png.1.explorer-tmp",             // a save of a running program
        ".other.png." + ended + ".explorer-tmp", // another target's
        ".graph.png.backup",
        "graph.png.SBsPBe", // not the program's
        ".graph.png.12x.explorer-tmp",
    };
    for (const QString& name : kept)
        writeFile(folder.filePath(name), "keep");
    writeFile(folder.filePath(".graph.png." + ended + ".explorer-tmp"), "stale");
    EXPECT_EQ(canvas::saveFile(folder.filePath("graph.png"), "picture"), canvas::SaveOutcome::Saved);
    canvas::setAnonymousTemporaryFiles(true);
    QStringList expected = kept;
    expected << "graph.png";
    expected.sort();
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    QFile saved(folder.filePath("graph.png"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "picture");
}

// Where the file system has no anonymous temporary files, a save that was killed half way leaves its named
// temporary file beside the target; the next save of that target removes it, and nothing that another
// save in progress or the user made. A save through a link replaces the file it names.

#include "runtime/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
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

// A pupil's folder may hold a link to the class's picture: saving through it writes the picture the link
// names and leaves the link a link, with or without anonymous temporary files; a read-only picture behind a
// link is refused and kept; a link to nothing becomes the picture itself.
TEST(SaveFile, ThroughALinkTheFileItNamesIsReplacedAndTheLinkStays) {
    struct Case {
        const char* name;
        bool anonymous;
        bool readOnly;
        bool dangling;
        canvas::SaveOutcome outcome;
    };
    const Case cases[] = {
        {"link", true, false, false, canvas::SaveOutcome::Saved},
        {"link, named temporaries", false, false, false, canvas::SaveOutcome::Saved},
        {"link to a read-only file", true, true, false, canvas::SaveOutcome::ReadOnlyFile},
        {"link to nothing", true, false, true, canvas::SaveOutcome::Saved},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        const QString picture = folder.filePath("class.png"), link = folder.filePath("mine.png");
        if (!c.dangling)
            writeFile(picture, "older");
        ASSERT_TRUE(QFile::link(picture, link));
        if (c.readOnly)
            ::chmod(QFile::encodeName(picture).constData(), 0444);
        canvas::setAnonymousTemporaryFiles(c.anonymous);
        EXPECT_EQ(canvas::saveFile(link, "newer"), c.outcome) << c.name;
        canvas::setAnonymousTemporaryFiles(true);
        QFile named(c.dangling ? link : picture);
        ASSERT_TRUE(named.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(named.readAll(), c.outcome == canvas::SaveOutcome::Saved ? "newer" : "older") << c.name;
        EXPECT_EQ(QFileInfo(link).isSymLink(), !c.dangling) << c.name;
        EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden | QDir::System).size(), c.dangling ? 1 : 2)
            << c.name << ": no temporary file left";
    }
}

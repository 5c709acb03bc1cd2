// Saving over an existing file respects what the user set on it: the replaced file keeps its permissions,
// and a read-only file is refused with a warning and left byte for byte as it was, also when the program
// runs as root. When the tests run as root, the saves an ordinary user meets are run once more in a child
// process that has become the unprivileged user "nobody".

#include "classroom/canvascommands.h"
#include "power/mainwindow.h"
#include "power/picturefile.h"

#include "../support/fakeexportdialogs.h"
#include "../support/messagerecorder.h"
#include "../support/savingwindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& file) {
    struct stat info {};
    ::stat(QFile::encodeName(file).constData(), &info);
    return info.st_mode & 07777;
}

using Dialog = testsupport::SavingWindow;
using testsupport::contents;

// Saves "graph", gives the file `mode`, then saves another curve over it under the same name. Gives the
// file's path and what it held before the second save.
struct Replaced {
    QString file;
    QByteArray older;
};
Replaced saveOverFileWithMode(Dialog& d, const QString& folder, mode_t mode) {
    d.save("graph");
    const QString file = QDir(folder).filePath("graph.BMP");
    EXPECT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
    const QByteArray older = contents(file);
    d.plotCurve("3");
    d.save("graph");
    return {file, older};
}

} // namespace

TEST(SavePermissions, ReplacingAFileKeepsItsPermissions) {
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664), mode_t(0666), mode_t(0700)}) {
        SCOPED_TRACE(mode);
        QTemporaryDir dir;
        Dialog d(dir.path());
        const auto [file, older] = saveOverFileWithMode(d, dir.path(), mode);
        EXPECT_NE(contents(file), older);
        EXPECT_EQ(modeOf(file), mode);
        EXPECT_TRUE(d.messages.messages().empty());
    }
}

TEST(SavePermissions, AReadOnlyFileIsRefusedAndStaysByteIdentical) {
    for (const mode_t mode : {mode_t(0444), mode_t(0400), mode_t(0555), mode_t(0044)}) {
        SCOPED_TRACE(mode);
        QTemporaryDir dir;
        Dialog d(dir.path());
        const auto [file, older] = saveOverFileWithMode(d, dir.path(), mode);
        EXPECT_EQ(contents(file), older);
        EXPECT_EQ(modeOf(file), mode);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.BMP"});
        ASSERT_EQ(d.messages.messages().size(), 1u);
        const testsupport::RecordedMessage& warning = d.messages.messages().front();
        EXPECT_EQ(warning.text, QStringLiteral("图象没有保存：同名的文件是只读的，不能覆盖。"));
        EXPECT_EQ(warning.title, QStringLiteral("警告"));
        EXPECT_EQ(warning.icon, canvas::MessageIcon::Exclamation);
        // The rest of the dialog is as after any save: the path of the attempt, the name kept.
        EXPECT_EQ(d.dialog->controls().pathBox->text(), file);
        EXPECT_EQ(d.dialog->controls().nameBox->text(), QStringLiteral("graph"));
    }
}

TEST(SavePermissions, EachFailureNamesItsReason) {
    QTemporaryDir dir;
    Dialog d(dir.path());
    struct Case {
        QString name;
        quorvex::SaveOutcome outcome;
    };
    const Case cases[] = {
        {QStringLiteral("missing/graph"), quorvex::SaveOutcome::FolderMissing},
        {QString(300, u'n'), quorvex::SaveOutcome::NameNotAllowed},
        {QString(85, u'图'), quorvex::SaveOutcome::NameNotAllowed}, // 255 bytes and ".BMP" are too long
        {QStringLiteral("graph"), quorvex::SaveOutcome::Saved},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        d.messages.clear();
        d.save(c.name);
        EXPECT_EQ(d.messages.texts(), c.outcome == quorvex::SaveOutcome::Saved
                                          ? std::vector<QString>{}
                                          : std::vector<QString>{quorvex::saveFailureText(c.outcome)});
    }
    // A folder of that name is not a file that may be replaced.
    QDir(dir.path()).mkdir("taken.BMP");
    EXPECT_EQ(quorvex::writePictureFile(d.form.controls().canvas->surface().picture(),
                                        QDir(dir.path()).filePath("taken.BMP")),
              quorvex::SaveOutcome::NameIsFolder);
}

namespace {

// The saves an ordinary user meets, each in a fresh folder: a replaced file keeps its mode; a read-only file,
// or a file in a folder without write permission, is refused with its reason and left as it was, and a new
// name in that folder is refused too. Only a program that checks the permissions itself passes these
// (renaming a new file over an old one needs no permission on the old one), and only as a user the kernel
// holds to them.
void expectAnOrdinaryUsersSaves() {
    const QString readOnly = quorvex::saveFailureText(quorvex::SaveOutcome::ReadOnlyFile);
    const QString notWritable = quorvex::saveFailureText(quorvex::SaveOutcome::FolderNotWritable);
    struct Case {
        mode_t file;
        mode_t folder;
        std::vector<QString> messages; // of saving over "graph", then as "other"
    };
    const Case cases[] = {
        {0644, 0755, {}},
        {0444, 0755, {readOnly}},
        {0400, 0755, {readOnly}},
        {0644, 0555, {notWritable, notWritable}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << "file " << c.file << ", folder " << c.folder);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        Dialog d(dir.path());
        d.save("graph");
        const QString file = QDir(dir.path()).filePath("graph.BMP");
        const QByteArray folder = QFile::encodeName(dir.path());
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), c.file), 0);
        ASSERT_EQ(::chmod(folder.constData(), c.folder), 0);
        const QByteArray older = contents(file);
        d.plotCurve("3");
        d.save("graph");
        d.save("other");
        ::chmod(folder.constData(), 0755);
        EXPECT_EQ(contents(file) != older, c.messages.empty());
        EXPECT_EQ(modeOf(file), c.file);
        EXPECT_EQ(QFile::exists(QDir(dir.path()).filePath("other.BMP")), (c.folder & S_IWUSR) != 0);
        EXPECT_EQ(d.messages.texts(), c.messages);
    }
}

// Export treats a read-only file as the save dialog does, for root and for an ordinary user alike: refused
// with the same reason, left as it was.
void expectExportRefusesAReadOnlyFile() {
    testsupport::MessageRecorder messages;
    testsupport::FakeExportDialogs dialogs;
    quorvex::MainWindow form;
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath("graph.pdf");
    dialogs.answer(file);
    canvas::exportCanvas(&form, form.controls().canvas);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    const QByteArray older = contents(file);
    form.controls().integerFormOption->click();
    form.controls().mBox->setText("3");
    form.onPlotClicked();
    canvas::exportCanvas(&form, form.controls().canvas);
    EXPECT_EQ(messages.texts(), std::vector<QString>{canvas::exportFailureText(
                                    file, canvas::saveFailureReason(canvas::SaveOutcome::ReadOnlyFile))});
    EXPECT_EQ(contents(file), older);
    EXPECT_EQ(modeOf(file), mode_t(0444));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.pdf"});
}

} // namespace

TEST(SavePermissions, ExportOverAReadOnlyFileIsRefused) {
    expectExportRefusesAReadOnlyFile();
}

// Root may write over any file and into any folder, so as root the child process gives up root for the
// unprivileged user before it saves. It runs from the test process itself, not a new program: the tests
// may be built where only root can reach them (a clone in root's home).
TEST(SavePermissions, AsUnprivilegedUser) {
    if (::geteuid() != 0) {
        expectAnOrdinaryUsersSaves();
        expectExportRefusesAReadOnlyFile();
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0)
        GTEST_SKIP() << "no unprivileged user to save as";
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 || ::geteuid() == 0) {
            std::perror("cannot become the unprivileged user");
            std::_Exit(2);
        }
        // The building user's temporary folder may be out of this user's reach; every user may write here.
        qputenv("TMPDIR", "/tmp");
        expectAnOrdinaryUsersSaves();
        expectExportRefusesAReadOnlyFile();
        std::fflush(nullptr);
        // The failures were reported as they happened; the parent's Qt and test state is not the child's to
        // tear down.
        std::_Exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged child ended by signal " << WTERMSIG(status);
    const int code = WEXITSTATUS(status);
    EXPECT_EQ(code, 0) << "the unprivileged child's failures are listed above";
}

// Saving over an existing file respects what the user set on it: the replaced file keeps its permissions,
// and a read-only file is refused with a warning and left byte for byte as it was, also when the program
// runs as root. ctest runs these once as the building user and once, through runuser, as an unprivileged
// one.

#include "power/form1.h"
#include "power/picturefile.h"

#include "../support/messagerecorder.h"
#include "../support/savingwindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
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
        EXPECT_EQ(d.dialog->Text2->text(), file);
        EXPECT_EQ(d.dialog->Text1->text(), QStringLiteral("graph"));
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
    EXPECT_EQ(quorvex::writePictureFile(d.form.Picture1->surface().picture(),
                                        QDir(dir.path()).filePath("taken.BMP")),
              quorvex::SaveOutcome::NameIsFolder);
}

TEST(SavePermissions, AFolderWithoutWritePermissionIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into any folder; runs as the unprivileged user";
    QTemporaryDir dir;
    Dialog d(dir.path());
    d.save("graph");
    const QString file = QDir(dir.path()).filePath("graph.BMP");
    const QByteArray older = contents(file);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    d.plotCurve("3");
    d.save("graph");
    d.save("other");
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(contents(file), older);
    const QString notWritable = quorvex::saveFailureText(quorvex::SaveOutcome::FolderNotWritable);
    EXPECT_EQ(d.messages.texts(), (std::vector<QString>{notWritable, notWritable}));
}

// Saving the picture when the file system misbehaves: a full disk (the write stops part way through), a
// read-only folder, odd names. Every failure is silent and leaves an older file of that name whole. The
// full and read-only file systems are small tmpfs mounts, which need root; elsewhere those cases skip.

#include "power/form1.h"

#include "../support/messagerecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/mount.h>

namespace {

class ScratchMount {
public:
    explicit ScratchMount(const char* size) {
        const QByteArray options = QByteArray("size=") + size;
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0,
                           options.constData()) == 0;
    }
    ~ScratchMount() {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    bool makeReadOnly() {
        return ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Saving {
    testsupport::MessageRecorder messages;
    quorvex::Form1 form;
    quorvex::Form2* dialog = nullptr;
    explicit Saving(const QString& folder) {
        form.Command8_Click();
        dialog = form.saveDialog();
        dialog->Dir1->setPath(folder);
    }
    void save(const QString& name) {
        dialog->Text1->setText(name);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    }
    void changePicture() {
        form.Option1->click();
        form.Text5->setText("2");
        form.Command2_Click();
    }
};

} // namespace

TEST(SaveFaults, AFullDiskStopsTheWritePartWayAndKeepsTheOlderFile) {
    ScratchMount disk("640k"); // room for one picture (about 436 KB) but not for a second beside it
    if (!disk.mounted())
        GTEST_SKIP() << "needs root to mount a small file system";
    Saving s(disk.path());
    s.save("graph");
    const QString file = QDir(disk.path()).filePath("graph.BMP");
    const QByteArray older = contents(file);
    ASSERT_GT(older.size(), 400000);
    s.changePicture();
    s.save("graph");
    EXPECT_EQ(contents(file), older);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.BMP"});
    EXPECT_TRUE(s.messages.messages().empty());
}

TEST(SaveFaults, AReadOnlyFolderKeepsTheOlderFile) {
    ScratchMount disk("2m");
    if (!disk.mounted())
        GTEST_SKIP() << "needs root to mount a small file system";
    Saving s(disk.path());
    s.save("graph");
    const QString file = QDir(disk.path()).filePath("graph.BMP");
    const QByteArray older = contents(file);
    ASSERT_TRUE(disk.makeReadOnly());
    s.changePicture();
    s.save("graph");
    s.save("new");
    EXPECT_EQ(contents(file), older);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.BMP"});
    EXPECT_TRUE(s.messages.messages().empty());
}

TEST(SaveFaults, OddNamesNeitherCrashNorTouchTheOlderFile) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("inner");
    Saving s(QDir(dir.path()).filePath("inner"));
    s.save("graph");
    const QString file = QDir(dir.path()).filePath("inner/graph.BMP");
    const QByteArray older = contents(file);
    // The name is used as typed: ".." names a file "...BMP", "../x" saves beside the folder, "a/b" needs a
    // folder "a" that is not there.
    for (const QString& name : {QStringLiteral(".."), QStringLiteral("../x"), QStringLiteral("a/b"),
                                QString(), QString(300, u'n'), QStringLiteral("graph/")})
        s.save(name);
    EXPECT_EQ(contents(file), older);
    EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath("inner/...BMP")));
    EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath("x.BMP")));
    EXPECT_TRUE(s.messages.messages().empty());
}

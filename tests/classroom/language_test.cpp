// Qt's own words in the programs' dialogs are Chinese whatever the machine's language, and without Qt's
// translations the programs still start, in Qt's English, and say which file they missed.

#include "../support/chineselanguage.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A button's words without its mnemonic: "保存(&S)" and "&Save" read "保存" and "Save".
QString wordsOf(const QAbstractButton* button) {
    return button->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
}

} // namespace

TEST(ChineseLanguage, QtsButtonsReadChineseAndEnglishWithoutTheTranslations) {
    const QTemporaryDir empty;
    struct Case {
        QString folder;
        const char* ok;
        const char* save;
        const char* cancel;
        bool warns;
    };
    const Case cases[] = {
        {QLibraryInfo::path(QLibraryInfo::TranslationsPath), "确定", "保存", "取消", false},
        {empty.path(), "OK", "Save", "Cancel", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        testing::internal::CaptureStderr();
        const testsupport::ChineseLanguage language(c.folder);
        const QString warning = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(language.translator() == nullptr, c.warns);
        EXPECT_EQ(warning.count(u'\n'), c.warns ? 1 : 0) << warning.toStdString();
        EXPECT_EQ(warning.contains(QDir(c.folder).filePath(QStringLiteral("qtbase_zh_CN.qm"))), c.warns);
        // The default locale is the programs' either way.
        EXPECT_EQ(QLocale(), QLocale(QLocale::Chinese, QLocale::China));

        // A message's button, as the programs' warnings show it (made, never run).
        QMessageBox box(QMessageBox::Warning, QStringLiteral("警告"), QStringLiteral("图象没有保存"),
                        QMessageBox::Ok);
        EXPECT_EQ(wordsOf(box.button(QMessageBox::Ok)), QString::fromUtf8(c.ok));

        // The export's file dialog, Qt's own one, shown without blocking.
        QFileDialog dialog(nullptr, QStringLiteral("导出图像"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.show();
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        QStringList accept;
        for (QAbstractButton* b : buttons->buttons())
            if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                accept << wordsOf(b);
        EXPECT_EQ(accept, QStringList{QString::fromUtf8(c.save)});
        EXPECT_EQ(wordsOf(buttons->button(QDialogButtonBox::Cancel)), QString::fromUtf8(c.cancel));
        dialog.close();
    }
}

// Qt's own dialogs as the programs make them: the file dialog of 导出图像… and 保存声音…, the print
// dialog of 打印… with the file dialog of its "..." button and its properties, the message box. Every word in
// them is Chinese, on a machine whose language is not (ctest runs this with a German LC_ALL and an English
// LANGUAGE), and a screen reader can tell their drop-down lists apart and hear what they hold.
//
// The start-up is the programs' own, so this test has its own main.

#include "classroom/exportdialogs.h"
#include "classroom/pictureexport.h"
#include "classroom/startup.h"
#include "widgets/displayscale.h"

#include "../support/scratchsettings.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

// Asked last, so it hears every lookup that neither Qt's catalogue nor ours answers.
class UnansweredWords : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* comment, int) const override {
        const QString text = QString::fromUtf8(source);
        // A word Qt asks for but never shows: the layout direction, and the name of the Ctrl key,
        // looked up while a shortcut is read.
        static const QSet<QString> kNeverShown = {QStringLiteral("QGuiApplication/QT_LAYOUT_DIRECTION"),
                                                  QStringLiteral("QShortcut/Control")};
        const QString key = QString::fromUtf8(context) + u'/' + text;
        if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))) && !kNeverShown.contains(key))
            asked.insert(key + (comment && *comment ? QStringLiteral(" (%1)").arg(QString::fromUtf8(comment))
                                                    : QString()));
        return {};
    }
    mutable QSet<QString> asked;
};

UnansweredWords* unanswered = nullptr;

// Qt's English words in these dialogs, whole words (a file's name or a printer's may hold others).
const QRegularExpression& englishWords() {
    static const QRegularExpression words(QStringLiteral(
        "\\b(Folder|Drive|Shortcut|Unknown|bytes?|KB|MB|File|Files|Name|Size|Type|Kind|Date Modified|"
        "Look in|Save|Open|Cancel|Back|Forward|Parent Directory|New Folder|List View|Detail View|Computer|"
        "Printer|Properties|Location|Output|Options|Copies|Print|Preview|Pages|Color|Grayscale|Duplex|"
        "Collate|Reverse|Page|Paper|Orientation|Margins|Portrait|Landscape|OK|Jan|Feb|Mar|Apr|May|Jun|Jul|"
        "Aug|Sep|Oct|Nov|Dec|AM|PM)\\b"));
    return words;
}

// Every text the dialog shows or tells a screen reader: captions, lists and their entries, the rows of
// the folder shown with their sizes, types and dates, tips, accessible names.
QStringList wordsOf(QWidget* dialog) {
    QStringList texts{dialog->windowTitle()};
    // The commands of the dialog's menus (a folder list's 重命名, 删除, 新建文件夹, ...).
    for (const QAction* action : dialog->findChildren<QAction*>())
        texts << action->text() << action->toolTip();
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
        if (auto* box = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            const QModelIndex root = view->rootIndex();
            for (int column = 0; column < model->columnCount(root); ++column)
                texts << model->headerData(column, Qt::Horizontal).toString();
            for (int row = 0; row < model->rowCount(root); ++row)
                for (int column = 0; column < model->columnCount(root); ++column)
                    texts << model->index(row, column, root).data().toString()
                          << model->index(row, column, root).data(Qt::ToolTipRole).toString();
        }
    }
    texts.removeAll(QString());
    return texts;
}

// The texts holding an English word, one line each ("" when none does).
std::string englishIn(const QStringList& texts) {
    QStringList english;
    for (const QString& text : texts)
        if (englishWords().match(text).hasMatch())
            english << text;
    return english.join(u'\n').toStdString();
}

// A file dialog's folder list once its rows are read, `rows` of them (or any) with their types (Qt
// reads them in a thread of its own).
void waitForRows(QFileDialog& dialog, int rows = 0) {
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([view, rows] {
        const QAbstractItemModel* model = view->model();
        const QModelIndex root = view->rootIndex();
        if (model->rowCount(root) == 0 || (rows > 0 && model->rowCount(root) != rows))
            return false;
        for (int row = 0; row < model->rowCount(root); ++row)
            if (model->index(row, 2, root).data().toString().isEmpty())
                return false;
        return true;
    }));
}

// Runs `look` on the modal dialog that `open` opens, then closes it.
void inModalDialog(const std::function<void()>& open, const std::function<void(QDialog&)>& look) {
    bool looked = false;
    // A timer of this scope: should `open` show no dialog, it never fires after we return.
    QTimer inside;
    inside.setSingleShot(true);
    QObject::connect(&inside, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            look(*dialog);
            looked = true;
            dialog->reject();
        }
    });
    inside.start(0);
    open();
    EXPECT_TRUE(looked);
}

// A folder as a pupil's would be: a folder, a picture, empty files of each type.
struct PupilsFolder {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/图象-XXXXXX")};
    PupilsFolder() {
        QDir(dir.path()).mkdir(QStringLiteral("作业"));
        QFile picture(dir.filePath(QStringLiteral("抛物线.png")));
        picture.open(QIODevice::WriteOnly);
        picture.write(QByteArray(1500, 'x'));
        for (const char* name : {"空白.png", "声音.wav"})
            QFile(dir.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    }
};

// The words Qt asked for and had no Chinese for since the last call, one line each.
std::string unansweredWords() {
    QStringList words(unanswered->asked.begin(), unanswered->asked.end());
    unanswered->asked.clear();
    words.sort();
    return words.join(u'\n').toStdString();
}

} // namespace

TEST(QtDialogs, SizesAndDatesAreChineseWhileTheMachinesNumbersAndEnvironmentStay) {
    const QLocale system = QLocale::system();
    EXPECT_EQ(system.formattedDataSize(0), "0 字节");
    EXPECT_EQ(system.toString(QDateTime(QDate(2026, 3, 9), QTime(8, 5)), QLocale::ShortFormat),
              "2026/3/9 08:05");
    // Numbers in the system locale stay German, as LC_ALL says; the programs' own stay Chinese.
    EXPECT_EQ(system.decimalPoint(), ",");
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 1), "1,234.5");
    struct Variable {
        const char* name;
        const char* value; // null: unset
    };
    const Variable machine[] = {{"LC_ALL", "de_DE.UTF-8"},
                                {"LANGUAGE", "en_US:en"},
                                {"LC_TIME", nullptr},
                                {"LC_MESSAGES", nullptr},
                                {"LC_NUMERIC", nullptr}};
    for (const Variable& v : machine) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(qEnvironmentVariableIsSet(v.name), v.value != nullptr);
        if (v.value) {
            EXPECT_EQ(qgetenv(v.name), v.value);
        }
    }
}

TEST(QtDialogs, TheSaveFileDialogsReadNoEnglish) {
    const PupilsFolder folder;
    struct Case {
        const char* title;
        QStringList filters;
        QString offered;
        QString directory;
        int rows;
        QStringList shown; // among the rows' cells
    };
    const Case cases[] = {
        // Sizes in the machine's digits (German here), with Chinese units.
        {"导出图像",
         canvas::exportFilters(),
         "PNG (*.png)",
         folder.dir.path(),
         3,
         {"文件夹", "0 字节", "1,46 KiB"}},
        {"保存声音", {"WAV (*.wav)"}, "WAV (*.wav)", folder.dir.path(), 2, {"文件夹", "0 字节"}},
        // The list of drives, above the root.
        {"导出图像", canvas::exportFilters(), "SVG (*.svg)", QString(), 1, {"驱动器"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + (" in " + c.directory.toStdString()));
        unansweredWords();
        const std::unique_ptr<QFileDialog> dialog =
            canvas::makeSaveFileDialog(nullptr, QString::fromUtf8(c.title), c.filters, c.offered);
        dialog->setDirectory(c.directory);
        dialog->show();
        waitForRows(*dialog, c.rows);
        const QStringList words = wordsOf(dialog.get());
        EXPECT_EQ(englishIn(words), "");
        for (const QString& shown : c.shown)
            EXPECT_TRUE(words.contains(shown)) << shown.toStdString();
        EXPECT_EQ(unansweredWords(), "");
    }
}

TEST(QtDialogs, ThePrintDialogItsFileDialogAndItsPropertiesReadNoEnglish) {
    const PupilsFolder folder;
    QPrinter printer;
    printer.setOutputFileName(QDir(folder.dir.path()).filePath(QStringLiteral("图象.pdf")));
    unansweredWords();
    const std::unique_ptr<QPrintDialog> dialog = canvas::makePrintDialog(printer, nullptr);
    dialog->show();
    EXPECT_EQ(englishIn(wordsOf(dialog.get())), "");

    auto* browse = dialog->findChild<QAbstractButton*>(QStringLiteral("fileBrowser"));
    ASSERT_NE(browse, nullptr);
    inModalDialog([&] { browse->click(); },
                  [](QDialog& chooser) {
                      auto* files = qobject_cast<QFileDialog*>(&chooser);
                      ASSERT_NE(files, nullptr);
                      waitForRows(*files);
                      EXPECT_EQ(englishIn(wordsOf(files)), "");
                  });
    auto* properties = dialog->findChild<QPushButton*>(QStringLiteral("properties"));
    ASSERT_NE(properties, nullptr);
    inModalDialog([&] { properties->click(); },
                  [](QDialog& sheet) { EXPECT_EQ(englishIn(wordsOf(&sheet)), ""); });
    dialog->close();
    // "..." alone has no Chinese, and needs none.
    EXPECT_EQ(unansweredWords(), "");
}

// The window's display scale for the lifetime of the object.
struct AtScale {
    explicit AtScale(qreal factor) { canvas::DisplayScale::instance().setFactor(factor); }
    ~AtScale() { canvas::DisplayScale::instance().setFactor(1); }
};

TEST(QtDialogs, TheFileDialogsColumnsShowWholeSizesTypesAndDatesAtEveryScale) {
    const PupilsFolder folder;
    for (const qreal factor : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(factor);
        const AtScale scale(factor);
        const std::unique_ptr<QFileDialog> dialog = canvas::makeSaveFileDialog(
            nullptr, QStringLiteral("导出图像"), canvas::exportFilters(), QStringLiteral("PNG (*.png)"));
        dialog->setDirectory(folder.dir.path());
        dialog->show();
        waitForRows(*dialog, 3);
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QCoreApplication::processEvents();
        const QFontMetrics metrics(view->font());
        EXPECT_EQ(view->font().pointSizeF(), QApplication::font().pointSizeF() * factor);
        const QModelIndex root = view->rootIndex();
        for (int column = 1; column < view->model()->columnCount(root); ++column)
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                const QString text = view->model()->index(row, column, root).data().toString();
                EXPECT_LT(metrics.horizontalAdvance(text), view->header()->sectionSize(column))
                    << text.toStdString();
            }
    }
}

TEST(QtDialogs, ThePrintDialogsPropertiesAndFileChooserOpenAtTheWindowsScale) {
    const AtScale scale(2);
    const qreal scaled = QApplication::font().pointSizeF() * 2;
    QPrinter printer;
    const std::unique_ptr<QPrintDialog> dialog = canvas::makePrintDialog(printer, nullptr);
    dialog->show();
    EXPECT_EQ(dialog->font().pointSizeF(), scaled);
    const char* buttons[] = {"properties", "fileBrowser"};
    for (const char* name : buttons) {
        SCOPED_TRACE(name);
        auto* button = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr);
        // Twice: a sheet shown again keeps its scale, not twice that.
        for (int opened = 0; opened < 2; ++opened)
            inModalDialog([&] { button->click(); },
                          [&](QDialog& sheet) { EXPECT_EQ(sheet.font().pointSizeF(), scaled); });
    }
}

// 白色背景 shows in the export dialog and the print dialog, inside them and as it was remembered.
TEST(QtDialogs, TheExportAndPrintDialogsOfferWhiteBackground) {
    QPrinter printer;
    const std::unique_ptr<QDialog> dialogs[] = {
        canvas::makeSaveFileDialog(nullptr, QStringLiteral("导出图像"), canvas::exportFilters(),
                                   QStringLiteral("SVG (*.svg)")),
        canvas::makePrintDialog(printer, nullptr)};
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog->metaObject()->className());
        for (const bool on : {true, false}) {
            QCheckBox* box = canvas::addWhiteBackgroundOption(*dialog, on);
            dialog->show();
            EXPECT_TRUE(box->isVisible());
            EXPECT_EQ(box->text(), "白色背景");
            EXPECT_EQ(box->isChecked(), on);
            EXPECT_TRUE(dialog->rect().contains(QRect(box->mapTo(dialog.get(), QPoint(0, 0)), box->size())));
            dialog->hide();
            delete box;
        }
    }
}

TEST(QtDialogs, MessageBoxesReadNoEnglish) {
    unansweredWords();
    // Every button a message box can carry, and its details.
    using B = QMessageBox;
    const QMessageBox::StandardButtons every = B::Ok | B::Save | B::SaveAll | B::Open | B::Yes | B::YesToAll |
                                               B::No | B::NoToAll | B::Abort | B::Retry | B::Ignore |
                                               B::Close | B::Cancel | B::Discard | B::Help | B::Apply |
                                               B::Reset | B::RestoreDefaults;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("警告"), QStringLiteral("图象没有保存"), every);
    box.setDetailedText(QStringLiteral("磁盘已满"));
    box.show();
    EXPECT_EQ(box.buttons().size(), 19); // with 显示详情…
    EXPECT_EQ(englishIn(wordsOf(&box)), "");
    EXPECT_EQ(unansweredWords(), "");
}

TEST(QtDialogs, ThePrinterListAndTheOutputFileButtonAreNamedAndTheChoiceRead) {
    QPrinter printer;
    const std::unique_ptr<QPrintDialog> dialog = canvas::makePrintDialog(printer, nullptr);
    dialog->show();
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(printers, nullptr);
    ASSERT_FALSE(printers->currentText().isEmpty());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(printers);
    EXPECT_EQ(list->text(QAccessible::Name), "打印机");
    EXPECT_EQ(list->text(QAccessible::Value), printers->currentText());
    // A screen reader reads the chosen printer as the box's text: the popup list offers it no selection.
    QAccessibleTextInterface* text = list->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()), printers->currentText());
    int start = -1;
    int end = -1;
    text->attributes(0, &start, &end);
    EXPECT_EQ(end - start, printers->currentText().size());
    EXPECT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->object(), printers->view());

    auto* browse = dialog->findChild<QAbstractButton*>(QStringLiteral("fileBrowser"));
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(browse)->text(QAccessible::Name), "选择输出文件");
    EXPECT_EQ(browse->text(), "..."); // what the eye sees stays Qt's
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    canvas::prepareChineseSystemLocale();
    QApplication app(argc, argv);
    // Qt's file dialog keeps its columns in the user's settings: each run starts from none.
    testing_support::useScratchSettings();
    unanswered = new UnansweredWords;
    QCoreApplication::installTranslator(unanswered);
    canvas::installChineseLanguage();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Quorvex: dragging the plane, the pointer read-out, the save dialog and the exit button.

#include "power/mainwindow.h"
#include "power/picturefile.h"

#include "../support/fakeexportdialogs.h"
#include "../support/messagerecorder.h"
#include "runtime/runtime.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QKeySequence>
#include <QPointer>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

using quorvex::MainWindow;
using quorvex::SaveDialog;

namespace {

canvas::PointerEvent at(float x, float y, int button = 1) {
    return {button, 0, x, y};
}

struct Window {
    testsupport::MessageRecorder messages;
    MainWindow form;
    Window() { form.show(); }
    void plotSquare() {
        QTest::mouseClick(form.controls().integerFormOption, Qt::LeftButton);
        form.controls().mBox->setText("2");
        QTest::mouseClick(form.controls().plotButton, Qt::LeftButton);
    }
    int curveSegments() const {
        int n = 0;
        for (const auto& op : form.controls().canvas->surface().operations())
            n += op.kind == canvas::SurfaceOp::Kind::Line && op.width == 2;
        return n;
    }
};

} // namespace

TEST(QuorvexDrag, StepPutsTheOriginUnderThePointerWritingXmaxFirst) {
    Window w;
    QStringList writes;
    for (auto [box, name] : {std::pair{w.form.controls().xMaxBox, "xmax"},
                             {w.form.controls().xMinBox, "xmin"},
                             {w.form.controls().yMaxBox, "ymax"},
                             {w.form.controls().yMinBox, "ymin"}})
        QObject::connect(box, &QLineEdit::textChanged, [&writes, name = QString(name)] { writes << name; });
    w.form.onCanvasPressed(at(0, 0));
    w.form.onCanvasPointerMoved(at(3, -2));
    EXPECT_EQ(writes, (QStringList{"xmax", "xmin", "ymax", "ymin"}));
    EXPECT_EQ(w.form.view().xmin, -13);
    EXPECT_EQ(w.form.view().xmax, 7);
    EXPECT_EQ(w.form.view().ymin, -8);
    EXPECT_EQ(w.form.view().ymax, 12);
    EXPECT_EQ(w.form.controls().xMinBox->text(), "-13");
    // The canvas is mapped to the new range: the old point (3, -2) is the new origin.
    EXPECT_EQ(w.form.controls().canvas->surface().scaleLeft(), -13.0f);
    EXPECT_EQ(w.form.controls().canvas->surface().scaleTop(), 12.0f);
}

TEST(QuorvexDrag, ClickWithoutMoveRecentresAndReplots) {
    Window w;
    w.plotSquare();
    w.form.controls().canvas->surface().setRecording(true);
    w.form.onCanvasPressed(at(3, -2));
    w.form.onCanvasReleased(at(9, 9));
    EXPECT_EQ(w.form.view().xmin, -13);
    EXPECT_EQ(w.form.view().ymax, 12);
    EXPECT_FALSE(w.form.panning().dragging);
    EXPECT_GT(w.curveSegments(), 0);
}

TEST(QuorvexDrag, ManyStepsKeepWidthsAndSpacings) {
    Window w;
    w.form.onCanvasPressed(at(0, 0));
    for (int i = 0; i < 500; ++i)
        w.form.onCanvasPointerMoved(at(0.37f * ((i % 7) - 3), 0.61f * ((i % 5) - 2)));
    w.form.onCanvasReleased(at(0, 0));
    EXPECT_NEAR(w.form.view().xmax - w.form.view().xmin, 20, 1e-9);
    EXPECT_NEAR(w.form.view().ymax - w.form.view().ymin, 20, 1e-9);
    EXPECT_EQ(w.form.view().xju1, 1);
    EXPECT_EQ(w.form.view().yju1, 1);
}

TEST(QuorvexDrag, WithoutAGraphOnlyTheFrameIsRedrawn) {
    Window w;
    w.form.controls().canvas->surface().setRecording(true);
    w.form.onCanvasPressed(at(1, 1));
    w.form.onCanvasPointerMoved(at(2, 2));
    EXPECT_EQ(w.curveSegments(), 0);
    EXPECT_FALSE(w.form.controls().canvas->surface().operations().empty());
}

TEST(QuorvexDrag, FarOutsideTheCanvasTakesTheFramesFailurePath) {
    Window w;
    w.form.onCanvasPressed(at(0, 0));
    w.form.onCanvasPointerMoved(at(-3e38f, 0));
    w.form.onCanvasPointerMoved(at(-3e38f, 0)); // now beyond single precision
    EXPECT_FALSE(w.messages.messages().empty());
    EXPECT_EQ(w.messages.messages().back().text, QStringLiteral("请输入完整的数据！"));
    EXPECT_TRUE(std::isfinite(w.form.view().xmax));
}

TEST(QuorvexDrag, RealPointerEventsDragAndHideTheReadOut) {
    Window w;
    auto* canvas = w.form.controls().canvas;
    QTest::mouseMove(canvas, QPoint(100, 100));
    EXPECT_TRUE(w.form.controls().horizontalGuide->isVisible());
    EXPECT_TRUE(w.form.controls().coordinateLabel->isVisible());
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(w.form.panning().dragging);
    EXPECT_FALSE(w.form.controls().horizontalGuide->isVisible());
    EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible());
    const QPointF expected = canvas->userPosition(QPointF(150, 120));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 120), canvas->mapToGlobal(QPointF(150, 120)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    EXPECT_FALSE(w.form.controls().horizontalGuide->isVisible()); // nothing shows while dragging
    EXPECT_NEAR(w.form.view().xmin, -10 - expected.x(), 1e-5);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(150, 120));
    EXPECT_FALSE(w.form.panning().dragging);
}

TEST(QuorvexReadOut, CaptionAndPlacementInUserUnits) {
    Window w;
    w.form.onCanvasPointerMoved(at(1.234f, -0.5f));
    EXPECT_TRUE(w.form.controls().horizontalGuide->isVisible());
    EXPECT_TRUE(w.form.controls().verticalGuide->isVisible());
    EXPECT_EQ(w.form.controls().coordinateLabel->Caption(), "(1.23,-0.5)");
    EXPECT_NEAR(w.form.controls().coordinateLabel->Left(), 1.734, 1e-6);
    EXPECT_NEAR(w.form.controls().coordinateLabel->Top(), -1, 1e-6);
    EXPECT_EQ(w.form.controls().horizontalGuide->X1(), 0.0f);
    EXPECT_EQ(w.form.controls().horizontalGuide->Y2(), -0.5f);
    EXPECT_EQ(w.form.controls().verticalGuide->X1(), 1.234f);
    EXPECT_EQ(w.form.controls().verticalGuide->Y1(), 0.0f);
}

TEST(QuorvexReadOut, EitherCoordinateInsideIsEnough) {
    struct Case {
        float x, y;
        bool shown;
    };
    for (const Case& c :
         {Case{-10, 3, true}, Case{-10, -10, false}, Case{50, 0, true}, Case{50, 50, false}}) {
        Window w;
        w.form.onCanvasPointerMoved(at(c.x, c.y));
        EXPECT_EQ(w.form.controls().horizontalGuide->isVisible(), c.shown) << c.x << "," << c.y;
        EXPECT_EQ(w.form.controls().coordinateLabel->isVisible(), c.shown);
    }
}

TEST(QuorvexReadOut, HiddenByLostFocusAndTheWindowsOwnPointerMove) {
    Window w;
    w.form.onCanvasPointerMoved(at(1, 1));
    w.form.onCanvasFocusLost();
    EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible());
    EXPECT_FALSE(w.form.controls().horizontalGuide->isVisible());
    w.form.onCanvasPointerMoved(at(1, 1));
    QTest::mouseMove(&w.form, QPoint(5, 480)); // the free area of the window
    EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible());
    EXPECT_FALSE(w.form.controls().verticalGuide->isVisible());
    // The overlays never change the canvas picture.
    const QImage before = w.form.controls().canvas->surface().Image().copy();
    w.form.onCanvasPointerMoved(at(2, 2));
    EXPECT_EQ(w.form.controls().canvas->surface().Image(), before);
}

// The guide lines mark a point of the plane; once the plane is drawn anew under a resting pointer they
// would mark a point that is no longer there, so every redraw hides them until the pointer moves again.
TEST(QuorvexReadOut, HiddenByEveryRedrawOfThePlane) {
    const std::vector<std::pair<const char*, std::function<void(quorvex::MainWindow&)>>> redraws = {
        {"确定",
         [](quorvex::MainWindow& f) { QTest::mouseClick(f.controls().applyRangeButton, Qt::LeftButton); }},
        {"放大",
         [](quorvex::MainWindow& f) { QTest::mouseClick(f.controls().zoomInButton, Qt::LeftButton); }},
        {"an arrow key", [](quorvex::MainWindow& f) { f.onCanvasKey(Qt::Key_Right, 0); }},
    };
    for (const auto& [name, redraw] : redraws) {
        Window w;
        w.form.onCanvasPointerMoved(at(3, 4));
        ASSERT_TRUE(w.form.controls().horizontalGuide->isVisible()) << name;
        redraw(w.form);
        EXPECT_FALSE(w.form.controls().horizontalGuide->isVisible()) << name;
        EXPECT_FALSE(w.form.controls().verticalGuide->isVisible()) << name;
        EXPECT_FALSE(w.form.controls().coordinateLabel->isVisible()) << name;
        w.form.onCanvasPointerMoved(at(3, 4));
        EXPECT_TRUE(w.form.controls().verticalGuide->isVisible()) << name;
    }
}

TEST(QuorvexExit, HoverHighlightsAndTheFreeAreaRestores) {
    Window w;
    bool ended = false;
    canvas::setEndProgramAction([&ended] { ended = true; });
    QTest::mouseMove(w.form.controls().exitPicture, QPoint(10, 10));
    EXPECT_FALSE(w.form.controls().exitPicture->isVisible());
    EXPECT_TRUE(w.form.controls().exitHighlight->isVisible());
    QTest::mouseMove(&w.form, QPoint(5, 480));
    EXPECT_TRUE(w.form.controls().exitPicture->isVisible());
    EXPECT_FALSE(w.form.controls().exitHighlight->isVisible());
    EXPECT_FALSE(ended);
    w.form.onExitPointerMoved();
    QTest::mouseClick(w.form.controls().exitHighlight, Qt::LeftButton);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(canvas::programEnded());
    canvas::setEndProgramAction([] {});
}

TEST(SavePath, AddsOneSeparatorAndTheExtension) {
    EXPECT_EQ(quorvex::savePath("/", "graph"), "/graph.BMP");
    EXPECT_EQ(quorvex::savePath("/home/work", "graph"), "/home/work/graph.BMP");
    EXPECT_EQ(quorvex::savePath("/tmp", "graph.bmp"), "/tmp/graph.bmp.BMP");
    EXPECT_EQ(quorvex::savePath("/tmp", ""), "/tmp/.BMP");
}

namespace {

struct Dialog {
    testsupport::FakeExportDialogs dialogs; // 是 to replacing a file
    Window w;
    QTemporaryDir dir;
    SaveDialog* form2 = nullptr;
    Dialog() {
        w.form.onSaveClicked();
        form2 = w.form.saveDialog();
        form2->controls().folderList->setPath(dir.path());
    }
    void save(const QString& name) {
        form2->controls().nameBox->setText(name);
        QTest::mouseClick(form2->controls().saveButton, Qt::LeftButton);
    }
};

} // namespace

TEST(QuorvexSave, WritesTheCanvasPixelForPixel) {
    Dialog d;
    ASSERT_NE(d.form2, nullptr);
    EXPECT_EQ(d.form2->windowTitle(), QStringLiteral("保存图象"));
    EXPECT_EQ(d.form2->controls().fileList->Path(), QDir::cleanPath(d.dir.path()));
    d.save("graph");
    const QString file = d.dir.filePath("graph.BMP");
    EXPECT_EQ(d.form2->controls().pathBox->text(), file);
    QImage saved(file, "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              d.w.form.controls().canvas->surface().Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(d.w.messages.messages().empty());
}

TEST(QuorvexSave, ASecondSaveReplacesAndSeesTheNewCurve) {
    Dialog d;
    d.save("graph");
    const QByteArray first = [&] {
        QFile f(d.dir.filePath("graph.BMP"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    d.w.plotSquare();
    d.save("graph");
    QFile f(d.dir.filePath("graph.BMP"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_NE(f.readAll(), first);
    EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files), QStringList{"graph.BMP"}); // no leftovers
}

TEST(QuorvexSave, AnExistingFileIsReplacedOnlyWhenTheQuestionIsAnsweredYes) {
    const auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "是" : "否");
        Dialog d;
        d.save("graph");
        d.save("older");
        ASSERT_TRUE(d.dialogs.answers().replaceAsked.isEmpty()); // a new name is not asked about
        const QString file = d.dir.filePath("graph.BMP");
        const QByteArray before = bytes(file);
        d.dialogs.answers().replace = yes;
        d.w.plotSquare();
        d.save("graph");
        EXPECT_EQ(d.dialogs.answers().replaceAsked, QStringList{"graph.BMP 已存在。要替换它吗？"});
        EXPECT_EQ(bytes(file) != before, yes);
        EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files), (QStringList{"graph.BMP", "older.BMP"}));
        // 否 leaves the path of the last save.
        EXPECT_EQ(d.form2->controls().pathBox->text(), d.dir.filePath(yes ? "graph.BMP" : "older.BMP"));
    }
}

// The dialog is a window of its own: once it closes (Esc or the close box), the main window is active
// again and its keys work where the keyboard was, or on the canvas.
TEST(QuorvexSave, ClosingTheDialogGivesTheMainWindowTheKeyboardBack) {
    for (const bool byEsc : {true, false}) {
        SCOPED_TRACE(byEsc ? "Esc, from the xmin box" : "the close box, nothing focused");
        Window w;
        QApplication::setActiveWindow(&w.form);
        QWidget* focused = byEsc ? w.form.controls().xMinBox : nullptr;
        if (focused)
            focused->setFocus();
        else if (QWidget* any = w.form.focusWidget())
            any->clearFocus();
        w.form.onSaveClicked();
        SaveDialog* dialog = w.form.saveDialog();
        QApplication::setActiveWindow(dialog);
        ASSERT_EQ(QApplication::activeWindow(), dialog);
        if (byEsc)
            QTest::keyClick(dialog->controls().nameBox, Qt::Key_Escape);
        else
            dialog->close();
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &w.form);
        EXPECT_EQ(QApplication::focusWidget(), focused ? focused : w.form.controls().canvas);
    }
}

TEST(QuorvexSave, CancelEmptiesTheNameAndTheDialogIsMadeOnce) {
    Dialog d;
    d.form2->controls().nameBox->setText("abc");
    QTest::mouseClick(d.form2->controls().cancelButton, Qt::LeftButton);
    EXPECT_TRUE(d.form2->controls().nameBox->text().isEmpty());
    EXPECT_TRUE(d.form2->isVisible());
    d.w.form.onSaveClicked();
    EXPECT_EQ(d.w.form.saveDialog(), d.form2);
}

TEST(QuorvexSave, FailuresWarnAndKeepTheOlderFile) {
    Dialog d;
    d.save("keep");
    const QString older = d.dir.filePath("keep.BMP");
    const qint64 size = QFileInfo(older).size();
    ASSERT_GT(size, 0);

    // A name that leads into a folder that does not exist, and an empty name.
    const QString missing = quorvex::saveFailureText(quorvex::SaveOutcome::FolderMissing);
    std::vector<QString> warnings = {missing};
    d.save("missing/keep");
    d.save("");
    EXPECT_TRUE(QFileInfo::exists(d.dir.filePath(".BMP")));

    // A read-only folder: the save fails, the older file stays whole.
    QFile::setPermissions(d.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(d.dir.filePath("probe")).isWritable() &&
        !QFile(d.dir.filePath("probe")).open(QIODevice::WriteOnly)) {
        d.w.plotSquare();
        d.save("keep");
        EXPECT_EQ(QFileInfo(older).size(), size);
        warnings.push_back(quorvex::saveFailureText(quorvex::SaveOutcome::FolderNotWritable));
    }
    QFile::setPermissions(d.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The folder vanished while the dialog was open.
    QTemporaryDir gone;
    d.form2->controls().folderList->setPath(gone.path());
    gone.remove();
    d.save("x");
    warnings.push_back(missing);
    EXPECT_EQ(d.w.messages.texts(), warnings);
    EXPECT_EQ(QImageReader(older).read().size(), QSize(389, 373));
}

// A message box raised by a drag step takes the button release; the next move arrives with no button held
// and must end the drag instead of dragging (and raising the message) again and again.
TEST(QuorvexDrag, AMoveWithNoButtonEndsADragWhoseReleaseWasSwallowed) {
    Window w;
    w.plotSquare();
    w.form.controls().mBox->setText("");
    w.form.onCanvasPressed(at(0, 0));
    w.form.onCanvasPointerMoved(at(1, 1));
    EXPECT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("m不能为零或空！")});
    const canvas::ViewRange before = w.form.view();
    for (int i = 0; i < 3; ++i)
        w.form.onCanvasPointerMoved(at(2.0f + i, -1, 0));
    EXPECT_FALSE(w.form.panning().dragging);
    EXPECT_EQ(w.messages.texts().size(), 1u);
    EXPECT_EQ(w.form.view().xmin, before.xmin);
    EXPECT_EQ(w.form.view().ymax, before.ymax);
    EXPECT_TRUE(
        w.form.controls()
            .coordinateLabel->isVisible()); // an ordinary hover again: the read-out follows the pointer
    // A new press drags as before.
    w.form.controls().mBox->setText("2");
    w.form.onCanvasPressed(at(0, 0));
    w.form.onCanvasPointerMoved(at(1, 1));
    EXPECT_EQ(w.form.view().xmin, before.xmin - 1);
}

TEST(QuorvexSave, ChoosingTheOpenFolderAgainListsANewFile) {
    Dialog d;
    EXPECT_TRUE(d.form2->controls().fileList->findItems("new.BMP", Qt::MatchExactly).isEmpty());
    d.save("new");
    EXPECT_TRUE(d.form2->controls().fileList->findItems("new.BMP", Qt::MatchExactly).isEmpty()); // not before
                                                                                                 // choosing
    d.form2->controls().folderList->setPath(d.dir.path());
    EXPECT_EQ(d.form2->controls().fileList->findItems("new.BMP", Qt::MatchExactly).size(), 1);
}

// The program ends when its last window that may keep it running closes: closing the main window must
// leave no such window, even with the save dialog open.
TEST(QuorvexSave, TheCloseBoxEndsTheProgramWhileTheDialogIsOpen) {
    Dialog d;
    EXPECT_FALSE(d.form2->windowIcon().isNull());
    QPointer<SaveDialog> dialog = d.form2;
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->testAttribute(Qt::WA_QuitOnClose)); // the dialog alone never keeps it running
    d.w.form.close();
    EXPECT_FALSE(d.w.form.isVisible());
    EXPECT_TRUE(dialog.isNull() || !dialog->isVisible());
}

TEST(QuorvexBoxes, FullWidthDigitsReadAsTheirAsciiForms) {
    Window w;
    w.form.controls().xMinBox->setText(QStringLiteral("－５"));
    w.form.controls().xMaxBox->setText(QStringLiteral("５．５"));
    QTest::mouseClick(w.form.controls().applyRangeButton, Qt::LeftButton);
    EXPECT_TRUE(w.messages.messages().empty());
    EXPECT_EQ(w.form.view().xmin, -5);
    EXPECT_EQ(w.form.view().xmax, 5.5);
    w.form.controls().canvas->surface().setRecording(true);
    QTest::mouseClick(w.form.controls().integerFormOption, Qt::LeftButton);
    w.form.controls().mBox->setText(QStringLiteral("２"));
    QTest::mouseClick(w.form.controls().plotButton, Qt::LeftButton);
    EXPECT_TRUE(w.messages.messages().empty());
    EXPECT_GT(w.curveSegments(), 0);
}

TEST(QuorvexSave, ByKeyboardEscClosesDriveIsNamedAndASaveIsAnnounced) {
    Dialog d;
    QAccessibleInterface* drive = QAccessible::queryAccessibleInterface(d.form2->controls().driveList);
    EXPECT_EQ(drive->text(QAccessible::Name), "驱动器");
    EXPECT_EQ(drive->text(QAccessible::Value), d.form2->controls().driveList->currentText());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(d.form2->controls().pathBox)->state().invisible);
    d.save("graph");
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(d.form2->controls().saveButton)->text(QAccessible::Description),
        "已保存：" + d.dir.filePath("graph.BMP"));
    EXPECT_EQ(d.form2->controls().saveButton->text(), "保存");
    // A failed save is not announced as one.
    d.save("missing/graph");
    EXPECT_EQ(d.form2->controls().saveButton->accessibleDescription(),
              "已保存：" + d.dir.filePath("graph.BMP"));
    QPointer<SaveDialog> dialog = d.form2;
    QTest::keyClick(d.form2->controls().nameBox, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

// The drive list by keyboard: the moving keys open the list and move within it; the drive (and with it
// the folder list) changes only when Enter takes the highlighted drive, and Esc leaves it as it was.
TEST(QuorvexSave, TheDriveKeysMoveWithinTheListAndOnlyEnterChangesTheDrive) {
    Dialog d;
    quorvex::DriveListBox* drive = d.form2->controls().driveList;
    // Three "drives" whatever this machine mounts: folders of the test's own.
    drive->blockSignals(true);
    drive->clear();
    for (const char* name : {"c", "d", "e"}) {
        QDir(d.dir.path()).mkdir(QString::fromLatin1(name));
        drive->addItem(d.dir.filePath(QString::fromLatin1(name)));
    }
    drive->blockSignals(false);
    struct Case {
        int from;
        Qt::Key key;
        int highlighted;
        Qt::Key closing;
        int chosen;
    };
    const int last = drive->count() - 1;
    const Case cases[] = {
        {0, Qt::Key_Down, 1, Qt::Key_Return, 1},      {1, Qt::Key_Up, 0, Qt::Key_Enter, 0},
        {0, Qt::Key_End, last, Qt::Key_Return, last}, {last, Qt::Key_Home, 0, Qt::Key_Return, 0},
        {0, Qt::Key_Down, 1, Qt::Key_Escape, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key).toString().toStdString() + " then " +
                     QKeySequence(c.closing).toString().toStdString());
        drive->setCurrentIndex(c.from);
        const QString folder = d.form2->controls().folderList->Path();
        QSignalSpy changes(drive, &quorvex::DriveListBox::Change);
        QTest::keyClick(drive, c.key);
        EXPECT_TRUE(drive->view()->isVisible());
        EXPECT_EQ(drive->view()->currentIndex().row(), c.highlighted);
        EXPECT_EQ(changes.count(), 0);
        EXPECT_EQ(drive->currentIndex(), c.from);
        EXPECT_EQ(d.form2->controls().folderList->Path(), folder);
        QTest::keyClick(drive->view(), c.closing);
        EXPECT_FALSE(drive->view()->isVisible());
        EXPECT_EQ(drive->currentIndex(), c.chosen);
        EXPECT_EQ(changes.count(), c.chosen == c.from ? 0 : 1);
        EXPECT_EQ(drive->Drive(), drive->itemText(c.chosen));
        EXPECT_EQ(d.form2->controls().folderList->Path(),
                  c.chosen == c.from ? folder : drive->itemText(c.chosen));
    }
    // A screen reader reads the box by its name and the chosen drive as its text.
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(drive);
    ASSERT_NE(box->textInterface(), nullptr);
    EXPECT_EQ(box->textInterface()->text(0, box->textInterface()->characterCount()), drive->Drive());
}

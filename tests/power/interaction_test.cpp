// Quorvex: dragging the plane, the pointer read-out, the save dialog and the exit button.

#include "power/form1.h"
#include "power/picturefile.h"

#include "../support/messagerecorder.h"
#include "runtime/runtime.h"

#include <QAccessible>
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

using quorvex::Form1;
using quorvex::Form2;

namespace {

canvas::PointerEvent at(float x, float y, int button = 1) {
    return {button, 0, x, y};
}

struct Window {
    testsupport::MessageRecorder messages;
    Form1 form;
    Window() { form.show(); }
    void plotSquare() {
        QTest::mouseClick(form.Option1, Qt::LeftButton);
        form.Text5->setText("2");
        QTest::mouseClick(form.Command2, Qt::LeftButton);
    }
    int curveSegments() const {
        int n = 0;
        for (const auto& op : form.Picture1->surface().operations())
            n += op.kind == canvas::SurfaceOp::Kind::Line && op.width == 2;
        return n;
    }
};

} // namespace

TEST(QuorvexDrag, StepPutsTheOriginUnderThePointerWritingXmaxFirst) {
    Window w;
    QStringList writes;
    for (auto [box, name] : {std::pair{w.form.Text1, "xmax"},
                             {w.form.Text2, "xmin"},
                             {w.form.Text3, "ymax"},
                             {w.form.Text4, "ymin"}})
        QObject::connect(box, &QLineEdit::textChanged, [&writes, name = QString(name)] { writes << name; });
    w.form.Picture1_MouseDown(at(0, 0));
    w.form.Picture1_MouseMove(at(3, -2));
    EXPECT_EQ(writes, (QStringList{"xmax", "xmin", "ymax", "ymin"}));
    EXPECT_EQ(w.form.view.xmin, -13);
    EXPECT_EQ(w.form.view.xmax, 7);
    EXPECT_EQ(w.form.view.ymin, -8);
    EXPECT_EQ(w.form.view.ymax, 12);
    EXPECT_EQ(w.form.Text2->text(), "-13");
    // The canvas is mapped to the new range: the old point (3, -2) is the new origin.
    EXPECT_EQ(w.form.Picture1->surface().scaleLeft(), -13.0f);
    EXPECT_EQ(w.form.Picture1->surface().scaleTop(), 12.0f);
}

TEST(QuorvexDrag, ClickWithoutMoveRecentresAndReplots) {
    Window w;
    w.plotSquare();
    w.form.Picture1->surface().setRecording(true);
    w.form.Picture1_MouseDown(at(3, -2));
    w.form.Picture1_MouseUp(at(9, 9));
    EXPECT_EQ(w.form.view.xmin, -13);
    EXPECT_EQ(w.form.view.ymax, 12);
    EXPECT_EQ(w.form.panning().dragFlag, 0);
    EXPECT_GT(w.curveSegments(), 0);
}

TEST(QuorvexDrag, ManyStepsKeepWidthsAndSpacings) {
    Window w;
    w.form.Picture1_MouseDown(at(0, 0));
    for (int i = 0; i < 500; ++i)
        w.form.Picture1_MouseMove(at(0.37f * ((i % 7) - 3), 0.61f * ((i % 5) - 2)));
    w.form.Picture1_MouseUp(at(0, 0));
    EXPECT_NEAR(w.form.view.xmax - w.form.view.xmin, 20, 1e-9);
    EXPECT_NEAR(w.form.view.ymax - w.form.view.ymin, 20, 1e-9);
    EXPECT_EQ(w.form.view.xju1, 1);
    EXPECT_EQ(w.form.view.yju1, 1);
}

TEST(QuorvexDrag, WithoutAGraphOnlyTheFrameIsRedrawn) {
    Window w;
    w.form.Picture1->surface().setRecording(true);
    w.form.Picture1_MouseDown(at(1, 1));
    w.form.Picture1_MouseMove(at(2, 2));
    EXPECT_EQ(w.curveSegments(), 0);
    EXPECT_FALSE(w.form.Picture1->surface().operations().empty());
}

TEST(QuorvexDrag, FarOutsideTheCanvasTakesTheFramesFailurePath) {
    Window w;
    w.form.Picture1_MouseDown(at(0, 0));
    w.form.Picture1_MouseMove(at(-3e38f, 0));
    w.form.Picture1_MouseMove(at(-3e38f, 0)); // now beyond single precision
    EXPECT_FALSE(w.messages.messages().empty());
    EXPECT_EQ(w.messages.messages().back().text, QStringLiteral("请输入完整的数据！"));
    EXPECT_TRUE(std::isfinite(w.form.view.xmax));
}

TEST(QuorvexDrag, RealPointerEventsDragAndHideTheReadOut) {
    Window w;
    auto* canvas = w.form.Picture1;
    QTest::mouseMove(canvas, QPoint(100, 100));
    EXPECT_TRUE(w.form.Line1->isVisible());
    EXPECT_TRUE(w.form.Label1->isVisible());
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(w.form.panning().dragFlag, 1);
    EXPECT_FALSE(w.form.Line1->isVisible());
    EXPECT_FALSE(w.form.Label1->isVisible());
    const QPointF expected = canvas->userPosition(QPointF(150, 120));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 120), canvas->mapToGlobal(QPointF(150, 120)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    EXPECT_FALSE(w.form.Line1->isVisible()); // nothing shows while dragging
    EXPECT_NEAR(w.form.view.xmin, -10 - expected.x(), 1e-5);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(150, 120));
    EXPECT_EQ(w.form.panning().dragFlag, 0);
}

TEST(QuorvexReadOut, CaptionAndPlacementInUserUnits) {
    Window w;
    w.form.Picture1_MouseMove(at(1.234f, -0.5f));
    EXPECT_TRUE(w.form.Line1->isVisible());
    EXPECT_TRUE(w.form.Line2->isVisible());
    EXPECT_EQ(w.form.Label1->Caption(), "(1.23,-0.5)");
    EXPECT_NEAR(w.form.Label1->Left(), 1.734, 1e-6);
    EXPECT_NEAR(w.form.Label1->Top(), -1, 1e-6);
    EXPECT_EQ(w.form.Line1->X1(), 0.0f);
    EXPECT_EQ(w.form.Line1->Y2(), -0.5f);
    EXPECT_EQ(w.form.Line2->X1(), 1.234f);
    EXPECT_EQ(w.form.Line2->Y1(), 0.0f);
}

TEST(QuorvexReadOut, EitherCoordinateInsideIsEnough) {
    struct Case {
        float x, y;
        bool shown;
    };
    for (const Case& c :
         {Case{-10, 3, true}, Case{-10, -10, false}, Case{50, 0, true}, Case{50, 50, false}}) {
        Window w;
        w.form.Picture1_MouseMove(at(c.x, c.y));
        EXPECT_EQ(w.form.Line1->isVisible(), c.shown) << c.x << "," << c.y;
        EXPECT_EQ(w.form.Label1->isVisible(), c.shown);
    }
}

TEST(QuorvexReadOut, HiddenByLostFocusAndTheWindowsOwnPointerMove) {
    Window w;
    w.form.Picture1_MouseMove(at(1, 1));
    w.form.Picture1_LostFocus();
    EXPECT_FALSE(w.form.Label1->isVisible());
    EXPECT_FALSE(w.form.Line1->isVisible());
    w.form.Picture1_MouseMove(at(1, 1));
    QTest::mouseMove(&w.form, QPoint(5, 480)); // the free area of the window
    EXPECT_FALSE(w.form.Label1->isVisible());
    EXPECT_FALSE(w.form.Line2->isVisible());
    // The overlays never change the canvas picture.
    const QImage before = w.form.Picture1->surface().Image().copy();
    w.form.Picture1_MouseMove(at(2, 2));
    EXPECT_EQ(w.form.Picture1->surface().Image(), before);
}

TEST(QuorvexExit, HoverHighlightsAndTheFreeAreaRestores) {
    Window w;
    bool ended = false;
    canvas::setEndProgramAction([&ended] { ended = true; });
    QTest::mouseMove(w.form.Image7, QPoint(10, 10));
    EXPECT_FALSE(w.form.Image7->isVisible());
    EXPECT_TRUE(w.form.Image8->isVisible());
    QTest::mouseMove(&w.form, QPoint(5, 480));
    EXPECT_TRUE(w.form.Image7->isVisible());
    EXPECT_FALSE(w.form.Image8->isVisible());
    EXPECT_FALSE(ended);
    w.form.Image7_MouseMove();
    QTest::mouseClick(w.form.Image8, Qt::LeftButton);
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
    Window w;
    QTemporaryDir dir;
    Form2* form2 = nullptr;
    Dialog() {
        w.form.Command8_Click();
        form2 = w.form.saveDialog();
        form2->Dir1->setPath(dir.path());
    }
    void save(const QString& name) {
        form2->Text1->setText(name);
        QTest::mouseClick(form2->Command1, Qt::LeftButton);
    }
};

} // namespace

TEST(QuorvexSave, WritesTheCanvasPixelForPixel) {
    Dialog d;
    ASSERT_NE(d.form2, nullptr);
    EXPECT_EQ(d.form2->windowTitle(), QStringLiteral("保存图象"));
    EXPECT_EQ(d.form2->File1->Path(), QDir::cleanPath(d.dir.path()));
    d.save("graph");
    const QString file = d.dir.filePath("graph.BMP");
    EXPECT_EQ(d.form2->Text2->text(), file);
    QImage saved(file, "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              d.w.form.Picture1->surface().Image().convertToFormat(QImage::Format_RGB32));
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

TEST(QuorvexSave, CancelEmptiesTheNameAndTheDialogIsMadeOnce) {
    Dialog d;
    d.form2->Text1->setText("abc");
    QTest::mouseClick(d.form2->Command2, Qt::LeftButton);
    EXPECT_TRUE(d.form2->Text1->text().isEmpty());
    EXPECT_TRUE(d.form2->isVisible());
    d.w.form.Command8_Click();
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
    d.form2->Dir1->setPath(gone.path());
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
    w.form.Text5->setText("");
    w.form.Picture1_MouseDown(at(0, 0));
    w.form.Picture1_MouseMove(at(1, 1));
    EXPECT_EQ(w.messages.texts(), std::vector<QString>{QStringLiteral("m不能为零或空！")});
    const canvas::ViewRange before = w.form.view;
    for (int i = 0; i < 3; ++i)
        w.form.Picture1_MouseMove(at(2.0f + i, -1, 0));
    EXPECT_EQ(w.form.panning().dragFlag, 0);
    EXPECT_EQ(w.messages.texts().size(), 1u);
    EXPECT_EQ(w.form.view.xmin, before.xmin);
    EXPECT_EQ(w.form.view.ymax, before.ymax);
    EXPECT_TRUE(w.form.Label1->isVisible()); // an ordinary hover again: the read-out follows the pointer
    // A new press drags as before.
    w.form.Text5->setText("2");
    w.form.Picture1_MouseDown(at(0, 0));
    w.form.Picture1_MouseMove(at(1, 1));
    EXPECT_EQ(w.form.view.xmin, before.xmin - 1);
}

TEST(QuorvexSave, ChoosingTheOpenFolderAgainListsANewFile) {
    Dialog d;
    EXPECT_TRUE(d.form2->File1->findItems("new.BMP", Qt::MatchExactly).isEmpty());
    d.save("new");
    EXPECT_TRUE(d.form2->File1->findItems("new.BMP", Qt::MatchExactly).isEmpty()); // not before choosing
    d.form2->Dir1->setPath(d.dir.path());
    EXPECT_EQ(d.form2->File1->findItems("new.BMP", Qt::MatchExactly).size(), 1);
}

// The program ends when its last window that may keep it running closes: closing the main window must
// leave no such window, even with the save dialog open.
TEST(QuorvexSave, TheCloseBoxEndsTheProgramWhileTheDialogIsOpen) {
    Dialog d;
    EXPECT_FALSE(d.form2->windowIcon().isNull());
    QPointer<Form2> dialog = d.form2;
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->testAttribute(Qt::WA_QuitOnClose)); // the dialog alone never keeps it running
    d.w.form.close();
    EXPECT_FALSE(d.w.form.isVisible());
    EXPECT_TRUE(dialog.isNull() || !dialog->isVisible());
}

TEST(QuorvexBoxes, FullWidthDigitsReadAsTheirAsciiForms) {
    Window w;
    w.form.Text2->setText(QStringLiteral("－５"));
    w.form.Text1->setText(QStringLiteral("５．５"));
    QTest::mouseClick(w.form.Command1, Qt::LeftButton);
    EXPECT_TRUE(w.messages.messages().empty());
    EXPECT_EQ(w.form.view.xmin, -5);
    EXPECT_EQ(w.form.view.xmax, 5.5);
    w.form.Picture1->surface().setRecording(true);
    QTest::mouseClick(w.form.Option1, Qt::LeftButton);
    w.form.Text5->setText(QStringLiteral("２"));
    QTest::mouseClick(w.form.Command2, Qt::LeftButton);
    EXPECT_TRUE(w.messages.messages().empty());
    EXPECT_GT(w.curveSegments(), 0);
}

TEST(QuorvexSave, ByKeyboardEscClosesDriveIsNamedAndASaveIsAnnounced) {
    Dialog d;
    QAccessibleInterface* drive = QAccessible::queryAccessibleInterface(d.form2->Drive1);
    EXPECT_EQ(drive->text(QAccessible::Name), "驱动器");
    EXPECT_EQ(drive->text(QAccessible::Value), d.form2->Drive1->currentText());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(d.form2->Text2)->state().invisible);
    d.save("graph");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(d.form2->Command1)->text(QAccessible::Description),
              "已保存：" + d.dir.filePath("graph.BMP"));
    EXPECT_EQ(d.form2->Command1->text(), "保存");
    // A failed save is not announced as one.
    d.save("missing/graph");
    EXPECT_EQ(d.form2->Command1->accessibleDescription(), "已保存：" + d.dir.filePath("graph.BMP"));
    QPointer<Form2> dialog = d.form2;
    QTest::keyClick(d.form2->Text1, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

// The drive list by keyboard: the moving keys open the list and move within it; the drive (and with it
// the folder list) changes only when Enter takes the highlighted drive, and Esc leaves it as it was.
TEST(QuorvexSave, TheDriveKeysMoveWithinTheListAndOnlyEnterChangesTheDrive) {
    Dialog d;
    quorvex::DriveListBox* drive = d.form2->Drive1;
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
        const QString folder = d.form2->Dir1->Path();
        QSignalSpy changes(drive, &quorvex::DriveListBox::Change);
        QTest::keyClick(drive, c.key);
        EXPECT_TRUE(drive->view()->isVisible());
        EXPECT_EQ(drive->view()->currentIndex().row(), c.highlighted);
        EXPECT_EQ(changes.count(), 0);
        EXPECT_EQ(drive->currentIndex(), c.from);
        EXPECT_EQ(d.form2->Dir1->Path(), folder);
        QTest::keyClick(drive->view(), c.closing);
        EXPECT_FALSE(drive->view()->isVisible());
        EXPECT_EQ(drive->currentIndex(), c.chosen);
        EXPECT_EQ(changes.count(), c.chosen == c.from ? 0 : 1);
        EXPECT_EQ(drive->Drive(), drive->itemText(c.chosen));
        EXPECT_EQ(d.form2->Dir1->Path(), c.chosen == c.from ? folder : drive->itemText(c.chosen));
    }
    // A screen reader reads the box by its name and the chosen drive as its text.
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(drive);
    ASSERT_NE(box->textInterface(), nullptr);
    EXPECT_EQ(box->textInterface()->text(0, box->textInterface()->characterCount()), drive->Drive());
}

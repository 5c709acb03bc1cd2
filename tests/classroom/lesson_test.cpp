// A lesson on the canvas in all three programs: kept curves drawn again in their colours by every redraw,
// exactly as the lesson drawn afresh; undo and redo; the lesson saved, opened again in another process and
// saved again to the same bytes; bad files refused with nothing changed; the names beside the curves.

#include "classroom/startup.h"
#include "curves/lessonfile.h"
#include "drawing/curvelabels.h"
#include "drawing/frame.h"
#include "power/mainwindow.h"
#include "widgets/messagebar.h"

#include "../support/plotting.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using canvas::ExplorerWindow;

// One program's window with a way to draw three curves and to finish what is still being traced.
struct Program {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
    std::function<void(QWidget&)> drawCurves;
    std::function<void(QWidget&)> finish;
};

expolog::MainWindow& expLogOf(QWidget& w) {
    return static_cast<testsupport::ExpLog&>(w).w.form;
}

void traceToEnd(QWidget& w) {
    auto& form = expLogOf(w);
    for (int i = 0; i < 200000 && form.controls().traceTimer->isActive(); ++i)
        form.onTraceTick();
    for (int i = 0; i < 200000 && form.controls().inverseTraceTimer->isActive(); ++i)
        form.onInverseTraceTick();
}

void plotBases(QWidget& w) {
    auto& e = static_cast<testsupport::ExpLog&>(w).w;
    e.plot("2");
    traceToEnd(w);
    e.plot("0.5");
    traceToEnd(w);
    e.form.onInverseClicked();
    traceToEnd(w);
    e.plot("3");
    traceToEnd(w);
}

const Program kPrograms[] = {
    {"Quorvex", [] { return std::make_unique<quorvex::MainWindow>(); },
     [](QWidget& w) {
         auto& f = static_cast<quorvex::MainWindow&>(w);
         testsupport::powerCurve(f, "2");
         testsupport::powerCurve(f, "3");
         f.controls().fractionFormOption->click();
         f.controls().mBox->setText("2");
         f.controls().nBox->setText("3");
         f.onPlotClicked();
     },
     [](QWidget&) {}},
    {"Zelmora", [] { return std::make_unique<testsupport::ExpLog>(expolog::kZelmora); }, plotBases,
     traceToEnd},
    {"Tavrinth", [] { return std::make_unique<testsupport::ExpLog>(expolog::kTavrinth); }, plotBases,
     traceToEnd},
};

ExplorerWindow& explorer(QWidget& w) {
    if (auto* e = qobject_cast<ExplorerWindow*>(&w))
        return *e;
    return expLogOf(w);
}

canvas::CanvasWidget* canvasOf(QWidget& w) {
    return explorer(w).findChild<canvas::CanvasWidget*>();
}

QImage pictureOf(QWidget& w) {
    return canvasOf(w)->surface().picture();
}

// The lesson of `w` drawn afresh in a new window of the program, through its file.
QImage freshDrawing(const Program& p, QWidget& w, const QString& folder) {
    const QString path = folder + QStringLiteral("/fresh.kejian");
    EXPECT_TRUE(explorer(w).saveLesson(path));
    const std::unique_ptr<QWidget> fresh = p.make();
    EXPECT_TRUE(explorer(*fresh).openLesson(path));
    return pictureOf(*fresh);
}

class Lessons : public ::testing::Test {
protected:
    testsupport::MessageRecorder messages;
    QTemporaryDir folder;
};

} // namespace

TEST_F(Lessons, KeptCurvesComeBackInTheirColoursAfterEveryRedraw) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        const std::unique_ptr<QWidget> w = p.make();
        ExplorerWindow& e = explorer(*w);
        e.setKeepCurves(true);
        p.drawCurves(*w);
        const std::vector<canvas::LessonCurve> drawn = e.lesson().curves;
        ASSERT_EQ(drawn.size(), p.name == std::string("Quorvex") ? 3u : 4u);
        const std::pair<const char*, std::function<void()>> redraws[] = {
            {"a drag", [&] { e.onCanvasKey(Qt::Key_Right, 1); }},
            {"a zoom", [&] { e.onCanvasZoomStep(1); }},
            {"the grid", [&] { e.onDrawGridClicked(); }},
            {"确定",
             [&] {
                 e.rangePanel().boxes().xmin->setText("-3");
                 e.onApplyRangeClicked();
             }},
            {"消网格", [&] { e.onRemoveGridClicked(); }},
        };
        for (const auto& [what, redraw] : redraws) {
            SCOPED_TRACE(what);
            redraw();
            p.finish(*w);
            EXPECT_EQ(e.lesson().curves, drawn);
            EXPECT_TRUE(pictureOf(*w) == freshDrawing(p, *w, folder.path()));
        }
        EXPECT_TRUE(messages.texts().empty());
    }
}

TEST_F(Lessons, WithoutKeepingADragLeavesOnlyTheNewestCurve) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        const std::unique_ptr<QWidget> w = p.make();
        ExplorerWindow& e = explorer(*w);
        e.setKeepCurves(false);
        p.drawCurves(*w);
        e.onCanvasKey(Qt::Key_Right, 0);
        p.finish(*w);
        EXPECT_EQ(e.lesson().curves.size(), 1u);
    }
}

TEST_F(Lessons, UndoTakesBackTheNewestCurveAndAWipeAndRedoBringsThemBack) {
    quorvex::MainWindow f;
    f.show();
    f.setKeepCurves(true);
    testsupport::powerCurve(f, "2");
    const QImage one = pictureOf(f);
    testsupport::powerCurve(f, "3");
    const QImage two = pictureOf(f);
    auto spoken = [&f] { return canvas::MessageBar::of(&f)->lastMessage(); };
    f.onUndoClicked();
    EXPECT_EQ(f.lesson().curves.size(), 1u);
    EXPECT_TRUE(pictureOf(f) == one);
    EXPECT_EQ(spoken(), "撤销, 去掉图象 y 等于 x 的 3 次方");
    f.onRedoClicked();
    EXPECT_TRUE(pictureOf(f) == two);
    EXPECT_EQ(spoken(), "重做, 画回图象 y 等于 x 的 3 次方");
    f.onClearGraphClicked();
    EXPECT_TRUE(f.lesson().curves.empty());
    f.onUndoClicked();
    EXPECT_EQ(f.lesson().curves.size(), 2u);
    EXPECT_TRUE(pictureOf(f) == two);
    f.onUndoClicked();
    f.onUndoClicked();
    EXPECT_TRUE(f.lesson().curves.empty());
    f.onUndoClicked(); // nothing left to take back
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(Lessons, BadFilesAreRefusedWithTheReasonAndNothingChanges) {
    quorvex::MainWindow f;
    f.show();
    testsupport::powerCurve(f, "2");
    const QImage before = pictureOf(f);
    const std::vector<canvas::LessonCurve> curves = f.lesson().curves;
    QFile other(folder.filePath("zelmora.kejian"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(canvas::writeLesson(canvas::Lesson{}, "Zelmora"));
    other.close();
    QFile broken(folder.filePath("broken.kejian"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{\"format\": 1, \"program\": \"Quorvex\", \"view\": {\"xmin\": NaN");
    broken.close();
    const struct {
        QString path;
        const char* says;
    } cases[] = {{other.fileName(), "无法打开 zelmora.kejian：这是 Zelmora 的课件，请用 Zelmora 打开。"},
                 {broken.fileName(), "无法打开 broken.kejian：这个文件不是课件，或者内容不完整。"},
                 {folder.path(), nullptr}};
    for (const auto& c : cases) {
        messages.clear();
        EXPECT_FALSE(f.openLesson(c.path));
        ASSERT_EQ(messages.texts().size(), 1u);
        if (c.says) {
            EXPECT_EQ(messages.texts().front(), QString::fromUtf8(c.says));
        }
        EXPECT_TRUE(pictureOf(f) == before);
        EXPECT_EQ(f.lesson().curves, curves);
    }
}

TEST_F(Lessons, ALessonOpenedInAnotherProcessShowsTheSameCanvasAndSavesTheSameBytes) {
    const QString child = qEnvironmentVariable("LESSON_CHILD");
    if (!child.isEmpty()) {
        // The second process: open, compare with the picture the first one saw, save again.
        quorvex::MainWindow f;
        f.show();
        ASSERT_TRUE(f.openLesson(child + "/saved.kejian"));
        EXPECT_TRUE(pictureOf(f) == QImage(child + "/saved.png"));
        ASSERT_TRUE(f.saveLesson(child + "/again.kejian"));
        return;
    }
    quorvex::MainWindow f;
    f.show();
    f.setKeepCurves(true);
    f.setCurveNames(true);
    testsupport::powerCurve(f, "2");
    testsupport::powerCurve(f, "-1");
    f.onDrawGridClicked();
    ASSERT_TRUE(f.saveLesson(folder.filePath("saved.kejian")));
    ASSERT_TRUE(pictureOf(f).save(folder.filePath("saved.png")));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LESSON_CHILD", folder.path());
    process.setProcessEnvironment(env);
    process.start(
        QCoreApplication::applicationFilePath(),
        {"--gtest_filter=Lessons.ALessonOpenedInAnotherProcessShowsTheSameCanvasAndSavesTheSameBytes"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString();
    QFile saved(folder.filePath("saved.kejian")), again(folder.filePath("again.kejian"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), again.readAll());
}

TEST_F(Lessons, TheCommandLineOpensOneLessonFileAndNothingElse) {
    QFile lesson(folder.filePath("a.kejian"));
    ASSERT_TRUE(lesson.open(QIODevice::WriteOnly));
    lesson.write(canvas::writeLesson(canvas::Lesson{}, "Quorvex"));
    lesson.close();
    const QString program = QStringLiteral("Quorvex");
    EXPECT_EQ(canvas::readStartOptions(program, {program, lesson.fileName()}).lessonFile, lesson.fileName());
    EXPECT_EQ(canvas::readStartOptions(program, {program, lesson.fileName(), lesson.fileName()}).exitCode, 2);
    EXPECT_EQ(canvas::readStartOptions(program, {program, folder.path()}).exitCode, 2);
    EXPECT_EQ(canvas::readStartOptions(program, {program, "picture.bmp"}).exitCode, 2);
}

TEST(CurveLabels, NoNameCoversAnotherNameANumberOrAnArrow) {
    const canvas::FrameStyle style{0.001, 0.3, 1.0, false};
    auto power = [](int n, int m) {
        canvas::CurveRecord c = canvas::powerCurve(n, m, {});
        c.formula = canvas::writtenFormula(c);
        return c;
    };
    auto based = [](canvas::CurveKind kind, double a) {
        canvas::CurveRecord c = canvas::baseCurve(kind, a, {});
        c.formula = canvas::writtenFormula(c);
        return c;
    };
    const std::vector<canvas::CurveRecord> powers{power(1, 1),  power(2, 1), power(3, 1),
                                                  power(-1, 1), power(1, 3), power(2, 3)};
    const std::vector<canvas::CurveRecord> bases{
        based(canvas::CurveKind::Exponential, 2), based(canvas::CurveKind::Exponential, 0.5),
        based(canvas::CurveKind::Logarithm, 2), based(canvas::CurveKind::Logarithm, 0.5),
        canvas::identityCurve()};
    const canvas::ViewRange views[] = {{-10, 10, -10, 10, 1, 1},
                                       {-1, 1, -1, 1, 0.1, 0.1},
                                       {-2, 8, -3, 5, 0.5, 0.5},
                                       {3, 9, 2, 8, 1, 1},
                                       {-1000, 1000, -1000, 1000, 100, 100}};
    for (const canvas::ViewRange& v : views)
        for (const auto* set : {&powers, &bases}) {
            canvas::Surface s(QSize(393, 377), canvas::RGB(255, 255, 192), 0);
            ASSERT_EQ(canvas::zuobiao(s, style, v.xmin, v.xmax, v.ymin, v.ymax, v.xju1, v.yju1),
                      canvas::FrameOutcome::Drawn);
            const std::vector<QRectF> frame = canvas::labelObstacles(s, v);
            std::vector<QRectF> labels;
            for (const canvas::CurveRecord& c : *set) {
                const std::size_t texts = s.displayList().textBoxes().size();
                if (canvas::writeCurveLabel(s, v, c, canvas::RGB(200, 0, 0))) {
                    ASSERT_EQ(s.displayList().textBoxes().size(), texts + 1);
                    labels.push_back(s.displayList().textBoxes().back());
                }
            }
            EXPECT_GE(labels.size(), set->size() - 1) << v.xmin;
            for (std::size_t i = 0; i < labels.size(); ++i) {
                for (std::size_t j = i + 1; j < labels.size(); ++j)
                    EXPECT_FALSE(labels[i].intersects(labels[j])) << v.xmin << " " << i << " " << j;
                for (const QRectF& f : frame)
                    EXPECT_FALSE(labels[i].intersects(f)) << v.xmin << " " << i;
            }
        }
}

namespace {

// The box a program's parameter is typed into, and the newest curve's formula after Up there.
struct LiveBox {
    const char* program;
    std::function<QLineEdit*(QWidget&)> box;
    const char* afterUp;
};

const LiveBox kLiveBoxes[] = {
    {"Quorvex", [](QWidget& w) { return static_cast<quorvex::MainWindow&>(w).controls().mBox; },
     "y = x^(3/3)"},
    {"Zelmora", [](QWidget& w) { return expLogOf(w).parameterBox(); }, "y = 3.1^x"},
    {"Tavrinth", [](QWidget& w) { return expLogOf(w).parameterBox(); }, "y = log_3.1 x"},
};

const canvas::LessonCurve* newest(ExplorerWindow& e, canvas::CurveKind kind) {
    for (auto c = e.lesson().curves.rbegin(); c != e.lesson().curves.rend(); ++c)
        if (c->record.kind == kind)
            return &*c;
    return nullptr;
}

} // namespace

TEST_F(Lessons, UpAndDownOnTheParameterRedrawTheNewestCurveWholeInItsColour) {
    for (std::size_t i = 0; i < std::size(kPrograms); ++i) {
        const Program& p = kPrograms[i];
        SCOPED_TRACE(p.name);
        const std::unique_ptr<QWidget> w = p.make();
        ExplorerWindow& e = explorer(*w);
        p.drawCurves(*w);
        const canvas::CurveKind kind = e.lesson().curves.front().record.kind;
        const canvas::Colour colour = newest(e, kind)->colour;
        QLineEdit* box = kLiveBoxes[i].box(*w);
        QTest::keyClick(box, Qt::Key_Up);
        EXPECT_EQ(newest(e, kind)->record.formula, kLiveBoxes[i].afterUp);
        EXPECT_EQ(newest(e, kind)->colour, colour);
        EXPECT_TRUE(pictureOf(*w) == freshDrawing(p, *w, folder.path()));
        QTest::keyClick(box, Qt::Key_Down);
        EXPECT_NE(newest(e, kind)->record.formula, kLiveBoxes[i].afterUp);
    }
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(Lessons, AValueWithoutACurveTakesItOffWithANoteAndNoMessageBox) {
    quorvex::MainWindow q;
    q.show();
    testsupport::powerCurve(q, "1");
    QTest::keyClick(q.controls().mBox, Qt::Key_Down);
    EXPECT_EQ(q.controls().mBox->text(), "0");
    EXPECT_TRUE(q.lesson().curves.empty());
    EXPECT_EQ(q.liveNote(), "m 为 0 时没有图象");
    QTest::keyClick(q.controls().mBox, Qt::Key_Down);
    EXPECT_EQ(q.lesson().curves.at(0).record.formula, "y = x^(-1)");
    EXPECT_TRUE(q.liveNote().isEmpty());

    testsupport::ExpLogWindow z(expolog::kZelmora);
    z.plot("0.1");
    z.runTrace();
    QTest::keyClick(z.form.parameterBox(), Qt::Key_Down);
    EXPECT_EQ(z.form.parameterBox()->text(), "0");
    EXPECT_TRUE(z.form.lesson().curves.empty());
    EXPECT_FALSE(z.form.liveNote().isEmpty());
    QTest::keyClick(z.form.parameterBox(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(z.form.parameterBox()->text(), "1");
    QTest::keyClick(z.form.parameterBox(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(z.form.lesson().curves.at(0).record.formula, "y = 1.01^x");
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(Lessons, TheSweepFollowsItsClockStopsOnAKeyAndEndsAtTheEndValue) {
    double now = 0;
    canvas::sweepClock() = [&now] { return now; };
    testsupport::ExpLogWindow z(expolog::kZelmora);
    z.plot("2");
    z.runTrace();
    z.form.onAnimateClicked();
    EXPECT_TRUE(z.form.isAnimating());
    EXPECT_EQ(z.form.parameterBox()->text(), "0.2");
    now = 5000;
    z.form.onAnimationFrame();
    EXPECT_EQ(z.form.parameterBox()->text(), "2.6");
    EXPECT_EQ(z.form.lesson().curves.back().record.formula, "y = 2.6^x");
    QTest::keyClick(z.form.controls().canvas, Qt::Key_Space);
    EXPECT_FALSE(z.form.isAnimating());
    EXPECT_EQ(z.form.parameterBox()->text(), "2.6");
    z.form.onAnimateClicked();
    now = 20000;
    z.form.onAnimationFrame();
    EXPECT_FALSE(z.form.isAnimating());
    EXPECT_EQ(z.form.parameterBox()->text(), "5");
    canvas::sweepClock() = [] { return 0.0; };
}

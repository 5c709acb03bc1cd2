// Every window at the projector's scale steps and full screen: controls, fonts and pictures grow, the canvas
// stays the same canvas with finer pixels, and nothing the pupil did is lost. Runs on an off-screen
// "projector" of 3000 x 2000 pixels, where every step fits.

#include "../support/expologwindow.h"
#include "../support/messagerecorder.h"
#include "../support/picturedifference.h"
#include "classroom/startup.h"
#include "classroom/windowcommands.h"
#include "drawing/curvestyle.h"
#include "expolog/family.h"
#include "power/mainwindow.h"
#include "widgets/controls.h"
#include "widgets/displayscale.h"
#include "widgets/qtmessagebox.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

using canvas::WindowCommands;

namespace {

// Settings go to a scratch folder for the whole run, never to the user's own.
const QTemporaryDir& settingsDir() {
    static const QTemporaryDir dir = [] {
        QTemporaryDir d;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, d.path());
        return d;
    }();
    return dir;
}

struct Layout {
    std::map<QWidget*, QRect> rects;
    std::map<QWidget*, qreal> points;
};

// The controls of a window as it shows them: direct children, and what lies on the canvas.
Layout layoutOf(QWidget* window) {
    Layout l;
    std::function<void(QWidget*)> take = [&](QWidget* parent) {
        for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isWindow())
                continue;
            l.rects[w] = w->geometry();
            l.points[w] = w->font().pointSizeF();
            if (qobject_cast<canvas::CanvasWidget*>(w))
                take(w);
        }
    };
    take(window);
    return l;
}

// Each window at every step: each control at its 100 % rectangle times the factor, every font the factor
// larger, the canvas picture drawn that much finer at its logical size; Ctrl+0 restores 100 % exactly.
void checkEverySteps(QWidget* window, canvas::CanvasWidget* canvas) {
    window->show();
    QApplication::setActiveWindow(window);
    WindowCommands* commands = WindowCommands::of(window);
    ASSERT_NE(commands, nullptr);
    const Layout base = layoutOf(window);
    const QSize baseSize = window->size();
    const QSize logical = canvas->surface().size();
    for (const int step : canvas::kScaleSteps) {
        SCOPED_TRACE(step);
        commands->setScalePercent(step);
        const qreal f = step / 100.0;
        EXPECT_EQ(commands->scalePercent(), step);
        EXPECT_EQ(window->size(), canvas::scaledRect(QRect(QPoint(), baseSize), f).size());
        const Layout now = layoutOf(window);
        for (const auto& [w, rect] : base.rects) {
            EXPECT_EQ(now.rects.at(w), canvas::scaledRect(rect, f)) << w->metaObject()->className();
            if (w != canvas && w->parentWidget() != canvas) {
                EXPECT_DOUBLE_EQ(now.points.at(w), base.points.at(w) * f) << w->metaObject()->className();
            }
        }
        EXPECT_EQ(canvas->surface().size(), logical);
        EXPECT_EQ(canvas->surface().Image().size(),
                  QSize(qRound(logical.width() * f), qRound(logical.height() * f)));
    }
    QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(commands->scalePercent(), 100);
    EXPECT_EQ(window->size(), baseSize);
    const Layout restored = layoutOf(window);
    EXPECT_EQ(restored.rects, base.rects);
    EXPECT_EQ(restored.points, base.points);
    EXPECT_EQ(canvas->surface().Image().size(), logical);
}

void activate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
}

// Every window starts at 100 %, with settings of its own.
class Projection : public ::testing::Test {
protected:
    void SetUp() override {
        settingsDir();
        canvas::DisplayScale::instance().setFactor(1);
    }
};

} // namespace

TEST(ScaleSteps, EdgesRoundOnceSoNeighboursStayAligned) {
    // Two controls side by side at 100 % still touch at every step.
    const QRect left(15, 20, 57, 25), right(72, 20, 31, 25);
    for (const int step : canvas::kScaleSteps) {
        const qreal f = step / 100.0;
        EXPECT_EQ(canvas::scaledRect(left, f).right() + 1, canvas::scaledRect(right, f).left()) << step;
    }
    EXPECT_EQ(canvas::twips(2400, 480, 5895, 5655, 2.0), QRect(320, 64, 786, 754));
}

TEST(ScaleSteps, UpDownAndWhatFitsTheScreen) {
    EXPECT_EQ(canvas::stepUp(100, 300), 125);
    EXPECT_EQ(canvas::stepUp(200, 200), 200); // the largest that fits is the top
    EXPECT_EQ(canvas::stepUp(175, 300), 200);
    EXPECT_EQ(canvas::stepDown(250), 200);
    EXPECT_EQ(canvas::stepDown(100), 100);
    // 740 x 494 with a 30-pixel title bar on a 1920 x 1080 projector: 200 % is 988 + 30 high.
    EXPECT_EQ(canvas::largestFittingStep({740, 494}, {2, 30}, {1920, 1050}), 200);
    EXPECT_EQ(canvas::largestFittingStep({740, 494}, {0, 0}, {640, 480}), 100);
}

TEST(ScaleSteps, StoredOrTypedValuesOtherThanAStepAreRefused) {
    struct Row {
        const char* text;
        std::optional<int> percent;
    } rows[] = {{"200", 200},          {"125%", 125},          {" 300 ", 300},
                {"130", std::nullopt}, {"1000", std::nullopt}, {"-200", std::nullopt},
                {"abc", std::nullopt}, {"", std::nullopt},     {"2e2", std::nullopt}};
    for (const Row& r : rows)
        EXPECT_EQ(canvas::parseScaleStep(QString::fromUtf8(r.text)), r.percent) << r.text;
}

TEST_F(Projection, QuorvexAtEveryStep) {
    quorvex::MainWindow form;
    checkEverySteps(&form, form.controls().canvas);
}

TEST_F(Projection, ZelmoraAtEveryStep) {
    expolog::MainWindow form(expolog::kZelmora);
    checkEverySteps(&form, form.controls().canvas);
}

TEST_F(Projection, TavrinthAtEveryStep) {
    expolog::MainWindow form(expolog::kTavrinth);
    checkEverySteps(&form, form.controls().canvas);
}

namespace {
struct DragResult {
    canvas::ViewRange view;
    QString readOut;
    QStringList boxes;
};

// A real pointer drag on the canvas of a Quorvex window at a scale, in pixels at 100 % times the scale.
DragResult dragAt(int percent) {
    testsupport::MessageRecorder messages;
    quorvex::MainWindow form;
    form.show();
    WindowCommands::of(&form)->setScalePercent(percent);
    const qreal f = percent / 100.0;
    auto at = [f](int x, int y) { return QPoint(qRound(x * f), qRound(y * f)); };
    QTest::mouseMove(form.controls().canvas, at(100, 100));
    const QString readOut = form.controls().coordinateLabel->Caption();
    QTest::mousePress(form.controls().canvas, Qt::LeftButton, {}, at(100, 100));
    QTest::mouseMove(form.controls().canvas, at(140, 120));
    QTest::mouseRelease(form.controls().canvas, Qt::LeftButton, {}, at(150, 130));
    WindowCommands::of(&form)->resetScale();
    return {form.view(),
            readOut,
            {form.controls().xMaxBox->text(), form.controls().xMinBox->text(),
             form.controls().yMaxBox->text(), form.controls().yMinBox->text()}};
}
} // namespace

TEST_F(Projection, DragAndReadOutAt200AreThoseOf100) {
    const DragResult normal = dragAt(100);
    const DragResult large = dragAt(200);
    EXPECT_FALSE(normal.readOut.isEmpty());
    EXPECT_EQ(large.readOut, normal.readOut);
    EXPECT_EQ(large.boxes, normal.boxes);
    EXPECT_EQ(large.view.xmin, normal.view.xmin);
    EXPECT_EQ(large.view.xmax, normal.view.xmax);
    EXPECT_EQ(large.view.ymin, normal.view.ymin);
    EXPECT_EQ(large.view.ymax, normal.view.ymax);
}

TEST_F(Projection, CurvesBoxesAndARunningTraceSurviveAScaleChange) {
    testsupport::ExpLogWindow w(expolog::kZelmora);
    w.plot(QStringLiteral("2"));
    for (int i = 0; i < 50; ++i)
        w.form.onTraceTick();
    const std::size_t drawn = w.curve().size();
    ASSERT_GT(drawn, 0u);
    ASSERT_TRUE(w.form.controls().traceTimer->isActive());
    WindowCommands::of(&w.form)->setScalePercent(250);
    EXPECT_TRUE(w.form.controls().traceTimer->isActive());
    EXPECT_EQ(w.form.parameterBox()->text(), QStringLiteral("2"));
    // The curve drawn so far is still in the picture: the point (0, 1) of y = 2^x.
    canvas::Surface& s = w.form.controls().canvas->surface();
    const QPoint onCurve = s.toPixel(0, 1).toPoint();
    bool found = false;
    for (int dy = -4; dy <= 4 && !found; ++dy)
        for (int dx = -4; dx <= 4 && !found; ++dx)
            found = s.Image().pixelColor(onCurve + QPoint(dx, dy)) != QColor(255, 255, 208) &&
                    s.Image().pixelColor(onCurve + QPoint(dx, dy)) != QColor(Qt::black);
    EXPECT_TRUE(found);
    w.runTrace();
    EXPECT_GT(w.curve().size(), drawn);
    EXPECT_TRUE(
        w.form.controls().valueAtZeroPicture->isVisible()); // the properties filled in when the trace ended
    WindowCommands::of(&w.form)->resetScale();
}

TEST_F(Projection, FullScreenFitsTheContentCentredAndEscReturns) {
    quorvex::MainWindow form;
    activate(&form);
    WindowCommands* commands = WindowCommands::of(&form);
    commands->setScalePercent(150);
    const QRect before = form.geometry();
    QTest::keyClick(&form, Qt::Key_F11);
    QCoreApplication::processEvents(); // the platform's answer: the window now covers the screen
    ASSERT_TRUE(commands->isFullScreen());
    EXPECT_EQ(form.size(), QSize(3000, 2000));
    // 3000 x 2000 holds 740 x 494 at most 2000 / 494 times; the content is centred across.
    const qreal f = 2000.0 / 494;
    EXPECT_DOUBLE_EQ(commands->factor(), f);
    EXPECT_DOUBLE_EQ(canvas::DisplayScale::instance().factor(), f);
    EXPECT_EQ(commands->origin(), QPoint(qRound((3000 - 740 * f) / 2), 0));
    EXPECT_EQ(form.controls().canvas->geometry().topLeft(),
              commands->origin() +
                  canvas::scaledRect(QRect(160, 32, 393, 377), commands->factor()).topLeft());
    // Esc in a text box that has no use for it leaves full screen too.
    form.controls().xMaxBox->setFocus();
    QTest::keyClick(form.controls().xMaxBox, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(commands->isFullScreen());
    EXPECT_EQ(commands->scalePercent(), 150);
    EXPECT_EQ(form.geometry().size(), before.size());
    commands->resetScale();
}

TEST_F(Projection, TheMenuOfTheFreeAreaListsTheCommandsWithTheirKeys) {
    quorvex::MainWindow form;
    form.show();
    WindowCommands* commands = WindowCommands::of(&form);
    QStringList items;
    for (QAction* a : commands->menu()->actions())
        items << a->text() + QLatin1Char(' ') + a->shortcut().toString();
    EXPECT_EQ(items, (QStringList{QStringLiteral("放大显示 Ctrl+="), QStringLiteral("缩小显示 Ctrl+-"),
                                  QStringLiteral("原始大小 Ctrl+0"), QStringLiteral("全屏 F11"),
                                  QStringLiteral("高对比度 "), QStringLiteral("导出图像… Ctrl+Shift+S"),
                                  QStringLiteral("打印… Ctrl+P"), QStringLiteral("复制图像 Ctrl+C"),
                                  QStringLiteral("保存声音… "), QStringLiteral("保留图象 "),
                                  QStringLiteral("图象名称 "), QStringLiteral("撤销 Ctrl+Z"),
                                  QStringLiteral("重做 Ctrl+Shift+Z"), QStringLiteral("保存课件… Ctrl+S"),
                                  QStringLiteral("打开课件… Ctrl+O"), QStringLiteral("参数动画 ")}));
    EXPECT_TRUE(commands->isFreeArea(QPoint(5, 480))); // the window itself
    EXPECT_TRUE(commands->isFreeArea(
        form.controls().instructionsPicture->geometry().center())); // the instructions picture
    EXPECT_FALSE(commands->isFreeArea(form.controls().plotButton->geometry().center())); // a button
    EXPECT_FALSE(
        commands->isFreeArea(form.controls().canvas->geometry().center())); // the canvas: every button drags
    // Later commands join the same menu, with their keys working in the whole window.
    auto* extra = new QAction(QStringLiteral("导出图像…"), &form);
    commands->addCommand(extra);
    EXPECT_EQ(commands->menu()->actions().back(), extra);
    EXPECT_TRUE(form.actions().contains(extra));
}

TEST_F(Projection, TheSaveDialogFollowsTheScale) {
    quorvex::MainWindow form;
    form.show();
    form.onSaveClicked();
    quorvex::SaveDialog* dialog = form.saveDialog();
    const QSize size = dialog->size();
    const QRect name = dialog->controls().nameBox->geometry();
    WindowCommands::of(&form)->setScalePercent(200);
    EXPECT_EQ(dialog->size(), size * 2);
    EXPECT_EQ(dialog->controls().nameBox->geometry(), canvas::scaledRect(name, 2));
    EXPECT_DOUBLE_EQ(dialog->controls().nameBox->font().pointSizeF(), 21);
    WindowCommands::of(&form)->resetScale();
    EXPECT_EQ(dialog->size(), size);
}

TEST_F(Projection, TheLastScaleIsRememberedAndTheCommandLineWins) {
    const QString program = QStringLiteral("Zelmora");
    {
        expolog::MainWindow form(expolog::kZelmora);
        form.show();
        WindowCommands::of(&form)->setScalePercent(175);
    }
    canvas::DisplayScale::instance().setFactor(1);
    canvas::StartOptions options = canvas::readStartOptions(program, {program});
    EXPECT_FALSE(options.exitCode);
    EXPECT_DOUBLE_EQ(canvas::DisplayScale::instance().factor(), 1.75);
    {
        // The next run starts at the stored scale, its canvas drawn at it from the first frame.
        expolog::MainWindow form(expolog::kZelmora);
        canvas::showMainWindow(form, options);
        EXPECT_EQ(WindowCommands::of(&form)->scalePercent(), 175);
        EXPECT_EQ(form.controls().canvas->surface().Image().size(), QSize(653, 653));
    }
    options = canvas::readStartOptions(program, {program, QStringLiteral("--scale=250")});
    EXPECT_EQ(options.scale, 250);
    EXPECT_DOUBLE_EQ(canvas::DisplayScale::instance().factor(), 2.5);
    EXPECT_EQ(canvas::storedScale(program), 175); // --scale is for this run only

    for (const char* corrupt : {"abc", "1000", "99", ""}) {
        QSettings(QStringLiteral("function-explorers"), program)
            .setValue(QStringLiteral("display/scale"), QString::fromUtf8(corrupt));
        EXPECT_EQ(canvas::storedScale(program), 100) << corrupt;
    }
    EXPECT_EQ(canvas::readStartOptions(program, {program, QStringLiteral("--scale=130")}).exitCode, 2);
    EXPECT_EQ(canvas::readStartOptions(program, {program, QStringLiteral("--help")}).exitCode, 0);
    canvas::DisplayScale::instance().setFactor(1);
}

TEST(SurfaceDensity, APictureDrawnThenMadeFinerShowsThePictureDrawnFineFromTheStart) {
    auto draw = [](canvas::Surface& s) {
        s.Scale(-10, 10, 10, -10);
        s.setDrawWidth(2);
        s.Line(-10, 0, 10, 0, canvas::RGB(0, 0, 0));
        s.Line(-3, -9, 4, 8.5, canvas::RGB(200, 0, 0));
        s.setFontItalic(true);
        s.setCurrentX(1);
        s.setCurrentY(-1);
        s.Print(QStringLiteral("x"));
        s.PSet(5, 5);
    };
    for (const qreal ratio : {1.25, 2.0, 2.1862348, 3.0}) {
        canvas::Surface fine(QSize(389, 373), canvas::RGB(255, 255, 192), canvas::RGB(0, 0, 0), ratio);
        draw(fine);
        canvas::Surface later(QSize(389, 373), canvas::RGB(255, 255, 192), canvas::RGB(0, 0, 0));
        draw(later);
        const float y = later.CurrentY(); // where the next text goes is the program's, at any density
        later.setDeviceRatio(ratio);
        // Drawn again from the display list (exact positions, whole-pixel edges): the same drawing as one
        // made fine from the start, up to where a line's edge falls within a pixel.
        EXPECT_LT(testsupport::difference(later.Image(), fine.Image()), testsupport::kSamePicture) << ratio;
        EXPECT_EQ(later.CurrentY(), y) << ratio;
        EXPECT_EQ(later.toPixel(3, 3), fine.toPixel(3, 3)) << ratio;
    }
}

TEST_F(Projection, ARightClickOnTheFreeAreaOpensTheMenuAndOnTheCanvasDoesNot) {
    quorvex::MainWindow form;
    activate(&form);
    QMenu* menu = WindowCommands::of(&form)->menu();
    auto rightClick = [](QWidget* w, QPoint pos) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, pos, w->mapToGlobal(pos));
        QApplication::sendEvent(w, &e);
    };
    rightClick(form.controls().canvas, QPoint(100, 100));
    EXPECT_FALSE(menu->isVisible());
    rightClick(form.controls().plotButton, QPoint(5, 5));
    EXPECT_FALSE(menu->isVisible());
    rightClick(form.controls().instructionsPicture, QPoint(5, 5));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    // Ctrl++ (with the Shift that + takes on most keyboards) is the same step up as Ctrl+=.
    QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(WindowCommands::of(&form)->scalePercent(), 125);
    QTest::keyClick(&form, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(WindowCommands::of(&form)->scalePercent(), 150);
    WindowCommands::of(&form)->resetScale();
}

TEST_F(Projection, AZelmoraWindowEnlargedByHandKeepsItsInversePanelAcrossScales) {
    expolog::MainWindow form(expolog::kZelmora);
    form.show();
    WindowCommands* commands = WindowCommands::of(&form);
    const QRect panel = form.controls().inverseButton->geometry();
    const QSize enlarged = form.size() + QSize(0, 200);
    form.resize(enlarged);
    commands->setScalePercent(200);
    EXPECT_EQ(form.size(), enlarged * 2);
    EXPECT_EQ(form.controls().inverseButton->geometry(), canvas::scaledRect(panel, 2));
    commands->resetScale();
    EXPECT_EQ(form.size(), enlarged);
}

TEST(SurfaceDensity, DrawingAgainAtANewDensityAddsNothingToTheExportedPicture) {
    canvas::Surface s(QSize(389, 373), canvas::RGB(255, 255, 192), canvas::RGB(0, 0, 0));
    s.Scale(-10, 10, 10, -10);
    s.Line(-10, 0, 10, 0, canvas::RGB(0, 0, 0));
    s.Print(QStringLiteral("1"));
    const std::size_t items = s.displayList().itemCount(), points = s.displayList().pointCount();
    s.setDeviceRatio(2);
    EXPECT_EQ(s.displayList().itemCount(), items);
    EXPECT_EQ(s.displayList().pointCount(), points);
}

TEST_F(Projection, TheMenuKeysOpenTheWindowMenuAtTheFocusedControlAndATextBoxKeepsItsOwn) {
    quorvex::MainWindow form;
    activate(&form);
    QMenu* menu = WindowCommands::of(&form)->menu();
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Menu), Qt::SHIFT | Qt::Key_F10}) {
        for (QWidget* control : std::initializer_list<QWidget*>{
                 form.controls().canvas, form.controls().plotButton, form.controls().integerFormOption}) {
            control->setFocus();
            QTest::keyClick(control, key.key(), key.keyboardModifiers());
            EXPECT_TRUE(menu->isVisible()) << control->metaObject()->className();
            EXPECT_TRUE(control->rect().contains(control->mapFromGlobal(menu->pos())));
            menu->hide();
        }
        form.controls().xMinBox->setFocus();
        QTest::keyClick(form.controls().xMinBox, key.key(), key.keyboardModifiers());
        EXPECT_FALSE(menu->isVisible());
        QMenu* editMenu = form.controls().xMinBox->findChild<QMenu*>();
        ASSERT_NE(editMenu, nullptr);
        EXPECT_TRUE(editMenu->isVisible());
        delete editMenu;
    }
}

// The mark round the focused canvas: only once a key has been pressed, over the picture and never in it,
// at every scale.
TEST_F(Projection, TheCanvasFocusMarkShowsOnceTheKeyboardIsUsed) {
    for (const int step : {100, 200}) {
        SCOPED_TRACE(step);
        quorvex::MainWindow form;
        activate(&form);
        WindowCommands::of(&form)->setScalePercent(step);
        canvas::CanvasWidget* canvas = form.controls().canvas;
        auto marked = [&] {
            const QImage shot = canvas->grab().toImage();
            const qreal f = step / 100.0;
            return shot.pixelColor(QPoint(3 * f * shot.devicePixelRatio(), shot.height() / 2)) ==
                   canvas->palette().color(QPalette::Highlight);
        };
        ASSERT_EQ(QApplication::focusWidget(), canvas);
        EXPECT_FALSE(marked()); // at start-up
        QTest::keyClick(canvas, Qt::Key_Right);
        EXPECT_TRUE(marked());
        QTest::mouseClick(form.controls().plotButton, Qt::LeftButton);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(canvas->width() / 2, canvas->height() / 2));
        EXPECT_FALSE(marked());                                   // brought by the pointer
        QTest::keyClick(form.controls().plotButton, Qt::Key_Tab); // the keyboard again, round to the canvas
        canvas->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(marked());
        const QImage picture = canvas->surface().Image();
        EXPECT_NE(picture.pixelColor(3, picture.height() / 2), canvas->palette().color(QPalette::Highlight));
        WindowCommands::of(&form)->resetScale();
    }
}

TEST_F(Projection, HighContrastIsOffByDefaultAndRemembered) {
    const QString program = QStringLiteral("Quorvex");
    auto contrastCommand = [](QWidget* w) -> QAction* {
        for (QAction* a : WindowCommands::of(w)->menu()->actions())
            if (a->text() == QStringLiteral("高对比度"))
                return a;
        return nullptr;
    };
    canvas::readStartOptions(program, {program});
    {
        quorvex::MainWindow form;
        QAction* command = contrastCommand(&form);
        ASSERT_TRUE(command && command->isCheckable());
        EXPECT_FALSE(command->isChecked());
        command->trigger();
    }
    canvas::CurveStyle::instance().setHighContrast(false);
    canvas::readStartOptions(program, {program});
    EXPECT_TRUE(canvas::CurveStyle::instance().highContrast());
    quorvex::MainWindow form;
    EXPECT_TRUE(contrastCommand(&form)->isChecked());
    contrastCommand(&form)->trigger();
    EXPECT_FALSE(canvas::storedHighContrast(program));
    EXPECT_FALSE(canvas::CurveStyle::instance().highContrast());
}

TEST_F(Projection, OptionIndicatorsAndMessageIconsGrowWithTheScale) {
    quorvex::MainWindow form;
    activate(&form);
    auto indicator = [&form] {
        QStyleOptionButton option;
        option.initFrom(form.controls().integerFormOption);
        return form.controls().integerFormOption->style()->subElementRect(
            QStyle::SE_RadioButtonIndicator, &option, form.controls().integerFormOption);
    };
    auto icon = [] {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("警告"), QStringLiteral("数据输入有误！"));
        const QSize before = box.iconPixmap().deviceIndependentSize().toSize();
        canvas::fitToDisplayScale(box);
        return std::pair{before, box.iconPixmap().deviceIndependentSize().toSize()};
    };
    const QRect small = indicator();
    EXPECT_EQ(icon().first, icon().second); // nothing changes at 100 %
    WindowCommands::of(&form)->setScalePercent(200);
    EXPECT_EQ(indicator().size(), small.size() * 2);
    const auto [before, after] = icon();
    EXPECT_EQ(after, before * 2);
    WindowCommands::of(&form)->resetScale();
    EXPECT_EQ(indicator(), small);
}

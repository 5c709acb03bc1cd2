#include "power/mainwindow.h"

#include "classroom/canvascommands.h"
#include "classroom/windowcommands.h"
#include "drawing/curvestyle.h"
#include "power/plotmessage.h"
#include "power/zuotu.h"
#include "runtime/runtime.h"
#include "widgets/controls.h"
#include "widgets/framemessage.h"
#include "widgets/indicatorstyle.h"

#include <QCloseEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvex {

using canvas::coverWindow;
using canvas::designFont;
using canvas::twips;

namespace {

const QString kSong = QStringLiteral("宋体");
const QString kKai = QStringLiteral("楷体_GB2312");
const QString kTimes = QStringLiteral("Times New Roman");

// `words`: what the picture says, read by screen readers; none for a picture that only decorates.
canvas::ImageControl* picture(QWidget* parent, const QString& source, QRect geometry, const QString& words) {
    auto* image = new canvas::ImageControl(source, parent);
    image->setGeometry(geometry);
    image->setWords(words);
    return image;
}

QLabel* label(QWidget* parent, const QString& caption, QRect geometry, const QFont& font) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(geometry);
    l->setFont(font);
    coverWindow(l);
    return l;
}

// `name`: the box's accessible name, from the words beside it on screen.
QLineEdit* textBox(QWidget* parent, QRect geometry, const QFont& font, const QString& name) {
    auto* t = new QLineEdit(parent);
    t->setGeometry(geometry);
    t->setFont(font);
    t->setAccessibleName(name);
    coverWindow(t);
    return t;
}

// `name`: an accessible name where the caption alone is not unique in the window.
QPushButton* button(QWidget* parent, const QString& caption, QRect geometry, const QString& name = {}) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(geometry);
    b->setAccessibleName(name);
    b->setAutoDefault(false);
    coverWindow(b);
    return b;
}

QRadioButton* option(QWidget* parent, const QString& caption, QRect geometry) {
    auto* o = new QRadioButton(caption, parent);
    o->setGeometry(geometry);
    o->setFont(designFont(kSong, 10.5));
    o->setStyle(canvas::IndicatorStyle::instance());
    o->setAutoFillBackground(true);
    QPalette palette = o->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 192));
    o->setPalette(palette);
    coverWindow(o);
    return o;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : ExplorerWindow(
          {QColor(214, 222, 232), QStringLiteral(":/power/background.svg"), QSize(739, 494), false}, parent) {
    setWindowTitle(QStringLiteral("Quorvex"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips(0, 0, 11100, 7410).size());
    setWindowIcon(canvas::programIcon(QStringLiteral(":/power/icon.svg")));
    setFont(designFont(kSong, 9));
    setMouseTracking(true);
    buildControls();
    load();
}

MainWindow::~MainWindow() {
    canvas::disconnectControls(this);
    // The save dialog has no owner window; it goes with the program.
    delete saveDialog_.data();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (saveDialog_)
        saveDialog_->close();
}

void MainWindow::buildControls() {
    // Framed panels and decorations first, so the controls laid over them stay on top.
    ui_.exponentPanelPicture = picture(this, QStringLiteral(":/power/panel_mn.svg"),
                                       twips(120, 2040, 2115, 3045), QStringLiteral("输入m、n的值"));
    ui_.formPanelPicture = picture(this, QStringLiteral(":/power/panel_option.svg"),
                                   twips(120, 5400, 1875, 1845), QStringLiteral("选择指数形式"));
    ui_.rangePanelPicture = picture(this, QStringLiteral(":/power/panel_range.svg"),
                                    twips(8400, 360, 2475, 5475), QStringLiteral("设置坐标系"));
    ui_.titlePicture = picture(this, QStringLiteral(":/power/title.svg"), twips(4200, 0, 2400, 480), {});
    ui_.generalFormulaPicture =
        picture(this, QStringLiteral(":/power/formula_alpha.svg"), twips(240, 960, 1845, 840),
                QStringLiteral("y = x^α (α为常数, x为自变量)"));
    ui_.integerFormulaPicture =
        picture(this, QStringLiteral(":/power/formula_m.svg"), twips(240, 960, 1860, 840),
                QStringLiteral("y = x^m (m为非零整数, x为自变量)"));
    ui_.fractionFormulaPicture =
        picture(this, QStringLiteral(":/power/formula_mn.svg"), twips(240, 960, 1845, 945),
                QStringLiteral("y = x^(m/n) (m, n为非零整数, x为自变量)"));
    ui_.instructionsPicture =
        picture(this, QStringLiteral(":/power/instructions.svg"), twips(2400, 6195, 6180, 1050),
                QStringLiteral("操作说明: 1) 作图之前必须建立坐标系. 2) 选择指数形式. 3) 在文本框输入m, "
                               "n的值. 提示: 可拖动坐标轴观察图像"));
    ui_.emblemPicture = picture(this, QStringLiteral(":/power/round.svg"), twips(8640, 6240, 870, 870), {});
    ui_.exitPicture = picture(this, QStringLiteral(":/common/exit_normal.svg"), twips(9840, 6600, 825, 330),
                              QStringLiteral("退出"));
    ui_.exitHighlight =
        picture(this, QStringLiteral(":/common/exit_highlight.svg"), twips(9840, 6600, 825, 330), {});

    ui_.canvas = new canvas::CanvasWidget(twips(0, 0, 5895, 5655).size(), kCanvasBackColor, this);
    ui_.canvas->move(twips(2400, 480, 0, 0).topLeft());
    ui_.canvas->setFont(designFont(kTimes, 9));
    ui_.horizontalGuide = ui_.canvas->addLine();
    ui_.verticalGuide = ui_.canvas->addLine();
    ui_.coordinateLabel = ui_.canvas->addLabel();

    ui_.familyLabel =
        label(this, QStringLiteral("幂函数："), twips(480, 480, 1455, 495), designFont(kSong, 14.25, true));
    {
        QPalette palette = ui_.familyLabel->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        ui_.familyLabel->setPalette(palette);
    }
    ui_.mLabel =
        label(this, QStringLiteral("m="), twips(240, 2520, 495, 495), designFont(kTimes, 14.25, true));
    ui_.nLabel =
        label(this, QStringLiteral("n="), twips(240, 3120, 735, 375), designFont(kTimes, 14.25, true));
    ui_.mBox = textBox(this, twips(720, 2520, 975, 400), designFont(kSong, 12), QStringLiteral("m"));
    ui_.nBox = textBox(this, twips(720, 3120, 975, 400), designFont(kSong, 12), QStringLiteral("n"));
    ui_.plotButton = button(this, QStringLiteral("作图"), twips(240, 3720, 855, 375));
    ui_.clearGraphButton = button(this, QStringLiteral("清除图象"), twips(1150, 3720, 975, 375));
    ui_.saveButton = button(this, QStringLiteral("保存"), twips(240, 4130, 855, 375));
    ui_.clearExponentButton = button(this, QStringLiteral("清除数据"), twips(1150, 4130, 975, 375),
                                     QStringLiteral("清除数据（m、n）"));
    ui_.zoomInButton = button(this, QStringLiteral("放大"), twips(240, 4560, 855, 375));
    ui_.zoomOutButton = button(this, QStringLiteral("缩小"), twips(1150, 4560, 975, 375));
    ui_.integerFormOption = option(this, QStringLiteral("整数指数"), twips(480, 5880, 1215, 375));
    ui_.fractionFormOption = option(this, QStringLiteral("分数指数"), twips(480, 6480, 1215, 375));

    const QFont axisFont = designFont(kKai, 15.75, true);
    const QFont rangeLabelFont = designFont(kKai, 12);
    const QFont rangeBoxFont = designFont(kSong, 12);
    ui_.xAxisLabel = label(this, QStringLiteral("x轴"), twips(9120, 840, 1215, 375), axisFont);
    ui_.xMinLabel = label(this, QStringLiteral("最小值："), twips(8640, 1320, 1335, 375), rangeLabelFont);
    ui_.xMinBox = textBox(this, twips(9600, 1320, 975, 375), rangeBoxFont, QStringLiteral("x轴 最小值"));
    ui_.xMaxLabel = label(this, QStringLiteral("最大值："), twips(8640, 1800, 1095, 375), rangeLabelFont);
    ui_.xMaxBox = textBox(this, twips(9600, 1800, 975, 375), rangeBoxFont, QStringLiteral("x轴 最大值"));
    ui_.xSpacingLabel = label(this, QStringLiteral("单位长度"), twips(8520, 2400, 975, 375), rangeLabelFont);
    ui_.xSpacingBox =
        textBox(this, twips(9600, 2280, 975, 375), rangeBoxFont, QStringLiteral("x轴 单位长度"));
    ui_.yAxisLabel = label(this, QStringLiteral("y轴"), twips(9120, 2760, 735, 375), axisFont);
    ui_.yMinLabel = label(this, QStringLiteral("最小值："), twips(8640, 3240, 1095, 375), rangeLabelFont);
    ui_.yMinBox = textBox(this, twips(9600, 3240, 975, 375), rangeBoxFont, QStringLiteral("y轴 最小值"));
    ui_.yMaxLabel = label(this, QStringLiteral("最大值："), twips(8640, 3840, 1095, 375), rangeLabelFont);
    ui_.yMaxBox = textBox(this, twips(9600, 3720, 975, 375), rangeBoxFont, QStringLiteral("y轴 最大值"));
    ui_.ySpacingLabel = label(this, QStringLiteral("单位长度"), twips(8520, 4320, 975, 375), rangeLabelFont);
    ui_.ySpacingBox =
        textBox(this, twips(9600, 4200, 975, 375), rangeBoxFont, QStringLiteral("y轴 单位长度"));
    ui_.applyRangeButton = button(this, QStringLiteral("确定"), twips(8640, 4800, 855, 375));
    ui_.clearRangeButton = button(this, QStringLiteral("清除数据"), twips(9720, 4800, 975, 375),
                                  QStringLiteral("清除数据（坐标系）"));
    ui_.drawGridButton = button(this, QStringLiteral("画网格"), twips(8640, 5280, 855, 375));
    ui_.removeGridButton = button(this, QStringLiteral("消网格"), twips(9720, 5280, 975, 375));

    ui_.exitPicture->raise();
    ui_.exitHighlight->raise();

    buildSharedParts(ui_.canvas,
                     {{ui_.xMinBox, ui_.xMaxBox, ui_.yMinBox, ui_.yMaxBox, ui_.xSpacingBox, ui_.ySpacingBox},
                      canvas::RangePanelStyle{true, true},
                      canvas::PanningStyle{true, true},
                      [this] {
                          // Kept curves come back with the frame, each in its own colour.
                          if (curveWanted_ && !keepsCurves())
                              onPlotClicked();
                      },
                      canvas::ReadOut{ui_.horizontalGuide, ui_.verticalGuide, ui_.coordinateLabel},
                      ui_.exitPicture,
                      ui_.exitHighlight,
                      {[this] { ui_.coordinateLabel->setVisible(false); },
                       [this] { ui_.horizontalGuide->setVisible(false); },
                       [this] { ui_.verticalGuide->setVisible(false); }}});
    // After the exit button has made its picture a button that takes the focus, last in the chain.
    canvas::setTabChain({ui_.canvas,
                         ui_.mBox,
                         ui_.nBox,
                         ui_.plotButton,
                         ui_.clearGraphButton,
                         ui_.clearExponentButton,
                         ui_.xMinBox,
                         ui_.xMaxBox,
                         ui_.yMinBox,
                         ui_.yMaxBox,
                         ui_.applyRangeButton,
                         ui_.integerFormOption,
                         ui_.fractionFormOption,
                         ui_.clearRangeButton,
                         ui_.xSpacingBox,
                         ui_.ySpacingBox,
                         ui_.drawGridButton,
                         ui_.removeGridButton,
                         ui_.saveButton,
                         ui_.zoomInButton,
                         ui_.zoomOutButton,
                         ui_.exitPicture});
    grid_ = canvas::GridButtons{false, [this] { return plotState_ != PlotState::Cleared; },
                                [this] { onApplyRangeClicked(); }, [this] { onPlotClicked(); }};
    connectHandlers();
    addCommands(QStringLiteral("Quorvex"));
    for (QLineEdit* box : {ui_.mBox, ui_.nBox})
        watchParameterBox(
            box, [this, box](int direction, Qt::KeyboardModifiers) { onExponentStepped(box, direction); });
}

void MainWindow::connectHandlers() {
    using canvas::handler;
    auto click = [this](QPushButton* b, void (MainWindow::*h)()) {
        connect(b, &QPushButton::clicked, this, handler(this, h));
    };
    click(ui_.applyRangeButton, &MainWindow::onApplyRangeClicked);
    click(ui_.plotButton, &MainWindow::onPlotClicked);
    click(ui_.clearGraphButton, &MainWindow::onClearGraphClicked);
    click(ui_.clearExponentButton, &MainWindow::onClearExponentClicked);
    click(ui_.clearRangeButton, &MainWindow::onClearRangeClicked);
    click(ui_.drawGridButton, &MainWindow::onDrawGridClicked);
    click(ui_.removeGridButton, &MainWindow::onRemoveGridClicked);
    click(ui_.zoomInButton, &MainWindow::onZoomInClicked);
    click(ui_.zoomOutButton, &MainWindow::onZoomOutClicked);
    click(ui_.saveButton, &MainWindow::onSaveClicked);
    connect(ui_.canvas, &canvas::CanvasWidget::focusLost, this,
            handler(this, &MainWindow::onCanvasFocusLost));
    // An option runs its handler whenever it becomes the chosen one: by a click, by the arrow keys of the
    // group, or by an assistive tool's toggle action (which checks the button without clicking it).
    auto chosen = [this](QRadioButton* o, void (MainWindow::*h)()) {
        connect(o, &QRadioButton::toggled, this, [run = handler(this, h)](bool checked) {
            if (checked)
                run();
        });
    };
    chosen(ui_.integerFormOption, &MainWindow::onIntegerFormChosen);
    chosen(ui_.fractionFormOption, &MainWindow::onFractionFormChosen);
}

void MainWindow::load() {
    curveWanted_ = false;
    ui_.fractionFormulaPicture->setVisible(false);
    ui_.integerFormulaPicture->setVisible(false);
    ui_.exitPicture->setVisible(true);
    ui_.exitHighlight->setVisible(false);
    ui_.mBox->setVisible(false);
    ui_.nBox->setVisible(false);
    // Framing the first view also hides the pointer read-out.
    showFirstView();
}

void MainWindow::onActivated() {
    ui_.horizontalGuide->setVisible(false);
    ui_.verticalGuide->setVisible(false);
}

void MainWindow::zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) {
    const canvas::FrameOutcome outcome =
        canvas::zuobiao(ui_.canvas->surface(), frameMemory_, kFrameStyle, xmin, xmax, ymin, ymax, xju1, yju1);
    canvas::tellFrameOutcome(outcome);
    // A new plane under a resting pointer: the read-out showed a point of the old one.
    if (panning_)
        panning_->hideReadOut();
    if (outcome == canvas::FrameOutcome::Drawn) {
        ui_.canvas->description().frame({xmin, xmax, ymin, ymax, xju1, yju1});
        frameDrawn();
    } else {
        ui_.canvas->description().cleared();
    }
}

void MainWindow::onIntegerFormChosen() {
    exponentForm_ = ExponentForm::Integer;
    ui_.fractionFormulaPicture->setVisible(false);
    ui_.integerFormulaPicture->setVisible(true);
    ui_.generalFormulaPicture->setVisible(false);
    ui_.mBox->setVisible(true);
    ui_.nBox->setVisible(false);
}

void MainWindow::onFractionFormChosen() {
    exponentForm_ = ExponentForm::Fraction;
    ui_.generalFormulaPicture->setVisible(false);
    ui_.integerFormulaPicture->setVisible(false);
    ui_.fractionFormulaPicture->setVisible(true);
    ui_.mBox->setVisible(true);
    ui_.nBox->setVisible(true);
}

namespace {
// The number in a box as a 16-bit integer, halves to even. A number that does not fit is refused like a
// zero, with the same message, rather than failing the whole plot.
std::int16_t boxInteger(const QLineEdit* box) {
    try {
        return canvas::CInt(canvas::Val(box->text()));
    } catch (const canvas::RuntimeError&) {
        return 0;
    }
}
} // namespace

void MainWindow::onPlotClicked() {
    ui_.canvas->surface().setDrawWidth(canvas::CurveStyle::instance().width(2));
    if (exponentForm_ == ExponentForm::Integer) {
        valueM_ = boxInteger(ui_.mBox);
        zuotu1(valueM_);
    }
    if (exponentForm_ == ExponentForm::Fraction) {
        valueM_ = boxInteger(ui_.mBox);
        valueN_ = boxInteger(ui_.nBox);
        zuotu2(valueM_, valueN_);
    }
    plotState_ = PlotState::Plotted;
    curveWanted_ = true;
}

void MainWindow::zuotu1(std::int16_t n) {
    const canvas::Colour colour = nextCurveColour();
    const PlotOutcome outcome = quorvex::zuotu1(ui_.canvas->surface(), view_, n, colour);
    quorvex::tellPlotOutcome(outcome);
    if (outcome != PlotOutcome::Drawn) {
        ui_.mBox->clear();
        ui_.mBox->setFocus();
        return;
    }
    powerDrawn(canvas::powerCurve(n, 1, formula1(n)), colour, true);
}

void MainWindow::powerDrawn(const canvas::CurveRecord& record, canvas::Colour colour, bool isNew) {
    const canvas::LessonCurve curve{record, colour, ui_.canvas->surface().DrawWidth()};
    if (isNew)
        curveStarted(curve);
    ui_.canvas->description().curve(record);
    curveCompleted(curve);
}

void MainWindow::drawWhole(const canvas::LessonCurve& curve) {
    canvas::Surface& surface = ui_.canvas->surface();
    surface.setDrawWidth(curve.width);
    const auto n = static_cast<std::int16_t>(curve.record.numerator);
    const auto m = static_cast<std::int16_t>(curve.record.denominator);
    if (curve.record.fractionForm)
        quorvex::zuotu2(surface, view_, n, m, curve.colour);
    else
        quorvex::zuotu1(surface, view_, n, curve.colour);
    powerDrawn(curve.record, curve.colour, false);
}

void MainWindow::zuotu2(std::int16_t numerator, std::int16_t denominator) {
    const canvas::Colour colour = nextCurveColour();
    const PlotOutcome outcome = quorvex::zuotu2(ui_.canvas->surface(), view_, numerator, denominator, colour);
    quorvex::tellPlotOutcome(outcome);
    if (outcome != PlotOutcome::Drawn) {
        ui_.mBox->clear();
        ui_.mBox->setFocus();
        ui_.nBox->clear();
        ui_.nBox->setFocus();
        return;
    }
    canvas::CurveRecord record = canvas::powerCurve(numerator, denominator, formula2(numerator, denominator));
    record.fractionForm = true;
    powerDrawn(record, colour, true);
}

void MainWindow::onExponentStepped(QLineEdit* box, int direction) {
    const int value =
        std::clamp(boxInteger(box) + direction, static_cast<int>(INT16_MIN), static_cast<int>(INT16_MAX));
    box->setText(QString::number(value));
    showExponent();
}

void MainWindow::showExponent() {
    if (exponentForm_ == ExponentForm::None || !liveCurve(canvas::CurveKind::Power))
        return;
    const std::int16_t m = boxInteger(ui_.mBox);
    if (exponentForm_ == ExponentForm::Integer) {
        if (m == 0)
            showLiveCurve(std::nullopt, QStringLiteral("m 为 0 时没有图象"));
        else
            showLiveCurve(canvas::powerCurve(m, 1, formula1(m)), {});
        return;
    }
    const std::int16_t n = boxInteger(ui_.nBox);
    if (m == 0 || n == 0) {
        showLiveCurve(std::nullopt, QStringLiteral("m、n 为 0 时没有图象"));
        return;
    }
    canvas::CurveRecord record = canvas::powerCurve(m, n, formula2(m, n));
    record.fractionForm = true;
    showLiveCurve(record, {});
}

std::optional<canvas::ParameterSweep> MainWindow::parameterSweep() {
    if (exponentForm_ == ExponentForm::None || !liveCurve(canvas::CurveKind::Power))
        return std::nullopt;
    // m from -3 to 3, half a second each; m = 0 has no curve, so the sweep passes it by.
    return canvas::ParameterSweep::steps({-3, -2, -1, 1, 2, 3}, 500);
}

void MainWindow::sweepTo(double value) {
    ui_.mBox->setText(QString::number(static_cast<int>(value)));
    showExponent();
}

void MainWindow::onClearGraphClicked() {
    wipeLesson();
    ui_.canvas->surface().Cls();
    drawFrame();
    plotState_ = PlotState::Cleared;
    curveWanted_ = false;
}

void MainWindow::onClearExponentClicked() {
    curveWanted_ = false;
    ui_.mBox->clear();
    ui_.nBox->clear();
}

void MainWindow::zoom(double factor) {
    // Scaled about the origin: every limit is multiplied by the same factor. A limit that would overflow
    // stays at the largest finite value, so the view_ never holds infinity.
    auto scaled = [factor](double v) {
        const double r = v * factor;
        return std::isfinite(r) ? r : std::copysign(std::numeric_limits<double>::max(), r);
    };
    view_.xmax = scaled(view_.xmax);
    view_.xmin = scaled(view_.xmin);
    view_.ymax = scaled(view_.ymax);
    view_.ymin = scaled(view_.ymin);
    rangePanel_->writeLimits(view_.xmin, view_.xmax, view_.ymin, view_.ymax);
    drawFrame();
    if (curveWanted_ && !keepsCurves())
        onPlotClicked();
}

void MainWindow::onZoomInClicked() {
    zoom(0.5);
    zoomLevel_ = zoomLevel_ + 1;
    // Only reaching a limit changes the buttons: once there, the view_ sweeps to the other limit.
    if (zoomLevel_ == 2) {
        ui_.zoomInButton->setEnabled(false);
        ui_.zoomOutButton->setEnabled(true);
    }
}

void MainWindow::onZoomOutClicked() {
    zoom(2);
    zoomLevel_ = zoomLevel_ - 1;
    if (zoomLevel_ == -2) {
        ui_.zoomOutButton->setEnabled(false);
        ui_.zoomInButton->setEnabled(true);
    }
}

void MainWindow::onSaveClicked() {
    if (!saveDialog_)
        saveDialog_ = new SaveDialog([this] { return ui_.canvas->surface().picture(); });
    saveDialog_->openFrom(this, ui_.canvas);
}

void MainWindow::onCanvasZoomStep(int direction) {
    // A disabled button does not click.
    (direction > 0 ? ui_.zoomInButton : ui_.zoomOutButton)->click();
}

void MainWindow::onCanvasFocusLost() {
    panning_->hideReadOut();
}

} // namespace quorvex

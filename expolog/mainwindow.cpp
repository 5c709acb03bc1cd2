#include "expolog/mainwindow.h"

#include "classroom/canvascommands.h"
#include "classroom/windowcommands.h"
#include "drawing/curvestyle.h"
#include "expolog/family.h"
#include "runtime/messagebox.h"
#include "runtime/runtime.h"
#include "widgets/controls.h"
#include "widgets/framemessage.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <utility>

namespace expolog {

using canvas::designFont;

namespace {

const QString kSong = QStringLiteral("宋体");
const QString kKai = QStringLiteral("楷体_GB2312");
const QString kTimes = QStringLiteral("Times New Roman");
// The blank of the properties sentence, as the table picture reads it.
const QString kBlank = QStringLiteral("( )");

QRect pixels(const Twips& t) {
    return canvas::twips(t.left, t.top, t.width, t.height);
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    w->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(const Family& family, QWidget* parent)
    // The texture tiles seamlessly, so an enlarged window stays covered.
    : ExplorerWindow(
          {std::nullopt, family.pictures + QStringLiteral("background.svg"), QSize(780, 700), true}, parent),
      family_(family) {
    setWindowTitle(family_.caption);
    // Sizable, but without a maximize button; enlarging it downwards reveals the inverse-function panel.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(pixels(family_.client).size());
    setWindowIcon(canvas::programIcon(family_.pictures + QStringLiteral("icon.svg")));
    setFont(designFont(kSong, 9));
    setMouseTracking(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    buildControls();
    load();
}

MainWindow::~MainWindow() {
    canvas::disconnectControls(this);
}

void MainWindow::buildControls() {
    for (const PictureRow& row : family_.pictureRows) {
        const QString file = QString::fromUtf8(row.file);
        auto* image = new canvas::ImageControl(file.startsWith(u':') ? file : family_.pictures + file, this);
        image->setGeometry(pixels(row.at));
        image->setVisible(row.visible);
        image->setWords(QString::fromUtf8(row.words));
        ui_.*row.control = image;
    }
    blankSentence_ = ui_.propertiesPicture->accessibleName();

    ui_.canvas = new canvas::CanvasWidget(pixels(family_.canvas).size(), kCanvasBackColor, this);
    ui_.canvas->move(pixels(family_.canvas).topLeft());
    ui_.canvas->setFont(designFont(kTimes, 9));
    ui_.canvasLabel = new QLabel(ui_.canvas);
    ui_.canvasLabel->setGeometry(pixels(family_.canvasLabel));
    ui_.canvasLabel->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (const LabelRow& row : family_.rangeLabels) {
        auto* label = new QLabel(QString::fromUtf8(row.caption), this);
        label->setGeometry(pixels(row.at));
        label->setFont(designFont(kKai, row.pointSize, row.bold));
        canvas::coverWindow(label);
        ui_.*row.control = label;
    }
    ui_.answerLabel = new QLabel(this);
    ui_.answerLabel->setGeometry(pixels(family_.blank));
    ui_.answerLabel->setFont(designFont(kSong, 10.5));
    ui_.answerLabel->setAlignment(Qt::AlignCenter);
    setTextColour(ui_.answerLabel, Qt::red);
    canvas::coverWindow(ui_.answerLabel);

    for (const TextRow& row : family_.textRows) {
        auto* box = new QLineEdit(this);
        box->setGeometry(pixels(row.at));
        box->setFont(designFont(kSong, row.pointSize));
        if (row.red)
            setTextColour(box, Qt::red);
        box->setVisible(row.visible);
        box->setAccessibleName(QString::fromUtf8(row.name));
        canvas::coverWindow(box);
        ui_.*row.control = box;
    }
    for (const ButtonRow& row : family_.buttonRows) {
        auto* button = new QPushButton(QString::fromUtf8(row.caption), this);
        button->setGeometry(pixels(row.at));
        button->setAutoDefault(false);
        button->setVisible(row.visible);
        button->setAccessibleName(QString::fromUtf8(row.name));
        canvas::coverWindow(button);
        ui_.*row.control = button;
    }

    ui_.traceTimer = new QTimer(this);
    ui_.inverseTraceTimer = new QTimer(this);
    for (QTimer* timer : {ui_.traceTimer, ui_.inverseTraceTimer}) {
        timer->setInterval(kTraceIntervalMs);
        timer->setTimerType(Qt::PreciseTimer);
    }

    buildSharedParts(ui_.canvas,
                     {{ui_.xMinBox, ui_.xMaxBox, ui_.yMinBox, ui_.yMaxBox, ui_.xSpacingBox, ui_.ySpacingBox},
                      family_.rangePanel,
                      canvas::PanningStyle{false, false},
                      [this] {
                          // Kept curves come back with the frame, the newest traced again.
                          if (keepsCurves())
                              return;
                          const bool passed = curveWanted_ ? traceRestart() : true;
                          if (passed && family_.dragAlwaysEnablesTimer)
                              ui_.traceTimer->start();
                      },
                      {},
                      ui_.exitPicture,
                      ui_.exitHighlight,
                      {[this] { ui_.canvasLabel->setVisible(false); }}});
    // The exit picture is a button to the keyboard too: last in the chain, after every control.
    std::vector<QWidget*> tabChain{ui_.canvas};
    for (TabStop stop : family_.tabChain)
        tabChain.push_back(stop(ui_));
    tabChain.push_back(ui_.exitPicture);
    canvas::setTabChain(tabChain);
    grid_ = canvas::GridButtons{true, [this] { return !canvasCleared_; }, [this] { onApplyRangeClicked(); },
                                [this] { onPlotClicked(); }};
    connectHandlers();
    addCommands(family_.caption);
    // The inverse panel lies below the window's first view_, where only enlarging the window shows it: a
    // pupil who cannot see that it is there is told so, and the menu shows it.
    auto* inversePanel = new QAction(QStringLiteral("反函数图象面板"), this);
    connect(inversePanel, &QAction::triggered, this, [this] { showInversePanel(); });
    commands_->addCommand(inversePanel);
    ui_.canvas->description().setHint(QStringLiteral("反函数图象面板在窗口菜单里"));
    watchParameterBox(parameterBox(),
                      [this](int direction, Qt::KeyboardModifiers keys) { onBaseStepped(direction, keys); });
}

void MainWindow::onBaseStepped(int direction, Qt::KeyboardModifiers keys) {
    const double step = (keys & Qt::ShiftModifier) ? 1 : (keys & Qt::ControlModifier) ? 0.01 : 0.1;
    const double a = canvas::Val(parameterBox()->text()) + direction * step;
    parameterBox()->setText(canvas::Str(a));
    showBase(a);
}

void MainWindow::showBase(double a) {
    if (!liveCurve(family_.mainKind))
        return;
    if (!(a > 0) || a == 1 || !std::isfinite(a)) {
        ui_.valueAtZeroPicture->setVisible(false);
        ui_.growingValuesPicture->setVisible(false);
        ui_.fallingValuesPicture->setVisible(false);
        showAnswer({});
        showLiveCurve(std::nullopt, QStringLiteral("底数 a 要大于 0 且不等于 1，没有图象"));
        return;
    }
    trace_.baseA = a;
    fillProperties();
    showLiveCurve(canvas::baseCurve(family_.mainKind, a, curveFormula(family_.mainFormula)), {});
}

std::optional<canvas::ParameterSweep> MainWindow::parameterSweep() {
    if (!liveCurve(family_.mainKind))
        return std::nullopt;
    return canvas::ParameterSweep::linear(0.2, 5, 10000);
}

void MainWindow::sweepTo(double value) {
    // Thousandths, as a pupil would type them; a = 1 has no curve, so the sweep passes it by.
    const double a = std::round(value * 1000) / 1000;
    if (a == 1)
        return;
    parameterBox()->setText(canvas::Str(a));
    showBase(a);
}

QString MainWindow::sweepMoment(double before, double after) const {
    if (before <= 1 && after > 1)
        return QStringLiteral("底数大于 1，增函数");
    if (before >= 1 && after < 1)
        return QStringLiteral("底数小于 1，减函数");
    return {};
}

void MainWindow::showInversePanel() {
    QRect panel;
    for (const PictureRow& row : family_.pictureRows)
        if (row.control == &Controls::inversePanelPicture)
            panel = pixels(row.at);
    const QRect client = pixels(family_.client);
    // The panel with the margin the window keeps above its first view_.
    commands_->growContent(QSize(client.width(), panel.bottom() + 1 + pixels(family_.canvas).top()));
}

void MainWindow::connectHandlers() {
    using canvas::handler;
    auto click = [this](QPushButton* b, void (MainWindow::*h)()) {
        connect(b, &QPushButton::clicked, this, handler(this, h));
    };
    click(ui_.plotButton, &MainWindow::onPlotClicked);
    click(ui_.clearGraphButton, &MainWindow::onClearGraphClicked);
    click(ui_.clearBaseButton, &MainWindow::onClearBaseClicked);
    click(ui_.inverseButton, &MainWindow::onInverseClicked);
    click(ui_.symmetryAxisButton, &MainWindow::onSymmetryAxisClicked);
    click(ui_.clearRangeButton, &MainWindow::onClearRangeClicked);
    click(ui_.applyRangeButton, &MainWindow::onApplyRangeClicked);
    click(ui_.drawGridButton, &MainWindow::onDrawGridClicked);
    click(ui_.removeGridButton, &MainWindow::onRemoveGridClicked);
    connect(ui_.traceTimer, &QTimer::timeout, this, handler(this, &MainWindow::onTraceTick));
    connect(ui_.inverseTraceTimer, &QTimer::timeout, this, handler(this, &MainWindow::onInverseTraceTick));
    connect(parameterBox(), &QLineEdit::textChanged, this, handler(this, &MainWindow::onBaseEdited));
}

void MainWindow::load() {
    curveWanted_ = false;
    showFirstView();
}

void MainWindow::onActivated() {
    parameterBox()->setFocus();
}

void MainWindow::zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) {
    const canvas::FrameOutcome outcome =
        canvas::zuobiao(ui_.canvas->surface(), frameMemory_, kFrameStyle, xmin, xmax, ymin, ymax, xju1, yju1,
                        {&trace_.stepX, &trace_.stepY});
    canvas::tellFrameOutcome(outcome);
    if (outcome == canvas::FrameOutcome::Drawn) {
        ui_.canvas->description().frame({xmin, xmax, ymin, ymax, xju1, yju1});
        frameDrawn();
    } else {
        ui_.canvas->description().cleared();
    }
}

canvas::Colour MainWindow::curveColour() const {
    return canvas::RGB(static_cast<int>(curveRed_), static_cast<int>(curveGreen_),
                       static_cast<int>(curveBlue_));
}

bool MainWindow::startCurve(bool newColour) {
    curveWanted_ = true;
    ui_.canvas->surface().setDrawWidth(canvas::CurveStyle::instance().width(2));
    if (family_.plotResetsCanvasCleared)
        canvasCleared_ = false;
    trace_.stepX = 1.0 / 10;
    trace_.baseA = canvas::Val(parameterBox()->text());
    if (trace_.baseA < 0 || trace_.baseA == 1 || trace_.baseA == 0) {
        canvas::MsgBox(QStringLiteral("无意义的参数,请重新输入合适的参数。"), canvas::kHintTitle,
                       canvas::MessageIcon::Information);
        parameterBox()->clear();
        parameterBox()->setFocus();
        return false;
    }
    // From here a run-time failure ends the command quietly.
    try {
        trace_.lnBase = canvas::checkedLog(trace_.baseA);
        startTrace(family_.mainTrace, trace_, view_);
    } catch (const canvas::RuntimeError&) {
        return true;
    }
    // A curve asked for with 作图 is told with its properties when its trace_ ends; one traced again after
    // a drag or a zoom is not news.
    tellProperties_ = newColour;
    if (newColour) {
        // Single-precision products, like the generator's numbers.
        curveRed_ = static_cast<float>(canvas::Int(canvas::Rnd() * 255.0f));
        curveGreen_ = static_cast<float>(canvas::Int(canvas::Rnd() * 255.0f));
        curveBlue_ = static_cast<float>(canvas::Int(canvas::Rnd() * 255.0f));
        const canvas::Colour c = canvas::CurveStyle::instance().next(curveColour());
        curveRed_ = static_cast<float>(canvas::redOf(c));
        curveGreen_ = static_cast<float>(canvas::greenOf(c));
        curveBlue_ = static_cast<float>(canvas::blueOf(c));
    }
    ui_.traceTimer->start();
    tracing_ = {curveRecord(family_.mainKind, family_.mainFormula), curveColour(),
                ui_.canvas->surface().DrawWidth()};
    // A curve traced again after a drag is new to a lesson that lost its curves with the frame.
    if (newColour || !keepsCurves())
        curveStarted(tracing_);
    return true;
}

void MainWindow::drawWhole(const canvas::LessonCurve& curve) {
    canvas::Surface& surface = ui_.canvas->surface();
    if (curve.record.kind == canvas::CurveKind::Identity) {
        symmetryAxis(trace_, view_, surface);
    } else {
        const bool inverse = curve.record.kind == family_.inverseKind;
        const TraceRules& rules = inverse ? family_.inverseTrace : family_.mainTrace;
        // Drawn whole now, so a trace still drawing it would only draw it twice.
        (inverse ? ui_.inverseTraceTimer : ui_.traceTimer)->stop();
        TraceState whole = trace_;
        whole.baseA = curve.record.base;
        whole.stepX = 1.0 / 10;
        try {
            whole.lnBase = canvas::checkedLog(whole.baseA);
            startTrace(rules, whole, view_);
            surface.setDrawWidth(curve.width);
            traceWhole(rules, whole, view_, surface, curve.colour);
        } catch (const canvas::RuntimeError&) {
            // A trace that cannot start draws nothing, as its timer would not have.
        }
    }
    ui_.canvas->description().curve(curve.record);
    curveCompleted(curve);
}

void MainWindow::redrawNewest(const canvas::LessonCurve& curve) {
    if (curve.record.kind != family_.mainKind) {
        drawWhole(curve);
        return;
    }
    trace_.baseA = curve.record.base;
    trace_.stepX = 1.0 / 10;
    try {
        trace_.lnBase = canvas::checkedLog(trace_.baseA);
        startTrace(family_.mainTrace, trace_, view_);
    } catch (const canvas::RuntimeError&) {
        return;
    }
    curveRed_ = static_cast<float>(canvas::redOf(curve.colour));
    curveGreen_ = static_cast<float>(canvas::greenOf(curve.colour));
    curveBlue_ = static_cast<float>(canvas::blueOf(curve.colour));
    ui_.canvas->surface().setDrawWidth(curve.width);
    tellProperties_ = false;
    tracing_ = curve;
    ui_.traceTimer->start();
}

void MainWindow::stopDrawing() {
    ui_.traceTimer->stop();
    ui_.inverseTraceTimer->stop();
}

void MainWindow::onPlotClicked() {
    startCurve(true);
}

bool MainWindow::traceRestart() {
    return startCurve(false);
}

void MainWindow::onTraceTick() {
    // Handlers run one at a time: no tick while a message box waits, none after the program has ended.
    if (canvas::modalDepth() > 0 || canvas::programEnded())
        return;
    if (traceTick(family_.mainTrace, trace_, view_, ui_.canvas->surface(), curveColour()) ==
        TickResult::Stopped) {
        ui_.traceTimer->stop();
        // The curve is on the canvas only now: named, and announced with the properties it has filled in.
        fillProperties();
        if (std::exchange(tellProperties_, false))
            ui_.canvas->sayAfterChange(
                QString::fromUtf8(trace_.baseA > 1 ? family_.growingWords : family_.fallingWords));
        ui_.canvas->description().curve(curveRecord(family_.mainKind, family_.mainFormula));
        curveCompleted(tracing_);
    }
}

void MainWindow::fillProperties() {
    ui_.valueAtZeroPicture->setVisible(true);
    if (trace_.baseA > 1) {
        ui_.growingValuesPicture->setVisible(true);
        ui_.fallingValuesPicture->setVisible(false);
        showAnswer(QStringLiteral("增"));
    } else {
        ui_.fallingValuesPicture->setVisible(true);
        ui_.growingValuesPicture->setVisible(false);
        showAnswer(QStringLiteral("减"));
    }
}

void MainWindow::showAnswer(const QString& answer) {
    ui_.answerLabel->setText(answer);
    // The answer stands in a label of its own, away from its sentence in the table picture: the picture
    // reads the sentence with the answer in its blank.
    QString sentence = blankSentence_;
    if (!answer.isEmpty())
        sentence.replace(kBlank, answer);
    ui_.propertiesPicture->setWords(sentence);
}

void MainWindow::onClearGraphClicked() {
    if (family_.clearGraphEndsReplots)
        curveWanted_ = false;
    canvasCleared_ = true;
    wipeLesson();
    ui_.canvas->surface().Cls();
    drawFrame();
}

void MainWindow::onClearBaseClicked() {
    ui_.baseBox->clear();
    ui_.inverseBaseBox->clear();
    ui_.valueAtZeroPicture->setVisible(false);
    ui_.growingValuesPicture->setVisible(false);
    ui_.fallingValuesPicture->setVisible(false);
    showAnswer({});
    wipeLesson();
    ui_.canvas->surface().Cls();
    drawFrame();
}

void MainWindow::onBaseEdited() {
    mirrorBox()->setText(parameterBox()->text());
}

void MainWindow::onInverseClicked() {
    trace_.stepX = 1.0 / 10;
    ui_.canvas->surface().setDrawWidth(1);
    // The base of the inverse comes from the program's own box for it (the base box of one, the inverse
    // panel's box of the other), unchecked: a base that is not positive ends the command quietly at its
    // logarithm.
    trace_.baseA = canvas::Val((ui_.*family_.inverseBaseSource)->text());
    try {
        trace_.lnBase = canvas::checkedLog(trace_.baseA);
        startTrace(family_.inverseTrace, trace_, view_);
    } catch (const canvas::RuntimeError&) {
        return;
    }
    // A base for which the inverse has no curve at all (a = 1 where the inverse runs along y) would leave
    // the timer ticking idle for ever, and drawing unbidden once 作图 changes the shared base.
    if (family_.inverseTrace.forBase(trace_.baseA).walk == Walk::None)
        return;
    ui_.inverseTraceTimer->start();
    inverseTracing_ = {curveRecord(family_.inverseKind, family_.inverseFormula), canvas::RGB(0, 0, 255), 1};
    curveStarted(inverseTracing_);
}

void MainWindow::onInverseTraceTick() {
    if (canvas::modalDepth() > 0 || canvas::programEnded())
        return;
    if (traceTick(family_.inverseTrace, trace_, view_, ui_.canvas->surface(), canvas::RGB(0, 0, 255)) ==
        TickResult::Stopped) {
        ui_.inverseTraceTimer->stop();
        ui_.canvas->description().curve(curveRecord(family_.inverseKind, family_.inverseFormula));
        curveCompleted(inverseTracing_);
    }
}

void MainWindow::onSymmetryAxisClicked() {
    symmetryAxis(trace_, view_, ui_.canvas->surface());
    const canvas::LessonCurve axis{canvas::identityCurve(), ui_.canvas->surface().ForeColor(), 1};
    curveStarted(axis);
    ui_.canvas->description().curve(axis.record);
    curveCompleted(axis);
}

QString MainWindow::curveFormula(const char* pattern) const {
    return QString::fromUtf8(pattern).arg(canvas::Str(trace_.baseA));
}

canvas::CurveRecord MainWindow::curveRecord(canvas::CurveKind kind, const char* pattern) const {
    return canvas::baseCurve(kind, trace_.baseA, curveFormula(pattern));
}

void MainWindow::onCanvasZoomStep(int direction) {
    rangePanel_->scaleAboutOrigin(direction > 0 ? 0.5 : 2);
}

} // namespace expolog

#include "expolog/form1.h"

#include "classroom/canvascommands.h"
#include "classroom/windowcommands.h"
#include "drawing/curvestyle.h"
#include "expolog/family.h"
#include "runtime/messagebox.h"
#include "runtime/runtime.h"
#include "widgets/controls.h"
#include "widgets/framemessage.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <limits>
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

Form1::Form1(const Family& family, QWidget* parent) : QWidget(parent), family_(family) {
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
    Form_Load();
}

Form1::~Form1() {
    canvas::disconnectControls(this);
}

QLineEdit* Form1::parameterBox() const {
    return this->*family_.parameterBox;
}

QLineEdit* Form1::mirrorBox() const {
    return this->*family_.mirrorBox;
}

void Form1::buildControls() {
    for (const PictureRow& row : family_.pictureRows) {
        const QString file = QString::fromUtf8(row.file);
        auto* image = new canvas::ImageControl(file.startsWith(u':') ? file : family_.pictures + file, this);
        image->setGeometry(pixels(row.at));
        image->setVisible(row.visible);
        image->setWords(QString::fromUtf8(row.words));
        this->*row.control = image;
    }
    blankSentence_ = Image4->accessibleName();

    Picture1 = new canvas::CanvasWidget(pixels(family_.canvas).size(), kCanvasBackColor, this);
    Picture1->move(pixels(family_.canvas).topLeft());
    Picture1->setFont(designFont(kTimes, 9));
    Label11 = new QLabel(Picture1);
    Label11->setGeometry(pixels(family_.canvasLabel));
    Label11->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (const LabelRow& row : family_.rangeLabels) {
        auto* label = new QLabel(QString::fromUtf8(row.caption), this);
        label->setGeometry(pixels(row.at));
        label->setFont(designFont(kKai, row.pointSize, row.bold));
        canvas::coverWindow(label);
        this->*row.control = label;
    }
    Label1 = new QLabel(this);
    Label1->setGeometry(pixels(family_.blank));
    Label1->setFont(designFont(kSong, 10.5));
    Label1->setAlignment(Qt::AlignCenter);
    setTextColour(Label1, Qt::red);
    canvas::coverWindow(Label1);

    std::vector<std::pair<int, QWidget*>> tabOrder{{0, Picture1}};
    for (const TextRow& row : family_.textRows) {
        auto* box = new QLineEdit(this);
        box->setGeometry(pixels(row.at));
        box->setFont(designFont(kSong, row.pointSize));
        if (row.red)
            setTextColour(box, Qt::red);
        box->setVisible(row.visible);
        box->setAccessibleName(QString::fromUtf8(row.name));
        canvas::coverWindow(box);
        this->*row.control = box;
        tabOrder.emplace_back(row.tab, box);
    }
    for (const ButtonRow& row : family_.buttonRows) {
        auto* button = new QPushButton(QString::fromUtf8(row.caption), this);
        button->setGeometry(pixels(row.at));
        button->setAutoDefault(false);
        button->setVisible(row.visible);
        button->setAccessibleName(QString::fromUtf8(row.name));
        canvas::coverWindow(button);
        this->*row.control = button;
        tabOrder.emplace_back(row.tab, button);
    }

    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    for (QTimer* timer : {Timer1, Timer2}) {
        timer->setInterval(kTraceIntervalMs);
        timer->setTimerType(Qt::PreciseTimer);
    }

    rangePanel_ = std::make_unique<canvas::RangePanel>(
        canvas::RangeBoxes{Text3, Text4, Text5, Text6, Text8, Text9}, family_.rangePanel, view,
        [this] {
            Picture1->surface().Cls();
            Picture1->description().cleared();
        },
        [this] { zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1); });
    panning_ = std::make_unique<canvas::Panning>(
        view, canvas::PanningStyle{false, false},
        canvas::PanningActions{
            [this] { rangePanel_->writeLimits(view.xmin, view.xmax, view.ymin, view.ymax); },
            [this] { zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1); },
            [this] {
                const bool passed = noGraphFlag == 0 ? traceRestart() : true;
                if (passed && family_.dragAlwaysEnablesTimer)
                    Timer1->start();
            }});
    exit_ = std::make_unique<canvas::ExitButton>(
        Image17, Image16, std::vector<std::function<void()>>{[this] { Label11->setVisible(false); }});
    // The exit picture is a button to the keyboard too: last in the chain, after every control.
    tabOrder.emplace_back(std::numeric_limits<int>::max(), Image17);
    canvas::setTabOrderByIndex(tabOrder);
    grid_ = canvas::GridButtons{true, [this] { return canvasCleared != 1; }, [this] { Command7_Click(); },
                                [this] { Command1_Click(); }};
    connectHandlers();
    commands_ = new canvas::WindowCommands(this, family_.caption);
    for (QAction* action : canvas::addCanvasCommands(this, Picture1))
        commands_->addCommand(action);
    // The inverse panel lies below the window's first view, where only enlarging the window shows it: a
    // pupil who cannot see that it is there is told so, and the menu shows it.
    auto* inversePanel = new QAction(QStringLiteral("反函数图象面板"), this);
    connect(inversePanel, &QAction::triggered, this, [this] { showInversePanel(); });
    commands_->addCommand(inversePanel);
    Picture1->description().setHint(QStringLiteral("反函数图象面板在窗口菜单里"));
}

void Form1::showInversePanel() {
    QRect panel;
    for (const PictureRow& row : family_.pictureRows)
        if (row.control == &Form1::Image14)
            panel = pixels(row.at);
    const QRect client = pixels(family_.client);
    // The panel with the margin the window keeps above its first view.
    commands_->growContent(QSize(client.width(), panel.bottom() + 1 + pixels(family_.canvas).top()));
}

void Form1::connectHandlers() {
    using canvas::handler;
    auto click = [this](QPushButton* b, void (Form1::*h)()) {
        connect(b, &QPushButton::clicked, this, handler(this, h));
    };
    click(Command1, &Form1::Command1_Click);
    click(Command2, &Form1::Command2_Click);
    click(Command3, &Form1::Command3_Click);
    click(Command4, &Form1::Command4_Click);
    click(Command5, &Form1::Command5_Click);
    click(Command6, &Form1::Command6_Click);
    click(Command7, &Form1::Command7_Click);
    click(Command8, &Form1::Command8_Click);
    click(Command9, &Form1::Command9_Click);
    connect(Timer1, &QTimer::timeout, this, handler(this, &Form1::Timer1_Timer));
    connect(Timer2, &QTimer::timeout, this, handler(this, &Form1::Timer2_Timer));
    connect(parameterBox(), &QLineEdit::textChanged, this, handler(this, &Form1::parameterBox_Change));
    connect(Picture1, &canvas::CanvasWidget::mouseDown, this, handler(this, &Form1::Picture1_MouseDown));
    connect(Picture1, &canvas::CanvasWidget::mouseMoved, this, handler(this, &Form1::Picture1_MouseMove));
    connect(Picture1, &canvas::CanvasWidget::mouseUp, this, handler(this, &Form1::Picture1_MouseUp));
    connect(Picture1, &canvas::CanvasWidget::keyDown, this, handler(this, &Form1::Picture1_KeyDown));
    connectTouch();
}

void Form1::connectTouch() {
    using canvas::handler;
    connect(Picture1, &canvas::CanvasWidget::zoomStep, this, handler(this, &Form1::Picture1_ZoomStep));
    connect(Picture1, &canvas::CanvasWidget::dragCancelled, this, [this] { panning_->cancelDrag(); });
    connect(Picture1, &canvas::CanvasWidget::pointerLeft, this, handler(this, &Form1::Form_MouseMove));
}

void Form1::Form_Load() {
    noGraphFlag = 1;
    Text3->setText(QStringLiteral("-10"));
    Text4->setText(QStringLiteral("10"));
    Text5->setText(QStringLiteral("-10"));
    Text6->setText(QStringLiteral("10"));
    Text8->setText(QStringLiteral("1"));
    Text9->setText(QStringLiteral("1"));
    view.xmax = canvas::Val(Text4->text());
    view.xmin = canvas::Val(Text3->text());
    view.ymax = canvas::Val(Text6->text());
    view.ymin = canvas::Val(Text5->text());
    view.xju1 = canvas::Val(Text8->text());
    view.yju1 = canvas::Val(Text9->text());
    zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1);
}

void Form1::Form_Activate() {
    parameterBox()->setFocus();
}

void Form1::zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) {
    const canvas::FrameOutcome outcome = canvas::zuobiao(Picture1->surface(), kFrameStyle, xmin, xmax, ymin,
                                                         ymax, xju1, yju1, {&trace.stepX, &trace.stepY});
    canvas::tellFrameOutcome(outcome);
    if (outcome == canvas::FrameOutcome::Drawn)
        Picture1->description().frame({xmin, xmax, ymin, ymax, xju1, yju1});
    else
        Picture1->description().cleared();
}

canvas::Colour Form1::curveColour() const {
    return canvas::RGB(static_cast<int>(curveRed), static_cast<int>(curveGreen), static_cast<int>(curveBlue));
}

bool Form1::startCurve(bool newColour) {
    noGraphFlag = 0;
    Picture1->surface().setDrawWidth(canvas::CurveStyle::instance().width(2));
    if (family_.plotResetsCanvasCleared)
        canvasCleared = 0;
    trace.stepX = 1.0 / 10;
    trace.baseA = canvas::Val(parameterBox()->text());
    if (trace.baseA < 0 || trace.baseA == 1 || trace.baseA == 0) {
        canvas::MsgBox(QStringLiteral("无意义的参数,请重新输入合适的参数。"), canvas::kHintTitle,
                       canvas::MessageIcon::Information);
        parameterBox()->clear();
        parameterBox()->setFocus();
        return false;
    }
    // From here a run-time failure ends the command quietly.
    try {
        trace.lnBase = canvas::checkedLog(trace.baseA);
        startTrace(family_.mainTrace, trace, view);
    } catch (const canvas::RuntimeError&) {
        return true;
    }
    // A curve asked for with 作图 is told with its properties when its trace ends; one traced again after
    // a drag or a zoom is not news.
    tellProperties_ = newColour;
    if (newColour) {
        // Single-precision products, like the generator's numbers.
        curveRed = static_cast<float>(canvas::Int(canvas::Rnd() * 255.0f));
        curveGreen = static_cast<float>(canvas::Int(canvas::Rnd() * 255.0f));
        curveBlue = static_cast<float>(canvas::Int(canvas::Rnd() * 255.0f));
        const canvas::Colour c = canvas::CurveStyle::instance().next(curveColour());
        curveRed = static_cast<float>(canvas::redOf(c));
        curveGreen = static_cast<float>(canvas::greenOf(c));
        curveBlue = static_cast<float>(canvas::blueOf(c));
    }
    Timer1->start();
    return true;
}

void Form1::Command1_Click() {
    startCurve(true);
}

bool Form1::traceRestart() {
    return startCurve(false);
}

void Form1::Timer1_Timer() {
    // Handlers run one at a time: no tick while a message box waits, none after the program has ended.
    if (canvas::modalDepth() > 0 || canvas::programEnded())
        return;
    if (traceTick(family_.mainTrace, trace, view, Picture1->surface(), curveColour()) ==
        TickResult::Stopped) {
        Timer1->stop();
        // The curve is on the canvas only now: named, and announced with the properties it has filled in.
        fillProperties();
        if (std::exchange(tellProperties_, false))
            Picture1->sayAfterChange(
                QString::fromUtf8(trace.baseA > 1 ? family_.growingWords : family_.fallingWords));
        Picture1->description().curve(curveRecord(family_.mainKind, family_.mainFormula));
    }
}

void Form1::fillProperties() {
    Image7->setVisible(true);
    if (trace.baseA > 1) {
        Image8->setVisible(true);
        Image9->setVisible(false);
        showAnswer(QStringLiteral("增"));
    } else {
        Image9->setVisible(true);
        Image8->setVisible(false);
        showAnswer(QStringLiteral("减"));
    }
}

void Form1::showAnswer(const QString& answer) {
    Label1->setText(answer);
    // The answer stands in a label of its own, away from its sentence in the table picture: the picture
    // reads the sentence with the answer in its blank.
    QString sentence = blankSentence_;
    if (!answer.isEmpty())
        sentence.replace(kBlank, answer);
    Image4->setWords(sentence);
}

void Form1::Command2_Click() {
    if (family_.clearGraphEndsReplots)
        noGraphFlag = 1;
    canvasCleared = 1;
    Picture1->surface().Cls();
    zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1);
}

void Form1::Command3_Click() {
    Text1->clear();
    Text2->clear();
    Image7->setVisible(false);
    Image8->setVisible(false);
    Image9->setVisible(false);
    showAnswer({});
    Picture1->surface().Cls();
    zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1);
}

void Form1::parameterBox_Change() {
    mirrorBox()->setText(parameterBox()->text());
}

void Form1::Command4_Click() {
    trace.stepX = 1.0 / 10;
    Picture1->surface().setDrawWidth(1);
    // Both programs read the base of the inverse from Text1 (the parameter box of one, the mirror box of the
    // other), untested: a base that is not positive ends the command quietly at its logarithm.
    trace.baseA = canvas::Val(Text1->text());
    try {
        trace.lnBase = canvas::checkedLog(trace.baseA);
        startTrace(family_.inverseTrace, trace, view);
    } catch (const canvas::RuntimeError&) {
        return;
    }
    // A base for which the inverse has no curve at all (a = 1 where the inverse runs along y) would leave
    // the timer ticking idle for ever, and drawing unbidden once 作图 changes the shared base.
    if (family_.inverseTrace.forBase(trace.baseA).walk == Walk::None)
        return;
    Timer2->start();
}

void Form1::Timer2_Timer() {
    if (canvas::modalDepth() > 0 || canvas::programEnded())
        return;
    if (traceTick(family_.inverseTrace, trace, view, Picture1->surface(), canvas::RGB(0, 0, 255)) ==
        TickResult::Stopped) {
        Timer2->stop();
        Picture1->description().curve(curveRecord(family_.inverseKind, family_.inverseFormula));
    }
}

void Form1::Command5_Click() {
    symmetryAxis(trace, view, Picture1->surface());
    Picture1->description().curve(canvas::identityCurve());
}

QString Form1::curveFormula(const char* pattern) const {
    return QString::fromUtf8(pattern).arg(canvas::Str(trace.baseA));
}

canvas::CurveRecord Form1::curveRecord(canvas::CurveKind kind, const char* pattern) const {
    return canvas::baseCurve(kind, trace.baseA, curveFormula(pattern));
}

void Form1::Command6_Click() {
    rangePanel_->clear();
}

void Form1::Command7_Click() {
    rangePanel_->apply();
}

void Form1::Command8_Click() {
    if (grid_.draw(Picture1->surface(), view))
        Picture1->description().grid();
}

void Form1::Command9_Click() {
    grid_.remove();
}

void Form1::Picture1_MouseDown(const canvas::PointerEvent& e) {
    panning_->MouseDown(e);
}

void Form1::Picture1_MouseMove(const canvas::PointerEvent& e) {
    panning_->MouseMove(e);
}

void Form1::Picture1_MouseUp(const canvas::PointerEvent& e) {
    panning_->MouseUp(e);
}

void Form1::Picture1_KeyDown(int keyCode, int shift) {
    panning_->KeyDown(keyCode, shift);
}

void Form1::Picture1_ZoomStep(int direction) {
    rangePanel_->scaleAboutOrigin(direction > 0 ? 0.5 : 2);
}

void Form1::Form_MouseMove() {
    exit_->windowMouseMove();
}

void Form1::Image17_MouseMove() {
    exit_->normalMouseMove();
}

void Form1::Image16_Click() {
    exit_->highlightedClick();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    Form_MouseMove();
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The texture tiles seamlessly, so an enlarged window stays covered.
    commands_->paintBackground(p, family_.pictures + QStringLiteral("background.svg"), QSize(780, 700), true);
}

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

bool Form1::focusNextPrevChild(bool next) {
    return (commands_ && commands_->focusCanvasForDisabled()) || QWidget::focusNextPrevChild(next);
}

} // namespace expolog

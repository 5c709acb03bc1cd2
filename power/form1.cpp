#include "power/form1.h"

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
#include <QEvent>
#include <QPainter>

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

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Quorvex"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips(0, 0, 11100, 7410).size());
    setWindowIcon(canvas::programIcon(QStringLiteral(":/power/icon.svg")));
    setFont(designFont(kSong, 9));
    setMouseTracking(true);
    buildControls();
    Form_Load();
}

Form1::~Form1() {
    canvas::disconnectControls(this);
    // The save dialog has no owner window; it goes with the program.
    delete Form2_.data();
}

void Form1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (Form2_)
        Form2_->close();
}

void Form1::buildControls() {
    // Framed panels and decorations first, so the controls laid over them stay on top.
    Image11 = picture(this, QStringLiteral(":/power/panel_mn.svg"), twips(120, 2040, 2115, 3045),
                      QStringLiteral("输入m、n的值"));
    Image4 = picture(this, QStringLiteral(":/power/panel_option.svg"), twips(120, 5400, 1875, 1845),
                     QStringLiteral("选择指数形式"));
    Image3 = picture(this, QStringLiteral(":/power/panel_range.svg"), twips(8400, 360, 2475, 5475),
                     QStringLiteral("设置坐标系"));
    Image2 = picture(this, QStringLiteral(":/power/title.svg"), twips(4200, 0, 2400, 480), {});
    Image6 = picture(this, QStringLiteral(":/power/formula_alpha.svg"), twips(240, 960, 1845, 840),
                     QStringLiteral("y = x^α (α为常数, x为自变量)"));
    Image5 = picture(this, QStringLiteral(":/power/formula_m.svg"), twips(240, 960, 1860, 840),
                     QStringLiteral("y = x^m (m为非零整数, x为自变量)"));
    Image1 = picture(this, QStringLiteral(":/power/formula_mn.svg"), twips(240, 960, 1845, 945),
                     QStringLiteral("y = x^(m/n) (m, n为非零整数, x为自变量)"));
    Image9 = picture(this, QStringLiteral(":/power/instructions.svg"), twips(2400, 6195, 6180, 1050),
                     QStringLiteral("操作说明: 1) 作图之前必须建立坐标系. 2) 选择指数形式. 3) 在文本框输入m, "
                                    "n的值. 提示: 可拖动坐标轴观察图像"));
    Image10 = picture(this, QStringLiteral(":/power/round.svg"), twips(8640, 6240, 870, 870), {});
    Image7 = picture(this, QStringLiteral(":/common/exit_normal.svg"), twips(9840, 6600, 825, 330),
                     QStringLiteral("退出"));
    Image8 = picture(this, QStringLiteral(":/common/exit_highlight.svg"), twips(9840, 6600, 825, 330), {});

    Picture1 = new canvas::CanvasWidget(twips(0, 0, 5895, 5655).size(), kCanvasBackColor, this);
    Picture1->move(twips(2400, 480, 0, 0).topLeft());
    Picture1->setFont(designFont(kTimes, 9));
    Line1 = Picture1->addLine();
    Line2 = Picture1->addLine();
    Label1 = Picture1->addLabel();

    Label10 =
        label(this, QStringLiteral("幂函数："), twips(480, 480, 1455, 495), designFont(kSong, 14.25, true));
    {
        QPalette palette = Label10->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        Label10->setPalette(palette);
    }
    Label8 = label(this, QStringLiteral("m="), twips(240, 2520, 495, 495), designFont(kTimes, 14.25, true));
    Label9 = label(this, QStringLiteral("n="), twips(240, 3120, 735, 375), designFont(kTimes, 14.25, true));
    Text5 = textBox(this, twips(720, 2520, 975, 400), designFont(kSong, 12), QStringLiteral("m"));
    Text6 = textBox(this, twips(720, 3120, 975, 400), designFont(kSong, 12), QStringLiteral("n"));
    Command2 = button(this, QStringLiteral("作图"), twips(240, 3720, 855, 375));
    Command3 = button(this, QStringLiteral("清除图象"), twips(1150, 3720, 975, 375));
    Command8 = button(this, QStringLiteral("保存"), twips(240, 4130, 855, 375));
    Command4 = button(this, QStringLiteral("清除数据"), twips(1150, 4130, 975, 375),
                      QStringLiteral("清除数据（m、n）"));
    Command9 = button(this, QStringLiteral("放大"), twips(240, 4560, 855, 375));
    Command10 = button(this, QStringLiteral("缩小"), twips(1150, 4560, 975, 375));
    Option1 = option(this, QStringLiteral("整数指数"), twips(480, 5880, 1215, 375));
    Option2 = option(this, QStringLiteral("分数指数"), twips(480, 6480, 1215, 375));

    const QFont axisFont = designFont(kKai, 15.75, true);
    const QFont rangeLabelFont = designFont(kKai, 12);
    const QFont rangeBoxFont = designFont(kSong, 12);
    Label2 = label(this, QStringLiteral("x轴"), twips(9120, 840, 1215, 375), axisFont);
    Label3 = label(this, QStringLiteral("最小值："), twips(8640, 1320, 1335, 375), rangeLabelFont);
    Text2 = textBox(this, twips(9600, 1320, 975, 375), rangeBoxFont, QStringLiteral("x轴 最小值"));
    Label4 = label(this, QStringLiteral("最大值："), twips(8640, 1800, 1095, 375), rangeLabelFont);
    Text1 = textBox(this, twips(9600, 1800, 975, 375), rangeBoxFont, QStringLiteral("x轴 最大值"));
    Label11 = label(this, QStringLiteral("单位长度"), twips(8520, 2400, 975, 375), rangeLabelFont);
    Text7 = textBox(this, twips(9600, 2280, 975, 375), rangeBoxFont, QStringLiteral("x轴 单位长度"));
    Label5 = label(this, QStringLiteral("y轴"), twips(9120, 2760, 735, 375), axisFont);
    Label6 = label(this, QStringLiteral("最小值："), twips(8640, 3240, 1095, 375), rangeLabelFont);
    Text4 = textBox(this, twips(9600, 3240, 975, 375), rangeBoxFont, QStringLiteral("y轴 最小值"));
    Label7 = label(this, QStringLiteral("最大值："), twips(8640, 3840, 1095, 375), rangeLabelFont);
    Text3 = textBox(this, twips(9600, 3720, 975, 375), rangeBoxFont, QStringLiteral("y轴 最大值"));
    Label12 = label(this, QStringLiteral("单位长度"), twips(8520, 4320, 975, 375), rangeLabelFont);
    Text8 = textBox(this, twips(9600, 4200, 975, 375), rangeBoxFont, QStringLiteral("y轴 单位长度"));
    Command1 = button(this, QStringLiteral("确定"), twips(8640, 4800, 855, 375));
    Command5 = button(this, QStringLiteral("清除数据"), twips(9720, 4800, 975, 375),
                      QStringLiteral("清除数据（坐标系）"));
    Command6 = button(this, QStringLiteral("画网格"), twips(8640, 5280, 855, 375));
    Command7 = button(this, QStringLiteral("消网格"), twips(9720, 5280, 975, 375));

    Image7->raise();
    Image8->raise();

    rangePanel_ = std::make_unique<canvas::RangePanel>(
        canvas::RangeBoxes{Text2, Text1, Text4, Text3, Text7, Text8}, canvas::RangePanelStyle{true, true},
        view,
        [this] {
            Picture1->surface().Cls();
            Picture1->description().cleared();
        },
        [this] { zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1); });

    panning_ = std::make_unique<canvas::Panning>(
        view, canvas::PanningStyle{true, true},
        canvas::PanningActions{
            [this] { rangePanel_->writeLimits(view.xmin, view.xmax, view.ymin, view.ymax); },
            [this] { zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1); },
            [this] {
                if (noGraphFlag == 0)
                    Command2_Click();
            }},
        canvas::ReadOut{Line1, Line2, Label1});
    exit_ = std::make_unique<canvas::ExitButton>(
        Image7, Image8,
        std::vector<std::function<void()>>{[this] { Label1->setVisible(false); },
                                           [this] { Line1->setVisible(false); },
                                           [this] { Line2->setVisible(false); }});
    // After the exit button has made its picture a button that takes the focus, last in the chain.
    canvas::setTabOrderByIndex(
        {{0, Picture1},  {1, Text5},     {2, Text6},      {3, Command2}, {4, Command3},  {5, Command4},
         {8, Text2},     {9, Text1},     {14, Text4},     {15, Text3},   {18, Command1}, {19, Option1},
         {20, Option2},  {21, Command5}, {25, Text7},     {26, Text8},   {27, Command6}, {28, Command7},
         {29, Command8}, {31, Command9}, {32, Command10}, {33, Image7}});
    grid_ = canvas::GridButtons{false, [this] { return plotState != 3; }, [this] { Command1_Click(); },
                                [this] { Command2_Click(); }};
    connectHandlers();
    commands_ = new canvas::WindowCommands(this, QStringLiteral("Quorvex"));
    for (QAction* action : canvas::addCanvasCommands(this, Picture1))
        commands_->addCommand(action);
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
    click(Command9, &Form1::Command9_Click);
    click(Command10, &Form1::Command10_Click);
    click(Command8, &Form1::Command8_Click);
    connect(Picture1, &canvas::CanvasWidget::mouseDown, this, handler(this, &Form1::Picture1_MouseDown));
    connect(Picture1, &canvas::CanvasWidget::mouseMoved, this, handler(this, &Form1::Picture1_MouseMove));
    connect(Picture1, &canvas::CanvasWidget::mouseUp, this, handler(this, &Form1::Picture1_MouseUp));
    connect(Picture1, &canvas::CanvasWidget::focusLost, this, handler(this, &Form1::Picture1_LostFocus));
    connect(Picture1, &canvas::CanvasWidget::keyDown, this, handler(this, &Form1::Picture1_KeyDown));
    connectTouch();
    // An option runs its handler whenever it becomes the chosen one: by a click, by the arrow keys of the
    // group, or by an assistive tool's toggle action (which checks the button without clicking it).
    auto chosen = [this](QRadioButton* o, void (Form1::*h)()) {
        connect(o, &QRadioButton::toggled, this, [run = handler(this, h)](bool checked) {
            if (checked)
                run();
        });
    };
    chosen(Option1, &Form1::Option1_Click);
    chosen(Option2, &Form1::Option2_Click);
}

void Form1::connectTouch() {
    using canvas::handler;
    connect(Picture1, &canvas::CanvasWidget::zoomStep, this, handler(this, &Form1::Picture1_ZoomStep));
    connect(Picture1, &canvas::CanvasWidget::dragCancelled, this, [this] { panning_->cancelDrag(); });
    // A finger lifted after a hold leaves the canvas the way the pointer does: over the window.
    connect(Picture1, &canvas::CanvasWidget::pointerLeft, this, handler(this, &Form1::Form_MouseMove));
}

void Form1::Form_Load() {
    noGraphFlag = 1;
    Line1->setVisible(false);
    Line2->setVisible(false);
    Label1->setVisible(false);
    Text1->setText(QStringLiteral("10"));
    Text2->setText(QStringLiteral("-10"));
    Text3->setText(QStringLiteral("10"));
    Text4->setText(QStringLiteral("-10"));
    Image1->setVisible(false);
    Image5->setVisible(false);
    Image7->setVisible(true);
    Image8->setVisible(false);
    Text5->setVisible(false);
    Text6->setVisible(false);
    Text7->setText(QStringLiteral("1"));
    Text8->setText(QStringLiteral("1"));
    view.xmax = canvas::Val(Text1->text());
    view.xmin = canvas::Val(Text2->text());
    view.ymax = canvas::Val(Text3->text());
    view.ymin = canvas::Val(Text4->text());
    view.xju1 = canvas::Val(Text7->text());
    view.yju1 = canvas::Val(Text8->text());
    zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1);
}

void Form1::Form_GotFocus() {
    Line1->setVisible(false);
    Line2->setVisible(false);
}

void Form1::zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) {
    const canvas::FrameOutcome outcome =
        canvas::zuobiao(Picture1->surface(), kFrameStyle, xmin, xmax, ymin, ymax, xju1, yju1);
    canvas::tellFrameOutcome(outcome);
    if (outcome == canvas::FrameOutcome::Drawn)
        Picture1->description().frame({xmin, xmax, ymin, ymax, xju1, yju1});
    else
        Picture1->description().cleared();
}

void Form1::Option1_Click() {
    exponentForm = 1;
    Image1->setVisible(false);
    Image5->setVisible(true);
    Image6->setVisible(false);
    Text5->setVisible(true);
    Text6->setVisible(false);
}

void Form1::Option2_Click() {
    exponentForm = 2;
    Image6->setVisible(false);
    Image5->setVisible(false);
    Image1->setVisible(true);
    Text5->setVisible(true);
    Text6->setVisible(true);
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

void Form1::Command2_Click() {
    Picture1->surface().setDrawWidth(canvas::CurveStyle::instance().width(2));
    if (exponentForm == 1) {
        valueM = boxInteger(Text5);
        zuotu1(valueM);
    }
    if (exponentForm == 2) {
        valueM = boxInteger(Text5);
        valueN = boxInteger(Text6);
        zuotu2(valueM, valueN);
    }
    plotState = 1;
    noGraphFlag = 0;
}

void Form1::zuotu1(std::int16_t n) {
    const PlotOutcome outcome = quorvex::zuotu1(Picture1->surface(), view, n);
    quorvex::tellPlotOutcome(outcome);
    if (outcome != PlotOutcome::Drawn) {
        Text5->clear();
        Text5->setFocus();
        return;
    }
    Picture1->description().curve(canvas::powerCurve(n, 1, formula1(n)));
}

void Form1::zuotu2(std::int16_t numerator, std::int16_t denominator) {
    const PlotOutcome outcome = quorvex::zuotu2(Picture1->surface(), view, numerator, denominator);
    quorvex::tellPlotOutcome(outcome);
    if (outcome != PlotOutcome::Drawn) {
        Text5->clear();
        Text5->setFocus();
        Text6->clear();
        Text6->setFocus();
        return;
    }
    Picture1->description().curve(
        canvas::powerCurve(numerator, denominator, formula2(numerator, denominator)));
}

void Form1::Command3_Click() {
    Picture1->surface().Cls();
    zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1);
    plotState = 3;
    noGraphFlag = 1;
}

void Form1::Command4_Click() {
    noGraphFlag = 1;
    Text5->clear();
    Text6->clear();
}

void Form1::Command1_Click() {
    rangePanel_->apply();
}

void Form1::Command5_Click() {
    rangePanel_->clear();
}

void Form1::Command6_Click() {
    if (grid_.draw(Picture1->surface(), view))
        Picture1->description().grid();
}

void Form1::Command7_Click() {
    grid_.remove();
}

void Form1::zoom(double factor) {
    // Scaled about the origin: every limit is multiplied by the same factor. A limit that would overflow
    // stays at the largest finite value, so the view never holds infinity.
    auto scaled = [factor](double v) {
        const double r = v * factor;
        return std::isfinite(r) ? r : std::copysign(std::numeric_limits<double>::max(), r);
    };
    view.xmax = scaled(view.xmax);
    view.xmin = scaled(view.xmin);
    view.ymax = scaled(view.ymax);
    view.ymin = scaled(view.ymin);
    rangePanel_->writeLimits(view.xmin, view.xmax, view.ymin, view.ymax);
    zuobiao(view.xmin, view.xmax, view.ymin, view.ymax, view.xju1, view.yju1);
    if (noGraphFlag == 0)
        Command2_Click();
}

void Form1::Command9_Click() {
    zoom(0.5);
    zoomLevel = zoomLevel + 1;
    // Only reaching a limit changes the buttons: once there, the view sweeps to the other limit.
    if (zoomLevel == 2) {
        Command9->setEnabled(false);
        Command10->setEnabled(true);
    }
}

void Form1::Command10_Click() {
    zoom(2);
    zoomLevel = zoomLevel - 1;
    if (zoomLevel == -2) {
        Command10->setEnabled(false);
        Command9->setEnabled(true);
    }
}

void Form1::Command8_Click() {
    if (!Form2_)
        Form2_ = new Form2([this] { return Picture1->surface().picture(); });
    Form2_->show();
    Form2_->raise();
    Form2_->activateWindow();
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
    // A disabled button does not click.
    (direction > 0 ? Command9 : Command10)->click();
}

void Form1::Picture1_LostFocus() {
    panning_->LostFocus();
}

void Form1::Form_MouseMove() {
    exit_->windowMouseMove();
}

void Form1::Image7_MouseMove() {
    exit_->normalMouseMove();
}

void Form1::Image8_Click() {
    exit_->highlightedClick();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    Form_MouseMove();
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(214, 222, 232));
    commands_->paintBackground(p, QStringLiteral(":/power/background.svg"), QSize(739, 494), false);
}

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_GotFocus();
    return QWidget::event(event);
}

bool Form1::focusNextPrevChild(bool next) {
    return (commands_ && commands_->focusCanvasForDisabled()) || QWidget::focusNextPrevChild(next);
}

} // namespace quorvex

#pragma once

// The main window shared by Zelmora (y = a^x) and Tavrinth (y = log_a x): the canvas in the middle, the
// parameter and properties panels on the left, the range panel on the right, the instructions below the
// canvas and the inverse-function panel below the initial client area. Everything that differs between the
// two programs comes from their Family table; the window never asks which program it is.

#include "drawing/curverecord.h"
#include "drawing/frame.h"
#include "expolog/trace.h"
#include "runtime/viewrange.h"
#include "widgets/canvaswidget.h"
#include "widgets/exitbutton.h"
#include "widgets/gridbuttons.h"
#include "widgets/imagecontrol.h"
#include "widgets/panning.h"
#include "widgets/rangepanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace canvas {
class WindowCommands;
}

namespace expolog {

struct Family;

/// The frame of both programs: axes on zero, numbers half a dx/dy off their ticks, positive y ticks up to
/// ymax - 1.2 yju1, and the spacings copied into stepX and stepY.
inline constexpr canvas::FrameStyle kFrameStyle{0.0, 0.5, 1.2, true};

/// Canvas background, light yellow.
inline const canvas::Colour kCanvasBackColor = canvas::RGB(255, 255, 208);

/// Interval of both trace timers.
constexpr int kTraceIntervalMs = 5;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(const Family& family, QWidget* parent = nullptr);
    ~Form1() override;

    const Family& family() const { return family_; }

    // Controls, by their names in the window definition.
    canvas::CanvasWidget* Picture1 = nullptr;
    QLabel* Label11 = nullptr;
    canvas::ImageControl* Image1 = nullptr;
    canvas::ImageControl* Image2 = nullptr;
    canvas::ImageControl* Image3 = nullptr;
    canvas::ImageControl* Image4 = nullptr;
    canvas::ImageControl* Image5 = nullptr;
    canvas::ImageControl* Image6 = nullptr;
    canvas::ImageControl* Image7 = nullptr;
    canvas::ImageControl* Image8 = nullptr;
    canvas::ImageControl* Image9 = nullptr;
    canvas::ImageControl* Image10 = nullptr;
    canvas::ImageControl* Image11 = nullptr;
    canvas::ImageControl* Image12 = nullptr;
    canvas::ImageControl* Image13 = nullptr;
    canvas::ImageControl* Image14 = nullptr;
    canvas::ImageControl* Image15 = nullptr;
    canvas::ImageControl* Image16 = nullptr;
    canvas::ImageControl* Image17 = nullptr;
    canvas::ImageControl* Image18 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label19 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text9 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    /// The box the base is typed into, and the box in the inverse panel that repeats it.
    QLineEdit* parameterBox() const;
    QLineEdit* mirrorBox() const;

    // Window-level state. An empty value is 0.
    canvas::ViewRange view;
    TraceState trace;
    float curveRed = 0;
    float curveGreen = 0;
    float curveBlue = 0;
    std::int16_t noGraphFlag = 0;
    std::int16_t canvasCleared = 0;

    /// Draws the coordinate frame of a range (and copies the spacings into stepX and stepY).
    void zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1);

    /// "作图": checks the base, picks a new colour and starts tracing the curve.
    void Command1_Click();
    /// The steps of "作图" without a new colour, for redrawing the curve in a moved view. False when the
    /// base was refused.
    bool traceRestart();
    /// One segment of the curve.
    void Timer1_Timer();
    /// "清除图象".
    void Command2_Click();
    /// "清除数据" of the parameter panel.
    void Command3_Click();
    /// The parameter box changed: the mirror box repeats it.
    void parameterBox_Change();
    /// "反函数图象": traces the inverse function in blue.
    void Command4_Click();
    /// One segment of the inverse curve.
    void Timer2_Timer();
    /// "对称轴": the dotted line y = x with its label.
    void Command5_Click();
    /// "清除数据" of the range panel.
    void Command6_Click();
    /// "确定".
    void Command7_Click();
    /// "画网格".
    void Command8_Click();
    /// "消网格".
    void Command9_Click();

    void Picture1_MouseDown(const canvas::PointerEvent& e);
    void Picture1_MouseMove(const canvas::PointerEvent& e);
    void Picture1_MouseUp(const canvas::PointerEvent& e);
    /// An arrow key on the canvas pans the plane by one tick spacing (five with Shift).
    void Picture1_KeyDown(int keyCode, int shift);
    /// A pinch or Ctrl+wheel notch on the canvas: the four limits halved (+1) or doubled (-1) about the
    /// origin, as if typed into the range boxes and applied; a range the panel would refuse is not reached.
    void Picture1_ZoomStep(int direction);
    /// The pointer moved over the window's free area.
    void Form_MouseMove();
    void Image17_MouseMove();
    void Image16_Click();

    canvas::Panning& panning() { return *panning_; }
    canvas::RangePanel& rangePanel() { return *rangePanel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void connectTouch();
    void Form_Load();
    void Form_Activate();
    bool startCurve(bool newColour);
    /// 反函数图象面板: enlarges the window to show the inverse panel.
    void showInversePanel();
    void fillProperties();
    /// "增" or "减" in the blank of the properties table; empty for the blank.
    void showAnswer(const QString& answer);
    canvas::Colour curveColour() const;
    /// A traced curve's formula for the canvas description, with the base of the trace.
    QString curveFormula(const char* pattern) const;
    /// The traced curve as a record: its kind and the base of the trace.
    canvas::CurveRecord curveRecord(canvas::CurveKind kind, const char* pattern) const;

    const Family& family_;
    /// What the properties table reads with its blank empty.
    QString blankSentence_;
    std::unique_ptr<canvas::RangePanel> rangePanel_;
    std::unique_ptr<canvas::Panning> panning_;
    std::unique_ptr<canvas::ExitButton> exit_;
    canvas::GridButtons grid_;
    canvas::WindowCommands* commands_ = nullptr;
    /// The trace going on was asked for with 作图: its end tells what the properties table says.
    bool tellProperties_ = false;
};

} // namespace expolog

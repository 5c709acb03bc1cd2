#pragma once

// The main window shared by Zelmora (y = a^x) and Tavrinth (y = log_a x): the canvas in the middle, the
// parameter and properties panels on the left, the range panel on the right, the instructions below the
// canvas and the inverse-function panel below the initial client area. Everything that differs between the
// two programs comes from their Family table; the window never asks which program it is.

#include "classroom/explorerwindow.h"
#include "curves/curverecord.h"
#include "drawing/frame.h"
#include "expolog/trace.h"
#include "widgets/canvaswidget.h"
#include "widgets/imagecontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace expolog {

struct Family;

/// The frame of both programs: axes on zero, numbers half a dx/dy off their ticks, positive y ticks up to
/// ymax - 1.2 yju1, and the spacings copied into stepX and stepY.
inline constexpr canvas::FrameStyle kFrameStyle{0.0, 0.5, 1.2, true};

/// Canvas background, light yellow.
inline const canvas::Colour kCanvasBackColor = canvas::RGB(255, 255, 208);

/// Interval of both trace timers.
constexpr int kTraceIntervalMs = 5;

/// The main window's controls. The pictures' places and words come from the program's Family table.
///
/// | Control                          | Caption                  | What it does |
/// |----------------------------------|--------------------------|-----------------------------------------------|
/// | canvas                           | (坐标平面)               | the coordinate plane; drag it, arrows pan
/// it  | | canvasLabel                      |                          | the empty label on the canvas | |
/// baseBox                          | 底数 a                   | the base a of the curve | | plotButton |
/// 作图                     | traces the curve in a new colour              | | clearGraphButton | 清除图象
/// | the bare frame of the view                    | | clearBaseButton                  | 清除数据 | empties
/// the base and the properties table     | | answerLabel                      |                          |
/// "增" or "减" in the properties table          | | inverseBaseBox                   | 反函数 底数 a | the
/// inverse panel's copy of the base          | | inverseButton                    | 反函数图象 | traces the
/// inverse function in blue           | | symmetryAxisButton               | 对称轴                   | the
/// dotted line y = x                         | | xMinBox ... ySpacingBox          | 最小值, 最大值, 单位长度
/// | the range panel                               | | applyRangeButton                 | 确定 | applies the
/// range panel                       | | clearRangeButton                 | 清除数据                 |
/// empties the range panel                       | | drawGridButton, removeGridButton | 画网格, 消网格 | lays
/// or removes the grid                      | | traceTimer, inverseTraceTimer    |                          |
/// one segment of the curve, of its inverse      | | exitPicture, exitHighlight       | 退出 | ends the
/// program                              | | ...Picture, ...Label             |                          |
/// panels, formulas, the properties table        |
struct Controls {
    canvas::CanvasWidget* canvas = nullptr;
    QLabel* canvasLabel = nullptr;
    canvas::ImageControl* definitionPicture = nullptr;
    canvas::ImageControl* exponentialFormulaPicture = nullptr;
    canvas::ImageControl* exponentialXPicture = nullptr;
    canvas::ImageControl* propertiesPicture = nullptr;
    canvas::ImageControl* logarithmFormulaPicture = nullptr;
    canvas::ImageControl* logarithmXPicture = nullptr;
    canvas::ImageControl* valueAtZeroPicture = nullptr;
    canvas::ImageControl* growingValuesPicture = nullptr;
    canvas::ImageControl* fallingValuesPicture = nullptr;
    canvas::ImageControl* logoPicture = nullptr;
    canvas::ImageControl* titlePicture = nullptr;
    canvas::ImageControl* conditionPicture = nullptr;
    canvas::ImageControl* basePanelPicture = nullptr;
    canvas::ImageControl* inversePanelPicture = nullptr;
    canvas::ImageControl* rangePanelPicture = nullptr;
    canvas::ImageControl* exitHighlight = nullptr;
    canvas::ImageControl* exitPicture = nullptr;
    canvas::ImageControl* instructionsPicture = nullptr;
    QLabel* answerLabel = nullptr;
    QLabel* ySpacingLabel = nullptr;
    QLabel* xAxisLabel = nullptr;
    QLabel* xMinLabel = nullptr;
    QLabel* xMaxLabel = nullptr;
    QLabel* yAxisLabel = nullptr;
    QLabel* yMinLabel = nullptr;
    QLabel* yMaxLabel = nullptr;
    QLabel* xSpacingLabel = nullptr;
    QLineEdit* baseBox = nullptr;
    QLineEdit* inverseBaseBox = nullptr;
    QLineEdit* xMinBox = nullptr;
    QLineEdit* xMaxBox = nullptr;
    QLineEdit* yMinBox = nullptr;
    QLineEdit* yMaxBox = nullptr;
    QLineEdit* xSpacingBox = nullptr;
    QLineEdit* ySpacingBox = nullptr;
    QPushButton* plotButton = nullptr;
    QPushButton* clearGraphButton = nullptr;
    QPushButton* clearBaseButton = nullptr;
    QPushButton* inverseButton = nullptr;
    QPushButton* symmetryAxisButton = nullptr;
    QPushButton* clearRangeButton = nullptr;
    QPushButton* applyRangeButton = nullptr;
    QPushButton* drawGridButton = nullptr;
    QPushButton* removeGridButton = nullptr;
    QTimer* traceTimer = nullptr;
    QTimer* inverseTraceTimer = nullptr;
};

class MainWindow : public canvas::ExplorerWindow {
    Q_OBJECT
public:
    explicit MainWindow(const Family& family, QWidget* parent = nullptr);
    ~MainWindow() override;

    const Family& family() const { return family_; }

    /// The controls, for tests that click and type into them.
    const Controls& controls() const { return ui_; }

    /// The box the base is typed into, and the box in the inverse panel that repeats it.
    QLineEdit* parameterBox() const { return ui_.baseBox; }
    QLineEdit* mirrorBox() const { return ui_.inverseBaseBox; }

    /// The trace going on, or the last one.
    const TraceState& trace() const { return trace_; }
    /// The colour of the most recent curve.
    canvas::Colour curveColour() const;
    /// True after 清除图象 wiped the canvas: the grid buttons then leave the curve off.
    bool canvasCleared() const { return canvasCleared_; }

    /// Draws the coordinate frame of a range (and copies the spacings into stepX and stepY).
    void zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) override;

    /// "作图": checks the base, picks a new colour and starts tracing the curve.
    void onPlotClicked();
    /// The steps of "作图" without a new colour, for redrawing the curve in a moved view. False when the
    /// base was refused.
    bool traceRestart();
    /// One segment of the curve.
    void onTraceTick();
    /// "清除图象".
    void onClearGraphClicked();
    /// "清除数据" of the parameter panel.
    void onClearBaseClicked();
    /// The parameter box changed: the mirror box repeats it.
    void onBaseEdited();
    /// "反函数图象": traces the inverse function in blue.
    void onInverseClicked();
    /// One segment of the inverse curve.
    void onInverseTraceTick();
    /// "对称轴": the dotted line y = x with its label.
    void onSymmetryAxisClicked();

    /// A pinch or Ctrl+wheel notch on the canvas: the four limits halved (+1) or doubled (-1) about the
    /// origin, as if typed into the range boxes and applied; a range the panel would refuse is not reached.
    void onCanvasZoomStep(int direction) override;

private:
    void buildControls();
    void connectHandlers();
    void load();
    void onActivated() override;
    bool startCurve(bool newColour);
    void drawWhole(const canvas::LessonCurve& curve) override;
    void redrawNewest(const canvas::LessonCurve& curve) override;
    void stopDrawing() override;
    /// Up or Down on the base box: a changed by 0.1 (Shift: 1, Ctrl: 0.01), the curve following.
    void onBaseStepped(int direction, Qt::KeyboardModifiers keys);
    /// The newest curve drawn again for base a with its properties, or taken off for a base it refuses.
    void showBase(double a);
    std::optional<canvas::ParameterSweep> parameterSweep() override;
    void sweepTo(double value) override;
    QString sweepMoment(double before, double after) const override;
    /// 反函数图象面板: enlarges the window to show the inverse panel.
    void showInversePanel();
    void fillProperties();
    /// "增" or "减" in the blank of the properties table; empty for the blank.
    void showAnswer(const QString& answer);
    /// A traced curve's formula for the canvas description, with the base of the trace.
    QString curveFormula(const char* pattern) const;
    /// The traced curve as a record: its kind and the base of the trace.
    canvas::CurveRecord curveRecord(canvas::CurveKind kind, const char* pattern) const;

    const Family& family_;
    Controls ui_;
    TraceState trace_;
    float curveRed_ = 0;
    float curveGreen_ = 0;
    float curveBlue_ = 0;
    bool canvasCleared_ = false;
    /// What the properties table reads with its blank empty.
    QString blankSentence_;
    /// The trace going on was asked for with 作图: its end tells what the properties table says.
    bool tellProperties_ = false;
    /// The curves the two traces are drawing, as the lesson holds them.
    canvas::LessonCurve tracing_;
    canvas::LessonCurve inverseTracing_;
};

} // namespace expolog

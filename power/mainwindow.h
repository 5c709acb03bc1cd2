#pragma once

// The main window of Quorvex, the power-function explorer: the canvas in the middle, the exponent panel with
// the plot, zoom and save buttons on the left, the range panel with the grid buttons on the right, the
// instructions below the canvas and the exit button at the lower right. All state of the program lives here.

#include "classroom/explorerwindow.h"
#include "drawing/frame.h"
#include "power/savedialog.h"
#include "widgets/canvaswidget.h"
#include "widgets/imagecontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace quorvex {

/// The frame of the power explorer: axes a hair off zero, numbers 0.3 dx/dy off their ticks, and positive
/// y ticks up to ymax - yju1.
inline constexpr canvas::FrameStyle kFrameStyle{0.001, 0.3, 1.0, false};

/// Canvas background, light yellow.
inline const canvas::Colour kCanvasBackColor = canvas::RGB(255, 255, 192);

/// Which form of the power the exponent panel offers: none chosen yet, y = x^m or y = x^(m/n).
enum class ExponentForm { None, Integer, Fraction };

/// What the last of 作图 and 清除图象 did: nothing yet, a curve plotted, the canvas wiped.
enum class PlotState { None, Plotted, Cleared };

/// The main window's controls.
///
/// | Control                          | Caption                  | What it does |
/// |----------------------------------|--------------------------|-----------------------------------------------|
/// | canvas                           | (坐标平面)               | the coordinate plane; drag it, arrows pan
/// it  | | horizontalGuide, verticalGuide, coordinateLabel |           | the pointer read-out on the canvas |
/// | integerFormOption                | 整数指数                 | the form y = x^m | | fractionFormOption |
/// 分数指数                 | the form y = x^(m/n)                          | | mBox, nBox | m=, n= | the
/// exponent's numerator m and denominator n  | | plotButton                       | 作图 | plots the chosen
/// power in a new colour        | | clearGraphButton                 | 清除图象                 | the bare
/// frame of the view                    | | clearExponentButton              | 清除数据                 |
/// empties m and n; zoom and drag stop re-plotting | | saveButton                       | 保存 | the save
/// dialog (a BMP file of the canvas)    | | zoomInButton, zoomOutButton      | 放大, 缩小               |
/// halve or double the view about the origin     | | xMinBox ... ySpacingBox          | 最小值, 最大值,
/// 单位长度 | the range panel                               | | applyRangeButton                 | 确定 |
/// applies the range panel                       | | clearRangeButton                 | 清除数据 | empties
/// the range panel                       | | drawGridButton, removeGridButton | 画网格, 消网格           |
/// lays or removes the grid                      | | exitPicture, exitHighlight       | 退出 | ends the
/// program                              | | ...Picture, ...Label             |                          |
/// panels, formulas, captions, instructions      |
struct Controls {
    canvas::CanvasWidget* canvas = nullptr;
    canvas::CanvasLine* horizontalGuide = nullptr;
    canvas::CanvasLine* verticalGuide = nullptr;
    canvas::CanvasLabel* coordinateLabel = nullptr;
    canvas::ImageControl* fractionFormulaPicture = nullptr;
    canvas::ImageControl* titlePicture = nullptr;
    canvas::ImageControl* rangePanelPicture = nullptr;
    canvas::ImageControl* formPanelPicture = nullptr;
    canvas::ImageControl* integerFormulaPicture = nullptr;
    canvas::ImageControl* generalFormulaPicture = nullptr;
    canvas::ImageControl* exitPicture = nullptr;
    canvas::ImageControl* exitHighlight = nullptr;
    canvas::ImageControl* instructionsPicture = nullptr;
    canvas::ImageControl* emblemPicture = nullptr;
    canvas::ImageControl* exponentPanelPicture = nullptr;
    QLabel* xAxisLabel = nullptr;
    QLabel* xMinLabel = nullptr;
    QLabel* xMaxLabel = nullptr;
    QLabel* yAxisLabel = nullptr;
    QLabel* yMinLabel = nullptr;
    QLabel* yMaxLabel = nullptr;
    QLabel* mLabel = nullptr;
    QLabel* nLabel = nullptr;
    QLabel* familyLabel = nullptr;
    QLabel* xSpacingLabel = nullptr;
    QLabel* ySpacingLabel = nullptr;
    QLineEdit* xMaxBox = nullptr;
    QLineEdit* xMinBox = nullptr;
    QLineEdit* yMaxBox = nullptr;
    QLineEdit* yMinBox = nullptr;
    QLineEdit* mBox = nullptr;
    QLineEdit* nBox = nullptr;
    QLineEdit* xSpacingBox = nullptr;
    QLineEdit* ySpacingBox = nullptr;
    QPushButton* applyRangeButton = nullptr;
    QPushButton* plotButton = nullptr;
    QPushButton* clearGraphButton = nullptr;
    QPushButton* clearExponentButton = nullptr;
    QPushButton* clearRangeButton = nullptr;
    QPushButton* drawGridButton = nullptr;
    QPushButton* removeGridButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* zoomInButton = nullptr;
    QPushButton* zoomOutButton = nullptr;
    QRadioButton* integerFormOption = nullptr;
    QRadioButton* fractionFormOption = nullptr;
};

class MainWindow : public canvas::ExplorerWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The controls, for tests that click and type into them.
    const Controls& controls() const { return ui_; }

    ExponentForm exponentForm() const { return exponentForm_; }
    PlotState plotState() const { return plotState_; }
    /// Zoom steps in (positive) or out (negative) from the start, between -2 and 2.
    int zoomLevel() const { return zoomLevel_; }

    /// "整数指数": the integer form y = x^m.
    void onIntegerFormChosen();
    /// "分数指数": the fractional form y = x^(m/n).
    void onFractionFormChosen();
    /// "作图": plots the function of the chosen form and the numbers in the boxes, in a new colour. Also the
    /// re-plot of zooming, panning and grid removal.
    void onPlotClicked();
    /// "清除图象": the bare frame of the current view.
    void onClearGraphClicked();
    /// "清除数据" of the exponent panel: empties m and n; zooming and panning stop re-plotting.
    void onClearExponentClicked();
    /// "放大": halves the view about the origin.
    void onZoomInClicked();
    /// "缩小": doubles the view about the origin.
    void onZoomOutClicked();

    /// "保存": opens the save dialog (made once, then brought to the front).
    void onSaveClicked();

    void onCanvasFocusLost();
    /// A pinch or Ctrl+wheel notch on the canvas: one press of "放大" (+1) or "缩小" (-1), which does nothing
    /// while that button is disabled.
    void onCanvasZoomStep(int direction) override;

    /// The save dialog, while it exists.
    SaveDialog* saveDialog() const { return saveDialog_.data(); }

    /// Draws the coordinate frame of a range on the canvas.
    void zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) override;
    /// Plots y = x^n; on a refused n empties and focuses the m box.
    void zuotu1(std::int16_t n);
    /// Plots y = x^(n/m); on a refused n or m empties both boxes, the focus ending in the n box.
    void zuotu2(std::int16_t numerator, std::int16_t denominator);

protected:
    /// The close box ends the program: the save dialog, if open, closes with the main window.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void zoom(double factor);
    void load();
    void onActivated() override;
    void drawWhole(const canvas::LessonCurve& curve) override;
    /// Up or Down on the m or n box: its value one more or one less, the curve following.
    void onExponentStepped(QLineEdit* box, int direction);
    /// The newest power drawn again for the numbers in the boxes, or taken off for a zero.
    void showExponent();
    std::optional<canvas::ParameterSweep> parameterSweep() override;
    void sweepTo(double value) override;
    /// Tells the lesson and the description of a power drawn.
    void powerDrawn(const canvas::CurveRecord& record, canvas::Colour colour, bool isNew);

    Controls ui_;
    ExponentForm exponentForm_ = ExponentForm::None;
    std::int16_t valueM_ = 0;
    std::int16_t valueN_ = 0;
    PlotState plotState_ = PlotState::None;
    int zoomLevel_ = 0;
    QPointer<SaveDialog> saveDialog_;
};

} // namespace quorvex

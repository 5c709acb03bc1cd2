#pragma once

// The main window of Quorvex, the power-function explorer: the canvas in the middle, the exponent panel with
// the plot, zoom and save buttons on the left, the range panel with the grid buttons on the right, the
// instructions below the canvas and the exit button at the lower right. All state of the program lives here.

#include "drawing/frame.h"
#include "power/form2.h"
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
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace canvas {
class WindowCommands;
}

namespace quorvex {

/// The frame of the power explorer: axes a hair off zero, numbers 0.3 dx/dy off their ticks, and positive
/// y ticks up to ymax - yju1.
inline constexpr canvas::FrameStyle kFrameStyle{0.001, 0.3, 1.0, false};

/// Canvas background, light yellow.
inline const canvas::Colour kCanvasBackColor = canvas::RGB(255, 255, 192);

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Controls, by their names in the window definition.
    canvas::CanvasWidget* Picture1;
    canvas::CanvasLine* Line1;
    canvas::CanvasLine* Line2;
    canvas::CanvasLabel* Label1;
    canvas::ImageControl* Image1;
    canvas::ImageControl* Image2;
    canvas::ImageControl* Image3;
    canvas::ImageControl* Image4;
    canvas::ImageControl* Image5;
    canvas::ImageControl* Image6;
    canvas::ImageControl* Image7;
    canvas::ImageControl* Image8;
    canvas::ImageControl* Image9;
    canvas::ImageControl* Image10;
    canvas::ImageControl* Image11;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text8;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    QPushButton* Command9;
    QPushButton* Command10;
    QRadioButton* Option1;
    QRadioButton* Option2;

    // Window-level state. An empty value is 0.
    canvas::ViewRange view;
    int exponentForm = 0;
    std::int16_t valueM = 0;
    std::int16_t valueN = 0;
    int plotState = 0;
    std::int16_t noGraphFlag = 0;
    int zoomLevel = 0;

    /// Draws the coordinate frame of a range on the canvas.
    void zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1);

    /// "整数指数": the integer form y = x^m.
    void Option1_Click();
    /// "分数指数": the fractional form y = x^(m/n).
    void Option2_Click();
    /// "作图": plots the function of the chosen form and the numbers in the boxes, in a new colour. Also the
    /// re-plot of zooming, panning and grid removal.
    void Command2_Click();
    /// "清除图象": the bare frame of the current view.
    void Command3_Click();
    /// "清除数据" of the exponent panel: empties m and n; zooming and panning stop re-plotting.
    void Command4_Click();
    /// "确定" of the range panel.
    void Command1_Click();
    /// "清除数据" of the range panel.
    void Command5_Click();
    /// "画网格".
    void Command6_Click();
    /// "消网格".
    void Command7_Click();
    /// "放大": halves the view about the origin.
    void Command9_Click();
    /// "缩小": doubles the view about the origin.
    void Command10_Click();

    /// "保存": opens the save dialog (made once, then brought to the front).
    void Command8_Click();

    void Picture1_MouseDown(const canvas::PointerEvent& e);
    void Picture1_MouseMove(const canvas::PointerEvent& e);
    void Picture1_MouseUp(const canvas::PointerEvent& e);
    void Picture1_LostFocus();
    /// An arrow key on the canvas pans the plane by one tick spacing (five with Shift).
    void Picture1_KeyDown(int keyCode, int shift);
    /// A pinch or Ctrl+wheel notch on the canvas: one press of "放大" (+1) or "缩小" (-1), which does nothing
    /// while that button is disabled.
    void Picture1_ZoomStep(int direction);
    /// The pointer moved over the window's free area.
    void Form_MouseMove();
    void Image7_MouseMove();
    void Image8_Click();

    canvas::Panning& panning() { return *panning_; }
    /// The save dialog, while it exists.
    Form2* saveDialog() const { return Form2_.data(); }

    /// Plots y = x^n; on a refused n empties and focuses the m box.
    void zuotu1(std::int16_t n);
    /// Plots y = x^(n/m); on a refused n or m empties both boxes, the focus ending in the n box.
    void zuotu2(std::int16_t numerator, std::int16_t denominator);

    canvas::RangePanel& rangePanel() { return *rangePanel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    /// The close box ends the program: the save dialog, if open, closes with the main window.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void connectTouch();
    void zoom(double factor);
    void Form_Load();
    void Form_GotFocus();

    std::unique_ptr<canvas::RangePanel> rangePanel_;
    canvas::GridButtons grid_;
    std::unique_ptr<canvas::Panning> panning_;
    std::unique_ptr<canvas::ExitButton> exit_;
    QPointer<Form2> Form2_;
    canvas::WindowCommands* commands_ = nullptr;
};

} // namespace quorvex

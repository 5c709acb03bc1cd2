#pragma once

// What the windows of the three programs share around their own controls: the view and the range panel that
// edits it, dragging the plane with the pointer read-out, the canvas's pointer and key events, the exit
// button, the grid buttons, the window's commands and menus, its background picture, and the focus rules.
// A program's window adds its controls, its plot handlers and what it draws; the window base never asks
// which program it serves.

#include "runtime/viewrange.h"
#include "widgets/canvaswidget.h"
#include "widgets/exitbutton.h"
#include "widgets/gridbuttons.h"
#include "widgets/panning.h"
#include "widgets/rangepanel.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace canvas {

class WindowCommands;

class ExplorerWindow : public QWidget {
    Q_OBJECT
public:
    ~ExplorerWindow() override;

    /// The view the canvas shows (tests may set extreme views directly).
    ViewRange& view() { return view_; }
    Panning& panning() { return *panning_; }
    RangePanel& rangePanel() { return *rangePanel_; }
    /// True while zooming and dragging draw the curve again: from 作图 until the program's own command
    /// for leaving the plane bare (清除图象 or 清除数据).
    bool curveWanted() const { return curveWanted_; }

    /// Draws the coordinate frame of a range on the canvas.
    virtual void zuobiao(double xmin, double xmax, double ymin, double ymax, double xju1, double yju1) = 0;

    /// "确定" of the range panel: the typed range, or a warning.
    void onApplyRangeClicked();
    /// "清除数据" of the range panel.
    void onClearRangeClicked();
    /// "画网格".
    void onDrawGridClicked();
    /// "消网格": the canvas drawn again without the grid.
    void onRemoveGridClicked();

    /// The canvas's pointer and arrow keys drag the plane (an arrow key pans by one tick spacing, five with
    /// Shift).
    void onCanvasPressed(const PointerEvent& e);
    void onCanvasPointerMoved(const PointerEvent& e);
    void onCanvasReleased(const PointerEvent& e);
    void onCanvasKey(int keyCode, int shift);
    /// A pinch or Ctrl+wheel notch on the canvas: one zoom step in (+1) or out (-1), as the program zooms.
    virtual void onCanvasZoomStep(int direction) = 0;
    /// The pointer moved over the window's free area.
    void onWindowPointerMoved();
    /// The pointer moved onto the exit picture.
    void onExitPointerMoved();
    /// A click on the highlighted exit picture.
    void onExitClicked();

protected:
    /// The picture behind the controls: an optional plain colour first, then the picture (`size` at 100 %),
    /// once or tiled over the whole window.
    struct Background {
        std::optional<QColor> fill;
        QString picture;
        QSize size;
        bool tiled = false;
    };

    ExplorerWindow(Background background, QWidget* parent);

    /// The frame of the current view.
    void drawFrame();
    /// The plane a window opens on, -10 to 10 both ways with ticks of 1: written into the range boxes, taken
    /// as the view and framed.
    void showFirstView();

    /// The parts every window has, once its controls are built. `replot` draws the curve again after a drag
    /// step; `alsoHidden` are hidden whenever the pointer moves over the window's free area.
    struct Parts {
        RangeBoxes rangeBoxes;
        RangePanelStyle rangeStyle;
        PanningStyle panningStyle;
        std::function<void()> replot;
        ReadOut readOut;
        ImageControl* exitPicture;
        ImageControl* exitHighlight;
        std::vector<std::function<void()>> alsoHidden;
    };
    void buildSharedParts(CanvasWidget* canvas, Parts parts);

    /// Makes the window's commands (scale, full screen, its menu, with the canvas's own commands) under the
    /// program's name, for its settings.
    WindowCommands& addCommands(const QString& program);

    /// The window became the active one.
    virtual void onActivated() = 0;

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    ViewRange view_;
    std::unique_ptr<RangePanel> rangePanel_;
    std::unique_ptr<Panning> panning_;
    std::unique_ptr<ExitButton> exit_;
    GridButtons grid_;
    WindowCommands* commands_ = nullptr;
    bool curveWanted_ = false;

private:
    Background background_;
    CanvasWidget* canvas_ = nullptr;
};

} // namespace canvas

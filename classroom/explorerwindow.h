#pragma once

// What the windows of the three programs share around their own controls: the view and the range panel that
// edits it, dragging the plane with the pointer read-out, the canvas's pointer and key events, the exit
// button, the grid buttons, the window's commands and menus, its background picture, and the focus rules.
// A program's window adds its controls, its plot handlers and what it draws; the window base never asks
// which program it serves.

#include "classroom/parametersweep.h"
#include "curves/lesson.h"
#include "drawing/frame.h"
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

class QAction;
class QLineEdit;
class QTimer;

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

    /// The curves on the canvas with their colours, the grid and the two switches; its view is the one
    /// last saved or opened (the canvas shows view()).
    const Lesson& lesson() const { return lesson_; }
    /// 保留图象: while on, every redraw draws every curve of the lesson again; remembered.
    void setKeepCurves(bool on);
    /// 图象名称: while on, each curve's formula is written beside it; remembered.
    void setCurveNames(bool on);
    /// 撤销: takes back the newest curve (or the last wipe); the rest are drawn again in their colours.
    void onUndoClicked();
    /// 重做: brings back what 撤销 took back.
    void onRedoClicked();
    /// Writes the lesson to `path` (no question asked); false, with a warning, when it could not.
    bool saveLesson(const QString& path);
    /// Opens the lesson at `path`: the canvas shows it as it was saved, the range boxes its view. A file
    /// that is not a good lesson of this program is refused with a warning, and nothing changes.
    bool openLesson(const QString& path);
    /// The name the lesson files of this program are told apart by ("Quorvex").
    const QString& program() const { return program_; }

    /// 参数动画: sweeps the parameter of the newest curve (and its box), the curve following at every frame,
    /// then leaves it at the end value; any key, click or touch stops it where it is.
    void onAnimateClicked();
    /// One frame of the sweep, the handler of its timer.
    void onAnimationFrame();
    void stopAnimation();
    bool isAnimating() const;
    /// The timer of the sweep, for tests that drive it.
    QTimer* animationTimer() const { return animationTimer_; }
    /// The note over the canvas of a value that draws no curve (empty when none shows).
    QString liveNote() const;

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

    /// Draws a curve of the lesson whole, at once, in its colour and width, and tells the description.
    virtual void drawWhole(const LessonCurve& curve) = 0;
    /// Draws the newest curve of the lesson again after a redraw, as the program draws a curve again after
    /// a drag (a trace traces it); at first, whole.
    virtual void redrawNewest(const LessonCurve& curve) { drawWhole(curve); }
    /// Stops whatever is still being drawn (a trace), before the lesson is drawn anew.
    virtual void stopDrawing() {}
    /// For the program's zuobiao, once a frame is on the canvas: without 保留图象 the curves are gone from
    /// the lesson as from the canvas; with it, the grid and every curve are drawn again.
    void frameDrawn();
    /// A new curve is being drawn: it joins the lesson, and 撤销 can take it back.
    void curveStarted(const LessonCurve& curve);
    /// A curve is complete on the canvas: its name is written beside it when names are on.
    void curveCompleted(const LessonCurve& curve);
    /// 清除图象: the lesson is emptied as the canvas is wiped; 撤销 brings the curves back.
    void wipeLesson();
    /// Draws the canvas again from the lesson, every curve whole.
    void redrawLesson();
    /// Up and Down on a parameter box, and the wheel over it, step its value: `step` gets +1 or -1 and the
    /// keys held.
    void watchParameterBox(QLineEdit* box, std::function<void(int, Qt::KeyboardModifiers)> step);
    /// The curve a parameter box edits live: the newest of `kind` on the canvas, or the one a refused value
    /// took off; nothing before the first.
    std::optional<LessonCurve> liveCurve(CurveKind kind);
    /// The live curve for a new value: `record` drawn whole in its colour in place of the old one; for
    /// nothing, the curve taken off with `why` in a note over the canvas, heard once.
    void showLiveCurve(const std::optional<CurveRecord>& record, const QString& why);
    /// The program's sweep of its parameter, when a curve is there to follow it.
    virtual std::optional<ParameterSweep> parameterSweep() { return std::nullopt; }
    /// A value of the sweep: into the box as typed, and the curve drawn for it.
    virtual void sweepTo(double) {}
    /// Words for a moment of the sweep worth hearing (the base passing 1), or empty.
    virtual QString sweepMoment(double, double) const { return {}; }

    /// True while 保留图象 redraws the lesson itself, so the program's own re-plot after a drag or a zoom
    /// would draw the newest curve twice.
    bool keepsCurves() const { return lesson_.keepCurves; }

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    ViewRange view_;
    /// The last frame, put back while the view stands still (a parameter stepped or swept).
    canvas::FrameMemory frameMemory_;
    std::unique_ptr<RangePanel> rangePanel_;
    std::unique_ptr<Panning> panning_;
    std::unique_ptr<ExitButton> exit_;
    GridButtons grid_;
    WindowCommands* commands_ = nullptr;
    bool curveWanted_ = false;
    Lesson lesson_;

private:
    void addLessonCommands(const QString& program);
    void updateUndoCommands();
    void tellCurveChange(const CurveChange& change, bool undone);
    /// The canvas drawn again after 撤销 or 重做 took a step (nothing when there was none), and told.
    void showHistoryStep(const std::optional<CurveChange>& change, bool undone);
    void drawLessonCurves(bool wholeNewest);

    CurveHistory history_;
    QString program_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* keepAction_ = nullptr;
    QAction* namesAction_ = nullptr;
    bool redrawing_ = false;
    /// The curve a parameter box edits: where it stands in the lesson, and whether it is drawn.
    struct Live {
        std::size_t index;
        LessonCurve curve;
        bool shown;
    };
    std::optional<Live> live_;
    CanvasLabel* note_ = nullptr;
    QString lastNote_;
    QTimer* animationTimer_ = nullptr;
    std::optional<ParameterSweep> sweep_;
    double sweepStart_ = 0;
    double swept_ = 0;
    QObject* sweepStopper_ = nullptr;
    void showNote(const QString& why);
    void hideNote();
    void addLiveCommands();
    Background background_;
    CanvasWidget* canvas_ = nullptr;
};

} // namespace canvas

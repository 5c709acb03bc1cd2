#include "classroom/explorerwindow.h"

#include "classroom/canvascommands.h"
#include "classroom/windowcommands.h"
#include "runtime/runtime.h"
#include "widgets/controls.h"

#include <QEvent>
#include <QPainter>

namespace canvas {

ExplorerWindow::ExplorerWindow(Background background, QWidget* parent)
    : QWidget(parent), background_(std::move(background)) {}

ExplorerWindow::~ExplorerWindow() = default;

void ExplorerWindow::drawFrame() {
    zuobiao(view_.xmin, view_.xmax, view_.ymin, view_.ymax, view_.xju1, view_.yju1);
}

void ExplorerWindow::showFirstView() {
    // The limit boxes of some programs store at every change, without drawing: the order of the writes
    // does not matter, the view is read back from all six below.
    const RangeBoxes& boxes = rangePanel_->boxes();
    boxes.xmax->setText(QStringLiteral("10"));
    boxes.xmin->setText(QStringLiteral("-10"));
    boxes.ymax->setText(QStringLiteral("10"));
    boxes.ymin->setText(QStringLiteral("-10"));
    boxes.xju1->setText(QStringLiteral("1"));
    boxes.yju1->setText(QStringLiteral("1"));
    view_ = {Val(boxes.xmin->text()), Val(boxes.xmax->text()), Val(boxes.ymin->text()),
             Val(boxes.ymax->text()), Val(boxes.xju1->text()), Val(boxes.yju1->text())};
    drawFrame();
}

void ExplorerWindow::buildSharedParts(CanvasWidget* canvas, Parts parts) {
    canvas_ = canvas;
    rangePanel_ = std::make_unique<RangePanel>(
        parts.rangeBoxes, parts.rangeStyle, view_,
        [this] {
            canvas_->surface().Cls();
            canvas_->description().cleared();
        },
        [this] { drawFrame(); });
    panning_ = std::make_unique<Panning>(
        view_, parts.panningStyle,
        PanningActions{[this] { rangePanel_->writeLimits(view_.xmin, view_.xmax, view_.ymin, view_.ymax); },
                       [this] { drawFrame(); }, std::move(parts.replot)},
        parts.readOut);
    exit_ = std::make_unique<ExitButton>(parts.exitPicture, parts.exitHighlight, std::move(parts.alsoHidden));

    connect(canvas_, &CanvasWidget::mouseDown, this, handler(this, &ExplorerWindow::onCanvasPressed));
    connect(canvas_, &CanvasWidget::mouseMoved, this, handler(this, &ExplorerWindow::onCanvasPointerMoved));
    connect(canvas_, &CanvasWidget::mouseUp, this, handler(this, &ExplorerWindow::onCanvasReleased));
    connect(canvas_, &CanvasWidget::keyDown, this, handler(this, &ExplorerWindow::onCanvasKey));
    connect(canvas_, &CanvasWidget::zoomStep, this, handler(this, &ExplorerWindow::onCanvasZoomStep));
    connect(canvas_, &CanvasWidget::dragCancelled, this, [this] { panning_->cancelDrag(); });
    // A finger lifted after a hold leaves the canvas the way the pointer does: over the window.
    connect(canvas_, &CanvasWidget::pointerLeft, this, handler(this, &ExplorerWindow::onWindowPointerMoved));
}

WindowCommands& ExplorerWindow::addCommands(const QString& program) {
    commands_ = new WindowCommands(this, program);
    for (QAction* action : addCanvasCommands(this, canvas_))
        commands_->addCommand(action);
    addLessonCommands(program);
    return *commands_;
}

void ExplorerWindow::onApplyRangeClicked() {
    rangePanel_->apply();
}

void ExplorerWindow::onClearRangeClicked() {
    rangePanel_->clear();
}

void ExplorerWindow::onDrawGridClicked() {
    if (lesson_.keepCurves) {
        // The kept curves are drawn again over the grid, as on a lesson opened with its grid.
        lesson_.grid = true;
        drawFrame();
        return;
    }
    if (grid_.draw(canvas_->surface(), view_)) {
        lesson_.grid = true;
        canvas_->description().grid();
    }
}

void ExplorerWindow::onRemoveGridClicked() {
    if (lesson_.keepCurves) {
        lesson_.grid = false;
        rangePanel_->apply();
        return;
    }
    grid_.remove();
}

void ExplorerWindow::onCanvasPressed(const PointerEvent& e) {
    panning_->press(e);
}

void ExplorerWindow::onCanvasPointerMoved(const PointerEvent& e) {
    panning_->pointerMoved(e);
}

void ExplorerWindow::onCanvasReleased(const PointerEvent& e) {
    panning_->release(e);
}

void ExplorerWindow::onCanvasKey(int keyCode, int shift) {
    panning_->arrowKey(keyCode, shift);
}

void ExplorerWindow::onWindowPointerMoved() {
    exit_->pointerOverWindow();
}

void ExplorerWindow::onExitPointerMoved() {
    exit_->pointerOverButton();
}

void ExplorerWindow::onExitClicked() {
    exit_->clickOnHighlighted();
}

void ExplorerWindow::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    onWindowPointerMoved();
}

void ExplorerWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.fill)
        p.fillRect(rect(), *background_.fill);
    commands_->paintBackground(p, background_.picture, background_.size, background_.tiled);
}

bool ExplorerWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    return QWidget::event(event);
}

bool ExplorerWindow::focusNextPrevChild(bool next) {
    return (commands_ && commands_->focusCanvasForDisabled()) || QWidget::focusNextPrevChild(next);
}

} // namespace canvas

// The lesson of a window: which curves its canvas holds, redrawing them when they are kept, their names,
// undo and redo, and the lesson as a file.

#include "classroom/canvascommands.h"
#include "classroom/explorerwindow.h"
#include "classroom/exportdialogs.h"
#include "classroom/lessondialogs.h"
#include "classroom/windowcommands.h"
#include "curves/lessonfile.h"
#include "curves/spokentext.h"
#include "drawing/curvelabels.h"
#include "drawing/grid.h"
#include "runtime/messagebox.h"
#include "runtime/runtime.h"
#include "runtime/savefile.h"
#include "runtime/storedsettings.h"
#include "widgets/controls.h"
#include "widgets/messagebar.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace canvas {

namespace {

const QString kKeepCurvesKey = QStringLiteral("keepCurves");
const QString kCurveNamesKey = QStringLiteral("curveNames");
const QString kSaveLessonTitle = QStringLiteral("保存课件");
const QString kOpenLessonTitle = QStringLiteral("打开课件");

} // namespace

void ExplorerWindow::addLessonCommands(const QString& program) {
    program_ = program;
    lesson_.keepCurves = storedValue(program_, kKeepCurvesKey).toBool();
    lesson_.curveNames = storedValue(program_, kCurveNamesKey).toBool();
    auto toggle = [this](const QString& text, bool on, void (ExplorerWindow::*set)(bool),
                         const QString& key) {
        auto* action = new QAction(text, this);
        action->setCheckable(true);
        action->setChecked(on);
        // A click or a key remembers the choice; a lesson opened sets it for this run only.
        connect(action, &QAction::triggered, this, [this, set, key, text](bool checked) {
            (this->*set)(checked);
            storeValue(program_, key, checked);
            speak(this, text + (checked ? QStringLiteral(" 已打开") : QStringLiteral(" 已关闭")));
        });
        commands_->addCommand(action);
        return action;
    };
    keepAction_ = toggle(QStringLiteral("保留图象"), lesson_.keepCurves, &ExplorerWindow::setKeepCurves,
                         kKeepCurvesKey);
    namesAction_ = toggle(QStringLiteral("图象名称"), lesson_.curveNames, &ExplorerWindow::setCurveNames,
                          kCurveNamesKey);
    auto command = [this](const QString& text, const QKeySequence& keys) {
        auto* action = new QAction(text, this);
        action->setShortcut(keys);
        commands_->addCommand(action);
        return action;
    };
    undoAction_ = command(QStringLiteral("撤销"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = command(QStringLiteral("重做"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(undoAction_, &QAction::triggered, this, handler(this, &ExplorerWindow::onUndoClicked));
    connect(redoAction_, &QAction::triggered, this, handler(this, &ExplorerWindow::onRedoClicked));
    QAction* save = command(QStringLiteral("保存课件…"), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* open = command(QStringLiteral("打开课件…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(save, &QAction::triggered, this, [this, save] {
        runDialogCommand(save, this, [this] {
            QString path = lessonDialogs().saveName(this, kSaveLessonTitle);
            if (path.isEmpty())
                return;
            if (QFileInfo(path).suffix().compare(kLessonExtension, Qt::CaseInsensitive) != 0)
                path += u'.' + kLessonExtension;
            if (QFileInfo::exists(path)) {
                const ModalScope modal;
                if (!exportDialogs().confirmReplace(this, kSaveLessonTitle, replaceQuestion(path)))
                    return;
            }
            if (saveLesson(path))
                speak(this, savedWords(path));
        });
    });
    connect(open, &QAction::triggered, this, [this, open] {
        runDialogCommand(open, this, [this] {
            const QString path = lessonDialogs().openName(this, kOpenLessonTitle);
            if (!path.isEmpty())
                openLesson(path);
        });
    });
    updateUndoCommands();
    addLiveCommands();
}

void ExplorerWindow::setKeepCurves(bool on) {
    lesson_.keepCurves = on;
    if (keepAction_)
        keepAction_->setChecked(on);
}

void ExplorerWindow::setCurveNames(bool on) {
    if (namesAction_)
        namesAction_->setChecked(on);
    if (lesson_.curveNames == on)
        return;
    lesson_.curveNames = on;
    // The names come and go with a redraw: the curves stay as they are.
    redrawLesson();
}

void ExplorerWindow::updateUndoCommands() {
    if (undoAction_)
        undoAction_->setEnabled(history_.canUndo());
    if (redoAction_)
        redoAction_->setEnabled(history_.canRedo());
}

void ExplorerWindow::frameDrawn() {
    // A note about a value stood over the plane it was given on.
    if (!redrawing_)
        hideNote();
    if (!lesson_.keepCurves && !redrawing_) {
        // The curves are gone from the canvas, and with them from the lesson: what 撤销 could take back
        // is no longer there. After a wipe there is nothing to forget, and the wipe stays undoable.
        if (!lesson_.curves.empty()) {
            live_.reset();
            lesson_.curves.clear();
            history_.reset();
            updateUndoCommands();
        }
        lesson_.grid = false;
        return;
    }
    drawLessonCurves(redrawing_);
}

void ExplorerWindow::drawLessonCurves(bool wholeNewest) {
    if (lesson_.grid && drawGrid(canvas_->surface(), view_))
        canvas_->description().grid();
    // A copy: drawing a curve again never changes the list, but a program may report while it draws.
    const std::vector<LessonCurve> curves = lesson_.curves;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (i + 1 == curves.size() && !wholeNewest)
            redrawNewest(curves[i]);
        else
            drawWhole(curves[i]);
    }
}

void ExplorerWindow::curveStarted(const LessonCurve& curve) {
    live_.reset();
    history_.changing(lesson_.curves);
    lesson_.curves.push_back(curve);
    updateUndoCommands();
}

void ExplorerWindow::curveCompleted(const LessonCurve& curve) {
    // The line y = x carries its own name, "y=x", wherever it is drawn.
    if (lesson_.curveNames && curve.record.kind != CurveKind::Identity)
        writeCurveLabel(canvas_->surface(), view_, curve.record, curve.colour);
}

void ExplorerWindow::wipeLesson() {
    if (lesson_.curves.empty() && !lesson_.grid)
        return;
    live_.reset();
    history_.changing(lesson_.curves);
    lesson_.curves.clear();
    lesson_.grid = false;
    updateUndoCommands();
}

void ExplorerWindow::redrawLesson() {
    stopDrawing();
    redrawing_ = true;
    drawFrame();
    redrawing_ = false;
}

void ExplorerWindow::tellCurveChange(const CurveChange& change, bool undone) {
    const QString step = undone ? QStringLiteral("撤销") : QStringLiteral("重做");
    const QString curve = change.curve ? spokenFormula(*change.curve) : QString();
    switch (change.kind) {
    case CurveChange::Kind::Removed:
        speak(this, QStringLiteral("%1, 去掉图象 %2").arg(step, curve));
        break;
    case CurveChange::Kind::Added:
        speak(this, QStringLiteral("%1, 画回图象 %2").arg(step, curve));
        break;
    case CurveChange::Kind::Wiped:
        speak(this, QStringLiteral("%1, 清除全部图象").arg(step));
        break;
    case CurveChange::Kind::Restored:
        speak(this, QStringLiteral("%1, 画回全部图象").arg(step));
        break;
    }
}

void ExplorerWindow::onUndoClicked() {
    showHistoryStep(history_.undo(lesson_.curves), true);
}

void ExplorerWindow::onRedoClicked() {
    showHistoryStep(history_.redo(lesson_.curves), false);
}

void ExplorerWindow::showHistoryStep(const std::optional<CurveChange>& change, bool undone) {
    if (!change)
        return;
    live_.reset();
    redrawLesson();
    updateUndoCommands();
    tellCurveChange(*change, undone);
}

bool ExplorerWindow::saveLesson(const QString& path) {
    lesson_.view = view_;
    const SaveOutcome outcome = saveFile(path, writeLesson(lesson_, program_));
    if (outcome == SaveOutcome::Saved)
        return true;
    MsgBox(QStringLiteral("课件未能保存到 %1：%2")
               .arg(QDir::toNativeSeparators(path), saveFailureReason(outcome)),
           kWarningTitle, MessageIcon::Exclamation);
    return false;
}

bool ExplorerWindow::openLesson(const QString& path) {
    const auto read = readLessonFile(path, program_);
    if (const auto* refused = std::get_if<LessonRefused>(&read)) {
        MsgBox(QStringLiteral("无法打开 %1：%2").arg(QFileInfo(path).fileName(), refusalText(*refused)),
               kWarningTitle, MessageIcon::Exclamation);
        return false;
    }
    const Lesson& opened = std::get<Lesson>(read);
    stopDrawing();
    stopAnimation();
    live_.reset();
    hideNote();
    lesson_ = opened;
    history_.reset();
    setKeepCurves(lesson_.keepCurves);
    if (namesAction_)
        namesAction_->setChecked(lesson_.curveNames);
    view_ = lesson_.view;
    const RangeBoxes& boxes = rangePanel_->boxes();
    rangePanel_->writeLimits(view_.xmin, view_.xmax, view_.ymin, view_.ymax);
    boxes.xju1->setText(Str(view_.xju1));
    boxes.yju1->setText(Str(view_.yju1));
    // The curves came from the file, not from the boxes: a drag or a zoom does not plot the boxes again.
    curveWanted_ = false;
    redrawLesson();
    updateUndoCommands();
    speak(this, QStringLiteral("已打开 ") + QFileInfo(path).fileName());
    return true;
}

} // namespace canvas

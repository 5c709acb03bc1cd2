#pragma once

// What makes a window Zelmora or Tavrinth: one table per program with its captions, its control positions
// (in twips), its pictures, which box holds the base, how its range panel and commands differ, and which
// curves its two timers trace.

#include "curves/curverecord.h"
#include "expolog/mainwindow.h"

#include <QString>

#include <vector>

namespace expolog {

/// A rectangle in twips: left, top, width, height.
struct Twips {
    int left, top, width, height;
};

struct PictureRow {
    canvas::ImageControl* Controls::*control;
    /// File under the program's picture folder, or a full resource path (":/...").
    const char* file;
    Twips at;
    bool visible;
    /// What the picture says, read by screen readers; nullptr for one that only decorates.
    const char* words;
};

struct LabelRow {
    QLabel* Controls::*control;
    const char* caption;
    Twips at;
    double pointSize;
    bool bold;
};

struct TextRow {
    QLineEdit* Controls::*control;
    Twips at;
    double pointSize;
    bool red;
    bool visible;
    /// The accessible name, from the words beside the box on screen.
    const char* name;
};

struct ButtonRow {
    QPushButton* Controls::*control;
    const char* caption;
    Twips at;
    bool visible;
    /// An accessible name where the caption is not unique in the window; nullptr to read the caption.
    const char* name;
};

/// A control that Tab reaches: the window's control of that name, whatever its type.
using TabStop = QWidget* (*)(const Controls&);
template <auto member> QWidget* tabStop(const Controls& controls) {
    return controls.*member;
}

struct Family {
    QString caption;
    /// Resource folder of the program's pictures, such as ":/zelmora/".
    QString pictures;
    Twips client;
    Twips canvas;
    /// The empty label on the canvas, relative to it.
    Twips canvasLabel;
    /// Pictures, bottom of the stack first.
    std::vector<PictureRow> pictureRows;
    std::vector<LabelRow> rangeLabels;
    /// The blank of the properties table ("增" / "减").
    Twips blank;
    std::vector<TextRow> textRows;
    std::vector<ButtonRow> buttonRows;

    /// The controls Tab reaches, in order after the canvas (the exit picture comes last).
    std::vector<TabStop> tabChain;
    /// The box 反函数图象 reads its base from: the base box of one program, the inverse panel's of the other.
    QLineEdit* Controls::*inverseBaseSource;

    canvas::RangePanelStyle rangePanel;
    /// 作图 ends canvasCleared, so the grid buttons re-plot again.
    bool plotResetsCanvasCleared;
    /// 清除图象 ends curveWanted, so a drag no longer traces the curve again.
    bool clearGraphEndsReplots;
    /// A drag step starts the trace timer whenever it passes the base check, even with no curve wanted.
    bool dragAlwaysEnablesTimer;

    TraceRules mainTrace;
    TraceRules inverseTrace;
    /// The traced curves as the canvas describes them, with %1 for the base: "y = %1^x".
    const char* mainFormula;
    const char* inverseFormula;
    /// Which functions those are, for exploring and hearing them.
    canvas::CurveKind mainKind;
    canvas::CurveKind inverseKind;
    /// What the properties table says once a trace has filled it in, for the ear: for a base above 1, and
    /// for one between 0 and 1.
    const char* growingWords;
    const char* fallingWords;
};

/// Zelmora: exponential functions y = a^x, inverse y = log_a x.
extern const Family kZelmora;
/// Tavrinth: logarithmic functions y = log_a x, inverse y = a^x.
extern const Family kTavrinth;

} // namespace expolog

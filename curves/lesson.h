#pragma once

// A lesson: the curves on the canvas in the order they were drawn, each with its colour and width, with the
// view, the grid and the two switches that decide whether curves stay over a redraw and carry their names.
// Redraws, names, undo, the saved lesson file and the canvas description all read this one list. The
// history keeps what the list held before each change a pupil can take back: a new curve or a wipe.

#include "curves/curverecord.h"
#include "runtime/numericfunctions.h"
#include "runtime/viewrange.h"

#include <QString>

#include <optional>
#include <vector>

namespace canvas {

/// One curve as it was drawn.
struct LessonCurve {
    CurveRecord record;
    Colour colour = 0;
    /// The pen width in canvas pixels.
    int width = 1;
};

bool operator==(const LessonCurve& a, const LessonCurve& b);
inline bool operator!=(const LessonCurve& a, const LessonCurve& b) {
    return !(a == b);
}

struct Lesson {
    std::vector<LessonCurve> curves;
    ViewRange view{-10, 10, -10, 10, 1, 1};
    bool grid = false;
    /// 保留图象: every redraw draws every curve again.
    bool keepCurves = false;
    /// 图象名称: each curve's formula beside it.
    bool curveNames = false;
};

/// What an undo or a redo did to the curves, for the screen reader.
struct CurveChange {
    enum class Kind { Removed, Added, Wiped, Restored };
    Kind kind = Kind::Removed;
    /// The curve that went or came; for a wipe or its undo, the newest of the curves.
    std::optional<CurveRecord> curve;
};

/// The formula as the windows write it: "y = x^2", "y = x^(-1)", "y = x^(2/3)", "y = 2^x", "y = log_2 x",
/// "y = x".
QString writtenFormula(const CurveRecord& curve);

/// Undo and redo over the curves of a lesson. Each step remembers the whole list as it was: lessons are a
/// handful of curves, and a wipe is taken back as easily as a curve.
class CurveHistory {
public:
    /// A change is about to be made to `before`; it can be taken back, and nothing is left to bring back.
    void changing(const std::vector<LessonCurve>& before);
    /// Forgets every step (a new plane without kept curves, a lesson opened).
    void reset();

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    /// The list before the last change, with what the step did; `curves` becomes that list.
    std::optional<CurveChange> undo(std::vector<LessonCurve>& curves);
    /// The list again after the last step taken back.
    std::optional<CurveChange> redo(std::vector<LessonCurve>& curves);

private:
    using Steps = std::vector<std::vector<LessonCurve>>;
    /// Goes back to the newest list of `from`, keeping the present one in `to`.
    static std::optional<CurveChange> step(Steps& from, Steps& to, std::vector<LessonCurve>& curves);

    Steps undo_;
    Steps redo_;
};

} // namespace canvas

#pragma once

// The range panel: six boxes that hold the visible window of the plane and the tick spacings as text, the
// apply button that stores and checks them and redraws the frame, and the button that empties them. The
// programs differ only in data: which boxes are which, whether the limit boxes store at every change, and
// whether clearing empties the spacing boxes too.

#include "runtime/viewrange.h"

#include <QLineEdit>

#include <functional>

namespace canvas {

/// The six boxes of the panel, by role.
struct RangeBoxes {
    QLineEdit* xmin;
    QLineEdit* xmax;
    QLineEdit* ymin;
    QLineEdit* ymax;
    QLineEdit* xju1;
    QLineEdit* yju1;
};

/// How a program's panel behaves.
struct RangePanelStyle {
    /// The four limit boxes store their value into the range at every change of their text.
    bool limitsStoreOnChange;
    /// "清除数据" empties the spacing boxes as well as the limit boxes.
    bool clearEmptiesSpacings;
};

class RangePanel {
public:
    /// `cls` wipes the canvas; `frame` draws the frame of the stored range.
    RangePanel(RangeBoxes boxes, RangePanelStyle style, ViewRange& range, std::function<void()> cls,
               std::function<void()> frame);

    /// "确定": stores all six boxes, then checks them in order; the first failing check shows its message
    /// and ends the action, otherwise the frame of the new range is drawn.
    void apply();
    /// "清除数据": empties the boxes; nothing is drawn.
    void clear();
    /// Writes the four limits into their boxes in the order xmax, xmin, ymax, ymin (each write runs the
    /// box's change handler where it has one), in the general decimal form.
    void writeLimits(double xmin, double xmax, double ymin, double ymax);
    /// Zooms about the origin as a pupil would by hand: the four stored limits times `factor` are typed into
    /// their boxes and applied with "确定". A range the panel would refuse is never typed: false then, and
    /// nothing changes.
    bool scaleAboutOrigin(double factor);

    const RangeBoxes& boxes() const { return boxes_; }

private:
    RangeBoxes boxes_;
    RangePanelStyle style_;
    ViewRange& range_;
    std::function<void()> cls_;
    std::function<void()> frame_;
};

} // namespace canvas

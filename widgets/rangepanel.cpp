#include "widgets/rangepanel.h"

#include "runtime/messagebox.h"
#include "runtime/runtime.h"

#include <array>
#include <cmath>

namespace canvas {

RangePanel::RangePanel(RangeBoxes boxes, RangePanelStyle style, ViewRange& range, std::function<void()> cls,
                       std::function<void()> frame)
    : boxes_(boxes), style_(style), range_(range), cls_(std::move(cls)), frame_(std::move(frame)) {
    if (!style_.limitsStoreOnChange)
        return;
    // The change handlers of the limit boxes: the typed value is the stored one at once, without drawing.
    auto store = [](QLineEdit* box, double& target) {
        QObject::connect(box, &QLineEdit::textChanged, box->window(),
                         [&target](const QString& text) { target = Val(text); });
    };
    store(boxes_.xmin, range_.xmin);
    store(boxes_.xmax, range_.xmax);
    store(boxes_.ymin, range_.ymin);
    store(boxes_.ymax, range_.ymax);
}

void RangePanel::apply() {
    range_.xmin = Val(boxes_.xmin->text());
    range_.xmax = Val(boxes_.xmax->text());
    range_.ymin = Val(boxes_.ymin->text());
    range_.ymax = Val(boxes_.ymax->text());
    range_.xju1 = Val(boxes_.xju1->text());
    range_.yju1 = Val(boxes_.yju1->text());
    const QString wrongRange = QStringLiteral("数据输入有误！");
    const QString wrongSpacing = QStringLiteral("单位长度必须大于零！");
    if (range_.xmax <= range_.xmin || range_.ymax <= range_.ymin) {
        MsgBox(wrongRange, kWarningTitle, MessageIcon::Exclamation);
        cls_();
        return;
    }
    if (range_.xju1 <= 0) {
        MsgBox(wrongSpacing, kWarningTitle, MessageIcon::Exclamation);
        boxes_.xju1->setText(QStringLiteral("1"));
        return;
    }
    if (range_.yju1 <= 0) {
        MsgBox(wrongSpacing, kWarningTitle, MessageIcon::Exclamation);
        boxes_.yju1->setText(QStringLiteral("1"));
        return;
    }
    frame_();
}

void RangePanel::clear() {
    boxes_.xmax->clear();
    boxes_.xmin->clear();
    boxes_.ymax->clear();
    boxes_.ymin->clear();
    if (style_.clearEmptiesSpacings) {
        boxes_.xju1->clear();
        boxes_.yju1->clear();
    }
}

void RangePanel::writeLimits(double xmin, double xmax, double ymin, double ymax) {
    // A written box shows the start of its number (the sign and the leading digits), not its tail.
    auto write = [](QLineEdit* box, double value) {
        box->setText(Str(value));
        box->setCursorPosition(0);
    };
    write(boxes_.xmax, xmax);
    write(boxes_.xmin, xmin);
    write(boxes_.ymax, ymax);
    write(boxes_.ymin, ymin);
}

} // namespace canvas

namespace canvas {

bool RangePanel::scaleAboutOrigin(double factor) {
    // The panel reads the boxes back from their text, so the check is of what the text will say: a limit
    // that overflows, or a range that shrinks until two limits print alike, stays where it is.
    std::array<double, 4> typed{range_.xmin * factor, range_.xmax * factor, range_.ymin * factor,
                                range_.ymax * factor};
    for (double& v : typed) {
        if (!std::isfinite(v))
            return false;
        v = Val(Str(v));
    }
    const bool accepted = typed[1] > typed[0] && typed[3] > typed[2] && Val(boxes_.xju1->text()) > 0 &&
                          Val(boxes_.yju1->text()) > 0;
    if (!accepted)
        return false;
    writeLimits(typed[0], typed[1], typed[2], typed[3]);
    apply();
    return true;
}

} // namespace canvas

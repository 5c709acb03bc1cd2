#include "drawing/canvasdescription.h"

#include "drawing/spokentext.h"
#include "runtime/runtime.h"

namespace canvas {

CanvasDescription::CanvasDescription(std::function<void(const QString&)> changed)
    : changed_(std::move(changed)) {}

void CanvasDescription::frame(const ViewRange& view) {
    framed_ = true;
    view_ = view;
    grid_ = false;
    curves_.clear();
    records_.clear();
    notify();
}

void CanvasDescription::cleared() {
    framed_ = false;
    grid_ = false;
    curves_.clear();
    records_.clear();
    notify();
}

void CanvasDescription::grid() {
    grid_ = true;
    notify();
}

void CanvasDescription::curve(const CurveRecord& record) {
    // Drawing the same function again (a re-plot after a drag, or 作图 pressed twice) shows no new curve.
    const QString words = spokenFormula(record);
    if (curves_.contains(words))
        return;
    curves_.append(words);
    records_.push_back(record);
    notify();
}

void CanvasDescription::announce(const QString& words) const {
    if (changed_)
        changed_(words);
}

QString CanvasDescription::text() const {
    if (!framed_)
        return QStringLiteral("空白");
    // The range as typed, every digit of it: these are the numbers the boxes hold, not read-outs.
    auto said = [](double v) { return spokenNumber(Str(v)); };
    QString text = QStringLiteral("x 从 %1 到 %2, y 从 %3 到 %4")
                       .arg(said(view_.xmin), said(view_.xmax), said(view_.ymin), said(view_.ymax));
    if (view_.xju1 == view_.yju1)
        text += QStringLiteral(", 单位长度 %1").arg(said(view_.xju1));
    else
        text += QStringLiteral(", 单位长度 x %1, y %2").arg(said(view_.xju1), said(view_.yju1));
    if (grid_)
        text += QStringLiteral(", 网格");
    // The curves are listed with the enumeration comma "、", which speech passes over as a pause, so the
    // list stands apart from the commas between the parts of the description.
    if (!curves_.isEmpty())
        text += QStringLiteral(", 图象 ") + curves_.join(QStringLiteral("、"));
    return text;
}

void CanvasDescription::notify() const {
    if (changed_)
        changed_(text());
}

} // namespace canvas

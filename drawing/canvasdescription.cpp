#include "drawing/canvasdescription.h"

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

void CanvasDescription::curve(const QString& formula) {
    // Drawing the same function again (a re-plot after a drag, or 作图 pressed twice) shows no new curve.
    if (curves_.contains(formula))
        return;
    curves_.append(formula);
    notify();
}

void CanvasDescription::curve(const CurveRecord& record) {
    if (!curves_.contains(record.formula))
        records_.push_back(record);
    curve(record.formula);
}

void CanvasDescription::announce(const QString& words) const {
    if (changed_)
        changed_(words);
}

QString CanvasDescription::text() const {
    if (!framed_)
        return QStringLiteral("空白");
    QString text = QStringLiteral("x 从 %1 到 %2, y 从 %3 到 %4")
                       .arg(Str(view_.xmin), Str(view_.xmax), Str(view_.ymin), Str(view_.ymax));
    if (view_.xju1 == view_.yju1)
        text += QStringLiteral(", 单位长度 %1").arg(Str(view_.xju1));
    else
        text += QStringLiteral(", 单位长度 x %1, y %2").arg(Str(view_.xju1), Str(view_.yju1));
    if (grid_)
        text += QStringLiteral(", 网格");
    if (!curves_.isEmpty())
        text += QStringLiteral("; 图象: ") + curves_.join(QStringLiteral(", "));
    return text;
}

void CanvasDescription::notify() const {
    if (changed_)
        changed_(text());
}

} // namespace canvas

#include "curves/canvasdescription.h"

#include "curves/spokentext.h"
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

namespace {

// The range as typed, every digit of it: these are the numbers the boxes hold, not read-outs.
QString rangeWords(const ViewRange& view) {
    auto said = [](double v) { return spokenNumber(Str(v)); };
    QString text = QStringLiteral("x 从 %1 到 %2, y 从 %3 到 %4")
                       .arg(said(view.xmin), said(view.xmax), said(view.ymin), said(view.ymax));
    if (view.xju1 == view.yju1)
        text += QStringLiteral(", 单位长度 %1").arg(said(view.xju1));
    else
        text += QStringLiteral(", 单位长度 x %1, y %2").arg(said(view.xju1), said(view.yju1));
    return text;
}

bool sameView(const ViewRange& a, const ViewRange& b) {
    return a.xmin == b.xmin && a.xmax == b.xmax && a.ymin == b.ymin && a.ymax == b.ymax && a.xju1 == b.xju1 &&
           a.yju1 == b.yju1;
}

} // namespace

QString CanvasDescription::changeSince(const State& before) const {
    if (!framed_)
        return before.framed ? text() : QString();
    if (!before.framed)
        return text();
    QStringList parts;
    const bool moved = !sameView(before.view, view_);
    if (moved)
        parts << rangeWords(view_);
    if (grid_ != before.grid)
        parts << (grid_ ? QStringLiteral("网格") : QStringLiteral("无网格"));
    QStringList drawn;
    for (const QString& curve : curves_)
        if (!before.curves.contains(curve))
            drawn << curve;
    if (!drawn.isEmpty())
        parts << QStringLiteral("图象 ") + drawn.join(QStringLiteral("、"));
    else if (curves_.isEmpty() && !before.curves.isEmpty() && !moved)
        parts << QStringLiteral("没有图象");
    return parts.join(QStringLiteral(", "));
}

void CanvasDescription::setHint(const QString& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    notify();
}

QString CanvasDescription::text() const {
    if (!framed_)
        return hint_.isEmpty() ? QStringLiteral("空白") : QStringLiteral("空白, ") + hint_;
    QString text = rangeWords(view_);
    if (grid_)
        text += QStringLiteral(", 网格");
    // The curves are listed with the enumeration comma "、", which speech passes over as a pause, so the
    // list stands apart from the commas between the parts of the description.
    if (!curves_.isEmpty())
        text += QStringLiteral(", 图象 ") + curves_.join(QStringLiteral("、"));
    if (!hint_.isEmpty())
        text += QStringLiteral(", ") + hint_;
    return text;
}

void CanvasDescription::notify() const {
    if (changed_)
        changed_(text());
}

} // namespace canvas

#pragma once

// What the canvas shows, in words, for screen readers: the range and tick spacing of the frame, whether the
// grid is laid over it, and the curves drawn since the frame was last drawn. The windows report what they
// draw, each curve as a record; the words are written for the ear (numbers and formulas as spokentext.h
// says them). Beside the words it keeps the records, for exploring and hearing the curves.

#include "curves/curverecord.h"
#include "runtime/viewrange.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace canvas {

class CanvasDescription {
public:
    /// What the description holds at a moment, to tell later what has changed since.
    struct State {
        bool framed = false;
        ViewRange view;
        bool grid = false;
        QStringList curves;
        QString hint;
    };

    /// `changed` receives the new text after every change.
    explicit CanvasDescription(std::function<void(const QString&)> changed = {});

    /// A frame of the range was drawn on a wiped canvas: no grid, no curves.
    void frame(const ViewRange& view);
    /// The canvas was wiped and nothing drawn on it.
    void cleared();
    /// The grid was laid over the frame.
    void grid();
    /// A curve was drawn; one already listed (the same formula in words) is not repeated.
    void curve(const CurveRecord& record);
    /// Passes words about the canvas (a point being explored) to the screen reader by the same way as a
    /// change, without changing what the canvas holds.
    void announce(const QString& words) const;

    /// The curves drawn since the last frame, with a record, oldest first.
    const std::vector<CurveRecord>& curves() const { return records_; }
    /// The range of the last frame, and whether one is drawn.
    const ViewRange& view() const { return view_; }
    bool isFramed() const { return framed_; }

    /// "x 从 负 10 到 10, y 从 负 10 到 10, 单位长度 1", then ", 网格" and ", 图象 y 等于 x 的 2 次方、…",
    /// or "空白".
    QString text() const;

    /// What the canvas holds now.
    State state() const { return {framed_, view_, grid_, curves_, hint_}; }
    /// What changed since `before`, for the ear: the range when it moved, "网格" or "无网格", the curves
    /// drawn since ("图象 y 等于 2 的 x 次方"), "没有图象" when they were wiped off a frame that stayed, or
    /// the whole text when the canvas was blank before; empty when nothing changed. Curves that go with a
    /// new frame are no news: a redraw brings them back.
    QString changeSince(const State& before) const;

    /// Words said after the rest of the description, such as where a hidden panel is found ("" for none).
    void setHint(const QString& hint);

private:
    void notify() const;

    std::function<void(const QString&)> changed_;
    bool framed_ = false;
    ViewRange view_;
    bool grid_ = false;
    /// The curves' formulas in words.
    QStringList curves_;
    std::vector<CurveRecord> records_;
    QString hint_;
};

} // namespace canvas

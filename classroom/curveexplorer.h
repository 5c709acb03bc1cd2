#pragma once

// Exploring the curves on the canvas with the keyboard, and hearing them. With the canvas focused, T enters
// exploration on the most recent curve: Left and Right move the point one pixel column (Shift: to the next
// tick), Home and End to the edges of the view, Up and Down to the previous or next curve at the same x,
// Ctrl+Left and Ctrl+Right to the previous or next landmark; every move is announced and a marker with the
// coordinates shows the point. T or Esc leaves, and the arrow keys pan the plane again. H plays the chosen
// curve as sound (Shift+H twice as slowly), the marker moving with what is heard; H or Space stops it.
// Without a sound output, the marker's label says so for a few seconds. No other key is taken, and the
// picture itself never changes: the marker lies over it.

#include "classroom/curvemarker.h"
#include "curves/curverecord.h"
#include "widgets/canvaswidget.h"

#include <QObject>
#include <QTimer>

#include <optional>

namespace canvas {

/// How long a curve's sound takes, and with Shift.
constexpr double kSoundSeconds = 3;
constexpr double kSlowSoundSeconds = 6;
/// How often the marker follows a playing sound.
constexpr int kSoundMarkerIntervalMs = 40;
/// How long the marker's label says that there is no sound output.
constexpr int kNoSoundNoticeMs = 4000;

class CurveExplorer : public QObject {
    Q_OBJECT
public:
    /// Explores the curves of `canvas`, whose description holds their records.
    explicit CurveExplorer(CanvasWidget* canvas);
    ~CurveExplorer() override;

    /// The explorer of a canvas, once made.
    static CurveExplorer* of(CanvasWidget* canvas);

    bool isExploring() const { return exploring_; }
    /// The point being explored.
    double x() const { return x_; }
    /// The curve exploring or the sound is about: the chosen one while exploring, else the most recent.
    std::optional<CurveRecord> chosenCurve() const;

    bool isSounding() const { return sounding_; }
    /// Moves the marker to where the sound has been heard to, and notices its end: when the output has
    /// played it out, not when it was handed over. Run by a timer while playing.
    void soundTick();

    /// True while the marker's label says that there is no sound output.
    bool isShowingNotice() const { return noticeTimer_.isActive(); }
    /// Ends that notice: the marker shows the explored point again, or goes. Run by a timer.
    void endNotice();

    /// The marker: where it is and what its label says.
    const CurveMarker& marker() const { return *marker_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool key(int key, Qt::KeyboardModifiers modifiers);
    void enter();
    void leave();
    void step(double x);
    void stepByTick(int direction);
    void stepToLandmark(int direction);
    void chooseCurve(int direction);
    void toggleSound(double seconds);
    void stopSound();
    void contentsChanged();
    void announce(const QString& words);
    void showMarker(double x);
    /// Shows the marker at x with the words that there is no sound output, for a few seconds.
    void showNoSoundNotice(double x);
    void hideMarker();
    /// Canvas pixels per view unit, across and up.
    double columns() const;
    double rows() const;

    CanvasWidget* canvas_;
    CurveMarker* marker_;
    bool exploring_ = false;
    int curve_ = 0;
    double x_ = 0;
    bool sounding_ = false;
    double soundSeconds_ = 0;
    ViewRange soundView_;
    QTimer soundTimer_;
    QTimer noticeTimer_;
};

} // namespace canvas

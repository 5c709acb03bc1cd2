#pragma once

// The display scale of a program: one factor for all its windows (the main window, the save dialog, the
// message boxes), in fixed steps for the classroom projector, or any factor while the window is full
// screen. Controls, fonts and pictures grow with it; the canvas keeps its logical size and only gets finer
// pixels.

#include <QObject>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace canvas {

/// The scale steps, in per cent.
inline constexpr std::array<int, 7> kScaleSteps{100, 125, 150, 175, 200, 250, 300};

class DisplayScale : public QObject {
    Q_OBJECT
public:
    /// The program's one display scale.
    static DisplayScale& instance();

    /// 1 at 100 %.
    qreal factor() const { return factor_; }
    /// Changes the factor; one that is not a finite positive number is ignored.
    void setFactor(qreal factor);

signals:
    void changed(qreal factor);

private:
    qreal factor_ = 1.0;
};

/// The next step above `percent`, or `percent` itself when no step above fits (`largest` is the largest
/// step that fits the screen).
int stepUp(int percent, int largest);
/// The next step below `percent`, or 100.
int stepDown(int percent);
/// The largest step at which a window whose client area is `size` at 100 %, with `frame` added by the
/// window manager (title bar, borders), fits in `available`; 100 when none does.
int largestFittingStep(QSize size, QSize frame, QSize available);

/// A scale step typed on the command line or stored in the settings ("200", "200%"); nothing for anything
/// else, so a corrupt or out-of-range value falls back to the default.
std::optional<int> parseScaleStep(const QString& text);

/// The scale a program stored at its last run (100 when there is none or it is not a step).
int storedScale(const QString& program);
/// Stores the program's scale for its next run.
void storeScale(const QString& program, int percent);

/// Whether the program drew its curves in high contrast at its last run (off when never set).
bool storedHighContrast(const QString& program);
/// Stores the high-contrast choice for the next run.
void storeHighContrast(const QString& program, bool on);

} // namespace canvas

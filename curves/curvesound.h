#pragma once

// A curve as sound: the curve plays left to right across the visible x range, panned from the left speaker
// to the right with x, its pitch following y on a musical scale (the bottom of the view 220 Hz, the top
// 1760 Hz, equal steps of y equal intervals). Beyond the view the pitch stays at the edge, quieter; below
// the x axis a soft noise joins the tone; where the function is undefined there is silence. Short ticks, each
// at its own pitch above the tone's range, mark crossing the x axis, reaching it without crossing, passing
// x = 0 and a vertical asymptote. Rendering is a pure function of the curve and the view; playing the
// samples (with their fades) is another matter.

#include "curves/curverecord.h"
#include "runtime/viewrange.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace canvas {

/// Samples per second of every curve sound.
constexpr int kSoundRate = 44100;
/// The pitch of the bottom and the top of the view.
constexpr double kLowestPitch = 220;
constexpr double kHighestPitch = 1760;
/// The pitches of the ticks: crossing the x axis, reaching it without crossing, passing x = 0, a vertical
/// asymptote.
constexpr double kAxisTickPitch = 3000;
constexpr double kAxisTouchTickPitch = 2600;
constexpr double kZeroTickPitch = 2200;
constexpr double kAsymptoteTickPitch = 4400;
/// Longest sound rendered, in seconds: a duration beyond it (or one that is no number) is cut to it.
constexpr double kLongestSound = 60;

/// A rendered sound: 16-bit stereo at kSoundRate, left and right samples interleaved.
struct CurveSound {
    std::vector<std::int16_t> samples;
    double seconds = 0;

    /// Frames (left-right pairs) in the sound.
    std::size_t frames() const { return samples.size() / 2; }
    /// The samples as the bytes a sound device or a WAV file takes (little-endian).
    QByteArray pcm() const;
};

/// The pitch of a y value in the view: kLowestPitch at ymin to kHighestPitch at ymax, held at the edge
/// beyond them.
double pitchOf(double y, const ViewRange& view);

/// Renders the curve across the view in `seconds` (silence for a view that is not a usable range).
CurveSound renderCurveSound(const CurveRecord& curve, const ViewRange& view, double seconds);

/// The sound as a complete WAV file (PCM, 16 bits, stereo).
QByteArray wavFile(const CurveSound& sound);

/// How long a player takes to bring a sound in at its start and out at its end or wherever it is stopped:
/// short enough to leave every tick whole, long enough that starting or ending never clicks.
constexpr double kFadeSeconds = 0.008;

/// The samples (as CurveSound::pcm() gives them) with a fade over the first and the last kFadeSeconds:
/// what a player plays, so that the sound neither starts nor ends with a jump.
QByteArray withFades(const QByteArray& pcm);

/// The kFadeSeconds of the samples from frame `from` on (fewer where the sound ends sooner), falling from
/// full loudness to silence: the last a player plays of a sound stopped at `from`.
QByteArray fadedOut(const QByteArray& pcm, std::size_t from);

} // namespace canvas

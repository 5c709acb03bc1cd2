#include "curves/curvesound.h"

#include "curves/landmark.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Loudness of the tone inside the view and beyond it, of the noise relative to the tone, and of a tick.
constexpr double kToneLevel = 0.45;
constexpr double kOutsideLevel = 0.15;
constexpr double kNoiseShare = 0.3;
constexpr double kTickLevel = 0.35;
// Changes of loudness glide over a few milliseconds, so that entering the view or the domain does not click.
constexpr double kGlideSeconds = 0.003;
// A tick: a tone that dies away within its length.
constexpr double kTickSeconds = 0.03;
constexpr double kTickDecaySeconds = 0.006;
// Columns at which the landmarks behind the ticks are sought.
constexpr int kTickColumns = 1000;

struct Tick {
    double seconds;
    double pitch;
};

std::vector<Tick> ticks(const CurveRecord& curve, const ViewRange& view, double seconds) {
    std::vector<Tick> out;
    auto at = [&](double x) { return (x - view.xmin) / (view.xmax - view.xmin) * seconds; };
    if (view.xmin < 0 && 0 < view.xmax)
        out.push_back({at(0), kZeroTickPitch});
    for (const Landmark& l : landmarks(curve, view, kTickColumns))
        for (LandmarkKind kind : l.kinds) {
            if (kind == LandmarkKind::XAxisCrossing)
                out.push_back(
                    {at(l.x), crossesXAxis(curve, view, l.x) ? kAxisTickPitch : kAxisTouchTickPitch});
            if (kind == LandmarkKind::Asymptote)
                out.push_back({at(l.x), kAsymptoteTickPitch});
        }
    return out;
}

void addTick(std::vector<double>& left, std::vector<double>& right, const Tick& tick, double frames) {
    const auto first = static_cast<std::size_t>(std::max(0.0, std::round(tick.seconds * kSoundRate)));
    const auto length = static_cast<std::size_t>(kTickSeconds * kSoundRate);
    for (std::size_t i = 0; i < length && first + i < left.size(); ++i) {
        const double t = static_cast<double>(i) / kSoundRate;
        const double v = kTickLevel * std::exp(-t / kTickDecaySeconds) * std::sin(2 * kPi * tick.pitch * t);
        const double pan = (first + i) / std::max(1.0, frames - 1) * kPi / 2;
        left[first + i] += v * std::cos(pan);
        right[first + i] += v * std::sin(pan);
    }
}

std::int16_t toSample(double v) {
    return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
}

constexpr qsizetype kFrameBytes = 4;

std::size_t fadeFrames() {
    return static_cast<std::size_t>(kFadeSeconds * kSoundRate);
}

// The loudness at step k of a fade of n frames coming in: a half cosine, from just above silence to just
// below full, so that neither end of the fade is a corner.
double fadeGain(std::size_t k, std::size_t n) {
    return 0.5 - 0.5 * std::cos(kPi * static_cast<double>(k + 1) / static_cast<double>(n + 1));
}

// Scales the frames [first, first + n) of 16-bit little-endian stereo samples by a fade coming in, or
// going out.
void fade(QByteArray& pcm, std::size_t first, std::size_t n, bool rising) {
    auto* bytes = reinterpret_cast<uchar*>(pcm.data());
    for (std::size_t k = 0; k < n; ++k) {
        const double gain = fadeGain(rising ? k : n - 1 - k, n);
        for (std::size_t channel = 0; channel < 2; ++channel) {
            uchar* at = bytes + (first + k) * kFrameBytes + channel * 2;
            qToLittleEndian<qint16>(static_cast<qint16>(std::lround(qFromLittleEndian<qint16>(at) * gain)),
                                    at);
        }
    }
}

} // namespace

QByteArray withFades(const QByteArray& pcm) {
    QByteArray out = pcm;
    const auto frames = static_cast<std::size_t>(pcm.size() / kFrameBytes);
    // A sound shorter than two fades fades in over its first half and out over its second.
    const std::size_t n = std::min(fadeFrames(), frames / 2);
    fade(out, 0, n, true);
    fade(out, frames - n, n, false);
    return out;
}

QByteArray fadedOut(const QByteArray& pcm, std::size_t from) {
    const auto frames = static_cast<std::size_t>(pcm.size() / kFrameBytes);
    const std::size_t first = std::min(from, frames);
    const std::size_t n = std::min(fadeFrames(), frames - first);
    QByteArray out =
        pcm.mid(static_cast<qsizetype>(first) * kFrameBytes, static_cast<qsizetype>(n) * kFrameBytes);
    fade(out, 0, n, false);
    return out;
}

QByteArray CurveSound::pcm() const {
    QByteArray bytes(static_cast<qsizetype>(samples.size() * 2), Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(bytes.data());
    for (std::size_t i = 0; i < samples.size(); ++i)
        qToLittleEndian<qint16>(samples[i], out + 2 * i);
    return bytes;
}

double pitchOf(double y, const ViewRange& view) {
    const double share = std::clamp((y - view.ymin) / (view.ymax - view.ymin), 0.0, 1.0);
    return kLowestPitch *
           std::exp2(std::log2(kHighestPitch / kLowestPitch) * (std::isnan(share) ? 0 : share));
}

CurveSound renderCurveSound(const CurveRecord& curve, const ViewRange& view, double seconds) {
    CurveSound sound;
    // Minus infinity is a duration below zero like any other: no sound, not the longest.
    sound.seconds = std::isnan(seconds) ? kLongestSound : std::clamp(seconds, 0.0, kLongestSound);
    const auto frames = static_cast<std::size_t>(std::lround(sound.seconds * kSoundRate));
    std::vector<double> left(frames, 0.0);
    std::vector<double> right(frames, 0.0);
    if (usableView(view) && frames > 1) {
        const double glide = 1 - std::exp(-1 / (kGlideSeconds * kSoundRate));
        const double width = view.xmax - view.xmin;
        double phase = 0;
        double gain = 0;
        double noiseGain = 0;
        std::uint32_t noise = 0x9E3779B9u;
        for (std::size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / (frames - 1);
            const std::optional<double> y = curveValue(curve, view.xmin + t * width);
            double level = 0;
            double noiseLevel = 0;
            if (y) {
                level = *y < view.ymin || *y > view.ymax ? kOutsideLevel : kToneLevel;
                noiseLevel = *y < 0 ? kNoiseShare * level : 0;
                phase += 2 * kPi * pitchOf(*y, view) / kSoundRate;
                if (phase > 2 * kPi)
                    phase -= 2 * kPi;
            }
            gain += (level - gain) * glide;
            noiseGain += (noiseLevel - noiseGain) * glide;
            // A small generator of our own: the same curve always sounds the same.
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const double v = gain * std::sin(phase) + noiseGain * (noise / 2147483648.0 - 1);
            left[i] = v * std::cos(t * kPi / 2);
            right[i] = v * std::sin(t * kPi / 2);
        }
        for (const Tick& tick : ticks(curve, view, sound.seconds))
            addTick(left, right, tick, static_cast<double>(frames));
    }
    sound.samples.resize(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        sound.samples[2 * i] = toSample(left[i]);
        sound.samples[2 * i + 1] = toSample(right[i]);
    }
    return sound;
}

QByteArray wavFile(const CurveSound& sound) {
    const QByteArray data = sound.pcm();
    QByteArray file;
    auto u32 = [&file](quint32 v) {
        uchar b[4];
        qToLittleEndian(v, b);
        file.append(reinterpret_cast<const char*>(b), 4);
    };
    auto u16 = [&file](quint16 v) {
        uchar b[2];
        qToLittleEndian(v, b);
        file.append(reinterpret_cast<const char*>(b), 2);
    };
    constexpr quint16 kChannels = 2;
    constexpr quint16 kBits = 16;
    file.append("RIFF");
    u32(static_cast<quint32>(36 + data.size()));
    file.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(kChannels);
    u32(kSoundRate);
    u32(kSoundRate * kChannels * kBits / 8);
    u16(kChannels * kBits / 8);
    u16(kBits);
    file.append("data");
    u32(static_cast<quint32>(data.size()));
    file.append(data);
    return file;
}

} // namespace canvas

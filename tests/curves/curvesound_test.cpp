// A curve's sound, analysed from its rendered samples: pitch, balance, silence, noise and ticks.

#include "curves/curvesound.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace canvas;

namespace {

const ViewRange kView{-10, 10, -10, 10, 1, 1};
constexpr double kSeconds = 3;
constexpr double kPi = 3.14159265358979323846;

struct Window {
    const CurveSound& sound;
    double from; // seconds
    double to;

    std::size_t first() const { return static_cast<std::size_t>(from * kSoundRate); }
    std::size_t last() const { return std::min(sound.frames(), static_cast<std::size_t>(to * kSoundRate)); }
    double at(std::size_t frame, int channel) const { return sound.samples[2 * frame + channel] / 32768.0; }
    double mono(std::size_t frame) const { return at(frame, 0) + at(frame, 1); }

    double energy(int channel) const {
        double e = 0;
        for (std::size_t i = first(); i < last(); ++i)
            e += at(i, channel) * at(i, channel);
        return e;
    }
    // From the zero crossings of both channels together.
    double pitch() const {
        int crossings = 0;
        for (std::size_t i = first() + 1; i < last(); ++i)
            crossings += (mono(i - 1) < 0) != (mono(i) < 0);
        return crossings / 2.0 / (to - from);
    }
    // The second difference keeps a tone below 1760 Hz under a fiftieth of its energy; white noise grows.
    double roughness() const {
        double rough = 0;
        double all = 0;
        for (std::size_t i = first() + 2; i < last(); ++i) {
            const double d = mono(i) - 2 * mono(i - 1) + mono(i - 2);
            rough += d * d;
            all += mono(i) * mono(i);
        }
        return all > 0 ? rough / all : 0;
    }
    // The strength of one pitch (Goertzel), per sample.
    double strength(double pitch) const {
        const double w = 2 * kPi * pitch / kSoundRate;
        double s1 = 0;
        double s2 = 0;
        for (std::size_t i = first(); i < last(); ++i) {
            const double s = mono(i) + 2 * std::cos(w) * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        return std::sqrt(s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2) / (last() - first());
    }
};

double semitones(double a, double b) {
    return std::fabs(12 * std::log2(a / b));
}

double mapped(double y) {
    return 220 * std::pow(8.0, std::clamp((y + 10) / 20, 0.0, 1.0));
}

} // namespace

TEST(CurveSound, PitchFollowsYAndBalanceFollowsX) {
    const CurveSound s = renderCurveSound(powerCurve(2, 1, "y = x^2"), kView, kSeconds);
    ASSERT_EQ(s.frames(), static_cast<std::size_t>(kSeconds * kSoundRate));
    struct Case {
        double from;
        double to;
        double y; // of the curve in the middle of the window
    };
    // The start and the end lie above the view (held at the top); the middle is just right of the origin,
    // after its ticks.
    for (const Case& c :
         {Case{0.01, 0.05, 100}, Case{1.56, 1.6, std::pow(20 * 1.58 / 3 - 10, 2)}, Case{2.95, 2.99, 100}}) {
        const Window w{s, c.from, c.to};
        EXPECT_LT(semitones(w.pitch(), mapped(c.y)), 1) << c.from;
    }
    const Window start{s, 0.01, 0.3};
    const Window middle{s, 1.3, 1.7};
    const Window end{s, 2.7, 2.99};
    EXPECT_GT(start.energy(0), 20 * start.energy(1));
    EXPECT_GT(end.energy(1), 20 * end.energy(0));
    EXPECT_NEAR(middle.energy(0) / middle.energy(1), 1.0, 0.3);
}

TEST(CurveSound, SilentWhereTheFunctionIsUndefined) {
    for (const CurveRecord& c :
         {baseCurve(CurveKind::Logarithm, 2, "y = log_2 x"), powerCurve(1, 2, "y = x^(1/2)")}) {
        const CurveSound s = renderCurveSound(c, kView, kSeconds);
        const Window left{s, 0, kSeconds / 2};
        EXPECT_EQ(left.energy(0) + left.energy(1), 0) << c.formula.toStdString();
        EXPECT_GT((Window{s, 1.6, kSeconds}.energy(1)), 0) << c.formula.toStdString();
    }
}

TEST(CurveSound, TicksMarkTheAxisZeroAndAsymptote) {
    struct Case {
        CurveRecord curve;
        double pitch;
        bool expected;
    };
    const Case cases[] = {
        {powerCurve(3, 1, "y = x^3"), kAxisTickPitch, true},
        {powerCurve(3, 1, "y = x^3"), kZeroTickPitch, true},
        {powerCurve(3, 1, "y = x^3"), kAsymptoteTickPitch, false},
        {powerCurve(-1, 1, "y = x^(-1)"), kAsymptoteTickPitch, true},
        {powerCurve(-1, 1, "y = x^(-1)"), kAxisTickPitch, false},
        // Reaching the axis and turning back, or beginning on it, is not crossing it.
        {powerCurve(2, 1, "y = x^2"), kAxisTickPitch, false},
        {powerCurve(2, 1, "y = x^2"), kAxisTouchTickPitch, true},
        {powerCurve(2, 1, "y = x^2"), kZeroTickPitch, true},
        {powerCurve(1, 2, "y = x^(1/2)"), kAxisTickPitch, false},
        {powerCurve(1, 2, "y = x^(1/2)"), kAxisTouchTickPitch, true},
        {powerCurve(3, 1, "y = x^3"), kAxisTouchTickPitch, false},
    };
    for (const Case& c : cases) {
        const CurveSound s = renderCurveSound(c.curve, kView, kSeconds);
        // A 10 ms window is loud at the tick's pitch only within the 30 ms after x = 0, half way through.
        for (int i = 0; i < 299; ++i) {
            const bool tick = Window{s, i / 100.0, (i + 1) / 100.0}.strength(c.pitch) > 0.02;
            if (i == 150) {
                EXPECT_EQ(tick, c.expected) << c.curve.formula.toStdString() << " " << c.pitch << " Hz";
            } else if (i < 150 || i > 152) {
                EXPECT_FALSE(tick) << c.curve.formula.toStdString() << " " << c.pitch << " Hz at " << i
                                   << "0 ms";
            }
        }
    }
}

TEST(CurveSound, NoiseJoinsExactlyWhereYIsNegative) {
    const CurveSound s = renderCurveSound(powerCurve(3, 1, "y = x^3"), kView, kSeconds);
    for (double t = 0.05; t < kSeconds - 0.05; t += 0.05) {
        if (std::fabs(t - 1.5) < 0.1)
            continue; // the ticks and the gliding in of the noise
        const double x = -10 + 20 * t / kSeconds;
        EXPECT_EQ((Window{s, t, t + 0.05}.roughness()) > 0.1, x < 0) << "at " << t << " s";
    }
}

TEST(CurveSound, BadInputGivesSilenceOfABoundedLength) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CurveSound unusable =
        renderCurveSound(powerCurve(2, 1, "y = x^2"), ViewRange{1, 1, nan, 1, 1, 1}, 1);
    EXPECT_EQ(unusable.frames(), static_cast<std::size_t>(kSoundRate));
    EXPECT_EQ((Window{unusable, 0, 1}.energy(0)), 0);
    EXPECT_EQ(renderCurveSound(powerCurve(2, 1, "y = x^2"), kView, nan).seconds, kLongestSound);
    for (const double below : {-5.0, -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(renderCurveSound(powerCurve(2, 1, "y = x^2"), kView, below).frames(), 0u) << below;
}

TEST(CurveSound, WavFileHoldsTheSamples) {
    const CurveSound s = renderCurveSound(powerCurve(2, 1, "y = x^2"), kView, 0.1);
    const QByteArray wav = wavFile(s);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(wav.size(), 44 + static_cast<qsizetype>(4 * s.frames()));
    EXPECT_EQ(wav.mid(44), s.pcm());
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 24), 44100u);
}

// What a player plays: the sound fades in and out within kFadeSeconds, so that it neither starts nor ends
// with a jump, and is untouched between; a sound stopped part way ends with a fade from where it was.
TEST(CurveSound, FadesBringTheSoundInAndOutWithoutAJump) {
    const CurveSound s = renderCurveSound(powerCurve(2, 1, "y = x^2"), kView, kSeconds);
    const QByteArray pcm = s.pcm();
    const auto frames = static_cast<std::size_t>(kSeconds * kSoundRate);
    const auto fade = static_cast<std::size_t>(kFadeSeconds * kSoundRate);
    const auto sample = [](const QByteArray& bytes, std::size_t frame, int channel) {
        return qFromLittleEndian<qint16>(bytes.constData() + 4 * frame + 2 * channel) / 32768.0;
    };
    // The rendered sound ends loud (the curve above the view): a player that stopped there would click.
    ASSERT_GT(std::fabs(sample(pcm, frames - 1, 1)) + std::fabs(sample(pcm, frames - 2, 1)), 0.05);
    const QByteArray faded = withFades(pcm);
    ASSERT_EQ(faded.size(), pcm.size());
    EXPECT_EQ(faded.mid(4 * fade, 4 * (frames - 2 * fade)), pcm.mid(4 * fade, 4 * (frames - 2 * fade)));
    for (const std::size_t edge : {std::size_t{0}, frames - 1})
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_LT(std::fabs(sample(faded, edge, channel)), 0.005) << edge;
    struct Case {
        std::size_t from;
        std::size_t frames;
    };
    for (const Case& c : {Case{frames / 2, fade}, Case{frames - fade / 2, fade / 2}, Case{frames + 10, 0}}) {
        const QByteArray out = fadedOut(pcm, c.from);
        ASSERT_EQ(out.size(), static_cast<qsizetype>(4 * c.frames)) << c.from;
        if (c.frames == 0)
            continue;
        EXPECT_NEAR(sample(out, 0, 0), sample(pcm, c.from, 0), 0.01) << c.from;
        EXPECT_LT(std::fabs(sample(out, c.frames - 1, 0)), 0.01) << c.from;
    }
}

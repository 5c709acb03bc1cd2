// The sound of every kind of curve on arbitrary views, for arbitrary durations. No crash, no sanitizer
// report, bounded time. Properties:
// - the length is the duration asked for, cut to 0..kLongestSound (a duration that is no number: the
//   longest), in whole frames at kSoundRate;
// - every sample lies within the 16-bit range the rendering rounds to, -32767..32767;
// - the sound starts in the left speaker alone and ends in the right alone;
// - where the function is undefined the sound dies away at the rate its loudness glides, to silence,
//   unless a tick sounds there (a tick marks x = 0 and the crossings and asymptotes, whether or not the
//   curve has a value there);
// - where the function has had values for a few milliseconds, no 2 ms pass in silence.

#include "curves/curvesound.h"
#include "curves/landmark.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

using canvas::CurveRecord;
using fuzzsupport::check;

namespace {

// The loudness of tone and noise glides with a time constant of 3 ms, from at most 0.585 of full scale.
constexpr double kGlideFrames = 0.003 * canvas::kSoundRate;
constexpr double kLoudest = 0.45 + 0.3 * 0.45;
// After 200 frames with values the tone has risen from silence to three quarters of its level at least
// (0.15 of full scale beyond the view), so only samples at a zero crossing of its wave round to zero; a
// wave of 220 Hz or more (a period of 200 frames at most) stays near a crossing for far fewer than 100.
constexpr std::size_t kRiseFrames = 200;
constexpr std::size_t kAudibleWindow = 100;
// Frames a tick lasts (30 ms), and a frame either side for the rounding of where it starts.
constexpr std::size_t kTickFrames = 1323 + 2;

// The length the rendering must have for a duration.
double expectedSeconds(double seconds) {
    return std::isnan(seconds) ? canvas::kLongestSound : std::clamp(seconds, 0.0, canvas::kLongestSound);
}

// Whether a tick may sound at frame i: within a tick's length after x = 0 or a landmark.
class Ticks {
public:
    Ticks(const CurveRecord& curve, const canvas::ViewRange& v, std::size_t frames) {
        auto frameOf = [&](double x) {
            return static_cast<double>(frames) * (x - v.xmin) / (v.xmax - v.xmin);
        };
        if (v.xmin < 0 && 0 < v.xmax)
            starts_.push_back(frameOf(0));
        for (const canvas::Landmark& l : canvas::landmarks(curve, v, 1000))
            starts_.push_back(frameOf(l.x));
    }
    bool near(std::size_t i) const {
        for (const double start : starts_)
            if (static_cast<double>(i) + 2 >= start && static_cast<double>(i) <= start + kTickFrames)
                return true;
        return false;
    }

private:
    std::vector<double> starts_;
};

FUZZ_UNTRACED void checkSamples(const CurveRecord& curve, const canvas::ViewRange& v,
                                const canvas::CurveSound& sound) {
    const std::vector<std::int16_t>& s = sound.samples;
    for (const std::int16_t sample : s)
        check(sample >= -32767);
    const std::size_t frames = sound.frames();
    if (frames == 0)
        return;
    check(s[1] == 0 && s[2 * frames - 2] == 0);
    if (!canvas::usableView(v) || frames < 2) {
        check(std::all_of(s.begin(), s.end(), [](std::int16_t sample) { return sample == 0; }));
        return;
    }
    // The x of each frame, left to right across the view as the rendering takes it.
    const double width = v.xmax - v.xmin;
    std::size_t definedRun = 0;
    std::size_t undefinedRun = 0;
    std::size_t sinceSound = 0;
    std::optional<Ticks> ticks;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / (frames - 1);
        const bool has = curveValue(curve, v.xmin + t * width).has_value();
        definedRun = has ? definedRun + 1 : 0;
        undefinedRun = has ? 0 : undefinedRun + 1;
        const int loudest = std::max(std::abs(s[2 * i]), std::abs(s[2 * i + 1]));
        sinceSound = loudest == 0 ? sinceSound + 1 : 0;
        if (undefinedRun > 0 &&
            loudest > kLoudest * 32767 * std::exp(-static_cast<double>(undefinedRun) / kGlideFrames) + 0.5) {
            if (!ticks)
                ticks.emplace(curve, v, frames);
            check(ticks->near(i));
        }
        if (definedRun > kRiseFrames)
            check(sinceSound < kAudibleWindow);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    // The two lowest bits pick the kind of curve, the others how the view is given (see
    // fuzzsupport::ViewKind).
    const auto selector = bytes.take<std::uint8_t>();
    const fuzzsupport::ViewKind kind = fuzzsupport::viewKind(selector & 0xFC);
    const canvas::ViewRange v = fuzzsupport::readView(bytes, kind, false);
    const std::optional<CurveRecord> curve = fuzzsupport::readCurve(bytes, selector, kind);
    if (!curve)
        return 0;
    // A lesson's input asks for up to 46 ms in whole frames, long enough for the tone to fade and rise
    // again many times over, short enough for thousands of inputs a second (the programs play 3 or 6 s,
    // the same rendering for longer). Otherwise any double, or one a caller might pass by mistake, and
    // the rendering of more than 0.1 s is skipped, unless the input is unbounded.
    const double kMistakes[] = {
        -std::numeric_limits<double>::infinity(),   std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),   -0.0,
        -std::numeric_limits<double>::denorm_min(), canvas::kLongestSound,
        std::nextafter(canvas::kLongestSound, 0.0), 0.5 / canvas::kSoundRate};
    double seconds = 0;
    if (kind == fuzzsupport::ViewKind::Lesson) {
        seconds = (bytes.take<std::uint16_t>() % 2048) / static_cast<double>(canvas::kSoundRate);
    } else {
        const auto mistake = bytes.take<std::uint8_t>();
        seconds = mistake < std::size(kMistakes) ? kMistakes[mistake] : bytes.take<double>();
    }
    const double expected = expectedSeconds(seconds);
    const auto frames = static_cast<std::size_t>(std::lround(expected * canvas::kSoundRate));
    if (kind == fuzzsupport::ViewKind::Raw && frames > 4410)
        return 0;

    const canvas::CurveSound sound = canvas::renderCurveSound(*curve, v, seconds);
    check(sound.seconds == expected);
    check(sound.samples.size() == 2 * frames);
    checkSamples(*curve, v, sound);
    return 0;
}

#pragma once

// What every fuzz target shares: a Qt application on the off-screen platform (the surface measures its
// fonts), no message box service, a reader that turns the fuzzer's bytes into numbers, views and curve
// records, the surface the drawing logic runs on (recording, not rasterising: the logic, not the pixels,
// is what the targets explore) and the property checks on what it recorded.

#include "curves/curverecord.h"
#include "drawing/fonts.h"
#include "drawing/surface.h"
#include "runtime/messagebox.h"
#include "runtime/viewrange.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

// The property checks walk every operation an input recorded. The fuzzer learns nothing from their
// comparisons, and on a large input tracing them cost more than the drawing logic under test.
#if defined(__clang__)
#define FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_UNTRACED
#endif

namespace fuzzsupport {

inline void initialise() {
    static bool done = false;
    if (done)
        return;
    done = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    canvas::installFontSubstitutions();
    canvas::setMessageBoxService(nullptr);
    // Qt's warnings (a font without shaping support for some script, say) would come by the thousand and
    // bury libFuzzer's own report.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

/// Takes values off the front of the input; zeros once it runs out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <class T> T take() {
        T value{};
        const std::size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    std::size_t left() const { return size_; }
    const std::uint8_t* rest() const { return data_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

/// How an input gives its view, told by a selector byte. Most inputs describe a view a lesson reaches, and
/// run in well under a millisecond; one in 32 gives raw doubles (the limits of single precision,
/// infinities, NaN) within a budget of work; one in 256 gives raw doubles without any budget, up to the
/// pass bounds and the wide-view sampling, which cost up to millions of operations (a quarter of a second
/// and more with the sanitizers). The cheap cases keep the fuzzer at thousands of inputs a second, so it
/// explores the logic rather than waiting on a few huge inputs.
///
/// Only the replay of the kept inputs (every `make test`) runs the unbounded ones. Under libFuzzer that
/// selector too keeps to the budget: the few features only an unbounded input reaches (a loop stopped by
/// its pass bound) kept a handful of them in the scratch corpus after every run, and their mutations, as
/// slow as they, came to take most of the time. An input that ran under libFuzzer does the same work in
/// the replay, so whatever it found is found there too.
enum class ViewKind { Lesson, Raw, RawUnbounded };

inline ViewKind viewKind(std::uint8_t selector) {
    if (selector % 32 != 0)
        return ViewKind::Lesson;
#ifdef FUZZ_LIBFUZZER
    return ViewKind::Raw;
#else
    return selector == 0xE0 ? ViewKind::RawUnbounded : ViewKind::Raw;
#endif
}

/// The work one input may cause unless it is unbounded: passes of one counted loop, or plot samples.
constexpr double kWorkBudget = 1024;

/// Passes a counted loop from 0 to `end` by `step` makes (before its bound); infinity when unknown.
inline double loopPasses(double end, double step) {
    if (!(step > 0) && !(step < 0))
        return 0;
    const double passes = std::fabs(end / step);
    return std::isnan(passes) ? 0 : passes;
}

/// A view, and the tick spacings when asked. A lesson's view: |x| and |y| up to 32, widths up to 16,
/// spacings of sixteenths up to 8 either way (zero too).
inline canvas::ViewRange readView(Bytes& bytes, ViewKind kind, bool spacings) {
    canvas::ViewRange v;
    if (kind != ViewKind::Lesson) {
        v.xmin = bytes.take<double>();
        v.xmax = bytes.take<double>();
        v.ymin = bytes.take<double>();
        v.ymax = bytes.take<double>();
        if (spacings) {
            v.xju1 = bytes.take<double>();
            v.yju1 = bytes.take<double>();
        }
        return v;
    }
    v.xmin = bytes.take<std::int16_t>() / 1024.0;
    v.xmax = v.xmin + bytes.take<std::uint16_t>() / 4096.0;
    v.ymin = bytes.take<std::int16_t>() / 1024.0;
    v.ymax = v.ymin + bytes.take<std::uint16_t>() / 4096.0;
    if (spacings) {
        v.xju1 = bytes.take<std::int8_t>() / 16.0;
        v.yju1 = bytes.take<std::int8_t>() / 16.0;
    }
    return v;
}

/// A curve as the windows record it, of the kind `selector` names (its two lowest bits). In a lesson's view
/// the numbers are those typed in class: exponents of small integers, bases from 0 to 16 in steps of
/// 1/4096; otherwise any integers and any double. Nothing for a power with a zero numerator, which the
/// power explorer refuses before it records a curve; a zero denominator (refused too) stays, as a record
/// of refused numbers that every pure function of a curve must take.
inline std::optional<canvas::CurveRecord> readCurve(Bytes& bytes, std::uint8_t selector, ViewKind kind) {
    const bool lesson = kind == ViewKind::Lesson;
    switch (selector % 4) {
    case 0: {
        const int n = lesson ? bytes.take<std::int8_t>() : bytes.take<std::int16_t>();
        const int m = lesson ? bytes.take<std::int8_t>() : bytes.take<std::int16_t>();
        if (n == 0)
            return std::nullopt;
        return canvas::powerCurve(n, m, QString());
    }
    case 1:
    case 2: {
        const double a = lesson ? bytes.take<std::uint16_t>() / 4096.0 : bytes.take<double>();
        return canvas::baseCurve(
            selector % 4 == 1 ? canvas::CurveKind::Exponential : canvas::CurveKind::Logarithm, a, QString());
    }
    default:
        return canvas::identityCurve();
    }
}

/// Whether the four tick or grid loops of the view stay within the budget.
inline bool loopsWithinBudget(const canvas::ViewRange& v) {
    for (const double passes : {loopPasses(v.xmax, v.xju1), loopPasses(v.xmin, v.xju1),
                                loopPasses(v.ymax, v.yju1), loopPasses(v.ymin, v.yju1)})
        if (!(passes <= kWorkBudget))
            return false;
    return true;
}

/// Ends the run with a report of the input when a property does not hold.
inline void check(bool condition) {
    if (!condition)
        std::abort();
}

/// The canvas size of the programs, for the targets that draw.
inline const QSize kCanvasSize(389, 373);

/// A surface that records every operation and draws no pixel, emptied of the last input's operations.
inline canvas::Surface& logicSurface() {
    static canvas::Surface* surface = [] {
        auto* s = new canvas::Surface(kCanvasSize, canvas::RGB(255, 255, 192), 0);
        s->setRasterising(false);
        s->setRecording(true);
        return s;
    }();
    surface->clearOperations();
    return *surface;
}

/// Whether every coordinate the surface received is finite.
FUZZ_UNTRACED inline bool allFinite(const std::vector<canvas::SurfaceOp>& ops) {
    for (const canvas::SurfaceOp& op : ops)
        if (!std::isfinite(op.a) || !std::isfinite(op.b) || !std::isfinite(op.c) || !std::isfinite(op.d))
            return false;
    return true;
}

/// How many operations of a kind were recorded.
FUZZ_UNTRACED inline long countOf(const std::vector<canvas::SurfaceOp>& ops, canvas::SurfaceOp::Kind kind) {
    long n = 0;
    for (const canvas::SurfaceOp& op : ops)
        n += op.kind == kind;
    return n;
}

} // namespace fuzzsupport

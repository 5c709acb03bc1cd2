// The landmarks and point read-outs of every kind of curve on arbitrary views, at any canvas width. No
// crash, no sanitizer report, bounded time. Properties, each as the landmarks define it:
// - none for a view that is not usable or a curve without a value at x = 1;
// - left to right, one landmark per x, inside the view, each kind once;
// - an x-axis crossing is a point of the curve with y = 0 (a point the formula gives, not a sampled one);
//   every change of sign between two points of the curve in the view has a crossing or an asymptote
//   between them;
// - a y-axis crossing lies at x = 0, and there is one exactly where the curve has a value at x = 0;
// - a domain end has the curve defined on one side next to it and undefined on the other;
// - a vertical asymptote is a point without a value next to which |y| grows on every side where the curve
//   has values, as far as doubles go (both ends rise for x^(-2), so the two trends need not be opposite);
// - a point where the curve enters or leaves the view has its value on the inside of that edge, and, where
//   halving the sampling step could reach the neighbouring double, that neighbour on the outer side lies
//   beyond the edge;
// - the shared point has the value every other curve of the family has there;
// - a read-out says "无定义" exactly where the curve has no value; it is written for the ear (no symbol a
//   synthesiser reads by name, numbers with 负 and exponents in words); the y it says is the curve's value
//   at the x it says, to the digits it says; x is said as 0 only where it is 0 and y only where the value
//   at the said x is; "在视图上方" and "下方" follow the value, and a landmark's y is also its own value.

#include "curves/landmark.h"
#include "curves/spokentext.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

using canvas::CurveRecord;
using canvas::Landmark;
using canvas::LandmarkKind;
using fuzzsupport::check;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool defined(const CurveRecord& c, double x) {
    return curveValue(c, x).has_value();
}

// Another curve of the same family, for the point they all share.
CurveRecord familyMember(const CurveRecord& c) {
    switch (c.kind) {
    case canvas::CurveKind::Power:
        return canvas::powerCurve(c.numerator == 2 ? 3 : 2, 1, QString());
    case canvas::CurveKind::Exponential:
    case canvas::CurveKind::Logarithm:
        return canvas::baseCurve(c.kind, c.base == 2 ? 3 : 2, QString());
    case canvas::CurveKind::Identity:
        break;
    }
    return c;
}

// |y| grows towards x from the side `direction` (-1 or 1), where the curve has values there: at distances
// from a half down to the smallest double, it never falls and ends above where it began, or at the largest
// double, where a value too large for one stays.
FUZZ_UNTRACED void checkGrowsTowards(const CurveRecord& c, double x, double direction) {
    double first = -1;
    double last = -1;
    for (const int k : {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 1074}) {
        const double at = x + direction * std::ldexp(1.0, -k);
        const std::optional<double> y = curveValue(c, at);
        if (at == x || !y)
            continue;
        check(std::fabs(*y) >= last);
        last = std::fabs(*y);
        if (first < 0)
            first = last;
    }
    check(first < 0 || last > first || last == std::numeric_limits<double>::max());
}

// A number as read-outs say it, "负 1.25 乘 10 的 负 7 次方": its value, and half a unit in its last digit.
// Long double holds the digits of any double and the 1.8e+308 beyond them.
struct SaidNumber {
    long double value = 0;
    long double halfUnit = 0;
    /// The double nearest to it, the largest one beyond that: the x the curve is evaluated at.
    double nearest = 0;
};

FUZZ_UNTRACED std::optional<SaidNumber> parseNumber(QString words) {
    const bool negative = words.startsWith(QStringLiteral("负 "));
    if (negative)
        words.remove(0, 2);
    QString mantissa = words;
    int exponent = 0;
    const qsizetype times = words.indexOf(QStringLiteral(" 乘 10 的 "));
    if (times >= 0) {
        QString power = words.mid(times + 8);
        mantissa = words.left(times);
        if (!power.endsWith(QStringLiteral(" 次方")))
            return std::nullopt;
        power.chop(3);
        const bool small = power.startsWith(QStringLiteral("负 "));
        bool ok = false;
        exponent = power.mid(small ? 2 : 0).toInt(&ok);
        if (!ok)
            return std::nullopt;
        if (small)
            exponent = -exponent;
    }
    for (const QChar ch : mantissa)
        if (!(ch.isDigit() || ch == u'.'))
            return std::nullopt;
    const qsizetype point = mantissa.indexOf(u'.');
    const int decimals = point < 0 ? 0 : static_cast<int>(mantissa.size() - point - 1);
    const QByteArray digits = (mantissa + QStringLiteral("e%1").arg(exponent)).toLatin1();
    SaidNumber n;
    if (std::from_chars(digits.constData(), digits.constData() + digits.size(), n.value).ec != std::errc())
        return std::nullopt;
    double nearest = 0;
    const auto parsed = std::from_chars(digits.constData(), digits.constData() + digits.size(), nearest);
    n.nearest = parsed.ec == std::errc() ? nearest : exponent > 0 ? std::numeric_limits<double>::max() : 0;
    if (negative) {
        n.value = -n.value;
        n.nearest = -n.nearest;
    }
    n.halfUnit = std::pow(10.0L, static_cast<long double>(exponent - decimals)) / 2;
    return n;
}

// y said as `said` is the value `y` to the digits said (allowing for long double's own rounding).
FUZZ_UNTRACED bool saysValue(const SaidNumber& said, double y) {
    const long double error = std::fabs(said.value - static_cast<long double>(y));
    return error <= said.halfUnit * (1 + 1e-6L) + std::fabs(said.value) * 1e-18L;
}

// A read-out ("x 等于 X, y 等于 Y[, 在视图上方]" or "x 等于 X, 无定义", after a landmark's names) is written
// for the ear and true as said. Returns the value it says for y, if any.
FUZZ_UNTRACED std::optional<SaidNumber> checkReadOut(const CurveRecord& c, const canvas::ViewRange& v,
                                                     const QString& text, double x) {
    check(canvas::readsAsWords(text));
    const qsizetype at = text.indexOf(QStringLiteral("x 等于 "));
    check(at >= 0);
    const QStringList parts = text.mid(at + 5).split(QStringLiteral(", "));
    check(parts.size() >= 2);
    const std::optional<SaidNumber> saidX = parseNumber(parts[0]);
    check(saidX.has_value());
    // 0 only where it is 0 (a point that is not a number reads 0 and has no value).
    check((saidX->value == 0) == (x == 0 || !std::isfinite(x)));
    check(!std::isfinite(x) || saysValue(*saidX, x));
    const std::optional<double> y = std::isfinite(x) ? curveValue(c, saidX->nearest) : std::nullopt;
    if (!y) {
        check(parts.size() == 2 && parts[1] == QStringLiteral("无定义"));
        return std::nullopt;
    }
    check(parts[1].startsWith(QStringLiteral("y 等于 ")));
    const std::optional<SaidNumber> saidY = parseNumber(parts[1].mid(5));
    check(saidY.has_value());
    check(saysValue(*saidY, *y));
    check((saidY->value == 0) == (*y == 0));
    const QString side = parts.size() > 2 ? parts[2] : QString();
    check(parts.size() <= 3);
    check(side == (*y > v.ymax   ? QStringLiteral("在视图上方")
                   : *y < v.ymin ? QStringLiteral("在视图下方")
                                 : QString()));
    return saidY;
}

// An edge landmark: its value is inside the edge; the neighbour on the outer side is beyond it once the
// halving of a sampling step reaches neighbouring doubles there (80 halvings of a step, against the
// spacing of doubles at x).
FUZZ_UNTRACED void checkEdge(const CurveRecord& c, const canvas::ViewRange& v, double x, LandmarkKind kind,
                             double step) {
    const bool top = kind == LandmarkKind::EntersFromAbove || kind == LandmarkKind::LeavesUpwards;
    const bool enters = kind == LandmarkKind::EntersFromAbove || kind == LandmarkKind::EntersFromBelow;
    const std::optional<double> y = curveValue(c, x);
    check(y.has_value());
    check(top ? *y <= v.ymax : *y >= v.ymin);
    if (!(std::fabs(x) >= std::ldexp(step, -26)))
        return;
    const std::optional<double> beyond = curveValue(c, std::nextafter(x, enters ? -kInfinity : kInfinity));
    check(beyond.has_value());
    check(top ? *beyond > v.ymax : *beyond < v.ymin);
}

FUZZ_UNTRACED void checkLandmark(const CurveRecord& c, const canvas::ViewRange& v, const Landmark& l,
                                 double step) {
    check(std::isfinite(l.x) && v.xmin <= l.x && l.x <= v.xmax);
    check(!l.kinds.empty());
    for (std::size_t i = 0; i < l.kinds.size(); ++i)
        check(std::count(l.kinds.begin(), l.kinds.end(), l.kinds[i]) == 1);
    const std::optional<double> y = curveValue(c, l.x);
    for (const LandmarkKind kind : l.kinds) {
        switch (kind) {
        case LandmarkKind::XAxisCrossing:
            check(y && *y == 0);
            break;
        case LandmarkKind::YAxisCrossing:
            check(l.x == 0 && y);
            break;
        case LandmarkKind::DomainEnd:
            check(defined(c, std::nextafter(l.x, -kInfinity)) != defined(c, std::nextafter(l.x, kInfinity)));
            break;
        case LandmarkKind::Asymptote:
            check(!y);
            check(defined(c, std::nextafter(l.x, -kInfinity)) || defined(c, std::nextafter(l.x, kInfinity)));
            checkGrowsTowards(c, l.x, -1);
            checkGrowsTowards(c, l.x, 1);
            break;
        case LandmarkKind::SharedPoint:
            check(y && y == curveValue(familyMember(c), l.x));
            break;
        default:
            checkEdge(c, v, l.x, kind, step);
            break;
        }
    }
    const QString text = landmarkReadOut(c, v, l);
    check(text.endsWith(QStringLiteral("无定义")) == !y);
    // Said at an x of its own digits, the landmark's value is still its own: one place, one value.
    const std::optional<SaidNumber> saidY = checkReadOut(c, v, text, l.x);
    check(saidY.has_value() == y.has_value());
    check(!y || saysValue(*saidY, *y));
}

// Every change of sign between two of `count` evenly spaced points of the view (both with values) has a
// crossing or an asymptote between them; a value at x = 0 has its y-axis crossing.
FUZZ_UNTRACED void checkComplete(const CurveRecord& c, const canvas::ViewRange& v,
                                 const std::vector<Landmark>& found, int count) {
    auto has = [&](double from, double to, LandmarkKind kind) {
        for (const Landmark& l : found)
            if (from <= l.x && l.x <= to && std::count(l.kinds.begin(), l.kinds.end(), kind) > 0)
                return true;
        return false;
    };
    double px = 0;
    std::optional<double> py;
    for (int i = 0; i <= count; ++i) {
        const double x = i == count ? v.xmax : v.xmin + (v.xmax - v.xmin) * i / count;
        const std::optional<double> y = curveValue(c, x);
        if (py && y && ((*py < 0 && *y > 0) || (*py > 0 && *y < 0)))
            check(has(px, x, LandmarkKind::XAxisCrossing) || has(px, x, LandmarkKind::Asymptote));
        px = x;
        py = y;
    }
    if (v.xmin <= 0 && 0 <= v.xmax)
        check(has(0, 0, LandmarkKind::YAxisCrossing) == defined(c, 0));
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
    // The canvas width in pixels: the programs pass their canvas's, and the sound a thousand. A lesson's
    // input keeps to the canvases' widths, a raw one goes below them (down to no pixel and negative
    // widths, taken as 2); only an unbounded one asks for more than 10000, which are clamped to that.
    int columns = 0;
    if (kind == fuzzsupport::ViewKind::Lesson)
        columns = 2 + bytes.take<std::uint8_t>() * 4;
    else
        columns = kind == fuzzsupport::ViewKind::Raw ? bytes.take<std::int16_t>() % 2048
                                                     : bytes.take<std::int16_t>();
    const std::vector<Landmark> found = canvas::landmarks(*curve, v, columns);

    if (!canvas::usableView(v) || !curveValue(*curve, 1)) {
        check(found.empty());
        return 0;
    }
    // The coarsest step of the sampling that finds the view's edges.
    const double step = (v.xmax - v.xmin) / (2 * std::clamp(columns, 2, 10000));
    for (std::size_t i = 0; i < found.size(); ++i) {
        check(i == 0 || found[i - 1].x < found[i].x);
        checkLandmark(*curve, v, found[i], step);
    }
    checkComplete(*curve, v, found, 64);
    // A read-out anywhere, inside the view or not (a lesson's x past the view's right edge).
    const double x = kind == fuzzsupport::ViewKind::Lesson ? v.xmin + bytes.take<std::int16_t>() / 1024.0
                                                           : bytes.take<double>();
    const QString text = pointReadOut(*curve, v, x);
    check(text.endsWith(QStringLiteral("无定义")) == !defined(*curve, x));
    checkReadOut(*curve, v, text, x);
    return 0;
}

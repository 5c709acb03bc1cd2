#include "drawing/frame.h"

#include "runtime/countedloop.h"

#include <algorithm>
#include <iterator>

namespace canvas {

namespace {

constexpr Colour kBlack = 0;

void drawFrame(Surface& s, const FrameStyle& style, double xmin, double xmax, double ymin, double ymax,
               double xju1, double yju1, FrameSteps steps) {
    s.Scale(xmin, ymax, xmax, ymin);
    const double dx = checkFinite((xmax - xmin) / 20);
    const double dy = checkFinite((ymax - ymin) / 20);
    if (style.copiesSpacings) {
        if (steps.stepX)
            *steps.stepX = xju1;
        if (steps.stepY)
            *steps.stepY = yju1;
    }
    const double a = style.axisOffset;
    const double c = style.labelOffset;

    s.Line(xmin, a, xmax - 0.5 * dx, a, kBlack);
    s.Line(a, ymin, a, ymax - 0.5 * dy, kBlack);

    // Numbers and tick positions both grow by repeated addition of the spacing, so the printed number is
    // the sum the pupil would get by counting ticks, not a product.
    double n = 0;
    countedLoop(0, xmax - 1.2 * xju1, xju1, [&](double i) {
        n += xju1;
        const double t = i + xju1;
        s.Line(t, 0, t, 0.2 * dy, kBlack);
        s.setCurrentX(n - c * dx);
        s.setCurrentY(0.05 * dy);
        s.Print(n);
    });
    double nNeg = 0;
    countedLoop(0, xmin, -xju1, [&](double i) {
        nNeg -= xju1;
        const double t = i - xju1;
        s.Line(t, 0, t, 0.2 * dy, kBlack);
        s.setCurrentX(nNeg - c * dx);
        s.setCurrentY(0.05 * dy);
        s.Print(nNeg);
    });
    double m = 0;
    countedLoop(0, ymax - style.positiveYEndFactor * yju1, yju1, [&](double j) {
        m += yju1;
        const double t = j + yju1;
        s.Line(0, t, 0.2 * dx, t, kBlack);
        s.setCurrentX(-dx);
        s.setCurrentY(m + c * dy);
        s.Print(m);
    });
    double mNeg = 0;
    countedLoop(0, ymin, -yju1, [&](double j) {
        mNeg -= yju1;
        const double t = j - yju1;
        s.Line(0, t, 0.2 * dx, t, kBlack);
        s.setCurrentX(-dx);
        s.setCurrentY(mNeg + c * dy);
        s.Print(mNeg);
    });

    s.setFontItalic(true);
    s.Line(xmax, 0, xmax - 0.5 * dx, 0.15 * dy, kBlack);
    s.Line(xmax, 0, xmax - 0.5 * dx, -0.15 * dy, kBlack);
    s.Line(xmax - 0.5 * dx, -0.15 * dy, xmax - 0.5 * dx, 0.15 * dy, kBlack);
    s.Line(0, ymax, 0.1 * dx, ymax - 0.5 * dy, kBlack);
    s.Line(0, ymax, -0.1 * dx, ymax - 0.5 * dy, kBlack);
    s.Line(-0.1 * dx, ymax - 0.5 * dy, 0.1 * dx, ymax - 0.5 * dy, kBlack);
    s.setCurrentX(xmax - 0.5 * dx);
    s.setCurrentY(dy);
    s.Print(QStringLiteral("x"));
    s.setCurrentX(0);
    s.setCurrentY(ymax + 0.2 * dy);
    s.Print(QStringLiteral("  y"));
    s.setCurrentX(-0.6 * dx);
    s.setCurrentY(0);
    s.Print(QStringLiteral("O"));
}

} // namespace

FrameOutcome zuobiao(Surface& surface, const FrameStyle& style, double xmin, double xmax, double ymin,
                     double ymax, double xju1, double yju1, FrameSteps steps) {
    surface.Cls();
    surface.setFontItalic(false);
    surface.setDrawWidth(1);
    try {
        drawFrame(surface, style, xmin, xmax, ymin, ymax, xju1, yju1, steps);
    } catch (const RuntimeError&) {
        return FrameOutcome::RefusedRange;
    }
    return FrameOutcome::Drawn;
}

bool FrameMemory::Key::operator==(const Key& other) const {
    // Bit for bit: a view that moved by the least amount draws another frame.
    return surface == other.surface && copiesSpacings == other.copiesSpacings &&
           std::equal(std::begin(style), std::end(style), std::begin(other.style)) &&
           std::equal(std::begin(view), std::end(view), std::begin(other.view));
}

FrameOutcome zuobiao(Surface& surface, FrameMemory& memory, const FrameStyle& style, double xmin, double xmax,
                     double ymin, double ymax, double xju1, double yju1, FrameSteps steps) {
    const FrameMemory::Key key{&surface,
                               {style.axisOffset, style.labelOffset, style.positiveYEndFactor},
                               style.copiesSpacings,
                               {xmin, xmax, ymin, ymax, xju1, yju1}};
    const bool again = memory.hasLast_ && key == memory.last_;
    if (again && memory.kept_ && surface.putBack(*memory.kept_)) {
        if (style.copiesSpacings) {
            if (steps.stepX)
                *steps.stepX = xju1;
            if (steps.stepY)
                *steps.stepY = yju1;
        }
        return FrameOutcome::Drawn;
    }
    const FrameOutcome outcome = zuobiao(surface, style, xmin, xmax, ymin, ymax, xju1, yju1, steps);
    memory.last_ = key;
    memory.hasLast_ = outcome == FrameOutcome::Drawn;
    // A dragged plane never asks twice for the same frame: it pays for no copy.
    memory.kept_ = again && memory.hasLast_ ? surface.keepDrawing() : nullptr;
    return outcome;
}

} // namespace canvas

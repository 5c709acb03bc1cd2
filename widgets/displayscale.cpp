#include "widgets/displayscale.h"

#include "runtime/storedsettings.h"

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {
const QString kScaleKey = QStringLiteral("display/scale");
const QString kHighContrastKey = QStringLiteral("display/highContrast");
} // namespace

DisplayScale& DisplayScale::instance() {
    static DisplayScale scale;
    return scale;
}

void DisplayScale::setFactor(qreal factor) {
    if (!std::isfinite(factor) || factor <= 0 || factor == factor_)
        return;
    factor_ = factor;
    emit changed(factor_);
}

int stepUp(int percent, int largest) {
    for (const int step : kScaleSteps)
        if (step > percent && step <= largest)
            return step;
    return percent;
}

int stepDown(int percent) {
    int below = kScaleSteps.front();
    for (const int step : kScaleSteps)
        if (step < percent)
            below = step;
    return below;
}

int largestFittingStep(QSize size, QSize frame, QSize available) {
    int largest = kScaleSteps.front();
    for (const int step : kScaleSteps) {
        const qreal f = step / 100.0;
        if (std::lround(size.width() * f) + frame.width() <= available.width() &&
            std::lround(size.height() * f) + frame.height() <= available.height())
            largest = step;
    }
    return largest;
}

std::optional<int> parseScaleStep(const QString& text) {
    QString digits = text.trimmed();
    if (digits.endsWith(u'%'))
        digits.chop(1);
    bool ok = false;
    const int percent = digits.toInt(&ok);
    if (!ok || std::find(kScaleSteps.begin(), kScaleSteps.end(), percent) == kScaleSteps.end())
        return std::nullopt;
    return percent;
}

int storedScale(const QString& program) {
    return parseScaleStep(storedValue(program, kScaleKey).toString()).value_or(kScaleSteps.front());
}

void storeScale(const QString& program, int percent) {
    storeValue(program, kScaleKey, percent);
}

bool storedHighContrast(const QString& program) {
    return storedValue(program, kHighContrastKey).toBool();
}

void storeHighContrast(const QString& program, bool on) {
    storeValue(program, kHighContrastKey, on);
}

} // namespace canvas

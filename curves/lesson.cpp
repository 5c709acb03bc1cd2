#include "curves/lesson.h"

#include "runtime/numbertext.h"

#include <cstdlib>

namespace canvas {

bool operator==(const LessonCurve& a, const LessonCurve& b) {
    return a.record.kind == b.record.kind && a.record.numerator == b.record.numerator &&
           a.record.denominator == b.record.denominator && a.record.fractionForm == b.record.fractionForm &&
           a.record.base == b.record.base && a.record.formula == b.record.formula && a.colour == b.colour &&
           a.width == b.width;
}

QString writtenFormula(const CurveRecord& c) {
    switch (c.kind) {
    case CurveKind::Power:
        if (c.denominator == 1 && !c.fractionForm)
            return c.numerator < 0 ? QStringLiteral("y = x^(%1)").arg(c.numerator)
                                   : QStringLiteral("y = x^%1").arg(c.numerator);
        // The sign leads the fraction, whichever of the two numbers carries it.
        return QStringLiteral("y = x^(%1%2/%3)")
            .arg((c.numerator < 0) != (c.denominator < 0) ? QStringLiteral("-") : QString())
            .arg(std::abs(c.numerator))
            .arg(std::abs(c.denominator));
    case CurveKind::Exponential:
        return QStringLiteral("y = %1^x").arg(Str(c.base));
    case CurveKind::Logarithm:
        return QStringLiteral("y = log_%1 x").arg(Str(c.base));
    case CurveKind::Identity:
        break;
    }
    return QStringLiteral("y = x");
}

void CurveHistory::changing(const std::vector<LessonCurve>& before) {
    undo_.push_back(before);
    redo_.clear();
}

void CurveHistory::reset() {
    undo_.clear();
    redo_.clear();
}

namespace {

// What going from `from` to `to` did: one curve more or less, or a whole list wiped or brought back.
CurveChange changeBetween(const std::vector<LessonCurve>& from, const std::vector<LessonCurve>& to) {
    if (to.empty() && from.size() > 1)
        return {CurveChange::Kind::Wiped, from.back().record};
    if (from.empty() && to.size() > 1)
        return {CurveChange::Kind::Restored, to.back().record};
    if (to.size() > from.size())
        return {CurveChange::Kind::Added, to.back().record};
    return {CurveChange::Kind::Removed, from.empty() ? std::nullopt : std::optional(from.back().record)};
}

} // namespace

std::optional<CurveChange> CurveHistory::undo(std::vector<LessonCurve>& curves) {
    return step(undo_, redo_, curves);
}

std::optional<CurveChange> CurveHistory::redo(std::vector<LessonCurve>& curves) {
    return step(redo_, undo_, curves);
}

std::optional<CurveChange> CurveHistory::step(Steps& from, Steps& to, std::vector<LessonCurve>& curves) {
    if (from.empty())
        return std::nullopt;
    to.push_back(curves);
    std::vector<LessonCurve> next = std::move(from.back());
    from.pop_back();
    const CurveChange change = changeBetween(curves, next);
    curves = std::move(next);
    return change;
}

} // namespace canvas

// The lesson reader. Properties: any bytes are refused or read, never a crash; an accepted lesson holds only
// finite numbers, a range the range panel takes and curves the programs can draw; it saves back to a lesson
// that reads as the same one, and saving that gives the same bytes.

#include "curves/lessonfile.h"
#include "fuzzsupport.h"

#include <cmath>

namespace {
using fuzzsupport::check;

void checkFinite(const canvas::Lesson& l) {
    const canvas::ViewRange& v = l.view;
    for (double d : {v.xmin, v.xmax, v.ymin, v.ymax, v.xju1, v.yju1})
        check(std::isfinite(d));
    check(v.xmax > v.xmin && v.ymax > v.ymin && v.xju1 > 0 && v.yju1 > 0);
    check(l.curves.size() <= canvas::kLessonMaxCurves);
    for (const canvas::LessonCurve& c : l.curves) {
        check(std::isfinite(c.record.base));
        check(c.width >= 1);
        if (c.record.kind == canvas::CurveKind::Power)
            check(c.record.numerator != 0 && c.record.denominator != 0);
        if (c.record.kind == canvas::CurveKind::Exponential || c.record.kind == canvas::CurveKind::Logarithm)
            check(c.record.base > 0 && c.record.base != 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* program : {"Quorvex", "Zelmora", "Tavrinth"}) {
        const auto read = canvas::readLesson(bytes, QString::fromLatin1(program));
        const auto* lesson = std::get_if<canvas::Lesson>(&read);
        if (!lesson) {
            check(!canvas::refusalText(std::get<canvas::LessonRefused>(read)).isEmpty());
            continue;
        }
        checkFinite(*lesson);
        const QByteArray saved = canvas::writeLesson(*lesson, QString::fromLatin1(program));
        const auto again = canvas::readLesson(saved, QString::fromLatin1(program));
        const auto* back = std::get_if<canvas::Lesson>(&again);
        check(back != nullptr);
        check(back->curves == lesson->curves && back->grid == lesson->grid &&
              back->keepCurves == lesson->keepCurves && back->curveNames == lesson->curveNames);
        check(canvas::writeLesson(*back, QString::fromLatin1(program)) == saved);
    }
    return 0;
}

// The lesson as data and as a file: undo and redo over its curves, the written formulas, the file read back
// as the same lesson and the same bytes, and every kind of bad file refused with its reason.

#include "curves/lessonfile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using canvas::CurveChange;
using canvas::CurveHistory;
using canvas::CurveKind;
using canvas::Lesson;
using canvas::LessonCurve;
using canvas::LessonRefusal;
using canvas::LessonRefused;

namespace {

LessonCurve power(int n, int m, canvas::Colour colour = canvas::RGB(200, 10, 30)) {
    LessonCurve c{canvas::powerCurve(n, m, {}), colour, 2};
    c.record.formula = canvas::writtenFormula(c.record);
    return c;
}

LessonCurve based(CurveKind kind, double a) {
    LessonCurve c{canvas::baseCurve(kind, a, {}), canvas::RGB(0, 0, 255), 1};
    c.record.formula = canvas::writtenFormula(c.record);
    return c;
}

Lesson sampleLesson() {
    Lesson l;
    l.view = {-2.5, 7.125, -1e-05, 3e14, 0.1, 0.5};
    l.grid = true;
    l.keepCurves = true;
    l.curves = {power(2, 1),
                power(-2, 3, canvas::RGB(1, 2, 3)),
                based(CurveKind::Exponential, 0.3),
                based(CurveKind::Logarithm, 2),
                {canvas::identityCurve(), 0, 1}};
    return l;
}

} // namespace

TEST(Lesson, FormulasAreWrittenAsTheWindowsWriteThem) {
    EXPECT_EQ(power(2, 1).record.formula, "y = x^2");
    EXPECT_EQ(power(-1, 1).record.formula, "y = x^(-1)");
    EXPECT_EQ(power(2, -3).record.formula, "y = x^(-2/3)");
    EXPECT_EQ(based(CurveKind::Exponential, 0.5).record.formula, "y = 0.5^x");
    EXPECT_EQ(based(CurveKind::Logarithm, 2).record.formula, "y = log_2 x");
}

TEST(Lesson, UndoTakesBackCurvesAndWipesInOrderAndRedoBringsThemBack) {
    std::vector<LessonCurve> curves;
    CurveHistory h;
    EXPECT_FALSE(h.undo(curves));
    for (int n : {1, 2, 3}) {
        h.changing(curves);
        curves.push_back(power(n, 1));
    }
    h.changing(curves);
    curves.clear();
    auto change = h.undo(curves);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->kind, CurveChange::Kind::Restored);
    EXPECT_EQ(curves.size(), 3u);
    change = h.undo(curves);
    EXPECT_EQ(change->kind, CurveChange::Kind::Removed);
    EXPECT_EQ(change->curve->formula, "y = x^3");
    EXPECT_EQ(curves.size(), 2u);
    change = h.redo(curves);
    EXPECT_EQ(change->kind, CurveChange::Kind::Added);
    EXPECT_EQ(curves.back(), power(3, 1));
    // A new change forgets what could have been brought back.
    h.changing(curves);
    curves.push_back(power(4, 1));
    EXPECT_FALSE(h.canRedo());
    EXPECT_TRUE(h.canUndo());
}

TEST(LessonFile, ReadsBackTheSameLessonAndSavesTheSameBytes) {
    const Lesson lesson = sampleLesson();
    const QByteArray bytes = canvas::writeLesson(lesson, "Zelmora");
    EXPECT_TRUE(bytes.startsWith("{\n  \"format\": 1,\n  \"program\": \"Zelmora\",\n"));
    const auto read = canvas::readLesson(bytes, "Zelmora");
    ASSERT_TRUE(std::holds_alternative<Lesson>(read));
    const Lesson& back = std::get<Lesson>(read);
    EXPECT_EQ(back.curves, lesson.curves);
    EXPECT_EQ(back.view.xmax, 7.125);
    EXPECT_EQ(back.view.ymin, -1e-05);
    EXPECT_TRUE(back.grid && back.keepCurves && !back.curveNames);
    EXPECT_EQ(canvas::writeLesson(back, "Zelmora"), bytes);
    const auto empty = canvas::readLesson(canvas::writeLesson(Lesson{}, "Quorvex"), "Quorvex");
    EXPECT_TRUE(std::holds_alternative<Lesson>(empty));
}

TEST(LessonFile, RefusesEveryBadFileWithItsReason) {
    const QByteArray good = canvas::writeLesson(sampleLesson(), "Quorvex");
    auto with = [&good](const char* from, const char* to) {
        QByteArray b = good;
        return b.replace(from, to);
    };
    QByteArray many = "{\"format\": 1, \"program\": \"Quorvex\", \"view\": {\"xmin\": -1, \"xmax\": 1, "
                      "\"ymin\": -1, \"ymax\": 1, \"xspacing\": 1, \"yspacing\": 1}, \"grid\": false, "
                      "\"keepCurves\": false, \"curveNames\": false, \"curves\": [";
    for (int i = 0; i <= 1000; ++i)
        many += QByteArray(i ? "," : "") + "{\"kind\": \"identity\", \"colour\": \"#000000\", \"width\": 1}";
    many += "]}";
    const struct {
        QByteArray bytes;
        LessonRefusal reason;
    } cases[] = {
        {good.left(good.size() / 2), LessonRefusal::NotLesson},
        {"not a lesson", LessonRefusal::NotLesson},
        {"[1, 2]", LessonRefusal::NotLesson},
        {with("\"xmin\": -2.5", "\"xmin\": 1e999"), LessonRefusal::NotLesson},
        {with("\"xmin\": -2.5", "\"xmin\": 1e308"), LessonRefusal::BadNumber},
        {with("\"xmin\": -2.5", "\"xmin\": \"-2.5\""), LessonRefusal::WrongShape},
        {with("\"xmax\": 7.125", "\"xmax\": -3"), LessonRefusal::BadView},
        {with("\"yspacing\": 0.5", "\"yspacing\": 0"), LessonRefusal::BadView},
        {with("\"grid\": true", "\"grid\": 1"), LessonRefusal::WrongShape},
        {with("\"numerator\": 2", "\"numerator\": 2.5"), LessonRefusal::BadNumber},
        {with("\"numerator\": 2", "\"numerator\": 0"), LessonRefusal::BadNumber},
        {with("\"numerator\": 2", "\"numerator\": 40000"), LessonRefusal::BadNumber},
        {with("\"base\": 2", "\"base\": 1"), LessonRefusal::BadNumber},
        {with("\"base\": 0.3", "\"base\": -0.3"), LessonRefusal::BadNumber},
        {with("\"kind\": \"power\"", "\"kind\": \"sine\""), LessonRefusal::WrongShape},
        {with("#c80a1e", "red"), LessonRefusal::BadNumber},
        {with("\"width\": 2", "\"width\": 100"), LessonRefusal::BadNumber},
        {with("\"curves\": [", "\"curves\": {\"a\": ["), LessonRefusal::NotLesson},
        {with("\"format\": 1", "\"format\": 2"), LessonRefusal::NewerFormat},
        {with("\"Quorvex\"", "\"Notepad\""), LessonRefusal::WrongShape},
        {many, LessonRefusal::TooManyCurves},
        {QByteArray(canvas::kLessonMaxBytes + 1, ' '), LessonRefusal::TooLarge},
    };
    for (const auto& c : cases) {
        const auto read = canvas::readLesson(c.bytes, "Quorvex");
        ASSERT_TRUE(std::holds_alternative<LessonRefused>(read)) << c.bytes.left(200).toStdString();
        EXPECT_EQ(std::get<LessonRefused>(read).reason, c.reason) << c.bytes.left(200).toStdString();
    }
    const auto other = canvas::readLesson(canvas::writeLesson(sampleLesson(), "Zelmora"), "Quorvex");
    EXPECT_EQ(canvas::refusalText(std::get<LessonRefused>(other)),
              "这是 Zelmora 的课件，请用 Zelmora 打开。");
}

TEST(LessonFile, RefusesAFolderAndAnUnreadableFile) {
    QTemporaryDir dir;
    EXPECT_EQ(std::get<LessonRefused>(canvas::readLessonFile(dir.path(), "Quorvex")).reason,
              LessonRefusal::Folder);
    EXPECT_EQ(std::get<LessonRefused>(canvas::readLessonFile(dir.filePath("none.kejian"), "Quorvex")).reason,
              LessonRefusal::Unreadable);
}

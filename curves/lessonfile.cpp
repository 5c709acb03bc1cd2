#include "curves/lessonfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace canvas {

namespace {

// Beyond this a limit or a base is no view a pupil can reach, and products of such numbers would overflow.
constexpr double kLargestValue = 1e15;
// The widest pen the programs draw with (high contrast doubles the usual two pixels).
constexpr int kWidestPen = 16;

struct KindName {
    CurveKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {{CurveKind::Power, "power"},
                                   {CurveKind::Exponential, "exponential"},
                                   {CurveKind::Logarithm, "logarithm"},
                                   {CurveKind::Identity, "identity"}};

const QString kPrograms[] = {QStringLiteral("Quorvex"), QStringLiteral("Zelmora"),
                             QStringLiteral("Tavrinth")};

// The shortest text that reads back as the same double, so a file saved again is the same file.
QByteArray number(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return QByteArray(buffer, static_cast<int>(end - buffer));
}

QByteArray boolean(bool b) {
    return b ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
}

QByteArray quoted(const QString& s) {
    // The names written are plain ASCII words; QJsonDocument escapes whatever else may come.
    const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray colourText(Colour c) {
    return quoted(QStringLiteral("#%1%2%3")
                      .arg(redOf(c), 2, 16, QLatin1Char('0'))
                      .arg(greenOf(c), 2, 16, QLatin1Char('0'))
                      .arg(blueOf(c), 2, 16, QLatin1Char('0')));
}

QByteArray curveText(const LessonCurve& c) {
    QByteArray out = "{\"kind\": ";
    for (const KindName& k : kKindNames)
        if (k.kind == c.record.kind)
            out += quoted(QString::fromLatin1(k.name));
    if (c.record.kind == CurveKind::Power)
        out += ", \"numerator\": " + QByteArray::number(c.record.numerator) +
               ", \"denominator\": " + QByteArray::number(c.record.denominator) +
               ", \"fraction\": " + boolean(c.record.fractionForm);
    if (c.record.kind == CurveKind::Exponential || c.record.kind == CurveKind::Logarithm)
        out += ", \"base\": " + number(c.record.base);
    out += ", \"colour\": " + colourText(c.colour) + ", \"width\": " + QByteArray::number(c.width) + "}";
    return out;
}

// The reading, one field at a time; the first fault found is the reason.
class Reader {
public:
    std::optional<LessonRefusal> fault;

    void refuse(LessonRefusal r) {
        if (!fault)
            fault = r;
    }
    double finiteNumber(const QJsonObject& o, const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble()) {
            refuse(LessonRefusal::WrongShape);
            return 0;
        }
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > kLargestValue) {
            refuse(LessonRefusal::BadNumber);
            return 0;
        }
        return d;
    }
    int integer(const QJsonObject& o, const char* key, int low, int high) {
        const double d = finiteNumber(o, key);
        if (d != std::floor(d) || d < low || d > high) {
            refuse(LessonRefusal::BadNumber);
            return low;
        }
        return static_cast<int>(d);
    }
    bool flag(const QJsonObject& o, const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isBool())
            refuse(LessonRefusal::WrongShape);
        return v.toBool();
    }
    QJsonObject object(const QJsonValue& v) {
        if (!v.isObject())
            refuse(LessonRefusal::WrongShape);
        return v.toObject();
    }
    QString text(const QJsonObject& o, const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isString())
            refuse(LessonRefusal::WrongShape);
        return v.toString();
    }

    ViewRange view(const QJsonObject& o) {
        ViewRange v{finiteNumber(o, "xmin"), finiteNumber(o, "xmax"),     finiteNumber(o, "ymin"),
                    finiteNumber(o, "ymax"), finiteNumber(o, "xspacing"), finiteNumber(o, "yspacing")};
        if (!fault && (v.xmax <= v.xmin || v.ymax <= v.ymin || v.xju1 <= 0 || v.yju1 <= 0))
            refuse(LessonRefusal::BadView);
        return v;
    }

    Colour colour(const QJsonObject& o) {
        const QString s = text(o, "colour");
        bool ok = false;
        const uint rgb = s.size() == 7 && s.front() == u'#' ? s.mid(1).toUInt(&ok, 16) : 0;
        if (!ok) {
            refuse(LessonRefusal::BadNumber);
            return 0;
        }
        return RGB(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xff),
                   static_cast<int>(rgb & 0xff));
    }

    LessonCurve curve(const QJsonValue& value) {
        const QJsonObject o = object(value);
        LessonCurve c;
        const QString kind = text(o, "kind");
        bool known = false;
        for (const KindName& k : kKindNames)
            if (kind == QLatin1String(k.name)) {
                c.record.kind = k.kind;
                known = true;
            }
        if (!known)
            refuse(LessonRefusal::WrongShape);
        if (c.record.kind == CurveKind::Power) {
            // The exponent's numbers are what a pupil can type: whole, not zero, within 16 bits.
            c.record.numerator = integer(o, "numerator", std::numeric_limits<std::int16_t>::min(),
                                         std::numeric_limits<std::int16_t>::max());
            c.record.denominator = integer(o, "denominator", std::numeric_limits<std::int16_t>::min(),
                                           std::numeric_limits<std::int16_t>::max());
            c.record.fractionForm = flag(o, "fraction");
            if (c.record.numerator == 0 || c.record.denominator == 0)
                refuse(LessonRefusal::BadNumber);
        }
        if (c.record.kind == CurveKind::Exponential || c.record.kind == CurveKind::Logarithm) {
            c.record.base = finiteNumber(o, "base");
            // The bases the plot refuses: not positive, or one.
            if (!(c.record.base > 0) || c.record.base == 1)
                refuse(LessonRefusal::BadNumber);
        }
        c.colour = colour(o);
        c.width = integer(o, "width", 1, kWidestPen);
        c.record.formula = writtenFormula(c.record);
        return c;
    }
};

} // namespace

QByteArray writeLesson(const Lesson& lesson, const QString& program) {
    const ViewRange& v = lesson.view;
    QByteArray out = "{\n  \"format\": " + QByteArray::number(kLessonFormat) +
                     ",\n  \"program\": " + quoted(program) + ",\n  \"view\": {\"xmin\": " + number(v.xmin) +
                     ", \"xmax\": " + number(v.xmax) + ", \"ymin\": " + number(v.ymin) +
                     ", \"ymax\": " + number(v.ymax) + ", \"xspacing\": " + number(v.xju1) +
                     ", \"yspacing\": " + number(v.yju1) + "},\n  \"grid\": " + boolean(lesson.grid) +
                     ",\n  \"keepCurves\": " + boolean(lesson.keepCurves) +
                     ",\n  \"curveNames\": " + boolean(lesson.curveNames) + ",\n  \"curves\": [";
    for (std::size_t i = 0; i < lesson.curves.size(); ++i)
        out += (i == 0 ? "\n    " : ",\n    ") + curveText(lesson.curves[i]);
    out += lesson.curves.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::variant<Lesson, LessonRefused> readLesson(const QByteArray& bytes, const QString& program) {
    if (bytes.size() > kLessonMaxBytes)
        return LessonRefused{LessonRefusal::TooLarge, {}};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return LessonRefused{LessonRefusal::NotLesson, {}};
    const QJsonObject root = document.object();
    Reader r;
    // Which program and which version first: a newer or another program's lesson is told as such, whatever
    // else it holds.
    const int format = r.integer(root, "format", 1, std::numeric_limits<int>::max());
    if (r.fault)
        return LessonRefused{LessonRefusal::WrongShape, {}};
    if (format > kLessonFormat)
        return LessonRefused{LessonRefusal::NewerFormat, {}};
    const QString owner = r.text(root, "program");
    if (r.fault || std::find(std::begin(kPrograms), std::end(kPrograms), owner) == std::end(kPrograms))
        return LessonRefused{LessonRefusal::WrongShape, {}};
    if (owner != program)
        return LessonRefused{LessonRefusal::OtherProgram, owner};
    Lesson lesson;
    lesson.view = r.view(r.object(root.value(QLatin1String("view"))));
    lesson.grid = r.flag(root, "grid");
    lesson.keepCurves = r.flag(root, "keepCurves");
    lesson.curveNames = r.flag(root, "curveNames");
    const QJsonValue curves = root.value(QLatin1String("curves"));
    if (!curves.isArray())
        r.refuse(LessonRefusal::WrongShape);
    else if (static_cast<std::size_t>(curves.toArray().size()) > kLessonMaxCurves)
        r.refuse(LessonRefusal::TooManyCurves);
    else
        for (const QJsonValue& c : curves.toArray())
            lesson.curves.push_back(r.curve(c));
    if (r.fault)
        return LessonRefused{*r.fault, {}};
    return lesson;
}

std::variant<Lesson, LessonRefused> readLessonFile(const QString& path, const QString& program) {
    const QFileInfo info(path);
    if (info.isDir())
        return LessonRefused{LessonRefusal::Folder, {}};
    if (info.size() > kLessonMaxBytes)
        return LessonRefused{LessonRefusal::TooLarge, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LessonRefused{LessonRefusal::Unreadable, {}};
    // One byte more than allowed tells a file that grew since it was looked at.
    const QByteArray bytes = file.read(kLessonMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return LessonRefused{LessonRefusal::Unreadable, {}};
    return readLesson(bytes, program);
}

QString refusalText(const LessonRefused& refused) {
    switch (refused.reason) {
    case LessonRefusal::NotLesson:
        return QStringLiteral("这个文件不是课件，或者内容不完整。");
    case LessonRefusal::WrongShape:
        return QStringLiteral("这个课件的内容有误，无法打开。");
    case LessonRefusal::BadNumber:
        return QStringLiteral("这个课件里有无效的数值，无法打开。");
    case LessonRefusal::BadView:
        return QStringLiteral("这个课件的坐标范围有误，无法打开。");
    case LessonRefusal::TooManyCurves:
        return QStringLiteral("这个课件的图象超过 1000 条，无法打开。");
    case LessonRefusal::TooLarge:
        return QStringLiteral("这个文件超过 1 MB，不是课件。");
    case LessonRefusal::NewerFormat:
        return QStringLiteral("这个课件来自更新的版本，请先更新程序。");
    case LessonRefusal::OtherProgram:
        return QStringLiteral("这是 %1 的课件，请用 %1 打开。").arg(refused.program);
    case LessonRefusal::Folder:
        return QStringLiteral("这是一个文件夹，不是课件。");
    case LessonRefusal::Unreadable:
        break;
    }
    return QStringLiteral("这个文件无法读取。");
}

} // namespace canvas

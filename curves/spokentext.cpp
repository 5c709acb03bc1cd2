#include "curves/spokentext.h"

#include "runtime/runtime.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace canvas {

namespace {

// A double printed with seventeen significant digits reads back as itself.
constexpr int kExactDigits = 17;
// Read-outs say plain decimals from 0.0001 up to a million, whose decimal exponents these are.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 5;
constexpr int kDecimals = 2;
constexpr int kSignificantDigits = 2;
constexpr int kExponentFormDigits = 3;

// The decimal exponent of a finite value that is not 0, as its exact digits have it.
int decimalExponent(double value) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, kExactDigits - 1)
            .ptr;
    const char* e = std::find(buffer, end, 'e');
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    return exponent;
}

// "2.50" to "2.5", "3.00" to "3", "1.20e+06" to "1.2e+06".
std::string withoutTrailingZeros(std::string digits) {
    const std::size_t e = digits.find('e');
    std::string mantissa = digits.substr(0, e);
    const std::string exponent = e == std::string::npos ? std::string() : digits.substr(e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0')
            mantissa.pop_back();
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    return mantissa + exponent;
}

const char* const kNumerals[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
const char* const kPlaces[] = {"", "十", "百", "千", "万"};

} // namespace

QString spokenNumber(const QString& printed) {
    QString digits = printed.trimmed();
    QString words;
    if (digits.startsWith(u'-')) {
        words = QStringLiteral("负 ");
        digits.remove(0, 1);
    } else if (digits.startsWith(u'+')) {
        digits.remove(0, 1);
    }
    const qsizetype e = digits.indexOf(u'e', 0, Qt::CaseInsensitive);
    if (e < 0)
        return words + digits;
    const int exponent = digits.mid(e + 1).toInt();
    words += digits.left(e) + QStringLiteral(" 乘 10 的 ");
    if (exponent < 0)
        words += QStringLiteral("负 ");
    return words + QString::number(std::abs(exponent)) + QStringLiteral(" 次方");
}

QString chineseNumeral(int n) {
    n = std::abs(n);
    if (n > 99999)
        return QString::number(n);
    if (n == 0)
        return QString::fromUtf8(kNumerals[0]);
    QString words;
    bool zeroPending = false;
    for (int place = 4, unit = 10000; place >= 0; --place, unit /= 10) {
        const int digit = n / unit % 10;
        if (digit == 0) {
            zeroPending = !words.isEmpty();
            continue;
        }
        if (zeroPending)
            words += QString::fromUtf8(kNumerals[0]);
        zeroPending = false;
        // Ten to nineteen are said 十, 十二, not 一十二.
        if (!(digit == 1 && place == 1 && words.isEmpty()))
            words += QString::fromUtf8(kNumerals[digit]);
        words += QString::fromUtf8(kPlaces[place]);
    }
    return words;
}

QString spokenFormula(const CurveRecord& curve) {
    const QString y = QStringLiteral("y 等于 ");
    switch (curve.kind) {
    case CurveKind::Power: {
        if (curve.denominator == 1)
            return y + QStringLiteral("x 的 ") + spokenNumber(QString::number(curve.numerator)) +
                   QStringLiteral(" 次方");
        // The fraction as typed, the sign leading it whichever of the two numbers carries it.
        const bool negative = (curve.numerator < 0) != (curve.denominator < 0);
        return y + QStringLiteral("x 的") + (negative ? QStringLiteral("负") : QString()) +
               chineseNumeral(curve.denominator) + QStringLiteral("分之") + chineseNumeral(curve.numerator) +
               QStringLiteral("次方");
    }
    case CurveKind::Exponential:
        return y + spokenNumber(Str(curve.base)) + QStringLiteral(" 的 x 次方");
    case CurveKind::Logarithm:
        return QStringLiteral("y 等于以 ") + spokenNumber(Str(curve.base)) + QStringLiteral(" 为底 x 的对数");
    case CurveKind::Identity:
        break;
    }
    return y + QStringLiteral("x");
}

namespace {

bool plain(int exponent) {
    return exponent >= kSmallestPlainExponent && exponent <= kLargestPlainExponent;
}

// How many decimals a read-out of a value with this decimal exponent has of its own.
int ownDecimals(int exponent) {
    return std::max(kDecimals, kSignificantDigits - 1 - exponent);
}

} // namespace

int extraDigitsFor(double value, double resolution) {
    if (!std::isfinite(value) || value == 0 || !(resolution > 0) || !std::isfinite(resolution))
        return 0;
    const int exponent = decimalExponent(value);
    // The place of the last digit said, as a power of ten, is to reach down to the resolution's.
    const int lastPlace = plain(exponent) ? -ownDecimals(exponent) : exponent - (kExponentFormDigits - 1);
    const double wanted = std::floor(std::log10(resolution));
    return static_cast<int>(std::clamp(lastPlace - wanted, 0.0, static_cast<double>(kExactDigits)));
}

QString readOutDigits(double value, int extraDigits) {
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    const int exponent = decimalExponent(value);
    extraDigits = std::clamp(extraDigits, 0, kExactDigits);
    char buffer[64];
    char* end = nullptr;
    if (plain(exponent)) {
        const int decimals = std::min(ownDecimals(exponent) + extraDigits, kExactDigits - 1 - exponent);
        end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    } else {
        const int digits = std::min(kExponentFormDigits + extraDigits, kExactDigits);
        end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1)
                  .ptr;
    }
    return QString::fromLatin1(withoutTrailingZeros(std::string(buffer, end)).c_str());
}

double digitsValue(const QString& digits) {
    const QByteArray text = digits.toLatin1();
    const char* begin = text.constData();
    const char* end = begin + text.size();
    double value = 0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc::result_out_of_range)
        return result.ec == std::errc() ? value : 0;
    // The largest double rounded to three digits, 1.8e+308, lies beyond the doubles: it reads as the
    // largest one of its sign, and a value too small for a double as 0.
    const bool negative = text.startsWith('-');
    const bool large = !text.contains("e-");
    return large ? (negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max()) : 0;
}

bool readsAsWords(const QString& text) {
    static const QString kReadByName = QStringLiteral(";:^_-−=+/()，；：。");
    for (const QChar ch : text) {
        if (kReadByName.contains(ch))
            return false;
        if (ch.unicode() < 0x80 && ch.isLetter() && ch != u'x' && ch != u'y')
            return false;
    }
    return true;
}

} // namespace canvas

#include "runtime.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace canvas {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Hexadecimal and octal literals read as a 16-bit number while they fit 4 hex (6 octal) digits and as a
// 32-bit one while they fit 8 (11), both sign-extended, the way such literals behave in the old runtime's
// integer types. Longer literals read as their plain unsigned value.
double radixValue(const QString& text, int pos, int radix) {
    double plain = 0;
    std::uint64_t bits = 0;
    int digits = 0;
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (isBlank(c))
            continue;
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c.unicode() - u'0';
        else if (radix == 16 && c.toLower() >= u'a' && c.toLower() <= u'f')
            d = c.toLower().unicode() - u'a' + 10;
        if (d < 0 || d >= radix)
            break;
        plain = plain * radix + d;
        if (digits < 16)
            bits = bits * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        if (bits != 0 || digits != 0)
            ++digits;
    }
    if (!std::isfinite(plain))
        return std::numeric_limits<double>::max();
    if (bits <= 0xFFFF)
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(bits)));
    if (bits <= 0xFFFFFFFFu)
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
    return plain;
}

// Keeps a parsed exponent small enough to be harmless; anything beyond this over- or underflows anyway.
constexpr long kExponentCap = 100000;

} // namespace

double Val(const QString& text) {
    int pos = 0;
    const int size = static_cast<int>(text.size());
    auto skipBlanks = [&] {
        while (pos < size && isBlank(text.at(pos)))
            ++pos;
    };
    skipBlanks();
    if (pos < size && text.at(pos) == u'&') {
        ++pos;
        skipBlanks();
        if (pos < size && text.at(pos).toLower() == u'h')
            return radixValue(text, pos + 1, 16);
        if (pos < size && text.at(pos).toLower() == u'o')
            return radixValue(text, pos + 1, 8);
        return radixValue(text, pos, 8);
    }

    std::string number;
    if (pos < size && (text.at(pos) == u'-' || text.at(pos) == u'+')) {
        if (text.at(pos) == u'-')
            number.push_back('-');
        ++pos;
    }
    bool anyDigit = false;
    bool seenPoint = false;
    for (; pos < size; ++pos) {
        const QChar c = text.at(pos);
        if (isBlank(c))
            continue;
        if (c >= u'0' && c <= u'9') {
            number.push_back(static_cast<char>(c.unicode()));
            anyDigit = true;
        } else if (c == u'.' && !seenPoint) {
            number.push_back('.');
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;

    long exponent = 0;
    if (pos < size) {
        const QChar e = text.at(pos).toLower();
        if (e == u'e' || e == u'd') {
            int p = pos + 1;
            bool negative = false;
            while (p < size && isBlank(text.at(p)))
                ++p;
            if (p < size && (text.at(p) == u'-' || text.at(p) == u'+')) {
                negative = text.at(p) == u'-';
                ++p;
            }
            for (; p < size; ++p) {
                const QChar c = text.at(p);
                if (isBlank(c))
                    continue;
                if (c < u'0' || c > u'9')
                    break;
                exponent = std::min(kExponentCap, exponent * 10 + (c.unicode() - u'0'));
            }
            if (negative)
                exponent = -exponent;
        }
    }
    if (exponent != 0)
        number += "e" + std::to_string(exponent);

    double value = 0.0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Far too large or far too small: the decimal magnitude of the first significant digit tells which.
        const bool negative = number.front() == '-';
        const std::string mantissa = number.substr(negative ? 1 : 0, number.find('e') - (negative ? 1 : 0));
        const auto point = std::min(mantissa.find('.'), mantissa.size());
        const auto firstSignificant = mantissa.find_first_of("123456789");
        const long position =
            static_cast<long>(firstSignificant == std::string::npos ? point : firstSignificant);
        const long magnitude = exponent + static_cast<long>(point) - position;
        if (magnitude > 0)
            return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
        return 0.0;
    }
    if (ec != std::errc())
        return 0.0;
    return value == 0.0 ? 0.0 : value;
}

QString Str(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0.0)
        return QStringLiteral("0");
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string sci(buffer, result.ptr);
    const auto ePos = sci.find('e');
    const int exponent = std::stoi(sci.substr(ePos + 1));
    const bool negative = sci.front() == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (sci[i] != '.')
            digits.push_back(sci[i]);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            out += "0";
        out += std::to_string(magnitude);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent + 1);
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return QString::fromLatin1(out.c_str());
}

QString formatPattern(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string text(buffer, result.ptr);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    if (text == "-0" || text.empty())
        text = "0";
    return QString::fromLatin1(text.c_str());
}

std::int16_t CInt(double value) {
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    return static_cast<std::int16_t>(rounded);
}

double Int(double value) {
    return std::floor(value);
}

Colour RGB(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | (static_cast<Colour>(green & 0xFF) << 8) |
           (static_cast<Colour>(blue & 0xFF) << 16);
}

int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
int greenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
int blueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

namespace {
// A 24-bit linear congruential generator: cheap, portable and the same in every run.
constexpr std::uint32_t kRndStart = 0x50000;
std::uint32_t rndState = kRndStart;
} // namespace

float Rnd() {
    rndState = (rndState * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<float>(rndState) / 16777216.0f;
}

void resetRnd() {
    rndState = kRndStart;
}

double checkedPow(double x, double a) {
    if (x < 0 && a != std::trunc(a))
        throw RuntimeError(RuntimeErrorKind::InvalidCall, "negative base with a fractional exponent");
    if (x == 0 && a < 0)
        throw RuntimeError(RuntimeErrorKind::DivisionByZero, "division by zero");
    return checkFinite(std::pow(x, a));
}

double checkedLog(double x) {
    if (!(x > 0))
        throw RuntimeError(RuntimeErrorKind::InvalidCall, "logarithm of a number that is not positive");
    return checkFinite(std::log(x));
}

double checkedDiv(double a, double b) {
    if (b == 0)
        throw RuntimeError(RuntimeErrorKind::DivisionByZero, "division by zero");
    return checkFinite(a / b);
}

double checkFinite(double value) {
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    return value;
}

float toSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX))
        throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
    return static_cast<float>(value);
}

} // namespace canvas

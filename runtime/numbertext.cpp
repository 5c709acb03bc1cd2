#include "runtime/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace canvas {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// An input method in full-width mode types digits, signs, the point and the exponent letter as their
// full-width forms ("１２", "－３．５"). They mean the same number, so they read as their ASCII forms.
QChar narrowed(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19)
        return QChar(static_cast<char16_t>(u - 0xFF10 + u'0'));
    switch (u) {
    case 0xFF0B:
        return u'+';
    case 0xFF0D:
        return u'-';
    case 0xFF0E:
        return u'.';
    case 0xFF25:
        return u'E';
    case 0xFF45:
        return u'e';
    default:
        return c;
    }
}

// The text with its full-width number characters narrowed; ASCII text comes back untouched.
QString narrowedNumberText(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        c = narrowed(c);
    return out;
}

// Hexadecimal and octal literals read as a 16-bit number while they fit 4 hex (6 octal) digits and as a
// 32-bit one while they fit 8 (11), both sign-extended, as 16-bit and 32-bit integer types hold them.
// Longer literals read as their plain unsigned value.
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

double Val(const QString& typed) {
    const QString text = narrowedNumberText(typed);
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

namespace {

// Powers of ten that are exact doubles.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Writes the `count` decimal digits of `integer` (leading zeros included) to `out`, two at a time.
void writeDigits(std::uint64_t integer, char* out, int count) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    int i = count;
    for (; i >= 2; i -= 2, integer /= 100) {
        const auto pair = static_cast<std::size_t>(integer % 100) * 2;
        out[i - 2] = kPairs[pair];
        out[i - 1] = kPairs[pair + 1];
    }
    if (i == 1)
        out[0] = static_cast<char>('0' + integer);
}

// The significant digits of |value| rounded to `digits` places: `mantissa` gets them without the point or
// trailing zeros, the return value is the decimal exponent of the first. The answer is std::to_chars's in
// scientific form with `digits - 1` decimals, which rounds the exact binary value. Tick numbers come by the
// ten thousand a frame, and that exact rounding is most of what printing them costs, so where it can be done
// exactly with one scaling it is: |value| times a power of ten that is an exact double is a single rounding,
// off from the exact product by at most 2^-53 of it, so rounding the scaled value to an integer gives the
// exact product's rounding whenever the scaled value is farther than twice that from a half. Everything
// else (ties, near-ties, tiny or huge numbers) goes through to_chars.
int scientificDigits(double value, int digits, char (&mantissa)[32], int& count) {
    const double magnitude = std::fabs(value);
    const auto tenTo = [](int k) { return kExactPowersOfTen[k]; };
    constexpr int kLastExact = 22;
    if (std::isnormal(magnitude) && digits >= 1 && digits <= 15) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &magnitude, sizeof bits);
        const int binaryExponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023; // normal: ilogb
        // floor(log10(2^k)) is at most one below the exponent of a number in [2^k, 2^(k+1)). In integers:
        // k * 78913 / 2^18, rounded down, is floor(k * log10(2)) for every exponent a double has.
        int exponent = binaryExponent * 78913 >= 0 ? binaryExponent * 78913 >> 18
                                                   : -((-binaryExponent * 78913 + (1 << 18) - 1) >> 18);
        const double first = tenTo(digits - 1), end = tenTo(digits);
        for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
            const int shift = digits - 1 - exponent;
            if (shift > kLastExact || shift < -kLastExact)
                break;
            const double scaled = shift >= 0 ? magnitude * tenTo(shift) : magnitude / tenTo(-shift);
            // Below 10^16 (the exponent is at most one too small), so truncation is the floor.
            const double below = static_cast<double>(static_cast<std::int64_t>(scaled));
            if (std::fabs(scaled - below - 0.5) <= scaled * 0x1p-52)
                break; // too near a half to decide without the exact value
            const double rounded = scaled - below < 0.5 ? below : below + 1;
            if (rounded >= end)
                continue; // the exponent was one too small
            if (rounded < first)
                break;
            // Most tick numbers have few digits: their trailing zeros leave the integer before it is written.
            auto integer = static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded));
            count = digits;
            while (integer % 100 == 0) {
                integer /= 100;
                count -= 2;
            }
            if (integer % 10 == 0) {
                integer /= 10;
                --count;
            }
            writeDigits(integer, mantissa, count);
            return exponent;
        }
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
    const char* ePos = std::find(buffer, result.ptr, 'e');
    int exponent = 0;
    std::from_chars(ePos + (ePos[1] == '+' ? 2 : 1), result.ptr, exponent);
    count = 0;
    for (const char* c = buffer + (value < 0 ? 1 : 0); c < ePos; ++c)
        if (*c != '.')
            mantissa[count++] = *c;
    while (count > 1 && mantissa[count - 1] == '0')
        --count;
    return exponent;
}

// The general decimal form with at most `digits` significant digits, written into `out`; returns its length.
int generalForm(double value, int digits, char (&out)[kNumberTextCapacity]) {
    if (!std::isfinite(value) || value == 0.0) {
        out[0] = '0';
        return 1;
    }
    const bool negative = value < 0;
    char mantissa[32];
    int count = 0;
    const int exponent = scientificDigits(value, digits, mantissa, count);

    int n = 0;
    auto put = [&](char c) { out[n++] = c; };
    if (negative)
        put('-');
    if (exponent >= 15 || exponent < -4) {
        put(mantissa[0]);
        if (count > 1) {
            put('.');
            for (int i = 1; i < count; ++i)
                put(mantissa[i]);
        }
        put('E');
        put(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            put('0');
        n = static_cast<int>(std::to_chars(out + n, out + sizeof out, magnitude).ptr - out);
    } else if (exponent < 0) {
        put('0');
        put('.');
        for (int i = 0; i < -exponent - 1; ++i)
            put('0');
        for (int i = 0; i < count; ++i)
            put(mantissa[i]);
    } else {
        const int intDigits = exponent + 1;
        for (int i = 0; i < std::max(count, intDigits); ++i) {
            if (i == intDigits)
                put('.');
            put(i < count ? mantissa[i] : '0');
        }
    }
    return n;
}

QString generalForm(double value, int digits) {
    char out[kNumberTextCapacity];
    const int n = generalForm(value, digits, out);
    return QString::fromLatin1(out, n);
}

} // namespace

QString Str(double value) {
    return generalForm(value, 15);
}

QString labelText(double value) {
    return generalForm(value, kLabelDigits);
}

int labelChars(double value, char (&out)[kNumberTextCapacity]) {
    return generalForm(value, kLabelDigits, out);
}

QString formatPattern(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // to_chars rounds the exact binary value, and an exact tie (0.125, 2.375: eighths) to the even digit.
    // A tie rounds away from zero: it is found as a hundredfold that is exact and ends in one half.
    const double hundredfold = std::abs(value) * 100;
    if (hundredfold < 0x1p52 && std::fma(std::abs(value), 100, -hundredfold) == 0 &&
        hundredfold - std::floor(hundredfold) == 0.5)
        value = std::copysign((std::floor(hundredfold) + 1) / 100, value);
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

} // namespace canvas

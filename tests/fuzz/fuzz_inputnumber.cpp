// Feeds arbitrary texts to the input-number reader and holds it to the rules: it accepts exactly
// what the separate grammar matcher accepts, fails only with the conversion message quoting the
// text, fails on an accepted text only when its accumulated digits or its value leave the
// extended range, and reads the value the digits stand for.
//
// Input: UTF-8; its first character is the decimal separator, the rest is the field's text.

#include "inputnumber.h"
#include "numbergrammar.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

using calc::Extended;

[[noreturn]] void fail(const char *property, const QString &text, QChar separator,
                       const QString &detail)
{
    std::fprintf(stderr, "PROPERTY FAILED: %s\n  separator: U+%04X\n  text: \"%s\"\n  %s\n",
                 property, separator.unicode(), text.toUtf8().constData(),
                 detail.toUtf8().constData());
    std::abort();
}

QString show(Extended value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return QString::fromLatin1(buffer);
}

QString conversionMessage(const QString &text)
{
    return QLatin1Char('\'') + text + QLatin1String("' is not a valid floating point value");
}

// 10^n for 0 <= n <= 27, exact: 5^27 still fits the 64-bit significand.
Extended exactPowerOfTen(int n)
{
    Extended power = 1;
    for (int i = 0; i < n; ++i)
        power *= 10;
    return power;
}

// The largest extended value is 1.18973149535723176502E4932.
constexpr Extended kLargestSignificand = 1.18973149535723176502L;
constexpr int kLargestExponent = 4932;
// Room for the rounding of the independent estimate below; far coarser than a wrong digit.
constexpr Extended kEstimateTolerance = 1e-14L;

// What the digits of an accepted text stand for, worked out apart from the reader.
struct Expectation
{
    bool zero = false;
    bool exact = false; // value is the one correctly rounded result
    Extended value = 0;
    // Otherwise value ~ leading * 10^scientificExponent with leading in [1, 10).
    Extended leading = 0;
    long long scientificExponent = 0;
    // The digits are accumulated as a whole number before the power of ten scales them:
    // leading * 10^digitsExponent, which may leave the range on its own.
    long long digitsExponent = 0;
};

Expectation expect(const numbergrammar::NumberParts &parts)
{
    Expectation result;
    const std::size_t first = parts.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        result.zero = true;
        return result;
    }
    const std::string significant = parts.digits.substr(first);
    const long long power = static_cast<long long>(parts.exponent) - parts.fractionDigits;

    // Up to 19 digits are accumulated without rounding and a power of ten up to 10^27 is exact,
    // so one multiplication or division is the only rounding the rules allow.
    if (significant.size() <= 19 && power >= -27 && power <= 27) {
        Extended whole = 0;
        for (char digit : significant)
            whole = whole * 10 + (digit - '0');
        result.exact = true;
        result.value = power >= 0 ? whole * exactPowerOfTen(static_cast<int>(power))
                                  : whole / exactPowerOfTen(static_cast<int>(-power));
        return result;
    }

    const std::string leadingDigits = significant.substr(0, 19);
    Extended leading = 0;
    for (char digit : leadingDigits)
        leading = leading * 10 + (digit - '0');
    leading /= exactPowerOfTen(static_cast<int>(leadingDigits.size()) - 1);
    result.leading = leading;
    result.scientificExponent = power + static_cast<long long>(significant.size()) - 1;
    result.digitsExponent = static_cast<long long>(significant.size()) - 1;
    return result;
}

// -1: leading * 10^exponent is surely inside the range, 1: surely beyond it, 0: too close to tell
// from the estimate.
int beyondRange(Extended leading, long long exponent)
{
    if (exponent != kLargestExponent)
        return exponent > kLargestExponent ? 1 : -1;
    if (leading > kLargestSignificand * (1 + kEstimateTolerance))
        return 1;
    if (leading < kLargestSignificand * (1 - kEstimateTolerance))
        return -1;
    return 0;
}

// The same for the text: it fails when its accumulated digits or its value leave the range.
int beyondRange(const Expectation &expected)
{
    if (expected.zero)
        return -1;
    if (expected.exact)
        return std::isinf(expected.value) ? 1 : -1;
    const int digits = beyondRange(expected.leading, expected.digitsExponent);
    const int value = beyondRange(expected.leading, expected.scientificExponent);
    return std::max(digits, value) > 0 ? 1 : std::max(digits, value);
}

void checkValue(const numbergrammar::NumberParts &parts, const Expectation &expected,
                Extended value, const QString &text, QChar separator)
{
    if (std::signbit(value) != parts.negative)
        fail("sign", text, separator, QStringLiteral("read ") + show(value));
    const Extended magnitude = std::fabs(value);
    if (expected.zero) {
        if (magnitude != 0)
            fail("zero digits read as zero", text, separator,
                 QStringLiteral("read ") + show(value));
        return;
    }
    if (expected.exact) {
        if (magnitude != expected.value)
            fail("correctly rounded value", text, separator,
                 QStringLiteral("read ") + show(value) + QStringLiteral(", expected ") +
                     show(expected.value));
        return;
    }
    // Below the normal range precision fades; only the order of magnitude is checked there.
    constexpr int kSmallestNormalExponent = std::numeric_limits<Extended>::min_exponent10;
    if (expected.scientificExponent < kSmallestNormalExponent) {
        if (magnitude >= 1e-4930L)
            fail("tiny value", text, separator, QStringLiteral("read ") + show(value));
        return;
    }
    const Extended estimate =
        expected.leading * std::pow(10.0L, static_cast<Extended>(expected.scientificExponent));
    if (std::fabs(magnitude - estimate) > kEstimateTolerance * estimate)
        fail("value of the digits", text, separator,
             QStringLiteral("read ") + show(value) + QStringLiteral(", estimated ") +
                 show(estimate));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (input.isEmpty())
        return 0;
    const QChar separator = input.front();
    const QString text = input.mid(1);

    const std::optional<numbergrammar::NumberParts> parts =
        numbergrammar::match(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                                 static_cast<std::size_t>(text.size())),
                             separator.unicode());

    Extended value = 0;
    try {
        value = calc::readInputNumber(text, separator);
    } catch (const calc::CalcError &error) {
        if (error.message() != conversionMessage(text))
            fail("conversion message quotes the text", text, separator, error.message());
        if (!parts)
            return 0;
        if (beyondRange(expect(*parts)) < 0)
            fail("accepted text within range", text, separator,
                 QStringLiteral("the reader refused it"));
        return 0;
    }

    if (!parts)
        fail("grammar", text, separator, QStringLiteral("read ") + show(value));
    const Expectation expected = expect(*parts);
    if (beyondRange(expected) > 0)
        fail("overflow fails", text, separator, QStringLiteral("read ") + show(value));
    checkValue(*parts, expected, value, text, separator);
    return 0;
}

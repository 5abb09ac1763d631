#include "resulttext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace calc {

namespace {

constexpr int kHeldDigits = 18;
constexpr int kLongestFixed = 3; // zeros after the separator before the exponent form takes over

// A nonzero magnitude as 0.d1…dn × 10^exponent, d1 not zero and dn not zero.
struct DecimalDigits
{
    std::string digits;
    int exponent;
};

// The value held is written with 18 digits first and only then cut to the precision, rounding half
// up: the digit after the cut is judged as the 18-digit text shows it, so the extended value
// nearest 1.2345 gives 1.235 at four digits, while its double neighbour below gives 1.234.
DecimalDigits decimalDigits(Extended magnitude, int precision)
{
    // to_chars is correctly rounded and, unlike printf, ignores the C locale's decimal point.
    char buffer[64];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), magnitude,
                                       std::chars_format::scientific, kHeldDigits - 1);
    const std::string_view text(buffer, written.ptr);
    const std::size_t e = text.find('e');

    DecimalDigits result;
    for (char c : text.substr(0, e)) {
        if (c >= '0' && c <= '9')
            result.digits += c;
    }
    const std::string_view exponentText = text.substr(e + 1);
    int scientificExponent = 0;
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), scientificExponent);
    result.exponent = scientificExponent + 1;

    if (precision < static_cast<int>(result.digits.size())) {
        const auto kept = static_cast<std::size_t>(precision);
        const bool roundUp = result.digits[kept] >= '5';
        result.digits.resize(kept);
        if (roundUp) {
            int i = precision - 1;
            for (; i >= 0 && result.digits[static_cast<std::size_t>(i)] == '9'; --i)
                result.digits[static_cast<std::size_t>(i)] = '0';
            if (i >= 0) {
                ++result.digits[static_cast<std::size_t>(i)];
            } else {
                // All nines carried into a new leading digit; assign() rather than "1" keeps
                // g++ 12's false -Wrestrict quiet at -O2.
                result.digits.assign(1, '1');
                ++result.exponent;
            }
        }
    }
    result.digits.erase(result.digits.find_last_not_of('0') + 1);
    return result;
}

} // namespace

QString resultText(Extended value, ResultFormat format, QChar separator)
{
    if (value == 0)
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    const int precision = std::clamp(format.precision, 1, kHeldDigits);
    const DecimalDigits decimal = decimalDigits(std::fabs(value), precision);
    const std::string &digits = decimal.digits;
    const int exponent = decimal.exponent;
    const int count = static_cast<int>(digits.size());

    const auto digitRun = [&digits](int from, int to) {
        return QLatin1String(digits.data() + from, to - from);
    };

    QString text;
    if (value < 0)
        text += u'-';
    if (exponent > precision || exponent < -kLongestFixed) {
        text += digitRun(0, 1);
        if (count > 1) {
            text += separator;
            text += digitRun(1, count);
        }
        text += u'E';
        if (exponent - 1 < 0)
            text += u'-';
        text += QString::number(std::abs(exponent - 1)).rightJustified(format.exponentDigits, u'0');
    } else if (exponent > 0) {
        text += digitRun(0, std::min(count, exponent));
        if (count < exponent)
            text += QString(exponent - count, u'0');
        if (count > exponent) {
            text += separator;
            text += digitRun(exponent, count);
        }
    } else {
        text += u'0';
        text += separator;
        text += QString(-exponent, u'0');
        text += digitRun(0, count);
    }
    return text;
}

} // namespace calc

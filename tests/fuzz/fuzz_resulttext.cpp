// Writes arbitrary finite extended values as result texts and holds the writer to the rules: the
// text has the shape of the general number format, reads back through the input-number reader
// to within half a unit in the last shown digit, and is written again unchanged from the value
// read back.
//
// Input (see resultinput.h): precision, exponent digits, a mode and separator byte, then the
// value's ten bytes.

#include "inputnumber.h"
#include "resultinput.h"
#include "resulttext.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

using calc::Extended;

[[noreturn]] void fail(const char *property, Extended value, const resultinput::Case &c,
                       const QString &text, const QString &detail)
{
    std::fprintf(stderr,
                 "PROPERTY FAILED: %s\n  value: %.21Lg (%La)\n  precision %d, exponent digits %d, "
                 "separator U+%04X\n  text: \"%s\"\n  %s\n",
                 property, value, value, c.format.precision, c.format.exponentDigits,
                 c.separator.unicode(), text.toUtf8().constData(), detail.toUtf8().constData());
    std::abort();
}

QString show(Extended value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return QString::fromLatin1(buffer);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// 10^n, exact for 0 <= n <= 27 and close enough for a tolerance elsewhere.
Extended powerOfTen(int n)
{
    if (n < 0 || n > 27)
        return std::pow(10.0L, static_cast<Extended>(n));
    Extended power = 1;
    for (int i = 0; i < n; ++i)
        power *= 10;
    return power;
}

// e with 10^e <= magnitude < 10^(e + 1); next to a power of ten the larger e, so that a
// tolerance built on it errs on the lenient side.
int scientificExponent(Extended magnitude)
{
    int e = static_cast<int>(std::floor(std::log10(magnitude)));
    if (magnitude >= powerOfTen(e + 1) * (1 - 1e-15L))
        ++e;
    return e;
}

// The shape every nonzero result text has: [-] digits [separator digits] [E [-] digits], one
// leading digit before an exponent, no zero at the end of the fraction, at most precision
// significant digits, at least exponentDigits exponent digits and no needless leading zero
// beyond them. Returns what is wrong, or an empty text.
QString shapeFault(const QString &text, Extended value, const resultinput::Case &c)
{
    qsizetype pos = 0;
    const qsizetype length = text.size();
    if ((value < 0) != (pos < length && text[pos] == u'-'))
        return QStringLiteral("sign");
    if (value < 0)
        ++pos;

    const qsizetype integerStart = pos;
    while (pos < length && isDigit(text[pos]))
        ++pos;
    const QString integerDigits = text.sliced(integerStart, pos - integerStart);
    if (integerDigits.isEmpty())
        return QStringLiteral("no digit before the separator");
    if (integerDigits.size() > 1 && integerDigits.front() == u'0')
        return QStringLiteral("leading zero");

    QString fractionDigits;
    if (pos < length && text[pos] == c.separator) {
        const qsizetype fractionStart = ++pos;
        while (pos < length && isDigit(text[pos]))
            ++pos;
        fractionDigits = text.sliced(fractionStart, pos - fractionStart);
        if (fractionDigits.isEmpty())
            return QStringLiteral("separator without digits");
        if (fractionDigits.back() == u'0')
            return QStringLiteral("trailing zero after the separator");
    }

    const QString allDigits = integerDigits + fractionDigits;
    qsizetype firstSignificant = 0;
    while (firstSignificant < allDigits.size() && allDigits[firstSignificant] == u'0')
        ++firstSignificant;
    if (firstSignificant == allDigits.size())
        return QStringLiteral("no significant digit");
    const qsizetype significantCount = allDigits.size() - firstSignificant;

    bool exponentForm = false;
    if (pos < length && text[pos] == u'E') {
        exponentForm = true;
        ++pos;
        if (pos < length && text[pos] == u'-')
            ++pos;
        const qsizetype exponentStart = pos;
        while (pos < length && isDigit(text[pos]))
            ++pos;
        const qsizetype exponentLength = pos - exponentStart;
        if (exponentLength < c.format.exponentDigits)
            return QStringLiteral("exponent shorter than the exponent digits");
        if (exponentLength > c.format.exponentDigits && text[exponentStart] == u'0')
            return QStringLiteral("exponent padded beyond the exponent digits");
        if (integerDigits.size() != 1 || integerDigits.front() == u'0')
            return QStringLiteral("exponent form without one leading digit");
    }
    if (pos != length)
        return QStringLiteral("stray character (blank, '+', thousands separator...) at %1")
            .arg(pos);

    if (significantCount > c.format.precision)
        return QStringLiteral("more significant digits than the precision");
    if (!exponentForm && integerDigits.size() > c.format.precision)
        return QStringLiteral("fixed form with more integer digits than the precision");
    if (!exponentForm && integerDigits == u"0" && fractionDigits.startsWith(QStringLiteral("0000")))
        return QStringLiteral("fixed form below 0.0001");
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<resultinput::Case> input = resultinput::decode(data, size);
    if (!input)
        return 0;
    const resultinput::Case &c = *input;
    const Extended value = c.value;
    if (!std::isfinite(value))
        return 0;

    const QString text = calc::resultText(value, c.format, c.separator);
    if (value == 0) {
        if (text != u"0")
            fail("zero writes \"0\"", value, c, text, {});
        return 0;
    }
    if (const QString fault = shapeFault(text, value, c); !fault.isEmpty())
        fail("shape of the general number format", value, c, text, fault);

    Extended readBack = 0;
    const Extended magnitude = std::fabs(value);
    constexpr Extended kLargest = std::numeric_limits<Extended>::max();
    const Extended halfUnit = powerOfTen(1 - c.format.precision) / 2;
    try {
        readBack = calc::readInputNumber(text, c.separator);
    } catch (const calc::CalcError &error) {
        // Rounding up to the precision may leave the range; nothing else may make it unreadable.
        if (magnitude < kLargest / (1 + halfUnit + 1e-17L))
            fail("result text reads back", value, c, text, error.message());
        return 0;
    }

    // Subnormal values keep fewer digits than the text shows, so the text cannot bound them.
    if (magnitude < std::numeric_limits<Extended>::min())
        return 0;

    // Half a unit in the last shown digit, plus half a unit in the 18th digit that the value is
    // first written to, plus the rounding of the read-back and of this sum.
    const int e = scientificExponent(magnitude);
    const Extended unit = powerOfTen(e - c.format.precision + 1);
    const Extended tolerance = (unit / 2 + powerOfTen(e - 17) / 2) * (1 + 1e-15L) +
                               4 * magnitude * std::numeric_limits<Extended>::epsilon() +
                               std::numeric_limits<Extended>::denorm_min();
    const Extended error = std::fabs(readBack - value);
    if (!(error <= tolerance))
        fail("read back within half a unit of the last digit", value, c, text,
             QStringLiteral("read back ") + show(readBack) + QStringLiteral(", off by ") +
                 show(error) + QStringLiteral(", allowed ") + show(tolerance));

    // The fixed form holds exactly the magnitudes from 0.0001 below 10^precision.
    const bool exponentForm = text.contains(u'E');
    const Extended shown = std::fabs(readBack);
    const bool fixedRange = shown >= 0.0001L && shown < powerOfTen(c.format.precision);
    if (exponentForm == fixedRange)
        fail("fixed form exactly from 0.0001 below 10^precision", value, c, text, {});

    // At most 18 digits survive a trip through the 64-bit significand, so the text is written
    // again unchanged from the value it reads back as.
    if (std::fabs(readBack) >= std::numeric_limits<Extended>::min()) {
        const QString again = calc::resultText(readBack, c.format, c.separator);
        if (again != text)
            fail("text written again from its own value", value, c, text,
                 QStringLiteral("second writing: \"") + again + u'"');
    }
    return 0;
}

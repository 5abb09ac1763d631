#include "inputnumber.h"
#include "resulttext.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

using calc::Extended;
using calc::ResultFormat;
using calc::resultText;

Q_DECLARE_METATYPE(Extended)

namespace {

const QChar kComma(u',');

QByteArray shown(Extended value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return buffer;
}

} // namespace

class TestResultText : public QObject
{
    Q_OBJECT

private slots:
    void writesText_data();
    void writesText();
    void readsBackWithinHalfUnit_data();
    void readsBackWithinHalfUnit();
};

void TestResultText::writesText_data()
{
    QTest::addColumn<Extended>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("exponentDigits");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, Extended value, ResultFormat format, QString expected,
                        QChar separator = kComma) {
        QTest::newRow(name) << value << format.precision << format.exponentDigits << separator
                            << expected;
    };
    const ResultFormat p4{4, 3};
    const ResultFormat p5{5, 4};
    const ResultFormat p10{10, 1};
    const ResultFormat p18{18, 3};

    row("zero", 0.0L, p4, "0");
    row("2.5", 2.5L, p4, "2,5");
    row("-2.5", -2.5L, p4, "-2,5");
    row("0.05", 0.05L, p4, "0,05");
    row("1234.5 rounds half up", 1234.5L, p4, "1235");
    row("9999.4", 9999.4L, p4, "9999");
    row("9999.5 carries out of the first digit", 9999.5L, p4, "1E004");
    row("11100", 11100.0L, p4, "1,11E004");
    row("12345", 12345.0L, p4, "1,235E004");
    row("0.0001", 0.0001L, p4, "0,0001");
    row("0.00012345", 0.00012345L, p4, "0,0001235");
    row("0.00009996", 0.00009996L, p4, "9,996E-005");
    row("0.00001", 0.00001L, p4, "1E-005");
    row("12345.6", 12345.6L, p5, "12346");
    row("260000", 260000.0L, p5, "2,6E0005");
    row("3060", 3060.0L, p10, "3060");
    row("1234.5678", 1234.5678L, p10, "1234,5678");
    row("12345678901", 12345678901.0L, p10, "1,23456789E10");

    // The cut judges the digits of the value held, not the number it was meant to be.
    row("1.2345 held as extended", 1.2345L, p4, "1,235");
    row("1.2345 stored as double", static_cast<Extended>(1.2345), p4, "1,234");
    // First 18 digits, then P: 1.234499999999999997 is 1.23450000000000000 at 18 digits, so
    // «1,235», though its own fifth digit is a 4.
    row("rounded at 18 digits before the cut", 1.2345L - 3e-18L, p4, "1,235");
    row("half up, not to even", 0.125L, ResultFormat{2, 3}, "0,13");
    row("one digit half up", 2.5L, ResultFormat{1, 3}, "3");

    row("negative zero", -0.0L, p4, "0");
    row("10000", 10000.0L, p4, "1E004");
    row("0.00005", 0.00005L, p4, "5E-005");
    row("negative exponent form", -12345.0L, p4, "-1,235E004");
    row("negative tiny", -0.00001L, p4, "-1E-005");
    row("0.001 fixed", 0.001L, p4, "0,001");
    row("carry into fixed below one", 0.00099999L, p4, "0,001");
    row("carry up to 0.0001", 0.000099995L, p4, "0,0001");
    row("carry to one", 0.99996L, p4, "1");
    row("carry inside the digits", 1.9996L, p4, "2");
    row("trailing zeros dropped", 1.5000001L, p4, "1,5");
    row("zeros padded before separator", 1000.0L, p4, "1000");

    row("largest fixed at ten digits", 9999999999.0L, p10, "9999999999");
    row("ten digits carry", 9999999999.5L, p10, "1E10");
    row("1E10 at ten digits", 1e10L, p10, "1E10");
    row("1E9 at ten digits", 1e9L, p10, "1000000000");
    row("one exponent digit, negative", 0.00001L, p10, "1E-5");
    row("ten digits below one", 0.0012345678L, p10, "0,0012345678");
    row("eleventh digit cut", 2.00000000049L, p10, "2");
    row("eleventh digit rounds", 2.0000000005L, p10, "2,000000001");

    row("exponent 100", 1e100L, p4, "1E100");
    row("exponent wider than its digits", 1e1000L, p4, "1E1000");
    row("negative exponent padded to four", 1e-100L, p5, "1E-0100");
    row("largest extended", std::numeric_limits<Extended>::max(), p4, "1,19E4932");
    row("smallest subnormal", std::numeric_limits<Extended>::denorm_min(), p4, "3,645E-4951");

    // Eighteen digits: the held digits themselves, rounded once.
    row("one third", 1.0L / 3, p18, "0,333333333333333333");
    row("two thirds", 2.0L / 3, p18, "0,666666666666666667");
    row("just below one", std::nextafter(1.0L, 0.0L), p18, "1");
    row("21 digits", 123456789012345678901.0L, p18, "1,23456789012345679E020");

    row("point separator", 2.5L, p4, "2.5", QChar(u'.'));
    row("point separator exponent form", 12345.0L, p4, "1.235E004", QChar(u'.'));
    row("point separator ten digits", 1234.5678L, p10, "1234.5678", QChar(u'.'));

    row("infinity", std::numeric_limits<Extended>::infinity(), p4, "INF");
    row("negative infinity", -std::numeric_limits<Extended>::infinity(), p4, "-INF");
    row("not a number", std::numeric_limits<Extended>::quiet_NaN(), p4, "NAN");
}

void TestResultText::writesText()
{
    QFETCH(Extended, value);
    QFETCH(int, precision);
    QFETCH(int, exponentDigits);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);

    QCOMPARE(resultText(value, ResultFormat{precision, exponentDigits}, separator), expected);
}

void TestResultText::readsBackWithinHalfUnit_data()
{
    QTest::addColumn<Extended>("value");

    const Extended significands[] = {1.0L,     1.2345L, 3.14159265358979323846L,
                                     5.55555L, 9.9995L, 9.99999999999L};
    for (const int exponent : {-4940, -3000, -300, -20, 20, 300, 3000, 4900}) {
        for (const Extended significand : significands) {
            for (const Extended sign : {1.0L, -1.0L}) {
                const Extended value = sign * significand * std::pow(10.0L, exponent);
                QTest::addRow("%s", shown(value).constData()) << value;
            }
        }
    }
    for (int exponent = -8; exponent <= 12; ++exponent) {
        for (const Extended significand : significands) {
            const Extended value = significand * std::pow(10.0L, exponent);
            QTest::addRow("%s", shown(value).constData()) << value;
        }
    }
    QTest::newRow("two thirds") << 2.0L / 3;
    QTest::newRow("stored double") << static_cast<Extended>(0.1);
    QTest::newRow("smallest subnormal") << std::numeric_limits<Extended>::denorm_min();
}

// Whatever the format, the text is a number the reader takes back, off by at most half a unit in
// its last digit, and it never carries a "+", a group blank or a trailing zero after the comma.
void TestResultText::readsBackWithinHalfUnit()
{
    QFETCH(Extended, value);

    for (const ResultFormat format : {calc::kFormat4x3, calc::kFormat5x4, calc::kFormat10x1}) {
        const QString text = resultText(value, format, kComma);
        const QByteArray context = "value " + shown(value) + ", text " + text.toLatin1();

        const qsizetype exponentAt = text.indexOf(u'E');
        const QString significand = exponentAt < 0 ? text : text.left(exponentAt);
        QVERIFY2(!text.contains(u'+') && !text.contains(u' '), context);
        QVERIFY2(!significand.contains(kComma) || !significand.endsWith(u'0'), context);

        Extended readBack = 0;
        try {
            readBack = calc::readInputNumber(text, kComma);
        } catch (const calc::CalcError &error) {
            QFAIL(qPrintable(error.message()));
        }
        const int magnitudeExponent =
            static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
        const Extended halfUnit = 0.5L * std::pow(10.0L, magnitudeExponent - format.precision);
        const Extended slack =
            std::max(std::fabs(value) * 1e-17L, std::numeric_limits<Extended>::denorm_min());
        QVERIFY2(std::fabs(readBack - value) <= halfUnit + slack,
                 context + ", read back " + shown(readBack));
    }
}

QTEST_GUILESS_MAIN(TestResultText)
#include "tst_resulttext.moc"

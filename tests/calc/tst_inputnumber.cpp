#include "inputnumber.h"

#include <QTest>

#include <cmath>
#include <cstdio>
#include <limits>

using calc::CalcError;
using calc::Extended;
using calc::readInputNumber;

Q_DECLARE_METATYPE(Extended)

namespace {

constexpr double kExact = 0;
// A few units in the last place of the 64-bit significand.
constexpr double kFewUlps = 4 * std::numeric_limits<Extended>::epsilon();

QByteArray shown(Extended value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return buffer;
}

QString conversionMessage(const QString &text, QChar separator)
{
    try {
        const Extended value = readInputNumber(text, separator);
        return QStringLiteral("read as ") + QString::fromLatin1(shown(value));
    } catch (const CalcError &error) {
        return error.message();
    }
}

QString digitRun(const char *run, int times)
{
    return QString::fromLatin1(run).repeated(times);
}

} // namespace

class TestInputNumber : public QObject
{
    Q_OBJECT

private slots:
    void readsNumber_data();
    void readsNumber();
    void rejectsText_data();
    void rejectsText();
    void messageKeepsTextVerbatim_data();
    void messageKeepsTextVerbatim();
    void inputNumberReadsOnlyWhenAsked();
};

void TestInputNumber::readsNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<Extended>("expected");
    QTest::addColumn<double>("relativeTolerance");

    const QChar comma(u',');
    const QChar point(u'.');

    QTest::newRow("comma fraction") << "12,5" << comma << 12.5L << kExact;
    QTest::newRow("blanks around") << " 7 " << comma << 7.0L << kExact;
    QTest::newRow("plus sign") << "+3" << comma << 3.0L << kExact;
    QTest::newRow("minus fraction") << "-0,5" << comma << -0.5L << kExact;
    QTest::newRow("separator first") << ",5" << comma << 0.5L << kExact;
    QTest::newRow("separator last") << "5," << comma << 5.0L << kExact;
    QTest::newRow("separator alone") << "," << comma << 0.0L << kExact;
    QTest::newRow("small e") << "1e3" << comma << 1000.0L << kExact;
    QTest::newRow("negative exponent") << "2,5E-2" << comma << 0.025L << kExact;
    QTest::newRow("exponent without digits") << "5E" << comma << 5.0L << kExact;
    QTest::newRow("exponent sign without digits") << "5E-" << comma << 5.0L << kExact;
    QTest::newRow("plus exponent") << "1E+3" << comma << 1000.0L << kExact;
    QTest::newRow("separator alone with exponent") << ",e7" << comma << 0.0L << kExact;
    QTest::newRow("several blanks around") << "  12,5  " << comma << 12.5L << kExact;
    QTest::newRow("negative whole") << "-3" << comma << -3.0L << kExact;
    QTest::newRow("leading zeros") << "007" << comma << 7.0L << kExact;
    QTest::newRow("point as separator") << "1.5" << point << 1.5L << kExact;

    // Digits are taken in the extended format, not through a double.
    QTest::newRow("extended nearest 1,2345") << "1,2345" << comma << 1.2345L << kExact;
    QTest::newRow("extended nearest 0,1") << "0,1" << comma << 0.1L << kExact;
    QTest::newRow("18 digits exactly")
        << "123456789012345678" << comma << 123456789012345678.0L << kExact;
    QTest::newRow("19 digits with fraction")
        << "1234567890,123456789" << comma << 1234567890.123456789L << kExact;
    // Beyond 2^64 each step value * 10 + digit rounds on its own; scaling the later digits in one
    // go would round differently (to 0xd.a21055dbebd6400p+74 and 0xc.77487fb61b9f075p+93).
    QTest::newRow("24 digits rounded digit by digit")
        << "257521255623719682838556" << comma << 0xd.a21055dbebd6401p+74L << kExact;
    QTest::newRow("30 digits rounded digit by digit")
        << "123456789012345678901234567890" << comma << 0xc.77487fb61b9f076p+93L << kExact;

    // Powers of ten are the nearest extended values, far beyond the exact ones.
    QTest::newRow("largest exact power") << "1E27" << comma << 1e27L << kExact;
    QTest::newRow("first rounded power") << "1E28" << comma << 1e28L << kExact;
    QTest::newRow("1E300") << "1E300" << comma << 1e300L << kExact;
    QTest::newRow("1E-300") << "1E-300" << comma << 1e-300L << kFewUlps;
    QTest::newRow("beyond double range") << "2,5E400" << comma << 2.5e400L << kFewUlps;

    // The exponent takes digits while below 500, so at most four of them.
    QTest::newRow("exponent 499") << "1E499" << comma << 1e499L << kExact;
    QTest::newRow("exponent 500") << "1E500" << comma << 1e500L << kExact;
    QTest::newRow("exponent leading zeros") << "1E0000000000003" << comma << 1000.0L << kExact;
    QTest::newRow("exponent 0499") << "1E0499" << comma << 1e499L << kExact;
    QTest::newRow("exponent 4932") << "1E4932" << comma << 1e4932L << kExact;
    QTest::newRow("just below the largest")
        << "1,18973149535E4932" << comma << 1.18973149535e4932L << kFewUlps;

    // Too small for the format: zero or a subnormal value, never a failure.
    QTest::newRow("subnormal") << "1E-4940" << comma << 1e-4940L << 1e-9;
    QTest::newRow("smallest subnormal")
        << "4E-4951" << comma << std::numeric_limits<Extended>::denorm_min() << kExact;
    QTest::newRow("below half the smallest") << "1E-4951" << comma << 0.0L << kExact;
    QTest::newRow("exponent -4999") << "1E-4999" << comma << 0.0L << kExact;
    QTest::newRow("negative zero") << "-0" << comma << -0.0L << kExact;
    QTest::newRow("negative underflow keeps its sign") << "-1E-4999" << comma << -0.0L << kExact;
    QTest::newRow("exponent -4999 huge significand")
        << "99999999999999999999999999E-4999" << comma << 0.0L << kExact;

    // Texts of thousands of digits.
    QTest::newRow("4001 fraction digits scaled up")
        << "0," + digitRun("0", 4000) + "1E4000" << comma << 0.1L << kExact;
    // Thousands of roundings of the accumulated digits, each within half a unit in the last place.
    QTest::newRow("4000 fraction digits")
        << "0," + digitRun("1234567890", 400) << comma << 0.123456789012345678901L << 1e-16;
    QTest::newRow("4900 integer digits scaled down")
        << digitRun("1234567890", 490) + "E-4890" << comma << 1234567890.12345678901L << 1e-16;
    QTest::newRow("4932 nines") << digitRun("9", 4932) << comma << 1e4932L << kFewUlps;
    QTest::newRow("10000 leading zeros") << digitRun("0", 10000) + "1" << comma << 1.0L << kExact;
    QTest::newRow("10000 fraction zeros")
        << "0," + digitRun("0", 10000) + "1" << comma << 0.0L << kExact;
    QTest::newRow("10000 zeros") << digitRun("0", 10000) << comma << 0.0L << kExact;
    QTest::newRow("zero with an exponent beyond the range") << "0E4999" << comma << 0.0L << kExact;
}

void TestInputNumber::readsNumber()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(Extended, expected);
    QFETCH(double, relativeTolerance);

    Extended actual = std::numeric_limits<Extended>::quiet_NaN();
    try {
        actual = readInputNumber(text, separator);
    } catch (const CalcError &error) {
        QFAIL(qPrintable(error.message().left(80)));
    }
    QCOMPARE(std::signbit(actual), std::signbit(expected));
    QVERIFY2(std::fabs(actual - expected) <= relativeTolerance * std::fabs(expected),
             "read " + shown(actual) + ", expected " + shown(expected));
}

void TestInputNumber::rejectsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");

    const QChar comma(u',');
    const QChar point(u'.');

    QTest::newRow("empty") << "" << comma;
    QTest::newRow("blank") << " " << comma;
    QTest::newRow("sign alone") << "-" << comma;
    QTest::newRow("exponent alone") << "E5" << comma;
    QTest::newRow("e alone") << "e" << comma;
    QTest::newRow("point with comma separator") << "1.5" << comma;
    QTest::newRow("comma with point separator") << "1,5" << point;
    QTest::newRow("thousands blank") << "1 000" << comma;
    QTest::newRow("letter after digits") << "12a" << comma;
    QTest::newRow("letter after fraction") << "12,5x" << comma;
    QTest::newRow("two separators") << "1,2,3" << comma;
    QTest::newRow("two signs") << "+-1" << comma;
    QTest::newRow("blank after sign") << "- 1" << comma;
    QTest::newRow("blank before exponent") << "1 E3" << comma;
    QTest::newRow("blank inside exponent") << "1E 3" << comma;
    QTest::newRow("fraction in exponent") << "1E3,5" << comma;
    QTest::newRow("second exponent") << "1e3e3" << comma;
    QTest::newRow("leading tab") << "\t5" << comma;
    QTest::newRow("trailing tab") << "5\t" << comma;
    QTest::newRow("no-break space") << QStringLiteral("\u00a05") << comma;
    QTest::newRow("fullwidth digit") << QStringLiteral("\uff11") << comma;
    QTest::newRow("hexadecimal") << "0x10" << comma;
    QTest::newRow("infinity word") << "INF" << comma;

    // The exponent stops after the digit that brings it to 500 or more; a digit after it is left.
    QTest::newRow("exponent 5000") << "1E5000" << comma;
    QTest::newRow("exponent -5000") << "1E-5000" << comma;
    QTest::newRow("exponent 49990") << "1E49990" << comma;
    QTest::newRow("exponent -05000") << "1E-05000" << comma;

    // Beyond the extended range.
    QTest::newRow("exponent 4933") << "1E4933" << comma;
    QTest::newRow("exponent 4999") << "1E4999" << comma;
    QTest::newRow("just above the largest") << "1,1897315E4932" << comma;
    QTest::newRow("negative beyond range") << "-2E4932" << comma;
    QTest::newRow("4940 nines") << digitRun("9", 4940) << comma;
    QTest::newRow("5001 digits") << "1" + digitRun("0", 5000) << comma;
    // The digits overflow while they are accumulated, before any power of ten scales them back.
    QTest::newRow("5001 digits scaled back") << "1" + digitRun("0", 5000) + ",0E-4990" << comma;
    QTest::newRow("10000 fraction digits") << "0," + digitRun("1234567890", 1000) << comma;
    QTest::newRow("exponent 4999 with tiny significand") << "0,000001E4999" << comma;
}

void TestInputNumber::rejectsText()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);

    QCOMPARE(conversionMessage(text, separator),
             "'" + text + QStringLiteral("' is not a valid floating point value"));
}

void TestInputNumber::messageKeepsTextVerbatim_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << ""
                           << "'' is not a valid floating point value";
    QTest::newRow("blanks kept") << "  1 000 "
                                 << "'  1 000 ' is not a valid floating point value";
    QTest::newRow("overflow") << "1E4933"
                              << "'1E4933' is not a valid floating point value";
    QTest::newRow("percent sign") << "%1"
                                  << "'%1' is not a valid floating point value";
}

void TestInputNumber::messageKeepsTextVerbatim()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    QCOMPARE(conversionMessage(text, u','), message);
}

void TestInputNumber::inputNumberReadsOnlyWhenAsked()
{
    const calc::InputNumber empty(QString(), u',');
    QVERIFY_THROWS_EXCEPTION(CalcError, empty.value());

    const calc::InputNumber pointNumber(QStringLiteral("0.25"), u'.');
    QCOMPARE(pointNumber.value(), 0.25L);
}

QTEST_GUILESS_MAIN(TestInputNumber)
#include "tst_inputnumber.moc"

#include "gates.h"

#include "failures.h"

#include <QTest>

using namespace calc;
using failures::notANumber;
using failures::overflow;

class TestGates : public QObject
{
    Q_OBJECT

private slots:
    void showsSevenRows_data();
    void showsSevenRows();
    void reportsFailure_data();
    void reportsFailure();
};

void TestGates::showsSevenRows_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("solidWithPostsUnitArea")
        << 0 << "1" << QStringList{"2", "2,5", "2,1", "0", "35", "26,6", "3,6"};
    QTest::newRow("lattice12UnitArea")
        << 1 << "1" << QStringList{"3,5", "3,56", "0", "1,97", "72", "26,6", "4,8"};
    QTest::newRow("lattice16UnitArea")
        << 2 << "1" << QStringList{"3,8", "4,4", "0", "0,67", "54", "26,6", "4"};
    QTest::newRow("lattice20AreaTwoAndHalf")
        << 3 << "2,5" << QStringList{"9,375", "9,5", "0", "1,575", "110", "66,5", "7,75"};
    QTest::newRow("solidOnSetPostsUnitArea")
        << 4 << "1" << QStringList{"0", "2,5", "2,1", "0", "35", "0", "3,6"};
    QTest::newRow("lattice12OnSetPostsBarsDiffer")
        << 5 << "1" << QStringList{"0", "3,6", "0", "1,97", "72", "0", "4,8"};
    QTest::newRow("lattice16OnSetPostsUnitArea")
        << 6 << "1" << QStringList{"0", "4,4", "0", "0,67", "54", "0", "4"};
    QTest::newRow("lattice20OnSetPostsUnitArea")
        << 7 << "1" << QStringList{"0", "3,8", "0", "0,63", "44", "0", "3,1"};
    QTest::newRow("fiveSignificantDigits")
        << 1 << "0,37" << QStringList{"1,295", "1,3172", "0", "0,7289", "26,64", "9,842", "1,776"};
    QTest::newRow("fiveIntegerDigitsWrittenOut")
        << 0 << "1000" << QStringList{"2000", "2500", "2100", "0", "35000", "26600", "3600"};
    QTest::newRow("sixIntegerDigitsInExponentForm")
        << 0 << "10000"
        << QStringList{"20000", "25000", "21000", "0", "3,5E0005", "2,66E0005", "36000"};
    QTest::newRow("latticeBoltsInExponentForm")
        << 1 << "10000"
        << QStringList{"35000", "35600", "0", "19700", "7,2E0005", "2,66E0005", "48000"};
    QTest::newRow("negativeAreaTimesZeroRateShowsZero")
        << 4 << "-1" << QStringList{"0", "-2,5", "-2,1", "0", "-35", "0", "-3,6"};
    // 2 × 0.617475 = 1.23495 shows 1,235 in extended; the double next to it lies below.
    QTest::newRow("productKeptAsDouble")
        << 0 << "0,617475"
        << QStringList{"1,2349", "1,5437", "1,2967", "0", "21,612", "16,425", "2,2229"};
}

void TestGates::showsSevenRows()
{
    QFETCH(int, variant);
    QFETCH(QString, area);
    QFETCH(QStringList, texts);

    QStringList shown;
    for (double quantity : computeGates(variant, InputNumber(area, u',')))
        shown.append(resultText(quantity, ResultFormat{5, 4}, u','));
    QCOMPARE(shown, texts);
}

void TestGates::reportsFailure_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("message");

    QTest::newRow("areaWithPoint") << 0 << "1.5" << notANumber("1.5");
    QTest::newRow("emptyArea") << 3 << "" << notANumber("");
    QTest::newRow("logsOverflow") << 0 << "1E308" << overflow;
    QTest::newRow("boltsOverflowAfterTimber") << 0 << "1E307" << overflow;
    QTest::newRow("zeroLogsDoNotHideOverflow") << 4 << "1E4000" << overflow;
}

void TestGates::reportsFailure()
{
    QFETCH(int, variant);
    QFETCH(QString, area);
    QFETCH(QString, message);

    QCOMPARE(failures::of([&] { computeGates(variant, InputNumber(area, u',')); }), message);
}

QTEST_GUILESS_MAIN(TestGates)
#include "tst_gates.moc"

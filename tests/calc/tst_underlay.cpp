#include "underlay.h"

#include "failures.h"

#include <QTest>

using namespace calc;
using failures::notANumber;
using failures::overflow;

class TestUnderlay : public QObject
{
    Q_OBJECT

private slots:
    void fillsVariantRows_data();
    void fillsVariantRows();
    void reportsFailure_data();
    void reportsFailure();
};

void TestUnderlay::fillsVariantRows_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("sandUnitVolume") << 0 << "1" << QList<int>{1} << QStringList{"1,11"};
    QTest::newRow("slagUnitVolume") << 1 << "1" << QList<int>{2} << QStringList{"1,23"};
    QTest::newRow("crushedStoneUnitVolume")
        << 2 << "1" << QList<int>{3, 4, 5} << QStringList{"0,97", "0,09", "0,16"};
    QTest::newRow("rammedClayUnitVolume")
        << 3 << "1" << QList<int>{6, 1} << QStringList{"0,43", "1,02"};
    QTest::newRow("clayWithOilUnitVolume")
        << 4 << "1" << QList<int>{6, 1, 7} << QStringList{"0,43", "0,98", "78,5"};
    QTest::newRow("clayWithStoneUnitVolume")
        << 5 << "1" << QList<int>{6, 1, 3} << QStringList{"0,33", "0,76", "0,4"};
    QTest::newRow("clayConcreteUnitVolume")
        << 6 << "1" << QList<int>{6, 1, 9} << QStringList{"0,2", "0,45", "0,9"};
    QTest::newRow("cobblestoneUnitVolume")
        << 7 << "1" << QList<int>{12, 3, 1} << QStringList{"0,74", "0,17", "0,095"};
    QTest::newRow("concreteUnitVolume") << 8 << "1" << QList<int>{9} << QStringList{"1,02"};
    QTest::newRow("acidResistantUnitVolume")
        << 9 << "1" << QList<int>{10, 11} << QStringList{"1,02", "26"};
    QTest::newRow("cobblestoneThreeCubicMetres")
        << 7 << "3" << QList<int>{12, 3, 1} << QStringList{"2,22", "0,51", "0,285"};
    QTest::newRow("clayWithOilTwoCubicMetres")
        << 4 << "2" << QList<int>{6, 1, 7} << QStringList{"0,86", "1,96", "157"};
    QTest::newRow("sandBeyondFourDigits")
        << 0 << "10000" << QList<int>{1} << QStringList{"1,11E004"};
    QTest::newRow("acidResistantFiveDigits")
        << 9 << "10000" << QList<int>{10, 11} << QStringList{"10200", "2,6E0005"};
    QTest::newRow("volumeWithTrailingZero") << 0 << "2,50" << QList<int>{1} << QStringList{"2,775"};
    QTest::newRow("zeroVolume") << 5 << "0" << QList<int>{6, 1, 3} << QStringList{"0", "0", "0"};
    QTest::newRow("negativeVolume")
        << 2 << "-2" << QList<int>{3, 4, 5} << QStringList{"-1,94", "-0,18", "-0,32"};
    // 1.15 × 1.11 = 1.2765 shows 1,277 in extended; the double next to it lies below.
    QTest::newRow("quantityKeptAsDouble") << 0 << "1,15" << QList<int>{1} << QStringList{"1,276"};
    QTest::newRow("noVariantReadsNoVolume") << -1 << "abc" << QList<int>{} << QStringList{};
}

void TestUnderlay::fillsVariantRows()
{
    QFETCH(int, variant);
    QFETCH(QString, volume);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, texts);

    QList<int> filledRows;
    QStringList shown;
    for (const UnderlayQuantity &quantity : computeUnderlay(variant, InputNumber(volume, u','))) {
        filledRows.append(quantity.row);
        shown.append(resultText(quantity.value,
                                variant < 8 ? ResultFormat{4, 3} : ResultFormat{5, 4}, u','));
    }
    QCOMPARE(filledRows, rows);
    QCOMPARE(shown, texts);
}

void TestUnderlay::reportsFailure_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("message");

    QTest::newRow("volumeWithPoint") << 0 << "1.5" << notANumber("1.5");
    QTest::newRow("emptyVolume") << 8 << "" << notANumber("");
    QTest::newRow("bitumenOverflowsAfterClayAndSand") << 4 << "1E307" << overflow;
    QTest::newRow("acidSolutionOverflows") << 9 << "1E307" << overflow;
    QTest::newRow("volumeBeyondDoubleRange") << 0 << "1E4000" << overflow;
}

void TestUnderlay::reportsFailure()
{
    QFETCH(int, variant);
    QFETCH(QString, volume);
    QFETCH(QString, message);

    QCOMPARE(failures::of([&] { computeUnderlay(variant, InputNumber(volume, u',')); }), message);
}

QTEST_GUILESS_MAIN(TestUnderlay)
#include "tst_underlay.moc"

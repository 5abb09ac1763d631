#include "painting.h"

#include "failures.h"

#include <QTest>

using namespace calc;
using failures::notANumber;
using failures::overflow;

namespace {

// The two sides as typed, first then second.
double areaFor(const QStringList &sides)
{
    return paintedAreaM2(InputNumber(sides.at(0), u','), InputNumber(sides.at(1), u','));
}

QString shown(double value)
{
    return resultText(value, kPaintingFormat, u',');
}

} // namespace

class TestPainting : public QObject
{
    Q_OBJECT

private slots:
    void showsAreaAndMaterials_data();
    void showsAreaAndMaterials();
    void reportsAreaFailure_data();
    void reportsAreaFailure();
};

void TestPainting::showsAreaAndMaterials_data()
{
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<int>("coats");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QStringList>("materials");

    // The rates are per 100 m2 of painted surface.
    QTest::newRow("oneCoat") << QStringList{"5", "2"} << 0 << "10"
                             << QStringList{"0,28", "0,056", "1,87", "0,27", "1,6", "0,01"};
    QTest::newRow("twoCoats") << QStringList{"5", "2"} << 1 << "10"
                              << QStringList{"0,29", "0,058", "2,51", "0,58", "1,93", "0,01"};
    QTest::newRow("twoCoatsDecimalSide")
        << QStringList{"10", "2,5"} << 1 << "25"
        << QStringList{"0,725", "0,145", "6,275", "1,45", "4,825", "0,025"};
    QTest::newRow("fourSignificantDigits")
        << QStringList{"3,3", "1,7"} << 0 << "5,61"
        << QStringList{"0,1571", "0,03142", "1,049", "0,1515", "0,8976", "0,00561"};
    QTest::newRow("hundredSquareMetresGiveTheRates")
        << QStringList{"20", "5"} << 1 << "100"
        << QStringList{"2,9", "0,58", "25,1", "5,8", "19,3", "0,1"};
    QTest::newRow("zeroSides") << QStringList{"0", "0"} << 0 << "0"
                               << QStringList{"0", "0", "0", "0", "0", "0"};
    QTest::newRow("negativeSide") << QStringList{"-2", "5"} << 0 << "-10"
                                  << QStringList{"-0,28", "-0,056", "-1,87",
                                                 "-0,27", "-1,6",   "-0,01"};
    QTest::newRow("materialsNearDoubleLimit")
        << QStringList{"9E306", "1"} << 0 << "9E306"
        << QStringList{"2,52E305", "5,04E304", "1,683E306", "2,43E305", "1,44E306", "9E303"};
    // Every rate is below 100 kg per 100 m2, so no material can overflow once the area fits.
    QTest::newRow("largestAreaStillGivesMaterials")
        << QStringList{"1,7E308", "1"} << 1 << "1,7E308"
        << QStringList{"4,93E306", "9,86E305", "4,267E307", "9,86E306", "3,281E307", "1,7E305"};
    QTest::newRow("sidesBeyondDoubleRange")
        << QStringList{"1E4000", "1E-3998"} << 1 << "100"
        << QStringList{"2,9", "0,58", "25,1", "5,8", "19,3", "0,1"};
    // 1.2345 held in extended shows 1,235; the kept double lies below it, and so do the rags
    // formed from it (0.0012345 would show 0,001235).
    QTest::newRow("areaKeptAsDouble")
        << QStringList{"1", "1,2345"} << 0 << "1,234"
        << QStringList{"0,03457", "0,006913", "0,2309", "0,03333", "0,1975", "0,001234"};
}

void TestPainting::showsAreaAndMaterials()
{
    QFETCH(QStringList, sides);
    QFETCH(int, coats);
    QFETCH(QString, area);
    QFETCH(QStringList, materials);

    const double areaM2 = areaFor(sides);
    QCOMPARE(shown(areaM2), area);

    const PaintingResult result = computePainting(areaM2, coats);
    const QStringList texts{shown(result.primingOilKg),  shown(result.groundPaintsKg),
                            shown(result.compositionKg), shown(result.redOxideKg),
                            shown(result.paintOilKg),    shown(result.ragsKg)};
    QCOMPARE(texts, materials);
}

void TestPainting::reportsAreaFailure_data()
{
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<QString>("message");

    QTest::newRow("firstSideNamedFirst") << QStringList{"x", "y"} << notANumber("x");
    QTest::newRow("emptySecondSide") << QStringList{"1", ""} << notANumber("");
    QTest::newRow("hugeFirstSideWaitsForSecond")
        << QStringList{"1E4000", "1.5"} << notANumber("1.5");
    QTest::newRow("areaOverflows") << QStringList{"1E200", "1E200"} << overflow;
}

void TestPainting::reportsAreaFailure()
{
    QFETCH(QStringList, sides);
    QFETCH(QString, message);

    QCOMPARE(failures::of([&] { areaFor(sides); }), message);
}

QTEST_GUILESS_MAIN(TestPainting)
#include "tst_painting.moc"

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
    void materialOverflowComesAfterArea_data();
    void materialOverflowComesAfterArea();
};

void TestPainting::showsAreaAndMaterials_data()
{
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<int>("coats");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QStringList>("materials");

    QTest::newRow("oneCoat") << QStringList{"5", "2"} << 0 << "10"
                             << QStringList{"28", "5,6", "187", "27", "160", "1"};
    QTest::newRow("twoCoats") << QStringList{"5", "2"} << 1 << "10"
                              << QStringList{"29", "5,8", "251", "58", "193", "1"};
    QTest::newRow("twoCoatsDecimalSide")
        << QStringList{"10", "2,5"} << 1 << "25"
        << QStringList{"72,5", "14,5", "627,5", "145", "482,5", "2,5"};
    QTest::newRow("fourSignificantDigits")
        << QStringList{"3,3", "1,7"} << 0 << "5,61"
        << QStringList{"15,71", "3,142", "104,9", "15,15", "89,76", "0,561"};
    QTest::newRow("zeroSides") << QStringList{"0", "0"} << 0 << "0"
                               << QStringList{"0", "0", "0", "0", "0", "0"};
    QTest::newRow("negativeSide") << QStringList{"-2", "5"} << 0 << "-10"
                                  << QStringList{"-28", "-5,6", "-187", "-27", "-160", "-1"};
    QTest::newRow("materialsNearDoubleLimit")
        << QStringList{"9E306", "1"} << 0 << "9E306"
        << QStringList{"2,52E307", "5,04E306", "1,683E308", "2,43E307", "1,44E308", "9E305"};
    QTest::newRow("sidesBeyondDoubleRange")
        << QStringList{"1E4000", "1E-3998"} << 1 << "100"
        << QStringList{"290", "58", "2510", "580", "1930", "10"};
    // 1.2345 held in extended shows 1,235; the kept double lies below it, and so do the rags
    // formed from it (0.12345 would show 0,1235).
    QTest::newRow("areaKeptAsDouble")
        << QStringList{"1", "1,2345"} << 0 << "1,234"
        << QStringList{"3,457", "0,6913", "23,09", "3,333", "19,75", "0,1234"};
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

void TestPainting::materialOverflowComesAfterArea_data()
{
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<int>("coats");

    QTest::newRow("primingOilOverflows") << QStringList{"1E308", "1"} << 0;
    QTest::newRow("oneCoatCompositionOverflows") << QStringList{"1E307", "1"} << 0;
    QTest::newRow("twoCoatsCompositionOverflows") << QStringList{"1E307", "1"} << 1;
    QTest::newRow("negativeCompositionOverflows") << QStringList{"-1E307", "1"} << 1;
}

void TestPainting::materialOverflowComesAfterArea()
{
    QFETCH(QStringList, sides);
    QFETCH(int, coats);

    // The area fits a double and is shown before the materials are formed.
    const double areaM2 = areaFor(sides);
    QCOMPARE(failures::of([&] { computePainting(areaM2, coats); }), overflow);
}

QTEST_GUILESS_MAIN(TestPainting)
#include "tst_painting.moc"

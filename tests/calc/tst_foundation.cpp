#include "calcerror.h"
#include "foundation.h"
#include "resulttext.h"

#include <QTest>

using namespace calc;

static FoundationInput dimensions(const QStringList &t)
{
    return {{t[0], u','}, {t[1], u','}, {t[2], u','}};
}

static QString shown(double value)
{
    return resultText(value, kFormat4x3, u',');
}

class TestFoundation : public QObject
{
    Q_OBJECT

private slots:
    void volumeConcreteAndFormwork_data();
    void volumeConcreteAndFormwork();
    void failureComesFromFirstBadStep_data();
    void failureComesFromFirstBadStep();
    void ratePerClassOrNoValue_data();
    void ratePerClassOrNoValue();
};

void TestFoundation::volumeConcreteAndFormwork_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("formwork");
    QTest::newRow("2 by 1,5 by 0,8") << QStringList{"2", "1,5", "0,8"} << "2,4"
                                     << "5,6";
    QTest::newRow("all zero") << QStringList{"0", "0", "0"} << "0"
                              << "0";
    QTest::newRow("30 by 20 by 20") << QStringList{"30", "20", "20"} << "1,2E004"
                                    << "2000";
    QTest::newRow("negative width") << QStringList{"2", "-1", "1"} << "-2"
                                    << "2";
}

void TestFoundation::volumeConcreteAndFormwork()
{
    QFETCH(QStringList, input);
    QFETCH(QString, volume);
    QFETCH(QString, formwork);
    QCOMPARE(shown(computeFoundationVolume(dimensions(input))), volume);
    for (int sizeClass : {-1, 0, 4}) {
        const FoundationMaterials m = computeFoundationMaterials(dimensions(input), sizeClass);
        QCOMPARE(shown(m.concreteM3), volume);
        QCOMPARE(shown(m.formworkPanelsM2), formwork);
    }
}

void TestFoundation::failureComesFromFirstBadStep_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("volumeFails");
    const QString overflow = "Floating point overflow";
    QTest::newRow("bad width before bad height")
        << QStringList{"2", "x", "y"} << "'x' is not a valid floating point value" << true;
    QTest::newRow("empty length first")
        << QStringList{"", "x", "y"} << "'' is not a valid floating point value" << true;
    QTest::newRow("product overflow before bad height")
        << QStringList{"1E200", "1E200", "y"} << overflow << true;
    // 1E100 in the extended format: only keeping the product as a double fails.
    QTest::newRow("product kept as double")
        << QStringList{"1E200", "1E200", "1E-300"} << overflow << true;
    QTest::newRow("volume beyond double")
        << QStringList{"1E200", "1E100", "1E100"} << overflow << true;
    QTest::newRow("beyond extended") << QStringList{"1E3000", "1E3000", "1"} << overflow << true;
    QTest::newRow("formwork beyond double, volume 1E9")
        << QStringList{"1E308", "1E-300", "10"} << overflow << false;
}

void TestFoundation::failureComesFromFirstBadStep()
{
    QFETCH(QStringList, input);
    QFETCH(QString, message);
    QFETCH(bool, volumeFails);
    bool volumeDone = false;
    try {
        computeFoundationVolume(dimensions(input));
        volumeDone = true;
        computeFoundationMaterials(dimensions(input), 0);
        QFAIL("the material list did not fail");
    } catch (const CalcError &error) {
        QCOMPARE(volumeDone, !volumeFails);
        QCOMPARE(error.message(), message);
    }
}

void TestFoundation::ratePerClassOrNoValue_data()
{
    QTest::addColumn<int>("sizeClass");
    QTest::addColumn<bool>("hasRate");
    QTest::newRow("class given a rate") << 2 << true;
    QTest::newRow("class without one") << 1 << false;
    QTest::newRow("no class selected") << -1 << false;
    QTest::newRow("index past the list") << kFoundationClassCount << false;
}

void TestFoundation::ratePerClassOrNoValue()
{
    QFETCH(int, sizeClass);
    QFETCH(bool, hasRate);
    FoundationRateTable table = foundationRates();
    table[2].nails = {0.5L, "кг/м3", "норма"};
    const FoundationMaterials m =
        computeFoundationMaterials(dimensions({"2", "1,5", "0,8"}), sizeClass, table);
    QCOMPARE(m.nails ? shown(*m.nails) : QString("—"), hasRate ? "1,2" : "—");
    QVERIFY(!m.boards && !m.wire && !m.lubricant);
    // The explanation follows the same table: a rate where there is one.
    const FigureBases bases = foundationBases(sizeClass, table);
    QCOMPARE(bases.size(), 6);
    QCOMPARE(bases[3].kind == FigureBasis::Kind::Rate, hasRate);
    if (hasRate)
        QCOMPARE(bases[3].rate, 0.5L);
}

QTEST_GUILESS_MAIN(TestFoundation)
#include "tst_foundation.moc"

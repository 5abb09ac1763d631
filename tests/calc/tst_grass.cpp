#include "calcerror.h"
#include "grass.h"
#include "resulttext.h"

#include "failures.h"

#include <QTest>

using namespace calc;

class TestGrass : public QObject
{
    Q_OBJECT

private slots:
    void materialsOfEachWay_data();
    void materialsOfEachWay();
    void failureComesFromFirstBadStep_data();
    void failureComesFromFirstBadStep();
};

void TestGrass::materialsOfEachWay_data()
{
    QTest::addColumn<QStringList>("plot");
    QTest::addColumn<int>("way");
    // Area, then turf, pins, seeds, soil, fertilizers, bitumen, latex, sawdust; "—" has no norm.
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("by hand: seeds and a 10 cm soil layer")
        << QStringList{"10", "5"} << 0 << QStringList{"50", "0", "0", "1", "5", "—", "0", "0", "0"};
    QTest::newRow("by hand, small plot")
        << QStringList{"2", "1,5"} << 0
        << QStringList{"3", "0", "0", "0,06", "0,3", "—", "0", "0", "0"};
    QTest::newRow("with machines: seeds only")
        << QStringList{"10", "5"} << 1 << QStringList{"50", "0", "0", "1", "0", "0", "0", "0", "0"};
    QTest::newRow("hydroseeding: used materials have no norm")
        << QStringList{"10", "5"} << 2 << QStringList{"50", "0", "0", "—", "0", "—", "—", "—", "—"};
    QTest::newRow("no way selected") << QStringList{"10", "5"} << -1
                                     << QStringList{"50", "—", "—", "—", "—", "—", "—", "—", "—"};
    QTest::newRow("negative length")
        << QStringList{"-4", "5"} << 0
        << QStringList{"-20", "0", "0", "-0,4", "-2", "—", "0", "0", "0"};
}

void TestGrass::materialsOfEachWay()
{
    QFETCH(QStringList, plot);
    QFETCH(int, way);
    QFETCH(QStringList, shown);
    const GrassMaterials m = computeGrassMaterials({{plot[0], u','}, {plot[1], u','}}, way);
    QStringList texts{resultText(m.areaM2, kFormat4x3, u',')};
    const FigureBases bases = grassBases(way);
    QCOMPARE(bases.size(), 8);
    int row = 0;
    for (const GrassFigure *f :
         {&m.turfM2, &m.woodenPinsM3, &m.seedsKg, &m.vegetableSoilM3, &m.fertilizersKg,
          &m.bitumenEmulsionL, &m.latexEmulsionL, &m.sawdustM3}) {
        texts << (*f ? resultText(**f, kFormat4x3, u',') : "—");
        // The explanation agrees with the figure: no rate, a material the norm leaves out, or
        // a rate read from a norm per 1000 m2.
        const FigureBasis &basis = bases[row++];
        if (way < 0)
            QCOMPARE(basis.kind, FigureBasis::Kind::NoChoice);
        else if (!*f)
            QCOMPARE(basis.kind, FigureBasis::Kind::NoRate);
        else if (**f == 0)
            QVERIFY(basis.kind == FigureBasis::Kind::NotUsed &&
                    QString(basis.note).startsWith("нет в "));
        else
            QVERIFY(basis.kind == FigureBasis::Kind::Rate &&
                    QString(basis.note).contains("на 1000 м2"));
    }
    QCOMPARE(texts, shown);
}

void TestGrass::failureComesFromFirstBadStep_data()
{
    QTest::addColumn<QStringList>("plot");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad length before bad width")
        << QStringList{"a", "b"} << "'a' is not a valid floating point value";
    QTest::newRow("empty width") << QStringList{"3", ""}
                                 << "'' is not a valid floating point value";
    QTest::newRow("area beyond double")
        << QStringList{"1E200", "1E200"} << "Floating point overflow";
    QTest::newRow("beyond extended")
        << QStringList{"1E3000", "1E3000"} << "Floating point overflow";
}

void TestGrass::failureComesFromFirstBadStep()
{
    QFETCH(QStringList, plot);
    QFETCH(QString, message);
    QCOMPARE(failures::of([&] {
                 computeGrassMaterials({{plot[0], u','}, {plot[1], u','}}, 0);
             }),
             message);
}

QTEST_GUILESS_MAIN(TestGrass)
#include "tst_grass.moc"

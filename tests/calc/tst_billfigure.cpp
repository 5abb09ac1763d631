#include "billfigure.h"

#include <QTest>

using namespace calc;

namespace {

using Table = const QList<BillFigure> &(*)();

// The rows of a table that are not simply bought, each as "row: name, what it is".
QStringList unusualRows(const QList<BillFigure> &figures)
{
    QStringList rows;
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const BillFigure &figure = figures.at(i);
        QStringList what;
        if (figure.kind == FigureKind::WorkVolume)
            what.append(QStringLiteral("объем работ"));
        if (figure.kind == FigureKind::Composite)
            what.append(QStringLiteral("состав"));
        if (!figure.partOf.isEmpty())
            what.append(QStringLiteral("часть: ") + figure.partOf);
        if (!what.isEmpty())
            rows.append(QStringLiteral("%1: %2, %3").arg(i).arg(figure.name, what.join(u',')));
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Table)

class TestBillFigure : public QObject
{
    Q_OBJECT

private slots:
    void pageTables_data();
    void pageTables();
    void oldCaptionNames_data();
    void oldCaptionNames();
};

void TestBillFigure::pageTables_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("unusual");

    QTest::newRow("masonry") << Table(masonryFigures) << 4
                             << QStringList{"0: Объем кирпичной кладки, объем работ"};
    QTest::newRow("foundation") << Table(foundationFigures) << 6 << QStringList();
    QTest::newRow("painting") << Table(paintingFigures) << 6
                              << QStringList{"2: Состав окрасочный, состав",
                                             "3: Сурик железный тертый, часть: Состав окрасочный",
                                             "4: Олифа, часть: Состав окрасочный"};
    QTest::newRow("gates") << Table(gatesFigures) << 7 << QStringList();
    QTest::newRow("grass") << Table(grassFigures) << 8 << QStringList();
    QTest::newRow("underlay") << Table(underlayFigures) << 12 << QStringList();
}

// As many rows as the page shows, each in a unit the totals add up, and only the work volume and
// the paint mixture kept out of what is bought.
void TestBillFigure::pageTables()
{
    QFETCH(Table, table);
    QFETCH(int, rows);
    QFETCH(QStringList, unusual);

    const QList<BillFigure> &figures = table();
    QCOMPARE(figures.size(), rows);
    const QStringList units{"м3", "м2", "шт.", "кг", "л"};
    for (const BillFigure &figure : figures)
        QVERIFY2(units.contains(figure.unit), qPrintable(figure.name + u' ' + figure.unit));
    QCOMPARE(unusualRows(figures), unusual);
}

void TestBillFigure::oldCaptionNames_data()
{
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");

    QTest::newRow("formwork caption without a unit") << "Щиты опалубки 25 мм."
                                                     << "Щиты опалубки 25 мм"
                                                     << "м2";
    QTest::newRow("misspelt boards") << "Доск 25-32 мм."
                                     << "Доски 25-32 мм"
                                     << "м3";
    QTest::newRow("logs with a stop before the unit") << "Бревна 180 мм."
                                                      << "Бревна 180 мм"
                                                      << "м3";
    QTest::newRow("unit after a full stop") << "Каменная мелочь"
                                            << "Каменная мелочь"
                                            << "м3";
    QTest::newRow("double space made one") << "Спицы деревянные"
                                           << "Спицы деревянные"
                                           << "м3";
    QTest::newRow("masonry volume") << "Объем кирпичной кладки"
                                    << "Объем кирпичной кладки"
                                    << "м3";
    QTest::newRow("litres") << "Эмульсия латексная"
                            << "Эмульсия латексная"
                            << "л";
    QTest::newRow("not a figure of any page") << "Кирпич силикатный" << QString() << QString();
}

void TestBillFigure::oldCaptionNames()
{
    QFETCH(QString, oldName);
    QFETCH(QString, name);
    QFETCH(QString, unit);

    const std::optional<BillFigure> figure = figureOfCaptionName(oldName);
    QCOMPARE(figure.has_value(), !name.isEmpty());
    if (figure) {
        QCOMPARE(figure->name, name);
        QCOMPARE(figure->unit, unit);
    }
}

QTEST_APPLESS_MAIN(TestBillFigure)
#include "tst_billfigure.moc"

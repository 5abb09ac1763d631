// The overhead and profit tables: the editions shipped, a newer one read from a CSV and kept in
// the norm base, and a norm's references told with the items' names and percentages.

#include "normdb.h"
#include "ratecsv.h"
#include "rateeditions.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace norms::rates;

class RateTablesTest : public QObject
{
    Q_OBJECT

private slots:
    void shipsTheOrdersRows_data();
    void shipsTheOrdersRows();
    void tellsAReference_data();
    void tellsAReference();
    void readsACsv_data();
    void readsACsv();
    void keepsALoadedEditionInTheBase();
};

void RateTablesTest::shipsTheOrdersRows_data()
{
    // Item: НР Территория / МПРКС / РКС, СП, as the orders' appendices give them.
    QTest::addColumn<QString>("item");
    QTest::addColumn<QList<double>>("percents");
    QTest::newRow("roofing") << "012.0" << QList<double>{109, 110, 114, 57};
    QTest::newRow("roads, as amended by 611/пр and 317/пр")
        << "021.0" << QList<double>{147, 148, 154, 134};
    QTest::newRow("mechanised earthworks") << "001.1" << QList<double>{92, 93, 97, 46};
    QTest::newRow("lifts, sections 5 and 6") << "104.2" << QList<double>{74, 75, 78, 36};
    QTest::newRow("the last item") << "110.0" << QList<double>{100, 100, 100, 88};
}

void RateTablesTest::shipsTheOrdersRows()
{
    QFETCH(QString, item);
    QFETCH(QList<double>, percents);
    const Edition &overhead = shipped(Kind::Overhead);
    const Edition &profit = shipped(Kind::Profit);
    QCOMPARE(overhead.rows.size(), 136);
    QCOMPARE(profit.rows.size(), 136);
    const Row *nr = overhead.row(item);
    const Row *sp = profit.row(item);
    QVERIFY(nr && sp);
    QCOMPARE(
        (QList<double>{nr->percent, nr->mprks.value_or(-1), nr->rks.value_or(-1), sp->percent}),
        percents);
    QVERIFY(overhead.description().contains(QStringLiteral("812/пр в ред. приказов от 02.09.2021 "
                                                           "№ 636/пр и от 26.07.2022 № 611/пр")));
    QVERIFY(profit.description().contains(QStringLiteral("774/пр в ред. приказа от 22.04.2022 "
                                                         "№ 317/пр")));
}

void RateTablesTest::tellsAReference_data()
{
    QTest::addColumn<QString>("nr");
    QTest::addColumn<QString>("sp");
    QTest::addColumn<QString>("text");
    QTest::newRow("one item for both") << "Пр/812-012.0"
                                       << "Пр/774-012.0"
                                       << "НР 109 % (Пр/812-012.0 Кровли), СП 57 %";
    QTest::newRow("an item the overhead table lacks")
        << "Пр/812-999.0"
        << "Пр/774-012.0"
        << "Пр/812-999.0 — нет в таблице НР, СП 57 % (Пр/774-012.0 Кровли)";
    QTest::newRow("another order is no item of these")
        << "Пр/999-012.0"
        << "Пр/774-999.0"
        << "Пр/999-012.0 — нет в таблице НР, Пр/774-999.0 — нет в таблице СП";
    QTest::newRow("profit alone") << ""
                                  << "Пр/774-021.0"
                                  << "СП 134 % (Пр/774-021.0 Автомобильные "
                                     "дороги (за исключением пункта 21.1))";
}

void RateTablesTest::tellsAReference()
{
    QFETCH(QString, nr);
    QFETCH(QString, sp);
    QFETCH(QString, text);
    QCOMPARE(reasonText({nr, sp}, shipped(Kind::Overhead), shipped(Kind::Profit)), text);
}

void RateTablesTest::readsACsv_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("outcome"); // the refusal, or the rows read
    QTest::newRow("overhead, a byte order mark, CR LF, a comma before the decimals")
        << QByteArray("\xEF\xBB\xBFitem;name;territory;mprks;rks\r\n012.0;Кровли;110,5;111;115\r\n")
        << "НР 012.0 Кровли 110.5 111 115";
    QTest::newRow("profit, a blank line")
        << QByteArray("item;name;percent\n\n012.0;Кровли;58\n") << "СП 012.0 Кровли 58 - -";
    QTest::newRow("a line short of a column")
        << QByteArray("item;name;percent\n012.0;Кровли;58\n013.0;Полы\n")
        << "Файл «new.csv», строка 3: столбцов 2, а должно быть 3.";
    QTest::newRow("a percent that is no number")
        << QByteArray("item;name;percent\n012.0;Кровли;пять\n")
        << "Файл «new.csv», строка 2: «пять» не является процентом (число не меньше нуля) в "
           "пункте «012.0».";
    QTest::newRow("an item given twice")
        << QByteArray("item;name;percent\n012.0;Кровли;58\n012.0;Кровли;59\n")
        << "Файл «new.csv», строка 3: пункт «012.0» уже был выше.";
    QTest::newRow("an item not written as the references key it")
        << QByteArray("item;name;percent\n12;Кровли;58\n")
        << "Файл «new.csv», строка 2: пункт «12» не в виде трех цифр, точки и цифры, например "
           "«012.0».";
    QTest::newRow("other columns")
        << QByteArray("\n\nКод;Наименование;НР\n")
        << "Файл «new.csv», строка 3: заголовок должен быть «item;name;territory;mprks;rks» "
           "(нормативы НР) или «item;name;percent» (нормативы СП).";
}

void RateTablesTest::readsACsv()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, outcome);
    const CsvReading reading = readCsv(bytes, QStringLiteral("new.csv"));
    if (!reading.edition) {
        QCOMPARE(reading.refusal, outcome);
        return;
    }
    QCOMPARE(reading.edition->rows.size(), 1);
    const Row &row = reading.edition->rows.front();
    const auto number = [](const std::optional<double> &value) {
        return value ? QString::number(*value) : QStringLiteral("-");
    };
    QCOMPARE(QStringList({kindAbbreviation(reading.edition->kind), row.item, row.name,
                          number(row.percent), number(row.mprks), number(row.rks)})
                 .join(u' '),
             outcome);
}

void RateTablesTest::keepsALoadedEditionInTheBase()
{
    QTemporaryDir folder;
    auto opened = norms::NormDatabase::open(folder.filePath(QStringLiteral("norms.db")));
    QVERIFY(opened.database);
    norms::NormDatabase &database = *opened.database;
    QCOMPARE(current(database, Kind::Profit).rows.size(), 136);
    // Saved on Windows: Windows-1251.
    QStringEncoder windows1251("windows-1251");
    if (!windows1251.isValid())
        QSKIP("this Qt has no windows-1251 converter to write the sample with");
    const QByteArray bytes =
        windows1251.encode(QStringLiteral("item;name;percent\n012.0;Кровли и ёмкости;60\n"));
    CsvReading reading = readCsv(bytes, QStringLiteral("СП 2027.csv"));
    QVERIFY2(reading.edition, qPrintable(reading.refusal));
    reading.edition->sourceFile = QStringLiteral("СП 2027.csv");
    keep(database, *reading.edition);
    const Edition used = current(database, Kind::Profit);
    QVERIFY2(used.description().contains(QStringLiteral("«СП 2027.csv»")),
             qPrintable(used.description()));
    QCOMPARE(used.rows, (QList<Row>{{"012.0", "Кровли и ёмкости", 60, {}, {}}}));
    // The other table stays the shipped one.
    QCOMPARE(current(database, Kind::Overhead).rows.size(), 136);
}

QTEST_GUILESS_MAIN(RateTablesTest)
#include "tst_ratetables.moc"

#include "priceimport.h"
#include "pricestore.h"
#include "splitform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The region's price list read as published, as xlsx or CSV, into the norm base: each resource's
// current price by the column's header, one list per subject, zone and quarter; a file that is
// broken, of another kind or silent on whose prices it holds leaves the base as it was.
class PriceImportTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsCurrentPrices_data();
    void readsCurrentPrices();
    void replacesOnlyTheSameList_data();
    void replacesOnlyTheSameList();
    void refusesAndKeepsTheBase_data();
    void refusesAndKeepsTheBase();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QMap<QString, double> prices(const QString &listName);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_base;
};

namespace {

// Codes and figures of our own, in the shapes the published lists use.
splitform::Form moscow()
{
    splitform::Form form;
    form.resources = {
        {"ФСБЦ-01.7.15.06-0111", "Бетон тяжелый, класс B15", "м3", "5 120,00", "5 310,40",
         "01.7.15.06", "Бетоны тяжелые", "-", "1,1250"},
        {"Машины и механизмы"},
        {"91.05.01-017", "Краны башенные, 8 т", "маш.-ч", "", "812.30", "91.05.01",
         "Краны башенные", "1036.96", "1.2766"},
        {"4-100-060", "Средний разряд машинистов 6,0", "чел.-ч", "", "", "", "", "982,04", ""},
        {"1-100-38", "Средний разряд работы 3,8", "чел.-ч", "", "", "", "", "723.54", "-"},
        {"ФССЦ-04.1.02.05-0006", "Смесь бетонная", "м3", "", "6 040,00", "04.1.02.05",
         "Смеси бетонные", "-", "-"},
        {"02.2.05.04-1777", "Щебень М 1200, фракция 20-40 мм", "м3", "", "1 480,00", "02.2.05.04",
         "Щебень", "—", "1.05"}};
    return form;
}

const QMap<QString, double> kMoscowPrices{{"01.7.15.06-0111", 5974.2},
                                          {"91.05.01-017", 1036.96},
                                          {"4-100-060", 982.04},
                                          {"1-100-38", 723.54},
                                          {"02.2.05.04-1777", 1554.0}};

enum class Kind
{
    Xlsx,
    XlsxInline,
    CsvSemicolon1251,
    CsvCommaUtf8,
};

bool write(const QString &path, const splitform::Form &form, Kind kind)
{
    switch (kind) {
    case Kind::Xlsx:
    case Kind::XlsxInline:
        return splitform::writeXlsx(path, form, kind == Kind::XlsxInline);
    case Kind::CsvSemicolon1251:
        return splitform::writeCsv(path, form, u';', true);
    case Kind::CsvCommaUtf8:
        return splitform::writeCsv(path, form, u',', false);
    }
    return false;
}

} // namespace

void PriceImportTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_base = path(QStringLiteral("norms.db"));
}

QMap<QString, double> PriceImportTest::prices(const QString &listName)
{
    QMap<QString, double> found;
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(m_base);
    for (const norms::StoredPriceList &list : norms::storedPriceLists(*opened.database)) {
        if (list.name != listName)
            continue;
        for (const QString &code : kMoscowPrices.keys() + QStringList{"04.1.02.05-0006"})
            if (const auto price = norms::resourcePrice(*opened.database, list.id, code))
                found.insert(code, price->price);
    }
    return found;
}

void PriceImportTest::readsCurrentPrices_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("order");
    const QList<int> published{0, 1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("workbook, shared texts") << int(Kind::Xlsx) << published;
    QTest::newRow("workbook, texts in the cells") << int(Kind::XlsxInline) << published;
    QTest::newRow("columns in another order")
        << int(Kind::Xlsx) << QList<int>{8, 0, 7, 2, 1, 4, 3, 6, 5};
    QTest::newRow("CSV, semicolons, Windows-1251") << int(Kind::CsvSemicolon1251) << published;
    QTest::newRow("CSV, commas, UTF-8") << int(Kind::CsvCommaUtf8) << published;
}

void PriceImportTest::readsCurrentPrices()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, order);
    splitform::Form form = moscow();
    form.order = order;
    const QString file = path(kind >= int(Kind::CsvSemicolon1251) ? "Москва.csv" : "Москва.xlsx");
    QVERIFY(write(file, form, Kind(kind)));
    const norms::PriceImportResult result = norms::importPriceLists(m_base, {file});
    QCOMPARE(result.reason, QString());
    QCOMPARE(prices("Москва, 2 кв. 2026"), kMoscowPrices);
    const QString summary = norms::priceSummaryText(result);
    for (const QString &said :
         {"«Москва, 2 кв. 2026»", "г. Москва, зона «г. Москва», 2 квартал 2026 года",
          "строк 7, с текущей ценой 1, по индексу 2, ставок оплаты труда 2",
          "нет цены и индекса: 1", "без кода (заголовки групп): 1"})
        QVERIFY2(summary.contains(said), qPrintable(summary));
}

void PriceImportTest::replacesOnlyTheSameList_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("name");
    QTest::newRow("the same list again") << "г. Москва"
                                         << "за 2 квартал 2026 года"
                                         << "Москва, 2 кв. 2026";
    QTest::newRow("another quarter") << "г. Москва"
                                     << "за 1 квартал 2026 года"
                                     << "Москва, 1 кв. 2026";
    QTest::newRow("quarter shortened") << "г. Москва"
                                       << "за 3 кв. 2026 г."
                                       << "Москва, 3 кв. 2026";
    QTest::newRow("another subject") << "Московская область"
                                     << "за II квартал 2026 г."
                                     << "Московская область, Москва, 2 кв. 2026";
}

void PriceImportTest::replacesOnlyTheSameList()
{
    QFETCH(QString, subject);
    QFETCH(QString, period);
    QFETCH(QString, name);
    QVERIFY(splitform::writeXlsx(path("first.xlsx"), moscow()));
    splitform::Form other = moscow();
    other.subject = subject;
    other.period = QStringLiteral("Сплит-форма информации о ценах ") + period;
    other.resources = {{"91.05.01-017", "Краны башенные, 8 т", "маш.-ч", "", "812.30", "91.05.01",
                        "Краны башенные", "1 100,00", "1.35"}};
    QVERIFY(splitform::writeXlsx(path("second.xlsx"), other));
    QCOMPARE(norms::importPriceLists(m_base, {path("first.xlsx")}).reason, QString());
    QCOMPARE(norms::importPriceLists(m_base, {path("second.xlsx")}).reason, QString());
    QCOMPARE(prices(name), (QMap<QString, double>{{"91.05.01-017", 1100.0}}));
    if (name != u"Москва, 2 кв. 2026")
        QCOMPARE(prices("Москва, 2 кв. 2026"), kMoscowPrices);
}

void PriceImportTest::refusesAndKeepsTheBase_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("workbook damaged inside") << "damaged"
                                             << "лист не читается после строки";
    QTest::newRow("cut workbook") << "cut"
                                  << "поврежден или обрезан";
    QTest::newRow("sheet inflating past the bound") << "bomb"
                                                    << "при распаковке больше";
    QTest::newRow("sheet of other data") << "other"
                                         << "не сплит-форма: в нем нет строки заголовка";
    QTest::newRow("empty file") << "empty"
                                << "пуст";
    QTest::newRow("without its subject") << "subject"
                                         << "не указывает субъект Российской";
    QTest::newRow("without its quarter") << "period"
                                         << "не указывает квартал";
    QTest::newRow("without the index column") << "index"
                                              << "нет столбца «Индекс изменения";
    QTest::newRow("cancelled") << "cancel"
                               << "";
}

void PriceImportTest::refusesAndKeepsTheBase()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    QVERIFY(splitform::writeXlsx(path("first.xlsx"), moscow()));
    QCOMPARE(norms::importPriceLists(m_base, {path("first.xlsx")}).reason, QString());
    // The same list, each price higher, with its fault.
    splitform::Form again = moscow();
    for (QStringList &resource : again.resources)
        if (resource.size() > 8)
            resource[7] = resource[7].startsWith(u'-') ? resource[7] : QStringLiteral("9 999");
    for (int filler = 0; filler < 3000; ++filler)
        again.resources.append({QStringLiteral("01.1.01.01-%1").arg(filler), "Песок", "м3", "",
                                "100", "01.1.01", "Песок", "120,5", ""});
    if (fault == u"other")
        again.headers[0] = QStringLiteral("Шифр");
    if (fault == u"subject")
        again.subject.clear();
    if (fault == u"period")
        again.period = QStringLiteral("Сплит-форма информации о ценах");
    if (fault == u"index")
        again.headers[8] = QStringLiteral("Примечание");
    const QString file = path("Москва.xlsx");
    QVERIFY(splitform::writeXlsx(file, again));
    QFile broken(file);
    if (fault == u"cut")
        QVERIFY(broken.resize(broken.size() * 2 / 3));
    if (fault == u"damaged" && broken.open(QIODevice::ReadWrite)) {
        broken.seek(broken.size() / 2);
        broken.write(QByteArray(64, '\x5a'));
        broken.close();
    }
    if (fault == u"empty")
        QVERIFY(broken.resize(0));
    norms::table::Limits limits;
    limits.sheetBytes = fault == u"bomb" ? 100 * 1024 : limits.sheetBytes;
    const std::atomic<bool> cancel = fault == u"cancel";
    const norms::PriceImportResult result =
        norms::importPriceLists(m_base, {file}, {}, &cancel, limits);
    QCOMPARE(result.outcome, reason.isEmpty() ? norms::PriceImportResult::Outcome::Cancelled
                                              : norms::PriceImportResult::Outcome::Refused);
    QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
    QVERIFY2(reason.isEmpty() || result.reason.contains(u"«Москва.xlsx»"),
             qPrintable(result.reason));
    QCOMPARE(prices("Москва, 2 кв. 2026"), kMoscowPrices);
}

QTEST_GUILESS_MAIN(PriceImportTest)
#include "tst_priceimport.moc"

#include "billcsv.h"
#include "billfile.h"
#include "billtexts.h"
#include "totals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <limits>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace bom;

// The bill's file: what is saved opens as the same bill, and a file that is no bill of ours is
// refused with a reason and changes nothing.
class BillFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void savedBillOpensEqual();
    void figuresKeepEveryBit_data();
    void figuresKeepEveryBit();
    void badFilesAreRefusedWithAReason_data();
    void badFilesAreRefusedWithAReason();
    void version1FileKeepsItsMeaning_data();
    void version1FileKeepsItsMeaning();
    void version2OptionalFieldsMayBeMissing();
    void version3BillKeepsBothLayersAndTheirTerms_data();
    void version3BillKeepsBothLayersAndTheirTerms();
    void catalogueOriginsComeBack();
    void fileOfAHundredMegabytesIsRefusedUnread();
    void failedSaveKeepsThePreviousFile();
    void saveIntoAMissingFolderSaysSo();
    void csvIsExactToTheByte();
    void csvOfANormHasCodesAndHours();

private:
    static Bill sampleBill();
    // A norm's bill priced from the catalogue, with a page's material linked to a resource.
    static Bill pricedBill();
    // Two computations of one norm: labour, a lorry, concrete under two names, a mix "по проекту".
    static Bill normBill();
    // The priced bill with a local estimate's terms, every one set apart from its default.
    static Bill estimateBill();
    std::unique_ptr<QTemporaryDir> m_folder;
};

void BillFileTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
}

// A bill with every field the file holds set, and set apart from its default.
Bill BillFileTest::sampleBill()
{
    Bill bill;
    bill.head = {QStringLiteral("Жилой дом; секция 2"),
                 QStringLiteral("ООО \"Заря\""),
                 QStringLiteral("Тверь, ул. Мира, 5"),
                 QStringLiteral("Петров П. П."),
                 QString(),
                 QDate(2026, 12, 7)};
    const QString masonry = QStringLiteral("Кирпичная кладка");
    const QString painting = QStringLiteral("Окраска поверхностей");
    bill.entries = {
        {QDateTime(QDate(2026, 12, 7), QTime(9, 5, 30, 250), Qt::UTC),
         QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)"),
         QStringLiteral("Длина 12 м; высота 3 м"),
         {material(QStringLiteral("Объем кирпичной кладки"), QStringLiteral("м3"), 13.68,
                   MaterialKind::WorkVolume, QString(), masonry),
          material(QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт."), 5392.08,
                   MaterialKind::Buy, QString(), masonry),
          material(QStringLiteral("Раствор"), QStringLiteral("м3"), 3.2148, MaterialKind::Buy,
                   QString(), masonry)},
         1,
         QStringLiteral("стены первого этажа")},
        {QDateTime(QDate(2026, 12, 7), QTime(9, 7), Qt::UTC),
         QStringLiteral("Фундаменты; \"под колонны\""),
         QStringLiteral("Длина 2 м"),
         {material(QStringLiteral("Смазка"), QStringLiteral("кг"), std::nullopt),
          material(QStringLiteral("Раствор"), QStringLiteral("м3"), 0.1)},
         12},
        {QDateTime(QDate(2026, 12, 7), QTime(9, 8), Qt::UTC),
         painting,
         QStringLiteral("Площадь 20 м2"),
         {material(QStringLiteral("Состав окрасочный"), QStringLiteral("кг"), 4.0,
                   MaterialKind::Composite, QString(), painting),
          material(QStringLiteral("Сурик железный тертый"), QStringLiteral("кг"), 1.5,
                   MaterialKind::Buy, QStringLiteral("Состав окрасочный"), painting)}},
        {QDateTime(QDate(2026, 12, 7), QTime(9, 10), Qt::UTC),
         manualWork(),
         QString(),
         {material(QStringLiteral("Гвозди"), QStringLiteral("кг"), 2.5, MaterialKind::Buy,
                   QString(), manualSource())},
         1,
         QStringLiteral("на леса"),
         true},
    };
    bill.terms.insert({QStringLiteral("Раствор"), QStringLiteral("м3")},
                      Terms{5, 0.5, 420000, PriceBasis::PerPack});
    bill.terms.insert({QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт.")},
                      Terms{2.5, 250, 1850, PriceBasis::PerUnit});
    return bill;
}

Bill BillFileTest::normBill()
{
    const QString norm = QStringLiteral("ГЭСН 06-01-001-01");
    const auto resource = [&norm](const char *code, const char *name, const char *unit,
                                  std::optional<double> amount, MaterialKind kind) {
        return material(QString::fromUtf8(name), QString::fromUtf8(unit), amount, kind, QString(),
                        norm, QString::fromUtf8(code));
    };
    Bill bill;
    bill.entries = {
        {QDateTime(QDate(2026, 12, 7), QTime(9, 20), Qt::UTC),
         norm,
         QStringLiteral("Объем работ, м3: 25"),
         {resource("1-100-20", "Затраты труда рабочих", "чел.-ч", 45, MaterialKind::Labour),
          resource("91.14.02-001", "Автомобили; до 5 т", "маш.-ч", 1.25, MaterialKind::Machine),
          resource("01.7.15.06-0111", "Бетон тяжелый, класс B7,5", "м3", 25.5, MaterialKind::Buy),
          resource("04.1.02.05-0003", "Смесь бетонная", "м3", std::nullopt, MaterialKind::Buy)},
         2},
        {QDateTime(QDate(2026, 12, 7), QTime(9, 25), Qt::UTC),
         norm,
         QStringLiteral("Объем работ, м3: 10"),
         {resource("01.7.15.06-0111", "Бетон тяжелый B7,5", "м3", 10.2, MaterialKind::Buy)}},
    };
    // The norm an entry came from, and a firm norm's version, come back with it.
    bill.entries[0].normCode = norm;
    bill.entries[1].normCode = QStringLiteral("ФН-06-01-001-01");
    bill.entries[1].normVersion = 2;
    bill.terms.insert({QStringLiteral("Бетон тяжелый, класс B7,5"), QStringLiteral("м3"),
                       QStringLiteral("01.7.15.06-0111")},
                      Terms{2, std::nullopt, 520000});
    return bill;
}

void BillFileTest::savedBillOpensEqual()
{
    for (const Bill &bill : {sampleBill(), normBill(), pricedBill(), estimateBill()}) {
        const QString path = m_folder->filePath(QStringLiteral("дом.merilon-bom"));
        QCOMPARE(billfile::write(bill, path), std::nullopt);
        const billfile::Reading reading = billfile::read(path);
        QCOMPARE(reading.failure, QString());
        QVERIFY(reading.bill);
        QVERIFY(*reading.bill == bill);
        // The terms keep the name they were saved under, besides the code that finds them.
        QCOMPARE(reading.bill->terms.firstKey().name, bill.terms.firstKey().name);
        // The file states what it is, so that a reader can refuse what it does not know.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("\"format\": \"merilon-bom\""));
        QVERIFY(bytes.contains("\"version\": 5"));
    }
}

void BillFileTest::figuresKeepEveryBit_data()
{
    QTest::addColumn<double>("quantity");
    QTest::newRow("0,1 + 0,2") << 0.1 + 0.2;
    QTest::newRow("largest double") << std::numeric_limits<double>::max();
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("negative") << -1234.5678901234567;
    QTest::newRow("third") << 1.0 / 3;
}

void BillFileTest::figuresKeepEveryBit()
{
    QFETCH(double, quantity);
    Bill bill;
    bill.entries = {{QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC),
                     QStringLiteral("w"),
                     QString(),
                     {material(QStringLiteral("м"), QStringLiteral("кг"), quantity)}}};
    const billfile::Reading reading = billfile::decode(billfile::encode(bill));
    QVERIFY(reading.bill);
    QCOMPARE(*reading.bill->entries[0].materials[0].quantity, quantity);
}

void BillFileTest::badFilesAreRefusedWithAReason_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = billfile::encode(sampleBill());
    const QByteArray head = "{\"format\": \"merilon-bom\", \"version\": 1, ";
    QTest::newRow("empty") << QByteArray() << "Файл пуст: в нем нет ведомости материалов.";
    QTest::newRow("only blanks") << QByteArray(" \n\t ")
                                 << "Файл пуст: в нем нет ведомости материалов.";
    QTest::newRow("truncated") << good.left(good.size() / 2)
                               << "Файл ведомости обрезан: он кончается раньше, чем ведомость.";
    QTest::newRow("damaged in the middle")
        << QByteArray(good).replace("\"entries\": [", "\"entries\": [}")
        << QStringLiteral("Файл ведомости поврежден: ошибка в байте %1 из %2.")
               .arg(good.indexOf("\"entries\": [") + 13)
               .arg(good.size() + 1);
    QTest::newRow("plain text") << QByteArray("Итоги расчета")
                                << "Это не файл ведомости материалов «Мерилон 3».";
    QTest::newRow("another JSON file")
        << QByteArray("{\"name\": \"x\"}") << "Это не файл ведомости материалов «Мерилон 3».";
    QTest::newRow("JSON array") << QByteArray("[1, 2]")
                                << "Это не файл ведомости материалов «Мерилон 3».";
    QTest::newRow("newer version")
        << QByteArray("{\"format\": \"merilon-bom\", \"version\": 6, \"entries\": []}")
        << "Ведомость сохранена более новой версией программы (формат 6), а эта версия "
           "открывает формат 5. Обновите программу, чтобы открыть файл.";
    QTest::newRow("a link to a unit that does not convert")
        << QByteArray(R"({"format": "merilon-bom", "version": 4, "entries": [], "links": [{"name":
           "Бетон", "unit": "м3", "code": "04.1.02.05-0006", "resourceName": "Смеси бетонные",
           "resourceUnit": "т"}]})")
        << "Файл ведомости поврежден: связь с ресурсом 1, поле «resourceUnit» — ожидалось "
           "единица материала или пересчитываемая в нее.";
    QTest::newRow("a price index of zero")
        << QByteArray(R"({"format": "merilon-bom", "version": 4, "entries": [], "priceIndex": 0})")
        << "Файл ведомости поврежден: ведомость, поле «priceIndex» — ожидалось число больше нуля.";
    // Version 2 knew no hours; such a kind there is not what the version meant.
    QTest::newRow("labour in a version 2 file")
        << QByteArray(R"({"format": "merilon-bom", "version": 2, "entries": [{"added":
           "2026-12-07T09:00:00Z", "work": "w", "inputs": "", "count": 1, "materials": [{"name":
           "Труд", "unit": "чел.-ч", "quantity": 2, "kind": "labour"}]}]})")
        << "Файл ведомости поврежден: запись 1, материал 1, поле «kind» — ожидалось «buy», "
           "«workVolume» или «composite».";
    QTest::newRow("code as a number")
        << QByteArray(R"({"format": "merilon-bom", "version": 3, "entries": [{"added":
           "2026-12-07T09:00:00Z", "work": "w", "inputs": "", "count": 1, "materials": [{"name":
           "Бетон", "unit": "м3", "quantity": 2, "kind": "buy", "code": 1}]}]})")
        << "Файл ведомости поврежден: запись 1, материал 1, поле «code» — ожидалось текст.";
    QTest::newRow("version as text")
        << QByteArray("{\"format\": \"merilon-bom\", \"version\": \"1\", \"entries\": []}")
        << "Файл ведомости поврежден: неизвестная версия формата.";
    QTest::newRow("version 0")
        << QByteArray("{\"format\": \"merilon-bom\", \"version\": 0, \"entries\": []}")
        << "Файл ведомости поврежден: неизвестная версия формата.";
    QTest::newRow("no entries") << head + "\"terms\": []}"
                                << "Файл ведомости поврежден: ведомость, поле «entries» — "
                                   "ожидалось список.";
    QTest::newRow("entry is a number") << head + "\"entries\": [5]}"
                                       << "Файл ведомости поврежден: запись 1 — ожидалось объект.";
    QTest::newRow("quantity as text")
        << head + "\"entries\": [{\"added\": \"2026-12-07T09:00:00Z\", \"work\": \"w\", "
                  "\"inputs\": \"\", \"materials\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"quantity\": \"1,5\"}]}]}"
        << "Файл ведомости поврежден: запись 1, материал 1, поле «quantity» — ожидалось число.";
    QTest::newRow("bad date")
        << head + "\"entries\": [{\"added\": \"вчера\", \"work\": \"w\", \"inputs\": \"\", "
                  "\"materials\": []}]}"
        << "Файл ведомости поврежден: запись 1, поле «added» — ожидалось дата и время.";
    QTest::newRow("work as a number")
        << head + "\"entries\": [{\"added\": \"2026-12-07T09:00:00Z\", \"work\": 3, "
                  "\"inputs\": \"\", \"materials\": []}]}"
        << "Файл ведомости поврежден: запись 1, поле «work» — ожидалось текст.";
    QTest::newRow("terms not a list") << head + "\"entries\": [], \"terms\": {}}"
                                      << "Файл ведомости поврежден: ведомость, поле «terms» — "
                                         "ожидалось список.";
    QTest::newRow("negative reserve")
        << head + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"reservePercent\": -1}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «reservePercent» — ожидалось "
           "число от 0 до 1000.";
    QTest::newRow("pack of zero")
        << head + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"reservePercent\": 0, \"packSize\": 0}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «packSize» — ожидалось число "
           "больше нуля.";
    QTest::newRow("price in fractions of a kopeck")
        << head + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"reservePercent\": 0, \"priceKopecks\": 10.5}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «priceKopecks» — ожидалось целое "
           "число копеек.";

    const QByteArray v2 = "{\"format\": \"merilon-bom\", \"version\": 2, ";
    const QByteArray entry = v2 + "\"entries\": [{\"added\": \"2026-12-07T09:00:00Z\", \"work\": "
                                  "\"w\", \"inputs\": \"\", ";
    QTest::newRow("count of none") << entry + "\"count\": 0, \"materials\": []}]}"
                                   << "Файл ведомости поврежден: запись 1, поле «count» — "
                                      "ожидалось целое число от 1 до 1000000.";
    QTest::newRow("norm version of none")
        << entry + "\"count\": 1, \"normVersion\": 0, \"materials\": []}]}"
        << "Файл ведомости поврежден: запись 1, поле «normVersion» — ожидалось целое число больше "
           "нуля.";
    QTest::newRow("manual as a word")
        << entry + "\"count\": 1, \"manual\": \"да\", \"materials\": []}]}"
        << "Файл ведомости поврежден: запись 1, поле «manual» — ожидалось «true» или «false».";
    QTest::newRow("unknown kind")
        << entry + "\"count\": 1, \"materials\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                   "\"kind\": \"material\"}]}]}"
        << "Файл ведомости поврежден: запись 1, материал 1, поле «kind» — ожидалось «buy», "
           "«workVolume» или «composite».";
    QTest::newRow("price basis left out")
        << v2 + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                "\"reservePercent\": 0, \"priceKopecks\": 100}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «priceBasis» — ожидалось «unit» "
           "или «pack».";
    QTest::newRow("a day the month has not")
        << v2 + "\"head\": {\"date\": \"2026-02-31\"}, \"entries\": []}"
        << "Файл ведомости поврежден: шапка, поле «date» — ожидалось дата вида ГГГГ-ММ-ДД.";
    QTest::newRow("date in day-month-year order")
        << v2 + "\"head\": {\"date\": \"07.12.2026\"}, \"entries\": []}"
        << "Файл ведомости поврежден: шапка, поле «date» — ожидалось дата вида ГГГГ-ММ-ДД.";
}

void BillFileTest::badFilesAreRefusedWithAReason()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = m_folder->filePath(QStringLiteral("плохой.merilon-bom"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const billfile::Reading reading = billfile::read(path);
    QCOMPARE(reading.failure, reason);
    QVERIFY(!reading.bill);
}

// A bill as the first version of the file held it: materials by their captions' names, without
// kinds or the units some captions lacked, and a price per pack whenever a pack size was typed.
const QByteArray kVersion1File = R"json({"format": "merilon-bom", "version": 1, "entries": [
  {"added": "2026-12-07T09:05:30.250Z", "work": "Кирпичная кладка 1,5 кирпича (380 мм.)",
   "inputs": "Длина стены по периметру 12 м", "materials": [
     {"name": "Объем кирпичной кладки", "unit": "м3", "quantity": 13.68},
     {"name": "Раствор", "unit": "м3", "quantity": 3.2148}]},
  {"added": "2026-12-07T09:07:00Z", "work": "Фундаменты под колонны", "inputs": "Длина 2 м",
   "materials": [{"name": "Щиты опалубки 25 мм.", "unit": "", "quantity": 4.8},
                 {"name": "Щиты опалубки 25 мм", "unit": "", "quantity": 1.2}]},
  {"added": "2026-12-07T09:08:00Z", "work": "Окраска поверхностей", "inputs": "Площадь 20 м2",
   "materials": [{"name": "Состав окрасочный", "unit": "кг", "quantity": 4},
                 {"name": "Сурик железный тертый", "unit": "кг", "quantity": 1.5},
                 {"name": "Гравий мытый", "unit": "т", "quantity": 2},
                 {"name": "Раствор", "unit": "кг", "quantity": 7},
                 {"name": "Доск 25-32 мм.", "unit": "м3", "quantity": 0.2}]}],
 "terms": [
  {"name": "Раствор", "unit": "м3", "reservePercent": 5, "packSize": 0.5, "priceKopecks": 420000},
  {"name": "Щиты опалубки 25 мм.", "unit": "", "reservePercent": 0, "priceKopecks": 35000},
  {"name": "Гравий мытый", "unit": "т", "reservePercent": 0, "priceKopecks": 0}]}
)json";

void BillFileTest::version1FileKeepsItsMeaning_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("partOf");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("priceBasis"); // -1: no terms
    const int buy = int(MaterialKind::Buy);
    const QString none;
    const QString masonry = QStringLiteral("Кирпичная кладка");
    const QString foundation = QStringLiteral("Фундаменты под колонны");
    const QString painting = QStringLiteral("Окраска поверхностей");
    QTest::newRow("volume of masonry is work, not bought")
        << 0 << 0 << "м3" << int(MaterialKind::WorkVolume) << none << masonry << -1;
    QTest::newRow("mortar in packs: price per pack")
        << 0 << 1 << "м3" << buy << none << masonry << int(PriceBasis::PerPack);
    QTest::newRow("panels and their terms gain the unit their caption lacked")
        << 1 << 0 << "м2" << buy << none << foundation << int(PriceBasis::PerUnit);
    // Both spellings are one material now, under one set of terms.
    QTest::newRow("panels by the page's own name are the same panels")
        << 1 << 1 << "м2" << buy << none << foundation << int(PriceBasis::PerUnit);
    QTest::newRow("paint mixture is a composite")
        << 2 << 0 << "кг" << int(MaterialKind::Composite) << none << painting << -1;
    QTest::newRow("red lead goes into the mixture")
        << 2 << 1 << "кг" << buy << QStringLiteral("Состав окрасочный") << painting << -1;
    // Free is a price too.
    QTest::newRow("a material no page knows stays as saved")
        << 2 << 2 << "т" << buy << none << none << int(PriceBasis::PerUnit);
    QTest::newRow("a page's name in another unit is another material")
        << 2 << 3 << "кг" << buy << none << none << -1;
    QTest::newRow("a misspelt caption finds its gates")
        << 2 << 4 << "м3" << buy << none << QStringLiteral("Деревянные ворота") << -1;
}

void BillFileTest::version1FileKeepsItsMeaning()
{
    QFETCH(int, entry);
    QFETCH(int, index);
    QFETCH(QString, unit);
    QFETCH(int, kind);
    QFETCH(QString, partOf);
    QFETCH(QString, source);
    QFETCH(int, priceBasis);
    const billfile::Reading reading = billfile::decode(kVersion1File);
    QCOMPARE(reading.failure, QString());
    const Material &material = reading.bill->entries.at(entry).materials.at(index);
    QCOMPARE(material.key.unit, unit);
    QCOMPARE(int(material.kind), kind);
    QCOMPARE(material.partOf, partOf);
    QCOMPARE(material.source, source);
    const auto terms = reading.bill->terms.constFind(material.key);
    QCOMPARE(terms == reading.bill->terms.cend() ? -1 : int(terms->priceBasis), priceBasis);
}

Bill BillFileTest::pricedBill()
{
    Bill bill = normBill();
    bill.priceIndex = 9.12;
    const QString concrete = QStringLiteral("01.7.15.06-0111");
    bill.terms.insert({QStringLiteral("Бетон тяжелый, класс B7,5"), QStringLiteral("м3"), concrete},
                      Terms{0, std::nullopt, 5588417, PriceBasis::PerUnit,
                            PriceOrigin{QStringLiteral("01.01.2022"), 9.12}});
    bill.entries.append({QDateTime(QDate(2026, 12, 7), QTime(9, 30), Qt::UTC),
                         QStringLiteral("Подстилающие слои"),
                         QString(),
                         {material(QStringLiteral("Бетон"), QStringLiteral("куб. метр"), 2.0)}});
    bill.links.insert({QStringLiteral("Бетон"), QStringLiteral("м3")},
                      ResourceLink{concrete, QStringLiteral("Бетон тяжелый, класс B7,5"),
                                   QStringLiteral("м3"), 1});
    return bill;
}

Bill BillFileTest::estimateBill()
{
    Bill bill = pricedBill();
    EstimateTerms terms;
    terms.guid = QStringLiteral("{0F8FAD5B-D9CB-469F-A165-70867728950E}");
    terms.number = QStringLiteral("02-01-01");
    terms.name = QStringLiteral("Фундаменты");
    terms.reason = QStringLiteral("Ведомость объемов работ № 02-01-01");
    terms.regionCode = 47;
    terms.regionName = QStringLiteral("Ленинградская область");
    terms.zoneCode = QStringLiteral("2");
    terms.zoneName = QStringLiteral("Зона 2");
    terms.priceList = {QStringLiteral("Ленинградская область"), QStringLiteral("Зона 2"), 2026, 3};
    terms.territory = Territory::Mprks;
    terms.legal = {{LegalAct::Role::Indexes, QStringLiteral("Письмо"),
                    QStringLiteral("Справочная информация"), QDate(2026, 8, 22), 393,
                    QStringLiteral("Письмо № 1-АЛ/09")}};
    terms.salaryAct = QStringLiteral("Распоряжение № 126");
    terms.prices = {{QStringLiteral("01.7.15.06-0111"), TypedPrice::Kind::Index, 1.125,
                     QStringLiteral("Счет № 12")}};
    terms.positions = {{1,
                        QStringLiteral("ГЭСН 06-01-001-01"),
                        QStringLiteral("Пр/812-006.0"),
                        {{QStringLiteral("Стесненные условия"), QStringLiteral("прил. 10"),
                          CoefficientTarget::MachinistHours, 1.15}},
                        {{QStringLiteral("04.1.02.05"), QStringLiteral("04.1.02.05-0006"),
                          QStringLiteral("Смесь"), QStringLiteral("м3"), 101.5}}}};
    bill.estimate = terms;
    return bill;
}

// A bill saved before materials were told apart by name: the roof's lower layer reappears, and
// the terms saved under the upper layer's name stay with it.
void BillFileTest::version3BillKeepsBothLayersAndTheirTerms_data()
{
    QTest::addColumn<QString>("termsName"); // the name the terms were saved under
    QTest::newRow("the upper layer's, the row's name then")
        << "Материалы рулонные кровельные для верхнего слоя";
    // The entry that named the row was removed before the save; the code found the terms.
    QTest::newRow("the name of an entry no longer in the bill") << "Рубероид";
}

void BillFileTest::version3BillKeepsBothLayersAndTheirTerms()
{
    QFETCH(QString, termsName);
    const QByteArray file = R"({"format": "merilon-bom", "version": 3,
        "entries": [{"added": "2026-12-07T09:00:00Z", "work": "ГЭСН 12-01-002-01", "inputs": "",
        "count": 1, "materials": [
          {"code": "12.1.02.06", "name": "Материалы рулонные кровельные для верхнего слоя",
           "unit": "м2", "quantity": 112, "kind": "buy"},
          {"code": "12.1.02.06", "name": "Материалы рулонные кровельные для нижних слоев",
           "unit": "м2", "quantity": 230, "kind": "buy"}]}],
        "terms": [{"code": "12.1.02.06", "name": "TERMS",
          "unit": "м2", "reservePercent": 10, "packSize": null, "priceKopecks": 15000,
          "priceBasis": "unit"}]})";
    const billfile::Reading reading = billfile::decode(
        QString::fromUtf8(file).replace(QStringLiteral("TERMS"), termsName).toUtf8());
    QCOMPARE(reading.failure, QString());
    QStringList rows;
    for (const Total &row : computeTotals(*reading.bill).rows) {
        const QStringList cells = billtexts::totalsCells(row, billtexts::MoneyForm::Plain);
        rows.append(cells.mid(0, 6).join(u'|') + u'|' + cells.at(billtexts::Sum));
    }
    QCOMPARE(rows,
             (QStringList{"Материалы рулонные кровельные для верхнего слоя|м2|112|10|123,2|"
                          "123,2|18480,00",
                          "Материалы рулонные кровельные для нижних слоев|м2|230|0|230|230|—"}));
}

void BillFileTest::catalogueOriginsComeBack()
{
    const QString path = m_folder->filePath(QStringLiteral("цены.merilon-bom"));
    QCOMPARE(billfile::write(pricedBill(), path), std::nullopt);
    const billfile::Reading reading = billfile::read(path);
    QCOMPARE(reading.failure, QString());
    QCOMPARE(reading.bill->priceIndex, std::optional<double>(9.12));
    const Totals totals = computeTotals(*reading.bill);
    // The page's concrete is in the norm's row, and the price says where it came from.
    QCOMPARE(totals.rows.size(), 2);
    QCOMPARE(billtexts::totalsCells(totals.rows.at(0)).at(billtexts::Quantity),
             QStringLiteral("53"));
    QCOMPARE(billtexts::priceOriginText(totals.rows.at(0).terms),
             QStringLiteral("ФСБЦ 01.01.2022 × 9,12"));
    QCOMPARE(billtexts::linkedText(totals.rows.at(0)), QStringLiteral("Бетон, м3"));
}

// A file written by hand may leave out what has a plain default.
void BillFileTest::version2OptionalFieldsMayBeMissing()
{
    const billfile::Reading reading = billfile::decode(R"({"format": "merilon-bom", "version": 2,
        "entries": [{"added": "2026-12-07T09:00:00Z", "work": "w", "inputs": "", "count": 3,
        "materials": [{"name": "Песок", "unit": "м3", "quantity": 2, "kind": "buy"}]}]})");
    QCOMPARE(reading.failure, QString());
    QVERIFY(reading.bill->entries.at(0).materials.at(0) ==
            material(QStringLiteral("Песок"), QStringLiteral("м3"), 2.0));
    QVERIFY(!reading.bill->entries.at(0).manual);
}

void BillFileTest::fileOfAHundredMegabytesIsRefusedUnread()
{
    const QString path = m_folder->filePath(QStringLiteral("огромный.merilon-bom"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(billfile::encode(sampleBill()).chopped(2)) > 0);
    QVERIFY(file.resize(100 * 1024 * 1024));
    file.close();
    QElapsedTimer timer;
    timer.start();
    const billfile::Reading reading = billfile::read(path);
    QCOMPARE(reading.failure,
             QStringLiteral("Файл слишком велик для ведомости материалов (больше 64 МБ)."));
    QVERIFY(timer.elapsed() < 1000);
}

void BillFileTest::failedSaveKeepsThePreviousFile()
{
    const QString path = m_folder->filePath(QStringLiteral("дом.merilon-bom"));
    QCOMPARE(billfile::write(sampleBill(), path), std::nullopt);
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    const QByteArray before = previous.readAll();
    previous.close();
    Bill changed = sampleBill();
    changed.entries.append(changed.entries);

#ifdef Q_OS_UNIX
    // The disk runs out of room halfway: a file size limit stops the write, even for root.
    struct rlimit limit;
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const struct rlimit small = {rlim_t(before.size() / 2), limit.rlim_max};
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    const std::optional<QString> failure = billfile::write(changed, path);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, oldHandler);
    QCOMPARE(failure, QStringLiteral("Ведомость не сохранена: ошибка записи в файл «%1» (нет места "
                                     "на диске?). Прежний файл не изменен.")
                          .arg(path));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), before);
    previous.close();
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("дом.merilon-bom")});
#endif

    // A file the user has marked read-only stays as it is.
    QVERIFY(previous.setPermissions(QFile::ReadOwner | QFile::ReadGroup));
    QCOMPARE(billfile::write(changed, path),
             QStringLiteral("Ведомость не сохранена: файл «%1» защищен от записи.").arg(path));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), before);
}

void BillFileTest::saveIntoAMissingFolderSaysSo()
{
    const QString path = m_folder->filePath(QStringLiteral("нет/дом.merilon-bom"));
    QCOMPARE(billfile::write(sampleBill(), path),
             QStringLiteral("Ведомость не сохранена: нет папки «%1».")
                 .arg(m_folder->filePath(QStringLiteral("нет"))));
}

void BillFileTest::csvIsExactToTheByte()
{
    const Bill bill = sampleBill();
    const QByteArray csv = billcsv::encode(bill, computeTotals(bill));
    // Moscow time: the entries were added from 09:05 to 09:10 UTC. Bricks: 5392,08 + 2,5 % makes
    // 5527 whole bricks at 18,50; mortar: (3,2148 + 12 × 0,1) + 5 % fills 10 packs of 0,5 at
    // 4200,00 a pack. The grease has no rate, the work volume and the mixture are not bought.
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "Объект;\"Жилой дом; секция 2\"\r\n"
        "Заказчик;\"ООО \"\"Заря\"\"\"\r\n"
        "Адрес;Тверь, ул. Мира, 5\r\n"
        "Составил;Петров П. П.\r\n"
        "Дата;07.12.2026\r\n"
        "\r\n"
        "Материал;Ед.;Количество;Запас, %;С запасом;К закупке;Фасовка;Упаковок;Цена за ед., руб.;"
        "Цена упаковки, руб.;Сумма, руб.\r\n"
        "Кирпич глиняный обыкновенный;шт.;5392,08;2,5;5526,88;5527;250;23;18,50;;102249,50\r\n"
        "Раствор;м3;4,4148;5;4,63554;4,636;0,5;10;;4200,00;42000,00\r\n"
        "Сурик железный тертый;кг;1,5;0;1,5;1,5;;;;;—\r\n"
        "Гвозди;кг;2,5;0;2,5;2,5;;;;;—\r\n"
        "Итого: 144249,50 руб. (без цены: 2)\r\n"
        "без нормы: 1\r\n"
        "\r\n"
        "Добавлено;Работа;Кол-во;Условия;Примечание;Материал;Ед.;Количество;Вид\r\n"
        "07.12.2026 12:05;Кирпичная кладка 1,5 кирпича (380 мм.);1;\"Длина 12 м; высота 3 м\";"
        "стены первого этажа;Объем кирпичной кладки;м3;13,68;объем работ\r\n"
        "07.12.2026 12:05;Кирпичная кладка 1,5 кирпича (380 мм.);1;\"Длина 12 м; высота 3 м\";"
        "стены первого этажа;Кирпич глиняный обыкновенный;шт.;5392,08;\r\n"
        "07.12.2026 12:05;Кирпичная кладка 1,5 кирпича (380 мм.);1;\"Длина 12 м; высота 3 м\";"
        "стены первого этажа;Раствор;м3;3,2148;\r\n"
        "07.12.2026 12:07;\"Фундаменты; \"\"под колонны\"\"\";12;Длина 2 м;;Смазка;кг;—;\r\n"
        "07.12.2026 12:07;\"Фундаменты; \"\"под колонны\"\"\";12;Длина 2 м;;Раствор;м3;0,1;\r\n"
        "07.12.2026 12:08;Окраска поверхностей;1;Площадь 20 м2;;Состав окрасочный;кг;4;состав\r\n"
        "07.12.2026 12:08;Окраска поверхностей;1;Площадь 20 м2;;Сурик железный тертый;кг;1,5;"
        "в составе «Состав окрасочный»\r\n"
        "07.12.2026 12:10;Материал, добавленный вручную;1;;на леса;Гвозди;кг;2,5;\r\n";
    QCOMPARE(csv, expected);
}

void BillFileTest::csvOfANormHasCodesAndHours()
{
    const Bill bill = normBill();
    // Concrete under two names is two rows: 25,5 × 2 = 51 m3, + 2 % = 52,02 at 5200,00; and 10,2.
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "Код;Материал;Ед.;Количество;Запас, %;С запасом;К закупке;Фасовка;Упаковок;"
        "Цена за ед., руб.;Цена упаковки, руб.;Сумма, руб.\r\n"
        "01.7.15.06-0111;Бетон тяжелый, класс B7,5;м3;51;2;52,02;52,02;;;5200,00;;270504,00\r\n"
        "01.7.15.06-0111;Бетон тяжелый B7,5;м3;10,2;0;10,2;10,2;;;;;—\r\n"
        "Итого: 270504,00 руб. (без цены: 1)\r\nбез нормы: 1\r\n\r\n"
        "Затраты труда и машин\r\n"
        "Код;Наименование;Ед.;Количество\r\n"
        "1-100-20;Затраты труда рабочих;чел.-ч;90\r\n"
        "91.14.02-001;\"Автомобили; до 5 т\";маш.-ч;2,5\r\n"
        "Затраты труда, чел.-ч: 90\r\nМашины, маш.-ч: 2,5\r\n"
        "Всего по ведомости: 270504,00 руб. (без цены: 2)\r\n\r\n"
        "Добавлено;Работа;Кол-во;Условия;Примечание;Код;Материал;Ед.;Количество;Вид\r\n"
        "07.12.2026 12:20;ГЭСН 06-01-001-01;2;Объем работ, м3: 25;;1-100-20;Затраты труда рабочих;"
        "чел.-ч;45;труд\r\n"
        "07.12.2026 12:20;ГЭСН 06-01-001-01;2;Объем работ, м3: 25;;91.14.02-001;"
        "\"Автомобили; до 5 т\";маш.-ч;1,25;машины\r\n"
        "07.12.2026 12:20;ГЭСН 06-01-001-01;2;Объем работ, м3: 25;;01.7.15.06-0111;"
        "Бетон тяжелый, класс B7,5;м3;25,5;\r\n"
        "07.12.2026 12:20;ГЭСН 06-01-001-01;2;Объем работ, м3: 25;;04.1.02.05-0003;Смесь бетонная;"
        "м3;—;\r\n"
        "07.12.2026 12:25;ГЭСН 06-01-001-01;1;Объем работ, м3: 10;;01.7.15.06-0111;"
        "Бетон тяжелый B7,5;м3;10,2;\r\n";
    QCOMPARE(billcsv::encode(bill, computeTotals(bill)), expected);
}

QTEST_GUILESS_MAIN(BillFileTest)
#include "tst_billfile.moc"

// The local estimate of a bill priced from a norm base and a region's price list as published:
// each figure worked out by hand from the fixture's codes and numbers, which are our own.

#include "earlierschema.h"
#include "estimatecompute.h"
#include "normimport.h"
#include "priceimport.h"
#include "splitform.h"
#include "sqlite.h"
#include "subjects.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString collection(const QString &prefix, const QString &works)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<base BaseName=\"Нормы\" "
                          "BaseType=\"ГЭСН\" PriceLevel=\"01.01.2022\"><ResourcesDirectory>"
                          "<ResourceCategory Type=\"СТРОИТЕЛЬНЫЕ РАБОТЫ\" CodePrefix=\"%1\">"
                          "<Section Name=\"Сборник\" Type=\"Сборник\" Code=\"06\"><Section "
                          "Name=\"Таблица\" Type=\"Таблица\" Code=\"06-01-001\">%2</Section>"
                          "</Section></ResourceCategory></ResourcesDirectory></base>\n")
        .arg(prefix, works);
}

QString catalogue(const QString &type, const QString &resources)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ResourceCatalog><Decrees "
                          "ApprovingActNumber=\"7/пр\" ApprovingActDate=\"02.03.2025\"/>"
                          "<ResourcesDirectory><ResourceCategory Type=\"%1\"><Section Name=\"Р\" "
                          "Code=\"91\" Type=\"Книга\">%2</Section></ResourceCategory>"
                          "</ResourcesDirectory></ResourceCatalog>\n")
        .arg(type, resources);
}

// Monolithic concrete with two machines and a mix «по проекту»; one without its НР and СП.
const QString kBuilding = QStringLiteral(R"(
<Work Code="06-01-001-01" EndName="Бетонирование плит" MeasureUnit="100 м3"><Resources>
 <Resource Code="1-100-32" EndName="Средний разряд работы 3,2" Quantity="180"/>
 <Resource Code="2" Quantity="12"/>
 <Resource Code="91.05.01-017" EndName="Краны башенные, 8 т" Quantity="10"/>
 <Resource Code="91.14.02-001" EndName="Автомобили бортовые, до 5 т" Quantity="2"/>
 <Resource Code="01.7.15.06-0111" EndName="Бетон тяжелый, класс B15" MeasureUnit="м3" Quantity="102"/>
 <Resource Code="04.1.02.05" EndName="Смеси бетонные" MeasureUnit="м3" Quantity="П"/>
</Resources><NrSp><ReasonItem Nr="Пр/812-006.0" Sp="Пр/774-006.0"/></NrSp></Work>
<Work Code="06-01-002-01" EndName="Подготовка основания" MeasureUnit="100 м3"><Resources>
 <Resource Code="1-100-32" EndName="Средний разряд работы 3,2" Quantity="10"/>
</Resources></Work>)");

// Mounting: the labour total «1» with its grades, two references to choose from.
const QString kMounting = QStringLiteral(R"(
<Work Code="08-02-001-01" EndName="Изоляция трубопроводов" MeasureUnit="1 т"><Resources>
 <Resource Code="1" Quantity="40"/>
 <Resource Code="2-100-40" EndName="Рабочий 4 разряда" Quantity="30"/>
 <Resource Code="3-100-50" EndName="Инженер 5 категории" Quantity="10"/>
</Resources><NrSp><ReasonItem Nr="Пр/812-020.0" Sp="Пр/774-020.0"/>
<ReasonItem Nr="Пр/812-021.1" Sp="Пр/774-021.1"/></NrSp></Work>)");

// Commissioning: an engineer's hours under the labour total «1».
const QString kCommissioning = QStringLiteral(R"(
<Work Code="01-01-001-01" EndName="Наладка системы" MeasureUnit="1 система"><Resources>
 <Resource Code="1" Quantity="8"/>
 <Resource Code="3-100-50" EndName="Инженер 5 категории" Quantity="8"/>
</Resources><NrSp><ReasonItem Nr="Пр/812-083.0" Sp="Пр/774-083.0"/></NrSp></Work>)");

const QString kMachines = QStringLiteral(R"(
<Resource Code="91.05.01-017" Name="Краны башенные, 8 т"><Prices><Price SalaryMach="420.10"
 LabourMach="1" PriceCostWithoutSalary="812.30" DriverCode="4-100-060" MachinistCategory="6.0"/></Prices></Resource>
<Resource Code="91.14.02-001" Name="Автомобили бортовые, до 5 т"><Prices><Price SalaryMach="300"
 LabourMach="1" PriceCostWithoutSalary="700" DriverCode="4-100-040" MachinistCategory="4.0"/></Prices></Resource>)");

const QString kMaterials = QStringLiteral(R"(
<Resource Code="01.7.15.06-0111" Name="Бетон тяжелый, класс B15" MeasureUnit="м3"><Prices><Price Cost="5310.40"/></Prices></Resource>
<Resource Code="04.1.02.05-0006" Name="Смесь бетонная B15" MeasureUnit="м3"><Prices><Price Cost="5210.40"/></Prices></Resource>)");

splitform::Form moscow()
{
    splitform::Form form;
    form.resources = {
        {"1-100-32", "Средний разряд работы 3,2", "чел.-ч", "", "", "", "", "700,50", ""},
        {"2-100-40", "Рабочий 4 разряда", "чел.-ч", "", "", "", "", "650", ""},
        {"3-100-50", "Инженер 5 категории", "чел.-ч", "", "", "", "", "900", ""},
        {"4-100-060", "Средний разряд машинистов 6,0", "чел.-ч", "", "", "", "", "982,04", ""},
        {"4-100-040", "Средний разряд машинистов 4,0", "чел.-ч", "", "", "", "", "850", ""},
        {"Машины и механизмы"},
        {"91.05.01-017", "Краны башенные, 8 т", "маш.-ч", "", "812.30", "91.05.01", "Краны",
         "1 036,96", "1,2766"},
        {"91.14.02-001", "Автомобили бортовые", "маш.-ч", "", "812,30", "91.14.02", "Автомобили",
         "-", "1,2766"},
        {"ФСБЦ-01.7.15.06-0111", "Бетон тяжелый, класс B15", "м3", "5 120,00", "5 310,40",
         "01.7.15.06", "Бетоны", "-", "1,1250"},
        {"04.1.02.05-0006", "Смесь бетонная B15", "м3", "", "5 210,40", "04.1.02.05", "Смеси",
         "6 040,00", "1,16"}};
    return form;
}

QString money(double value)
{
    return QString::number(value, 'f', 2);
}

const lsr::Position *positionOf(const lsr::Estimate &estimate, int num)
{
    for (const lsr::Section &section : estimate.sections)
        for (const lsr::Position &position : section.positions)
            if (position.num == num)
                return &position;
    return nullptr;
}

// A figure as the test names it: «1.ЭМ» of position 1, «1/91.14.02-001» the how of its line,
// «пробел 2» the gaps of position 2, «раздел 1» and «смета» the totals.
QString figure(const lsr::Estimate &estimate, const QString &name)
{
    if (name.startsWith(u"раздел "))
        return money(estimate.sections.value(name.mid(7).toInt() - 1).totals.all.price);
    if (name == u"смета")
        return money(estimate.totals.total);
    if (name == u"прочие")
        return money(estimate.totals.other.price);
    const QStringList parts = name.split(name.contains(u'/') ? u'/' : u'.');
    const lsr::Position *position = positionOf(estimate, name.mid(7).toInt());
    if (name.startsWith(u"пробел ")) {
        QStringList texts;
        for (const lsr::Gap &gap : estimate.gaps)
            if (gap.section >= 0 &&
                &estimate.sections.at(gap.section).positions.at(gap.position) == position)
                texts.append(gap.text);
        return texts.join(u'\n');
    }
    position = positionOf(estimate, parts.first().toInt());
    if (!position)
        return QStringLiteral("нет позиции");
    if (name.contains(u'/')) {
        for (const lsr::Line &line : position->lines)
            if (line.code == parts.last())
                return line.how;
        return QStringLiteral("нет строки");
    }
    const auto charge = [](const std::optional<lsr::Charge> &charge) {
        return charge ? QStringLiteral("%1 %2 % %3")
                            .arg(charge->reason, QString::number(charge->percent),
                                 money(charge->amount))
                      : QStringLiteral("нет");
    };
    const QHash<QString, QString> figures{
        {QStringLiteral("ОТ"), money(position->workers)},
        {QStringLiteral("ЭМ"), money(position->machines)},
        {QStringLiteral("ОТм"), money(position->machinists)},
        {QStringLiteral("ПЗ"), money(position->direct)},
        {QStringLiteral("ФОТ"), money(position->salary)},
        {QStringLiteral("ЗТ"), QString::number(position->labourHours)},
        {QStringLiteral("НР"), charge(position->overhead)},
        {QStringLiteral("СП"), charge(position->profit)},
        {QStringLiteral("ВСЕГО"), position->totalHow},
        {QStringLiteral("Итого"), money(position->total)}};
    return figures.value(parts.last());
}

} // namespace

class EstimateComputeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void figuresOfTheEstimate_data();
    void figuresOfTheEstimate();
    void pricingRefusesWithAReason_data();
    void pricingRefusesWithAReason();
    void newEstimateTakesTheBillAndTheList_data();
    void newEstimateTakesTheBillAndTheList();
    void subjectsAreFoundAsListsWriteThem_data();
    void subjectsAreFoundAsListsWriteThem();

private:
    QString base(bool earlierList);
    bom::Bill bill() const;

    QTemporaryDir m_dir;
};

void EstimateComputeTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

// The norm base with the list imported into it; an earlier list has no base prices and
// indexes, as the program before kept it.
QString EstimateComputeTest::base(bool earlierList)
{
    const QString path = m_dir.filePath(earlierList ? "earlier.db" : "norms.db");
    QFile::remove(path);
    const QList<std::pair<QString, QString>> files{
        {"ГЭСН.xml", collection("ГЭСН", kBuilding)},
        {"ГЭСНм.xml", collection("ГЭСНм", kMounting)},
        {"ГЭСНп.xml", collection("ГЭСНп", kCommissioning)},
        {"ФСБЦ_Маш.xml", catalogue("МашиныМеханизмы", kMachines)},
        {"ФСБЦ_Мат.xml", catalogue("Материал", kMaterials)}};
    QStringList paths;
    for (const auto &[name, text] : files) {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) <= 0)
            qFatal("cannot write the fixture");
        paths.append(file.fileName());
    }
    if (norms::importFiles(path, paths).outcome != norms::ImportResult::Outcome::Imported)
        qFatal("the fixture's norms do not import");
    const QString list = m_dir.filePath("Москва.csv");
    splitform::writeCsv(list, moscow(), u',', false);
    if (norms::importPriceLists(path, {list}).outcome !=
        norms::PriceImportResult::Outcome::Imported)
        qFatal("the fixture's list does not import");
    if (earlierList) {
        norms::sql::Connection earlier(path);
        earlier.execute(kUndoCodeIndex);
        earlier.execute("ALTER TABLE resource_prices DROP COLUMN base_price; ALTER TABLE "
                        "resource_prices DROP COLUMN price_index; PRAGMA user_version = 7");
    }
    return path;
}

// Section 1: the concrete (37 м3) and its base (100 м3); section 2: insulation, 2,5 т.
bom::Bill EstimateComputeTest::bill() const
{
    bom::Bill bill;
    bill.head.number = QStringLiteral("02-01-01");
    bill.head.object = QStringLiteral("Жилой дом");
    bill.head.compiledBy = QStringLiteral("Петров П. П.");
    bill.head.checkedBy = QStringLiteral("Иванов И. И.");
    bill.sections.append({QStringLiteral("Изоляция")});
    const auto entry = [](const char *norm, double volume, int section) {
        bom::Entry made;
        made.normCode = QString::fromUtf8(norm);
        made.volume = {QStringLiteral("м3"), volume, bom::formulaNumber(volume)};
        made.section = section;
        return made;
    };
    bill.entries = {entry("ГЭСН 06-01-001-01", 37, 0), entry("ГЭСНм 08-02-001-01", 2.5, 1),
                    entry("ГЭСН 06-01-002-01", 100, 0)};
    bom::EstimateTerms terms =
        lsr::defaultTerms(bill, norms::PriceListTitle{"г. Москва", "г. Москва", 2026, 2});
    terms.positions = {
        {0, "ГЭСН 06-01-001-01", {}, {}, {{"04.1.02.05", "04.1.02.05-0006", "Смесь", "м3", 101.5}}},
        {1, "ГЭСНм 08-02-001-01", "Пр/812-021.1", {}, {}}};
    bill.estimate = terms;
    return bill;
}

void EstimateComputeTest::figuresOfTheEstimate_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("figure");
    QTest::addColumn<QString>("expected");
    // 3,7 маш.-ч × 1 036,96 + 3,7 × 982,04 + 0,74 × 1 036,98 + 0,74 × 850,00.
    QTest::newRow("machines with their machinists once") << ""
                                                         << "1.ЭМ"
                                                         << "8866.67";
    QTest::newRow("machinists inside ЭМ") << ""
                                          << "1.ОТм"
                                          << "4262.55";
    QTest::newRow("direct costs count machinists once") << ""
                                                        << "1.ПЗ"
                                                        << "507818.48";
    QTest::newRow("wage fund: workers and machinists") << ""
                                                       << "1.ФОТ"
                                                       << "50915.85";
    QTest::newRow("НР of an ordinary territory") << ""
                                                 << "1.НР"
                                                 << "Пр/812-006.0-1 102 % 51934.17";
    QTest::newRow("НР of the Far North from its column") << "РКС"
                                                         << "1.НР"
                                                         << "Пр/812-006.0-3 107 % 54479.96";
    QTest::newRow("СП") << ""
                        << "1.СП"
                        << "Пр/774-006.0 58 % 29531.19";
    QTest::newRow("position total") << ""
                                    << "1.ВСЕГО"
                                    << "589 283,84 = ПЗ 507 818,48 + НР 51 934,17 + СП 29 531,19";
    QTest::newRow("machinist under his machine") << ""
                                                 << "1/4-100-060"
                                                 << "3 633,55 = 3,7 × 982,04";
    QTest::newRow("indexed price with its index")
        << ""
        << "1/91.14.02-001"
        << "767,37 = 0,74 × 1 036,98; цена 1 036,98 = 812,30 × 1,2766";
    QTest::newRow("list imported before reads as then") << "ранний список"
                                                        << "1/91.14.02-001"
                                                        << "767,37 = 0,74 × 1 036,98";
    QTest::newRow("design choice priced") << ""
                                          << "1/04.1.02.05-0006"
                                          << "226 832,20 = 37,555 × 6 040,00";
    QTest::newRow("typed price kept over the list") << "цена"
                                                    << "1/01.7.15.06-0111"
                                                    << "226 440,00 = 37,74 × 6 000,00";
    QTest::newRow("typed index of the catalogue's base")
        << "индекс"
        << "1/04.1.02.05-0006"
        << "293 505,09 = 37,555 × 7 815,34; цена 7 815,34 = 5 210,40 × 1,49995";
    QTest::newRow("ЗТ multiplies the workers' hours") << "ЗТ"
                                                      << "1/1-100-32"
                                                      << "55 983,96 = 79,92 × 700,50";
    QTest::newRow("norm gone from the base is a gap")
        << "ушедшая норма"
        << "пробел 2"
        << "Позиция 2 (ГЭСН 06-01-009-01): нормы «ГЭСН 06-01-009-01» нет в базе норм; загрузите "
           "ее сборник или замените норму";
    QTest::newRow("labour total not priced with its grades") << ""
                                                             << "3.ОТ"
                                                             << "71250.00";
    QTest::newRow("labour hours counted once") << ""
                                               << "3.ЗТ"
                                               << "100";
    QTest::newRow("picked reference") << ""
                                      << "3.НР"
                                      << "Пр/812-021.1-1 113 % 80512.50";
    QTest::newRow("section sums its positions") << ""
                                                << "раздел 1"
                                                << "596288.84";
    QTest::newRow("estimate sums building and mounting") << ""
                                                         << "смета"
                                                         << "802913.84";
    QTest::newRow("priced position without gaps") << ""
                                                  << "пробел 1"
                                                  << "";
    // Two systems commissioned: 2 × 8 чел.-ч × 900,00; НР 74 %, СП 36 % of it.
    QTest::newRow("commissioning summed as other works") << "пусконаладка"
                                                         << "прочие"
                                                         << "30240.00";
    QTest::newRow("commissioning's НР of its item") << "пусконаладка"
                                                    << "4.НР"
                                                    << "Пр/812-083.0-1 74 % 10656.00";
    // A page's 4 м3 linked to the concrete of the list: 4 × 5 310,40 × 1,125.
    QTest::newRow("a page's linked material a position of its own") << "пусконаладка"
                                                                    << "5.Итого"
                                                                    << "23896.80";
    QTest::newRow("norm without НР and СП is a gap")
        << ""
        << "пробел 2"
        << "Позиция 2 (ГЭСН 06-01-002-01): у нормы нет норматива накладных расходов и сметной "
           "прибыли; загрузите ее сборник заново";
    QTest::newRow("several references without a pick are a gap")
        << "без выбора"
        << "пробел 3"
        << "Позиция 3 (ГЭСНм 08-02-001-01): у нормы несколько нормативов НР и СП (Пр/812-020.0, "
           "Пр/812-021.1): выберите один";
}

void EstimateComputeTest::figuresOfTheEstimate()
{
    QFETCH(QString, change);
    QFETCH(QString, figure);
    QFETCH(QString, expected);
    bom::Bill priced = bill();
    bom::EstimateTerms &terms = *priced.estimate;
    if (change == u"РКС")
        terms.territory = bom::Territory::Rks;
    if (change == u"цена")
        terms.prices = {{"01.7.15.06-0111", bom::TypedPrice::Kind::Current, 6000, "Счет № 12"}};
    if (change == u"индекс")
        terms.prices = {{"04.1.02.05-0006", bom::TypedPrice::Kind::Index, 1.49995, "Письмо"}};
    if (change == u"ЗТ")
        terms.positions[0].coefficients = {
            {"Стесненные условия", "прил. 10", bom::CoefficientTarget::LabourHours, 1.2}};
    if (change == u"ушедшая норма")
        priced.entries[2].normCode = QStringLiteral("ГЭСН 06-01-009-01");
    if (change == u"без выбора")
        terms.positions[1].overheadReason.clear();
    if (change == u"пусконаладка") {
        bom::Entry commissioning;
        commissioning.normCode = QStringLiteral("ГЭСНп 01-01-001-01");
        commissioning.volume = {QStringLiteral("система"), 2, QStringLiteral("2")};
        commissioning.section = 1;
        bom::Entry page;
        page.work = QStringLiteral("Фундамент ленточный");
        page.materials = {bom::material(QStringLiteral("Бетон"), QStringLiteral("м3"), 4)};
        page.section = 1;
        priced.links[page.materials.front().key] = {QStringLiteral("01.7.15.06-0111"),
                                                    QStringLiteral("Бетон тяжелый, класс B15"),
                                                    QStringLiteral("м3"), 1};
        priced.entries << commissioning << page;
    }
    norms::NormDatabase::Opened opened =
        norms::NormDatabase::open(base(change == u"ранний список"));
    QVERIFY2(opened.database, qPrintable(opened.refusal));
    const lsr::Pricing pricing = lsr::loadPricing(*opened.database, priced);
    QCOMPARE(pricing.failure, QString());
    const lsr::Estimate estimate = lsr::compute(priced, pricing);
    QCOMPARE(::figure(estimate, figure).replace(QChar(0x00A0), u' '), expected);
}

void EstimateComputeTest::pricingRefusesWithAReason_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("failure");
    QTest::newRow("no list chosen") << "без списка"
                                    << "Не выбран список цен региона: выберите сплит-форму "
                                       "квартала, по которой считается смета.";
    QTest::newRow("list not in the base") << "другой квартал"
                                          << "Списка цен «Москва, 3 кв. 2026» нет в базе норм: "
                                             "загрузите его сплит-форму («Нормы» → «Загрузить "
                                             "цены региона») или выберите другой.";
    QTest::newRow("list of another region")
        << "другой регион"
        << "Список цен «Москва, 2 кв. 2026» — цены региона 77 «г. Москва», а смета составляется "
           "для региона 47 «Ленинградская область»: выберите список цен своего региона.";
}

void EstimateComputeTest::pricingRefusesWithAReason()
{
    QFETCH(QString, change);
    QFETCH(QString, failure);
    bom::Bill priced = bill();
    bom::EstimateTerms &terms = *priced.estimate;
    if (change == u"без списка")
        terms.priceList = {};
    if (change == u"другой квартал")
        terms.priceList.quarter = 3;
    if (change == u"другой регион")
        terms.regionName = lsr::subjectName(terms.regionCode = 47);
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(base(false));
    const lsr::Pricing pricing = lsr::loadPricing(*opened.database, priced);
    QCOMPARE(pricing.failure, failure);
    // The estimate says it before anything else, and still shows its positions.
    const lsr::Estimate estimate = lsr::compute(priced, pricing);
    QCOMPARE(estimate.gaps.value(0).text, failure);
    QCOMPARE(estimate.sections.size(), 2);
}

void EstimateComputeTest::newEstimateTakesTheBillAndTheList_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("basis from the bill's number") << "basis"
                                                  << "Ведомость объемов работ № 02-01-01";
    QTest::newRow("region of the list's subject") << "region"
                                                  << "47 Ленинградская область";
    QTest::newRow("the quarter's letter of indexes")
        << "indexes"
        << "Сплит-форма индексов и сметных цен для ценовой зоны Ленинградская область на 3 "
           "квартал 2025 года";
    QTest::newRow("norm base in the register")
        << "main"
        << "Приказ Минстроя России от 30.12.2021 № 1046/пр, 535";
}

void EstimateComputeTest::newEstimateTakesTheBillAndTheList()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const bom::EstimateTerms terms = lsr::defaultTerms(
        bill(), norms::PriceListTitle{"Ленинградская область", "Ленинградская область", 2025, 3});
    const auto act = [&terms](bom::LegalAct::Role role) {
        for (const bom::LegalAct &legal : terms.legal)
            if (legal.role == role)
                return legal;
        return bom::LegalAct();
    };
    const QHash<QString, QString> fields{
        {"basis", terms.reason},
        {"region", QString::number(terms.regionCode) + u' ' + terms.regionName},
        {"indexes", act(bom::LegalAct::Role::Indexes).name},
        {"main", act(bom::LegalAct::Role::Main).name + QStringLiteral(", ") +
                     QString::number(act(bom::LegalAct::Role::Main).registerNumber)}};
    QCOMPARE(fields.value(field), expected);
}

void EstimateComputeTest::subjectsAreFoundAsListsWriteThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("a city with «г.»") << "г. Москва" << 77;
    QTest::newRow("a city as «город»") << "Город Санкт-Петербург" << 78;
    QTest::newRow("a city without either") << "Севастополь" << 92;
    QTest::newRow("upper case") << "ЛЕНИНГРАДСКАЯ ОБЛАСТЬ" << 47;
    QTest::newRow("a long dash") << "Кемеровская область — Кузбасс" << 42;
    QTest::newRow("without the bracket") << "Республика Татарстан" << 16;
    QTest::newRow("not a subject") << "Московская зона 2" << -1;
}

void EstimateComputeTest::subjectsAreFoundAsListsWriteThem()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(lsr::subjectCode(name).value_or(-1), code);
}

QTEST_GUILESS_MAIN(EstimateComputeTest)
#include "tst_estimatecompute.moc"

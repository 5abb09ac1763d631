#include "estimatecompute.h"
#include "lsrfile.h"
#include "lsrfixture.h"
#include "lsrform.h"
#include "normimport.h"
#include "priceimport.h"
#include "schemacheck.h"
#include "splitform.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

using namespace lsr;
using lsrfixture::wholeEstimate;

namespace {

const QString kFixtures = QStringLiteral(MERILON_LSR_FIXTURES);
const QString kSchema = kFixtures + QStringLiteral("/LocalEstimateResourceIndexMethod-3_01.xsd");
const QString kExample = kFixtures + QStringLiteral("/example-lsr.gge");

// The percentages of the orders' tables for the items the fixture uses: 812/пр, by territory,
// and 774/пр.
const QHash<QString, double> kRates = {
    {QStringLiteral("Пр/812-006.0-1"), 102}, {QStringLiteral("Пр/812-006.0-2"), 103},
    {QStringLiteral("Пр/812-001.1-1"), 92},  {QStringLiteral("Пр/812-083.0-1"), 74},
    {QStringLiteral("Пр/774-006.0"), 58},    {QStringLiteral("Пр/774-001.1"), 46},
    {QStringLiteral("Пр/774-083.0"), 36}};

QString validate(const QString &file)
{
    return schemaProblems(kSchema, kSchema, file);
}

// The file as the test reads it: elements with their text.
struct Element
{
    QString name;
    QString text;
    QList<Element> children;

    QList<const Element *> all(const QString &wanted) const
    {
        QList<const Element *> found;
        for (const Element &child : children) {
            if (child.name == wanted)
                found.append(&child);
        }
        return found;
    }
    const Element *at(const QString &path) const
    {
        const Element *node = this;
        for (const QString &name : path.split(u'/')) {
            const QList<const Element *> found = node->all(name);
            if (found.isEmpty())
                return nullptr;
            node = found.first();
        }
        return node;
    }
    double number(const QString &path) const
    {
        const Element *node = at(path);
        return node ? node->text.toDouble() : 0;
    }
};

Element parse(QXmlStreamReader &xml)
{
    Element element{xml.name().toString(), {}, {}};
    while (xml.readNext() != QXmlStreamReader::EndElement && !xml.atEnd()) {
        if (xml.isStartElement())
            element.children.append(parse(xml));
        else if (xml.isCharacters())
            element.text += xml.text();
    }
    return element;
}

Element parse(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    xml.readNextStartElement();
    return parse(xml);
}

qint64 kopecks(double roubles)
{
    return std::llround(roubles * 100);
}

double round2(double value)
{
    return std::round(value * 100) / 100;
}

double round7(double value)
{
    return std::round(value * 1e7) / 1e7;
}

// The file's figures summed again from its own lines; each disagreement said.
class Sums
{
public:
    QStringList problems;

    void estimate(const Element &root)
    {
        const Element *estimate = root.at(QStringLiteral("Object/Estimate"));
        QHash<QString, double> whole;
        for (const Element *section :
             estimate->at(QStringLiteral("Sections"))->all(QStringLiteral("Section"))) {
            QHash<QString, double> sums;
            for (const Element *item :
                 section->at(QStringLiteral("Items"))->all(QStringLiteral("Item")))
                this->item(*item, sums);
            summary(*section->at(QStringLiteral("SectionPrice")), sums,
                    QStringLiteral("раздел ") + section->at(QStringLiteral("Code"))->text);
            for (auto it = sums.cbegin(); it != sums.cend(); ++it)
                whole[it.key()] += it.value();
        }
        summary(*estimate->at(QStringLiteral("EstimatePrice")), whole, QStringLiteral("смета"));
    }

private:
    void same(double written, double computed, const QString &what)
    {
        if (kopecks(written) != kopecks(computed))
            problems.append(QStringLiteral("%1: %2 ≠ %3")
                                .arg(what)
                                .arg(written, 0, 'f', 2)
                                .arg(computed, 0, 'f', 2));
    }

    static double coefficient(const Element &line, const QString &target)
    {
        double value = 1;
        if (const Element *values = line.at(QStringLiteral("Coefficients/Final/Values"))) {
            for (const Element *factor : values->all(QStringLiteral("Value"))) {
                if (factor->at(QStringLiteral("Target"))->text == target)
                    value *= factor->number(QStringLiteral("CoefValue"));
            }
        }
        return value;
    }

    // Returns the line's cost.
    double line(const Element &line, double volume, const QString &where)
    {
        const double quantity = line.number(QStringLiteral("ConsumptionTotal"));
        if (volume > 0 &&
            std::fabs(quantity - round7(line.number(QStringLiteral("Consumption")) * volume *
                                        coefficient(line, QStringLiteral("Расход")))) > 1e-9)
            problems.append(where + QStringLiteral(": ConsumptionTotal"));
        const double price = line.number(QStringLiteral("PricePerUnitCur"));
        if (const Element *index = line.at(QStringLiteral("Index/Value/Final")))
            same(price,
                 round2(line.number(QStringLiteral("PricePerUnitBase")) * index->text.toDouble()),
                 where + QStringLiteral(": цена по индексу"));
        const double cost = line.number(QStringLiteral("PriceTotalCur"));
        same(cost, round2(quantity * price * coefficient(line, QStringLiteral("Стоимость"))),
             where + QStringLiteral(": PriceTotalCur"));
        return cost;
    }

    void item(const Element &item, QHash<QString, double> &sums)
    {
        const QString kind = item.at(QStringLiteral("SummaryType"))->text;
        double direct = 0, workers = 0, machines = 0, machinists = 0, materials = 0, extra = 0;
        const Element *cost = item.at(QStringLiteral("Cost"));
        const QString where =
            QStringLiteral("позиция ") + (cost ? cost->at(QStringLiteral("Num"))->text : QString());
        if (cost) {
            const double volume = cost->number(QStringLiteral("QuantityTotal"));
            for (const Element &resource :
                 cost->at(QStringLiteral("ResourcesInternal"))->children) {
                const double sum = line(resource, volume, where);
                if (resource.name == QStringLiteral("Worker"))
                    workers += sum;
                else if (resource.name == QStringLiteral("Material"))
                    materials += sum;
                else
                    machines += sum;
                if (const Element *man = resource.at(QStringLiteral("Machinist"))) {
                    if (std::fabs(man->number(QStringLiteral("Consumption")) -
                                  resource.number(QStringLiteral("Consumption")) *
                                      man->number(QStringLiteral("Count"))) > 1e-9)
                        problems.append(where + QStringLiteral(": расход машиниста"));
                    machinists += line(*man, volume, where + QStringLiteral(", машинист"));
                }
            }
            if (const Element *own = item.at(QStringLiteral("Resources"))) {
                for (const Element &resource : own->children)
                    extra += line(resource, volume, where);
            }
            const Element &current = *cost->at(QStringLiteral("Totals/Current"));
            same(current.number(QStringLiteral("WorkersSalary")), workers,
                 where + QStringLiteral(": ОТ"));
            same(current.number(QStringLiteral("MachinistSalary")), machinists,
                 where + QStringLiteral(": ОТм"));
            same(current.number(QStringLiteral("Machines")), machines + machinists,
                 where + QStringLiteral(": ЭМ"));
            same(current.number(QStringLiteral("Materials")), materials,
                 where + QStringLiteral(": М"));
            same(current.number(QStringLiteral("Salary")), workers + machinists,
                 where + QStringLiteral(": ФОТ"));
            direct = workers + machines + machinists + materials;
            same(current.number(QStringLiteral("Direct")), direct, where + QStringLiteral(": ПЗ"));
            same(item.number(QStringLiteral("Salary")), workers + machinists,
                 where + QStringLiteral(": Salary"));
        } else {
            for (const Element &resource : item.children) {
                if (resource.name == QStringLiteral("Machine"))
                    machines += line(resource, 0, where);
                else if (resource.name == QStringLiteral("Material"))
                    materials += line(resource, 0, where);
            }
            direct = machines + materials;
        }
        double charges = 0;
        for (const QString &name : {QStringLiteral("Overheads"), QStringLiteral("Profits")}) {
            const Element *charge = item.at(name);
            if (!charge)
                continue;
            const QString reason = charge->at(QStringLiteral("Reason"))->text;
            if (!kRates.contains(reason) ||
                charge->number(QStringLiteral("Value")) != kRates.value(reason))
                problems.append(where + QStringLiteral(": процент %1 по «%2»")
                                            .arg(charge->number(QStringLiteral("Value")))
                                            .arg(reason));
            const double amount = charge->number(QStringLiteral("PriceCur"));
            same(
                amount,
                round2((workers + machinists) * charge->number(QStringLiteral("ValueTotal")) / 100),
                where + u' ' + name);
            sums[kind + name] += amount;
            charges += amount;
        }
        const double total = item.number(QStringLiteral("Totals/Current"));
        same(total, direct + extra + charges, where + QStringLiteral(": итог"));
        sums[kind + QStringLiteral("Price")] += total;
        sums[kind + QStringLiteral("Direct")] += direct + extra;
        sums[kind + QStringLiteral("WorkersSalary")] += workers;
        sums[kind + QStringLiteral("MachinistSalary")] += machinists;
        sums[kind + QStringLiteral("Machines")] += machines + machinists;
        sums[kind + QStringLiteral("Materials")] += materials + extra;
    }

    void summary(const Element &price, const QHash<QString, double> &sums, const QString &where)
    {
        const QList<std::pair<QString, QString>> kinds = {
            {QStringLiteral("Building"), QStringLiteral("Строительные")},
            {QStringLiteral("Mounting"), QStringLiteral("Монтажные")},
            {QStringLiteral("OtherWorks"), QStringLiteral("Прочее")},
            {QStringLiteral("Summary"), QString()}};
        double total = 0;
        for (const auto &[element, kind] : kinds) {
            const Element *block = price.at(element);
            const auto sum = [&](const QString &name) {
                if (!kind.isEmpty())
                    return sums.value(kind + name);
                double all = 0;
                for (const auto &[unused, each] : kinds)
                    all += each.isEmpty() ? 0 : sums.value(each + name);
                return all;
            };
            if (!block) {
                if (sum(QStringLiteral("Price")) != 0)
                    problems.append(where + QStringLiteral(": нет ") + element);
                continue;
            }
            for (const QString &name :
                 {QStringLiteral("Price"), QStringLiteral("Direct"),
                  QStringLiteral("WorkersSalary"), QStringLiteral("MachinistSalary"),
                  QStringLiteral("Machines"), QStringLiteral("Overheads"),
                  QStringLiteral("Profits")}) {
                const QString written =
                    name == QStringLiteral("Overheads") ? QStringLiteral("Overhead")
                    : name == QStringLiteral("Profits") ? QStringLiteral("Profit")
                                                        : name;
                same(block->number(written), sum(name), where + u' ' + element + u'/' + written);
            }
            same(block->number(QStringLiteral("Materials/Total")), sum(QStringLiteral("Materials")),
                 where + u' ' + element + QStringLiteral("/Materials"));
            same(block->number(QStringLiteral("Total")), block->number(QStringLiteral("Price")),
                 where + u' ' + element + QStringLiteral("/Total"));
            if (!kind.isEmpty())
                total += block->number(QStringLiteral("Price"));
        }
        same(price.number(QStringLiteral("Total")), total, where + QStringLiteral(": Total"));
    }
};

QStringList sumProblems(const QByteArray &bytes)
{
    Sums sums;
    sums.estimate(parse(bytes));
    return sums.problems;
}

// A norm base of our own: one concrete norm with a worker, a crane and its machinist, a concrete
// priced by the list's index; the list of Moscow for a quarter.
QString normBase(const QString &folder)
{
    const QString work = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<base BaseName="Нормы" BaseType="ГЭСН" PriceLevel="01.01.2022"><ResourcesDirectory>
<ResourceCategory Type="СТРОИТЕЛЬНЫЕ РАБОТЫ" CodePrefix="ГЭСН"><Section Name="Сборник"
Type="Сборник" Code="06"><Section Name="Таблица" Type="Таблица" Code="06-01-001">
<Work Code="06-01-001-01" EndName="Бетонирование плит" MeasureUnit="100 м3"><Resources>
 <Resource Code="1-100-32" EndName="Средний разряд работы 3,2" Quantity="180"/>
 <Resource Code="2" Quantity="10"/>
 <Resource Code="91.05.01-017" EndName="Краны башенные, 8 т" Quantity="10"/>
 <Resource Code="01.7.15.06-0111" EndName="Бетон тяжелый, класс B15" MeasureUnit="м3" Quantity="102"/>
</Resources><NrSp><ReasonItem Nr="Пр/812-006.0" Sp="Пр/774-006.0"/></NrSp></Work>
</Section></Section></ResourceCategory></ResourcesDirectory></base>
)");
    const QString catalogue = QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>
<ResourceCatalog><Decrees ApprovingActNumber="7/пр" ApprovingActDate="02.03.2025"/>
<ResourcesDirectory><ResourceCategory Type="%1"><Section Name="Р" Code="91" Type="Книга">%2
</Section></ResourceCategory></ResourcesDirectory></ResourceCatalog>
)");
    const QList<std::pair<QString, QString>> files{
        {QStringLiteral("ГЭСН.xml"), work},
        {QStringLiteral("ФСБЦ_Маш.xml"),
         catalogue.arg(QStringLiteral("МашиныМеханизмы"),
                       QStringLiteral(R"(<Resource Code="91.05.01-017" Name="Краны башенные, 8 т">
<Prices><Price SalaryMach="420.10" LabourMach="1" PriceCostWithoutSalary="812.30"
DriverCode="4-100-060" MachinistCategory="6.0"/></Prices></Resource>)"))},
        {QStringLiteral("ФСБЦ_Мат.xml"),
         catalogue.arg(
             QStringLiteral("Материал"),
             QStringLiteral(R"(<Resource Code="01.7.15.06-0111" Name="Бетон тяжелый, класс B15"
MeasureUnit="м3"><Prices><Price Cost="5310.40"/></Prices></Resource>)"))}};
    QStringList paths;
    for (const auto &[name, text] : files) {
        QFile file(folder + u'/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) <= 0)
            return {};
        paths.append(file.fileName());
    }
    const QString path = folder + QStringLiteral("/norms.db");
    if (norms::importFiles(path, paths).outcome != norms::ImportResult::Outcome::Imported)
        return {};
    splitform::Form form;
    form.resources = {
        {"1-100-32", "Средний разряд работы 3,2", "чел.-ч", "", "", "", "", "700,50", ""},
        {"4-100-060", "Средний разряд машинистов 6,0", "чел.-ч", "", "", "", "", "982,04", ""},
        {"91.05.01-017", "Краны башенные, 8 т", "маш.-ч", "", "812.30", "91.05.01", "Краны",
         "1 036,96", "1,2766"},
        {"01.7.15.06-0111", "Бетон тяжелый, класс B15", "м3", "5 120,00", "5 310,40", "01.7.15.06",
         "Бетоны", "-", "1,1250"}};
    const QString list = folder + QStringLiteral("/Москва.csv");
    splitform::writeCsv(list, form, u',', false);
    if (norms::importPriceLists(path, {list}).outcome !=
        norms::PriceImportResult::Outcome::Imported)
        return {};
    return path;
}

const lsrfile::Meta kMeta{QStringLiteral("Мерилон 3"), QStringLiteral("3.1"),
                          QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30))};

// What the file keeps of an estimate: not how a figure was made, nor where it came from.
Estimate kept(Estimate estimate)
{
    estimate.gaps.clear();
    estimate.head.terms.priceList = {};
    for (Section &section : estimate.sections) {
        for (Position &position : section.positions) {
            position.entry = -1;
            position.directHow.clear();
            position.totalHow.clear();
            for (std::optional<Charge> *charge : {&position.overhead, &position.profit}) {
                if (*charge)
                    (*charge)->how.clear();
            }
            for (Line &line : position.lines)
                line.how.clear();
        }
    }
    return estimate;
}

} // namespace

// The local estimate for expertise: a file the schema accepts whose every sum adds up, refused
// with its gaps named, read back as written; the published example opens.
class LsrFileTest : public QObject
{
    Q_OBJECT

private slots:
    void writtenFileIsValidAndAddsUp_data();
    void writtenFileIsValidAndAddsUp();
    void plantedFaultIsCaught_data();
    void plantedFaultIsCaught();
    void estimateWithGapsIsRefused_data();
    void estimateWithGapsIsRefused();
    void writtenFileReadsBack();
    void computedEstimateIsWrittenValidAndAddsUp();
    void exampleOpensWithItsFigures();
    void brokenFileIsRefusedWithLineAndColumn_data();
    void brokenFileIsRefusedWithLineAndColumn();

private:
    QTemporaryDir m_folder;
};

void LsrFileTest::writtenFileIsValidAndAddsUp_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("line"); // a line the file must hold
    QTest::newRow("territory in the schema's letters")
        << 0 << QStringLiteral("<ТerritoryТype>Территория</ТerritoryТype>");
    QTest::newRow("program and format") << 0 << QStringLiteral("<Name>Мерилон 3</Name>");
    QTest::newRow("export time with its zone") << 0 << QStringLiteral("2026-12-08T10:15:30+03:00");
    QTest::newRow("machinist under his machine") << 0 << QStringLiteral("<Grade>6</Grade>");
    QTest::newRow("typed price with its basis")
        << 0 << QStringLiteral("<Comment>Конъюнктурный анализ, счет № 17 от 02.11.2026</Comment>");
    QTest::newRow("catalogue price by index")
        << 0 << QStringLiteral("<IndexValue>7.3</IndexValue>");
    QTest::newRow("bill of quantities by name")
        << 0 << QStringLiteral("<FileNameQTF>ВОР 02-01-01.gge</FileNameQTF>");
    QTest::newRow("a path given to the bill of quantities")
        << 1 << QStringLiteral("<FileNameQTF>ВОР 02-01-01.gge</FileNameQTF>");
    QTest::newRow("a million without exponent or separator")
        << 2 << QStringLiteral("<PricePerUnitCur>1234567.89</PricePerUnitCur>");
}

void LsrFileTest::writtenFileIsValidAndAddsUp()
{
    QFETCH(int, change);
    QFETCH(QString, line);
    Estimate estimate = wholeEstimate();
    if (change == 1) {
        estimate.head.vorFileName = QStringLiteral("/home/site/ВОР 02-01-01.gge");
    } else if (change == 2) {
        // The wire at a price of a million: its position, section and estimate follow.
        Position &wire = estimate.sections[1].positions[0];
        wire.lines[0].price = wire.perUnit = 1234567.89;
        wire.lines[0].cost = wire.materials = wire.direct = wire.total = 432098.76;
        lsrfixture::resum(estimate);
    }
    QVERIFY2(lsrfile::check(estimate).isEmpty(),
             qPrintable(lsrfile::check(estimate).value(0).text));
    const QString path = m_folder.filePath(QStringLiteral("written.gge"));
    const std::optional<QString> failure = lsrfile::write(estimate, kMeta, path);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(QString::fromUtf8(bytes).contains(line), bytes.constData());
    const QString invalid = validate(path);
    QVERIFY2(invalid.isEmpty(), qPrintable(invalid));
    const QStringList problems = sumProblems(bytes);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void LsrFileTest::plantedFaultIsCaught_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");  // empty: the element from begins is written twice
    QTest::addColumn<bool>("schema"); // the schema must refuse it; else the sums must
    QTest::newRow("territory in Latin letters")
        << QStringLiteral("ТerritoryТype>") << QStringLiteral("TerritoryType>") << true;
    QTest::newRow("section total that is not the sum")
        << QStringLiteral("<Total>184317.96</Total>") << QStringLiteral("<Total>184317.97</Total>")
        << false;
    QTest::newRow("machinist written twice") << QStringLiteral("Machinist") << QString() << true;
    QTest::newRow("machinist added into the machines twice")
        << QStringLiteral("<Machines>4714.2</Machines>")
        << QStringLiteral("<Machines>6266.7</Machines>") << false;
    QTest::newRow("overhead at another territory's percent")
        << QStringLiteral("<Value>102</Value>") << QStringLiteral("<Value>103</Value>") << false;
}

void LsrFileTest::plantedFaultIsCaught()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, schema);
    QString text = QString::fromUtf8(lsrfile::encode(wholeEstimate(), kMeta));
    QVERIFY2(text.contains(from), qPrintable(from));
    if (to.isEmpty()) {
        const qsizetype start = text.indexOf(u'<' + from + u'>');
        const QString close = QStringLiteral("</%1>").arg(from);
        const qsizetype end = text.indexOf(close, start) + close.size();
        text.insert(end, text.mid(start, end - start));
    } else {
        text.replace(from, to);
    }
    const QString path = m_folder.filePath(QStringLiteral("planted.gge"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
    file.close();
    if (schema)
        QVERIFY(!validate(path).isEmpty());
    else
        QVERIFY(!sumProblems(text.toUtf8()).isEmpty());
}

void LsrFileTest::estimateWithGapsIsRefused_data()
{
    QTest::addColumn<int>("gap");
    QTest::addColumn<QString>("message"); // a line the refusal must hold
    QTest::newRow("no region") << 0
                               << QStringLiteral("Не указан регион (субъект Российской Федерации)");
    QTest::newRow("no number") << 1 << QStringLiteral("Не указан номер ЛСР");
    QTest::newRow("norm base without its act's name")
        << 2 << QStringLiteral("Акт сметных нормативов: не указано наименование");
    QTest::newRow("norm base without register number")
        << 3
        << QStringLiteral("Акт сметных нормативов: не указан номер в реестре сметных нормативов");
    QTest::newRow("a resource without a price")
        << 4
        << QStringLiteral("Раздел 1, позиция 1 (ГЭСН 06-01-015-07), строка 6 «Вода»: нет цены — ни "
                          "текущей, ни базисной с индексом");
    QTest::newRow("a norm without overhead")
        << 5
        << QStringLiteral(
               "Раздел 1, позиция 2 (ГЭСН 01-01-003-02): нет норматива накладных расходов");
    QTest::newRow("zero volume")
        << 6 << QStringLiteral("Раздел 2, позиция 4 (ГЭСНп 01-02-001-01): объем работ равен нулю");
    QTest::newRow("norm without code")
        << 7 << QStringLiteral("Раздел 2, позиция 4 (ГЭСНп): нет шифра нормы");
    QTest::newRow("by-design resource without unit")
        << 8
        << QStringLiteral("Раздел 1, позиция 1 (ГЭСН 06-01-015-07), строка 8 «Смесь бетонная B15»: "
                          "у ресурса «по проекту» нет единицы измерения");
    QTest::newRow("a machine with two machinists")
        << 9
        << QStringLiteral("Раздел 1, позиция 1 (ГЭСН 06-01-015-07), строка 6 «Затраты труда "
                          "машинистов»: у машины уже есть машинист");
    QTest::newRow("overhead of another territory")
        << 11
        << QStringLiteral("Раздел 1, позиция 1 (ГЭСН 06-01-015-07): норматив накладных расходов "
                          "«Пр/812-006.0-1» не для района «РКС»");
    QTest::newRow("the computation's own gap")
        << 10 << QStringLiteral("Не выбран прайс-лист региона");
}

void LsrFileTest::estimateWithGapsIsRefused()
{
    QFETCH(int, gap);
    QFETCH(QString, message);
    Estimate estimate = wholeEstimate();
    Position &footing = estimate.sections[0].positions[0];
    Position &run = estimate.sections[1].positions[1];
    switch (gap) {
    case 0:
        estimate.head.terms.regionCode = -1;
        break;
    case 1:
        estimate.head.terms.number.clear();
        break;
    case 2:
        estimate.head.terms.legal[0].name = QStringLiteral("  ");
        break;
    case 3:
        estimate.head.terms.legal[0].registerNumber = 0;
        break;
    case 4:
        footing.lines[5].price.reset();
        footing.lines[5].source = PriceSource::None;
        footing.lines[5].cost = 0;
        break;
    case 5:
        estimate.sections[0].positions[1].overhead.reset();
        break;
    case 6:
        run.quantity = 0;
        break;
    case 7:
        run.code.clear();
        break;
    case 8:
        footing.lines[7].unit.clear();
        break;
    case 9:
        footing.lines.insert(5, footing.lines.at(4));
        break;
    case 10:
        estimate.gaps.append({QStringLiteral("Не выбран прайс-лист региона"), -1, -1, -1,
                              QStringLiteral("priceList")});
        break;
    case 11:
        estimate.head.terms.territory = bom::Territory::Rks;
        break;
    }
    const QString path = m_folder.filePath(QStringLiteral("refused.gge"));
    QFile::remove(path);
    const std::optional<QString> failure = lsrfile::write(estimate, kMeta, path);
    QVERIFY(failure);
    QVERIFY2(failure->split(u'\n').contains(message), qPrintable(*failure));
    QVERIFY(!QFile::exists(path));
}

void LsrFileTest::writtenFileReadsBack()
{
    const Estimate estimate = wholeEstimate();
    const lsrfile::Reading reading = lsrfile::decode(lsrfile::encode(estimate, kMeta));
    QVERIFY2(reading.estimate, qPrintable(reading.failure));
    const Estimate expected = kept(estimate);
    QCOMPARE(reading.estimate->head, expected.head);
    QCOMPARE(reading.estimate->sections.size(), expected.sections.size());
    for (qsizetype s = 0; s < expected.sections.size(); ++s)
        QVERIFY2(reading.estimate->sections.at(s) == expected.sections.at(s),
                 qPrintable(expected.sections.at(s).name));
    QVERIFY(*reading.estimate == expected);
}

void LsrFileTest::computedEstimateIsWrittenValidAndAddsUp()
{
    bom::Bill bill;
    bill.head.number = QStringLiteral("02-01-01");
    bill.head.object = QStringLiteral("Жилой дом");
    bill.head.constructionSite = QStringLiteral("Квартал 5");
    bill.head.compiledBy = QStringLiteral("Петров П. П.");
    bill.head.checkedBy = QStringLiteral("Иванов И. И.");
    bom::Entry entry;
    entry.normCode = QStringLiteral("ГЭСН 06-01-001-01");
    entry.volume = {QStringLiteral("м3"), 37, QStringLiteral("37")};
    bill.entries = {entry};
    bill.estimate =
        lsr::defaultTerms(bill, norms::PriceListTitle{QStringLiteral("г. Москва"),
                                                      QStringLiteral("г. Москва"), 2026, 2});
    // What the estimator types: the regional labour act, the letter's date and register number.
    bill.estimate->salaryAct = QStringLiteral("Распоряжение от 01.04.2026 № 12");
    for (bom::LegalAct &act : bill.estimate->legal) {
        if (act.role == bom::LegalAct::Role::Indexes) {
            act.date = QDate(2026, 4, 20);
            act.registerNumber = 701;
        }
    }
    const QString base = normBase(m_folder.path());
    QVERIFY(!base.isEmpty());
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(base);
    QVERIFY2(opened.database, qPrintable(opened.refusal));
    const lsr::Pricing pricing = lsr::loadPricing(*opened.database, bill);
    QCOMPARE(pricing.failure, QString());
    Estimate estimate = lsr::compute(bill, pricing);
    estimate.head.vorFileName = QStringLiteral("ВОР 02-01-01.gge");
    QStringList gaps;
    for (const Gap &gap : lsrfile::check(estimate))
        gaps.append(gap.text);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps.join(u'\n')));
    const QString path = m_folder.filePath(QStringLiteral("computed.gge"));
    const std::optional<QString> failure = lsrfile::write(estimate, kMeta, path);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    const QString invalid = validate(path);
    QVERIFY2(invalid.isEmpty(), qPrintable(invalid));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QStringList problems = sumProblems(bytes);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    // The crane's machinist stands under it, at the list's rate of his code.
    QVERIFY2(bytes.contains("<Code>4-100-060</Code>"), bytes.constData());
    QVERIFY2(bytes.contains("<PricePerUnitCur>982.04</PricePerUnitCur>"), bytes.constData());
}

void LsrFileTest::exampleOpensWithItsFigures()
{
    // The schema and both validators accept the published file: the test checks what it means to.
    const QString invalid = validate(kExample);
    QVERIFY2(invalid.isEmpty(), qPrintable(invalid));
    const lsrfile::Reading reading = lsrfile::read(kExample);
    QVERIFY2(reading.estimate, qPrintable(reading.failure));
    const Estimate &estimate = *reading.estimate;
    QCOMPARE(estimate.head.terms.regionCode, 47);
    QCOMPARE(estimate.head.terms.number, QStringLiteral("ЛСР №09-01-01"));
    QCOMPARE(estimate.head.currentYear, 2025);
    QCOMPARE(estimate.sections.size(), 1);
    const Position &position = estimate.sections.at(0).positions.at(0);
    QVERIFY(!position.norm);
    QCOMPARE(position.kind, WorkKind::Other);
    QCOMPARE(position.lines.size(), 1);
    QCOMPARE(position.lines.at(0).kind, LineKind::Machine);
    QCOMPARE(position.lines.at(0).price, std::optional<double>(675));
    QCOMPARE(position.lines.at(0).quantity, 8.825508);
    QCOMPARE(kopecks(position.total), 595722);
    QCOMPARE(position.vorNums, QList<int>{1});
    QCOMPARE(estimate.head.vorFileName, QStringLiteral("ВОР №09-01-01.gge"));
    // Its number holds the words «ЛСР №», which the form's title does not say twice.
    QCOMPARE(lsrform::title(estimate.head),
             QStringLiteral("ЛОКАЛЬНЫЙ СМЕТНЫЙ РАСЧЕТ (СМЕТА) № 09-01-01"));
    QCOMPARE(kopecks(estimate.totals.other.machines), 595722);
    QCOMPARE(kopecks(estimate.totals.total), 595722);
    // The sums of the test add up in a file made by another program.
    QFile file(kExample);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList problems = sumProblems(file.readAll());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void LsrFileTest::brokenFileIsRefusedWithLineAndColumn_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut in the middle")
        << 0 << QStringLiteral("файл обрывается раньше, чем кончается смета");
    QTest::newRow("bill of quantities instead")
        << 1 << QStringLiteral("это не локальный сметный расчет, а «Ведомость объемов работ»");
    QTest::newRow("text with a comma")
        << 2 << QStringLiteral("в «PriceTotalCur» ожидалось число с точкой");
    QTest::newRow("not XML") << 3 << QStringLiteral("это не XML или XML с ошибкой разметки");
}

void LsrFileTest::brokenFileIsRefusedWithLineAndColumn()
{
    QFETCH(int, damage);
    QFETCH(QString, message);
    QByteArray bytes = lsrfile::encode(wholeEstimate(), kMeta);
    if (damage == 0)
        bytes.truncate(bytes.size() / 2);
    else if (damage == 1)
        bytes.replace("<Type>ЛС</Type>", "<Type>Ведомость объемов работ</Type>");
    else if (damage == 2)
        bytes.replace("<PriceTotalCur>3161.7</PriceTotalCur>",
                      "<PriceTotalCur>3161,7</PriceTotalCur>");
    else
        bytes = "Код;Наименование\n";
    const lsrfile::Reading reading = lsrfile::decode(bytes);
    QVERIFY(!reading.estimate);
    QVERIFY2(reading.failure.startsWith(QStringLiteral("Файл ЛСР не прочитан: ") + message),
             qPrintable(reading.failure));
    QVERIFY2(reading.failure.contains(QStringLiteral("(строка ")), qPrintable(reading.failure));
}

QTEST_GUILESS_MAIN(LsrFileTest)
#include "tst_lsrfile.moc"

#include "lsrfixture.h"

#include <cmath>

namespace lsrfixture {

using namespace lsr;

namespace {

double round2(double value)
{
    return std::round(value * 100) / 100;
}

double round7(double value)
{
    return std::round(value * 1e7) / 1e7;
}

Line line(LineKind kind, const char *code, const char *name, const char *unit, double perUnit,
          double quantity, std::optional<double> price, double cost)
{
    Line line;
    line.kind = kind;
    line.code = QString::fromUtf8(code);
    line.name = QString::fromUtf8(name);
    line.unit = QString::fromUtf8(unit);
    line.perUnit = perUnit;
    line.quantity = quantity;
    line.price = price;
    line.cost = cost;
    line.source = kind == LineKind::Unpriced ? PriceSource::Catalogue
                  : price                    ? PriceSource::List
                                             : PriceSource::None;
    return line;
}

Charge charge(const char *reason, double percent, double amount)
{
    return {QString::fromUtf8(reason), QStringLiteral("по таблице"), percent, percent, amount, {}};
}

void settle(Summary &summary)
{
    for (double *money :
         {&summary.workers, &summary.machines, &summary.machinists, &summary.materials,
          &summary.overhead, &summary.profit, &summary.direct, &summary.price})
        *money = round2(*money);
    summary.labourHours = round7(summary.labourHours);
    summary.machinistHours = round7(summary.machinistHours);
}

} // namespace

void sum(Totals &totals, const Position &position)
{
    (position.kind == WorkKind::Building   ? totals.building
     : position.kind == WorkKind::Mounting ? totals.mounting
                                           : totals.other)
        .add(position);
    totals.all.add(position);
    for (Summary *summary : {&totals.building, &totals.mounting, &totals.other, &totals.all})
        settle(*summary);
    totals.total = totals.all.price;
}

void resum(Estimate &estimate)
{
    estimate.totals = {};
    for (Section &section : estimate.sections) {
        section.totals = {};
        for (const Position &position : section.positions) {
            sum(section.totals, position);
            sum(estimate.totals, position);
        }
    }
}

Estimate wholeEstimate()
{
    Estimate estimate;
    Head &head = estimate.head;
    bom::EstimateTerms &terms = head.terms;
    terms.guid = QStringLiteral("{0F8E2C3A-1B2D-4E5F-8A9B-0C1D2E3F4A5B}");
    terms.number = QStringLiteral("02-01-01");
    terms.name = QStringLiteral("Фундаменты и пусконаладка");
    terms.reason = QStringLiteral("Ведомость объемов работ № 02-01-01");
    terms.regionCode = 47;
    terms.regionName = QStringLiteral("Ленинградская область");
    terms.zoneCode = QStringLiteral("02");
    terms.zoneName = QStringLiteral("Зона 2");
    terms.salaryAct = QStringLiteral("Распоряжение комитета от 01.10.2026 № 211");
    using Role = bom::LegalAct::Role;
    const auto act = [](Role role, const char *name, const char *type, int num) {
        return bom::LegalAct{
            role, QString::fromUtf8(name), QString::fromUtf8(type), QDate(2026, 9, 1), num, {}};
    };
    terms.legal = {act(Role::Main, "Сметные нормативы, приказ № 1046/пр", "ГСН", 601),
                   act(Role::Methodology, "Методика, приказ № 421/пр", "ГСН", 602),
                   act(Role::Overheads, "Методика НР, приказ № 812/пр", "ГСН", 603),
                   act(Role::Profits, "Методика СП, приказ № 774/пр", "ГСН", 604),
                   act(Role::Indexes, "Сплит-форма, 4 квартал 2026", "Справочная информация", 605)};
    terms.legal[0].orders = QStringLiteral("приказ № 31/пр");
    head.construction = QStringLiteral("Жилой дом по ул. Садовой, 5");
    head.object = QStringLiteral("Корпус 1");
    head.objectNumber = QStringLiteral("02");
    head.composer = QStringLiteral("Иванова А.П.");
    head.verifier = QStringLiteral("Петров С.Н.");
    head.vorFileName = QStringLiteral("ВОР 02-01-01.gge");
    head.currentYear = 2026;
    head.currentQuarter = 4;

    Position footing;
    footing.num = 1;
    footing.prefix = QStringLiteral("ГЭСН");
    footing.code = QStringLiteral("06-01-015-07");
    footing.name = QStringLiteral("Устройство бетонной подготовки");
    footing.unit = QStringLiteral("100 м3");
    footing.quantity = footing.quantityTotal = 0.125;
    footing.formula = QStringLiteral("12.5/100");
    footing.coefficients = {{QStringLiteral("Стесненные условия"),
                             QStringLiteral("421/пр, прил. 10, п. 1"),
                             bom::CoefficientTarget::Labour, 1.15}};
    Line worker = line(LineKind::Worker, "1-100-32", "Средний разряд работы 3,2", "чел.-ч", 180,
                       22.5, 512.40, 13258.35);
    worker.priceCoefficient = 1.15;
    Line machinist = line(LineKind::Machinist, "4-100-060", "Затраты труда машинистов", "чел.-ч",
                          18, 2.25, 690, 1552.50);
    machinist.machine = 3;
    machinist.grade = QStringLiteral("6");
    machinist.count = 1;
    Line water =
        line(LineKind::Material, "01.7.03.01-0001", "Вода", "м3", 1.5, 0.1875, 222.65, 41.75);
    water.basePrice = 30.50;
    water.index = 7.3;
    water.source = PriceSource::ListIndex;
    Line concrete = line(LineKind::Design, "04.1.02.05-0006", "Смесь бетонная B15", "м3", 102,
                         12.75, 6850, 87337.50);
    concrete.source = PriceSource::Typed;
    concrete.basis = QStringLiteral("Конъюнктурный анализ, счет № 17 от 02.11.2026");
    concrete.designOf = QStringLiteral("04.1.02.05");
    footing.lines = {
        line(LineKind::Unpriced, "1", "Затраты труда рабочих", "чел.-ч", 180, 22.5, {}, 0),
        worker,
        line(LineKind::Unpriced, "2", "Затраты труда машинистов", "чел.-ч", 18, 2.25, {}, 0),
        line(LineKind::Machine, "91.05.01-017", "Краны башенные, 8 т", "маш.-ч", 18, 2.25, 1405.20,
             3161.70),
        machinist,
        water,
        line(LineKind::Unpriced, "04.1.02.05", "Смеси бетонные", "м3", 102, 12.75, {}, 0),
        concrete};
    footing.labourPerUnit = 180;
    footing.machinistPerUnit = 18;
    footing.workers = 13258.35;
    footing.machines = 4714.20;
    footing.machinists = 1552.50;
    footing.materials = 87379.25;
    footing.direct = 105351.80;
    footing.salary = 14810.85;
    footing.labourHours = 22.5;
    footing.machinistHours = 2.25;
    footing.overhead = charge("Пр/812-006.0-1", 102, 15107.07);
    footing.profit = charge("Пр/774-006.0", 58, 8590.29);
    footing.total = 129049.16;
    footing.perUnit = 1032393.28;
    footing.vorNums = {1, 2};

    Position pit;
    pit.num = 2;
    pit.prefix = QStringLiteral("ГЭСН");
    pit.code = QStringLiteral("01-01-003-02");
    pit.name = QStringLiteral("Разработка грунта экскаватором");
    pit.unit = QStringLiteral("1000 м3");
    pit.quantity = 0.48;
    pit.quantityTotal = 0.576;
    pit.coefficients = {{QStringLiteral("Мокрый грунт"), QStringLiteral("ГЭСН 01, п. 3.1"),
                         bom::CoefficientTarget::Volume, 1.2}};
    Line digger = machinist;
    digger.machine = 0;
    digger.perUnit = 25.3;
    digger.quantity = 14.5728;
    digger.cost = 10055.23;
    pit.lines = {line(LineKind::Machine, "91.01.01-035", "Экскаваторы одноковшовые 0,65 м3",
                      "маш.-ч", 25.3, 14.5728, 2150.40, 31337.35),
                 digger};
    pit.machinistPerUnit = 25.3;
    pit.machines = 41392.58;
    pit.machinists = pit.salary = 10055.23;
    pit.direct = 41392.58;
    pit.machinistHours = 14.5728;
    pit.overhead = charge("Пр/812-001.1-1", 92, 9250.81);
    pit.profit = charge("Пр/774-001.1", 46, 4625.41);
    pit.total = 55268.80;
    pit.perUnit = 115143.33;
    pit.vorNums = {3};

    Position wire;
    wire.num = 3;
    wire.norm = false;
    wire.code = QStringLiteral("08.3.03.06-0002");
    wire.name = QStringLiteral("Проволока вязальная");
    wire.unit = QStringLiteral("т");
    wire.quantity = wire.quantityTotal = 0.35;
    wire.lines = {line(LineKind::Material, "08.3.03.06-0002", "Проволока вязальная", "т", 0.35,
                       0.35, 98500, 34475)};
    wire.materials = wire.direct = wire.total = 34475;
    wire.perUnit = 98500;
    wire.vorNums = {4};

    Position run;
    run.num = 4;
    run.kind = WorkKind::Other;
    run.prefix = QStringLiteral("ГЭСНп");
    run.code = QStringLiteral("01-02-001-01");
    run.name = QStringLiteral("Наладка системы");
    run.unit = QStringLiteral("система");
    run.quantity = run.quantityTotal = 1;
    run.lines = {line(LineKind::Unpriced, "1", "Затраты труда рабочих", "чел.-ч", 32, 32, {}, 0),
                 line(LineKind::Worker, "1-100-40", "Средний разряд работы 4,0", "чел.-ч", 32, 32,
                      605.10, 19363.20)};
    run.labourPerUnit = run.labourHours = 32;
    run.workers = run.direct = run.salary = 19363.20;
    run.overhead = charge("Пр/812-083.0-1", 74, 14328.77);
    run.profit = charge("Пр/774-083.0", 36, 6970.75);
    run.total = run.perUnit = 40662.72;

    estimate.sections = {{1, QStringLiteral("Фундаменты"), {footing, pit}, {}},
                         {2, QStringLiteral("Прочие работы"), {wire, run}, {}}};
    resum(estimate);
    return estimate;
}

} // namespace lsrfixture

#include "estimatecompute.h"

#include "measure.h"
#include "regional.h"
#include "totals.h"

#include <QFileInfo>

#include <cmath>

namespace lsr {

namespace {

const QString kTimes = QStringLiteral(" × ");

// The product of a position's coefficients by what they multiply.
struct Factors
{
    double volume = 1;
    double labour = 1;
    double machines = 1;
    double machinistLabour = 1;
    double materials = 1;
    double labourHours = 1;
    double machinistHours = 1;
};

Factors factorsOf(const QList<bom::Coefficient> &coefficients)
{
    Factors factors;
    for (const bom::Coefficient &coefficient : coefficients) {
        switch (coefficient.target) {
        case bom::CoefficientTarget::Volume:
            factors.volume *= coefficient.value;
            break;
        case bom::CoefficientTarget::Labour:
            factors.labour *= coefficient.value;
            break;
        case bom::CoefficientTarget::Machines:
            factors.machines *= coefficient.value;
            break;
        case bom::CoefficientTarget::MachinistLabour:
            factors.machinistLabour *= coefficient.value;
            break;
        case bom::CoefficientTarget::Materials:
            factors.materials *= coefficient.value;
            break;
        case bom::CoefficientTarget::LabourHours:
            factors.labourHours *= coefficient.value;
            break;
        case bom::CoefficientTarget::MachinistHours:
            factors.machinistHours *= coefficient.value;
            break;
        }
    }
    return factors;
}

// A current price and where it came from, or why there is none.
struct Price
{
    std::optional<double> price;
    std::optional<double> base;
    std::optional<double> index;
    PriceSource source = PriceSource::None;
    QString basis;
    QString failure;
};

void roundSums(Summary &summary)
{
    for (double *money :
         {&summary.workers, &summary.machines, &summary.machinists, &summary.materials,
          &summary.overhead, &summary.profit, &summary.direct, &summary.price})
        *money = roundMoney(*money);
    summary.labourHours = roundQuantity(summary.labourHours);
    summary.machinistHours = roundQuantity(summary.machinistHours);
}

void finish(Totals &totals)
{
    for (Summary *summary : {&totals.building, &totals.mounting, &totals.other, &totals.all})
        roundSums(*summary);
    totals.total = roundMoney(totals.building.price + totals.mounting.price + totals.other.price);
}

// «02-01-01» → «02-01»: the object estimate a local one belongs to.
QString objectNumberOf(const QString &number)
{
    const QStringList groups = number.trimmed().split(u'-');
    return groups.size() == 3 ? groups.mid(0, 2).join(u'-') : QString();
}

class Computation
{
public:
    Computation(const bom::Bill &bill, const Pricing &pricing)
        : m_bill(bill), m_pricing(pricing), m_priced(pricing.failure.isEmpty())
    {
        if (bill.estimate) {
            m_terms = *bill.estimate;
        } else {
            // The defaults, without a GUID, which an estimate gets once it is made.
            m_terms = defaultTerms(bill);
            m_terms.guid.clear();
        }
        for (const bom::TypedPrice &price : std::as_const(m_terms.prices))
            m_typed.insert(price.code, &price);
    }

    Estimate run();

private:
    void head();
    void gap(const QString &text, int line = -1, const QString &field = {});
    void numberWorks();
    void addEntry(int index);
    Position normPosition(int index, const bom::PositionTerms *terms);
    void addLines(Position &position, const norms::Norm &norm, const bom::PositionTerms *terms);
    void addMachinist(Position &position, const norms::NormResource &resource,
                      const Factors &factors);
    void charges(Position &position, const norms::Norm &norm, const bom::PositionTerms *terms);
    void materialPosition(int index, qsizetype material, QList<int> vorNums);
    Price priceOf(const QString &code, bool machine) const;
    void price(Line &line, double coefficient);
    void total(Position &position);
    void addPosition(Position position);
    QString where(const Position &position, int line = -1) const;

    const bom::Bill &m_bill;
    const Pricing &m_pricing;
    const bool m_priced; // the list is known: a resource it lacks is a gap
    bom::EstimateTerms m_terms;
    QHash<QString, const bom::TypedPrice *> m_typed;
    Estimate m_estimate;
    Section m_section;
    Position *m_position = nullptr; // the one being computed, for the gaps' places
    int m_num = 0;
    QHash<int, QList<int>> m_vorNums; // by entry: the ВОР's works, a hand-typed entry's lines
};

QString Computation::where(const Position &position, int line) const
{
    QString text = QStringLiteral("Позиция %1").arg(position.num);
    if (!position.code.isEmpty())
        text += QStringLiteral(" (%1)").arg(
            position.prefix.isEmpty() ? position.code : position.prefix + u' ' + position.code);
    if (line >= 0 && line < position.lines.size()) {
        const Line &shown = position.lines.at(line);
        text += QStringLiteral(", ресурс %1 «%2»").arg(shown.code, shown.name);
    }
    return text;
}

void Computation::gap(const QString &text, int line, const QString &field)
{
    Gap found{text, -1, -1, line, field};
    if (m_position) {
        found.text = where(*m_position, line) + QStringLiteral(": ") + text;
        found.section = int(m_estimate.sections.size());
        found.position = int(m_section.positions.size());
    }
    m_estimate.gaps.append(found);
}

void Computation::head()
{
    Head &head = m_estimate.head;
    head.terms = m_terms;
    head.construction = m_bill.head.constructionSite;
    head.object = m_bill.head.object;
    head.objectNumber = objectNumberOf(m_terms.number);
    head.composer = m_bill.head.compiledBy;
    head.verifier = m_bill.head.checkedBy;
    head.currentYear = m_pricing.list.year;
    head.currentQuarter = m_pricing.list.quarter;
    if (m_terms.number.trimmed().isEmpty())
        gap(QStringLiteral("Не указан номер сметы."), -1, QStringLiteral("number"));
    if (m_terms.name.trimmed().isEmpty())
        gap(QStringLiteral("Не указано наименование сметы."), -1, QStringLiteral("name"));
    if (m_terms.regionCode < 0)
        gap(QStringLiteral("Не указан регион (субъект Российской Федерации)."), -1,
            QStringLiteral("region"));
    if (!m_pricing.failure.isEmpty())
        gap(m_pricing.failure, -1, QStringLiteral("priceList"));
    const auto main =
        std::find_if(m_terms.legal.cbegin(), m_terms.legal.cend(), [](const bom::LegalAct &act) {
            return act.role == bom::LegalAct::Role::Main;
        });
    if (main == m_terms.legal.cend() || main->name.trimmed().isEmpty() || main->registerNumber <= 0)
        gap(QStringLiteral("Не указан сметный норматив (наименование и номер в реестре)."), -1,
            QStringLiteral("legal"));
    if (head.composer.trimmed().isEmpty())
        gap(QStringLiteral("Не указан составитель сметы."), -1, QStringLiteral("composer"));
    if (head.verifier.trimmed().isEmpty())
        gap(QStringLiteral("Не указан проверяющий смету."), -1, QStringLiteral("verifier"));
}

// The numbers the bill's ВОР gives its works: through the whole file, section by section, a
// hand-typed entry a line per material with a quantity.
void Computation::numberWorks()
{
    int num = 0;
    for (int section = 0; section < m_bill.sections.size(); ++section) {
        for (int index = 0; index < m_bill.entries.size(); ++index) {
            const bom::Entry &entry = m_bill.entries.at(index);
            if (entry.section != section)
                continue;
            QList<int> &nums = m_vorNums[index];
            if (!entry.manual) {
                nums.append(++num);
                continue;
            }
            for (const bom::Material &material : entry.materials)
                nums.append(material.quantity ? ++num : 0);
        }
    }
}

Price Computation::priceOf(const QString &code, bool machine) const
{
    Price found;
    const auto catalogueBase = [this, &code, machine]() -> std::optional<double> {
        const auto resource = m_pricing.catalogue.constFind(code);
        if (resource == m_pricing.catalogue.cend() || !resource->cost)
            return std::nullopt;
        // A machine-hour is priced without its machinist, who is a line of his own.
        return machine ? *resource->cost - resource->machinistWage.value_or(0) : *resource->cost;
    };
    if (const bom::TypedPrice *typed = m_typed.value(code)) {
        found.basis = typed->basis;
        if (typed->kind == bom::TypedPrice::Kind::Current) {
            found.price = typed->value;
            found.source = PriceSource::Typed;
            return found;
        }
        found.base = catalogueBase();
        if (!found.base) {
            found.failure = QStringLiteral("для индекса нет базовой цены ресурса в каталоге; "
                                           "введите текущую цену");
            return found;
        }
        found.index = typed->value;
        found.price = roundMoney(*found.base * typed->value);
        found.source = PriceSource::TypedIndex;
        return found;
    }
    const auto listed = m_pricing.prices.constFind(code);
    if (listed == m_pricing.prices.cend()) {
        found.failure = QStringLiteral("нет цены в списке «%1»; введите цену или индекс")
                            .arg(m_pricing.listName);
        return found;
    }
    if (listed->kind == norms::PriceKind::Indexed && listed->basePrice && listed->index) {
        found.base = listed->basePrice;
        found.index = listed->index;
        found.price = roundMoney(*listed->basePrice * *listed->index);
        found.source = PriceSource::ListIndex;
        return found;
    }
    found.price = roundMoney(listed->price);
    found.source = PriceSource::List;
    return found;
}

void Computation::price(Line &line, double coefficient)
{
    line.priceCoefficient = coefficient;
    const Price found = priceOf(line.code, line.kind == LineKind::Machine);
    line.source = found.source;
    line.basis = found.basis;
    line.basePrice = found.base;
    line.index = found.index;
    line.price = found.price;
    if (!found.price) {
        line.cost = 0;
        // Without a list every line would say so; the head's gap says it once.
        if (m_priced || found.source != PriceSource::None || m_typed.contains(line.code))
            gap(found.failure, int(m_position->lines.size()));
        return;
    }
    line.cost = roundMoney(line.quantity * *found.price * coefficient);
    line.how = moneyFigure(line.cost) + QStringLiteral(" = ") + quantityFigure(line.quantity) +
               kTimes + moneyFigure(*found.price);
    if (coefficient != 1)
        line.how += kTimes + quantityFigure(coefficient);
    if (found.base && found.index)
        line.how += QStringLiteral("; цена %1 = %2%3%4")
                        .arg(moneyFigure(*found.price), moneyFigure(*found.base), kTimes,
                             quantityFigure(*found.index));
}

void Computation::addMachinist(Position &position, const norms::NormResource &resource,
                               const Factors &factors)
{
    const int machine = int(position.lines.size()) - 1;
    const auto known = m_pricing.catalogue.constFind(resource.code);
    if (known == m_pricing.catalogue.cend()) {
        if (!m_pricing.catalogue.isEmpty() || m_priced)
            gap(QStringLiteral("машины нет в каталоге машин: ее машинист не известен; загрузите "
                               "ФСБЦ машин"),
                machine);
        return;
    }
    if (known->driverCode.isEmpty() || !(known->machinistHours.value_or(0) > 0))
        return;
    Line line;
    line.kind = LineKind::Machinist;
    line.code = known->driverCode;
    line.grade = known->machinistGrade;
    line.name = QStringLiteral("Средний разряд машинистов ") +
                QString(known->machinistGrade).replace(u'.', u',');
    line.unit = QStringLiteral("чел.-ч");
    line.machine = machine;
    line.count = *known->machinistHours;
    line.perUnit = roundQuantity(position.lines.at(machine).perUnit * line.count);
    line.quantityCoefficient = factors.machinistHours;
    line.quantity = roundQuantity(line.perUnit * position.quantityTotal * factors.machinistHours);
    price(line, factors.machinistLabour);
    position.lines.append(line);
}

void Computation::addLines(Position &position, const norms::Norm &norm,
                           const bom::PositionTerms *terms)
{
    const Factors factors = factorsOf(position.coefficients);
    // A labour total «1» beside lines by grade is not priced again: its grades are.
    const bool graded = std::any_of(
        norm.resources.cbegin(), norm.resources.cend(), [](const norms::NormResource &resource) {
            return resource.group == norms::ResourceGroup::Labour && !isLabourTotal(resource) &&
                   !isMachinistLabour(resource);
        });
    std::optional<double> machinistsOfNorm;
    for (const norms::NormResource &resource : norm.resources) {
        Line line;
        line.code = resource.code;
        line.name = resource.name;
        line.unit = resource.unit;
        line.perUnit = resource.rate.value_or(0);
        line.quantity = roundQuantity(line.perUnit * position.quantityTotal);
        line.source = PriceSource::Catalogue;
        line.kind = LineKind::Unpriced;
        const bool byDesign = !resource.rate || resource.abstract;
        if (resource.group == norms::ResourceGroup::Labour) {
            if (isMachinistLabour(resource)) {
                machinistsOfNorm = resource.rate;
            } else if (!isLabourTotal(resource) || !graded) {
                line.kind = LineKind::Worker;
                line.quantityCoefficient = factors.labourHours;
                line.quantity =
                    roundQuantity(line.perUnit * position.quantityTotal * factors.labourHours);
                price(line, factors.labour);
            }
            if (line.kind == LineKind::Worker) {
                position.labourPerUnit += line.perUnit;
                position.labourHours += line.quantity;
            }
            position.lines.append(line);
        } else if (resource.group == norms::ResourceGroup::Machine) {
            line.kind = LineKind::Machine;
            price(line, factors.machines);
            position.lines.append(line);
            addMachinist(position, resource, factors);
        } else if (byDesign) {
            position.lines.append(line);
            bool chosen = false;
            for (const bom::DesignChoice &choice :
                 terms ? terms->designChoices : QList<bom::DesignChoice>()) {
                if (choice.abstractCode != resource.code)
                    continue;
                chosen = true;
                Line design;
                design.kind = LineKind::Design;
                design.code = choice.code;
                design.name = choice.name;
                design.unit = choice.unit;
                design.designOf = resource.code;
                design.perUnit = choice.perUnit;
                design.quantity = roundQuantity(choice.perUnit * position.quantityTotal);
                price(design, factors.materials);
                position.lines.append(design);
            }
            if (!chosen)
                gap(QStringLiteral("ресурс по проекту: выберите материал и его расход"),
                    int(position.lines.size()) - 1);
        } else {
            line.kind = LineKind::Material;
            price(line, factors.materials);
            position.lines.append(line);
        }
    }
    for (const Line &line : std::as_const(position.lines)) {
        if (line.kind == LineKind::Machinist) {
            position.machinistPerUnit += line.perUnit;
            position.machinistHours += line.quantity;
        }
    }
    position.labourPerUnit = roundQuantity(position.labourPerUnit);
    position.machinistPerUnit = roundQuantity(position.machinistPerUnit);
    position.labourHours = roundQuantity(position.labourHours);
    position.machinistHours = roundQuantity(position.machinistHours);
    if (machinistsOfNorm && std::abs(*machinistsOfNorm - position.machinistPerUnit) > 1e-7)
        position.note = QStringLiteral("Затраты труда машинистов по норме %1 чел.-ч, по машинам "
                                       "позиции %2 чел.-ч на %3.")
                            .arg(quantityFigure(*machinistsOfNorm),
                                 quantityFigure(position.machinistPerUnit), position.unit);
}

void Computation::charges(Position &position, const norms::Norm &norm,
                          const bom::PositionTerms *terms)
{
    const QString picked = terms ? terms->overheadReason.trimmed() : QString();
    const norms::Reason *reason = nullptr;
    for (const norms::Reason &candidate : norm.reasons)
        if (picked.isEmpty() ? norm.reasons.size() == 1 : candidate.nr.trimmed() == picked)
            reason = &candidate;
    if (!reason) {
        QStringList listed;
        for (const norms::Reason &candidate : norm.reasons)
            listed.append(candidate.nr.trimmed());
        gap(norm.reasons.isEmpty()
                ? QStringLiteral("у нормы нет норматива накладных расходов и сметной прибыли; "
                                 "загрузите ее сборник заново")
            : picked.isEmpty()
                ? QStringLiteral("у нормы несколько нормативов НР и СП (%1): выберите один")
                      .arg(listed.join(QStringLiteral(", ")))
                : QStringLiteral("выбранного норматива НР «%1» у нормы нет (у нее %2)")
                      .arg(picked, listed.join(QStringLiteral(", "))));
        return;
    }
    using norms::rates::Kind;
    const QString nr = reason->nr.trimmed();
    const norms::rates::Row *overhead =
        m_pricing.rates.overhead.row(norms::rates::itemOf(nr, Kind::Overhead));
    const int column = m_terms.territory == bom::Territory::Ordinary ? 1
                       : m_terms.territory == bom::Territory::Mprks  ? 2
                                                                     : 3;
    const std::optional<double> percent = !overhead     ? std::nullopt
                                          : column == 1 ? std::optional<double>(overhead->percent)
                                          : column == 2 ? overhead->mprks
                                                        : overhead->rks;
    const auto charge = [&position](const QString &code, const QString &name, double value) {
        Charge made{code, name, value, value, roundMoney(position.salary * value / 100), {}};
        made.how = moneyFigure(made.amount) + QStringLiteral(" = ") + moneyFigure(position.salary) +
                   kTimes + bom::percentText(value) + QStringLiteral(" %");
        return made;
    };
    if (percent)
        position.overhead = charge(nr + u'-' + QString::number(column), overhead->name, *percent);
    else
        gap(QStringLiteral("норматива НР «%1» нет в таблице НР для этой территории").arg(nr));
    const QString sp = reason->sp.trimmed();
    if (const norms::rates::Row *profit =
            m_pricing.rates.profit.row(norms::rates::itemOf(sp, Kind::Profit)))
        position.profit = charge(sp, profit->name, profit->percent);
    else
        gap(QStringLiteral("норматива СП «%1» нет в таблице СП").arg(sp));
}

void Computation::total(Position &position)
{
    for (const Line &line : std::as_const(position.lines)) {
        switch (line.kind) {
        case LineKind::Worker:
            position.workers += line.cost;
            break;
        case LineKind::Machinist:
            position.machinists += line.cost;
            position.machines += line.cost;
            break;
        case LineKind::Machine:
            position.machines += line.cost;
            break;
        case LineKind::Material:
        case LineKind::Design:
            position.materials += line.cost;
            break;
        case LineKind::Unpriced:
            break;
        }
    }
    position.workers = roundMoney(position.workers);
    position.machines = roundMoney(position.machines);
    position.machinists = roundMoney(position.machinists);
    position.materials = roundMoney(position.materials);
    position.direct = roundMoney(position.workers + position.machines + position.materials);
    position.salary = roundMoney(position.workers + position.machinists);
    position.directHow = moneyFigure(position.direct) + QStringLiteral(" = ОТ ") +
                         moneyFigure(position.workers) + QStringLiteral(" + ЭМ ") +
                         moneyFigure(position.machines) + QStringLiteral(" + М ") +
                         moneyFigure(position.materials);
}

Position Computation::normPosition(int index, const bom::PositionTerms *terms)
{
    const bom::Entry &entry = m_bill.entries.at(index);
    Position position;
    position.entry = index;
    position.num = ++m_num;
    position.vorNums = m_vorNums.value(index);
    m_position = &position;
    const auto norm = m_pricing.norms.constFind(entry.normCode);
    const qsizetype space = entry.normCode.indexOf(u' ');
    position.prefix = space > 0 ? entry.normCode.left(space) : QString();
    position.code = space > 0 ? entry.normCode.mid(space + 1) : entry.normCode;
    position.kind = workKindOf(position.prefix);
    if (norm == m_pricing.norms.cend()) {
        position.name = entry.work;
        position.unit = entry.volume.unit;
        if (m_priced || !m_pricing.norms.isEmpty())
            gap(QStringLiteral("нормы «%1» нет в базе норм; загрузите ее сборник или замените "
                               "норму")
                    .arg(entry.normCode));
        return position;
    }
    position.name = norm->name;
    position.unit = norm->measure;
    const double multiplier =
        norms::parseMeasure(norm->measure).value_or(norms::Measure{}).multiplier;
    const double volume = entry.volume.quantity.value_or(0) * entry.count;
    position.quantity = roundQuantity(volume / multiplier);
    QString formula = entry.volume.formula.isEmpty()
                          ? bom::formulaNumber(entry.volume.quantity.value_or(0))
                          : entry.volume.formula;
    if (entry.count != 1)
        formula = QStringLiteral("%1*(%2)").arg(QString::number(entry.count), formula);
    if (multiplier != 1)
        formula = QStringLiteral("(%1)/%2").arg(formula, bom::formulaNumber(multiplier));
    position.formula = formula;
    if (!(position.quantity > 0))
        gap(QStringLiteral("нет объема работ: укажите его в ведомости"));
    if (terms)
        position.coefficients = terms->coefficients;
    position.quantityTotal =
        roundQuantity(position.quantity * factorsOf(position.coefficients).volume);
    addLines(position, *norm, terms);
    total(position);
    charges(position, *norm, terms);
    return position;
}

void Computation::materialPosition(int index, qsizetype material, QList<int> vorNums)
{
    const bom::Entry &entry = m_bill.entries.at(index);
    const bom::Material &typed = entry.materials.at(material);
    Position position;
    position.entry = index;
    position.num = ++m_num;
    position.norm = false;
    position.vorNums = std::move(vorNums);
    m_position = &position;
    Line line;
    line.kind = LineKind::Material;
    double factor = 1;
    if (typed.key.hasCode()) {
        line.code = typed.key.code;
    } else if (const auto link = m_bill.links.constFind(typed.key); link != m_bill.links.cend()) {
        line.code = link->code;
        factor = link->factor;
    }
    const auto known = m_pricing.catalogue.constFind(line.code);
    const bool named = !line.code.isEmpty() && known != m_pricing.catalogue.cend();
    line.name = named ? known->name : typed.key.name;
    line.unit = named ? known->unit : typed.key.unit;
    line.perUnit = roundQuantity(typed.quantity.value_or(0) * entry.count * factor);
    line.quantity = line.perUnit;
    position.code = line.code;
    position.name = line.name;
    position.unit = line.unit;
    position.quantity = line.quantity;
    position.quantityTotal = line.quantity;
    position.formula = bom::formulaNumber(line.quantity);
    if (line.code.isEmpty()) {
        position.lines.append(line);
        gap(QStringLiteral("материал «%1» не связан с ресурсом каталога; свяжите его в "
                           "ведомости")
                .arg(typed.key.name));
    } else {
        price(line, 1);
        position.lines.append(line);
    }
    total(position);
    addPosition(position);
}

void Computation::addPosition(Position position)
{
    const double charges = (position.overhead ? position.overhead->amount : 0) +
                           (position.profit ? position.profit->amount : 0);
    position.total = roundMoney(position.direct + charges);
    position.totalHow =
        moneyFigure(position.total) + QStringLiteral(" = ПЗ ") + moneyFigure(position.direct);
    if (position.overhead)
        position.totalHow += QStringLiteral(" + НР ") + moneyFigure(position.overhead->amount);
    if (position.profit)
        position.totalHow += QStringLiteral(" + СП ") + moneyFigure(position.profit->amount);
    position.perUnit = position.quantity > 0 ? roundMoney(position.total / position.quantity) : 0;
    m_section.positions.append(position);
    m_position = nullptr;
}

void Computation::addEntry(int index)
{
    const bom::Entry &entry = m_bill.entries.at(index);
    if (!entry.normCode.isEmpty()) {
        const bom::PositionTerms *terms = nullptr;
        for (const bom::PositionTerms &kept : std::as_const(m_terms.positions))
            if (kept.entry == index && kept.normCode == entry.normCode)
                terms = &kept;
        addPosition(normPosition(index, terms));
        return;
    }
    const QList<int> nums = m_vorNums.value(index);
    for (qsizetype material = 0; material < entry.materials.size(); ++material) {
        const bom::Material &typed = entry.materials.at(material);
        if (typed.kind != bom::MaterialKind::Buy || !typed.quantity)
            continue;
        const int num = entry.manual ? nums.value(material) : nums.value(0);
        materialPosition(index, material, num > 0 ? QList<int>{num} : QList<int>());
    }
}

Estimate Computation::run()
{
    head();
    numberWorks();
    for (int section = 0; section < m_bill.sections.size(); ++section) {
        m_section =
            Section{int(m_estimate.sections.size()) + 1, m_bill.sections.at(section).name, {}, {}};
        for (int index = 0; index < m_bill.entries.size(); ++index)
            if (m_bill.entries.at(index).section == section)
                addEntry(index);
        if (m_section.positions.isEmpty())
            continue;
        for (const Position &position : std::as_const(m_section.positions)) {
            Summary &kind = position.kind == WorkKind::Building   ? m_section.totals.building
                            : position.kind == WorkKind::Mounting ? m_section.totals.mounting
                                                                  : m_section.totals.other;
            kind.add(position);
            m_section.totals.all.add(position);
        }
        finish(m_section.totals);
        Totals &all = m_estimate.totals;
        all.building.add(m_section.totals.building);
        all.mounting.add(m_section.totals.mounting);
        all.other.add(m_section.totals.other);
        all.all.add(m_section.totals.all);
        m_estimate.sections.append(m_section);
    }
    finish(m_estimate.totals);
    return m_estimate;
}

QString grouped(QString digits)
{
    const qsizetype sign = digits.startsWith(u'-') ? 1 : 0;
    for (qsizetype at = digits.size() - 3; at > sign; at -= 3)
        digits.insert(at, QChar(0x00A0));
    return digits;
}

} // namespace

Estimate compute(const bom::Bill &bill, const Pricing &pricing)
{
    return Computation(bill, pricing).run();
}

QList<bom::PositionTerms> staleTerms(const bom::Bill &bill)
{
    QList<bom::PositionTerms> stale;
    if (!bill.estimate)
        return stale;
    for (const bom::PositionTerms &terms : bill.estimate->positions)
        if (terms.entry < 0 || terms.entry >= bill.entries.size() ||
            bill.entries.at(terms.entry).normCode != terms.normCode)
            stale.append(terms);
    return stale;
}

QString vorFileNameOf(const QString &billPath)
{
    const QString name =
        billPath.isEmpty() ? QStringLiteral("ведомость") : QFileInfo(billPath).completeBaseName();
    return name + QStringLiteral(".gge");
}

WorkKind workKindOf(const QString &prefix)
{
    if (prefix == u"ГЭСН" || prefix == u"ГЭСНр")
        return WorkKind::Building;
    if (prefix == u"ГЭСНм" || prefix == u"ГЭСНмр")
        return WorkKind::Mounting;
    return WorkKind::Other;
}

QString moneyFigure(double roubles)
{
    return bom::groupedMoneyText(std::llround(roubles * 100));
}

QString quantityFigure(double value)
{
    QString text = QString::number(roundQuantity(value), 'f', 7);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    const qsizetype point = text.indexOf(u'.');
    const QString whole = grouped(point < 0 ? text : text.left(point));
    return point < 0 ? whole : whole + calc::decimalSeparator() + text.mid(point + 1);
}

} // namespace lsr

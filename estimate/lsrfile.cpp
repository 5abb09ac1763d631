#include "lsrfile.h"

#include "billfile.h"
#include "lsrform.h"
#include "xmltree.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace lsrfile {

QString territoryName(bom::Territory territory)
{
    switch (territory) {
    case bom::Territory::Mprks:
        return QStringLiteral("МПРКС");
    case bom::Territory::Rks:
        return QStringLiteral("РКС");
    case bom::Territory::Ordinary:
        break;
    }
    return QStringLiteral("Территория");
}

QString targetName(bom::CoefficientTarget target)
{
    switch (target) {
    case bom::CoefficientTarget::Volume:
        return QStringLiteral("Объем");
    case bom::CoefficientTarget::Labour:
        return QStringLiteral("ОТ");
    case bom::CoefficientTarget::Machines:
        return QStringLiteral("ЭМ");
    case bom::CoefficientTarget::MachinistLabour:
        return QStringLiteral("ОТМ");
    case bom::CoefficientTarget::Materials:
        return QStringLiteral("МАТ");
    case bom::CoefficientTarget::LabourHours:
        return QStringLiteral("ЗТ");
    case bom::CoefficientTarget::MachinistHours:
        return QStringLiteral("ЗТМ");
    }
    return {};
}

namespace {

const QString kFileType = QStringLiteral("ЛС");
const QString kFormatVersion = QStringLiteral("3.01");
const QString kSchema = QStringLiteral("LocalEstimateResourceIndexMethod-3_01.xsd");
// Copied from the schema: its «Т» are Cyrillic, the rest Latin.
const QString kTerritoryElement = QStringLiteral("ТerritoryТype");
const QString kLabourUnit = QStringLiteral("чел.-ч");
const QString kIndexName = QStringLiteral("Индекс изменения сметной стоимости");

constexpr int kMoney = 2;
constexpr int kQuantity = 7;

// The prefixes of a norm the format accepts, as the schema's pattern lists them.
bool isPrefix(const QString &prefix)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^((ФЕР(м|мр|р|п)?)|(ТЕР(м|мр|р|п|кр)?)|(ГЭСН(м|мр|р|п)?)|(КСР)|(ФССЦ(пг)?)|(ТССЦ(пг)?)|"
        "(ФСЭМ)|(ТСЭМ)|(ОССЦЖ)|(ОССПЖ)|(ОСЭМЖ)|(ОСОЦЖо))$"));
    return pattern.match(prefix).hasMatch();
}

const QList<std::pair<bom::LegalAct::Role, QString>> &legalElements()
{
    static const QList<std::pair<bom::LegalAct::Role, QString>> elements = {
        {bom::LegalAct::Role::Main, QStringLiteral("Main")},
        {bom::LegalAct::Role::Methodology, QStringLiteral("Metodology")},
        {bom::LegalAct::Role::Overheads, QStringLiteral("Overheads")},
        {bom::LegalAct::Role::Profits, QStringLiteral("Profits")},
        {bom::LegalAct::Role::Indexes, QStringLiteral("Indexes")},
        {bom::LegalAct::Role::Other, QStringLiteral("Other")}};
    return elements;
}

QString legalCaption(bom::LegalAct::Role role)
{
    switch (role) {
    case bom::LegalAct::Role::Main:
        return QStringLiteral("Акт сметных нормативов");
    case bom::LegalAct::Role::Methodology:
        return QStringLiteral("Методика составления сметы");
    case bom::LegalAct::Role::Overheads:
        return QStringLiteral("Методика накладных расходов");
    case bom::LegalAct::Role::Profits:
        return QStringLiteral("Методика сметной прибыли");
    case bom::LegalAct::Role::Indexes:
        return QStringLiteral("Письмо об индексах");
    case bom::LegalAct::Role::Other:
        break;
    }
    return QStringLiteral("Прочий акт");
}

// An optional act (the letter of indexes, another) the estimator has not filled in at all: left
// out of the file rather than a gap.
bool isBlank(const bom::LegalAct &act)
{
    const bool optional =
        act.role == bom::LegalAct::Role::Indexes || act.role == bom::LegalAct::Role::Other;
    return optional && act.name.trimmed().isEmpty() && act.registerNumber <= 0;
}

bool isLegalType(const QString &type)
{
    static const QStringList types = {
        QStringLiteral("ГСН"), QStringLiteral("ОСН"), QStringLiteral("ТЕР"),
        QStringLiteral("ИСН"), QStringLiteral("НЗ"),  QStringLiteral("Справочная информация")};
    return types.contains(type);
}

// A line of the norm that is not priced again and is not labour: the norm's «по проекту»
// material, written among the norm's own by-design resources.
bool isAbstract(const lsr::Line &line)
{
    return line.kind == lsr::LineKind::Unpriced && line.unit.trimmed() != kLabourUnit;
}

bool isPriced(const lsr::Line &line)
{
    return line.kind != lsr::LineKind::Unpriced;
}

// A machinist's grade as the format's decimal: «4,2» or «5».
std::optional<double> gradeOf(const QString &grade)
{
    bool ok = false;
    const double value = QString(grade).replace(u',', u'.').trimmed().toDouble(&ok);
    return ok && value > 0 && value < 10 ? std::optional<double>(value) : std::nullopt;
}

QString positionText(const lsr::Section &section, int s, const lsr::Position &position, int p)
{
    QString text = QStringLiteral("Раздел %1, позиция %2")
                       .arg(section.code > 0 ? section.code : s + 1)
                       .arg(position.num > 0 ? position.num : p + 1);
    const QString code = (position.prefix + u' ' + position.code).trimmed();
    if (!code.isEmpty())
        text += QStringLiteral(" (%1)").arg(code);
    return text;
}

struct Checker
{
    QList<lsr::Gap> gaps;
    bom::Territory territory = bom::Territory::Ordinary;

    void gap(const QString &text, int section = -1, int position = -1, int line = -1,
             const QString &field = {})
    {
        // The computation says some of the head's gaps in its own words: one of each is enough.
        for (const lsr::Gap &known : gaps) {
            const bool sameField = section < 0 && known.section < 0 && !field.isEmpty() &&
                                   field != QStringLiteral("legal") && known.field == field;
            if (known.text == text || sameField)
                return;
        }
        gaps.append({text, section, position, line, field});
    }

    void head(const QString &value, const char *field, const char *text)
    {
        if (value.trimmed().isEmpty())
            gap(QString::fromUtf8(text), -1, -1, -1, QString::fromLatin1(field));
    }

    void legal(const lsr::Head &head)
    {
        const QString field = QStringLiteral("legal");
        for (const auto &[role, element] : legalElements()) {
            bool found = false;
            for (const bom::LegalAct &act : head.terms.legal) {
                if (act.role != role || isBlank(act))
                    continue;
                found = true;
                const QString caption = legalCaption(role);
                if (act.name.trimmed().isEmpty())
                    gap(caption + QStringLiteral(": не указано наименование"), -1, -1, -1, field);
                if (!isLegalType(act.type))
                    gap(caption + QStringLiteral(": не указан вид документа (ГСН, ОСН, ТЕР, ИСН, "
                                                 "НЗ или «Справочная информация»)"),
                        -1, -1, -1, field);
                if (!act.date.isValid())
                    gap(caption + QStringLiteral(": не указана дата включения в реестр"), -1, -1,
                        -1, field);
                if (act.registerNumber <= 0)
                    gap(caption + QStringLiteral(": не указан номер в реестре сметных нормативов"),
                        -1, -1, -1, field);
            }
            const bool required =
                role != bom::LegalAct::Role::Indexes && role != bom::LegalAct::Role::Other;
            if (!found && required)
                gap(legalCaption(role) + QStringLiteral(": не указан"), -1, -1, -1, field);
        }
    }

    void line(const lsr::Position &position, const QString &where, int s, int p, int l)
    {
        const lsr::Line &line = position.lines.at(l);
        const QString at =
            QStringLiteral("%1, строка %2").arg(where).arg(l + 1) +
            (line.name.trimmed().isEmpty() ? QString()
                                           : QStringLiteral(" «%1»").arg(line.name.trimmed()));
        const auto lineGap = [&](const QString &text) {
            gap(at + QStringLiteral(": ") + text, s, p, l);
        };
        const bool design = line.kind == lsr::LineKind::Design || isAbstract(line);
        const QString resource =
            design ? QStringLiteral("у ресурса «по проекту» ") : QStringLiteral("у ресурса ");
        if (line.code.trimmed().isEmpty())
            lineGap(resource + QStringLiteral("нет шифра"));
        if (line.name.trimmed().isEmpty())
            lineGap(resource + QStringLiteral("нет наименования"));
        if (line.unit.trimmed().isEmpty())
            lineGap(resource + QStringLiteral("нет единицы измерения"));
        if (isPriced(line) && (!line.price || line.source == lsr::PriceSource::None))
            lineGap(QStringLiteral("нет цены — ни текущей, ни базисной с индексом"));
        for (const double value : {line.perUnit, line.quantity, line.cost, line.price.value_or(0),
                                   line.basePrice.value_or(0), line.index.value_or(0)}) {
            if (!std::isfinite(value)) {
                lineGap(QStringLiteral("число за пределами допустимого"));
                break;
            }
        }
        if (line.kind != lsr::LineKind::Machinist)
            return;
        const bool machine = line.machine >= 0 && line.machine < position.lines.size() &&
                             position.lines.at(line.machine).kind == lsr::LineKind::Machine;
        if (!machine)
            lineGap(QStringLiteral("машинист не под машиной"));
        for (int other = 0; other < l && machine; ++other) {
            const lsr::Line &earlier = position.lines.at(other);
            if (earlier.kind == lsr::LineKind::Machinist && earlier.machine == line.machine)
                lineGap(QStringLiteral("у машины уже есть машинист"));
        }
        if (!gradeOf(line.grade))
            lineGap(QStringLiteral("не указан разряд машиниста"));
        if (line.count < 1 || line.count != std::floor(line.count))
            lineGap(QStringLiteral("число машинистов должно быть целым и не меньше 1"));
    }

    void charge(const std::optional<lsr::Charge> &charge, const QString &where, const char *what,
                int s, int p)
    {
        if (!charge) {
            gap(where + QStringLiteral(": нет норматива ") + QString::fromUtf8(what), s, p);
            return;
        }
        if (charge->reason.trimmed().isEmpty())
            gap(where + QStringLiteral(": у норматива ") + QString::fromUtf8(what) +
                    QStringLiteral(" нет обоснования"),
                s, p);
    }

    void position(const lsr::Section &section, int s, int p)
    {
        const lsr::Position &position = section.positions.at(p);
        const QString where = positionText(section, s, position, p);
        if (position.norm) {
            if (!isPrefix(position.prefix))
                gap(where + QStringLiteral(": сборник «%1» формат не принимает — нужен ГЭСН, "
                                           "ГЭСНм, ГЭСНмр, ГЭСНр или ГЭСНп")
                                .arg(position.prefix),
                    s, p);
            if (position.code.trimmed().isEmpty())
                gap(where + QStringLiteral(": нет шифра нормы"), s, p);
            if (position.name.trimmed().isEmpty())
                gap(where + QStringLiteral(": нет наименования работы"), s, p);
            if (position.unit.trimmed().isEmpty())
                gap(where + QStringLiteral(": нет единицы измерения"), s, p);
            if (position.quantity == 0 || !std::isfinite(position.quantity))
                gap(where + QStringLiteral(": объем работ равен нулю"), s, p);
            if (position.quantityTotal == 0 || !std::isfinite(position.quantityTotal))
                gap(where + QStringLiteral(": объем с учетом коэффициентов равен нулю"), s, p);
            charge(position.overhead, where, "накладных расходов", s, p);
            // The overhead's item ends in the column of the territory the estimate is for.
            static const QRegularExpression item(QStringLiteral("^Пр/812-.*-([123])$"));
            const QRegularExpressionMatch match =
                item.match(position.overhead ? position.overhead->reason.trimmed() : QString());
            if (match.hasMatch() && match.captured(1) != QString::number(int(territory) + 1))
                gap(where + QStringLiteral(": норматив накладных расходов «%1» не для района "
                                           "«%2»")
                                .arg(position.overhead->reason.trimmed(), territoryName(territory)),
                    s, p);
            charge(position.profit, where, "сметной прибыли", s, p);
            for (const bom::Coefficient &coefficient : position.coefficients) {
                if (coefficient.name.trimmed().isEmpty() || coefficient.reason.trimmed().isEmpty())
                    gap(where + QStringLiteral(": у коэффициента %1 нет наименования или "
                                               "обоснования")
                                    .arg(decimalText(coefficient.value, kQuantity)),
                        s, p);
            }
        } else {
            int resources = 0;
            for (const lsr::Line &line : position.lines)
                resources += line.kind != lsr::LineKind::Machinist ? 1 : 0;
            if (resources != 1)
                gap(where + QStringLiteral(": строка ресурса должна быть одна"), s, p);
        }
        for (int l = 0; l < position.lines.size(); ++l)
            line(position, where, s, p, l);
    }
};

// --- Writing ---------------------------------------------------------------------------------

class Writer
{
public:
    explicit Writer(QByteArray *bytes) : m_xml(bytes)
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(2);
    }

    QXmlStreamWriter &xml() { return m_xml; }

    void start(const QString &element) { m_xml.writeStartElement(element); }
    void end() { m_xml.writeEndElement(); }

    // A carriage return written as it is would read back as a line feed: it goes as a reference.
    void text(const QString &element, const QString &text)
    {
        m_xml.writeStartElement(element);
        const QStringList pieces = text.split(u'\r');
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                m_xml.writeEntityReference(QStringLiteral("#13"));
            m_xml.writeCharacters(pieces.at(i));
        }
        m_xml.writeEndElement();
    }
    void optional(const QString &element, const QString &value)
    {
        if (!value.trimmed().isEmpty())
            text(element, value);
    }
    void money(const QString &element, double value) { text(element, decimalText(value, kMoney)); }
    void quantity(const QString &element, double value)
    {
        text(element, decimalText(value, kQuantity));
    }
    void whole(const QString &element, int value) { text(element, QString::number(value)); }

    void date(const QString &element, const QDate &day)
    {
        start(element);
        whole(QStringLiteral("Year"), day.year());
        whole(QStringLiteral("Month"), day.month());
        whole(QStringLiteral("Day"), day.day());
        end();
    }

    void legal(const QString &element, const bom::LegalAct &act)
    {
        start(element);
        text(QStringLiteral("Name"), act.name);
        text(QStringLiteral("Type"), act.type);
        date(QStringLiteral("Date"), act.date);
        whole(QStringLiteral("Num"), act.registerNumber);
        optional(QStringLiteral("Orders"), act.orders);
        end();
    }

    void charge(const QString &element, const lsr::Charge &charge)
    {
        start(element);
        text(QStringLiteral("Reason"), charge.reason);
        optional(QStringLiteral("Name"), charge.name);
        text(QStringLiteral("Target"), QStringLiteral("ФОТ"));
        quantity(QStringLiteral("Value"), charge.percent);
        quantity(QStringLiteral("ValueTotal"), charge.percentTotal);
        money(QStringLiteral("PriceCur"), charge.amount);
        end();
    }

    void summaryItems(const QString &element, const lsr::Summary &summary)
    {
        start(element);
        money(QStringLiteral("Total"), summary.price);
        money(QStringLiteral("WorkersSalary"), summary.workers);
        money(QStringLiteral("MachinistSalary"), summary.machinists);
        money(QStringLiteral("Salary"), summary.workers + summary.machinists);
        money(QStringLiteral("Overhead"), summary.overhead);
        money(QStringLiteral("Profit"), summary.profit);
        money(QStringLiteral("Machines"), summary.machines);
        start(QStringLiteral("Materials"));
        money(QStringLiteral("Total"), summary.materials);
        end();
        money(QStringLiteral("Direct"), summary.direct);
        quantity(QStringLiteral("TotalLaborCosts"), summary.labourHours + summary.machinistHours);
        quantity(QStringLiteral("LaborCosts"), summary.labourHours);
        quantity(QStringLiteral("MachinistLaborCosts"), summary.machinistHours);
        money(QStringLiteral("Price"), summary.price);
        end();
    }

    // Building, mounting and other works, all of them, and the total.
    void summary(const QString &element, const lsr::Totals &totals)
    {
        start(element);
        if (totals.building.any)
            summaryItems(QStringLiteral("Building"), totals.building);
        if (totals.mounting.any)
            summaryItems(QStringLiteral("Mounting"), totals.mounting);
        if (totals.other.any) {
            summaryItems(QStringLiteral("OtherWorks"), totals.other);
            money(QStringLiteral("OtherTotal"), totals.other.price);
        }
        summaryItems(QStringLiteral("Summary"), totals.all);
        money(QStringLiteral("Total"), totals.total);
        end();
    }

    // The position's coefficients that change a line: price ones «Стоимость», quantity ones
    // «Расход».
    void lineCoefficients(const lsr::Position &position, const lsr::Line &line)
    {
        QList<std::pair<const bom::Coefficient *, QString>> applied;
        for (const bom::Coefficient &coefficient : position.coefficients) {
            const QString target = lineTarget(line.kind, coefficient.target);
            if (!target.isEmpty())
                applied.append({&coefficient, target});
        }
        if (applied.isEmpty() || (line.priceCoefficient == 1 && line.quantityCoefficient == 1))
            return;
        start(QStringLiteral("Coefficients"));
        start(QStringLiteral("Final"));
        start(QStringLiteral("Values"));
        coefficientValue(QStringLiteral("Стоимость"), line.priceCoefficient);
        coefficientValue(QStringLiteral("Расход"), line.quantityCoefficient);
        end();
        end();
        for (const auto &[coefficient, target] : applied) {
            start(QStringLiteral("Coefficient"));
            start(QStringLiteral("Values"));
            coefficientValue(target, coefficient->value);
            end();
            text(QStringLiteral("Name"), coefficient->name);
            text(QStringLiteral("Reason"), coefficient->reason);
            end();
        }
        end();
    }

    void costCoefficients(const QList<bom::Coefficient> &coefficients)
    {
        if (coefficients.isEmpty())
            return;
        // The product for each target, in the order the targets first come.
        QList<std::pair<QString, double>> finals;
        for (const bom::Coefficient &coefficient : coefficients) {
            const QString target = targetName(coefficient.target);
            auto found = std::find_if(finals.begin(), finals.end(),
                                      [&](const auto &final) { return final.first == target; });
            if (found == finals.end())
                finals.append({target, coefficient.value});
            else
                found->second *= coefficient.value;
        }
        start(QStringLiteral("Coefficients"));
        start(QStringLiteral("Final"));
        start(QStringLiteral("Values"));
        for (const auto &[target, value] : finals)
            coefficientValue(target, value);
        end();
        end();
        for (const bom::Coefficient &coefficient : coefficients) {
            start(QStringLiteral("Coefficient"));
            start(QStringLiteral("Values"));
            coefficientValue(targetName(coefficient.target), coefficient.value);
            end();
            text(QStringLiteral("Name"), coefficient.name);
            text(QStringLiteral("Reason"), coefficient.reason);
            end();
        }
        end();
    }

    // A resource line; id marks a by-design line, link the one a chosen material prices.
    void resource(const QString &element, const lsr::Position &position, int index, int id,
                  int link, int num)
    {
        const lsr::Line &line = position.lines.at(index);
        start(element);
        if (id > 0)
            whole(QStringLiteral("IDResource"), id);
        whole(QStringLiteral("Num"), num);
        text(QStringLiteral("Code"), line.code);
        text(QStringLiteral("Name"), line.name);
        quantity(QStringLiteral("Consumption"), line.perUnit);
        optional(QStringLiteral("Comment"), line.basis);
        text(QStringLiteral("Unit"), line.unit);
        if (line.price && isPriced(line))
            money(QStringLiteral("PricePerUnitCur"), *line.price);
        money(QStringLiteral("PriceTotalCur"), isPriced(line) ? line.cost : 0);
        if (line.basePrice && line.index && isPriced(line)) {
            money(QStringLiteral("PricePerUnitBase"), *line.basePrice);
            money(QStringLiteral("PriceTotalBase"),
                  lsr::roundMoney(line.quantity * *line.basePrice * line.priceCoefficient));
            start(QStringLiteral("Index"));
            text(QStringLiteral("Name"), kIndexName);
            optional(QStringLiteral("Reason"), line.basis);
            whole(QStringLiteral("Num"), 1);
            start(QStringLiteral("Value"));
            quantity(QStringLiteral("Final"), *line.index);
            quantity(QStringLiteral("IndexValue"), *line.index);
            end();
            end();
        }
        quantity(QStringLiteral("ConsumptionTotal"), line.quantity);
        lineCoefficients(position, line);
        if (link > 0) {
            start(QStringLiteral("LinkResource"));
            whole(QStringLiteral("IDResourceLink"), link);
            end();
        }
        if (line.kind == lsr::LineKind::Machine) {
            for (int m = 0; m < position.lines.size(); ++m) {
                const lsr::Line &machinist = position.lines.at(m);
                if (machinist.kind == lsr::LineKind::Machinist && machinist.machine == index) {
                    this->machinist(position, m);
                    break;
                }
            }
        }
        end();
    }

    void machinist(const lsr::Position &position, int index)
    {
        const lsr::Line &line = position.lines.at(index);
        start(QStringLiteral("Machinist"));
        whole(QStringLiteral("Num"), index + 1);
        text(QStringLiteral("Code"), line.code);
        quantity(QStringLiteral("Grade"), gradeOf(line.grade).value_or(0));
        quantity(QStringLiteral("Consumption"), line.perUnit);
        text(QStringLiteral("Count"), QString::number(qint64(line.count)));
        optional(QStringLiteral("Comment"), line.basis);
        text(QStringLiteral("Unit"), line.unit);
        if (line.price)
            money(QStringLiteral("PricePerUnitCur"), *line.price);
        money(QStringLiteral("PriceTotalCur"), line.cost);
        quantity(QStringLiteral("ConsumptionTotal"), line.quantity);
        lineCoefficients(position, line);
        end();
    }

private:
    static QString lineTarget(lsr::LineKind kind, bom::CoefficientTarget target)
    {
        using T = bom::CoefficientTarget;
        switch (kind) {
        case lsr::LineKind::Worker:
            return target == T::Labour        ? QStringLiteral("Стоимость")
                   : target == T::LabourHours ? QStringLiteral("Расход")
                                              : QString();
        case lsr::LineKind::Machine:
            return target == T::Machines ? QStringLiteral("Стоимость") : QString();
        case lsr::LineKind::Machinist:
            return target == T::MachinistLabour  ? QStringLiteral("Стоимость")
                   : target == T::MachinistHours ? QStringLiteral("Расход")
                                                 : QString();
        case lsr::LineKind::Material:
        case lsr::LineKind::Design:
            return target == T::Materials ? QStringLiteral("Стоимость") : QString();
        case lsr::LineKind::Unpriced:
            break;
        }
        return {};
    }

    void coefficientValue(const QString &target, double value)
    {
        start(QStringLiteral("Value"));
        text(QStringLiteral("Target"), target);
        quantity(QStringLiteral("CoefValue"), value);
        end();
    }

    QXmlStreamWriter m_xml;
};

QString elementOf(lsr::LineKind kind)
{
    switch (kind) {
    case lsr::LineKind::Worker:
        return QStringLiteral("Worker");
    case lsr::LineKind::Machine:
        return QStringLiteral("Machine");
    case lsr::LineKind::Unpriced: // the labour totals
        return QStringLiteral("Worker");
    default:
        break;
    }
    return QStringLiteral("Material");
}

void writeNormItem(Writer &out, const lsr::Position &position, int &nextId)
{
    const QList<lsr::Line> &lines = position.lines;
    // The by-design lines get ids, the materials chosen for them point back by the code.
    QHash<QString, int> ids;
    double design = 0;
    for (const lsr::Line &line : lines) {
        if (isAbstract(line) && !ids.contains(line.code))
            ids.insert(line.code, nextId++);
        if (line.kind == lsr::LineKind::Design)
            design += line.cost;
    }
    // The chosen materials are the item's, not the norm's: the norm's own sums go without them.
    const double costMaterials = lsr::roundMoney(position.materials - design);
    const double costDirect = lsr::roundMoney(position.direct - design);

    out.start(QStringLiteral("Cost"));
    out.whole(QStringLiteral("Num"), position.num);
    out.text(QStringLiteral("Prefix"), position.prefix);
    out.text(QStringLiteral("Code"), position.code);
    out.text(QStringLiteral("Name"), position.name);
    out.optional(QStringLiteral("Comment"), position.note);
    out.quantity(QStringLiteral("Quantity"), position.quantity);
    out.optional(QStringLiteral("QuantityFormula"), position.formula);
    out.quantity(QStringLiteral("QuantityTotal"), position.quantityTotal);
    out.text(QStringLiteral("Unit"), position.unit);
    out.start(QStringLiteral("PerUnit"));
    out.quantity(QStringLiteral("LaborCosts"), position.labourPerUnit);
    out.quantity(QStringLiteral("MachinistLaborCosts"), position.machinistPerUnit);
    out.end();
    out.start(QStringLiteral("Totals"));
    out.start(QStringLiteral("Current"));
    out.money(QStringLiteral("Direct"), costDirect);
    out.money(QStringLiteral("Machines"), position.machines);
    out.money(QStringLiteral("WorkersSalary"), position.workers);
    out.money(QStringLiteral("MachinistSalary"), position.machinists);
    out.money(QStringLiteral("Salary"), position.salary);
    out.money(QStringLiteral("Materials"), costMaterials);
    out.end();
    out.start(QStringLiteral("Natural"));
    out.quantity(QStringLiteral("LaborCosts"), position.labourHours);
    out.quantity(QStringLiteral("MachinistLaborCosts"), position.machinistHours);
    out.end();
    out.end();
    out.costCoefficients(position.coefficients);
    out.start(QStringLiteral("ResourcesInternal"));
    for (int i = 0; i < lines.size(); ++i) {
        const lsr::Line &line = lines.at(i);
        if (line.kind != lsr::LineKind::Machinist && line.kind != lsr::LineKind::Design &&
            !isAbstract(line))
            out.resource(elementOf(line.kind), position, i, 0, 0, i + 1);
    }
    out.end();
    if (!ids.isEmpty()) {
        out.start(QStringLiteral("Resources"));
        for (int i = 0; i < lines.size(); ++i) {
            if (isAbstract(lines.at(i)))
                out.resource(QStringLiteral("Material"), position, i, ids.value(lines.at(i).code),
                             0, i + 1);
        }
        out.end();
    }
    out.end();
    if (design != 0 || std::any_of(lines.cbegin(), lines.cend(), [](const lsr::Line &line) {
            return line.kind == lsr::LineKind::Design;
        })) {
        out.start(QStringLiteral("Resources"));
        for (int i = 0; i < lines.size(); ++i) {
            const lsr::Line &line = lines.at(i);
            if (line.kind == lsr::LineKind::Design)
                out.resource(QStringLiteral("Material"), position, i, 0, ids.value(line.designOf),
                             i + 1);
        }
        out.end();
    }
}

void writeItem(Writer &out, const lsr::Position &position, const QString &vorFile, int &nextId)
{
    out.start(QStringLiteral("Item"));
    out.text(QStringLiteral("SummaryType"), lsrform::workKindText(position.kind));
    out.text(QStringLiteral("WorkType"), lsrform::workKindText(position.kind));
    if (position.overhead)
        out.charge(QStringLiteral("Overheads"), *position.overhead);
    if (position.profit)
        out.charge(QStringLiteral("Profits"), *position.profit);
    if (position.norm) {
        writeNormItem(out, position, nextId);
    } else {
        // A single resource: the position's own number, its machinist under it if a machine.
        for (int i = 0; i < position.lines.size(); ++i) {
            const lsr::LineKind kind = position.lines.at(i).kind;
            if (kind != lsr::LineKind::Machinist)
                out.resource(kind == lsr::LineKind::Machine ? QStringLiteral("Machine")
                                                            : QStringLiteral("Material"),
                             position, i, 0, 0, position.num);
        }
    }
    if (position.norm || position.salary != 0)
        out.money(QStringLiteral("Salary"), position.salary);
    out.start(QStringLiteral("Totals"));
    out.money(QStringLiteral("Current"), position.total);
    out.end();
    out.start(QStringLiteral("TotalsUnit"));
    out.money(QStringLiteral("Current"), position.perUnit);
    out.end();
    if (!position.vorNums.isEmpty() && !vorFile.trimmed().isEmpty()) {
        out.start(QStringLiteral("QTF"));
        // Only the file's name: the folder is the sender's own.
        out.text(QStringLiteral("FileNameQTF"),
                 vorFile.section(u'/', -1).section(u'\\', -1).trimmed());
        for (const int num : position.vorNums)
            out.whole(QStringLiteral("NumQTF"), num);
        out.end();
    }
    out.end();
}

// --- Reading ---------------------------------------------------------------------------------

using xmltree::Failure;
using xmltree::Node;

const xmltree::Kind &kind()
{
    static const xmltree::Kind lsr{QStringLiteral("Файл ЛСР"), QStringLiteral("смета"),
                                   QStringLiteral("локальный сметный расчет")};
    return lsr;
}

[[noreturn]] void fail(const Node &node, const QString &what)
{
    xmltree::fail(kind(), node, what);
}

const Node &required(const Node &parent, const QString &name)
{
    return xmltree::required(kind(), parent, name);
}

const Node &required(const Node &parent, const char *name)
{
    return required(parent, QString::fromLatin1(name));
}

QString text(const Node &parent, const char *name)
{
    return required(parent, name).text;
}

QString optionalText(const Node &parent, const char *name)
{
    const Node *node = parent.child(QString::fromLatin1(name));
    return node ? node->text : QString();
}

qint64 whole(const Node &node, qint64 least = 1, qint64 most = 1'000'000'000)
{
    bool ok = false;
    const qint64 value = node.text.trimmed().toLongLong(&ok);
    if (!ok || value < least || value > most)
        fail(node, QStringLiteral("в «%1» ожидалось целое число от %2 до %3")
                       .arg(node.name, QString::number(least), QString::number(most)));
    return value;
}

int wholeOf(const Node &parent, const char *name, qint64 least = 1, qint64 most = 1'000'000'000)
{
    return int(whole(required(parent, name), least, most));
}

double decimal(const Node &node)
{
    return xmltree::decimal(kind(), node);
}

double decimalOf(const Node &parent, const char *name)
{
    return decimal(required(parent, name));
}

std::optional<double> optionalDecimal(const Node &parent, const char *name)
{
    const Node *node = parent.child(QString::fromLatin1(name));
    return node ? std::optional<double>(decimal(*node)) : std::nullopt;
}

struct Reader
{
    lsr::Estimate estimate;

    static bom::LegalAct legal(const Node &node, bom::LegalAct::Role role)
    {
        bom::LegalAct act;
        act.role = role;
        act.name = text(node, "Name");
        act.type = text(node, "Type").trimmed();
        const Node &date = required(node, "Date");
        act.date = QDate(wholeOf(date, "Year"), wholeOf(date, "Month"), wholeOf(date, "Day"));
        if (!act.date.isValid())
            fail(date, QStringLiteral("такой даты нет"));
        act.registerNumber = wholeOf(node, "Num");
        act.orders = optionalText(node, "Orders");
        return act;
    }

    static bom::CoefficientTarget target(const Node &node)
    {
        using T = bom::CoefficientTarget;
        for (const T target : {T::Volume, T::Labour, T::Machines, T::MachinistLabour, T::Materials,
                               T::LabourHours, T::MachinistHours}) {
            if (node.text.trimmed() == targetName(target))
                return target;
        }
        fail(node, QStringLiteral("неизвестная цель коэффициента «%1»").arg(node.text.trimmed()));
    }

    static lsr::Charge charge(const Node &node)
    {
        lsr::Charge charge;
        charge.reason = text(node, "Reason").trimmed();
        charge.name = optionalText(node, "Name");
        charge.percent = decimalOf(node, "Value");
        charge.percentTotal = decimalOf(node, "ValueTotal");
        charge.amount = optionalDecimal(node, "PriceCur").value_or(0);
        return charge;
    }

    static lsr::Summary summary(const Node &node)
    {
        lsr::Summary summary;
        summary.price = decimalOf(node, "Price");
        summary.workers = optionalDecimal(node, "WorkersSalary").value_or(0);
        summary.machinists = optionalDecimal(node, "MachinistSalary").value_or(0);
        summary.overhead = optionalDecimal(node, "Overhead").value_or(0);
        summary.profit = optionalDecimal(node, "Profit").value_or(0);
        summary.machines = optionalDecimal(node, "Machines").value_or(0);
        if (const Node *materials = node.child(QStringLiteral("Materials")))
            summary.materials = optionalDecimal(*materials, "Total").value_or(0);
        summary.direct = optionalDecimal(node, "Direct").value_or(0);
        summary.labourHours = optionalDecimal(node, "LaborCosts").value_or(0);
        summary.machinistHours = optionalDecimal(node, "MachinistLaborCosts").value_or(0);
        summary.any = true;
        return summary;
    }

    static lsr::Totals totals(const Node &node)
    {
        lsr::Totals totals;
        if (const Node *building = node.child(QStringLiteral("Building")))
            totals.building = summary(*building);
        if (const Node *mounting = node.child(QStringLiteral("Mounting")))
            totals.mounting = summary(*mounting);
        if (const Node *other = node.child(QStringLiteral("OtherWorks")))
            totals.other = summary(*other);
        totals.all = summary(required(node, "Summary"));
        totals.total = decimalOf(node, "Total");
        return totals;
    }

    // A resource line; its number says its place among the position's lines.
    static lsr::Line line(const Node &node, lsr::LineKind kind)
    {
        lsr::Line line;
        line.kind = kind;
        line.code = text(node, "Code").trimmed();
        line.name = text(node, "Name");
        line.unit = text(node, "Unit").trimmed();
        line.perUnit = decimalOf(node, "Consumption");
        line.quantity = decimalOf(node, "ConsumptionTotal");
        line.price = optionalDecimal(node, "PricePerUnitCur");
        line.cost = decimalOf(node, "PriceTotalCur");
        line.basePrice = optionalDecimal(node, "PricePerUnitBase");
        line.basis = optionalText(node, "Comment");
        if (const Node *index = node.child(QStringLiteral("Index"))) {
            line.index = decimalOf(required(*index, "Value"), "IndexValue");
            if (line.basis.isEmpty())
                line.basis = optionalText(*index, "Reason");
        }
        if (const Node *coefficients = node.child(QStringLiteral("Coefficients"))) {
            for (const Node &value :
                 required(required(*coefficients, "Final"), "Values").children) {
                if (value.name != QStringLiteral("Value"))
                    continue;
                const QString target = text(value, "Target").trimmed();
                const double factor = decimalOf(value, "CoefValue");
                if (target == QStringLiteral("Стоимость"))
                    line.priceCoefficient = factor;
                else if (target == QStringLiteral("Расход"))
                    line.quantityCoefficient = factor;
            }
        }
        if (kind == lsr::LineKind::Unpriced)
            line.source = lsr::PriceSource::Catalogue;
        else if (!line.price)
            line.source = lsr::PriceSource::None;
        else if (line.index)
            line.source =
                line.basis.isEmpty() ? lsr::PriceSource::ListIndex : lsr::PriceSource::TypedIndex;
        else
            line.source = line.basis.isEmpty() ? lsr::PriceSource::List : lsr::PriceSource::Typed;
        return line;
    }

    // Lines in the order of their numbers; a line without one after those that have them.
    struct Numbered
    {
        qint64 num;
        lsr::Line line;
    };

    static void place(QList<Numbered> &lines, const Node &node, lsr::Line line)
    {
        const Node *num = node.child(QStringLiteral("Num"));
        lines.append({num ? whole(*num) : 1'000'000'001, std::move(line)});
    }

    void norm(lsr::Position &position, const Node &item, const Node &cost)
    {
        position.num = wholeOf(cost, "Num");
        position.prefix = text(cost, "Prefix").trimmed();
        position.code = text(cost, "Code").trimmed();
        position.name = text(cost, "Name");
        position.note = optionalText(cost, "Comment");
        position.quantity = decimalOf(cost, "Quantity");
        position.formula = optionalText(cost, "QuantityFormula").trimmed();
        position.quantityTotal = decimalOf(cost, "QuantityTotal");
        position.unit = text(cost, "Unit").trimmed();
        const Node &perUnit = required(cost, "PerUnit");
        position.labourPerUnit = optionalDecimal(perUnit, "LaborCosts").value_or(0);
        position.machinistPerUnit = optionalDecimal(perUnit, "MachinistLaborCosts").value_or(0);
        const Node &totals = required(cost, "Totals");
        if (const Node *current = totals.child(QStringLiteral("Current"))) {
            position.workers = optionalDecimal(*current, "WorkersSalary").value_or(0);
            position.machines = optionalDecimal(*current, "Machines").value_or(0);
            position.machinists = optionalDecimal(*current, "MachinistSalary").value_or(0);
            position.materials = optionalDecimal(*current, "Materials").value_or(0);
            position.direct = optionalDecimal(*current, "Direct").value_or(0);
            position.salary = optionalDecimal(*current, "Salary").value_or(0);
        }
        if (const Node *natural = totals.child(QStringLiteral("Natural"))) {
            position.labourHours = optionalDecimal(*natural, "LaborCosts").value_or(0);
            position.machinistHours = optionalDecimal(*natural, "MachinistLaborCosts").value_or(0);
        }
        if (const Node *coefficients = cost.child(QStringLiteral("Coefficients"))) {
            for (const Node &node : coefficients->children) {
                if (node.name != QStringLiteral("Coefficient"))
                    continue;
                const Node &value = required(required(node, "Values"), "Value");
                position.coefficients.append({text(node, "Name"), text(node, "Reason"),
                                              target(required(value, "Target")),
                                              decimalOf(value, "CoefValue")});
            }
        }
        QList<Numbered> lines;
        QHash<qint64, QString> abstracts; // by-design lines by their ids
        QList<std::pair<qsizetype, qint64>> links;
        if (const Node *internal = cost.child(QStringLiteral("ResourcesInternal"))) {
            for (const Node &node : internal->children)
                internalLine(lines, node);
        }
        if (const Node *resources = cost.child(QStringLiteral("Resources"))) {
            for (const Node &node : resources->children) {
                if (node.name != QStringLiteral("Material"))
                    continue;
                place(lines, node, line(node, lsr::LineKind::Unpriced));
                if (const Node *id = node.child(QStringLiteral("IDResource")))
                    abstracts.insert(whole(*id), lines.last().line.code);
            }
        }
        if (const Node *resources = item.child(QStringLiteral("Resources"))) {
            for (const Node &node : resources->children) {
                if (node.name != QStringLiteral("Material"))
                    fail(node, QStringLiteral("программа читает из ресурсов вне нормы только "
                                              "материалы, а здесь «%1»")
                                   .arg(node.name));
                place(lines, node, line(node, lsr::LineKind::Design));
                if (const Node *link = node.child(QStringLiteral("LinkResource")))
                    if (const Node *id = link->child(QStringLiteral("IDResourceLink")))
                        lines.last().line.designOf = abstracts.value(whole(*id));
            }
        }
        finish(position, lines);
        // The chosen materials are the position's too, though not the norm's.
        for (const lsr::Line &line : position.lines) {
            if (line.kind == lsr::LineKind::Design) {
                position.materials = lsr::roundMoney(position.materials + line.cost);
                position.direct = lsr::roundMoney(position.direct + line.cost);
            }
        }
    }

    void internalLine(QList<Numbered> &lines, const Node &node)
    {
        if (node.name == QStringLiteral("Worker")) {
            const bool priced = node.child(QStringLiteral("PricePerUnitCur"));
            place(lines, node,
                  line(node, priced ? lsr::LineKind::Worker : lsr::LineKind::Unpriced));
        } else if (node.name == QStringLiteral("Material")) {
            place(lines, node, line(node, lsr::LineKind::Material));
        } else if (node.name == QStringLiteral("Machine")) {
            machine(lines, node);
        }
    }

    void machine(QList<Numbered> &lines, const Node &node)
    {
        place(lines, node, line(node, lsr::LineKind::Machine));
        const Node *machinist = node.child(QStringLiteral("Machinist"));
        if (!machinist)
            return;
        const qint64 machineNum = lines.last().num;
        lsr::Line man;
        man.kind = lsr::LineKind::Machinist;
        man.code = text(*machinist, "Code").trimmed();
        man.name = QStringLiteral("Затраты труда машинистов");
        man.grade = decimalText(decimalOf(*machinist, "Grade"), kQuantity);
        man.perUnit = decimalOf(*machinist, "Consumption");
        man.count = double(whole(required(*machinist, "Count"), 1, 1000));
        man.basis = optionalText(*machinist, "Comment");
        man.unit = text(*machinist, "Unit").trimmed();
        man.price = optionalDecimal(*machinist, "PricePerUnitCur");
        man.cost = decimalOf(*machinist, "PriceTotalCur");
        man.quantity = decimalOf(*machinist, "ConsumptionTotal");
        man.source = !man.price            ? lsr::PriceSource::None
                     : man.basis.isEmpty() ? lsr::PriceSource::List
                                           : lsr::PriceSource::Typed;
        if (const Node *coefficients = machinist->child(QStringLiteral("Coefficients"))) {
            for (const Node &value :
                 required(required(*coefficients, "Final"), "Values").children) {
                if (value.name != QStringLiteral("Value"))
                    continue;
                const QString target = text(value, "Target").trimmed();
                if (target == QStringLiteral("Стоимость"))
                    man.priceCoefficient = decimalOf(value, "CoefValue");
                else if (target == QStringLiteral("Расход"))
                    man.quantityCoefficient = decimalOf(value, "CoefValue");
            }
        }
        // The machine is known by its number until the lines are in order.
        man.machine = int(machineNum);
        place(lines, *machinist, man);
    }

    // Puts the lines in order and turns a machinist's machine number into its place.
    static void finish(lsr::Position &position, QList<Numbered> &lines)
    {
        std::stable_sort(lines.begin(), lines.end(),
                         [](const Numbered &a, const Numbered &b) { return a.num < b.num; });
        QHash<qint64, int> places;
        for (int i = 0; i < lines.size(); ++i) {
            if (lines.at(i).line.kind == lsr::LineKind::Machine)
                places.insert(lines.at(i).num, i);
        }
        for (Numbered &numbered : lines) {
            if (numbered.line.kind == lsr::LineKind::Machinist)
                numbered.line.machine = places.value(numbered.line.machine, -1);
            position.lines.append(numbered.line);
        }
    }

    // A line of its own: one material, machine, equipment, haulage or other cost.
    void single(lsr::Position &position, const Node &node)
    {
        const bool isMachine = node.name == QStringLiteral("Machine");
        QList<Numbered> lines;
        if (isMachine)
            machine(lines, node);
        else
            place(lines, node, line(node, lsr::LineKind::Material));
        position.norm = false;
        position.num = lines.first().num > 1'000'000'000 ? 0 : int(lines.first().num);
        // The machinist numbered after the machine, whatever the file says.
        for (qsizetype i = 0; i < lines.size(); ++i)
            lines[i].num = i;
        for (Numbered &numbered : lines) {
            if (numbered.line.kind == lsr::LineKind::Machinist)
                numbered.line.machine = 0;
            position.lines.append(numbered.line);
        }
        const lsr::Line &resource = position.lines.first();
        position.code = resource.code;
        position.name = resource.name;
        position.unit = resource.unit;
        position.quantity = resource.quantity;
        position.quantityTotal = resource.quantity;
        for (const lsr::Line &line : position.lines) {
            if (line.kind == lsr::LineKind::Machine || line.kind == lsr::LineKind::Machinist)
                position.machines += line.cost;
            else
                position.materials += line.cost;
            if (line.kind == lsr::LineKind::Machinist)
                position.machinists += line.cost;
        }
        position.machines = lsr::roundMoney(position.machines);
        position.materials = lsr::roundMoney(position.materials);
        position.direct = lsr::roundMoney(position.machines + position.materials);
        position.salary = position.machinists;
    }

    void item(lsr::Section &section, const Node &node)
    {
        lsr::Position position;
        const QString summary = text(node, "SummaryType").trimmed();
        if (summary == lsrform::workKindText(lsr::WorkKind::Mounting))
            position.kind = lsr::WorkKind::Mounting;
        else if (summary == lsrform::workKindText(lsr::WorkKind::Other))
            position.kind = lsr::WorkKind::Other;
        else if (summary != lsrform::workKindText(lsr::WorkKind::Building))
            fail(*node.child(QStringLiteral("SummaryType")),
                 QStringLiteral("программа не читает позиции вида «%1»").arg(summary));
        if (const Node *overhead = node.child(QStringLiteral("Overheads")))
            position.overhead = charge(*overhead);
        if (const Node *profit = node.child(QStringLiteral("Profits")))
            position.profit = charge(*profit);
        if (const Node *cost = node.child(QStringLiteral("Cost"))) {
            norm(position, node, *cost);
        } else {
            const Node *resource = node.child(QStringLiteral("Material"));
            if (!resource)
                resource = node.child(QStringLiteral("Machine"));
            if (!resource)
                fail(node, QStringLiteral("в позиции нет ни нормы, ни материала, ни машины — "
                                          "оборудование, перевозку и прочие затраты программа не "
                                          "читает"));
            single(position, *resource);
        }
        if (const std::optional<double> salary = optionalDecimal(node, "Salary"))
            position.salary = *salary;
        position.total = optionalDecimal(required(node, "Totals"), "Current").value_or(0);
        position.perUnit = optionalDecimal(required(node, "TotalsUnit"), "Current").value_or(0);
        if (const Node *qtf = node.child(QStringLiteral("QTF"))) {
            if (estimate.head.vorFileName.isEmpty())
                estimate.head.vorFileName = text(*qtf, "FileNameQTF").trimmed();
            for (const Node &num : qtf->children) {
                if (num.name == QStringLiteral("NumQTF"))
                    position.vorNums.append(int(whole(num)));
            }
        }
        section.positions.append(position);
    }

    void head(const Node &root, const Node &object, const Node &node)
    {
        lsr::Head &head = estimate.head;
        bom::EstimateTerms &terms = head.terms;
        head.construction = text(root, "Name");
        head.objectNumber = text(object, "Num").trimmed();
        head.object = text(object, "Name");
        terms.guid = optionalText(node, "GUID").trimmed();
        const Node &legal = required(node, "Legal");
        for (const auto &[role, element] : legalElements()) {
            for (const Node &act : legal.children) {
                if (act.name == element)
                    terms.legal.append(this->legal(act, role));
            }
        }
        terms.salaryAct = text(node, "Salary");
        const Node &region = required(node, "Region");
        terms.regionCode = wholeOf(region, "RegionCode", 0, 99);
        terms.regionName = text(region, "RegionName");
        if (const Node *zone = region.child(QStringLiteral("SubRegion"))) {
            terms.zoneCode = text(*zone, "SubRegionCode").trimmed();
            terms.zoneName = text(*zone, "SubRegionName");
        }
        const Node &territory = required(node, kTerritoryElement);
        if (territory.text.trimmed() == territoryName(bom::Territory::Mprks))
            terms.territory = bom::Territory::Mprks;
        else if (territory.text.trimmed() == territoryName(bom::Territory::Rks))
            terms.territory = bom::Territory::Rks;
        else if (territory.text.trimmed() != territoryName(bom::Territory::Ordinary))
            fail(territory,
                 QStringLiteral("неизвестный вид территории «%1»").arg(territory.text.trimmed()));
        terms.number = text(node, "Num").trimmed();
        terms.name = text(node, "Name");
        if (const Node *base = node.child(QStringLiteral("PriceLevelBase"))) {
            head.baseYear = wholeOf(*base, "Year", 1964, 2100);
            head.baseMonth =
                base->child(QStringLiteral("Month")) ? wholeOf(*base, "Month", 1, 12) : 0;
            head.baseQuarter = wholeOf(*base, "Quarter", 1, 4);
        }
        if (const Node *current = node.child(QStringLiteral("PriceLevelCur"))) {
            head.currentYear = wholeOf(*current, "Year", 1964, 2100);
            head.currentQuarter = wholeOf(*current, "Quarter", 1, 4);
        }
        terms.reason = optionalText(node, "Reason");
        const Node &signatures = required(node, "Signatures");
        head.composer = text(signatures, "ComposeFIO");
        head.verifier = text(signatures, "VerifyFIO");
    }

    void construction(const Node &root)
    {
        const Node &file = required(required(root, "Meta"), "File");
        const Node &type = required(file, "Type");
        if (type.text.trimmed() != kFileType)
            fail(
                type,
                QStringLiteral("это не локальный сметный расчет, а «%1»").arg(type.text.trimmed()));
        const Node &version = required(file, "Version");
        if (version.text.trimmed() != kFormatVersion)
            fail(version, QStringLiteral("версия формата %1, а программа читает версию %2")
                              .arg(version.text.trimmed(), kFormatVersion));
        const Node &object = required(root, "Object");
        const Node &node = required(object, "Estimate");
        head(root, object, node);
        for (const Node &child : required(node, "Sections").children) {
            if (child.name != QStringLiteral("Section"))
                continue;
            lsr::Section section;
            section.code = wholeOf(child, "Code");
            section.name = text(child, "Name");
            for (const Node &line : required(child, "Items").children) {
                if (line.name == QStringLiteral("Item"))
                    item(section, line);
            }
            section.totals = totals(required(child, "SectionPrice"));
            estimate.sections.append(section);
        }
        if (const Node *price = node.child(QStringLiteral("EstimatePrice")))
            estimate.totals = totals(*price);
    }
};

} // namespace

QString decimalText(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QList<lsr::Gap> check(const lsr::Estimate &estimate)
{
    Checker checker;
    checker.territory = estimate.head.terms.territory;
    for (const lsr::Gap &gap : estimate.gaps)
        checker.gap(gap.text, gap.section, gap.position, gap.line, gap.field);
    const lsr::Head &head = estimate.head;
    const bom::EstimateTerms &terms = head.terms;
    checker.head(terms.number, "number", "Не указан номер ЛСР");
    checker.head(terms.name, "name", "Не указано наименование ЛСР");
    checker.head(head.construction, "construction", "Не указана стройка");
    checker.head(head.object, "object", "Не указан объект");
    checker.legal(head);
    checker.head(terms.salaryAct, "salaryAct",
                 "Не указан акт региона, утвердивший сметные цены на оплату труда");
    if (terms.regionCode < 0 || terms.regionCode > 99 || terms.regionName.trimmed().isEmpty())
        checker.gap(QStringLiteral("Не указан регион (субъект Российской Федерации)"), -1, -1, -1,
                    QStringLiteral("region"));
    if (head.currentYear < 1964 || head.currentYear > 2100 || head.currentQuarter < 1 ||
        head.currentQuarter > 4)
        checker.gap(QStringLiteral("Не указан текущий уровень цен — не выбран прайс-лист региона"),
                    -1, -1, -1, QStringLiteral("priceList"));
    checker.head(head.composer, "composer", "Не указан составивший");
    checker.head(head.verifier, "verifier", "Не указан проверивший");
    bool any = false;
    for (int s = 0; s < estimate.sections.size(); ++s) {
        const lsr::Section &section = estimate.sections.at(s);
        for (int p = 0; p < section.positions.size(); ++p) {
            any = true;
            checker.position(section, s, p);
        }
    }
    if (!any)
        checker.gap(QStringLiteral("В смете нет ни одной позиции"));
    return checker.gaps;
}

QByteArray encode(const lsr::Estimate &estimate, const Meta &meta)
{
    const lsr::Head &head = estimate.head;
    const bom::EstimateTerms &terms = head.terms;
    QByteArray bytes;
    Writer out(&bytes);
    QXmlStreamWriter &xml = out.xml();
    xml.writeStartDocument();
    out.start(QStringLiteral("Construction"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("noNamespaceSchemaLocation"), kSchema);
    out.start(QStringLiteral("Meta"));
    out.start(QStringLiteral("Soft"));
    out.text(QStringLiteral("Name"), meta.softName);
    out.text(QStringLiteral("Version"), meta.softVersion);
    out.end();
    out.start(QStringLiteral("File"));
    out.text(QStringLiteral("Type"), kFileType);
    out.text(QStringLiteral("Version"), kFormatVersion);
    out.end();
    out.end();
    out.text(QStringLiteral("Num"), head.objectNumber);
    out.text(QStringLiteral("Name"), head.construction);
    out.start(QStringLiteral("Object"));
    out.text(QStringLiteral("Num"), head.objectNumber);
    out.text(QStringLiteral("Name"), head.object);
    out.start(QStringLiteral("Estimate"));
    static const QRegularExpression guid(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    if (guid.match(terms.guid.toUpper()).hasMatch())
        out.text(QStringLiteral("GUID"), terms.guid.toUpper());
    out.start(QStringLiteral("Legal"));
    for (const auto &[role, element] : legalElements()) {
        for (const bom::LegalAct &act : terms.legal) {
            if (act.role == role && !isBlank(act))
                out.legal(element, act);
        }
    }
    out.end();
    out.text(QStringLiteral("Salary"), terms.salaryAct);
    out.start(QStringLiteral("Region"));
    out.whole(QStringLiteral("RegionCode"), terms.regionCode);
    out.text(QStringLiteral("RegionName"), terms.regionName);
    bool zoneNumber = false;
    const int zone = terms.zoneCode.trimmed().toInt(&zoneNumber);
    if (zoneNumber && zone >= 0 && zone <= 99) {
        out.start(QStringLiteral("SubRegion"));
        // Its digits as the subject's list gives them, «00» among them.
        out.text(QStringLiteral("SubRegionCode"), terms.zoneCode.trimmed());
        out.text(QStringLiteral("SubRegionName"), terms.zoneName);
        out.end();
    }
    out.end();
    out.text(kTerritoryElement, territoryName(terms.territory));
    out.text(QStringLiteral("Num"), terms.number);
    out.text(QStringLiteral("Name"), terms.name);
    out.date(QStringLiteral("Date"), meta.exported.date());
    out.start(QStringLiteral("PriceLevelBase"));
    out.whole(QStringLiteral("Year"), head.baseYear);
    if (head.baseMonth >= 1 && head.baseMonth <= 12)
        out.whole(QStringLiteral("Month"), head.baseMonth);
    out.whole(QStringLiteral("Quarter"), head.baseQuarter);
    out.end();
    out.start(QStringLiteral("PriceLevelCur"));
    out.whole(QStringLiteral("Year"), head.currentYear);
    out.whole(QStringLiteral("Quarter"), head.currentQuarter);
    out.end();
    out.optional(QStringLiteral("Reason"), terms.reason);
    out.summary(QStringLiteral("EstimatePrice"), estimate.totals);
    out.start(QStringLiteral("Signatures"));
    out.text(QStringLiteral("ComposeFIO"), head.composer);
    out.text(QStringLiteral("VerifyFIO"), head.verifier);
    out.end();
    out.start(QStringLiteral("Sections"));
    int nextId = 1;
    int sectionCode = 0;
    for (const lsr::Section &section : estimate.sections) {
        ++sectionCode;
        // A section holds at least one item: an empty one is left out.
        if (section.positions.isEmpty())
            continue;
        out.start(QStringLiteral("Section"));
        out.whole(QStringLiteral("Code"), section.code > 0 ? section.code : sectionCode);
        out.text(QStringLiteral("Name"), section.name);
        out.start(QStringLiteral("Items"));
        for (const lsr::Position &position : section.positions)
            writeItem(out, position, head.vorFileName, nextId);
        out.end();
        out.summary(QStringLiteral("SectionPrice"), section.totals);
        out.end();
    }
    out.end();
    out.end();
    out.end();
    // Local time with its offset from UTC, to the second.
    QDateTime exported = meta.exported;
    exported.setTime(
        QTime(exported.time().hour(), exported.time().minute(), exported.time().second()));
    out.text(QStringLiteral("ExportDateTime"),
             exported.toOffsetFromUtc(exported.offsetFromUtc()).toString(Qt::ISODate));
    out.end();
    xml.writeEndDocument();
    return bytes;
}

Reading decode(const QByteArray &bytes)
{
    if (bytes.size() > billfile::kMaxBytes)
        return {std::nullopt,
                QStringLiteral("Файл слишком велик для локального сметного расчета.")};
    try {
        Reader reader;
        reader.construction(xmltree::readRoot(kind(), bytes));
        return {reader.estimate, QString()};
    } catch (const Failure &failure) {
        return {std::nullopt, failure.what};
    }
}

Reading read(const QString &path)
{
    const xmltree::FileBytes file = xmltree::readFile(path, billfile::kMaxBytes);
    if (!file.failure.isEmpty())
        return {std::nullopt, file.failure};
    return decode(file.bytes);
}

std::optional<QString> write(const lsr::Estimate &estimate, const Meta &meta, const QString &path)
{
    QList<lsr::Gap> gaps = check(estimate);
    if (meta.softName.trimmed().isEmpty())
        gaps.prepend({QStringLiteral("Не указано наименование программы"), -1, -1, -1, {}});
    if (!gaps.isEmpty()) {
        QStringList lines;
        for (const lsr::Gap &gap : gaps)
            lines.append(gap.text);
        return QStringLiteral("ЛСР не записана — не хватает данных:\n") + lines.join(u'\n');
    }
    return billfile::writeBytes(encode(estimate, meta), path, billfile::Writing::Export);
}

} // namespace lsrfile

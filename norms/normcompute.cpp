#include "normcompute.h"

#include "extended.h"
#include "inputnumber.h"
#include "totals.h"

namespace norms {

Measure measureOf(const Norm &norm)
{
    return parseMeasure(norm.measure).value_or(Measure{1, QStringLiteral("ед.")});
}

NormComputation computeNorm(const Norm &norm, const QString &volumeText)
{
    const calc::Extended volume = calc::readInputNumber(volumeText, calc::decimalSeparator());
    if (!(volume > 0))
        throw calc::CalcError(QStringLiteral("Объем работ должен быть больше нуля"));
    NormComputation computation{
        norm, measureOf(norm), calc::keptAsDouble(volume), {}, 0, 0, false, false, 0, false};
    calc::Extended labour = 0;
    calc::Extended machines = 0;
    calc::Extended machinists = 0;
    // A total line stands for the lines by grade, which are not added to it.
    std::optional<calc::Extended> total;
    for (const NormResource &resource : norm.resources) {
        std::optional<double> amount;
        if (resource.rate) {
            amount = calc::keptAsDouble(calc::Extended(*resource.rate) * volume /
                                        calc::Extended(computation.measure.multiplier));
        }
        switch (resource.group) {
        case ResourceGroup::Labour:
            if (isMachinistLabour(resource)) {
                computation.hasMachinists = true;
                machinists += amount.value_or(0);
            } else {
                computation.hasLabour = true;
                if (isLabourTotal(resource))
                    total = total.value_or(0) + amount.value_or(0);
                else
                    labour += amount.value_or(0);
            }
            break;
        case ResourceGroup::Machine:
            computation.hasMachines = true;
            machines += amount.value_or(0);
            break;
        case ResourceGroup::Material:
            break;
        }
        computation.amounts.append({resource, amount});
    }
    computation.labourHours = calc::keptAsDouble(total.value_or(labour));
    computation.machinistHours = calc::keptAsDouble(machinists);
    computation.machineHours = calc::keptAsDouble(machines);
    return computation;
}

QString amountText(const std::optional<double> &amount)
{
    return amount ? bom::quantityText(*amount) : QStringLiteral("по проекту");
}

QString rateText(const std::optional<double> &rate)
{
    return amountText(rate);
}

QString workContentText(const QString &content)
{
    QString text;
    for (const QString &line : content.split(u'\n')) {
        const QString item = line.trimmed();
        if (item.isEmpty())
            continue;
        if (!text.isEmpty())
            text += QStringView(u".;:!?").contains(text.back()) ? QStringLiteral(" ")
                                                                : QStringLiteral("; ");
        text += item;
    }
    return text;
}

QStringList journalBlock(const NormComputation &computation)
{
    const Norm &norm = computation.norm;
    QStringList lines{QStringLiteral("Расчет по норме: ") + norm.fullCode() + u' ' + norm.name};
    if (norm.firm)
        lines.append(QStringLiteral("Фирменная норма, версия %1; источник: %2")
                         .arg(QString::number(norm.version), norm.source));
    lines.append(QStringLiteral("Объем работ, %1: %2")
                     .arg(computation.measure.unit, bom::quantityText(computation.volume)));
    lines.append(QStringLiteral("Необходимые материалы:"));
    for (const ResourceAmount &line : computation.amounts) {
        if (line.resource.group == ResourceGroup::Material)
            lines.append(QStringLiteral("%1, %2: %3")
                             .arg(line.resource.name, line.resource.unit, amountText(line.amount)));
    }
    if (computation.hasLabour)
        lines.append(QStringLiteral("Затраты труда, чел.-ч: ") +
                     bom::quantityText(computation.labourHours));
    if (computation.hasMachinists)
        lines.append(QStringLiteral("Затраты труда машинистов, чел.-ч: ") +
                     bom::quantityText(computation.machinistHours));
    if (computation.hasMachines)
        lines.append(QStringLiteral("Машины, маш.-ч: ") +
                     bom::quantityText(computation.machineHours));
    return lines;
}

} // namespace norms

#include "normbill.h"

#include "totals.h"

#include <algorithm>

namespace norms {

namespace {

bom::MaterialKind kindOf(ResourceGroup group)
{
    switch (group) {
    case ResourceGroup::Labour:
        return bom::MaterialKind::Labour;
    case ResourceGroup::Machine:
        return bom::MaterialKind::Machine;
    case ResourceGroup::Material:
        break;
    }
    return bom::MaterialKind::Buy;
}

} // namespace

bom::Entry billEntry(const NormComputation &computation, const QDateTime &added)
{
    bom::Entry entry;
    entry.added = added;
    entry.work = computation.norm.fullCode() + u' ' + computation.norm.name;
    entry.inputs = QStringLiteral("Объем работ, %1: %2")
                       .arg(computation.measure.unit, bom::quantityText(computation.volume));
    entry.normCode = computation.norm.fullCode();
    entry.normVersion = computation.norm.firm ? computation.norm.version : 0;
    const QString source =
        computation.norm.firm
            ? QStringLiteral("%1, версия %2")
                  .arg(computation.norm.fullCode(), QString::number(computation.norm.version))
            : computation.norm.fullCode();
    // Where the norm states its whole labour, that line enters and its lines by grade do not:
    // the bill sums labour from every entry, and each hour must count once.
    const bool totalled =
        std::any_of(computation.amounts.cbegin(), computation.amounts.cend(),
                    [](const ResourceAmount &line) { return isLabourTotal(line.resource); });
    // The volume as typed, in the measure's unit; each amount is the rate per measure × volume.
    const QString volume = bom::formulaNumber(computation.volume);
    entry.volume = {computation.measure.unit, computation.volume, volume};
    const QString perMeasure = computation.measure.multiplier == 1
                                   ? QString()
                                   : u'/' + bom::formulaNumber(computation.measure.multiplier);
    for (const ResourceAmount &line : computation.amounts) {
        if (totalled && line.resource.group == ResourceGroup::Labour &&
            !isLabourTotal(line.resource) && !isMachinistLabour(line.resource))
            continue;
        bom::Material material =
            bom::material(line.resource.name, line.resource.unit, line.amount,
                          kindOf(line.resource.group), QString(), source, line.resource.code);
        if (line.resource.rate)
            material.formula = bom::formulaNumber(*line.resource.rate) + u'*' + volume + perMeasure;
        entry.materials.append(material);
    }
    return entry;
}

} // namespace norms

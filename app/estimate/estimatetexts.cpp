#include "estimatetexts.h"

#include "regional.h"
#include "totals.h"

#include <cmath>

namespace estimatetexts {

QString money(double roubles)
{
    return bom::groupedMoneyText(std::llround(roubles * 100));
}

QString money(const std::optional<double> &price)
{
    return price ? money(*price) : QStringLiteral("—");
}

QString quantity(double value)
{
    // Fixed to the 7 decimals the estimate keeps: the general format would write 0,0000123 with
    // an exponent.
    QString text = QString::number(lsr::roundQuantity(value), 'f', 7);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text.replace(u'.', calc::decimalSeparator());
}

QString kindName(lsr::WorkKind kind)
{
    switch (kind) {
    case lsr::WorkKind::Building:
        return QStringLiteral("Строительные работы");
    case lsr::WorkKind::Mounting:
        return QStringLiteral("Монтажные работы");
    case lsr::WorkKind::Other:
        break;
    }
    return QStringLiteral("Прочие работы");
}

QString sourceName(const lsr::Line &line)
{
    switch (line.source) {
    case lsr::PriceSource::None:
        return QStringLiteral("нет цены");
    case lsr::PriceSource::List:
        return QStringLiteral("прайс-лист");
    case lsr::PriceSource::ListIndex:
        return QStringLiteral("прайс-лист, индекс группы");
    case lsr::PriceSource::Typed:
        return QStringLiteral("введена: %1").arg(line.basis);
    case lsr::PriceSource::TypedIndex:
        return QStringLiteral("индекс введен: %1").arg(line.basis);
    case lsr::PriceSource::Catalogue:
        break;
    }
    return QStringLiteral("не оценивается");
}

QString territoryName(bom::Territory territory)
{
    switch (territory) {
    case bom::Territory::Ordinary:
        return QStringLiteral("Территория");
    case bom::Territory::Mprks:
        return QStringLiteral("МПРКС");
    case bom::Territory::Rks:
        break;
    }
    return QStringLiteral("РКС");
}

QList<bom::CoefficientTarget> targets()
{
    using T = bom::CoefficientTarget;
    return {T::Volume,    T::Labour,      T::Machines,      T::MachinistLabour,
            T::Materials, T::LabourHours, T::MachinistHours};
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
        break;
    }
    return QStringLiteral("ЗТМ");
}

QString levelText(int quarter, int year)
{
    return year > 0 ? QStringLiteral("%1 кв. %2").arg(quarter).arg(year) : QStringLiteral("—");
}

QString positionCode(const lsr::Position &position)
{
    return position.prefix.isEmpty() ? position.code : position.prefix + u' ' + position.code;
}

} // namespace estimatetexts

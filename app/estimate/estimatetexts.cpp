#include "estimatetexts.h"

#include "lsrfile.h"

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
    return lsrfile::territoryName(territory);
}

QList<bom::CoefficientTarget> targets()
{
    using T = bom::CoefficientTarget;
    return {T::Volume,    T::Labour,      T::Machines,      T::MachinistLabour,
            T::Materials, T::LabourHours, T::MachinistHours};
}

QString targetName(bom::CoefficientTarget target)
{
    return lsrfile::targetName(target);
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

#include "measure.h"

#include <cmath>

namespace norms {

std::optional<Measure> parseMeasure(const QString &text)
{
    const QString trimmed = text.simplified();
    if (trimmed.isEmpty())
        return std::nullopt;
    qsizetype numberEnd = 0;
    while (numberEnd < trimmed.size() &&
           (trimmed.at(numberEnd).isDigit() || trimmed.at(numberEnd) == u'.' ||
            trimmed.at(numberEnd) == u','))
        ++numberEnd;
    const QString unit = trimmed.mid(numberEnd).trimmed();
    if (unit.isEmpty())
        return std::nullopt;
    if (numberEnd == 0)
        return Measure{1, unit};
    // The files write a decimal point; a comma is the same separator written by hand.
    bool ok = false;
    const double multiplier = trimmed.left(numberEnd).replace(u',', u'.').toDouble(&ok);
    if (!ok || !(multiplier > 0) || !std::isfinite(multiplier))
        return std::nullopt;
    return Measure{multiplier, unit};
}

} // namespace norms

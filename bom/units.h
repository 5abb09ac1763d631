#pragma once

#include <QString>

namespace bom {

// A unit as the totals compare it: spellings of one unit ("м3", "м3.", "куб. метр",
// "куб. метр(ов)") become one ("м3"); a unit not known keeps its text, trimmed.
QString normalUnit(const QString &unit);

// A material's name as the totals compare it: trimmed, inner runs of spaces made one.
QString normalName(const QString &name);

struct Caption
{
    QString name;
    QString unit; // as written; empty when the caption names none
};

// Splits a result caption such as "Раствор, м3" or "Каменная мелочь. куб. метр" into the
// material and its unit. A trailing dash ("…, м2  -") is not part of the unit.
Caption splitCaption(const QString &caption);

} // namespace bom

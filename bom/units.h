#pragma once

#include <QString>

#include <optional>

namespace bom {

// A unit as the totals compare it: spellings of one unit ("м3", "м3.", "куб. метр",
// "куб. метр(ов)") become one ("м3"); a unit not known keeps its text, trimmed.
QString normalUnit(const QString &unit);

// A material's name as the totals compare it: trimmed, inner runs of spaces made one.
QString normalName(const QString &name);

// What one unit of from is in units of to, when the two are one unit or convert exactly: 1 for the
// same unit, 0,001 from кг to т and from л to м3, 1000 back; none for any other pair.
std::optional<double> unitFactor(const QString &from, const QString &to);

struct Caption
{
    QString name;
    QString unit; // as written; empty when the caption names none
};

// Splits a result caption such as "Раствор, м3" or "Каменная мелочь. куб. метр" into the
// material and its unit. A trailing dash ("…, м2  -") is not part of the unit.
Caption splitCaption(const QString &caption);

} // namespace bom

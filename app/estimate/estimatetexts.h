#pragma once

#include "lsr.h"

#include <QString>
#include <QStringList>

#include <optional>

// How the estimate's window writes its figures and names its kinds of things.
namespace estimatetexts {

QString money(double roubles);                     // «4 646,91»
QString money(const std::optional<double> &price); // «—» for none
QString quantity(double value);                    // up to 7 decimals, no trailing zeros
QString kindName(lsr::WorkKind kind);              // «Строительные работы»
QString sourceName(const lsr::Line &line); // «прайс-лист», «введена: счет № 12»
QString territoryName(bom::Territory territory);
QString targetName(bom::CoefficientTarget target); // «ОТ», «ЗТМ», «Объем»
QList<bom::CoefficientTarget> targets();
QString levelText(int quarter, int year); // «2 кв. 2026»
// The position's code as the bill names its norm: «ГЭСН 06-01-001-01».
QString positionCode(const lsr::Position &position);

} // namespace estimatetexts

#pragma once

#include "lsr.h"

#include <QStringList>

#include <optional>

// The local estimate in the form of the methodology's appendix 2 (order 421/пр): the head, then
// the table of twelve columns, a row for each position, each of its resources and each of its
// sums, the sections' and the estimate's totals. The printout and the workbook show the same rows.
namespace lsrform {

enum Column
{
    Num,
    Basis,
    Name,
    Unit,
    PerUnit,             // quantity per unit of measure
    QuantityCoefficient, // coefficients of the quantity
    Quantity,            // the whole quantity with the coefficients
    BasePrice,           // per unit at the base level
    Index,
    Price,            // per unit at the current level
    PriceCoefficient, // coefficients of the price
    Cost,             // the whole at the current level
    ColumnCount
};

// The table's two heading rows: the groups «Количество» and «Сметная стоимость, руб.» over their
// columns, the others standing through both rows.
QStringList columnHeadings();
QString quantityGroup();
QString costGroup();

struct Row
{
    enum class Kind
    {
        Section,       // «Раздел 1. Фундаменты»
        Position,      // the norm, or a resource priced by itself
        Note,          // a coefficient of the position, a remark
        Line,          // a resource of the position
        Sum,           // ОТ, ЭМ, в т.ч. ОТм, М, ФОТ of the position
        Charge,        // НР, СП
        PositionTotal, // «Всего по позиции»
        SectionTotal,
        Caption,       // «Итоги по смете»
        EstimateSum,   // a sum of the estimate by kind of work or of cost
        EstimateTotal, // «ВСЕГО по смете»
    };
    Kind kind = Kind::Line;
    QString num, basis, name, unit;
    std::optional<double> perUnit, quantityCoefficient, quantity, basePrice, index, price,
        priceCoefficient, cost;
    // What a sum takes: a line's «ОТ», «ЭМ», «ОТм», «М»; a position's sums «п:ОТ», «п:ЭМ»,
    // «п:ОТм», «п:М», «п:ФОТ», «п:НР», «п:СП»; its total «Всего»; the estimate's sums name these
    // too, and a kind of work «Строительные», «Монтажные», «Прочее».
    QString key;
    QString workKind; // of the position the row belongs to
};

// «ЛОКАЛЬНЫЙ СМЕТНЫЙ РАСЧЕТ (СМЕТА) № 02-01-01».
QString title(const lsr::Head &head);
// Caption and text of the head's lines, the empty ones left out.
QList<std::pair<QString, QString>> headLines(const lsr::Head &head);
QString workKindText(lsr::WorkKind kind);
QString basisText(const lsr::Position &position);
// The estimate's number without the words some programs write into it: «ЛСР №09-01-01» →
// «09-01-01».
QString bareNumber(const QString &number);
// A quantity, coefficient or percent as the form shows it: «0,1875», «1,15», «102».
QString numberText(double value);

QList<Row> rows(const lsr::Estimate &estimate);

// «Составил», «Проверил» with the names.
QList<std::pair<QString, QString>> signatures(const lsr::Head &head);

} // namespace lsrform

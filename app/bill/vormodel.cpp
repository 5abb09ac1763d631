#include "vormodel.h"

#include "billmodels.h"
#include "totals.h"
#include "units.h"

namespace vormodel {

QString cell(const bom::Bill &bill, int row, int column)
{
    const bom::Entry &entry = bill.entries.at(row);
    switch (column) {
    case EntriesModel::Section:
        return bill.sections.value(entry.section).name;
    case EntriesModel::VolumeUnit:
        return entry.volume.unit;
    case EntriesModel::Volume:
        return entry.volume.quantity ? bom::quantityText(*entry.volume.quantity) : QString();
    case EntriesModel::Formula:
        return entry.volume.formula;
    case EntriesModel::Basis:
        return bom::linksText(entry.links);
    default:
        return {};
    }
}

Edit apply(const bom::Bill &bill, int row, int column, const QString &typed)
{
    bom::Entry entry = bill.entries.at(row);
    const QString text = typed.trimmed();
    switch (column) {
    case EntriesModel::Section: {
        // A section by its name or its number.
        for (int i = 0; i < bill.sections.size(); ++i) {
            if (bill.sections.at(i).name.trimmed() == text || QString::number(i + 1) == text) {
                entry.section = i;
                return {entry, QStringLiteral("раздел записи"), std::nullopt};
            }
        }
        return {std::nullopt,
                {},
                bom::Refusal{QStringLiteral("Нет такого раздела: укажите название или номер "
                                            "раздела из списка разделов")}};
    }
    case EntriesModel::VolumeUnit:
        entry.volume.unit = bom::normalUnit(text);
        return {entry, QStringLiteral("единица объема"), std::nullopt};
    case EntriesModel::Volume: {
        if (text.isEmpty()) {
            entry.volume.quantity.reset();
            return {entry, QStringLiteral("объем работы"), std::nullopt};
        }
        const bom::QuantityEdit edit = bom::readQuantity(text);
        if (edit.refusal)
            return {std::nullopt, {}, edit.refusal};
        entry.volume.quantity = edit.quantity;
        // A figure typed over its formula is its own formula.
        const std::optional<double> formula = bom::evaluateFormula(entry.volume.formula);
        if (!formula || *formula != edit.quantity)
            entry.volume.formula = bom::formulaNumber(edit.quantity);
        return {entry, QStringLiteral("объем работы"), std::nullopt};
    }
    case EntriesModel::Formula: {
        if (text.isEmpty()) {
            entry.volume.formula.clear();
            return {entry, QStringLiteral("формула объема"), std::nullopt};
        }
        const std::optional<double> value = bom::evaluateFormula(text);
        if (!value)
            return {std::nullopt,
                    {},
                    bom::Refusal{QStringLiteral("Формула — числа с точкой, знаки + - * / и "
                                                "скобки, например 12.3*3*0.38")}};
        entry.volume.formula = text;
        entry.volume.quantity = *value;
        return {entry, QStringLiteral("формула объема"), std::nullopt};
    }
    default:
        return {};
    }
}

} // namespace vormodel

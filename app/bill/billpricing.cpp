#include "billpricing.h"

#include "billbook.h"
#include "billcommands.h"
#include "billreadings.h"

#include <QUndoStack>

#include <functional>

namespace {

// The catalogue's price of a row's resource at the index, with why it cannot be; none when the
// catalogue does not price the row.
struct IndexedPrice
{
    std::optional<qint64> kopecks;
    BillReadings::BasePrice base;
    std::optional<bom::Refusal> refusal;
};

std::optional<IndexedPrice> indexedPrice(const BillReadings &readings, const bom::MaterialKey &key,
                                         double index)
{
    const std::optional<BillReadings::BasePrice> base = readings.basePrice(key);
    if (!base)
        return std::nullopt;
    const double cost = *readings.resource(key.code)->cost; // per the catalogue's unit
    return IndexedPrice{bom::cataloguePrice(cost, base->factor, index), *base,
                        bom::refusalOfIndexedPrice(key.name, cost, base->factor, index)};
}

// Calls visit on every coded material and machine with its terms.
void forEachPriced(const bom::Totals &totals,
                   const std::function<void(const bom::MaterialKey &, const bom::Terms &)> &visit)
{
    for (const bom::Total &row : totals.rows) {
        if (row.key.hasCode())
            visit(row.key, row.terms);
    }
    // Labour has no federal price.
    for (const bom::HoursTotal &row : totals.hours) {
        if (row.kind == bom::MaterialKind::Machine && row.key.hasCode())
            visit(row.key, row.terms);
    }
}

} // namespace

namespace billpricing {

std::optional<bom::Refusal> setPriceIndex(BillBook &book, const BillReadings &readings,
                                          std::optional<double> index)
{
    if (book.bill().priceIndex == index)
        return std::nullopt;
    bom::Bill after = book.bill();
    after.priceIndex = index;
    std::optional<bom::Refusal> refusal;
    // Every price the catalogue can give, and not only those it gave: a later fill takes them.
    // Without an index a price keeps the index its origin names.
    forEachPriced(book.totals(), [&](const bom::MaterialKey &key, const bom::Terms &terms) {
        const bool typed = terms.priceKopecks && !terms.priceOrigin;
        if (refusal || !index || typed)
            return;
        const std::optional<IndexedPrice> price = indexedPrice(readings, key, *index);
        // A catalogue price that cannot follow would stand at another index than the bill's.
        if (!price && terms.priceOrigin)
            refusal = bom::Refusal{
                QStringLiteral("Индекс не изменен: цены «%1» из ФСБЦ нет в базе норм, и ее нельзя "
                               "пересчитать. Загрузите ФСБЦ или введите цену сами")
                    .arg(key.name)};
        if (!price)
            return;
        refusal = price->refusal;
        if (refusal || !terms.priceOrigin)
            return;
        bom::Terms followed = terms;
        followed.priceKopecks = price->kopecks;
        followed.priceOrigin = bom::PriceOrigin{price->base.level, *index};
        after.terms.insert(key, followed);
    });
    if (refusal)
        return refusal;
    book.undoStack()->push(billcommands::changeBill(book, QStringLiteral("индекс к ценам"), after));
    return std::nullopt;
}

std::optional<QString> fillCataloguePrices(BillBook &book, BillReadings &readings)
{
    if (!readings.hasCatalogue())
        return QStringLiteral("Цены из ФСБЦ не заполнены: в базе норм нет сметных цен. Загрузите "
                              "«ФСБЦ_Мат&Оборуд.xml» и «ФСБЦ_Маш.xml» («Действия» → «Загрузить "
                              "базу норм...»)");
    if (!book.bill().priceIndex)
        return QStringLiteral("Цены из ФСБЦ не заполнены: укажите «Индекс к ценам 01.01.2022» — "
                              "цены каталога умножаются на него");
    const double index = *book.bill().priceIndex;
    bom::Bill after = book.bill();
    int priced = 0;
    std::optional<bom::Refusal> refusal;
    forEachPriced(book.totals(), [&](const bom::MaterialKey &key, bom::Terms terms) {
        // A price the user typed, per unit or per pack, is theirs.
        if (refusal || (terms.priceKopecks && !terms.priceOrigin))
            return;
        const std::optional<IndexedPrice> price = indexedPrice(readings, key, index);
        if (!price)
            return;
        refusal = price->refusal;
        if (refusal)
            return;
        terms.priceKopecks = price->kopecks;
        terms.priceBasis = bom::PriceBasis::PerUnit;
        terms.priceOrigin = bom::PriceOrigin{price->base.level, index};
        after.terms.insert(key, terms);
        ++priced;
    });
    // An index taken from a file or before the catalogue came can still be one that spoils prices.
    if (refusal)
        return QStringLiteral("Цены из ФСБЦ не заполнены. ") + refusal->reason;
    if (priced == 0)
        return QStringLiteral("Цены из ФСБЦ не заполнены: ни одного материала с кодом или машины "
                              "без цены нет в каталоге");
    if (after.terms != book.bill().terms)
        book.undoStack()->push(billcommands::fillCataloguePrices(book, after.terms));
    return std::nullopt;
}

} // namespace billpricing

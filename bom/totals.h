#pragma once

#include "bill.h"

#include <QList>

#include <optional>

namespace bom {

// One material over the whole bill.
struct Total
{
    MaterialKey key;
    double quantity = 0; // the sum of the entries that have a figure
    int counted = 0;     // entries with a figure
    int dashes = 0;      // entries shown as "—"
    Terms terms;
    std::optional<double> withReserve; // none while no entry has a figure
    std::optional<double> packs;       // none when sold by the unit
    std::optional<qint64> sumKopecks;  // none without a price, or beyond kMaxKopecks
};

struct Totals
{
    QList<Total> rows; // in the order materials first appear in the entries
    qint64 grandKopecks = 0;
    int unpriced = 0;      // rows with a quantity but no sum
    bool overflow = false; // the grand total went beyond kMaxKopecks
};

// The materials summed over the entries; terms not yet applied. The costly half, redone only
// when the entries change.
QList<Total> sumMaterials(const QList<Entry> &entries);
// Reserve, packs and money of each row, and the grand total.
Totals applyTerms(QList<Total> rows, const QMap<MaterialKey, Terms> &terms);
inline Totals computeTotals(const Bill &bill)
{
    return applyTerms(sumMaterials(bill.entries), bill.terms);
}

double withReserve(double quantity, double reservePercent);
// Packs to buy: the ceiling of quantity / pack size, where the quotient is first taken to the
// 15 significant digits a double holds, so an exact multiple in decimal (7,5 in packs of 2,5)
// does not gain a pack from a binary remainder. Nothing to buy gives 0 packs.
double packsFor(double quantity, double packSize);
// The money of one row, rounded half away from zero once: packs × price when sold in packs,
// otherwise quantity × price per unit. None beyond kMaxKopecks.
std::optional<qint64> sumFor(double quantity, std::optional<double> packs, qint64 priceKopecks);

// Texts as the window and the CSV show them.
QString quantityText(double value); // the result text with precision 6 and exponent digits 3
QString moneyText(qint64 kopecks);  // "1234,50" with the regional separator
QString percentText(double percent);

} // namespace bom

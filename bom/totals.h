#pragma once

#include "bill.h"

#include <QList>

#include <cmath>
#include <optional>

namespace bom {

// One material to buy over the whole bill.
struct Total
{
    MaterialKey key;
    double quantity = 0; // the sum of the entries that have a figure, each × its count
    int counted = 0;     // entries with a figure
    int dashes = 0;      // entries shown as "—"
    Terms terms;
    std::optional<double> withReserve; // exact; none while no entry has a figure
    // What to buy: whole pieces for a counted unit (шт.), otherwise the figure with reserve
    // rounded up at the four digits shown.
    std::optional<double> toBuy;
    std::optional<double> packs; // none when sold by the unit
    std::optional<qint64> sumKopecks;
    bool sumTooLarge = false;   // priced, but the sum goes beyond kMaxKopecks
    bool needsPackSize = false; // priced per pack with no pack size
    // The pages' materials linked to this row's catalogue resource, by their own names and units.
    QList<MaterialKey> linked;
};

// Hours of labour or of machines over the whole bill, one resource a row. They are not bought,
// so they have no terms.
struct HoursTotal
{
    MaterialKey key;
    MaterialKind kind = MaterialKind::Labour;
    double quantity = 0; // the sum of the entries that have a figure, each × its count
    int counted = 0;
    int dashes = 0;
    // A machine's price of a machine-hour and the money of its hours; labour has no price.
    Terms terms;
    std::optional<qint64> sumKopecks;
};

struct Totals
{
    // Materials to buy with a quantity above 0, in the order they first appear in the entries.
    // Work volumes, composites and materials with no figure at all are not among them.
    QList<Total> rows;
    // Materials and hours without a rate ("—", or a norm's «по проекту") in some entry, by name
    // and unit as "Смазка, кг".
    QStringList unrated;
    // Labour rows first, then machines, each in the order they first appear; rows of no figure or
    // of zero are left out, as with the materials.
    QList<HoursTotal> hours;
    // Workers' and engineers' чел.-ч; the machinists' (a norm's line «2») are summed apart, as
    // the norm's journal block states them.
    double labourHours = 0;
    double machinistHours = 0;
    bool hasMachinists = false;
    double machineHours = 0;   // маш.-ч
    qint64 machineKopecks = 0; // the machines' sums, apart from the materials' grand total
    // Rows whose quantity is beyond a double: shown as too large, left out of the sums.
    int tooLarge = 0;
    int labourTooLarge = 0;
    int machinistTooLarge = 0;
    int machineTooLarge = 0;
    qint64 grandKopecks = 0;
    int unpriced = 0;      // rows with a quantity but no sum
    bool overflow = false; // a row's sum or the grand total went beyond kMaxKopecks
};

// The materials summed over the entries; terms not yet applied. The costly half, redone only
// when the entries change.
struct Sums
{
    QList<Total> rows;       // every material to buy, zero and dash rows included
    QList<HoursTotal> hours; // likewise, labour and machines
};
// A material of the pages that has a link counts as the linked resource, in its unit, and joins
// the row of that resource's code and unit (under the name that row came with).
Sums sumMaterials(const QList<Entry> &entries, const QMap<MaterialKey, ResourceLink> &links = {});
// Reserve, pieces, packs and money of each row, and the grand total.
Totals applyTerms(const Sums &sums, const QMap<MaterialKey, Terms> &terms);
inline Totals computeTotals(const Bill &bill)
{
    return applyTerms(sumMaterials(bill.entries, bill.links), bill.terms);
}

// The money of the whole bill: the materials' grand total and the machines' sums; none beyond
// kMaxKopecks or when the materials' total is.
std::optional<qint64> billKopecks(const Totals &totals);

// Whether a unit is counted in whole pieces.
bool isPieceUnit(const QString &unit);

double withReserve(double quantity, double reservePercent);
// Packs to buy: the ceiling of quantity / pack size, where the quotient is first taken to the
// 15 significant digits a double holds, so an exact multiple in decimal (7,5 in packs of 2,5)
// does not gain a pack from a binary remainder. Nothing to buy gives 0 packs.
double packsFor(double quantity, double packSize);
// The money of one row, rounded half away from zero once: amount × price, where the amount is
// what is bought (per unit) or the packs (per pack). None beyond kMaxKopecks.
std::optional<qint64> sumFor(double amount, qint64 priceKopecks);

// Whether a quantity is one the bill can show and sum.
inline bool isShownQuantity(double value)
{
    return std::isfinite(value);
}

// Texts as the window and the CSV show them.
// The result text with precision 6 and exponent digits 3; «слишком велика» beyond a double.
QString quantityText(double value);
QString moneyText(qint64 kopecks); // "1234,50" with the regional separator
// "1 234 567,89": the thousands apart by no-break spaces, as the window and the printout show.
QString groupedMoneyText(qint64 kopecks);
QString percentText(double percent);

} // namespace bom

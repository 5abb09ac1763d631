#include "totals.h"

#include "resulttext.h"

#include <QHash>

#include <charconv>
#include <cmath>

namespace bom {

namespace {

constexpr calc::ResultFormat kBillFormat{6, 3};

// A value taken to 15 significant decimal digits: what a double says for certain.
long double decimal15(long double value)
{
    if (value == 0 || !std::isfinite(value))
        return value;
    char buffer[64];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), value,
                                       std::chars_format::scientific, 14);
    long double rounded = value;
    std::from_chars(buffer, written.ptr, rounded, std::chars_format::scientific);
    return rounded;
}

} // namespace

QList<Total> sumMaterials(const QList<Entry> &entries)
{
    QList<Total> rows;
    QList<long double> sums;
    QHash<MaterialKey, qsizetype> index;
    for (const Entry &entry : entries) {
        for (const Material &material : entry.materials) {
            auto found = index.constFind(material.key);
            qsizetype at;
            if (found == index.cend()) {
                at = rows.size();
                index.insert(material.key, at);
                rows.append(Total{material.key});
                sums.append(0);
            } else {
                at = *found;
            }
            Total &row = rows[at];
            if (material.quantity) {
                sums[at] += *material.quantity;
                ++row.counted;
            } else {
                ++row.dashes;
            }
        }
    }
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i].quantity = double(sums[i]);
    return rows;
}

double withReserve(double quantity, double reservePercent)
{
    return double(static_cast<long double>(quantity) * (100.0L + reservePercent) / 100.0L);
}

double packsFor(double quantity, double packSize)
{
    if (!(quantity > 0))
        return 0;
    const long double quotient = decimal15(static_cast<long double>(quantity) / packSize);
    return double(std::ceil(quotient));
}

std::optional<qint64> sumFor(double quantity, std::optional<double> packs, qint64 priceKopecks)
{
    const long double amount = packs ? static_cast<long double>(*packs)
                                     : std::max(0.0L, static_cast<long double>(quantity));
    // Rounded once, from the decimal digits the figure really has: 1,005 × 1 руб. is 1,01.
    const long double money = std::round(decimal15(amount * priceKopecks));
    if (!(money <= static_cast<long double>(kMaxKopecks)))
        return std::nullopt;
    return qint64(money);
}

Totals applyTerms(QList<Total> rows, const QMap<MaterialKey, Terms> &terms)
{
    Totals totals;
    for (Total &row : rows) {
        row.terms = terms.value(row.key);
        row.withReserve.reset();
        row.packs.reset();
        row.sumKopecks.reset();
        if (row.counted == 0)
            continue;
        // Figures near the top of the double range may leave it; such a row shows no more.
        const double reserved = withReserve(row.quantity, row.terms.reservePercent);
        const double packs = row.terms.packSize ? packsFor(reserved, *row.terms.packSize) : 0;
        if (std::isfinite(reserved) && std::isfinite(packs)) {
            row.withReserve = reserved;
            if (row.terms.packSize)
                row.packs = packs;
            if (row.terms.priceKopecks)
                row.sumKopecks = sumFor(reserved, row.packs, *row.terms.priceKopecks);
        }
        if (!row.sumKopecks) {
            ++totals.unpriced;
        } else if (!totals.overflow) {
            totals.grandKopecks += *row.sumKopecks;
            if (totals.grandKopecks > kMaxKopecks)
                totals.overflow = true;
        }
    }
    totals.rows = std::move(rows);
    return totals;
}

QString quantityText(double value)
{
    return calc::resultText(value, kBillFormat);
}

QString moneyText(qint64 kopecks)
{
    const qint64 magnitude = kopecks < 0 ? -kopecks : kopecks;
    return (kopecks < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
           QString(calc::decimalSeparator()) +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QChar(u'0'));
}

QString percentText(double percent)
{
    return calc::resultText(percent, kBillFormat);
}

} // namespace bom

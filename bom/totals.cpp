#include "totals.h"

#include "resulttext.h"

#include <QHash>

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>

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

// A value above zero rounded up at its first significant digits, judged on the 15 digits a
// double says for certain: 43,094 at four is 43,10, while 43,09, a hair above in binary, stays.
double ceilAtDigits(double value, int digits)
{
    if (!(value > 0) || !std::isfinite(value))
        return value;
    char buffer[64];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), value,
                                       std::chars_format::scientific, 14);
    const std::string_view text(buffer, written.ptr);
    const std::size_t e = text.find('e');
    std::string mantissa;
    for (const char c : text.substr(0, e)) {
        if (c != '.')
            mantissa += c;
    }
    int exponent = 0;
    const std::string_view exponentText = text.substr(e + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    const auto kept = static_cast<std::size_t>(digits);
    long long head = std::stoll(mantissa.substr(0, kept));
    if (mantissa.find_first_not_of('0', kept) != std::string::npos)
        ++head;
    const std::string rounded =
        std::to_string(head) + 'e' + std::to_string(exponent - (digits - 1));
    double result = 0;
    if (std::from_chars(rounded.data(), rounded.data() + rounded.size(), result).ec != std::errc())
        return HUGE_VAL;
    return result;
}

} // namespace

namespace {

// Rows summed by material key in the order they first appear. The key a row keeps is that of its
// first occurrence, so a coded resource shows the name it first came with.
template <typename Row> class Summer
{
public:
    explicit Summer(QList<Row> &rows) : m_rows(rows) {}

    Row &rowOf(const Material &material, int count)
    {
        auto found = m_index.constFind(material.key);
        qsizetype at;
        if (found == m_index.cend()) {
            at = m_rows.size();
            m_index.insert(material.key, at);
            Row row;
            row.key = material.key;
            m_rows.append(row);
            m_exact.append(0);
        } else {
            at = *found;
        }
        Row &row = m_rows[at];
        if (material.quantity) {
            m_exact[at] += static_cast<long double>(*material.quantity) * count;
            ++row.counted;
        } else {
            ++row.dashes;
        }
        return row;
    }

    void finish()
    {
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            m_rows[i].quantity = double(m_exact[i]);
    }

private:
    QList<Row> &m_rows;
    QList<long double> m_exact;
    QHash<MaterialKey, qsizetype> m_index;
};

} // namespace

Sums sumMaterials(const QList<Entry> &entries, const QMap<MaterialKey, ResourceLink> &links)
{
    // A linked material joins the resource's row whatever name the norm gave the resource; a
    // resource no norm of the bill lists takes the catalogue's name.
    QHash<std::pair<QString, QString>, QString> namesOfCodes;
    if (!links.isEmpty()) {
        for (const Entry &entry : entries) {
            for (const Material &material : entry.materials) {
                if (material.kind == MaterialKind::Buy && material.key.hasCode())
                    namesOfCodes.insert({material.key.code, material.key.unit},
                                        namesOfCodes.value({material.key.code, material.key.unit},
                                                           material.key.name));
            }
        }
    }
    Sums sums;
    Summer<Total> bought(sums.rows);
    Summer<HoursTotal> hours(sums.hours);
    for (const Entry &entry : entries) {
        for (const Material &material : entry.materials) {
            // Volumes of work and transport stay with their entries; a mixture is bought as its
            // parts.
            if (material.kind == MaterialKind::Buy && material.type != ResourceType::Transport) {
                const auto link =
                    material.key.hasCode() ? links.cend() : links.constFind(material.key);
                if (link == links.cend()) {
                    bought.rowOf(material, entry.count);
                    continue;
                }
                Material linked = material;
                linked.key = {namesOfCodes.value({link->code, link->unit}, link->name), link->unit,
                              link->code};
                if (linked.quantity)
                    linked.quantity = double(static_cast<long double>(*linked.quantity) *
                                             static_cast<long double>(link->factor));
                Total &row = bought.rowOf(linked, entry.count);
                if (!row.linked.contains(material.key))
                    row.linked.append(material.key);
            } else if (isHours(material.kind)) {
                HoursTotal &row = hours.rowOf(material, entry.count);
                // Like its name, a row's kind is that of its first occurrence.
                if (row.counted + row.dashes == 1)
                    row.kind = material.kind;
            }
        }
    }
    bought.finish();
    hours.finish();
    return sums;
}

bool isPieceUnit(const QString &unit)
{
    return unit == QStringLiteral("шт.");
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

std::optional<qint64> sumFor(double amount, qint64 priceKopecks)
{
    // Rounded once, from the decimal digits the figure really has: 1,005 × 1 руб. is 1,01.
    const long double money =
        std::round(decimal15(std::max(0.0L, static_cast<long double>(amount)) * priceKopecks));
    if (!(money <= static_cast<long double>(kMaxKopecks)))
        return std::nullopt;
    return qint64(money);
}

namespace {

// Pieces are bought whole, anything else up to the digits shown, so that what is bought never
// falls below the need; the exact figure stays beside them.
double amountToBuy(double reserved, const QString &unit)
{
    return isPieceUnit(unit) ? double(std::ceil(decimal15(reserved)))
                             : ceilAtDigits(reserved, calc::kFormat4x3.precision);
}

void applyPrice(Total &row)
{
    const Terms &terms = row.terms;
    if (!terms.priceKopecks)
        return;
    if (terms.priceBasis == PriceBasis::PerPack && !row.packs) {
        row.needsPackSize = true;
        return;
    }
    const double amount = terms.priceBasis == PriceBasis::PerPack ? *row.packs : *row.toBuy;
    row.sumKopecks = sumFor(amount, *terms.priceKopecks);
    row.sumTooLarge = !row.sumKopecks;
}

QString unratedName(const MaterialKey &key)
{
    return key.unit.isEmpty() ? key.name : key.name + QStringLiteral(", ") + key.unit;
}

} // namespace

Totals applyTerms(const Sums &sums, const QMap<MaterialKey, Terms> &terms)
{
    Totals totals;
    for (Total row : sums.rows) {
        if (row.dashes > 0)
            totals.unrated.append(unratedName(row.key));
        // Rows of no figure, or of nothing to buy, would only fill the table with dashes.
        if (row.counted == 0 || !(row.quantity > 0))
            continue;
        row.terms = terms.value(row.key);
        if (!isShownQuantity(row.quantity)) {
            ++totals.tooLarge;
            totals.rows.append(row);
            continue;
        }
        // Figures near the top of the double range may leave it; such a row shows no more.
        const double reserved = withReserve(row.quantity, row.terms.reservePercent);
        const double toBuy = amountToBuy(reserved, row.key.unit);
        const double packs = row.terms.packSize ? packsFor(toBuy, *row.terms.packSize) : 0;
        if (std::isfinite(reserved) && std::isfinite(toBuy) && std::isfinite(packs)) {
            row.withReserve = reserved;
            row.toBuy = toBuy;
            if (row.terms.packSize)
                row.packs = packs;
            applyPrice(row);
        }
        if (row.sumTooLarge) {
            totals.overflow = true;
        } else if (!row.sumKopecks) {
            ++totals.unpriced;
        } else if (!totals.overflow) {
            totals.grandKopecks += *row.sumKopecks;
            if (totals.grandKopecks > kMaxKopecks)
                totals.overflow = true;
        }
        totals.rows.append(row);
    }
    for (const MaterialKind kind : {MaterialKind::Labour, MaterialKind::Machine}) {
        for (const HoursTotal &row : sums.hours) {
            if (row.kind != kind)
                continue;
            if (row.dashes > 0)
                totals.unrated.append(unratedName(row.key));
            if (row.counted == 0 || !(row.quantity > 0))
                continue;
            const bool labour = kind == MaterialKind::Labour;
            const bool machinists = labour && row.key.code == QLatin1String("2");
            totals.hasMachinists = totals.hasMachinists || machinists;
            int &tooLarge = machinists ? totals.machinistTooLarge
                            : labour   ? totals.labourTooLarge
                                       : totals.machineTooLarge;
            double &sum = machinists ? totals.machinistHours
                          : labour   ? totals.labourHours
                                     : totals.machineHours;
            HoursTotal priced = row;
            if (!labour && isShownQuantity(row.quantity)) {
                priced.terms = terms.value(row.key);
                if (priced.terms.priceKopecks) {
                    priced.sumKopecks = sumFor(row.quantity, *priced.terms.priceKopecks);
                    if (priced.sumKopecks &&
                        *priced.sumKopecks <= kMaxKopecks - totals.machineKopecks)
                        totals.machineKopecks += *priced.sumKopecks;
                }
            }
            totals.hours.append(priced);
            if (!isShownQuantity(row.quantity))
                ++tooLarge;
            else
                sum += row.quantity;
        }
    }
    return totals;
}

std::optional<qint64> billKopecks(const Totals &totals)
{
    if (totals.overflow || totals.machineKopecks > kMaxKopecks - totals.grandKopecks)
        return std::nullopt;
    return totals.grandKopecks + totals.machineKopecks;
}

QString quantityText(double value)
{
    if (!isShownQuantity(value))
        return QStringLiteral("слишком велика");
    return calc::resultText(value, kBillFormat);
}

QString moneyText(qint64 kopecks)
{
    const qint64 magnitude = kopecks < 0 ? -kopecks : kopecks;
    return (kopecks < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
           QString(calc::decimalSeparator()) +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QChar(u'0'));
}

QString groupedMoneyText(qint64 kopecks)
{
    QString text = moneyText(kopecks);
    const qsizetype sign = kopecks < 0 ? 1 : 0;
    for (qsizetype at = text.size() - 6; at > sign; at -= 3)
        text.insert(at, QChar(0x00A0));
    return text;
}

QString percentText(double percent)
{
    return calc::resultText(percent, kBillFormat);
}

} // namespace bom

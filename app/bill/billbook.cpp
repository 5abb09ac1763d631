#include "billbook.h"

#include <QSettings>

#include <algorithm>
#include <memory>

namespace {

// Material names may hold any character; the key of the settings file must not.
QString settingsKey(const bom::MaterialKey &key)
{
    return QStringLiteral("billTerms/") +
           QString::fromLatin1((key.name + u'\x1f' + key.unit).toUtf8().toHex());
}

std::unique_ptr<QSettings> settings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("merilon"), QStringLiteral("merilon"));
}

} // namespace

BillBook::BillBook(QObject *parent) : QObject(parent) {}

std::optional<bom::Terms> BillBook::rememberedTerms(const bom::MaterialKey &key)
{
    const std::unique_ptr<QSettings> owner = settings();
    const QSettings &store = *owner;
    const QString group = settingsKey(key);
    if (!store.contains(group + QStringLiteral("/reservePercent")))
        return std::nullopt;
    bom::Terms terms;
    terms.reservePercent = store.value(group + QStringLiteral("/reservePercent")).toDouble();
    const QVariant pack = store.value(group + QStringLiteral("/packSize"));
    if (pack.isValid() && !pack.toString().isEmpty())
        terms.packSize = pack.toDouble();
    const QVariant price = store.value(group + QStringLiteral("/priceKopecks"));
    if (price.isValid() && !price.toString().isEmpty())
        terms.priceKopecks = price.toLongLong();
    // A settings file edited by hand must not bring in what a cell would refuse.
    if (bom::refusalOfReserve(terms.reservePercent) ||
        (terms.packSize && bom::refusalOfPackSize(*terms.packSize)) ||
        (terms.priceKopecks && bom::refusalOfPrice(*terms.priceKopecks)))
        return std::nullopt;
    return terms;
}

void BillBook::add(const bom::Entry &entry)
{
    for (const bom::Material &material : entry.materials) {
        if (m_bill.terms.contains(material.key))
            continue;
        if (const std::optional<bom::Terms> remembered = rememberedTerms(material.key);
            remembered && *remembered != bom::Terms{})
            m_bill.terms.insert(material.key, *remembered);
    }
    m_bill.entries.append(entry);
    sumEntries();
    emit entriesChanged();
}

void BillBook::remove(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows) {
        if (row >= 0 && row < m_bill.entries.size())
            m_bill.entries.removeAt(row);
    }
    sumEntries();
    emit entriesChanged();
}

void BillBook::setTerms(const bom::MaterialKey &key, const bom::Terms &terms)
{
    if (terms == bom::Terms{})
        m_bill.terms.remove(key);
    else
        m_bill.terms.insert(key, terms);
    const std::unique_ptr<QSettings> owner = settings();
    QSettings &store = *owner;
    const QString group = settingsKey(key);
    store.setValue(group + QStringLiteral("/reservePercent"), terms.reservePercent);
    store.setValue(group + QStringLiteral("/packSize"),
                   terms.packSize ? QVariant(*terms.packSize) : QVariant(QString()));
    store.setValue(group + QStringLiteral("/priceKopecks"),
                   terms.priceKopecks ? QVariant(*terms.priceKopecks) : QVariant(QString()));
    m_totals = bom::applyTerms(m_sums, m_bill.terms);
    emit termsChanged();
}

void BillBook::replace(const bom::Bill &bill)
{
    m_bill = bill;
    sumEntries();
    emit entriesChanged();
}

void BillBook::sumEntries()
{
    m_sums = bom::sumMaterials(m_bill.entries);
    m_totals = bom::applyTerms(m_sums, m_bill.terms);
}

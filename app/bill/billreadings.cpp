#include "billreadings.h"

#include "billbook.h"
#include "pricecatalogue.h"
#include "units.h"

BillReadings::BillReadings(const BillBook &book, QObject *parent) : QObject(parent), m_book(book)
{
    // Made before any view of the bill, so read before a view is told of new rows.
    connect(&book, &BillBook::entriesChanged, this, &BillReadings::readEntries);
    connect(&book, &BillBook::entryChanged, this, &BillReadings::readEntries);
    readEntries();
}

void BillReadings::setCatalogue(std::shared_ptr<PriceCatalogue> catalogue)
{
    m_catalogue = std::move(catalogue);
    catalogueChanged();
}

void BillReadings::catalogueChanged()
{
    m_catalogueAvailable.reset();
    // Said even without codes: whether there is a catalogue may have changed.
    emit resourcesChanged(readResources(true));
}

bool BillReadings::hasCatalogue()
{
    if (!m_catalogue)
        return false;
    if (!m_catalogueAvailable)
        m_catalogueAvailable = m_catalogue->available();
    return *m_catalogueAvailable;
}

void BillReadings::readEntries()
{
    if (const QStringList codes = readResources(false); !codes.isEmpty())
        emit resourcesChanged(codes);
    if (const QStringList codes = readNormVersions(false); !codes.isEmpty())
        emit normVersionsChanged(codes);
}

QStringList BillReadings::readResources(bool all)
{
    QHash<QString, std::optional<norms::CatalogueResource>> known;
    QStringList read;
    const auto know = [&](const bom::MaterialKey &key) {
        if (!key.hasCode() || known.contains(key.code))
            return;
        const auto found = m_resources.constFind(key.code);
        if (!all && found != m_resources.cend()) {
            known.insert(key.code, *found);
            return;
        }
        known.insert(key.code, hasCatalogue() ? m_catalogue->resource(key.code)
                                              : std::optional<norms::CatalogueResource>());
        read.append(key.code);
    };
    const bom::Totals &totals = m_book.totals();
    for (const bom::Total &row : totals.rows)
        know(row.key);
    // Labour has no federal price.
    for (const bom::HoursTotal &row : totals.hours) {
        if (row.kind == bom::MaterialKind::Machine)
            know(row.key);
    }
    m_resources = std::move(known);
    return read;
}

std::optional<norms::CatalogueResource> BillReadings::resource(const QString &code) const
{
    return m_resources.value(code);
}

std::optional<BillReadings::BasePrice> BillReadings::basePrice(const bom::MaterialKey &key) const
{
    const auto found = m_resources.constFind(key.code);
    if (found == m_resources.cend() || !*found)
        return std::nullopt;
    const norms::CatalogueResource &resource = **found;
    if (!resource.cost || !(*resource.cost >= 0))
        return std::nullopt;
    // A machine-hour is a machine-hour, whatever the catalogue calls its unit.
    const std::optional<double> factor =
        resource.machine ? std::optional<double>(1.0) : bom::unitFactor(key.unit, resource.unit);
    if (!factor)
        return std::nullopt;
    return BasePrice{*resource.cost * *factor, *factor, resource.priceLevel};
}

void BillReadings::setNormVersions(NormVersions versions)
{
    m_normVersions = std::move(versions);
    if (const QStringList codes = readNormVersions(true); !codes.isEmpty())
        emit normVersionsChanged(codes);
}

void BillReadings::refreshNormVersions()
{
    QStringList changed;
    for (auto it = m_currentVersions.begin(); it != m_currentVersions.end(); ++it) {
        const std::optional<int> current = m_normVersions ? m_normVersions(it.key()) : std::nullopt;
        if (current != *it) {
            *it = current;
            changed.append(it.key());
        }
    }
    if (!changed.isEmpty())
        emit normVersionsChanged(changed);
}

QStringList BillReadings::readNormVersions(bool all)
{
    QHash<QString, std::optional<int>> known;
    QStringList read;
    for (const bom::Entry &entry : m_book.bill().entries) {
        if (entry.normVersion <= 0 || known.contains(entry.normCode))
            continue;
        const auto found = m_currentVersions.constFind(entry.normCode);
        if (!all && found != m_currentVersions.cend()) {
            known.insert(entry.normCode, *found);
            continue;
        }
        known.insert(entry.normCode,
                     m_normVersions ? m_normVersions(entry.normCode) : std::nullopt);
        read.append(entry.normCode);
    }
    m_currentVersions = std::move(known);
    return read;
}

QString BillReadings::outdatedNote(const bom::Entry &entry) const
{
    if (entry.normVersion <= 0)
        return {};
    const std::optional<int> current = m_currentVersions.value(entry.normCode);
    if (!current || *current == entry.normVersion)
        return {};
    return QStringLiteral("Рассчитано по версии %1 нормы %2; сейчас действует версия %3.")
        .arg(QString::number(entry.normVersion), entry.normCode, QString::number(*current));
}

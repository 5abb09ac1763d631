#pragma once

#include "bill.h"
#include "cataloguelookup.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class BillBook;
class PriceCatalogue;

// What the bill has read of the norm base, in memory: the catalogue resources of its coded rows
// and the current versions of the firm norms its entries use. Both are read when the entries
// change or the base does (an import, a firm norm saved), never while the bill is painted: the
// models read this and nothing else, and are told which codes changed.
class BillReadings : public QObject
{
    Q_OBJECT

public:
    explicit BillReadings(const BillBook &book, QObject *parent = nullptr);

    // The federal price catalogue the bill reads prices from; none: no catalogue prices.
    void setCatalogue(std::shared_ptr<PriceCatalogue> catalogue);
    PriceCatalogue *catalogue() const { return m_catalogue.get(); }
    // Whether there is a catalogue to read; asked of it once per catalogue, until it changes.
    bool hasCatalogue();
    // The catalogue was replaced underneath (a new import): its resources are read again.
    void catalogueChanged();
    // A coded row's resource, as last read; none when the catalogue does not list it.
    std::optional<norms::CatalogueResource> resource(const QString &code) const;
    // A coded material's or a machine's price at the catalogue's base level per the row's unit,
    // with the level; none when the catalogue does not list it in a unit the row converts to.
    struct BasePrice
    {
        double cost = 0;   // roubles per unit of the row
        double factor = 1; // the row's unit in the catalogue's
        QString level;
    };
    std::optional<BasePrice> basePrice(const bom::MaterialKey &key) const;

    // The current version of a firm norm by its code, none when the base does not have it.
    using NormVersions = std::function<std::optional<int>(const QString &code)>;
    void setNormVersions(NormVersions versions);
    // The firm norms changed: their current versions are read again.
    void refreshNormVersions();
    // Said at an entry computed on a firm norm that has a later version now; empty otherwise.
    QString outdatedNote(const bom::Entry &entry) const;

signals:
    // The resources of these codes were read anew: their rows' catalogue prices with them.
    void resourcesChanged(const QStringList &codes);
    // The current versions of these firm norms changed: their entries' notes with them.
    void normVersionsChanged(const QStringList &codes);

private:
    // Reads what the entries brought that is not known yet, and lets go of what they dropped.
    void readEntries();
    // The resources of the codes of the bill's priced rows; only new ones are asked, unless all.
    QStringList readResources(bool all);
    QStringList readNormVersions(bool all);

    const BillBook &m_book;
    std::shared_ptr<PriceCatalogue> m_catalogue;
    std::optional<bool> m_catalogueAvailable;
    QHash<QString, std::optional<norms::CatalogueResource>> m_resources;
    NormVersions m_normVersions;
    QHash<QString, std::optional<int>> m_currentVersions;
};

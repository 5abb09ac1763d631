#pragma once

#include "estimateterms.h"
#include "normdb.h"
#include "pricelist.h"

#include <QList>
#include <QString>

#include <optional>

// The regions' price lists kept in the norm base: written by the import inside its transaction,
// a list of the same subject, zone and quarter replacing the earlier one; read by «Нормы».
namespace norms {

class PriceListWriter : public PriceRowSink
{
public:
    PriceListWriter(sql::Connection &connection, QString sourceFile);
    void title(const PriceListTitle &title) override;
    void price(const ResourcePriceRow &row) override;

private:
    sql::Connection &m_connection;
    QString m_sourceFile;
    sql::Statement m_insertPrice;
    qint64 m_list = 0;
};

struct StoredPriceList
{
    qint64 id = 0;
    PriceListTitle title;
    QString name; // «Москва, 2 кв. 2026»
    QString sourceFile;
};

// The lists kept, the latest quarter first.
QList<StoredPriceList> storedPriceLists(NormDatabase &database);

// The list a title names, by what it says of itself; none when the base holds no such list.
std::optional<StoredPriceList> storedPriceList(NormDatabase &database,
                                               const bom::PriceListRef &ref);
bom::PriceListRef priceListRef(const PriceListTitle &title);

struct ResourcePrice
{
    double price = 0; // roubles per unit, current level; per hour for labour
    QString unit;
    PriceKind kind = PriceKind::Current;
    // Of a price by index: the base price and the index; none in a list imported before they
    // were kept.
    std::optional<double> basePrice;
    std::optional<double> index;
};

// The resource's price in the list; none where the list does not price it.
std::optional<ResourcePrice> resourcePrice(NormDatabase &database, qint64 list,
                                           const QString &code);

} // namespace norms

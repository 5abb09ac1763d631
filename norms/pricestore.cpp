#include "pricestore.h"

#include <QDateTime>

namespace norms {

PriceListWriter::PriceListWriter(sql::Connection &connection, QString sourceFile)
    : m_connection(connection), m_sourceFile(std::move(sourceFile)),
      m_insertPrice(connection.handle(),
                    "INSERT OR REPLACE INTO resource_prices(list_id, code, unit, price, kind, "
                    "base_price, price_index) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)")
{
}

void PriceListWriter::title(const PriceListTitle &title)
{
    sql::Statement remove(m_connection.handle(),
                          "DELETE FROM price_lists WHERE subject = ?1 AND zone = ?2 AND year = ?3 "
                          "AND quarter = ?4");
    remove.bind(1, title.subject).bind(2, title.zone).bind(3, title.year).bind(4, title.quarter);
    remove.run();
    sql::Statement insert(m_connection.handle(),
                          "INSERT INTO price_lists(subject, zone, year, quarter, source_file, "
                          "imported_at) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    insert.bind(1, title.subject).bind(2, title.zone).bind(3, title.year).bind(4, title.quarter);
    insert.bind(5, m_sourceFile).bind(6, QDateTime::currentDateTime().toString(Qt::ISODate));
    insert.run();
    m_list = m_connection.lastInsertId();
}

void PriceListWriter::price(const ResourcePriceRow &row)
{
    m_insertPrice.bind(1, m_list).bind(2, row.code).bind(3, row.unit).bind(4, row.price);
    m_insertPrice.bind(5, int(row.kind)).bind(6, row.basePrice).bind(7, row.index);
    m_insertPrice.run();
}

namespace {

constexpr char kListColumns[] = "SELECT id, subject, zone, year, quarter, source_file FROM "
                                "price_lists ";

StoredPriceList listOf(const sql::Statement &statement)
{
    StoredPriceList list;
    list.id = statement.integer(0);
    list.title = {statement.text(1), statement.text(2), int(statement.integer(3)),
                  int(statement.integer(4))};
    list.name = priceListName(list.title);
    list.sourceFile = statement.text(5);
    return list;
}

std::optional<double> optionalReal(const sql::Statement &row, int column)
{
    return row.isNull(column) ? std::nullopt : std::optional<double>(row.real(column));
}

} // namespace

QList<StoredPriceList> storedPriceLists(NormDatabase &database)
{
    const QByteArray text =
        QByteArray(kListColumns) + "ORDER BY year DESC, quarter DESC, subject, zone";
    sql::Statement statement(database.connection().handle(), text.constData());
    QList<StoredPriceList> lists;
    while (statement.next())
        lists.append(listOf(statement));
    return lists;
}

std::optional<StoredPriceList> storedPriceList(NormDatabase &database, const bom::PriceListRef &ref)
{
    const QByteArray text = QByteArray(kListColumns) +
                            "WHERE subject = ?1 AND zone = ?2 AND year = ?3 AND quarter = ?4";
    sql::Statement statement(database.connection().handle(), text.constData());
    statement.bind(1, ref.subject).bind(2, ref.zone).bind(3, ref.year).bind(4, ref.quarter);
    if (!statement.next())
        return std::nullopt;
    return listOf(statement);
}

bom::PriceListRef priceListRef(const PriceListTitle &title)
{
    return {title.subject, title.zone, title.year, title.quarter};
}

std::optional<ResourcePrice> resourcePrice(NormDatabase &database, qint64 list, const QString &code)
{
    sql::Statement statement(database.connection().handle(),
                             "SELECT price, unit, kind, base_price, price_index FROM "
                             "resource_prices WHERE list_id = ?1 AND code = ?2");
    statement.bind(1, list).bind(2, code.trimmed());
    if (!statement.next())
        return std::nullopt;
    return ResourcePrice{statement.real(0), statement.text(1), PriceKind(statement.integer(2)),
                         optionalReal(statement, 3), optionalReal(statement, 4)};
}

} // namespace norms

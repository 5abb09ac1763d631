#include "rateeditions.h"

#include <QDateTime>

namespace norms::rates {

namespace {

QString kindKey(Kind kind)
{
    return kind == Kind::Overhead ? QStringLiteral("nr") : QStringLiteral("sp");
}

std::optional<double> optionalReal(const sql::Statement &row, int column)
{
    return row.isNull(column) ? std::nullopt : std::optional<double>(row.real(column));
}

} // namespace

Edition current(NormDatabase &database, Kind kind)
{
    sqlite3 *db = database.connection().handle();
    sql::Statement newest(db, "SELECT id, title, edition_date, source_file, loaded_at FROM "
                              "rate_editions WHERE kind = ?1 ORDER BY id DESC LIMIT 1");
    newest.bind(1, kindKey(kind));
    if (!newest.next())
        return shipped(kind);
    Edition edition;
    edition.kind = kind;
    edition.title = newest.text(1);
    edition.date = newest.text(2);
    edition.sourceFile = newest.text(3);
    edition.loadedAt = newest.text(4);
    sql::Statement rows(db, "SELECT item, name, territory, mprks, rks FROM rate_rows WHERE "
                            "edition_id = ?1 ORDER BY item");
    rows.bind(1, newest.integer(0));
    while (rows.next())
        edition.rows.append({rows.text(0), rows.text(1), rows.real(2), optionalReal(rows, 3),
                             optionalReal(rows, 4)});
    return edition;
}

Tables currentTables(NormDatabase *database)
{
    if (!database)
        return {};
    return {current(*database, Kind::Overhead), current(*database, Kind::Profit)};
}

void keep(NormDatabase &database, Edition edition)
{
    sql::Connection &connection = database.connection();
    sql::Transaction transaction(connection);
    const QDateTime now = QDateTime::currentDateTime();
    edition.loadedAt = now.toString(Qt::ISODate);
    if (edition.date.isEmpty())
        edition.date = now.toString(QStringLiteral("dd.MM.yyyy"));
    sql::Statement(connection.handle(),
                   "INSERT INTO rate_editions(kind, title, edition_date, source_file, loaded_at) "
                   "VALUES(?1, ?2, ?3, ?4, ?5)")
        .bind(1, kindKey(edition.kind))
        .bind(2, edition.title)
        .bind(3, edition.date)
        .bind(4, edition.sourceFile)
        .bind(5, edition.loadedAt)
        .run();
    const qint64 id = connection.lastInsertId();
    sql::Statement row(connection.handle(),
                       "INSERT INTO rate_rows(edition_id, item, name, "
                       "territory, mprks, rks) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    for (const Row &kept : std::as_const(edition.rows))
        row.bind(1, id)
            .bind(2, kept.item)
            .bind(3, kept.name)
            .bind(4, kept.percent)
            .bind(5, kept.mprks)
            .bind(6, kept.rks)
            .run();
    transaction.commit();
}

} // namespace norms::rates

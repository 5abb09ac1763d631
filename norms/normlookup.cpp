#include "normlookup.h"

#include "collectionkind.h"

namespace norms {

namespace {

std::optional<qint64> lookUp(NormDatabase &database, const QString &fullCode, bool firmToo)
{
    const QString code = fullCode.simplified();
    if (code.isEmpty())
        return std::nullopt;
    const qsizetype space = code.indexOf(u' ');
    QString sql = QStringLiteral("SELECT n.id FROM norms n JOIN collections c ON c.id = "
                                 "n.collection_id WHERE n.code = ?2 AND ");
    // A firm norm's code is whole; a collection without a prefix writes its codes alone too.
    if (space >= 0)
        sql += QStringLiteral("c.prefix = ?1 AND c.kind <> ?3 ORDER BY n.id");
    else if (firmToo)
        sql += QStringLiteral("(c.kind = ?3 OR c.prefix = '') ORDER BY c.kind = ?3 DESC, n.id");
    else
        sql += QStringLiteral("c.prefix = '' AND c.kind <> ?3 ORDER BY n.id");
    sql::Statement statement(database.connection().handle(), sql + QStringLiteral(" LIMIT 1"));
    if (space >= 0)
        statement.bind(1, code.left(space));
    statement.bind(2, space < 0 ? code : code.mid(space + 1))
        .bind(3, QString(collectionkind::kFirm));
    if (!statement.next())
        return std::nullopt;
    return statement.integer(0);
}

} // namespace

std::optional<qint64> findNorm(NormDatabase &database, const QString &fullCode)
{
    return lookUp(database, fullCode, true);
}

std::optional<qint64> findFederalNorm(NormDatabase &database, const QString &fullCode)
{
    return lookUp(database, fullCode, false);
}

} // namespace norms

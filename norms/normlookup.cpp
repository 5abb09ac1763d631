#include "normlookup.h"

namespace norms {

std::optional<qint64> findNorm(NormDatabase &database, const QString &fullCode)
{
    const QString code = fullCode.simplified();
    const qsizetype space = code.indexOf(u' ');
    sqlite3 *db = database.connection().handle();
    // A firm norm's code is whole; a collection without a prefix writes its codes alone too.
    sql::Statement statement(
        db, space < 0 ? "SELECT n.id FROM norms n JOIN collections c ON c.id = n.collection_id "
                        "WHERE n.code = ?2 AND (c.kind = 'firm' OR c.prefix = '') "
                        "ORDER BY c.kind = 'firm' DESC, n.id LIMIT 1"
                      : "SELECT n.id FROM norms n JOIN collections c ON c.id = n.collection_id "
                        "WHERE c.prefix = ?1 AND n.code = ?2 AND c.kind <> 'firm' "
                        "ORDER BY n.id LIMIT 1");
    if (space >= 0)
        statement.bind(1, code.left(space));
    statement.bind(2, space < 0 ? code : code.mid(space + 1));
    if (!statement.next())
        return std::nullopt;
    return statement.integer(0);
}

} // namespace norms

#include "collectionprefixes.h"

#include "collectionkind.h"
#include "sqlite.h"

#include <sqlite3.h>

namespace norms {

const QList<CollectionPrefix> &CollectionPrefixes::read(sql::Connection &connection)
{
    sqlite3 *db = connection.handle();
    // The data version moves with others' commits only, the count with this connection's rows.
    sql::Statement version(db, "PRAGMA data_version");
    const Stamp now{sqlite3_total_changes(db), version.next() ? version.integer(0) : -1};
    if (m_readAt == now)
        return m_prefixes;
    m_readAt.reset();
    m_prefixes.clear();
    sql::Statement all(db, "SELECT DISTINCT prefix, kind = ?1 FROM collections");
    all.bind(1, QString(collectionkind::kFirm));
    while (all.next())
        m_prefixes.append({all.text(0), all.integer(1) != 0});
    m_readAt = now;
    return m_prefixes;
}

} // namespace norms

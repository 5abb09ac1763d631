#include "firmstore.h"
#include "normbrowse.h"

#include "collectionkind.h"
#include "normlookup.h"
#include "normwords.h"

#include <sqlite3.h>

namespace norms::firm {

namespace {

QString momentText(const QDateTime &at)
{
    return at.toString(Qt::ISODateWithMs);
}

Version versionOf(sql::Statement &row)
{
    // number, saved_at, login, changes, code, name, measure, content, source, origin, resources
    Version version;
    version.number = int(row.integer(0));
    version.savedAt = QDateTime::fromString(row.text(1), Qt::ISODateWithMs);
    version.login = row.text(2);
    version.changes = row.text(3);
    version.draft = {row.text(4),
                     row.text(5),
                     row.text(6),
                     row.text(7),
                     row.text(8),
                     row.text(9),
                     resourcesFromJson(row.text(10)),
                     reasonsFromJson(row.text(11))};
    return version;
}

constexpr const char *kVersionColumns = "v.number, v.saved_at, v.login, v.changes, v.code, v.name, "
                                        "v.measure, v.content, v.source, v.origin, v.resources, "
                                        "v.reasons";

Entry entryOf(sql::Statement &row)
{
    // id, norm_id, code, version, deleted_at
    return {row.integer(0), row.isNull(1) ? 0 : row.integer(1), row.text(2), int(row.integer(3)),
            !row.isNull(4)};
}

constexpr const char *kEntryColumns = "id, norm_id, code, version, deleted_at";

} // namespace

FirmStore::FirmStore(NormDatabase &database) : m_database(database) {}

QString FirmStore::prefix()
{
    sql::Statement statement(m_database.connection().handle(),
                             "SELECT prefix FROM collections WHERE kind = ?1");
    statement.bind(1, QString(collectionkind::kFirm));
    return statement.next() ? statement.text(0) : defaultPrefix();
}

void FirmStore::setPrefix(const QString &prefix)
{
    const qint64 id = collectionId();
    sql::Statement statement(m_database.connection().handle(),
                             "UPDATE collections SET prefix = ?1 WHERE id = ?2");
    statement.bind(1, prefix).bind(2, id).run();
}

qint64 FirmStore::collectionId()
{
    sqlite3 *db = m_database.connection().handle();
    sql::Statement find(db, "SELECT id FROM collections WHERE kind = ?1");
    find.bind(1, QString(collectionkind::kFirm));
    if (find.next())
        return find.integer(0);
    sql::Statement insert(db, "INSERT INTO collections(kind, prefix, type, base_name) "
                              "VALUES(?1, ?2, ?3, ?4)");
    insert.bind(1, QString(collectionkind::kFirm))
        .bind(2, defaultPrefix())
        .bind(3, firmCategoryType())
        .bind(4, QStringLiteral("Фирменные нормы"))
        .run();
    return m_database.connection().lastInsertId();
}

std::optional<Entry> FirmStore::find(const QString &code)
{
    sql::Statement statement(m_database.connection().handle(),
                             QStringLiteral("SELECT %1 FROM firm_norms WHERE code = ?1")
                                 .arg(QLatin1String(kEntryColumns)));
    statement.bind(1, code);
    if (!statement.next())
        return std::nullopt;
    return entryOf(statement);
}

std::optional<Entry> FirmStore::entry(qint64 id)
{
    sql::Statement statement(m_database.connection().handle(),
                             QStringLiteral("SELECT %1 FROM firm_norms WHERE id = ?1")
                                 .arg(QLatin1String(kEntryColumns)));
    statement.bind(1, id);
    if (!statement.next())
        return std::nullopt;
    return entryOf(statement);
}

std::optional<Entry> FirmStore::entryOfNorm(qint64 normId)
{
    sql::Statement statement(m_database.connection().handle(),
                             QStringLiteral("SELECT %1 FROM firm_norms WHERE norm_id = ?1")
                                 .arg(QLatin1String(kEntryColumns)));
    statement.bind(1, normId);
    if (!statement.next())
        return std::nullopt;
    return entryOf(statement);
}

QList<Entry> FirmStore::all()
{
    sql::Statement statement(m_database.connection().handle(),
                             QStringLiteral("SELECT %1 FROM firm_norms WHERE deleted_at IS NULL "
                                            "ORDER BY code")
                                 .arg(QLatin1String(kEntryColumns)));
    QList<Entry> entries;
    while (statement.next())
        entries.append(entryOf(statement));
    return entries;
}

bool FirmStore::codeTaken(const QString &code, qint64 exceptId)
{
    const std::optional<Entry> found = find(code.trimmed());
    return found && found->id != exceptId;
}

std::optional<Version> FirmStore::currentVersion(qint64 id)
{
    sql::Statement statement(m_database.connection().handle(),
                             QStringLiteral("SELECT %1 FROM firm_versions v JOIN firm_norms f ON "
                                            "f.id = v.firm_id AND f.version = v.number WHERE "
                                            "f.id = ?1")
                                 .arg(QLatin1String(kVersionColumns)));
    statement.bind(1, id);
    if (!statement.next())
        return std::nullopt;
    return versionOf(statement);
}

QList<Version> FirmStore::history(qint64 id)
{
    sql::Statement statement(m_database.connection().handle(),
                             QStringLiteral("SELECT %1 FROM firm_versions v WHERE v.firm_id = ?1 "
                                            "ORDER BY v.number")
                                 .arg(QLatin1String(kVersionColumns)));
    statement.bind(1, id);
    QList<Version> versions;
    while (statement.next())
        versions.append(versionOf(statement));
    return versions;
}

FirmStore::Saved FirmStore::save(qint64 id, const Draft &draft, const QString &login,
                                 const QDateTime &at)
{
    sql::Transaction transaction(m_database.connection());
    std::optional<Draft> before;
    if (id != 0) {
        if (const std::optional<Version> current = currentVersion(id))
            before = current->draft;
    }
    if (before && *before == draft) {
        const Entry kept = *entry(id);
        return {kept.id, kept.normId, kept.version};
    }
    const Saved saved = append(id, {0, at, login, changesBetween(before, draft), draft});
    transaction.commit();
    return saved;
}

FirmStore::Saved FirmStore::append(qint64 id, const Version &version)
{
    sql::Connection &connection = m_database.connection();
    sql::Transaction transaction(connection);
    // Said in the user's words rather than left to the table's constraint.
    if (codeTaken(version.draft.code, id))
        throw sql::Failure{
            SQLITE_CONSTRAINT,
            QStringLiteral("Код «%1» уже есть у другой фирменной нормы").arg(version.draft.code)};
    if (id == 0) {
        sql::Statement insert(connection.handle(),
                              "INSERT INTO firm_norms(code, version) VALUES(?1, 0)");
        insert.bind(1, version.draft.code).run();
        id = connection.lastInsertId();
    } else if (!entry(id)) {
        // A creation undone and done again: the norm is back under the id it had.
        sql::Statement insert(connection.handle(),
                              "INSERT INTO firm_norms(id, code, version) VALUES(?1, ?2, 0)");
        insert.bind(1, id).bind(2, version.draft.code).run();
    }
    sql::Statement last(connection.handle(),
                        "SELECT COALESCE(MAX(number), 0) FROM firm_versions WHERE firm_id = ?1");
    last.bind(1, id);
    last.next();
    Version numbered = version;
    numbered.number = int(last.integer(0)) + 1;
    sql::Statement insert(connection.handle(),
                          "INSERT INTO firm_versions(firm_id, number, saved_at, login, changes, "
                          "code, name, measure, content, source, origin, resources, reasons) "
                          "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    const Draft &draft = numbered.draft;
    insert.bind(1, id)
        .bind(2, numbered.number)
        .bind(3, momentText(numbered.savedAt))
        .bind(4, numbered.login)
        .bind(5, numbered.changes)
        .bind(6, draft.code)
        .bind(7, draft.name)
        .bind(8, draft.measure)
        .bind(9, draft.content)
        .bind(10, draft.source)
        .bind(11, draft.origin)
        .bind(12, resourcesJson(draft.resources))
        .bind(13, reasonsJson(draft.reasons))
        .run();
    materialize(id, numbered);
    transaction.commit();
    const Entry saved = *entry(id);
    return {saved.id, saved.normId, saved.version};
}

FirmStore::Saved FirmStore::restore(qint64 id, int number, const QString &login,
                                    const QDateTime &at)
{
    sql::Transaction transaction(m_database.connection());
    const Saved saved = restore(id, number, history(id), currentVersion(id), login, at);
    transaction.commit();
    return saved;
}

FirmStore::Saved FirmStore::restore(qint64 id, int number, const QList<Version> &history,
                                    const std::optional<Version> &current, const QString &login,
                                    const QDateTime &at)
{
    std::optional<Version> earlier;
    for (const Version &version : history)
        if (version.number == number)
            earlier = version;
    if (!earlier)
        throw sql::Failure{SQLITE_NOTFOUND,
                           QStringLiteral("Версии %1 нормы нет в истории").arg(number)};
    QString changes = QStringLiteral("восстановлена версия %1").arg(number);
    if (current && current->draft != earlier->draft)
        changes += QStringLiteral(": ") + changesBetween(current->draft, earlier->draft);
    return append(id, {0, at, login, changes, earlier->draft});
}

void FirmStore::materialize(qint64 id, const Version &version)
{
    sqlite3 *db = m_database.connection().handle();
    const Draft &draft = version.draft;
    const std::optional<Entry> known = entry(id);
    qint64 normId = known ? known->normId : 0;
    if (normId == 0) {
        sql::Statement insert(db, "INSERT INTO norms(collection_id, code, name, measure, content) "
                                  "VALUES(?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, collectionId())
            .bind(2, draft.code)
            .bind(3, draft.name)
            .bind(4, draft.measure)
            .bind(5, draft.content)
            .run();
        normId = m_database.connection().lastInsertId();
        // Apart from the federal norms' ranks: the firm's are few and sorted when found.
        sql::Statement place(db, "UPDATE norms SET place = -id WHERE id = ?1");
        place.bind(1, normId).run();
    } else {
        sql::Statement update(db, "UPDATE norms SET code = ?2, name = ?3, measure = ?4, "
                                  "content = ?5 WHERE id = ?1");
        update.bind(1, normId)
            .bind(2, draft.code)
            .bind(3, draft.name)
            .bind(4, draft.measure)
            .bind(5, draft.content)
            .run();
    }
    sql::Statement clear(db, "DELETE FROM resources WHERE norm_id = ?1");
    clear.bind(1, normId).run();
    sql::Statement line(db, "INSERT INTO resources(norm_id, position, code, name, unit, quantity, "
                            "abstract, technology_groups, resource_group) "
                            "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    sql::Statement kind(db, "INSERT OR IGNORE INTO resource_names(code, name, uses) "
                            "VALUES(?1, ?2, 1)");
    sql::Statement kindWords(db, "INSERT INTO resource_words(rowid, words) VALUES(?1, ?2)");
    for (int position = 0; position < draft.resources.size(); ++position) {
        const NormResource &resource = draft.resources[position];
        line.bind(1, normId)
            .bind(2, position)
            .bind(3, resource.code)
            .bind(4, resource.name)
            .bind(5, resource.unit)
            .bind(6, resource.rate)
            .bind(7, resource.abstract ? 1 : 0)
            .bind(8, resource.technologyGroups)
            .bind(9, int(resource.group))
            .run();
        line.reset();
        // A resource no line had before is found by the search by resource at once.
        kind.bind(1, resource.code).bind(2, resource.name).run();
        kind.reset();
        if (sqlite3_changes(db) > 0 && !resource.name.isEmpty()) {
            kindWords.bind(1, m_database.connection().lastInsertId()).bind(2, resource.name).run();
            kindWords.reset();
        }
    }
    sql::Statement(db, "DELETE FROM norm_reasons WHERE norm_id = ?1").bind(1, normId).run();
    sql::Statement reason(db, "INSERT INTO norm_reasons(norm_id, position, nr, sp) "
                              "VALUES(?1, ?2, ?3, ?4)");
    for (int position = 0; position < draft.reasons.size(); ++position)
        reason.bind(1, normId)
            .bind(2, position)
            .bind(3, draft.reasons[position].nr)
            .bind(4, draft.reasons[position].sp)
            .run();
    sql::Statement forget(db, "DELETE FROM norm_words WHERE rowid = ?1");
    forget.bind(1, -normId).run();
    // The code is among the words, so that «фн 06» finds the firm's norms by their codes.
    sql::Statement words(db, "INSERT INTO norm_words(rowid, words) VALUES(?1, ?2)");
    words.bind(1, -normId).bind(2, foldedWords(draft.code + u' ' + draft.name)).run();
    sql::Statement current(db, "UPDATE firm_norms SET code = ?2, norm_id = ?3, version = ?4, "
                               "deleted_at = NULL WHERE id = ?1");
    current.bind(1, id).bind(2, draft.code).bind(3, normId).bind(4, version.number).run();
}

void FirmStore::remove(qint64 id)
{
    sql::Transaction transaction(m_database.connection());
    sqlite3 *db = m_database.connection().handle();
    const std::optional<Entry> known = entry(id);
    if (!known || known->deleted)
        return;
    // Its lines and words go with it.
    sql::Statement(db, "DELETE FROM norms WHERE id = ?1").bind(1, known->normId).run();
    sql::Statement mark(db, "UPDATE firm_norms SET norm_id = NULL, deleted_at = ?2 WHERE id = ?1");
    mark.bind(1, id).bind(2, momentText(QDateTime::currentDateTime())).run();
    transaction.commit();
}

void FirmStore::undelete(qint64 id)
{
    sql::Transaction transaction(m_database.connection());
    const std::optional<Entry> known = entry(id);
    const std::optional<Version> current = currentVersion(id);
    if (!known || !known->deleted || !current)
        return;
    materialize(id, *current);
    transaction.commit();
}

void FirmStore::erase(qint64 id)
{
    // Its versions, conflict and norm go with it.
    sql::Statement(m_database.connection().handle(), "DELETE FROM firm_norms WHERE id = ?1")
        .bind(1, id)
        .run();
}

void FirmStore::dropLastVersion(qint64 id)
{
    sql::Transaction transaction(m_database.connection());
    QList<Version> versions = history(id);
    if (versions.size() <= 1) {
        erase(id);
        transaction.commit();
        return;
    }
    sql::Statement drop(m_database.connection().handle(),
                        "DELETE FROM firm_versions WHERE firm_id = ?1 AND number = ?2");
    drop.bind(1, id).bind(2, versions.last().number).run();
    versions.removeLast();
    const std::optional<Entry> known = entry(id);
    if (known && known->deleted) {
        sql::Statement back(m_database.connection().handle(),
                            "UPDATE firm_norms SET version = ?2 WHERE id = ?1");
        back.bind(1, id).bind(2, versions.last().number).run();
    } else {
        materialize(id, versions.last());
    }
    transaction.commit();
}

QByteArray FirmStore::synced(qint64 id)
{
    sql::Statement statement(m_database.connection().handle(),
                             "SELECT synced FROM firm_norms WHERE id = ?1");
    statement.bind(1, id);
    return statement.next() ? statement.text(0).toLatin1() : QByteArray();
}

void FirmStore::setSynced(qint64 id, const QByteArray &fingerprint)
{
    sql::Statement statement(m_database.connection().handle(),
                             "UPDATE firm_norms SET synced = ?2 WHERE id = ?1");
    statement.bind(1, id).bind(2, QString::fromLatin1(fingerprint)).run();
}

std::optional<Norm> FirmStore::origin(const Norm &firmNorm)
{
    const std::optional<qint64> id = findFederalNorm(m_database, firmNorm.origin);
    if (!id)
        return std::nullopt;
    return readNorm(m_database, *id);
}

} // namespace norms::firm

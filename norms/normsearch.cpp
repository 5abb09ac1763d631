#include "normsearch.h"

#include "collectionkind.h"
#include "normwords.h"

#include <sqlite3.h>

#include <QMultiHash>
#include <QRegularExpression>
#include <QSet>

namespace norms {

namespace {

bool isCode(const QString &token)
{
    static const QRegularExpression code(QStringLiteral("^[0-9][0-9.\\-]*$"));
    return code.match(token).hasMatch();
}

// A firm's code is its prefix joined to the digits: «ФН-06-01».
bool isFirmCode(const QString &token)
{
    static const QRegularExpression code(QStringLiteral("^\\p{L}+-[0-9][0-9.\\-]*$"));
    return code.match(token).hasMatch();
}

// The first code greater than every code that begins with it: codes are ASCII, so raising the
// last character is enough.
QString pastCodesBeginning(QString beginning)
{
    beginning.back() = QChar(beginning.back().unicode() + 1);
    return beginning;
}

// An FTS5 expression of the tokens' words, every one the beginning of a word.
QString wordsExpression(const QStringList &tokens)
{
    QStringList words;
    for (const QString &token : tokens) {
        // Every run of letters and digits is a word, as the index splits the names.
        static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
        for (const QString &word : foldedWords(token).split(separators, Qt::SkipEmptyParts))
            words.append(u'"' + word + QStringLiteral("\"*"));
    }
    return words.join(u' ');
}

struct Query
{
    QString prefix; // a collection's prefix the user typed first
    bool firmPrefix = false;
    QString code;  // the beginning of a code
    QString words; // an FTS5 expression, every word a prefix
};

Query parse(NormDatabase &database, const QString &text)
{
    Query query;
    QStringList tokens = text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (!tokens.isEmpty() && !isCode(tokens.front())) {
        // SQLite's own lower() knows only ASCII; Cyrillic prefixes are compared here.
        for (const CollectionPrefix &known : database.prefixes()) {
            if (known.prefix.compare(tokens.front(), Qt::CaseInsensitive) == 0) {
                query.prefix = known.prefix;
                query.firmPrefix = known.firm;
                tokens.removeFirst();
                break;
            }
        }
    }
    // A code comes first; a number among words is a word of the name («до 5 м3»).
    if (!tokens.isEmpty() && isCode(tokens.front())) {
        query.code = tokens.takeFirst();
        // A firm code is written whole: «фн 06» means «ФН-06».
        if (query.firmPrefix)
            query.code = query.prefix + u'-' + query.code;
    } else if (!tokens.isEmpty() && isFirmCode(tokens.front())) {
        query.code = tokens.takeFirst().toUpper();
    }
    query.words = wordsExpression(tokens);
    return query;
}

NormHit normOf(const sql::Statement &row, bool firm)
{
    // id, prefix, code, name, measure
    return {row.integer(0), row.text(1), row.text(2), row.text(3), row.text(4), firm, {}};
}

// The firm's current norms made from a federal one, by that norm's full code, in code order.
QMultiHash<QString, NormHit> firmNormsByOrigin(NormDatabase &database)
{
    sql::Statement statement(
        database.connection().handle(),
        "SELECT n.id, c.prefix, n.code, n.name, n.measure, v.origin FROM firm_norms f "
        "JOIN firm_versions v ON v.firm_id = f.id AND v.number = f.version "
        "JOIN norms n ON n.id = f.norm_id JOIN collections c ON c.id = n.collection_id "
        "WHERE f.deleted_at IS NULL AND v.origin <> '' ORDER BY n.code DESC");
    QMultiHash<QString, NormHit> byOrigin;
    // Read backwards, as a multi-hash gives the last inserted first.
    while (statement.next()) {
        NormHit hit = normOf(statement, true);
        hit.basedOn = statement.text(5);
        byOrigin.insert(hit.basedOn, hit);
    }
    return byOrigin;
}

constexpr const char *kHitColumns = "n.id, c.prefix, n.code, n.name, n.measure";

} // namespace

QList<NormHit> searchNorms(NormDatabase &database, const QString &text, int limit)
{
    const Query query = parse(database, text);
    QList<NormHit> hits;
    if (query.prefix.isEmpty() && query.code.isEmpty() && query.words.isEmpty())
        return hits;
    QSet<qint64> listed;
    std::optional<QMultiHash<QString, NormHit>> followers;
    // The firm's norms, then the federal ones: two queries, each read in code order and stopped
    // at the limit. A federal norm's place is its rank in code order, and the index of the
    // words is keyed by it, so that words alone are matched in code order without a sort.
    for (const bool firm : {true, false}) {
        QString sql = QStringLiteral("SELECT %1 FROM ").arg(QLatin1String(kHitColumns));
        const bool byWords = !firm && query.code.isEmpty() && !query.words.isEmpty();
        if (byWords)
            sql += QStringLiteral("norm_words JOIN norms n ON n.place = norm_words.rowid ");
        else
            sql += QStringLiteral("norms n ");
        sql += QStringLiteral("JOIN collections c ON c.id = n.collection_id WHERE ");
        sql += (firm ? QStringLiteral("c.kind = ") : QStringLiteral("c.kind <> ")) +
               collectionkind::literal(collectionkind::kFirm);
        if (!query.prefix.isEmpty())
            sql += QStringLiteral(" AND c.prefix = ?1");
        if (!query.code.isEmpty())
            sql += QStringLiteral(" AND n.code >= ?2 AND n.code < ?3");
        if (byWords)
            sql += QStringLiteral(" AND norm_words MATCH ?4 AND norm_words.rowid > 0 "
                                  "ORDER BY norm_words.rowid");
        else if (!query.words.isEmpty())
            sql += QStringLiteral(" AND n.place IN (SELECT rowid FROM norm_words WHERE "
                                  "norm_words MATCH ?4 AND rowid %1 0)")
                       .arg(firm ? QStringLiteral("<") : QStringLiteral(">"));
        if (!byWords)
            sql += firm ? QStringLiteral(" ORDER BY n.code")
                        : QStringLiteral(" ORDER BY n.code, n.place");
        sql += QStringLiteral(" LIMIT ?5");
        sql::Statement statement(database.connection().handle(), sql);
        if (!query.prefix.isEmpty())
            statement.bind(1, query.prefix);
        if (!query.code.isEmpty())
            statement.bind(2, query.code).bind(3, pastCodesBeginning(query.code));
        if (!query.words.isEmpty())
            statement.bind(4, query.words);
        statement.bind(5, limit - int(hits.size()));
        while (hits.size() < limit && statement.next()) {
            const NormHit hit = normOf(statement, firm);
            if (firm) {
                listed.insert(hit.id);
                hits.append(hit);
                continue;
            }
            hits.append(hit);
            if (!followers)
                followers = firmNormsByOrigin(database);
            for (auto follower = followers->constFind(hit.fullCode());
                 follower != followers->cend() && follower.key() == hit.fullCode() &&
                 hits.size() < limit;
                 ++follower)
                if (!listed.contains(follower->id))
                    hits.append(*follower);
        }
        if (hits.size() >= limit)
            break;
    }
    return hits;
}

namespace {

// Below this many lines of the resources found, their lines are read by resource and sorted;
// above it the federal norms are walked in code order until the limit, which then comes soon.
// The two cost the same near the square root of 300 lines per norm of the base.
constexpr double kWalkFrom = 4000;

} // namespace

QList<ResourceHit> searchByResource(NormDatabase &database, const QString &text, int limit)
{
    QList<ResourceHit> hits;
    const QStringList tokens = text.simplified().split(u' ', Qt::SkipEmptyParts);
    QString kinds; // the resources found, as a subquery of their ids
    QString code;
    QString words;
    if (tokens.size() == 1 && isCode(tokens.front())) {
        code = tokens.front();
        kinds = QStringLiteral("SELECT id FROM resource_names WHERE code >= ?1 AND code < ?2");
    } else {
        words = wordsExpression(tokens);
        if (words.isEmpty())
            return hits;
        kinds = QStringLiteral("SELECT rowid FROM resource_words WHERE resource_words MATCH ?1");
    }
    sqlite3 *db = database.connection().handle();
    const auto bindKinds = [&](sql::Statement &statement) {
        if (code.isEmpty())
            statement.bind(1, words);
        else
            statement.bind(1, code).bind(2, pastCodesBeginning(code));
    };
    sql::Statement uses(
        db, QStringLiteral("SELECT total(uses) FROM resource_names WHERE id IN (%1)").arg(kinds));
    bindKinds(uses);
    if (!uses.next() || uses.real(0) == 0)
        return hits;
    const bool walk = uses.real(0) > kWalkFrom;
    const QString lineColumns = QStringLiteral("%1, r.code, r.name, r.unit, r.quantity, "
                                               "r.resource_group, r.abstract, r.technology_groups")
                                    .arg(QLatin1String(kHitColumns));
    // Each norm's own lines are tested against the resources found (the plus keeps the index of
    // the resources out of it, which would probe once per resource found).
    const QString ofKinds = QStringLiteral("(+r.code, +r.name) IN (SELECT code, name FROM "
                                           "resource_names WHERE id IN (%1))")
                                .arg(kinds);
    for (const bool firm : {true, false}) {
        QString sql;
        if (firm)
            sql = QStringLiteral("SELECT %1 FROM norms n JOIN collections c ON c.id = "
                                 "n.collection_id JOIN resources r ON r.norm_id = n.id WHERE "
                                 "c.kind = ") +
                  collectionkind::literal(collectionkind::kFirm) +
                  QStringLiteral(" AND %2 ORDER BY n.code, r.position");
        else if (walk)
            sql = QStringLiteral("SELECT %1 FROM norms n INDEXED BY norms_place "
                                 "JOIN collections c ON c.id = n.collection_id "
                                 "JOIN resources r ON r.norm_id = n.id WHERE n.place > 0 AND %2 "
                                 "ORDER BY n.place, r.position");
        else
            sql = QStringLiteral("SELECT %1 FROM resource_names k "
                                 "JOIN resources r INDEXED BY resources_code "
                                 "ON r.code = k.code AND r.name = k.name "
                                 "JOIN norms n ON n.id = r.norm_id "
                                 "JOIN collections c ON c.id = n.collection_id "
                                 "WHERE k.id IN (%2) AND n.place > 0 "
                                 "ORDER BY n.place, r.position");
        sql = sql.arg(lineColumns, firm || walk ? ofKinds : kinds) +
              QStringLiteral(" LIMIT %1").arg(limit - hits.size());
        sql::Statement statement(db, sql);
        bindKinds(statement);
        while (statement.next()) {
            ResourceHit hit{normOf(statement, firm),
                            storedLine(statement.text(5), statement.text(6), statement.text(7),
                                       statement.isNull(9)
                                           ? std::nullopt
                                           : std::optional<int>(int(statement.integer(9))))};
            if (!statement.isNull(8))
                hit.resource.rate = statement.real(8);
            hit.resource.abstract = statement.integer(10) != 0;
            hit.resource.technologyGroups = statement.text(11);
            hits.append(hit);
        }
        if (hits.size() >= limit)
            break;
    }
    return hits;
}

} // namespace norms

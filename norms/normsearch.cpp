#include "normsearch.h"

#include "normwords.h"

#include <QRegularExpression>

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

struct Query
{
    QString prefix; // a collection's prefix the user typed first
    QString code;   // the beginning of a code
    QString words;  // an FTS5 expression, every word a prefix
};

Query parse(NormDatabase &database, const QString &text)
{
    Query query;
    QStringList tokens = text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (!tokens.isEmpty() && !isCode(tokens.front())) {
        // SQLite's own lower() knows only ASCII; Cyrillic prefixes are compared here.
        sql::Statement all(database.connection().handle(),
                           "SELECT DISTINCT prefix FROM collections");
        while (all.next()) {
            if (all.text(0).compare(tokens.front(), Qt::CaseInsensitive) == 0) {
                query.prefix = all.text(0);
                tokens.removeFirst();
                break;
            }
        }
    }
    // A code comes first; a number among words is a word of the name («до 5 м3»).
    if (!tokens.isEmpty() && isCode(tokens.front()))
        query.code = tokens.takeFirst();
    else if (!tokens.isEmpty() && isFirmCode(tokens.front()))
        query.code = tokens.takeFirst().toUpper();
    QStringList words;
    for (const QString &token : tokens) {
        // Every run of letters and digits is a word, as the index splits the names.
        static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
        for (const QString &word : foldedWords(token).split(separators, Qt::SkipEmptyParts))
            words.append(u'"' + word + QStringLiteral("\"*"));
    }
    query.words = words.join(u' ');
    return query;
}

} // namespace

QList<NormHit> searchNorms(NormDatabase &database, const QString &text, int limit)
{
    const Query query = parse(database, text);
    QList<NormHit> hits;
    if (query.prefix.isEmpty() && query.code.isEmpty() && query.words.isEmpty())
        return hits;
    // The firm's norms, then the federal ones: two queries, so that each is read in the order of
    // the code index and stops at the limit rather than sorting every norm it finds.
    for (const bool firm : {true, false}) {
        QString sql =
            QStringLiteral("SELECT n.id, c.prefix, n.code, n.name, n.measure FROM norms n "
                           "JOIN collections c ON c.id = n.collection_id WHERE ");
        sql += firm ? QStringLiteral("c.kind = 'firm'") : QStringLiteral("c.kind <> 'firm'");
        if (!query.prefix.isEmpty())
            sql += QStringLiteral(" AND c.prefix = ?1");
        if (!query.code.isEmpty())
            sql += QStringLiteral(" AND n.code >= ?2 AND n.code < ?3");
        if (!query.words.isEmpty())
            sql += QStringLiteral(
                " AND n.id IN (SELECT rowid FROM norm_words WHERE norm_words MATCH ?4)");
        sql += QStringLiteral(" ORDER BY n.code, c.prefix LIMIT ?5");
        sql::Statement statement(database.connection().handle(), sql);
        if (!query.prefix.isEmpty())
            statement.bind(1, query.prefix);
        if (!query.code.isEmpty())
            statement.bind(2, query.code).bind(3, pastCodesBeginning(query.code));
        if (!query.words.isEmpty())
            statement.bind(4, query.words);
        statement.bind(5, limit - int(hits.size()));
        while (statement.next())
            hits.append({statement.integer(0), statement.text(1), statement.text(2),
                         statement.text(3), statement.text(4), firm});
        if (hits.size() >= limit)
            break;
    }
    return hits;
}

} // namespace norms

#include "normschema.h"

#include "collectionkind.h"

#include <QString>

namespace norms::schema {

namespace {

// Names are split into words of letters and digits, and a word's first one to three characters
// are indexed apart, so that a typed beginning is found at once.
constexpr char kWords[] = "words, tokenize='unicode61', prefix='1 2 3'";

// The new collections interleave with those kept; a norm whose rank holds is left alone.
constexpr char kRank[] = R"sql(UPDATE norms SET place = ranked.place FROM (
  SELECT n.id AS id, row_number() OVER (ORDER BY n.code, c.prefix, n.id) AS place
  FROM norms n JOIN collections c ON c.id = n.collection_id WHERE c.kind <> {firm}) AS ranked
WHERE ranked.id = norms.id AND norms.place IS NOT ranked.place)sql";

} // namespace

QByteArray expanded(const char *text)
{
    // {rank} first: it holds a {firm} of its own.
    return QString::fromUtf8(text)
        .replace(QLatin1StringView("{rank}"), QLatin1StringView(kRank))
        .replace(QLatin1StringView("{words}"), QLatin1StringView(kWords))
        .replace(QLatin1StringView("{firm}"), collectionkind::literal(collectionkind::kFirm))
        .toUtf8();
}

} // namespace norms::schema

#include "normdb.h"

#include "collectionkind.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

#include <array>

namespace norms {

namespace {

// Each step takes the schema one version up; step i makes version i + 1.
// Collections are the published files' resource categories («ГЭСН», «ГЭСНр», a price catalogue);
// sections nest to any depth; a norm's name is its full name; resources keep the file's order;
// the catalogue gives names and units to codes that a norm lists without them; norm_words is the
// full-text index over the names, written in lower case with «ё» as «е», row for row with norms.
// {firm} stands for the firm's kind of collection.
constexpr std::array kMigrations{
    R"sql(
CREATE TABLE collections(
  id INTEGER PRIMARY KEY,
  kind TEXT NOT NULL,
  prefix TEXT NOT NULL,
  type TEXT NOT NULL DEFAULT '',
  base_name TEXT NOT NULL DEFAULT '',
  price_level TEXT NOT NULL DEFAULT '',
  source_file TEXT NOT NULL DEFAULT '',
  imported_at TEXT NOT NULL DEFAULT '',
  UNIQUE(kind, prefix));
CREATE TABLE sections(
  id INTEGER PRIMARY KEY,
  collection_id INTEGER NOT NULL,
  parent_id INTEGER,
  type TEXT NOT NULL DEFAULT '',
  code TEXT NOT NULL DEFAULT '',
  name TEXT NOT NULL DEFAULT '');
CREATE INDEX sections_parent ON sections(collection_id, parent_id);
CREATE TABLE norms(
  id INTEGER PRIMARY KEY,
  collection_id INTEGER NOT NULL,
  section_id INTEGER,
  code TEXT NOT NULL,
  name TEXT NOT NULL,
  measure TEXT NOT NULL DEFAULT '',
  content TEXT NOT NULL DEFAULT '');
CREATE INDEX norms_code ON norms(code);
CREATE INDEX norms_section ON norms(section_id);
CREATE INDEX norms_collection ON norms(collection_id);
CREATE TABLE resources(
  norm_id INTEGER NOT NULL,
  position INTEGER NOT NULL,
  code TEXT NOT NULL DEFAULT '',
  name TEXT NOT NULL DEFAULT '',
  unit TEXT NOT NULL DEFAULT '',
  quantity REAL,
  abstract INTEGER NOT NULL DEFAULT 0,
  technology_groups TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(norm_id, position)) WITHOUT ROWID;
CREATE TABLE catalogue(
  collection_id INTEGER NOT NULL,
  code TEXT NOT NULL,
  name TEXT NOT NULL DEFAULT '',
  unit TEXT NOT NULL DEFAULT '');
CREATE INDEX catalogue_code ON catalogue(code);
CREATE INDEX catalogue_collection ON catalogue(collection_id);
CREATE VIRTUAL TABLE norm_words USING fts5(words, tokenize='unicode61', prefix='1 2 3');
)sql",
    // The firm's own norms. The current version of each lives among the norms, in the firm's
    // collection (kind 'firm'), so that search, browsing and computation find it as any other;
    // every version, the current one too, is kept whole in firm_versions. A resource's group is
    // stored where no code says it. synced is the fingerprint of the version last taken from a
    // file or kept against one, from which a conflict is told; firm_conflicts holds what a file
    // brought for a norm changed on both sides, until the user chooses.
    R"sql(
ALTER TABLE resources ADD COLUMN resource_group INTEGER;
CREATE TABLE firm_norms(
  id INTEGER PRIMARY KEY,
  code TEXT NOT NULL UNIQUE,
  norm_id INTEGER UNIQUE,
  version INTEGER NOT NULL,
  synced TEXT NOT NULL DEFAULT '',
  deleted_at TEXT);
CREATE TABLE firm_versions(
  firm_id INTEGER NOT NULL,
  number INTEGER NOT NULL,
  saved_at TEXT NOT NULL,
  login TEXT NOT NULL DEFAULT '',
  changes TEXT NOT NULL DEFAULT '',
  code TEXT NOT NULL,
  name TEXT NOT NULL,
  measure TEXT NOT NULL,
  content TEXT NOT NULL DEFAULT '',
  source TEXT NOT NULL,
  origin TEXT NOT NULL DEFAULT '',
  resources TEXT NOT NULL,
  PRIMARY KEY(firm_id, number)) WITHOUT ROWID;
CREATE TABLE firm_conflicts(
  firm_id INTEGER PRIMARY KEY,
  file TEXT NOT NULL,
  found_at TEXT NOT NULL,
  incoming TEXT NOT NULL);
)sql",
    // The price catalogues' prices at the base level and the act that approved them: a
    // material's estimate and release prices, a machine-hour's price with the machinist's wage in
    // it and the machinist's hours. catalogue_words indexes the catalogue's names as norm_words
    // the norms', row for row with catalogue, without word positions, which no search asks for
    // and which would slow the import of 150 000 materials. The index by collection goes: it
    // slowed every insert for the one delete a new catalogue makes.
    R"sql(
ALTER TABLE collections ADD COLUMN act_number TEXT NOT NULL DEFAULT '';
ALTER TABLE collections ADD COLUMN act_date TEXT NOT NULL DEFAULT '';
ALTER TABLE catalogue ADD COLUMN machine INTEGER NOT NULL DEFAULT 0;
ALTER TABLE catalogue ADD COLUMN cost REAL;
ALTER TABLE catalogue ADD COLUMN release_cost REAL;
ALTER TABLE catalogue ADD COLUMN machinist_wage REAL;
ALTER TABLE catalogue ADD COLUMN machinist_hours REAL;
CREATE VIRTUAL TABLE catalogue_words USING fts5(words, tokenize='unicode61', prefix='1 2 3',
  detail=none);
DROP INDEX catalogue_collection;
INSERT INTO catalogue_words(rowid, words)
  SELECT rowid, replace(replace(name, 'ё', 'е'), 'Ё', 'Е') FROM catalogue;
)sql",
    // A norm's place is its rank in the order of codes (then prefixes) among the federal norms,
    // and minus its id for a firm norm; norm_words is keyed by it, so that the index yields the
    // federal matches already in code order and a search stops at its limit. resource_names
    // holds each resource of the lines once, with how many lines use it, and resource_words
    // indexes their names by its id; both are made afresh by every import.
    R"sql(
ALTER TABLE norms ADD COLUMN place INTEGER;
UPDATE norms SET place = -id;
UPDATE norms SET place = ranked.place FROM (
  SELECT n.id AS id, row_number() OVER (ORDER BY n.code, c.prefix, n.id) AS place
  FROM norms n JOIN collections c ON c.id = n.collection_id WHERE c.kind <> {firm}) AS ranked
WHERE ranked.id = norms.id;
CREATE INDEX norms_place ON norms(place);
DROP INDEX norms_code;
CREATE INDEX norms_code ON norms(code, place);
CREATE VIRTUAL TABLE placed_words USING fts5(words, tokenize='unicode61', prefix='1 2 3');
INSERT INTO placed_words(rowid, words)
  SELECT n.place, w.words FROM norm_words w JOIN norms n ON n.id = w.rowid ORDER BY n.place;
DROP TABLE norm_words;
ALTER TABLE placed_words RENAME TO norm_words;
CREATE INDEX resources_kind ON resources(code, name);
CREATE TABLE resource_names(
  id INTEGER PRIMARY KEY,
  code TEXT NOT NULL,
  name TEXT NOT NULL,
  uses INTEGER NOT NULL DEFAULT 0,
  UNIQUE(code, name));
CREATE VIRTUAL TABLE resource_words USING fts5(words, tokenize='unicode61', prefix='1 2 3');
INSERT INTO resource_names(code, name, uses)
  SELECT code, name, count(*) FROM resources GROUP BY code, name;
INSERT INTO resource_words(rowid, words) SELECT id, name FROM resource_names WHERE name <> '';
)sql",
    // What belongs to a row goes with it, so that a norm, a collection or a firm norm goes in one
    // DELETE: a norm's lines and words (the word indexes keep their text, so a plain DELETE takes
    // a row out of them), a collection's norms, sections and catalogue with its words, a firm
    // norm's versions, its conflict and its current norm. A collection's lines and catalogue
    // words go in one statement each, which is faster than row by row from their own triggers.
    R"sql(
CREATE TRIGGER norm_gone AFTER DELETE ON norms BEGIN
  DELETE FROM resources WHERE norm_id = OLD.id;
  DELETE FROM norm_words WHERE rowid = OLD.place;
END;
CREATE TRIGGER collection_gone AFTER DELETE ON collections BEGIN
  DELETE FROM resources WHERE norm_id IN (SELECT id FROM norms WHERE collection_id = OLD.id);
  DELETE FROM norms WHERE collection_id = OLD.id;
  DELETE FROM sections WHERE collection_id = OLD.id;
  DELETE FROM catalogue_words WHERE rowid IN (
    SELECT rowid FROM catalogue WHERE collection_id = OLD.id);
  DELETE FROM catalogue WHERE collection_id = OLD.id;
END;
CREATE TRIGGER firm_norm_gone AFTER DELETE ON firm_norms BEGIN
  DELETE FROM firm_versions WHERE firm_id = OLD.id;
  DELETE FROM firm_conflicts WHERE firm_id = OLD.id;
  DELETE FROM norms WHERE id = OLD.norm_id;
END;
)sql",
    // A norm's references to the overhead and profit norms, in the file's order, going with it
    // as its lines do; a machine's machinist (his labour code and grade); a firm version's
    // references; the editions of the overhead and profit tables loaded over those the program
    // ships, each kept with its rows, the newest of a kind in use.
    R"sql(
CREATE TABLE norm_reasons(
  norm_id INTEGER NOT NULL,
  position INTEGER NOT NULL,
  nr TEXT NOT NULL DEFAULT '',
  sp TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(norm_id, position)) WITHOUT ROWID;
ALTER TABLE catalogue ADD COLUMN driver_code TEXT NOT NULL DEFAULT '';
ALTER TABLE catalogue ADD COLUMN machinist_grade TEXT NOT NULL DEFAULT '';
ALTER TABLE firm_versions ADD COLUMN reasons TEXT NOT NULL DEFAULT '';
CREATE TABLE rate_editions(
  id INTEGER PRIMARY KEY,
  kind TEXT NOT NULL,
  title TEXT NOT NULL,
  edition_date TEXT NOT NULL DEFAULT '',
  source_file TEXT NOT NULL DEFAULT '',
  loaded_at TEXT NOT NULL DEFAULT '');
CREATE TABLE rate_rows(
  edition_id INTEGER NOT NULL,
  item TEXT NOT NULL,
  name TEXT NOT NULL DEFAULT '',
  territory REAL NOT NULL,
  mprks REAL,
  rks REAL,
  PRIMARY KEY(edition_id, item)) WITHOUT ROWID;
CREATE TRIGGER norm_reasons_gone AFTER DELETE ON norms BEGIN
  DELETE FROM norm_reasons WHERE norm_id = OLD.id;
END;
CREATE TRIGGER collection_reasons_gone BEFORE DELETE ON collections BEGIN
  DELETE FROM norm_reasons WHERE norm_id IN (SELECT id FROM norms WHERE collection_id = OLD.id);
END;
)sql",
    // The regions' quarterly price lists: one per subject, price zone and quarter, a new one
    // replacing the old; a resource's current price in each, by its code as the norms write it,
    // and how it was got (kind: 0 given, 1 base price × the group's index, 2 an hourly rate).
    R"sql(
CREATE TABLE price_lists(
  id INTEGER PRIMARY KEY,
  subject TEXT NOT NULL,
  zone TEXT NOT NULL,
  year INTEGER NOT NULL,
  quarter INTEGER NOT NULL,
  source_file TEXT NOT NULL DEFAULT '',
  imported_at TEXT NOT NULL DEFAULT '',
  UNIQUE(subject, zone, year, quarter));
CREATE TABLE resource_prices(
  list_id INTEGER NOT NULL,
  code TEXT NOT NULL,
  unit TEXT NOT NULL DEFAULT '',
  price REAL NOT NULL,
  kind INTEGER NOT NULL,
  PRIMARY KEY(list_id, code)) WITHOUT ROWID;
CREATE TRIGGER price_list_gone AFTER DELETE ON price_lists BEGIN
  DELETE FROM resource_prices WHERE list_id = OLD.id;
END;
)sql",
    // A price the list gives by index keeps its base price and the group's index apart, as an
    // estimate writes them; a list imported before has neither until imported again.
    R"sql(
ALTER TABLE resource_prices ADD COLUMN base_price REAL;
ALTER TABLE resource_prices ADD COLUMN price_index REAL;
)sql",
};

QByteArray migration(std::size_t step)
{
    return QString::fromUtf8(kMigrations[step])
        .replace(QLatin1StringView("{firm}"), collectionkind::literal(collectionkind::kFirm))
        .toUtf8();
}

int userVersion(sql::Connection &connection)
{
    sql::Statement statement(connection.handle(), "PRAGMA user_version");
    statement.next();
    return int(statement.integer(0));
}

} // namespace

QString defaultDatabasePath()
{
    return QStringLiteral("data/norms.db");
}

NormDatabase::NormDatabase(const QString &path) : m_path(path), m_connection(path) {}

NormDatabase::Opened NormDatabase::open(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        std::unique_ptr<NormDatabase> database(new NormDatabase(path));
        sql::Connection &connection = database->connection();
        // Reading the header is what finds a file that is no database at all.
        const int version = userVersion(connection);
        if (version > kSchemaVersion)
            return {nullptr, Problem::Newer,
                    QStringLiteral("База норм «%1» создана более новой версией "
                                   "программы (версия схемы %2, эта программа знает до "
                                   "%3). Нормы недоступны; обновите программу или "
                                   "загрузите базу норм заново.")
                        .arg(path, QString::number(version), QString::number(kSchemaVersion))};
        connection.execute("PRAGMA journal_mode=WAL");
        connection.execute("PRAGMA synchronous=NORMAL");
        if (version < kSchemaVersion) {
            sql::Transaction transaction(connection);
            // Another program may have migrated it while this one waited for the lock.
            for (int step = userVersion(connection); step < kSchemaVersion; ++step)
                connection.execute(migration(std::size_t(step)).constData());
            connection.execute(
                QByteArray("PRAGMA user_version=" + QByteArray::number(kSchemaVersion))
                    .constData());
            transaction.commit();
        }
        return {std::move(database), Problem::None, {}};
    } catch (const sql::Failure &failure) {
        const bool damaged = failure.code == SQLITE_CORRUPT || failure.code == SQLITE_NOTADB;
        return {nullptr, damaged ? Problem::Damaged : Problem::Other, failureText(failure, path)};
    }
}

bool NormDatabase::hasNorms()
{
    sql::Statement statement(m_connection.handle(), "SELECT EXISTS(SELECT 1 FROM norms)");
    return statement.next() && statement.integer(0) != 0;
}

QString failureText(const sql::Failure &failure, const QString &path)
{
    switch (failure.code) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Файл «%1» поврежден или не является базой норм. Нормы недоступны; "
                              "загрузите базу норм заново.")
            .arg(path);
    case SQLITE_FULL:
        return QStringLiteral("Недостаточно места на диске для базы норм «%1».").arg(path);
    case SQLITE_IOERR:
        return QStringLiteral("Не удалось записать или прочитать базу норм «%1»: диск заполнен "
                              "или недоступен.")
            .arg(path);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("База норм «%1» занята другой копией программы, которая загружает "
                              "нормы. Повторите позже.")
            .arg(path);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("Нет доступа к базе норм «%1».").arg(path);
    default:
        return QStringLiteral("Ошибка базы норм «%1»: %2.").arg(path, failure.message);
    }
}

} // namespace norms

#include "normwriter.h"

#include "collectionkind.h"
#include "normschema.h"
#include "normwords.h"

#include <QDateTime>

#include <algorithm>
#include <string>

namespace norms {

NormWriter::NormWriter(sql::Connection &connection)
    : m_connection(connection),
      m_findCollection(connection.handle(),
                       "SELECT id FROM collections WHERE kind = ?1 AND prefix = ?2"),
      m_insertCollection(connection.handle(),
                         "INSERT INTO collections(kind, prefix, type, base_name, price_level, "
                         "source_file, imported_at, act_number, act_date) "
                         "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"),
      m_insertSection(connection.handle(),
                      "INSERT INTO sections(collection_id, parent_id, type, code, name) "
                      "VALUES(?1, ?2, ?3, ?4, ?5)"),
      m_insertNorm(connection.handle(),
                   "INSERT INTO norms(collection_id, section_id, code, name, measure, content) "
                   "VALUES(?1, ?2, ?3, ?4, ?5, ?6)"),
      m_insertResource(connection.handle(),
                       "INSERT INTO resources(norm_id, position, code, name, unit, quantity, "
                       "abstract, technology_groups) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
      m_insertReason(connection.handle(),
                     "INSERT INTO norm_reasons(norm_id, position, nr, sp) VALUES(?1, ?2, ?3, ?4)"),
      m_insertCatalogue(connection.handle(),
                        "INSERT INTO catalogue(collection_id, code, name, unit, machine, cost, "
                        "release_cost, machinist_wage, machinist_hours, driver_code, "
                        "machinist_grade) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"),
      m_insertCatalogueWords(connection.handle(),
                             "INSERT INTO catalogue_words(rowid, words) VALUES(?1, ?2)"),
      m_importedAt(QDateTime::currentDateTime().toString(Qt::ISODate))
{
}

void NormWriter::base(const xml::BaseHeader &header)
{
    m_base = header;
}

void NormWriter::beginCollection(const xml::Collection &collection)
{
    m_sections.clear();
    if (m_collections.isEmpty())
        m_connection.execute("DROP INDEX IF EXISTS resources_code");
    const QString prefix = collection.prefix.isEmpty() ? collection.type : collection.prefix;
    if (const auto known = m_collections.constFind(prefix); known != m_collections.cend()) {
        m_collection = *known;
        return;
    }
    m_findCollection.bind(1, QString(collectionkind::kFederal)).bind(2, prefix);
    const bool existed = m_findCollection.next();
    const qint64 previous = existed ? m_findCollection.integer(0) : 0;
    m_findCollection.reset();
    if (existed)
        removeCollection(previous);
    m_insertCollection.bind(1, QString(collectionkind::kFederal))
        .bind(2, prefix)
        .bind(3, collection.type)
        .bind(4, m_base.name)
        .bind(5, m_base.priceLevel)
        .bind(6, m_sourceFile)
        .bind(7, m_importedAt)
        .bind(8, m_base.actNumber)
        .bind(9, m_base.actDate)
        .run();
    m_collection = m_connection.lastInsertId();
    m_collections.insert(prefix, m_collection);
}

void NormWriter::endCollection()
{
    m_sections.clear();
}

void NormWriter::removeCollection(qint64 id)
{
    // Its norms, their lines, its sections and catalogue go with it. The federal norms' words are
    // written afresh once the import has placed the norms: without a place, a norm leaves its
    // words to that, which is faster than taking them out one by one.
    sql::Statement(m_connection.handle(), "UPDATE norms SET place = NULL WHERE collection_id = ?1")
        .bind(1, id)
        .run();
    sql::Statement(m_connection.handle(), "DELETE FROM collections WHERE id = ?1")
        .bind(1, id)
        .run();
}

void NormWriter::bindParentSection(sql::Statement &statement, int index)
{
    if (m_sections.empty())
        statement.bindNull(index);
    else
        statement.bind(index, m_sections.back());
}

void NormWriter::beginSection(const xml::Section &section)
{
    m_insertSection.bind(1, m_collection);
    bindParentSection(m_insertSection, 2);
    m_insertSection.bind(3, section.type).bind(4, section.code).bind(5, section.name).run();
    m_sections.push_back(m_connection.lastInsertId());
}

void NormWriter::endSection()
{
    if (!m_sections.empty())
        m_sections.pop_back();
}

void NormWriter::norm(const xml::Norm &norm)
{
    m_insertNorm.bind(1, m_collection);
    bindParentSection(m_insertNorm, 2);
    m_insertNorm.bind(3, norm.view(norm.code))
        .bind(4, norm.view(norm.name))
        .bind(5, norm.view(norm.measure))
        .bind(6, norm.view(norm.content))
        .run();
    const qint64 id = m_connection.lastInsertId();
    if (m_firstNorm == 0)
        m_firstNorm = id;
    int position = 0;
    for (const xml::Resource &resource : norm.resources) {
        m_insertResource.bind(1, id)
            .bind(2, position++)
            .bind(3, norm.view(resource.code))
            .bind(4, norm.view(resource.name))
            .bind(5, norm.view(resource.unit))
            .bind(6, resource.quantity)
            .bind(7, resource.abstract ? 1 : 0)
            .bind(8, norm.view(resource.technologyGroups))
            .run();
    }
    int reason = 0;
    for (const xml::Reason &item : norm.reasons)
        m_insertReason.bind(1, id)
            .bind(2, reason++)
            .bind(3, norm.view(item.nr))
            .bind(4, norm.view(item.sp))
            .run();
    ++m_norms;
    m_resources += position;
}

void NormWriter::catalogueEntry(const xml::CatalogueEntry &entry)
{
    m_insertCatalogue.bind(1, m_collection)
        .bind(2, entry.code)
        .bind(3, entry.name)
        .bind(4, entry.unit)
        .bind(5, entry.machine ? 1 : 0)
        .bind(6, entry.cost)
        .bind(7, entry.releaseCost)
        .bind(8, entry.machinistWage)
        .bind(9, entry.machinistHours)
        .bind(10, entry.driverCode)
        .bind(11, entry.machinistGrade)
        .run();
    m_insertCatalogueWords.bind(1, m_connection.lastInsertId())
        .bind(2, foldedWords(entry.name))
        .run();
    ++m_catalogueEntries;
}

namespace {

// Each resource of the lines once, as its code and name in UTF-8 with a NUL between (which
// sorts as SQLite orders the two columns), with the number of lines that use it.
using ResourceUses = std::unordered_map<std::string, qint64>;

std::string resourceKey(QByteArrayView code, QByteArrayView name)
{
    std::string key(code.data(), std::size_t(code.size()));
    key.push_back('\0');
    key.append(name.data(), std::size_t(name.size()));
    return key;
}

} // namespace

qint64 NormWriter::firstNormToFill() const
{
    // A new catalogue may name lines anywhere in the base; otherwise only this import's lines
    // can lack a name the catalogue has, and their ids are the highest.
    return m_catalogueEntries > 0 || m_firstNorm == 0 ? 0 : m_firstNorm;
}

void NormWriter::finish()
{
    // The index of the lines by code is made again in one pass, which costs far less than
    // keeping it up line by line; the fill below looks the lines up by it.
    m_connection.execute("CREATE INDEX IF NOT EXISTS resources_code ON resources(code)");
    sqlite3 *db = m_connection.handle();
    // One pass over the lines counts the resources and finds the codes of the lines that lack a
    // name or a unit.
    ResourceUses uses;
    std::unordered_set<std::string> unnamed;
    {
        sql::Statement lines(db, "SELECT code, name, norm_id >= ?1 AND (name = '' OR unit = '') "
                                 "FROM resources");
        lines.bind(1, firstNormToFill());
        std::string key;
        while (lines.next()) {
            const QByteArrayView code = lines.utf8(0);
            const QByteArrayView name = lines.utf8(1);
            key.assign(code.data(), std::size_t(code.size()));
            if (lines.integer(2) != 0)
                unnamed.insert(key);
            key.push_back('\0');
            key.append(name.data(), std::size_t(name.size()));
            ++uses[key];
        }
    }
    fillFromCatalogue(unnamed, uses);
    placeNorms();
    nameResources(uses);
}

void NormWriter::fillFromCatalogue(const std::unordered_set<std::string> &codes,
                                   std::unordered_map<std::string, qint64> &uses)
{
    sqlite3 *db = m_connection.handle();
    sql::Statement known(db, "SELECT 1 FROM catalogue WHERE code = ?1 LIMIT 1");
    sql::Statement fill(db, R"sql(
UPDATE resources SET
  name = CASE WHEN name <> '' THEN name ELSE coalesce(
    (SELECT c.name FROM catalogue c WHERE c.code = ?1 AND c.name <> '' LIMIT 1), '') END,
  unit = CASE WHEN unit <> '' THEN unit ELSE coalesce(
    (SELECT c.unit FROM catalogue c WHERE c.code = ?1 AND c.unit <> '' LIMIT 1), '') END
WHERE code = ?1 AND norm_id >= ?2 AND (name = '' OR unit = '')
)sql");
    sql::Statement recount(db, "SELECT name, count(*) FROM resources WHERE code = ?1 "
                               "GROUP BY name");
    std::unordered_set<std::string> filled;
    for (const std::string &code : codes) {
        const QByteArrayView codeBytes(code.data(), qsizetype(code.size()));
        known.bindUtf8(1, codeBytes);
        const bool catalogued = known.next();
        known.reset();
        if (!catalogued)
            continue;
        fill.bindUtf8(1, codeBytes).bind(2, firstNormToFill()).run();
        fill.reset();
        filled.insert(code);
    }
    if (filled.empty())
        return;
    // The filled codes' lines counted again under the names they have now.
    std::erase_if(uses, [&](const auto &use) {
        return filled.contains(use.first.substr(0, use.first.find('\0')));
    });
    for (const std::string &code : filled) {
        const QByteArrayView codeBytes(code.data(), qsizetype(code.size()));
        recount.bindUtf8(1, codeBytes);
        while (recount.next())
            uses[resourceKey(codeBytes, recount.utf8(0))] += recount.integer(1);
        recount.reset();
    }
}

void NormWriter::placeNorms()
{
    sqlite3 *db = m_connection.handle();
    m_connection.execute(schema::expanded("{rank}").constData());
    // The index made anew, as norm_words is, in the order of its keys: cheaper than deleting the
    // federal rows one by one; the firm's rows are taken over as they are.
    m_connection.execute("DROP TABLE IF EXISTS placed_words");
    m_connection.execute(
        schema::expanded("CREATE VIRTUAL TABLE placed_words USING fts5({words})").constData());
    m_connection.execute("INSERT INTO placed_words(rowid, words) "
                         "SELECT rowid, words FROM norm_words WHERE rowid < 0");
    {
        sql::Statement federal(db, "SELECT place, name FROM norms WHERE place > 0 ORDER BY place");
        sql::Statement words(db, "INSERT INTO placed_words(rowid, words) VALUES(?1, ?2)");
        while (federal.next()) {
            words.bind(1, federal.integer(0)).bind(2, foldedWords(federal.text(1))).run();
            words.reset();
        }
    }
    m_connection.execute("DROP TABLE norm_words");
    // The trigger that takes a norm's words with it names norm_words, which is missing for the
    // moment; the legacy rename leaves triggers alone rather than refuse.
    m_connection.execute("PRAGMA legacy_alter_table = ON");
    m_connection.execute("ALTER TABLE placed_words RENAME TO norm_words");
    m_connection.execute("PRAGMA legacy_alter_table = OFF");
}

void NormWriter::nameResources(const std::unordered_map<std::string, qint64> &uses)
{
    // In the order of codes and names, as the ids were given when SQLite grouped the lines.
    std::vector<const ResourceUses::value_type *> sorted;
    sorted.reserve(uses.size());
    for (const auto &use : uses)
        sorted.push_back(&use);
    std::sort(sorted.begin(), sorted.end(),
              [](const auto *a, const auto *b) { return a->first < b->first; });
    m_connection.execute("DELETE FROM resource_names");
    {
        sql::Statement insert(m_connection.handle(),
                              "INSERT INTO resource_names(code, name, uses) VALUES(?1, ?2, ?3)");
        for (const auto *use : sorted) {
            const QByteArrayView key(use->first.data(), qsizetype(use->first.size()));
            const qsizetype nul = key.indexOf('\0');
            insert.bindUtf8(1, key.first(nul))
                .bindUtf8(2, key.sliced(nul + 1))
                .bind(3, use->second);
            insert.run();
            insert.reset();
        }
    }
    m_connection.execute("DROP TABLE resource_words");
    m_connection.execute(
        schema::expanded("CREATE VIRTUAL TABLE resource_words USING fts5({words})").constData());
    m_connection.execute("INSERT INTO resource_words(rowid, words) "
                         "SELECT id, name FROM resource_names WHERE name <> ''");
}

} // namespace norms

#include "normbrowse.h"

#include "collectionkind.h"

namespace norms {

std::optional<Norm> readNorm(NormDatabase &database, qint64 id)
{
    sqlite3 *db = database.connection().handle();
    sql::Statement head(db,
                        "SELECT c.prefix, n.code, n.name, n.measure, n.content, f.version, "
                        "v.source, v.origin FROM norms n "
                        "JOIN collections c ON c.id = n.collection_id "
                        "LEFT JOIN firm_norms f ON f.norm_id = n.id "
                        "LEFT JOIN firm_versions v ON v.firm_id = f.id AND v.number = f.version "
                        "WHERE n.id = ?1");
    head.bind(1, id);
    if (!head.next())
        return std::nullopt;
    Norm norm;
    norm.id = id;
    norm.prefix = head.text(0);
    norm.code = head.text(1);
    norm.name = head.text(2);
    norm.measure = head.text(3);
    norm.content = head.text(4);
    if (!head.isNull(5)) {
        norm.firm = true;
        norm.version = int(head.integer(5));
        norm.source = head.text(6);
        norm.origin = head.text(7);
    }
    // Lines listed by code alone took their names and units from the price catalogue at import.
    // A firm norm's lines say their group and unit themselves, as they may have no code.
    sql::Statement lines(db, "SELECT code, name, unit, quantity, abstract, technology_groups, "
                             "resource_group FROM resources WHERE norm_id = ?1 ORDER BY position");
    lines.bind(1, id);
    while (lines.next()) {
        NormResource resource =
            storedLine(lines.text(0), lines.text(1), lines.text(2),
                       lines.isNull(6) ? std::nullopt : std::optional<int>(int(lines.integer(6))));
        if (!lines.isNull(3))
            resource.rate = lines.real(3);
        resource.abstract = lines.integer(4) != 0;
        resource.technologyGroups = lines.text(5);
        norm.resources.append(resource);
    }
    sql::Statement reasons(db, "SELECT nr, sp FROM norm_reasons WHERE norm_id = ?1 "
                               "ORDER BY position");
    reasons.bind(1, id);
    while (reasons.next())
        norm.reasons.append({reasons.text(0), reasons.text(1)});
    return norm;
}

QList<BrowseNode> collections(NormDatabase &database)
{
    // A price catalogue has no norms to browse.
    sql::Statement statement(database.connection().handle(),
                             "SELECT c.id, c.prefix, c.type, c.kind = ?1 FROM collections c WHERE "
                             "EXISTS (SELECT 1 FROM norms WHERE collection_id = c.id) "
                             "ORDER BY c.prefix");
    statement.bind(1, QString(collectionkind::kFirm));
    QList<BrowseNode> nodes;
    while (statement.next())
        nodes.append({BrowseNode::Kind::Collection, statement.integer(0), statement.text(1),
                      statement.text(2), QString(), statement.integer(3) != 0});
    return nodes;
}

QList<CatalogueEdition> catalogueEditions(NormDatabase &database)
{
    sql::Statement statement(database.connection().handle(),
                             "SELECT c.type, (SELECT count(*) FROM catalogue k WHERE "
                             "k.collection_id = c.id) AS n, c.price_level, c.act_number, "
                             "c.act_date FROM collections c WHERE c.kind = ?1 AND n > 0 "
                             "ORDER BY c.prefix");
    statement.bind(1, QString(collectionkind::kFederal));
    QList<CatalogueEdition> editions;
    while (statement.next())
        editions.append({statement.text(0), statement.integer(1), statement.text(2),
                         statement.text(3), statement.text(4)});
    return editions;
}

namespace {

// The rows of a statement on one parent: id, code, name and, for a section, its type.
void appendNodes(QList<BrowseNode> &nodes, BrowseNode::Kind kind, sqlite3 *db, const char *query,
                 qint64 parent)
{
    sql::Statement statement(db, query);
    statement.bind(1, parent);
    while (statement.next())
        nodes.append({kind, statement.integer(0), statement.text(1), statement.text(2),
                      kind == BrowseNode::Kind::Section ? statement.text(3) : QString()});
}

} // namespace

QList<BrowseNode> children(NormDatabase &database, const BrowseNode &parent)
{
    sqlite3 *db = database.connection().handle();
    QList<BrowseNode> nodes;
    if (parent.kind == BrowseNode::Kind::Norm)
        return nodes;
    const bool top = parent.kind == BrowseNode::Kind::Collection;
    // The published order, which is the order of the codes within a section.
    appendNodes(nodes, BrowseNode::Kind::Section, db,
                top ? "SELECT id, code, name, type FROM sections "
                      "WHERE collection_id = ?1 AND parent_id IS NULL ORDER BY id"
                    : "SELECT id, code, name, type FROM sections WHERE parent_id = ?1 ORDER BY id",
                parent.id);
    appendNodes(nodes, BrowseNode::Kind::Norm, db,
                top ? "SELECT id, code, name FROM norms "
                      "WHERE collection_id = ?1 AND section_id IS NULL ORDER BY id"
                    : "SELECT id, code, name FROM norms WHERE section_id = ?1 ORDER BY id",
                parent.id);
    return nodes;
}

} // namespace norms

#pragma once

#include "normxml.h"
#include "sqlite.h"

#include <QHash>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Writes what the reader hands on into the norm database, inside the caller's transaction. The
// first category of a code prefix in an import removes that prefix's previous collection; later
// ones of the same prefix (a base split into several files) add to the new one.
namespace norms {

class NormWriter : public xml::Sink
{
public:
    explicit NormWriter(sql::Connection &connection);

    // The file whose categories follow, kept with its collections.
    void setSourceFile(const QString &fileName) { m_sourceFile = fileName; }
    // Gives names and units from the price catalogues to resource lines that lack them, ranks
    // the federal norms in code order and indexes their names and the resources of every line
    // anew; run once after the last file.
    void finish();

    int collections() const { return int(m_collections.size()); }
    qint64 norms() const { return m_norms; }
    qint64 resources() const { return m_resources; }
    qint64 catalogueEntries() const { return m_catalogueEntries; }

    void base(const xml::BaseHeader &header) override;
    void beginCollection(const xml::Collection &collection) override;
    void endCollection() override;
    void beginSection(const xml::Section &section) override;
    void endSection() override;
    void norm(const xml::Norm &norm) override;
    void catalogueEntry(const xml::CatalogueEntry &entry) override;

private:
    void removeCollection(qint64 id);
    void bindParentSection(sql::Statement &statement, int index);
    qint64 firstNormToFill() const;
    void fillFromCatalogue(const std::unordered_set<std::string> &codes,
                           std::unordered_map<std::string, qint64> &uses);
    void placeNorms();
    // Each resource of the lines once, with the number of lines that use it, and the index of
    // their names, made afresh.
    void nameResources(const std::unordered_map<std::string, qint64> &uses);

    sql::Connection &m_connection;
    sql::Statement m_findCollection;
    sql::Statement m_insertCollection;
    sql::Statement m_insertSection;
    sql::Statement m_insertNorm;
    sql::Statement m_insertResource;
    sql::Statement m_insertReason;
    sql::Statement m_insertCatalogue;
    sql::Statement m_insertCatalogueWords;

    xml::BaseHeader m_base;
    QString m_sourceFile;
    QString m_importedAt;
    QHash<QString, qint64> m_collections; // by code prefix, those of this import
    qint64 m_collection = 0;
    std::vector<qint64> m_sections; // the open sections, outermost first
    qint64 m_norms = 0;
    qint64 m_firstNorm = 0; // the id of this import's first norm; later ones are higher
    qint64 m_resources = 0;
    qint64 m_catalogueEntries = 0;
};

} // namespace norms

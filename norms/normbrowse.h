#pragma once

#include "norm.h"
#include "normdb.h"

#include <QList>
#include <QString>

#include <optional>

// Norms read from the database by id, the browse tree of collections, sections and norms, and
// the price catalogues the base holds.
namespace norms {

std::optional<Norm> readNorm(NormDatabase &database, qint64 id);

// One place of the browse tree: a collection, a section of any depth or a norm.
struct BrowseNode
{
    enum class Kind
    {
        Collection,
        Section,
        Norm,
    };
    Kind kind = Kind::Collection;
    qint64 id = 0;
    QString code; // for a collection its prefix
    QString name; // for a section its type and name («Таблица 06-01-001 …» is shown from them)
    QString type;
    bool firm = false; // a collection of the firm's own norms
};

// The collections that have norms, by prefix.
QList<BrowseNode> collections(NormDatabase &database);

// A price catalogue in the base: its category («Материал», «МашиныМеханизмы»), how many
// resources it prices, at which level, and the act that approved it.
struct CatalogueEdition
{
    QString type;
    qint64 resources = 0;
    QString priceLevel;
    QString actNumber;
    QString actDate;
};
QList<CatalogueEdition> catalogueEditions(NormDatabase &database);
// Sections first, then norms, each by code.
QList<BrowseNode> children(NormDatabase &database, const BrowseNode &parent);

} // namespace norms

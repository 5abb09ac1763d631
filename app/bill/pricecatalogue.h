#pragma once

#include "cataloguelookup.h"

#include <QList>
#include <QString>

#include <optional>

// Where the bill reads the federal price catalogue (ФСБЦ): the program's norm base, or what a
// test puts in its place.
class PriceCatalogue
{
public:
    virtual ~PriceCatalogue() = default;

    // Whether a catalogue is there to read; a bill without one shows no catalogue prices.
    virtual bool available() = 0;
    // The resource of that code, none when the catalogue does not list it.
    virtual std::optional<norms::CatalogueResource> resource(const QString &code) = 0;
    // Resources whose names have words beginning with the query's words, or whose code begins
    // with it, by code, at most limit of them.
    virtual QList<norms::CatalogueResource> search(const QString &query, int limit) = 0;
};

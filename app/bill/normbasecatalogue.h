#pragma once

#include "pricecatalogue.h"

class NormBase;

// The price catalogue of the program's norm base, as the bill reads it. The base may be refused
// or lack the catalogues; then there is none.
class NormBaseCatalogue : public PriceCatalogue
{
public:
    explicit NormBaseCatalogue(NormBase &base) : m_base(base) {}

    bool available() override;
    std::optional<norms::CatalogueResource> resource(const QString &code) override;
    QList<norms::CatalogueResource> search(const QString &query, int limit) override;

private:
    NormBase &m_base;
};

#pragma once

#include "bill.h"
#include "cataloguelookup.h"
#include "estimatepricing.h"
#include "lsr.h"
#include "pricestore.h"

#include <QList>
#include <QString>

#include <optional>

class NormBase;

// What the estimate reads of the program's norm base and how it computes: the snapshot of the
// bill's norms and prices, read again only when the bill's entries, the list or the base change,
// and the computation from it, made on every change.
class EstimateEngine
{
public:
    explicit EstimateEngine(NormBase &base);

    // Reads what the computation needs for the bill; the failure said in Russian.
    std::optional<QString> load(const bom::Bill &bill);
    // From what load() read last.
    lsr::Estimate compute(const bom::Bill &bill) const;
    // The terms of a new estimate of the bill, priced from the latest list of the base.
    bom::EstimateTerms defaultTerms(const bom::Bill &bill);
    // The price lists of the base, the latest quarter first.
    QList<norms::StoredPriceList> priceLists();
    // The overhead and profit references a norm of the bill lists, «Пр/812-006.0» and
    // «Пр/774-006.0».
    struct Reference
    {
        QString overhead;
        QString profit;
    };
    QList<Reference> references(const QString &normCode) const;
    // Resources of the catalogue for a «по проекту» line.
    QList<norms::CatalogueResource> search(const QString &query);

private:
    NormBase &m_base;
    lsr::Pricing m_pricing;
};

#pragma once

#include "bill.h"
#include "cataloguelookup.h"
#include "lsr.h"
#include "pricestore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the estimate reads of the norm base and how it computes: the snapshot of the bill's
// norms and prices, read again only when the bill's entries, the list or the base change, and
// the computation from it, made on every change.
class EstimateEngine
{
public:
    virtual ~EstimateEngine() = default;

    // Reads what the computation needs for the bill; the failure said in Russian.
    virtual std::optional<QString> load(const bom::Bill &bill) = 0;
    // From what load() read last.
    virtual lsr::Estimate compute(const bom::Bill &bill) const = 0;
    // The terms of a new estimate of the bill.
    virtual bom::EstimateTerms defaultTerms(const bom::Bill &bill) const = 0;
    // The subject's code in the table of the federation's subjects; -1 when it is not there.
    virtual int regionCode(const QString &subject) const = 0;
    // The price lists of the base, the latest quarter first.
    virtual QList<norms::StoredPriceList> priceLists() = 0;
    // The overhead and profit references a norm lists, «Пр/812-006.0» and «Пр/774-006.0»; the
    // first is the one taken when the estimator has picked none.
    struct Reference
    {
        QString overhead;
        QString profit;
    };
    virtual QList<Reference> references(const QString &normCode) = 0;
    // Resources of the catalogue for a «по проекту» line.
    virtual QList<norms::CatalogueResource> search(const QString &query) = 0;
};

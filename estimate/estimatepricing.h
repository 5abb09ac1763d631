#pragma once

#include "bill.h"
#include "cataloguelookup.h"
#include "estimateterms.h"
#include "norm.h"
#include "normdb.h"
#include "pricelist.h"
#include "pricestore.h"
#include "rateeditions.h"

#include <QHash>
#include <QString>

#include <optional>

// What the computation of a local estimate needs from the norm base, read once for a bill and
// its terms: the computation itself then touches no database and takes milliseconds.
namespace lsr {

struct Pricing
{
    // Why the estimate cannot be priced, in Russian; empty when it can.
    QString failure;
    // The norms of the bill's entries by full code («ГЭСН 06-01-001-01»); a code missing here
    // left the base.
    QHash<QString, norms::Norm> norms;
    // The price catalogues' resources of every code the norms and the bill name, and the
    // machinists' codes of the machines.
    QHash<QString, norms::CatalogueResource> catalogue;
    // The chosen list's prices of the same codes.
    QHash<QString, norms::ResourcePrice> prices;
    norms::rates::Tables rates;
    norms::PriceListTitle list; // year 0: none chosen
    QString listName;           // «Москва, 2 кв. 2026»
    int regionCode = -1;        // the list's subject's, from the table of subjects
};

// Reads what the bill's estimate needs. A missing base (null), terms without a list, a list the
// base does not hold or one of another region than the terms give make a failure; the norms,
// catalogue and tables are read all the same, so that the estimate still shows its positions.
Pricing loadPricing(norms::NormDatabase *database, const bom::Bill &bill);
Pricing loadPricing(norms::NormDatabase &database, const bom::Bill &bill);

// The terms of a new estimate: number and name from the bill's head, the basis from its
// number, the legal acts' defaults, a new GUID; with a list, the list, its region and the
// quarter's letter of indexes.
bom::EstimateTerms defaultTerms(const bom::Bill &bill,
                                const std::optional<norms::PriceListTitle> &list = {});
// Prices the terms from another list: the list, its region, zone and letter of indexes.
void choosePriceList(bom::EstimateTerms &terms, const norms::PriceListTitle &list);

// The acts a new estimate is made under, in the file's order.
QList<bom::LegalAct> defaultLegalActs();

} // namespace lsr

#include "estimateengine.h"

#include "estimatecompute.h"
#include "norms/normbase.h"
#include "sqlite.h"

EstimateEngine::EstimateEngine(NormBase &base) : m_base(base) {}

std::optional<QString> EstimateEngine::load(const bom::Bill &bill)
{
    try {
        m_pricing = lsr::loadPricing(m_base.database(), bill);
    } catch (const norms::sql::Failure &failure) {
        m_pricing = {};
        m_pricing.failure = norms::failureText(failure, m_base.path());
    }
    if (!m_base.database() && !m_base.refusal().isEmpty())
        m_pricing.failure = m_base.refusal();
    if (m_pricing.failure.isEmpty())
        return std::nullopt;
    return m_pricing.failure;
}

lsr::Estimate EstimateEngine::compute(const bom::Bill &bill) const
{
    return lsr::compute(bill, m_pricing);
}

bom::EstimateTerms EstimateEngine::defaultTerms(const bom::Bill &bill)
{
    const QList<norms::StoredPriceList> lists = priceLists();
    return lsr::defaultTerms(bill, lists.isEmpty() ? std::nullopt
                                                   : std::optional(lists.constFirst().title));
}

QList<norms::StoredPriceList> EstimateEngine::priceLists()
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return {};
    try {
        return norms::storedPriceLists(*database);
    } catch (const norms::sql::Failure &) {
        return {}; // the failure shows where the estimate is computed
    }
}

QList<EstimateEngine::Reference> EstimateEngine::references(const QString &normCode) const
{
    QList<Reference> found;
    for (const norms::Reason &reason : m_pricing.norms.value(normCode).reasons)
        found.append({reason.nr.trimmed(), reason.sp.trimmed()});
    return found;
}

QList<norms::CatalogueResource> EstimateEngine::search(const QString &query)
{
    norms::NormDatabase *database = m_base.database();
    if (!database || query.trimmed().isEmpty())
        return {};
    try {
        return norms::searchCatalogue(*database, query);
    } catch (const norms::sql::Failure &) {
        return {};
    }
}
